#include "printing/job_register.h"

#include <filesystem>

#include "base/helpers.h"
#include "base/messages.h"
#include "base/platform.h"
#include "base/text.h"
#include "printing/register_settings.h"
#include "template/series.h"

namespace zirvo {

RegisterPlace RegisterPlace::OfThisMachine() {
  RegisterPlace place;
  place.userSettings = UserRegisterSettingsFile();
  place.systemSettings = SystemRegisterSettingsFile();
  place.unsavedFolder = DataFolder();
  return place;
}

std::string SeriesOfJob(const PrintJob& job) {
  if (!job.Series.empty()) return job.Series;
  return job.TemplateFile.empty() ? std::string() : SeriesOfPath(job.TemplateFile);
}

std::string RegisterFolderOf(const RegisterPlace& place, const std::string& templateFile) {
  if (templateFile.empty()) return place.unsavedFolder;
  return std::filesystem::path(CanonicalPath(templateFile)).parent_path().string();
}

RegisterChoice RegisterChoiceOf(const RegisterPlace& place) {
  return ChooseRegister(place.connection, place.userSettings, place.systemSettings);
}

std::string DescribeRegisterOf(const RegisterPlace& place, const std::string& templateFile) {
  try {
    return DescribeRegister(RegisterChoiceOf(place), RegisterFolderOf(place, templateFile));
  } catch (const ZirvoError& e) {
    return e.what();
  }
}

std::unique_ptr<NumberRegister> OpenRegisterOf(const RegisterPlace& place,
                                               const std::string& templateFile) {
  return OpenRegisterOf(place, templateFile, RegisterChoiceOf(place));
}

std::unique_ptr<NumberRegister> OpenRegisterOf(const RegisterPlace& place,
                                               const std::string& templateFile,
                                               const RegisterChoice& choice) {
  // The data folder of a user who never started the program is made here,
  // as the program makes it when it starts.
  if (choice.Embedded() && templateFile.empty()) platform::MakeFolders(place.unsavedFolder);
  return OpenRegister(choice, RegisterFolderOf(place, templateFile), place.options);
}

std::string ImportOldJournal(NumberRegister& reg, const std::string& templateFile,
                             const std::string& series) {
  if (templateFile.empty()) return {};
  const std::string journal = JournalPathFor(CanonicalPath(templateFile));
  const JournalImport import = reg.ImportJournal(series, journal);
  std::string notice;
  if (!import.damagedLines.empty())
    notice = OwnText(OwnMessage::JournalDamaged, journal, JoinNumbers(import.damagedLines, ", "));
  if (!import.skippedRuns.empty()) {
    std::string runs;
    for (const std::string& id : import.skippedRuns) runs += (runs.empty() ? "" : ", ") + id;
    if (!notice.empty()) notice += " ";
    notice += OwnText(OwnMessage::JournalRunsNotImported, journal, runs);
  }
  return notice;
}

}  // namespace zirvo
