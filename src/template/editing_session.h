// The editing session of a template: the decisions of New, Open, Close,
// Save, Save as, Sheet size and the page commands, the file identity of the
// current template and the deferred steps of saving. The screen side (icons,
// name label, frames, dialogs, timer) is reached through WorkspaceHost, so
// every decision runs the same with the real widgets and with a recording fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "template/confirmation.h"
#include "template/print_job.h"
#include "template/records.h"
#include "template/template.h"
#include "template/template_history.h"

namespace zirvo {

// The commands of the workspace's icons and keys.
enum class WorkspaceCommand {
  New,
  Open,
  Close,
  Save,
  SaveAs,
  Numerators,
  MarginalTexts,
  Preview,
  SheetSize,
  PrintPage,
  StepAndRepeat,
  Undo,
  Redo
};

// Pages of the workspace's page control, by index.
enum class WorkspacePage : int {
  Presentation = 1,
  Numerators = 2,
  MarginalTexts = 3,
  Preview = 5,
  PrintPage = 6,
};

// What an editor frame (numerators or marginal texts) still does for the
// workspace; its rows are the document's, and it redraws on its changes.
class TemplateEditorPort {
 public:
  virtual ~TemplateEditorPort() = default;
  // Frame life: set up once, captions after a language change, release at the end.
  virtual void InitEditor() {}
  virtual void ApplyLanguage() {}
  virtual void ReleaseEditor() {}
  // Commits a cell editor left open, so a command reads what the user typed.
  // False (its message shown, the editor still open) when it does not commit.
  virtual bool CommitOpenEditor() { return true; }
};

class NumeratorEditorPort : public TemplateEditorPort {};
class MarginalEditorPort : public TemplateEditorPort {};

// The screen side of the workspace.
class WorkspaceHost {
 public:
  virtual ~WorkspaceHost() = default;

  // Questions and notices.
  // The confirmation dialog.
  virtual ConfirmAnswer Confirm(ConfirmQuestion question) = 0;
  // The sheet-size dialog; false when cancelled (sizes unchanged).
  virtual bool AskSheetSize(const std::string& title, double& width, double& height) = 0;
  // Open-file dialog in the data folder; false when cancelled.
  virtual bool ChooseFileToOpen(std::string& path) = 0;
  // Save-file dialog in the data folder proposing "Plantilla.pla"; false when cancelled.
  virtual bool ChooseFileToSave(const std::string& title, std::string& path) = 0;
  // The "file exists, overwrite?" question; true for OK. `atMainWindow`
  // places it at the main window, otherwise it is centred on the screen.
  virtual bool ConfirmOverwrite(bool atMainWindow) = 0;
  virtual void ShowInformation(const std::string& text) = 0;
  virtual void ShowError(const std::string& text) = 0;
  // The step-and-repeat dialog on the document, which takes the plan itself
  // (one change), and the sheets the run needs told to the user.
  virtual void AskStepAndRepeat() = 0;

  // The workspace's own widgets.
  // All ten commands, or New and Open only.
  virtual void ShowAllCommands(bool all) = 0;
  // The name label: normal, or the busy indication (bold, dark red).
  virtual void ShowNameLabel(const std::string& text, bool busy) = 0;
  virtual void ShowPage(WorkspacePage page) = 0;
  virtual WorkspacePage CurrentPage() const = 0;
  // Hides the numerator, marginal-text, preview and print frames.
  virtual void HideTaskFrames() = 0;
  virtual void SetWaitCursor(bool wait) = 0;
  // The Temporiza timer: armed with an interval, or off.
  virtual void ArmTimer(int milliseconds) = 0;
  virtual void StopTimer() = 0;

  // The frames.
  virtual NumeratorEditorPort& NumeratorFrame() = 0;
  virtual MarginalEditorPort& MarginalFrame() = 0;
  virtual void ResetPreview() = 0;
  virtual void ResetPrinters() = 0;
  // The preview's LoadSheet: it copies what it needs from the record.
  virtual void LoadPreview(const PrintJob& job) = 0;
  // The print page's LoadPrintJob; false when the page refused the job.
  virtual bool LoadPrintJob(const PrintJob& job) = 0;
  // True while the print page runs a print: the running job must stay the
  // one the user sees, so the workspace changes nothing meanwhile.
  virtual bool PrintRunning() const = 0;
  // Whether there is a change to undo and one to redo.
  virtual void ShowUndoAvailable(bool /*undo*/, bool /*redo*/) {}
};

class EditingSession {
 public:
  static constexpr int kTimerInterval = 1000;
  static constexpr double kStartWidth = 21.5;
  static constexpr double kStartHeight = 28.0;
  enum PendingStep { kNothing = 0, kWriteFile = 4, kEndBusy = 12 };

  explicit EditingSession(WorkspaceHost& host);

  // No template open, presentation page current.
  void InitWorkspace();
  // The start label of the welcome page: the start-up template, asked nothing.
  void StartTemplate();
  // A click on a command icon or its key; nothing runs while a print is in
  // progress, and only New and Open while no template is open.
  void RunCommand(WorkspaceCommand command);
  // The Temporiza timer fired.
  void TimerFired();

