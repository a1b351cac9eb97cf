// POSIX implementations of the operating-system services the core needs.
#include "base/platform.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

namespace zirvo::platform {

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

namespace {
// A field of an account's entry in the account database (the effective
// user's unless told); "" when unknown.
std::string AccountEntry(char* passwd::*field, uid_t uid = geteuid()) {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
      found->*field == nullptr)
    return {};
  return found->*field;
}
}  // namespace

std::string HomeFolder() {
  std::string home = EnvironmentValue("HOME");
  if (!home.empty()) return home;
  return AccountEntry(&passwd::pw_dir);
}

bool IsPrivateWritableFolder(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  if ((info.st_mode & S_IWOTH) != 0) return false;
  return faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool MakeFolders(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  return std::filesystem::is_directory(path, error);
}

namespace {
bool SyncPath(const std::string& path, int flags) {
  const int fd = open(path.c_str(), flags);
  if (fd < 0) return false;
  const bool ok = fsync(fd) == 0;
  return close(fd) == 0 && ok;
}
}  // namespace

bool FlushFileToDisk(const std::string& path) { return SyncPath(path, O_RDONLY); }

bool FlushFolderToDisk(const std::string& folder) {
  return SyncPath(folder.empty() ? std::string(".") : folder, O_RDONLY | O_DIRECTORY);
}

std::string AppendToFileDurably(const std::string& path,
                                const std::function<std::string(std::optional<char>)>& compose) {
  const int fd = open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return std::strerror(errno);
  std::string cause;
  // Another process appending at the same time waits, so each sees the
  // other's line end before it writes.
  if (flock(fd, LOCK_EX) != 0) cause = std::strerror(errno);
  struct stat info {};
  if (cause.empty() && fstat(fd, &info) != 0) cause = std::strerror(errno);
  std::optional<char> last;
  if (cause.empty() && info.st_size > 0) {
    char byte = 0;
    if (pread(fd, &byte, 1, info.st_size - 1) != 1)
      cause = std::strerror(errno);
    else
      last = byte;
  }
  if (cause.empty()) {
    const std::string bytes = compose(last);
    std::size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        cause = std::strerror(n < 0 ? errno : ENOSPC);
        break;
      }
      written += static_cast<std::size_t>(n);
    }
    if (cause.empty() && fsync(fd) != 0) cause = std::strerror(errno);
  }
  if (close(fd) != 0 && cause.empty()) cause = std::strerror(errno);
  // A new file's name must be as durable as its first line.
  if (cause.empty() && info.st_size == 0) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (!FlushFolderToDisk(folder)) cause = std::strerror(errno);
  }
  return cause;
}

std::string UserName() {
  std::string user = EnvironmentValue("USER");
  if (!user.empty()) return user;
  return AccountEntry(&passwd::pw_name);
}

std::string LocalTimeIso8601() {
  const std::time_t now = std::time(nullptr);
  struct tm local {};
  if (localtime_r(&now, &local) == nullptr) return {};
  char text[40];
  if (std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local) == 0) return {};
  std::string iso = text;
  // strftime writes the offset as +hhmm; ISO 8601's extended form is +hh:mm.
  if (iso.size() >= 5) iso.insert(iso.size() - 2, ":");
  return iso;
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

void KeepLargeBuffers() {
#if defined(__GLIBC__)
  // The PDF writer takes two buffers of about 16 MiB for every page and frees
  // them when the page is written. With glibc's defaults each page then maps
  // or grows the heap by them and trims it back, and the kernel zero-fills
  // the fresh memory on every page: a quarter of a run's time went into page
  // faults. With both thresholds above the buffers' size they come from the
  // heap and stay there, reused page after page; what is kept is what one
  // page needs, so memory stays flat however long the run.
  //
  // Some glibc versions refuse a mmap threshold above half their heap size
  // (32 MiB on 64-bit systems); then the next lower one is tried. Setting
  // either threshold stops glibc from adjusting them by itself, so nothing is
  // set when no threshold above the buffers is accepted.
  constexpr int kMiB = 1024 * 1024;
  for (const int mmapThreshold : {64 * kMiB, 32 * kMiB}) {
    if (mallopt(M_MMAP_THRESHOLD, mmapThreshold) == 1) {
      mallopt(M_TRIM_THRESHOLD, 2 * mmapThreshold);
      return;
    }
  }
#endif
}

long long ResidentBytes() {
  long long pages = 0, resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  const bool read = std::fscanf(statm, "%lld %lld", &pages, &resident) == 2;
  std::fclose(statm);
  return read ? resident * sysconf(_SC_PAGESIZE) : 0;
}

long long PeakResidentBytes() {
  struct rusage usage {};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return static_cast<long long>(usage.ru_maxrss) * 1024;
}

std::string AccountName() {
  const uid_t uid = getuid();
  std::string name = AccountEntry(&passwd::pw_name, uid);
  return name.empty() ? std::to_string(uid) : name;
}

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string SystemSettingsFolder() { return "/etc/zirvo"; }

PathKind KindOfPath(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0)
    return errno == ENOENT ? PathKind::Missing : PathKind::Unreadable;
  if (S_ISLNK(info.st_mode)) return PathKind::SymbolicLink;
  return S_ISREG(info.st_mode) ? PathKind::RegularFile : PathKind::Other;
}

std::optional<FileIdentity> RegularFileIdentity(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileIdentity{static_cast<unsigned long long>(info.st_dev),
                      static_cast<unsigned long long>(info.st_ino)};
}

std::string CreateEmptyFile(const std::string& path) {
  // O_EXCL never follows a link: a planted one, even dangling, is "there already".
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return errno == EEXIST ? std::string() : std::strerror(errno);
  if (close(fd) != 0) return std::strerror(errno);
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return FlushFolderToDisk(folder) ? std::string() : std::strerror(errno);
}

std::string ReadRegularFile(const std::string& path, bool followLinks, std::string& bytes,
                            bool& missing) {
  bytes.clear();
  missing = false;
  // O_NONBLOCK: opening a FIFO does not wait for a writer; it is refused below.
  const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW);
  const int fd = open(path.c_str(), flags);
  if (fd < 0) {
    if (errno == ENOENT) {
      missing = true;
      return {};
    }
    if (errno == ELOOP && !followLinks) return "a symbolic link";
    return std::strerror(errno);
  }
  std::string cause;
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    cause = std::strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    cause = "not a regular file";
  } else {
    char buffer[65536];
    for (;;) {
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) cause = std::strerror(errno);
      if (n <= 0) break;
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
  }
  close(fd);
  if (!cause.empty()) bytes.clear();
  return cause;
}

}  // namespace zirvo::platform
