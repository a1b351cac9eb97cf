// The print page's engine without its widgets: the loaded print job, the
// printer setting, the run settings, the print run, the test sheet, the
// reposition list and its run, and the cancel flag. What the page shows
// (status lines, progress bars, cancel commands) goes to a RunObserver.
//
// Every run either ends its document or aborts it; failures are thrown as
// ZirvoError (ConversionError for a run setting that is not a number) with
// the message to show.
//
// Every run, test sheet and reposition is recorded in the numbering register
// of its template (see register_settings.h), which reserves its numbers
// before the document begins: a register that cannot be used prints
// nothing, and a run over numbers printed already prints only when the
// observer says so.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "printing/job_register.h"
#include "printing/number_register.h"
#include "printing/page_device.h"
#include "printing/printer_setting.h"
#include "template/print_job.h"

namespace zirvo {

// The two panels of the print page that show a run.
enum class RunPanel { Run, Reposition };

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  virtual void ShowStatus(RunPanel, const std::string& /*text*/) {}
  virtual void HideStatus(RunPanel) {}
  virtual void SetProgressMaximum(RunPanel, int32_t /*maximum*/) {}
  virtual void SetProgressPosition(RunPanel, int32_t /*position*/) {}
  virtual void ShowProgress(RunPanel, bool /*visible*/) {}
  virtual void ShowCancel(RunPanel, bool /*visible*/) {}
  // Information for the user once a run has ended (a message box).
  virtual void Notice(const std::string& /*text*/) {}
  // Questions: nothing is printed unless a front end answers yes.
  //
  // Asked before a run in which a numerator passes from 0 or more to below
  // 0 (`text` names the numerator and the sheet).
  virtual bool ConfirmNegative(const std::string& /*text*/) { return false; }
  // Asked before a run the register refuses: `facts` names the numerator,
  // the numbers printed already, when, where and by whom, or says that
  // records of the register could not be read; `question` asks whether to
  // print all the same.
  virtual bool ConfirmReprint(const std::string& /*facts*/, const std::string& /*question*/) {
    return false;
  }
};

class PrintEngine {
 public:
  static constexpr int32_t kRepositionSheetsPerRun = 5;
  // The most copies of each sheet a run prints; more is refused.
  static constexpr int32_t kMaxCopies = 999;
  static constexpr std::size_t kTitleCapacity = 87;

  // The device and the observer must outlive the engine.
  explicit PrintEngine(PageDevice& device, RunObserver* observer = nullptr);

  // Replaces the loaded job by a copy (the image only when it is to be
  // printed). Refused (false) while a run is in progress.
  bool LoadPrintJob(const PrintJob& job);
  const PrintJob& LoadedJob() const { return job_; }

  // The numbering series of the loaded job's runs (SeriesOfJob); a template
  // with none (never saved, no series) gets a fresh one each time it is
  // loaded.
  const std::string& Series() const { return series_; }
  // Where the registers are found; this machine's settings at first.
  // Refused (false) while a run is in progress.
  bool SetRegisterPlace(RegisterPlace place);
  const RegisterPlace& Place() const { return place_; }
  // The register the loaded job's runs use, as the print page names it
  // (UTF-8, no password); why it cannot be told when a settings file cannot
  // be read.
  std::string RegisterDescription() const { return DescribeRegisterOf(place_, job_.TemplateFile); }
  // The loaded job's register opened, and its old journal imported, for the
  // journal screen. `reg` is null when it cannot be opened; `problem` then
  // says why, or what of the old journal could not be imported.
  struct JobRegister {
    std::unique_ptr<NumberRegister> reg;
    std::string series;
    std::string problem;
  };
  JobRegister OpenJobRegister();

  // The page's printer setting and the name shown for it (empty until the
  // user has chosen a printer).
  const PrinterSetting& Setting() const { return setting_; }
  const std::string& SelectedPrinter() const { return selectedPrinter_; }
  // The outcome of the print-setup dialog: the setting and the name to show.
  void SelectPrinter(const PrinterSetting& setting, std::string shownName);
  // Gives the device a copy of the page's setting.
  void ApplyPrinter();
  // Back to the system's default printer. The shown name is emptied too, so
  // a run asks for a new choice instead of printing elsewhere than shown.
  void ResetPrinters();