  // The template being edited; the editors and the pages are its views.
  Template& Document() { return document_; }
  const Template& Document() const { return document_; }
  const SheetHeader& Header() const { return document_.Header(); }
  // The document's changes since it was started, opened or closed.
  const TemplateHistory& History() const { return history_; }
  bool HasFile() const { return hasFile_; }
  // The file Save writes to when HasFile(): the one opened or saved last.
  const std::string& FilePath() const { return filePath_; }
  int Pending() const { return pendingStep_; }
  bool TemplateOpen() const { return templateOpen_; }
  // True while the open template differs from what was started, opened or
  // last saved: the document's change notices compare its content with
  // that; an edit undone, by hand or by Undo, leaves nothing to save.
  bool Modified() const { return modified_; }
  // Before New, Open, Close and quitting: unsaved changes are saved or
  // discarded (Settled), or the command is given up (Cancelled). None:
  // nothing to ask, the command's usual confirmation follows.
  enum class Unsaved { None, Settled, Cancelled };
  Unsaved SettleUnsaved();
  // Before the program closes: unsaved changes are settled as above, and
  // otherwise an open template asks the exit question. False when the user
  // stays. Without a template nothing is asked.
  bool MayQuit();
  // After a run of `sheets` sheets with that increment: every numerator moves
  // on past the numbers printed, the template is saved to its file at once
  // (atomically) and the print page gets the new numbers. False, its message
  // shown and nothing changed, when a number would leave the range, the
  // template has no file or the save fails.
  bool ContinueNumbering(int32_t sheets, int32_t increment);

 private:
  void New();
  void Open();
  void Close();
  void Save(bool saveAs);
  void SheetSize();
  void Numerators();
  void MarginalTexts();
  void Preview();
  void PrintPage();
  void StepAndRepeat();
  // Undo and Redo take what is typed in an open cell first, as one more step.
  void Undo();
  void Redo();
  // The history starts again from the document as it is.
  void ForgetHistory();

  // The no-template state: New and Open only, the "empty" name.
  void EnterNoTemplateState();
  // After SettleUnsaved: the question that the open template will be
  // closed, asked only when one is open and nothing was settled. True to go on.
  bool ConfirmLeaving(Unsaved unsaved, ConfirmQuestion question);
  // Saves to the template's file (asking for one if it has none) at once;
  // false when given up or when the write failed.
  bool SaveNow();
  // The name label's text: the name, marked while there are unsaved changes.
  std::string ShownLabel() const;
  // The content a file would hold, whatever its name and folder.
  std::string SavedContent() const;
  // The current content is what the file holds.
  void MarkSaved();
  // Compares the content with the saved one; the name label follows.
  void RefreshModified();
  // Commits both editors' open cell editors; false when one does not commit.
  bool CommitOpenEditors();
  // A fresh unsaved template of the given size.
  void StartUnsavedTemplate(double width, double height);
  // The record for the preview and the print page: a copy of the sheet
  // header, both tables' records and the background to print. A cell that
  // does not convert is reported and gives nothing.
  std::optional<PrintJob> BuildPrintJob();
  // The series a save to `target` writes: the template's own, or for one
  // that carries none the series the register has known it by (that of its
  // file, or of `target` for a template never saved).
  std::string SeriesToWrite(const std::string& target) const;
  // Save as to another file asks whether the copy continues the template's
  // numbering (`series` stays) or starts its own (a new `series`). False
  // when the user gave up the Save as.
  bool AskCopySeries(const std::string& target, std::string& series);
  // Gives the template `series`, captures the bytes to write and arms the
  // deferred write.
  void RequestWrite(const std::string& target, const std::string& series);
  void WritePendingFile();
  void FailedOpen(const std::string& path, const std::string& message);
  void SetLabel(const std::string& text);
  void BeginBusy(const char* code);
  void EndBusy();

  // The identity of the template: what a failed write gives back.
  struct Identity {
    std::string name;
    std::string folder;
    std::string filePath;
    bool hasFile = false;
    std::string series;
  };
  Identity CurrentIdentity() const;
  void RestoreIdentity(const Identity& identity);

  WorkspaceHost& host_;
  Template document_;
  TemplateHistory history_{document_};
  bool hasFile_ = false;
  bool templateOpen_ = false;
  std::string filePath_;
  // The name label: what it shows outside the busy indication.
  std::string labelText_;
  bool busy_ = false;
  int pendingStep_ = kNothing;
  // The deferred write: target, the bytes as they were at the request, the
  // identity to give back if the write fails, and which template asked.
  std::string savePath_;
  std::string pendingBytes_;
  Identity beforeSave_;
  uint64_t pendingGeneration_ = 0;
  // Counts template replacements (New, Open, Close, start-up template), so
  // that a write requested for an earlier template does not rename this one.
  uint64_t generation_ = 0;
  // The content as started, opened or last saved; the content the pending
  // write holds; whether the document differs from the first.
  std::string savedContent_;
  std::string pendingContent_;
  bool modified_ = false;
};

// "-- " + text of code::kEmptyTemplateLabel + " --".
std::string NoTemplateLabel();
// "- " + text of code::kUnnamedTemplate + " -".
std::string UnnamedTemplateName();

}  // namespace zirvo
