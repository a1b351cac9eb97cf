// The few operating-system services the core needs that the C++ standard
// library does not offer. Everything POSIX-only lives in platform.cpp.
#pragma once

#include <optional>
#include <string>

namespace zirvo::platform {

// Full path of the running executable, or an empty string when unknown.
std::string ExecutablePath();

// Value of an environment variable, or an empty string when it is unset.
std::string EnvironmentValue(const char* name);
// The user's home folder: $HOME, else the account's entry; empty when unknown.
std::string HomeFolder();
// True when `path` is a folder of this account that it may create files in
// and that no other account may write (no write bit for its group or for
// others): a folder others may write lets them replace the templates, the
// language setting and the calibration.
bool IsPrivateWritableFolder(const std::string& path);
// Creates `path` and its missing parents with the process's umask; true when
// it is a folder afterwards.
bool MakeFolders(const std::string& path);

// Reads the whole file at `path` into `bytes`. Only a regular file is read:
// a folder, a FIFO or a device is refused without waiting on it. Returns ""
// when done, otherwise the cause; `missing` is set when there is no such file.
std::string ReadRegularFile(const std::string& path, std::string& bytes, bool* missing = nullptr);

// An advisory lock on a folder, held from construction to destruction:
// processes that take it for the same folder run one after another. Where
// the file system offers no such lock Held() is false and nothing waits.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool Held() const { return handle_ >= 0; }

 private:
  int handle_ = -1;
};

// A document being written that nobody may see until it is published. It is
// an unnamed file in its folder where the file system allows one, which
// disappears with the process however that ends; elsewhere a hidden file
// ".zirvo-XXXXXX.pdf", locked while in use, which RemoveAbandonedSpoolFiles
// removes once its process has gone. Other code opens it by Path().
class SpoolFile {
 public:
  // `unnamedWherePossible` false makes the hidden file everywhere, as a file
  // system without unnamed files does.
  explicit SpoolFile(const std::string& folder, bool unnamedWherePossible = true);
  // Discards the file unless it was published.
  ~SpoolFile();
  SpoolFile(const SpoolFile&) = delete;
  SpoolFile& operator=(const SpoolFile&) = delete;

  // "" when the file exists, otherwise why it could not be made.
  const std::string& Error() const { return error_; }
  const std::string& Path() const { return path_; }
  // Gives the document the name `target` (in the same folder): a new file
  // with the process's umask, an existing one replaced by one rename that
  // keeps its permissions. Returns "" when done, otherwise the cause.
  std::string Publish(const std::string& target);

 private:
  std::string folder_;
  std::string path_;
  std::string name_;  // the hidden name; empty for an unnamed file
  std::string error_;
  int handle_ = -1;
};

// Removes the spool files in `folder` that belong to this account and that
// no process holds any more: what runs that were killed left behind.
void RemoveAbandonedSpoolFiles(const std::string& folder);

// Makes the data of an open file durable on disk (fsync); false on failure.
bool FlushFileToDisk(const std::string& path);
// Makes a rename inside `folder` durable; false on failure.
bool FlushFolderToDisk(const std::string& folder);

// The present local time as ISO 8601 with the offset from UTC,
// "2026-12-09T20:15:03+01:00".
std::string LocalTimeIso8601();

// Calls `handler` with the signal's number for Ctrl+C and for the system's
// requests to end the process (termination, hang-up), instead of ending it;
// a request the process was started to ignore (nohup) stays ignored.
// StopCatchingStopRequests puts back what was there before.
void CatchStopRequests(void (*handler)(int));
void StopCatchingStopRequests();

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
