#include "app/file_io.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "app/platform.h"
#include "app/text.h"
#include "catalog/catalog.h"

namespace zirvo {
namespace {

namespace fs = std::filesystem;

std::string ErrnoText() { return std::strerror(errno); }

fs::path FolderPart(const std::string& path) {
  fs::path folder = fs::path(path).parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

fs::path TemporaryPathBeside(const std::string& path) {
  std::random_device seed;
  std::mt19937_64 generator(seed());
  const std::string name =
      "." + fs::path(path).filename().string() + "." + FormatInt(generator() % 1000000000) + ".tmp";
  return FolderPart(path) / name;
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
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) fail(ErrnoText());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) fail(ErrnoText());
  }
  if (!platform::FlushFileToDisk(temporary.string())) fail(ErrnoText());

  const auto status = fs::status(path, code);
  if (!code && fs::exists(status)) fs::permissions(temporary, status.permissions(), code);
  fs::rename(temporary, path, code);
  if (code) fail(code.message());
  platform::FlushFolderToDisk(FolderPart(path).string());
}

}  // namespace zirvo
