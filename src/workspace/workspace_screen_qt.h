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

class WorkspaceScreen : public QWidget, private WorkspaceHost {
  Q_OBJECT
 public:
  explicit WorkspaceScreen(QWidget* parent = nullptr);
  ~WorkspaceScreen() override;

  // Connections made once at start-up, before InitWorkspace.
  // The confirmation dialog's Confirm(mode).
  void SetConfirm(std::function<int(int)> confirm);
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
  QWidget* PageFrame(WorkspacePage page) const;

  QWidget* Panel000;
  QLabel* Et_NomPlantilla;
  QStackedWidget* PageControl;
  PresentationPage* FHPresenta01;
  NumeratorEditor* FHFolio01;
  MarginalEditor* FHMarginal01;
  PreviewPage* FHVista01;
  PrintPage* FHImprime01;
  QTimer* Temporiza;

 signals:
  // The print page began (true) or ended (false) a run.
  void RunningChanged(bool running);

 public slots:
  // One handler for every command icon, told apart by the icon's tag.
  void SBoton000Click();

 private:
  // WorkspaceHost
  int Confirm(int mode) override;
  bool AskSheetSize(const std::string& title, double& width, double& height) override;
  bool ChooseFileToOpen(std::string& path) override;
  bool ChooseFileToSave(const std::string& title, std::string& path) override;
  bool ConfirmOverwrite(bool atMainWindow) override;
  void ShowInformation(const std::string& text) override;
  void ShowError(const std::string& text) override;
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

  void BuildCommandRow();
  void PlaceFrame(WorkspacePage page, QWidget* frame);
  // While a print runs the commands are shown disabled.
  void ShowRunning(bool running);
  QString DataFolderPath() const;

  EditingSession logic_;
  std::function<int(int)> confirm_;
  SheetSizeDialog* sheetSizeDialog_ = nullptr;
  std::unique_ptr<NumeratorFramePort> numerators_;
  std::unique_ptr<MarginalFramePort> marginals_;
  std::vector<QToolButton*> icons_;
  std::vector<QWidget*> separators_;
  std::vector<QWidget*> frames_;  // by page index; nullptr for an empty page
  bool waitCursor_ = false;
};

}  // namespace zirvo
