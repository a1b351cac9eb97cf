#include "template/template_file.h"

#include <algorithm>
#include <filesystem>

#include "base/csv.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "base/text.h"
#include "catalog/catalog.h"

namespace zirvo {
namespace {

constexpr int kHeaderFields = 21;
constexpr int32_t kNewColor1 = 15723990;
constexpr int32_t kNewColor2 = 9715751;

std::string Flag(bool value) { return value ? "T" : "F"; }

// The name and folder fields are informative (reading takes both from the
// path the file is opened at), but a "|" or a line end in them would split
// the header line and the file could never be opened again. Each such
// character is written as "_".
std::string HeaderFieldText(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '|' || c == '\r' || c == '\n'; }, '_');
  return text;
}

// Grid column of header field n. Field 1 is the empty text before the first
// "|" and lands in grid column 1, right after the row index in column 0.
int Column(int field) { return field; }

}  // namespace

namespace {

std::string NativeFileName(const std::string& path) {
  const auto cut = path.find_last_of('/');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

std::string FileNameOf(const std::string& path) { return NativeFileName(path); }

std::string FolderOf(const std::string& path) {
  const auto cut = path.find_last_of('/');
  if (cut == std::string::npos) return {};
  if (cut == 0) return "/";  // the root keeps its separator
  return path.substr(0, cut);
}

std::string TemplateNameOf(const std::string& path) {
  const std::string file = FileNameOf(path);
  return FirstCharacters(file.substr(0, file.find('.')), SheetHeader::kNameCapacity);
}

void ResetSheetHeader(SheetHeader& header) {
  const int32_t keptInt1 = header.Int1;
  header = SheetHeader{};
  header.Int1 = keptInt1;
}

void StartNewSheetHeader(SheetHeader& header, const std::string& name, double width,
                         double height) {
  ResetSheetHeader(header);
  header.SetName(name);
  header.Width = width;
  header.Height = height;
  header.Color1 = kNewColor1;
  header.Color2 = kNewColor2;
  header.SetKind("IMP100");
}

void WriteSheetHeader(SheetHeader& header, TemplateLines& lines, const std::string& targetPath) {
  header.SetName(FileNameOf(targetPath));
  header.Folder = FolderOf(targetPath);
  const std::string fields[] = {
      "HJA",
      header.Kind,
      HeaderFieldText(header.Name),
      HeaderFieldText(header.Folder),
      FormatInt(header.Byte1),
      FormatInt(header.Byte2),
      FormatInt(header.Byte3),
      FormatInt(header.Byte4),
      FormatInt(header.Word1),
      FormatInt(header.Word2),
      FormatFixed(header.Width, 2),
      FormatFixed(header.Height, 2),
      FormatInt(header.Int1),
      FormatInt(header.Color1),
      FormatInt(header.Int2),
      FormatInt(header.Int3),
      FormatInt(header.Int4),
      FormatInt(header.Int5),
      Flag(header.Flag1),
      Flag(header.Flag2),
  };
  std::string line;
  for (const auto& field : fields) line += "|" + field;
  line += "|";
  lines.push_back(std::move(line));
}

bool ReadSheetHeader(SheetHeader& header, const TemplateLines& lines,
                     const std::string& sourcePath) {
  // Only the first header line counts, and only its first fields.
  const auto first = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.compare(0, kSheetHeaderMarker.size(), kSheetHeaderMarker) == 0;
  });
  if (first == lines.end()) return false;
  CsvGrid grid;
  int32_t rows = 0;
  int32_t cols = 0;
  LinesToGrid(std::span<const std::string>(&*first, 1), grid, rows, cols, '|',
              Column(kHeaderFields) + 1);
  if (rows == 0) return false;
  if (cols < Column(kHeaderFields) + 1) {
    throw ZirvoError(OwnText(OwnMessage::FileNotRead, sourcePath,
                             "the sheet header line has fewer than 21 fields"));
  }
  const auto field = [&](int n) -> const std::string& { return grid[Column(n)][0]; };

  // The header changes only when every value converts.
  SheetHeader read = header;
  read.SetName(TemplateNameOf(sourcePath));
  read.Folder = FolderOf(sourcePath);
  read.SetKind(field(3));
  read.Byte1 = static_cast<uint8_t>(ParseInt32(field(6)));
  read.Byte2 = static_cast<uint8_t>(ParseInt32(field(7)));
  read.Byte3 = static_cast<uint8_t>(ParseInt32(field(8)));
  read.Byte4 = static_cast<uint8_t>(ParseInt32(field(9)));
  read.Word1 = static_cast<uint16_t>(ParseInt32(field(10)));
  read.Word2 = static_cast<uint16_t>(ParseInt32(field(11)));
  read.Width = ParseDouble(field(12));
  read.Height = ParseDouble(field(13));
  read.Int1 = ParseInt32(field(14));
  read.Color1 = ParseInt32(field(15));
  read.Int2 = ParseInt32(field(16));
  read.Int3 = ParseInt32(field(17));
  read.Int4 = ParseInt32(field(18));
  read.Int5 = ParseInt32(field(19));
  read.Flag1 = field(20) == "T";
  read.Flag2 = field(21) == "T";
  header = std::move(read);
  return true;
}

std::string JoinTemplateLines(const TemplateLines& lines) {
  std::string bytes;
  for (const auto& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  return bytes;
}

namespace {

[[noreturn]] void RefuseToWrite(const std::string& path, const std::string& cause) {
  throw ZirvoError(OwnText(OwnMessage::FileNotWritten, path, cause));
}

// The file a save of `path` replaces: the path itself, or the file its
// symbolic links lead to. Replacing the link itself would leave the file it
// led to with its old content, under a name nobody opens any more.
std::string WriteTargetOf(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code code;
  const fs::file_status entry = fs::symlink_status(path, code);
  // Nothing there yet (or nothing to tell): the write itself decides.
  if (code || !fs::exists(entry)) return path;
  std::string target = path;
  if (fs::is_symlink(entry)) {
    const fs::path real = fs::canonical(path, code);
    if (code) {
      // A file created wherever a dangling link points is not the template.
      const std::string leadsTo = fs::read_symlink(path, code).string();
      RefuseToWrite(path, OwnText(OwnMessage::LinkLeadsNowhere, leadsTo));
    }
    target = real.string();
  }
  if (!fs::is_regular_file(fs::status(target, code)))
    RefuseToWrite(path, OwnText(OwnMessage::NotRegularFile));
  return target;
}

}  // namespace

void WriteTemplateBytes(const std::string& path, std::string_view bytes,
                        const WriteObserver& observer) {
  WriteFileAtomically(WriteTargetOf(path), bytes, observer);
}

void ForEachTemplateLine(std::string_view bytes,
                         const std::function<bool(std::string_view line)>& take) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    if (!take(bytes.substr(start, i - start))) return;
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) take(bytes.substr(start));
}

}  // namespace zirvo
