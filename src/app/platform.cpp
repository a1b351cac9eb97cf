// POSIX implementations of the operating-system services the core needs.
#include "app/platform.h"

#include <fcntl.h>
#include <unistd.h>

#include <sys/resource.h>

#include <climits>
#include <cstdio>

namespace zirvo::platform {

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  return std::string(buffer, static_cast<std::size_t>(length));
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

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

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

}  // namespace zirvo::platform
