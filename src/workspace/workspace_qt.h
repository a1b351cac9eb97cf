// TFImpLibre: the template workspace frame. A row of command icons with the
// template's name at its right end, and below it one page per task:
// presentation, numerators, marginal texts, preview and print page. The
// decisions live in TemplateWorkspace; this frame is its screen side.
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
#include "template/workspace.h"
#include "workspace/editor_ports_qt.h"
#include "workspace/presentation_page_qt.h"

namespace zirvo {

class TFNuevo;

class TFImpLibre : public QWidget, private WorkspaceHost {
  Q_OBJECT
 public:
  explicit TFImpLibre(QWidget* parent = nullptr);
  ~TFImpLibre() override;

  // Connections made once at start-up, before InitWorkspace.
  // The confirmation dialog's Confirm(mode).
  void SetConfirm(std::function<int(int)> confirm);
  void SetSheetSizeDialog(TFNuevo* dialog);

  // Operations of the main window.
  void InitWorkspace();
  void StartTemplate();
  void ApplyFramesLanguage();
  void ReleaseWorkspace();

  TemplateWorkspace& Logic() { return logic_; }
  // True while the print page runs a print.
  bool PrintRunning() const override;
  QToolButton* CommandIcon(WorkspaceCommand command) const;
  QWidget* PageFrame(WorkspacePage page) const;

  QWidget* Panel000;
  QLabel* Et_NomPlantilla;
  QStackedWidget* PageControl;
  TFHPresenta* FHPresenta01;
  TFHFolio* FHFolio01;
  TFHMarginal* FHMarginal01;
  TFHVista* FHVista01;
  TFHImprime* FHImprime01;
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
  NumeratorEditorPort& NumeratorEditor() override { return *numerators_; }
  MarginalEditorPort& MarginalEditor() override { return *marginals_; }
  void ResetPreview() override;
  void ResetPrinters() override;
  void LoadPreview(const PrintJob& job) override;
  bool LoadPrintJob(const PrintJob& job) override;

  void BuildCommandRow();
  void PlaceFrame(WorkspacePage page, QWidget* frame);
  // While a print runs the commands are shown disabled.
  void ShowRunning(bool running);
  QString DataFolderPath() const;

  TemplateWorkspace logic_;
  std::function<int(int)> confirm_;
  TFNuevo* sheetSizeDialog_ = nullptr;
  std::unique_ptr<NumeratorFramePort> numerators_;
  std::unique_ptr<MarginalFramePort> marginals_;
  std::vector<QToolButton*> icons_;
  std::vector<QWidget*> separators_;
  std::vector<QWidget*> frames_;  // by page index; nullptr for an empty page
  bool waitCursor_ = false;
};

}  // namespace zirvo
