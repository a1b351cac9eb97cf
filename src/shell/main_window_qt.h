// MainWindow: the main window. Its page control carries the welcome page
// (Hoja00) and the template workspace (Hoja05); closing it while a template
// is open asks first, and while a print runs waits for its end.
#pragma once

#include <QStackedWidget>
#include <QWidget>
#include <functional>

#include "shell/screens_qt.h"
#include "workspace/workspace_screen_qt.h"

namespace zirvo {

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 960;
  static constexpr int kClientHeight = 611;
  static constexpr int kWelcomePage = 0;
  static constexpr int kWorkspacePage = 5;

  // Runs print on `printDevice` when given (it must outlive the window),
  // otherwise on the print page's own device.
  explicit MainWindow(QWidget* parent = nullptr, PageDevice* printDevice = nullptr);

  // Who answers the exit question and the workspace's questions: the
  // confirmation dialog unless replaced (tests answer directly).
  void SetConfirm(std::function<ConfirmAnswer(ConfirmQuestion)> confirm);
  WorkspaceScreen& Workspace() { return *workspace_; }

 public slots:
  // The start label of the welcome page.
  void StartWorkspace();
  // The language button of the welcome page.
  void ChooseLanguage();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void ShowFrame(QWidget* frame);

  bool released_ = false;
  // A close request that came while a print was running.
  bool closeAfterRun_ = false;
  QStackedWidget* pages_;
  WelcomePage* welcome_;
  WorkspaceScreen* workspace_;
};

// The title of the application, set at start and again by the main window.
void SetApplicationTitle();
// Makes the toolkit's own texts (file dialogs, message box buttons) follow
// the language of the catalog.
void ApplyToolkitLanguage();

}  // namespace zirvo
