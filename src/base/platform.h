// The few operating-system services the core needs that the C++ standard
// library does not offer. Everything POSIX-only lives in platform.cpp.
#pragma once

#include <string>

namespace zirvo::platform {

// Full path of the running executable, or an empty string when unknown.
std::string ExecutablePath();

// Value of an environment variable, or an empty string when it is unset.
std::string EnvironmentValue(const char* name);
// The user's home folder: $HOME, else the account's entry; empty when unknown.
std::string HomeFolder();
// True when `path` is a folder this process may create files in and that
// other accounts may not write (no write bit for others): a folder open to
// everybody lets any account replace the templates and the language setting.
bool IsPrivateWritableFolder(const std::string& path);
// Creates `path` and its missing parents with the process's umask; true when
// it is a folder afterwards.
bool MakeFolders(const std::string& path);

// Makes the data of an open file durable on disk (fsync); false on failure.
bool FlushFileToDisk(const std::string& path);
// Makes a rename inside `folder` durable; false on failure.
bool FlushFolderToDisk(const std::string& folder);

// True when the standard error stream is a terminal (for progress bars).
bool StandardErrorIsTerminal();

// Tells the allocator to keep the large buffers a print run takes and gives
// back on every page, instead of returning them to the system each time.
// Called once at start-up by the programs; does nothing where the C library
// offers no such setting.
void KeepLargeBuffers();

// Memory of this process in bytes, for the benchmarks: resident now, and the
// peak so far. 0 when unknown.
long long ResidentBytes();
long long PeakResidentBytes();

}  // namespace zirvo::platform
