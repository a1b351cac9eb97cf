#include "base/file_io.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "base/messages.h"
#include "base/platform.h"
#include "base/text.h"

namespace zirvo {
namespace {

namespace fs = std::filesystem;

WriteObserver& Observer() {
  static WriteObserver observer;
  return observer;
}

void Notify(WriteStage stage, const fs::path& temporary) {
  if (Observer()) Observer()(stage, temporary.string());
}

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
// that file behind; the next save of the same target removes it.
void RemoveLeftoverTemporaries(const std::string& path) {
  const std::string prefix = TemporaryPrefix(path);
  std::error_code code;
  for (const auto& entry : fs::directory_iterator(FolderPart(path), code)) {
    if (IsTemporaryOf(entry.path().filename().string(), prefix)) {
      std::error_code ignored;
      fs::remove(entry.path(), ignored);
    }
  }
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
  std::error_code code;
  if (fs::is_directory(path, code)) {
    throw ZirvoError(OwnText(OwnMessage::FileNotRead, path, std::strerror(EISDIR)));
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ZirvoError(OwnText(OwnMessage::FileNotRead, path, ErrnoText()));
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) throw ZirvoError(OwnText(OwnMessage::FileNotRead, path, ErrnoText()));
  return content.str();
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const fs::path temporary = TemporaryPathBeside(path);
  const auto fail = [&](const std::string& cause) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw ZirvoError(OwnText(OwnMessage::FileNotWritten, path, cause));
  };

  std::error_code code;
  if (fs::is_directory(path, code)) fail(std::strerror(EISDIR));
  RemoveLeftoverTemporaries(path);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) fail(ErrnoText());
    Notify(WriteStage::TemporaryCreated, temporary);
    const auto put = [&](std::string_view part) {
      out.write(part.data(), static_cast<std::streamsize>(part.size()));
      out.flush();
      if (!out) fail(ErrnoText());
    };
    // In two halves, so that a test can interrupt the save while the
    // temporary file holds part of the new content.
    const size_t half = bytes.size() / 2;
    put(bytes.substr(0, half));
    Notify(WriteStage::HalfWritten, temporary);
    put(bytes.substr(half));
  }
  if (!platform::FlushFileToDisk(temporary.string())) fail(ErrnoText());
  Notify(WriteStage::Written, temporary);

  const auto status = fs::status(path, code);
  if (!code && fs::exists(status)) fs::permissions(temporary, status.permissions(), code);
  fs::rename(temporary, path, code);
  if (code) fail(code.message());
  Notify(WriteStage::Renamed, temporary);
  platform::FlushFolderToDisk(FolderPart(path).string());
}

void SetWriteObserverForTesting(WriteObserver observer) { Observer() = std::move(observer); }

}  // namespace zirvo
