// The numbering register of one template's runs: where it is found, under
// which series it keeps them, and the old journal it takes in first. The
// print engine, zirvo-batch's journal command and the print page use these,
// so that they always agree.
#pragma once

#include <memory>
#include <string>

#include "printing/number_register.h"
#include "printing/register_settings.h"
#include "template/print_job.h"

namespace zirvo {

// Where the registers are found.
struct RegisterPlace {
  // A connection named for these runs (zirvo-batch --register); "" for none.
  std::string connection;
  // The settings files that may name one (see ChooseRegister).
  std::string userSettings;
  std::string systemSettings;
  // The folder whose register keeps the runs of a template never saved:
  // the data folder, where Save proposes to put it.
  std::string unsavedFolder;
  RegisterOptions options;

  // The settings files and the data folder of this user and machine.
  static RegisterPlace OfThisMachine();
};

// The series of a job's runs: its template's own, else that of its file's
// canonical path; "" for a template with neither (never saved, no series).
std::string SeriesOfJob(const PrintJob& job);

// The folder whose embedded register keeps the runs of the template at
// `templateFile` ("" for one never saved): the folder of its real file,
// links resolved, so that every path to one template finds one register.
std::string RegisterFolderOf(const RegisterPlace& place, const std::string& templateFile);

// The register of the template's runs as the print page names it (UTF-8, no
// password), or why it cannot be told (a settings file that cannot be read).
std::string DescribeRegisterOf(const RegisterPlace& place, const std::string& templateFile);

// The register the settings choose (ChooseRegister): RegisterError when a
// settings file cannot be read.
RegisterChoice RegisterChoiceOf(const RegisterPlace& place);

// Opens that register (making the data folder for a template never saved
// when it is missing). Throws RegisterError when it cannot be used.
std::unique_ptr<NumberRegister> OpenRegisterOf(const RegisterPlace& place,
                                               const std::string& templateFile);
std::unique_ptr<NumberRegister> OpenRegisterOf(const RegisterPlace& place,
                                               const std::string& templateFile,
                                               const RegisterChoice& choice);

// Imports the old journal beside the template at `templateFile` into
// `series` (once: a register imports a journal no second time). Returns the
// notice of what it could not take ("" for nothing). Throws
// ZirvoError when the journal cannot be read, RegisterError when the
// register cannot take it: the journal's numbers would go unguarded.
std::string ImportOldJournal(NumberRegister& reg, const std::string& templateFile,
                             const std::string& series);

}  // namespace zirvo
