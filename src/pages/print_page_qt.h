// PrintPage: the print page. The run-settings panel (printer, increment,
// copies, sheets, sheets per job, the queue's calibration offsets and its
// calibration sheet, the numbering register the runs use, test sheet, print
// all, cancel, the journal) and the
// reposition panel (entry, sorted list, add, delete one, delete all, print,
// cancel) over the print engine, whose runs report their progress to the
// page. After a run of a saved template the page offers to continue the
// numbering after it.
//
// A run (and the calibration sheet) draws and spools on a thread of its own,
// the engine and the device used only from there until it ends; what it
// shows and asks reaches the page through its event queue, in order, and a
// question holds the run until the page has answered it. Meanwhile every
// command but Cancel is refused.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "printing/page_device.h"
#include "printing/print_engine.h"
#include "template/print_job.h"
#include "widgets/dialog_parts_qt.h"

namespace zirvo {

class PrintPage : public QWidget, private RunObserver {
  Q_OBJECT
 public:
  // Prints on `device` when given (it must outlive the page), otherwise on a
  // QPrinter device of its own.
  explicit PrintPage(QWidget* parent = nullptr, PageDevice* device = nullptr);
  ~PrintPage() override;

  // The operations the workspace calls.
  void InitPage();
  void ReleasePage();
  void SelectPrinter();
  void ApplyPrinter();
  void ResetPrinters();
  // Refused (false) while a run is in progress: a run prints the job it began with.
  bool LoadPrintJob(const PrintJob& job);
  // Puts a run's sheet count into the sheets field; refused (false) while a
  // run is in progress.
  bool ProposeSheets(int32_t sheets);
  void ApplyLanguage();

  // The commands of the page's command texts.
  void PrintAll();
  void PrintTestSheet();
  void PrintCalibrationSheet();
  void PrintReposition();
  void AddRepositionEntry();
  void DeleteRepositionEntry();
  void ClearRepositionEntries();
  // Asks the run in progress to stop after the sheet being printed.
  void CancelRun();
  // The journal screen; its "Reponer" fills the reposition list.
  void OpenJournal();
  // The key handler of the three run-settings fields: true when the
  // keystroke is refused.
  bool WholeNumberKeyPress(QLineEdit* field, QKeyEvent* event);

  bool Running() const { return running_; }
  // The increment a run would take from the increment field as it reads
  // now (never negative); 1 while the field holds no increment a run takes.
  int64_t TypedIncrement() const;
  const PrintEngine& Engine() const { return *engine_; }

 signals:
  // A run began (true) or ended (false): the workspace keeps the user on
  // this page meanwhile.
  void RunningChanged(bool running);
  // The user wants the next run to begin after the `sheets` sheets just
  // printed with that increment: the workspace advances and saves the template.
  void ContinueRequested(int32_t sheets, int32_t increment);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // The calibration file may have changed while the page was not shown, or
  // while another window was in use (zirvo-batch in a terminal).
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QWidget* BuildRunPanel();
  QWidget* BuildRepositionPanel();
  ClickLabel* Command(QWidget* parent, const char* name, void (PrintPage::*action)());
  void ResetRunWidgets();

  // What a run's thread hands back to the page.
  struct RunEnd {
    bool engineCommand = false;  // a command of the engine, whose outcome may be continued
    bool ran = false;            // the command did something
    std::string failure;         // why it failed; "" when it did not
  };
  // Runs a command of the engine (false: it did nothing) on the run's thread;
  // the page tells what it did once it has ended.
  void RunCommand(std::function<bool()> run);
  // Begins a run on the run's thread; EndRun follows on the page's thread.
  void StartRun(std::function<RunEnd()> work);
  void EndRun(const RunEnd& end);
  // Cancels the run in progress, answers its questions No and waits for its
  // thread (the run stops within a sheet).
  void StopRun();
  // Runs `update` on the page's thread, after what was posted before it.
  void Post(std::function<void()> update);
  // A question of the run's thread, asked on the page's thread: the run
  // waits for the answer; No once the page stops the run.
  bool AskFromRun(const std::string& text, const char* name, bool yesByDefault);
  // After a run that printed sheets of a saved template: asks whether the
  // next run continues after them.
  void OfferContinue();
  // `announce`: RunningChanged tells the workspace at once.
  void SetRunning(bool running, bool announce = true);
  // True unless the run would replace an existing PDF file and the user
  // does not want that.
  bool MayWriteTarget();
  void ShowRepositionList();
  // The queue the chosen printer setting prints on; "" for a PDF file.
  std::string ChosenQueue() const;
  // Shows the chosen queue's stored offsets (fields and the calibration
  // sheet disabled without a queue).
  void ShowOffsets();
  // Shows which register the loaded job's runs use, as the settings now say.
  void ShowRegister();
  // What the settings files may have changed while the page was not in use.
  void ReadSettingsAgain();
  // Stores each offset the user edited, then shows what the file holds;
  // false (and a message) when one is not a valid offset.
  bool StoreOffsets();
  // The sheets-per-job field into the engine's setting; false (and a
  // message) when it is not a positive whole number.
  bool ApplyChunk();

