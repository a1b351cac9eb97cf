// The few operating-system services the core needs that the C++ standard
// library does not offer. Everything POSIX-only lives in platform.cpp.
#pragma once

#include <functional>
#include <optional>
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

// Appends what `compose` returns to the file at `path` (created when
// missing) in one write and flushes the file to disk, holding the file
// locked against other appenders meanwhile; `compose` is told the file's
// last byte (nothing when the file is empty). Returns "" when done,
// otherwise the cause.
std::string AppendToFileDurably(const std::string& path,
                                const std::function<std::string(std::optional<char>)>& compose);

// The account running the program ($USER, else the account's entry).
std::string UserName();
// The present local time as ISO 8601 with the offset from UTC,
// "2026-12-09T20:15:03+01:00".
std::string LocalTimeIso8601();

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

// The account of the real user running the program, from the account
// database: never from the environment, which anyone may set. The user's
// number when the database has no entry for it.
std::string AccountName();
// This machine's host name; "" when unknown.
std::string HostName();
// The folder of the settings every account of the machine shares.
std::string SystemSettingsFolder();

// What a path names, without following a symbolic link at its end.
enum class PathKind { Missing, RegularFile, SymbolicLink, Other, Unreadable };
PathKind KindOfPath(const std::string& path);

// Which file a path names (its device and inode), to tell afterwards whether
// it still names the same one.
struct FileIdentity {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  bool operator==(const FileIdentity&) const = default;
};
// The identity of the regular file at `path`; nothing when the path is
// missing, a symbolic link or anything but a regular file.
std::optional<FileIdentity> RegularFileIdentity(const std::string& path);

// Creates `path` as an empty regular file, with the process's umask applied
// to read and write for everybody, never through a symbolic link. Returns ""
// when the file was made or something of that name is there already,
// otherwise the cause.
std::string CreateEmptyFile(const std::string& path);

// Reads the whole regular file at `path` into `bytes`; `missing` tells that
// nothing is there (then bytes is empty). A FIFO, a device or a folder is
// refused without waiting for a writer, and so is a symbolic link when
// `followLinks` is false. Returns "" when done, otherwise the cause.
std::string ReadRegularFile(const std::string& path, bool followLinks, std::string& bytes,
                            bool& missing);

}  // namespace zirvo::platform
