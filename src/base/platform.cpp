// POSIX implementations of the operating-system services the core needs.
#include "base/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <random>
#include <system_error>
#include <vector>

#include "base/messages.h"

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
  if (info.st_uid != geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) return false;
  return faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool MakeFolders(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  return std::filesystem::is_directory(path, error);
}

std::string ReadRegularFile(const std::string& path, std::string& bytes, bool* missing) {
  bytes.clear();
  if (missing != nullptr) *missing = false;
  // Without O_NONBLOCK opening a FIFO would wait for a writer, for ever.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (missing != nullptr) *missing = error == ENOENT;
    return std::strerror(error);
  }
  std::string cause;
  struct stat info {};
  if (fstat(fd, &info) != 0)
    cause = std::strerror(errno);
  else if (S_ISDIR(info.st_mode))
    cause = std::strerror(EISDIR);
  else if (!S_ISREG(info.st_mode))
    cause = OwnText(OwnMessage::NotRegularFile);
  if (cause.empty()) {
    // Read into a buffer of the file's size: memory stays at the size of
    // the file, however large. A file growing meanwhile is read to its end.
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    char more[65536];
    for (;;) {
      const bool full = got == bytes.size();
      const ssize_t n =
          full ? read(fd, more, sizeof more) : read(fd, bytes.data() + got, bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) cause = std::strerror(errno);
      if (n <= 0) break;
      if (full) bytes.append(more, static_cast<std::size_t>(n));
      got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
  }
  close(fd);
  if (!cause.empty()) bytes.clear();
  return cause;
}

FolderLock::FolderLock(const std::string& folder) {
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  int locked = 0;
  do locked = flock(fd, LOCK_EX);
  while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    close(fd);
    return;
  }
  handle_ = fd;
}

FolderLock::~FolderLock() {
  if (handle_ >= 0) close(handle_);
}

namespace {

// Spool files are named ".zirvo-" + six letters or digits + ".pdf".
constexpr std::string_view kSpoolPrefix = ".zirvo-";
constexpr std::string_view kSpoolSuffix = ".pdf";
constexpr std::size_t kSpoolLetters = 6;
constexpr int kNameAttempts = 100;

std::string SpoolName() {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device seed;
  std::mt19937_64 generator(seed());
  std::string name(kSpoolPrefix);
  for (std::size_t i = 0; i < kSpoolLetters; ++i) name += kLetters[generator() % 62];
  return name + std::string(kSpoolSuffix);
}

bool IsSpoolName(std::string_view name) {
  if (name.size() != kSpoolPrefix.size() + kSpoolLetters + kSpoolSuffix.size()) return false;
  if (name.substr(0, kSpoolPrefix.size()) != kSpoolPrefix) return false;
  if (name.substr(name.size() - kSpoolSuffix.size()) != kSpoolSuffix) return false;
  for (char c : name.substr(kSpoolPrefix.size(), kSpoolLetters))
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when `path` still names the file open as `fd`.
bool StillNamed(int fd, const std::string& path) {
  struct stat byHandle {
  }, byName{};
  return fstat(fd, &byHandle) == 0 && lstat(path.c_str(), &byName) == 0 &&
         SameFile(byHandle, byName);
}

std::string HandlePath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

}  // namespace

SpoolFile::SpoolFile(const std::string& folder, bool unnamedWherePossible)
    : folder_(folder.empty() ? "." : folder) {
#ifdef O_TMPFILE
  const int unnamed =
      unnamedWherePossible ? open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666) : -1;
  if (unnamed >= 0) {
    // Other code reaches the file through /proc; without /proc it is named.
    if (access(HandlePath(unnamed).c_str(), W_OK) == 0) {
      flock(unnamed, LOCK_EX);
      handle_ = unnamed;
      path_ = HandlePath(unnamed);
      return;
    }
    close(unnamed);
  } else if (unnamedWherePossible && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
    // Not a file system without unnamed files: the folder itself refuses.
    error_ = std::strerror(errno);
    return;
  }
#endif
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = SpoolName();
    const std::string path = folder_ + "/" + name;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) {
      error_ = std::strerror(errno);
      return;
    }
    // A clean-up that found the file before it was locked may have removed
    // it; then it takes another name.
    if (flock(fd, LOCK_EX) != 0 || !StillNamed(fd, path)) {
      close(fd);
      continue;
    }
    handle_ = fd;
    name_ = name;
    path_ = path;
    return;
  }
  error_ = std::strerror(EEXIST);
}

SpoolFile::~SpoolFile() {
  if (!name_.empty()) unlink(path_.c_str());
  if (handle_ >= 0) close(handle_);
}

std::string SpoolFile::Publish(const std::string& target) {
  if (handle_ < 0) return error_;
  struct stat old {};
  const bool replacing = stat(target.c_str(), &old) == 0;
  // A replaced document keeps its permissions; a new one has the umask's.
  if (replacing && fchmod(handle_, old.st_mode & 07777) != 0) return std::strerror(errno);
  if (name_.empty()) {
    if (!replacing) {
      if (linkat(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return "";
      if (errno != EEXIST) return std::strerror(errno);
    }
    // rename() is the one step that replaces a file: the document gets a
    // hidden name first. The lock keeps a clean-up away from it.
    int attempt = 0;
    for (; attempt < kNameAttempts; ++attempt) {
      const std::string name = SpoolName();
      const std::string path = folder_ + "/" + name;
      if (linkat(AT_FDCWD, path_.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        name_ = name;
        path_ = path;
        break;
      }
      if (errno != EEXIST) return std::strerror(errno);
    }
    if (attempt == kNameAttempts) return std::strerror(EEXIST);
  }
  if (rename(path_.c_str(), target.c_str()) != 0) return std::strerror(errno);
  name_.clear();
  return "";
}

void RemoveAbandonedSpoolFiles(const std::string& folder) {
  const std::string base = folder.empty() ? "." : folder;
  DIR* listing = opendir(base.c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = readdir(listing)) {
    if (!IsSpoolName(entry->d_name)) continue;
    const std::string path = base + "/" + entry->d_name;
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info {};
    // A run still writing holds its file locked.
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
        flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, path))
      unlink(path.c_str());
    close(fd);
  }
  closedir(listing);
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

namespace {
constexpr int kStopRequests[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction beforeCatching[std::size(kStopRequests)];
bool catching = false;
}  // namespace

void CatchStopRequests(void (*handler)(int)) {
  if (catching) StopCatchingStopRequests();
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kStopRequests); ++i) {
    sigaction(kStopRequests[i], nullptr, &beforeCatching[i]);
    // A request to end that the process was started to ignore stays
    // ignored (nohup); Ctrl+C cancels always, as it always did.
    const bool ignored = beforeCatching[i].sa_handler == SIG_IGN;
    if (kStopRequests[i] == SIGINT || !ignored) sigaction(kStopRequests[i], &action, nullptr);
  }
  catching = true;
}

void StopCatchingStopRequests() {
  if (!catching) return;
  for (std::size_t i = 0; i < std::size(kStopRequests); ++i)
    sigaction(kStopRequests[i], &beforeCatching[i], nullptr);
  catching = false;
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
