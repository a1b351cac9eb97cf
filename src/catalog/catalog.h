// The message catalog: every caption and most messages, looked up by a
// four-digit code in the built-in Spanish or English table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/messages.h"

namespace zirvo {

class Catalog {
 public:
  // `settingsFile` is the path of DatosLoc.ini. The catalog starts empty.
  explicit Catalog(std::string settingsFile);

  // The text of the code in the current language (UTF-8), or "" for an
  // unknown code.
  std::string LookupText(std::string_view code) const;
  // Fills the catalog with the English table for 2, the Spanish one otherwise.
  void LoadTable(int language);
  // Key "Predet" of section "Language"; 0 when anything is missing or wrong.
  // Sets LanguageCode.
  int ReadLanguage();
  // Stores the number under "Predet" of "Language", keeping every other line
  // of the file. A failure stores nothing and makes the number 0. Sets
  // LanguageCode.
  void WriteLanguage(int language);

  // The current language number, zero-padded to six digits ("000002").
  const std::string& LanguageCode() const { return languageCode_; }
  void SetLanguageCode(std::string code) { languageCode_ = std::move(code); }
  // True while the English table is loaded.
  bool English() const { return english_; }

 private:
  std::string settingsFile_;
  std::vector<std::string> lines_;
  std::string languageCode_ = "000000";
  bool english_ = false;
};

// The built-in tables, one "code = text" line per code, Windows-1252.
const std::vector<std::string>& SpanishCatalog();
const std::vector<std::string>& EnglishCatalog();

// The program's one catalog. Created on first use on DataFolder() +
// "DatosLoc.ini" and loaded with the stored language.
Catalog& ProgramCatalog();
// ProgramCatalog().LookupText(code).
std::string LookupText(std::string_view code);

}  // namespace zirvo
