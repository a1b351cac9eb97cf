#include "shell/main_window_qt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <QVBoxLayout>

#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "shell/language_dialog_qt.h"
#include "widgets/confirm_dialog_qt.h"

namespace zirvo {
namespace {

constexpr int32_t kBackground = 9199936;
constexpr int kPageCount = 13;

}  // namespace

void SetApplicationTitle() {
  QCoreApplication::setApplicationName(QStringLiteral("Zirvo[W]"));
  QGuiApplication::setDesktopFileName(QStringLiteral("zirvo"));
}

void ApplyToolkitLanguage() {
  static QTranslator* translator = nullptr;
  if (translator != nullptr) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
  }
  // The toolkit's texts are English without a translation.
  if (ProgramCatalog().English()) return;
  auto* spanish = new QTranslator();
  if (spanish->load(QStringLiteral("qtbase_es"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(spanish);
    translator = spanish;
  } else {
    delete spanish;
  }
}

MainWindow::MainWindow(QWidget* parent, PageDevice* printDevice)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("FPrincipal"));
  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("HojaControl"));
  for (int index = 0; index < kPageCount; ++index) {
    auto* page = new QWidget(pages_);
    page->setObjectName(QStringLiteral("Hoja%1").arg(index, 2, 10, QLatin1Char('0')));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    pages_->addWidget(page);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pages_);

  welcome_ = new WelcomePage(pages_->widget(kWelcomePage));
  pages_->widget(kWelcomePage)->layout()->addWidget(welcome_);
  workspace_ = new WorkspaceScreen(pages_->widget(kWorkspacePage), printDevice);
  pages_->widget(kWorkspacePage)->layout()->addWidget(workspace_);
  SetConfirm([](ConfirmQuestion question) { return Confirm(question); });
  connect(welcome_, &WelcomePage::StartRequested, this, &MainWindow::StartWorkspace);
  connect(welcome_, &WelcomePage::LanguageRequested, this, &MainWindow::ChooseLanguage);
  connect(workspace_, &WorkspaceScreen::RunningChanged, this, [this](bool running) {
    if (running || !closeAfterRun_) return;
    closeAfterRun_ = false;
    // Asked once the run has returned, not from inside its last event pass.
    QTimer::singleShot(0, this, &QWidget::close);
  });

  FormCreate();
}

void MainWindow::FormCreate() {
  SetApplicationTitle();
  setWindowTitle(ToQString(LookupText(code::kProgramTitle)));
  setWindowIcon(QIcon(ArtworkPath(QStringLiteral("emblem"))));
  // Every number Qt formats uses "." for decimals and "," for thousands,
  // whatever the regional settings; the core's own numbers never depend on it.
  QLocale::setDefault(QLocale::c());
  setFixedSize(kClientWidth, kClientHeight);
  SetBackground(this, WindowsColor(kBackground));
  workspace_->InitWorkspace();
  welcome_->InitWelcome();
  welcome_->ShowCommands();
  ShowFrame(welcome_);
}

void MainWindow::SetConfirm(std::function<ConfirmAnswer(ConfirmQuestion)> confirm) {
  workspace_->SetConfirm(std::move(confirm));
}

void MainWindow::ShowFrame(QWidget* frame) {
  frame->show();
  pages_->setCurrentWidget(frame->parentWidget());
}

void MainWindow::StartWorkspace() {
  workspace_->StartTemplate();
  ShowFrame(workspace_);
}

void MainWindow::ChooseLanguage() {
  if (ChangeLanguage(ProgramCatalog(), this) != LanguageResult::Changed) return;
  ApplyToolkitLanguage();
  workspace_->ApplyFramesLanguage();
  welcome_->ApplyLanguage();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (workspace_->PrintRunning()) {
    // A question now would halt the run until answered, and closing would
    // tear the pages down under it: the request waits for the run's end
    // (the cancel command ends it at once) and is asked then.
    closeAfterRun_ = true;
    event->ignore();
    return;
  }
  // Unsaved changes: save, discard or stay; otherwise the exit question,
  // while a template is open.
  if (!workspace_->Logic().MayQuit()) {
    event->ignore();
    return;
  }
  if (!released_) {
    released_ = true;
    workspace_->ReleaseWorkspace();
  }
  event->accept();
}

}  // namespace zirvo
