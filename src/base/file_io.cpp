#include "base/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

#include "base/messages.h"
#include "base/platform.h"
#include "base/text.h"

namespace zirvo {
namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 100;

std::string ErrnoText() { return std::strerror(errno); }

fs::path FolderPart(const std::string& path) {
  fs::path folder = fs::path(path).parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

// Temporary files are named ".<target name>.<random digits>.tmp".
std::string TemporaryPrefix(const std::string& path) {
  return "." + fs::path(path).filename().string() + ".";
}

fs::path TemporaryPathBeside(const std::string& path) {
  std::random_device seed;
  std::mt19937_64 generator(seed());
  return FolderPart(path) / (TemporaryPrefix(path) + FormatInt(generator() % 1000000000) + ".tmp");
}

bool IsTemporaryOf(const std::string& fileName, const std::string& prefix) {
  constexpr std::string_view kSuffix = ".tmp";
  if (fileName.size() <= prefix.size() + kSuffix.size()) return false;
  if (fileName.compare(0, prefix.size(), prefix) != 0) return false;
  if (fileName.compare(fileName.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
    return false;
  const auto digits = std::string_view(fileName).substr(
      prefix.size(), fileName.size() - prefix.size() - kSuffix.size());
  return digits.find_first_not_of("0123456789") == std::string_view::npos;
}

// A save killed between writing its temporary file and renaming it leaves
// that file behind; the next save of the same target removes it. Only a
// save holding the folder's lock may: any other temporary file is then a
// leftover, not the file of a save in progress.
void RemoveLeftoverTemporaries(const std::string& path) {
  const std::string prefix = TemporaryPrefix(path);
  std::error_code code;
  for (fs::directory_iterator entry(FolderPart(path), code), end; !code && entry != end;
       entry.increment(code)) {
    if (IsTemporaryOf(entry->path().filename().string(), prefix)) {
      std::error_code ignored;
      fs::remove(entry->path(), ignored);
    }
  }
}

[[noreturn]] void FailToWrite(const std::string& path, const std::string& cause) {
  throw ZirvoError(OwnText(OwnMessage::FileNotWritten, path, cause));
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A temporary file beside `path` that did not exist before ("x": created
// exclusively), so that no two saves ever share one.
FileHandle CreateTemporaryBeside(const std::string& path, fs::path& temporary) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporary = TemporaryPathBeside(path);
    if (FileHandle out{std::fopen(temporary.c_str(), "wbx")}) return out;
    if (errno != EEXIST) break;
  }
  FailToWrite(path, ErrnoText());
}

// Writes `bytes` as the file at `path` through a temporary file beside it.
void ReplaceFile(const std::string& path, std::string_view bytes, bool removeLeftovers,
                 const WriteObserver& observer) {
  const auto Notify = [&](WriteStage stage, const fs::path& temporary) {
    if (observer) observer(stage, temporary.string());
  };
  std::error_code code;
  if (fs::is_directory(path, code)) FailToWrite(path, std::strerror(EISDIR));
  if (removeLeftovers) RemoveLeftoverTemporaries(path);
  fs::path temporary;
  FileHandle out = CreateTemporaryBeside(path, temporary);
  const auto fail = [&](const std::string& cause) {
    out.reset();
    std::error_code ignored;
    fs::remove(temporary, ignored);
    FailToWrite(path, cause);
  };
  Notify(WriteStage::TemporaryCreated, temporary);
  const auto put = [&](std::string_view part) {
    if (std::fwrite(part.data(), 1, part.size(), out.get()) != part.size() ||
        std::fflush(out.get()) != 0)
      fail(ErrnoText());
  };
  // In two halves, so that a test can interrupt the save while the
  // temporary file holds part of the new content.
  const size_t half = bytes.size() / 2;
  put(bytes.substr(0, half));
  Notify(WriteStage::HalfWritten, temporary);
  put(bytes.substr(half));
  if (std::fclose(out.release()) != 0) fail(ErrnoText());
  if (!platform::FlushFileToDisk(temporary.string())) fail(ErrnoText());
  Notify(WriteStage::Written, temporary);

  const auto status = fs::status(path, code);
  if (!code && fs::exists(status)) fs::permissions(temporary, status.permissions(), code);
  fs::rename(temporary, path, code);
  if (code) fail(code.message());
  Notify(WriteStage::Renamed, temporary);
  platform::FlushFolderToDisk(FolderPart(path).string());
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
  std::optional<std::string> bytes = ReadFileIfPresent(path);
  if (!bytes) throw ZirvoError(OwnText(OwnMessage::FileNotRead, path, std::strerror(ENOENT)));
  return std::move(*bytes);
}

std::optional<std::string> ReadFileIfPresent(const std::string& path) {
  std::string bytes;
  bool missing = false;
  const std::string cause = platform::ReadRegularFile(path, bytes, &missing);
  if (missing) return std::nullopt;
  if (!cause.empty()) throw ZirvoError(OwnText(OwnMessage::FileNotRead, path, cause));
  return bytes;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const WriteObserver& observer) {
  const platform::FolderLock lock(FolderPart(path).string());
  ReplaceFile(path, bytes, lock.Held(), observer);
}

void ChangeFileAtomically(
    const std::string& path,
    const std::function<std::string(const std::optional<std::string>& current)>& change,
    const WriteObserver& observer) {
  const platform::FolderLock lock(FolderPart(path).string());
  ReplaceFile(path, change(ReadFileIfPresent(path)), lock.Held(), observer);
}

}  // namespace zirvo