  // RunObserver
  void ShowStatus(RunPanel panel, const std::string& text) override;
  void HideStatus(RunPanel panel) override;
  void SetProgressMaximum(RunPanel panel, int32_t maximum) override;
  void SetProgressPosition(RunPanel panel, int32_t position) override;
  void ShowProgress(RunPanel panel, bool visible) override;
  void ShowCancel(RunPanel panel, bool visible) override;
  void Notice(const std::string& text) override;
  bool ConfirmNegative(const std::string& text) override;
  // A Yes/No question named `name` (tests find it by that name); true for Yes.
  bool AskYesNo(const std::string& text, const char* name, bool yesByDefault);
  bool ConfirmReprint(const std::string& facts, const std::string& question) override;

  QLabel* StatusOf(RunPanel panel) const;
  QProgressBar* BarOf(RunPanel panel) const;
  // Paints the progress bar a run shows (its updates are off meanwhile).
  void PaintBar();

  std::unique_ptr<PageDevice> ownDevice_;
  PageDevice* device_;
  std::unique_ptr<PrintEngine> engine_;
  bool running_ = false;
  std::thread worker_;  // the run's thread
  std::atomic<bool> calibrationCancelled_{false};
  // The question the run's thread waits on.
  std::mutex questionMutex_;
  std::condition_variable questionAnswered_;
  std::optional<bool> answer_;
  bool questionsRefused_ = false;     // the run is being stopped: every answer is No
  QTimer* barTimer_;                  // paints a run's progress bar now and then
  std::vector<std::string> notices_;  // shown once the run has ended
  QLabel* printerHeading_;
  QLabel* printerLabel_;
  QLineEdit* printerField_;
  QLabel* incrementLabel_;
  QLineEdit* incrementField_;
  QLabel* copiesLabel_;
  QLineEdit* copiesField_;
  QLabel* sheetsLabel_;
  QLineEdit* sheetsField_;
  QCheckBox* lastFirstBox_ = nullptr;
  QCheckBox* bySheetBox_ = nullptr;
  QLabel* sheetsPerJobLabel_;
  QLineEdit* sheetsPerJobField_;  // sheets per job to a queue
  QLabel* offsetLabel_;
  QLineEdit* offsetXField_;  // the chosen queue's calibration, millimetres
  QLineEdit* offsetYField_;
  ClickLabel* calibrationCommand_;
  QLabel* registerLabel_;
  QLineEdit* registerField_;  // the numbering register of the loaded job's runs, read-only
  ClickLabel* selectPrinterCommand_;
  ClickLabel* testSheetCommand_;
  ClickLabel* printAllCommand_;
  ClickLabel* journalCommand_;
  QLabel* runStatus_;
  QProgressBar* runProgress_;
  ClickLabel* cancelRunCommand_;
  QLabel* repositionHeading_;
  QLabel* repositionLabel_;
  QLineEdit* repositionField_;
  QListWidget* repositionList_;
  ClickLabel* addEntryCommand_;
  ClickLabel* deleteEntryCommand_;
  ClickLabel* clearEntriesCommand_;
  ClickLabel* printRepositionCommand_;
  QLabel* repositionStatus_;
  QProgressBar* repositionProgress_;
  ClickLabel* cancelRepositionCommand_;
};

}  // namespace zirvo
