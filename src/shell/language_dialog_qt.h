// The language dialog: switches the user interface between Spanish and
// English, reloads the catalog and stores the choice in DatosLoc.ini.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <string>

#include "catalog/catalog.h"
#include "widgets/dialog_parts_qt.h"

namespace zirvo {

enum class LanguageResult { Changed, Unchanged, Cancelled, Failed };

class LanguageDialog : public BorderlessDialog {
  Q_OBJECT
 public:
  // The languages in list order; an entry's language number is its index + 1.
  static const char* const kLanguages[2];

  explicit LanguageDialog(const Catalog& catalog, QWidget* parent = nullptr);

 private:
  TitleBand* title_;
  ClickLabel* closeCommand_;
  QLabel* languageLabel_;
  QLabel* languageDescription_;
  QLabel* languagesLabel_;
  QComboBox* languageBox_;
  ClickLabel* acceptCommand_;
  ClickLabel* cancelCommand_;
};

// Runs the dialog. On a confirmed change of language the catalog is loaded
// in the new language and the choice is stored: the caller then refreshes
// its screens (Changed).
LanguageResult ChangeLanguage(Catalog& catalog = ProgramCatalog(), QWidget* parent = nullptr);

// The language chosen in the dialog, six digits ("000002"); empty before
// the dialog was first used.
const std::string& PendingLanguageChoice();

}  // namespace zirvo
