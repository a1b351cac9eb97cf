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
#include "render/barcode.h"
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

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("FPrincipal"));
  HojaControl = new QStackedWidget(this);
  HojaControl->setObjectName(QStringLiteral("HojaControl"));
  for (int index = 0; index < kPageCount; ++index) {
    auto* page = new QWidget(HojaControl);
    page->setObjectName(QStringLiteral("Hoja%1").arg(index, 2, 10, QLatin1Char('0')));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    HojaControl->addWidget(page);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(HojaControl);

  FBien = new WelcomePage(HojaControl->widget(kWelcomePage));
  HojaControl->widget(kWelcomePage)->layout()->addWidget(FBien);
  FImpLibre01 = new WorkspaceScreen(HojaControl->widget(kWorkspacePage));
  HojaControl->widget(kWorkspacePage)->layout()->addWidget(FImpLibre01);
  SetConfirm([](int mode) { return Confirm(mode); });
  connect(FBien->Et_Iniciar, &ClickLabel::clicked, this, &MainWindow::FBienEt_Lin01Click);
  connect(FBien->Bt_Idiomas, &QPushButton::clicked, this, &MainWindow::FBienBt_IdiomasClick);
  connect(FImpLibre01, &WorkspaceScreen::RunningChanged, this, [this](bool running) {
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
  BarcodeTypes();
  BarcodePositions();
  FImpLibre01->InitWorkspace();
  FBien->InitWelcome();
  FBien->Et_Iniciar->show();
  FBien->Bt_Idiomas->show();
  ShowFrame(FBien);
}

void MainWindow::SetConfirm(std::function<int(int)> confirm) {
  FImpLibre01->SetConfirm(std::move(confirm));
}

void MainWindow::ShowFrame(QWidget* frame) {
  frame->show();
  HojaControl->setCurrentWidget(frame->parentWidget());
}

void MainWindow::FBienEt_Lin01Click() {
  FImpLibre01->StartTemplate();
  ShowFrame(FImpLibre01);
}

void MainWindow::FBienBt_IdiomasClick() {
  if (ChangeLanguage(ProgramCatalog(), this) != LanguageResult::Changed) return;
  ApplyToolkitLanguage();
  FImpLibre01->ApplyFramesLanguage();
  FBien->ApplyLanguage();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (FImpLibre01->PrintRunning()) {
    // A question now would halt the run until answered, and closing would
    // tear the pages down under it: the request waits for the run's end
    // (the cancel command ends it at once) and is asked then.
    closeAfterRun_ = true;
    event->ignore();
    return;
  }
  // Unsaved changes: save, discard or stay; otherwise the exit question,
  // while a template is open.
  if (!FImpLibre01->Logic().MayQuit()) {
    event->ignore();
    return;
  }
  if (!released_) {
    released_ = true;
    FImpLibre01->ReleaseWorkspace();
  }
  event->accept();
}

}  // namespace zirvo
