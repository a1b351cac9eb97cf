// The few operating-system services the core needs that the C++ standard
// library does not offer. Everything POSIX-only lives in platform.cpp.
#pragma once

#include <string>

namespace zirvo::platform {

// Full path of the running executable, or an empty string when unknown.
std::string ExecutablePath();

// Makes the data of an open file durable on disk (fsync); false on failure.
bool FlushFileToDisk(const std::string& path);
// Makes a rename inside `folder` durable; false on failure.
bool FlushFolderToDisk(const std::string& folder);

// True when the standard error stream is a terminal (for progress bars).
bool StandardErrorIsTerminal();

// Memory of this process in bytes, for the benchmarks: resident now, and the
// peak so far. 0 when unknown.
long long ResidentBytes();
long long PeakResidentBytes();

}  // namespace zirvo::platform
