#include "catalog/catalog.h"

#include <optional>

#include "base/file_io.h"
#include "base/helpers.h"
#include "base/text.h"
#include "catalog/ini_file.h"

namespace zirvo {
namespace {

constexpr std::string_view kSection = "Language";
constexpr std::string_view kKey = "Predet";

}  // namespace

Catalog::Catalog(std::string settingsFile) : settingsFile_(std::move(settingsFile)) {}

std::string Catalog::LookupText(std::string_view code) const {
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

void Catalog::LoadTable(int language) {
  english_ = language == 2;
  SetOwnMessagesEnglish(english_);
  // The tables are Windows-1252; the program's texts are UTF-8.
  lines_.clear();
  for (const std::string& line : english_ ? EnglishCatalog() : SpanishCatalog())
    lines_.push_back(Cp1252ToUtf8(line));
}

int Catalog::ReadLanguage() {
  int32_t language = 0;
  try {
    std::string value;
    if (ReadIniValue(ReadFileBytes(settingsFile_), kSection, kKey, value)) {
      if (!TryParseInt32(value, language)) language = 0;
    }
  } catch (const ZirvoError&) {
    language = 0;
  }
  languageCode_ = ZeroPad(FormatInt(language), 6);
  return language;
}

void Catalog::WriteLanguage(int language) {
  try {
    ChangeFileAtomically(settingsFile_, [&](const std::optional<std::string>& current) {
      return WithIniValue(current.value_or(""), kSection, kKey, FormatInt(language));
    });
  } catch (const std::exception&) {
    language = 0;
  }
  languageCode_ = ZeroPad(FormatInt(language), 6);
}

Catalog& ProgramCatalog() {
  static Catalog catalog = [] {
    Catalog created(DataFolder() + "DatosLoc.ini");
    created.LoadTable(created.ReadLanguage());
    return created;
  }();
  return catalog;
}

std::string LookupText(std::string_view code) { return ProgramCatalog().LookupText(code); }

}  // namespace zirvo