  // The texts of the three run-settings fields, as typed.
  void SetRunSettings(std::string increment, std::string copies, std::string sheets);
  // Runs print their last sheet first (for face-down output, so that the
  // pile comes out in order). Test sheets and repositions are not affected.
  void SetLastFirst(bool lastFirst) { lastFirst_ = lastFirst; }
  bool LastFirst() const { return lastFirst_; }
  // Reposition entries name sheets of the run from the numbers the template
  // holds (1 its first sheet) instead of numerator 1's numbers: for a
  // numerator 1 that repeats numbers. The run's increment applies.
  void SetRepositionBySheet(bool bySheet) { repositionBySheet_ = bySheet; }
  bool RepositionBySheet() const { return repositionBySheet_; }

  // The commands. Each returns false when it did nothing (no printer chosen
  // yet, or another run in progress): nothing prints elsewhere than the page
  // shows.
  bool PrintTestSheet();
  bool PrintAll();
  bool PrintRun(int32_t sheets);
  // Sets the cancel flag; a run tests it before each sheet and between the
  // copies of a sheet. Safe from any thread while a run prints on another.
  void CancelRun() { cancel_ = true; }
  bool CancelRequested() const { return cancel_; }
  bool Running() const { return running_; }

  // The reposition list: entries as typed, kept sorted without regard to
  // case, duplicates kept. Adding refuses (ZirvoError) a text that is not a
  // signed 32-bit integer once trimmed; a blank text is ignored (false).
  // The list does not change while a run is in progress (false).
  bool AddRepositionEntry(const std::string& text);
  bool DeleteRepositionEntry(int index);
  bool ClearRepositionEntries();
  const std::vector<std::string>& RepositionEntries() const { return reposition_; }
  bool PrintReposition();

  // What the last run, test sheet or reposition did; nothing before the first
  // and after one that stopped before it began.
  struct Outcome {
    RunKind kind = RunKind::Run;
    RunEvent event = RunEvent::Completed;
    int32_t completedSheets = 0;  // sheets completed with all their copies
    int32_t increment = 1;        // the run's increment, never negative
    // Printed last sheet first: the sheets completed are the run's last ones.
    bool lastFirst = false;
  };
  const std::optional<Outcome>& LastOutcome() const { return lastOutcome_; }

 private:
  struct RunPlan;
  struct ReservedRun;
  bool PlanRun(int32_t sheets, RunKind kind);
  // The increment field's value made positive, refused beyond 32 bits.
  int32_t RunIncrement(int64_t increment) const;
  // A reposition of a template without rules: each numerator moves by the
  // listed number's distance from numerator 1's.
  void PlanRepositionByDeltas(RunPlan& plan, const std::vector<int64_t>& entries);
  // A reposition by the rules: each entry names a sheet of the run, by
  // number (numerator 1's) or by its place in the run.
  void PlanRepositionBySheets(RunPlan& plan, const std::vector<int64_t>& entries);
  // Reserves the plan's numbers, then prints it; false when the user would
  // not print numbers the register refuses.
  bool ReserveAndExecute(const RunPlan& plan);
  std::optional<ReservedRun> Reserve(const RunPlan& plan);
  // The register of the loaded job for a run, its old journal imported
  // once; `opened` owns it unless the engine keeps it.
  NumberRegister& RegisterForRun(std::unique_ptr<NumberRegister>& opened);
  void ExecuteRun(const RunPlan& plan, ReservedRun& reserved);
  void FinishRun(RunPanel panel);
  RunObserver& Observer() { return *observer_; }

  PageDevice& device_;
  RunObserver* observer_;
  PrintJob job_;
  PrinterSetting setting_;
  std::string selectedPrinter_;
  std::string incrementText_ = "1";
  std::string copiesText_ = "1";
  std::string sheetsText_ = "1";
  std::vector<std::string> reposition_;
  bool lastFirst_ = false;
  bool repositionBySheet_ = false;
  // Read and set from the thread a run prints on and from the screen's.
  std::atomic<bool> cancel_{false};
  std::atomic<bool> running_{false};
  RegisterPlace place_;
  std::string series_;
  std::string templateName_;  // the template's file name, as records hold it
  // Registers (by description) into which the job's old journal went.
  std::set<std::string> journalImported_;
  // The register on a server, connected while the settings name it.
  std::unique_ptr<NumberRegister> server_;
  std::string serverConnection_;
  std::optional<Outcome> lastOutcome_;
};

// The value of a run-settings field: 1 when blank, otherwise the integer
// (ConversionError naming the trimmed text when it is not one).
int32_t RunSettingValue(std::string_view text);

}  // namespace zirvo
