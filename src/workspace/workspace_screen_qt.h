// WorkspaceScreen: the template workspace frame. A row of command icons with the
// template's name at its right end, and below it one page per task:
// presentation, numerators, marginal texts, preview and print page. The
// decisions live in EditingSession; this frame is its screen side.
#pragma once

#include <QLabel>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>
#include <vector>

#include "pages/preview_page_qt.h"
#include "pages/print_page_qt.h"
#include "template/editing_session.h"
#include "workspace/editor_ports_qt.h"
#include "workspace/presentation_page_qt.h"

namespace zirvo {

class SheetSizeDialog;
class StepRepeatDialog;

class WorkspaceScreen : public QWidget, private WorkspaceHost {
  Q_OBJECT
 public:
  // The print page prints on `printDevice` when given (see PrintPage).
  explicit WorkspaceScreen(QWidget* parent = nullptr, PageDevice* printDevice = nullptr);
  ~WorkspaceScreen() override;

  // Connections made once at start-up, before InitWorkspace.
  // The confirmation dialog's Confirm(question).
  void SetConfirm(std::function<ConfirmAnswer(ConfirmQuestion)> confirm);
  void SetSheetSizeDialog(SheetSizeDialog* dialog);

  // Operations of the main window.
  void InitWorkspace();
  void StartTemplate();
  void ApplyFramesLanguage();
  void ReleaseWorkspace();

  EditingSession& Logic() { return logic_; }
  // True while the print page runs a print.
  bool PrintRunning() const override;
  QToolButton* CommandIcon(WorkspaceCommand command) const;

 signals:
  // The print page began (true) or ended (false) a run.
  void RunningChanged(bool running);

 private:
  // WorkspaceHost
  ConfirmAnswer Confirm(ConfirmQuestion question) override;
  bool AskSheetSize(const std::string& title, double& width, double& height) override;
  bool ChooseFileToOpen(std::string& path) override;
  bool ChooseFileToSave(const std::string& title, std::string& path) override;
  bool ConfirmOverwrite(bool atMainWindow) override;
  void ShowInformation(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void AskStepAndRepeat() override;
  void ShowAllCommands(bool all) override;
  void ShowNameLabel(const std::string& text, bool busy) override;
  void ShowPage(WorkspacePage page) override;
  WorkspacePage CurrentPage() const override;
  void HideTaskFrames() override;
  void SetWaitCursor(bool wait) override;
  void ArmTimer(int milliseconds) override;
  void StopTimer() override;
  NumeratorEditorPort& NumeratorFrame() override { return *numerators_; }
  MarginalEditorPort& MarginalFrame() override { return *marginals_; }
  void ResetPreview() override;
  void ResetPrinters() override;
  void LoadPreview(const PrintJob& job) override;
  bool LoadPrintJob(const PrintJob& job) override;
  void ShowUndoAvailable(bool undo, bool redo) override;

  void BuildCommandRow();
  void PlaceFrame(WorkspacePage page, QWidget* frame);
  // While a print runs the commands are shown disabled.
  void ShowRunning(bool running);
  QString DataFolderPath() const;

  EditingSession logic_;
  // The items selected on the sheet: the grids and the preview share them.
  SheetSelection selection_;
  bool canUndo_ = false;
  bool canRedo_ = false;
  std::function<ConfirmAnswer(ConfirmQuestion)> confirm_;
  SheetSizeDialog* sheetSizeDialog_ = nullptr;
  std::unique_ptr<StepRepeatDialog> stepRepeatDialog_;  // made on first use
  std::unique_ptr<NumeratorFramePort> numerators_;
  std::unique_ptr<MarginalFramePort> marginals_;
  std::vector<QToolButton*> icons_;  // in the order of the command list
  std::vector<QWidget*> separators_;
  std::vector<QWidget*> frames_;  // by page index; nullptr for an empty page
  bool waitCursor_ = false;
  QWidget* commandRow_;
  QLabel* nameLabel_;
  QStackedWidget* pages_;
  PresentationPage* presentation_;
  NumeratorEditor* numeratorEditor_;
  MarginalEditor* marginalEditor_;
  PreviewPage* preview_;
  PrintPage* printPage_;
  QTimer* timer_;
};

}  // namespace zirvo
