#include "catalog/catalog.h"

#include <algorithm>
#include <filesystem>

#include "app/file_io.h"
#include "app/helpers.h"
#include "app/text.h"

namespace zirvo {
namespace {

constexpr std::string_view kSection = "Language";
constexpr std::string_view kKey = "Predet";

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

// One line of an INI file, with the line end it had, so that a rewrite keeps
// every other line byte for byte.
struct IniLine {
  std::string text;
  std::string end;
};

std::vector<IniLine> SplitIni(const std::string& bytes) {
  std::vector<IniLine> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    std::size_t endLength = (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
    lines.push_back({bytes.substr(start, i - start), bytes.substr(i, endLength)});
    i += endLength - 1;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back({bytes.substr(start), ""});
  return lines;
}

// "[name]" -> name; empty for a line that is no section header.
std::string SectionName(const std::string& line) {
  const std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') return {};
  return Trim(std::string_view(trimmed).substr(1, trimmed.size() - 2));
}

bool IsKeyLine(const std::string& line, std::string_view key, std::string* value = nullptr) {
  const auto equals = line.find('=');
  if (equals == std::string::npos) return false;
  if (!EqualNoCase(Trim(std::string_view(line).substr(0, equals)), key)) return false;
  if (value != nullptr) *value = Trim(std::string_view(line).substr(equals + 1));
  return true;
}

// The value of key in section, or nothing when either is missing.
bool ReadIniValue(const std::vector<IniLine>& lines, std::string_view section, std::string_view key,
                  std::string& value) {
  bool inSection = false;
  for (const auto& line : lines) {
    const std::string name = SectionName(line.text);
    if (!name.empty()) {
      inSection = EqualNoCase(name, section);
    } else if (inSection && IsKeyLine(line.text, key, &value)) {
      return true;
    }
  }
  return false;
}

void SetIniValue(std::vector<IniLine>& lines, std::string_view section, std::string_view key,
                 const std::string& value) {
  const std::string entry = std::string(key) + "=" + value;
  const std::string newline =
      !lines.empty() && !lines.front().end.empty() ? lines.front().end : std::string("\r\n");
  int sectionAt = -1;
  int lastEntryAt = -1;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    const std::string name = SectionName(lines[i].text);
    if (!name.empty()) {
      if (sectionAt >= 0) break;
      if (EqualNoCase(name, section)) sectionAt = lastEntryAt = i;
    } else if (sectionAt >= 0) {
      if (IsKeyLine(lines[i].text, key)) {
        lines[i].text = entry;
        return;
      }
      if (!Trim(lines[i].text).empty()) lastEntryAt = i;
    }
  }
  if (!lines.empty() && lines.back().end.empty()) lines.back().end = newline;
  if (sectionAt < 0) {
    lines.push_back({"[" + std::string(section) + "]", newline});
    lines.push_back({entry, newline});
    return;
  }
  lines.insert(lines.begin() + lastEntryAt + 1, IniLine{entry, newline});
}

const char* OwnSpanish(OwnMessage message) {
  switch (message) {
    case OwnMessage::PipeInText:
      return "El texto '%s' contiene el car\xe1" "cter \"|\", que una plantilla no puede guardar.";
    case OwnMessage::NotCp1252:
      return "El texto '%s' contiene caracteres que una plantilla no puede guardar.";
    case OwnMessage::NumberOutOfRange:
      return "El numerador %s saldr\xed" "a del rango de n\xfameros (-2147483648 a 2147483647) "
             "en esta impresi\xf3n. No se imprimi\xf3 nada.";
    case OwnMessage::NegativeSheets:
      return "El n\xfamero de hojas '%s' no puede ser negativo. No se imprimi\xf3 nada.";
    case OwnMessage::RepositionNotInteger:
      return "'%s' no es un n\xfamero de hoja v\xe1lido.";
    case OwnMessage::RepositionNotPrinted:
      return "Se imprimieron las cinco primeras hojas de la lista. No se imprimieron: %s";
    case OwnMessage::ZoomNotPositive:
      return "El zoom '%s' debe ser mayor que cero.";
    case OwnMessage::SheetSizeNotPositive:
      return "El largo y el alto de la hoja deben ser mayores que cero.";
    case OwnMessage::ImageNotDecoded:
      return "La imagen '%s' no pudo ser le\xed" "da como imagen JPEG.";
    case OwnMessage::FileNotWritten:
      return "No se pudo guardar el archivo '%s': %s";
    case OwnMessage::FileNotRead:
      return "No se pudo leer el archivo '%s': %s";
    case OwnMessage::NotCompatible:
      return "El formato no es compatible y no pudo ser leido.";
  }
  return "";
}

const char* OwnEnglish(OwnMessage message) {
  switch (message) {
    case OwnMessage::PipeInText:
      return "The text '%s' contains the character \"|\", which a template cannot store.";
    case OwnMessage::NotCp1252:
      return "The text '%s' contains characters that a template cannot store.";
    case OwnMessage::NumberOutOfRange:
      return "Numerator %s would leave the range of numbers (-2147483648 to 2147483647) in "
             "this run. Nothing was printed.";
    case OwnMessage::NegativeSheets:
      return "The number of sheets '%s' cannot be negative. Nothing was printed.";
    case OwnMessage::RepositionNotInteger:
      return "'%s' is not a valid sheet number.";
    case OwnMessage::RepositionNotPrinted:
      return "The first five sheets of the list were printed. Not printed: %s";
    case OwnMessage::ZoomNotPositive:
      return "The zoom '%s' must be greater than zero.";
    case OwnMessage::SheetSizeNotPositive:
      return "The length and the height of the sheet must be greater than zero.";
    case OwnMessage::ImageNotDecoded:
      return "The picture '%s' could not be read as a JPEG image.";
    case OwnMessage::FileNotWritten:
      return "The file '%s' could not be saved: %s";
    case OwnMessage::FileNotRead:
      return "The file '%s' could not be read: %s";
    case OwnMessage::NotCompatible:
      return "El formato no es compatible y no pudo ser leido.";
  }
  return "";
}

// Own messages follow the table loaded last; the program loads one catalog.
bool ownTextEnglish = false;

}  // namespace

TFDbDatLan::TFDbDatLan(std::string settingsFile) : settingsFile_(std::move(settingsFile)) {}

std::string TFDbDatLan::LookupText(std::string_view code) const {
  std::string result;
  if (code.size() != 4) return result;
  // The whole table is scanned: with a repeated code the last line wins.
  for (const auto& line : lines_) {
    if (line.size() >= 4 && line.compare(0, 4, code) == 0) {
      result = line.size() > 7 ? line.substr(7) : std::string();
    }
  }
  return result;
}

void TFDbDatLan::LoadTable(int language) {
  english_ = language == 2;
  ownTextEnglish = english_;
  lines_ = english_ ? EnglishCatalog() : SpanishCatalog();
}

int TFDbDatLan::ReadLanguage() {
  int32_t language = 0;
  try {
    std::string value;
    if (ReadIniValue(SplitIni(ReadFileBytes(settingsFile_)), kSection, kKey, value)) {
      if (!TryParseInt32(value, language)) language = 0;
    }
  } catch (const ZirvoError&) {
    language = 0;
  }
  languageCode_ = ZeroPad(FormatInt(language), 6);
  return language;
}

void TFDbDatLan::WriteLanguage(int language) {
  try {
    std::vector<IniLine> lines;
    if (std::filesystem::exists(settingsFile_)) lines = SplitIni(ReadFileBytes(settingsFile_));
    SetIniValue(lines, kSection, kKey, FormatInt(language));
    std::string bytes;
    for (const auto& line : lines) bytes += line.text + line.end;
    WriteFileAtomically(settingsFile_, bytes);
  } catch (const std::exception&) {
    language = 0;
  }
  languageCode_ = ZeroPad(FormatInt(language), 6);
}

TFDbDatLan& Catalog() {
  static TFDbDatLan catalog = [] {
    TFDbDatLan created(DataFolder() + "DatosLoc.ini");
    created.LoadTable(created.ReadLanguage());
    return created;
  }();
  return catalog;
}

std::string LookupText(std::string_view code) { return Catalog().LookupText(code); }

std::string OwnText(OwnMessage message, std::string_view arg, std::string_view arg2) {
  std::string text = ownTextEnglish ? OwnEnglish(message) : OwnSpanish(message);
  std::string_view args[] = {arg, arg2};
  std::size_t from = 0;
  for (auto value : args) {
    const auto at = text.find("%s", from);
    if (at == std::string::npos) break;
    text.replace(at, 2, value);
    from = at + value.size();
  }
  return text;
}

}  // namespace zirvo
