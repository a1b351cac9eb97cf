// The start-up screens and the main window: splash, welcome and presentation
// captions in both languages, the exit question, the wait that keeps windows
// alive. Screenshots of every screen go to the build folder.
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "shell/main_window_qt.h"
#include "shell/screens_qt.h"
#include "shell/startup_qt.h"
#include "support/shell_support.h"
#include "support/ui_support.h"
#include "widgets/wait_qt.h"
#include "workspace/presentation_page_qt.h"

using namespace zirvo;
using namespace zirvo::uitest;
using zirvo::testing::Child;

class ScreensTest : public QObject {
  Q_OBJECT

 private:
  AppFolder folder_;

  static QString Suffix() {
    return ProgramCatalog().English() ? QStringLiteral("_en") : QStringLiteral("_es");
  }

 private slots:
  void init() { ProgramCatalog().LoadTable(1); }

  void waitKeepsHandlingEvents() {
    bool fired = false;
    QTimer::singleShot(30, [&] { fired = true; });
    WaitMs(60);
    QVERIFY(fired);
    // Even a wait of 0 handles what is pending.
    bool posted = false;
    QMetaObject::invokeMethod(
        qApp, [&] { posted = true; }, Qt::QueuedConnection);
    WaitMs(0);
    QVERIFY(posted);
  }

  void splashIsBorderlessOnTopAndSizedToItsPanel() {
    for (int language : {1, 2}) {
      ProgramCatalog().LoadTable(language);
      SplashScreen splash;
      splash.ShowNow();
      QCOMPARE(splash.size(), QSize(602, 302));
      QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
      QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
      QCOMPARE(Child<QLabel>(&splash, "Et_Mensaje")->text(), ToQString(LookupText("0901")));
      QCOMPARE(Child<QLabel>(&splash, "REtiq_Version")->text(), QStringLiteral("7102"));
      SaveScreenshot(&splash, QStringLiteral("splash") + Suffix());
    }
  }

  void welcomeAndPresentationFollowTheLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("languageButton");
    QTest::addColumn<QString>("title");
    QTest::newRow("Spanish") << 1 << "Iniciar"
                             << "Idioma"
                             << QString::fromUtf8(
                                    "    Bienvenido a \"Zirvo-W\" [ numerador digital ]");
    QTest::newRow("English") << 2 << "Start"
                             << "Language"
                             << "    Welcome to \"Zirvo-W\" [Digital numerator]";
  }

  void welcomeAndPresentationFollowTheLanguage() {
    QFETCH(int, language);
    QFETCH(QString, start);
    QFETCH(QString, languageButton);
    QFETCH(QString, title);
    ProgramCatalog().LoadTable(language);
    MainWindow window;
    window.SetConfirm([](ConfirmQuestion) { return ConfirmAnswer::Yes; });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(Child<QStackedWidget>(&window, "HojaControl")->currentIndex(), 0);
    QVERIFY(Child<ClickLabel>(Child<WelcomePage>(&window, "FBien"), "Et_Iniciar")->isVisible());
    QVERIFY(Child<QPushButton>(Child<WelcomePage>(&window, "FBien"), "Bt_Idiomas")->isVisible());
    QCOMPARE(Child<ClickLabel>(Child<WelcomePage>(&window, "FBien"), "Et_Iniciar")->text(), start);
    QCOMPARE(Child<ClickLabel>(Child<WelcomePage>(&window, "FBien"), "Et_Iniciar")->x(), 10);
    QCOMPARE(Child<QPushButton>(Child<WelcomePage>(&window, "FBien"), "Bt_Idiomas")->text(),
             languageButton);
    QCOMPARE(Child<QLabel>(Child<WelcomePage>(&window, "FBien"), "REtiq_Version")->text(),
             QStringLiteral("7102"));
    QCOMPARE(Child<QLabel>(Child<PresentationPage>(Child<WorkspaceScreen>(&window, "FImpLibre01"),
                                                   "FHPresenta01"),
                           "Et_Titulo")
                 ->text(),
             title);
    QCOMPARE(Child<QLabel>(Child<PresentationPage>(Child<WorkspaceScreen>(&window, "FImpLibre01"),
                                                   "FHPresenta01"),
                           "Et_Version")
                 ->text(),
             QStringLiteral("7102"));
    QCOMPARE(window.windowTitle(), ToQString(LookupText("0000")));
    QCOMPARE(window.size(), QSize(960, 611));
    SaveScreenshot(&window, QStringLiteral("welcome") + Suffix());

    // The start label opens the workspace on the start-up template.
    QTest::mouseClick(Child<ClickLabel>(Child<WelcomePage>(&window, "FBien"), "Et_Iniciar"),
                      Qt::LeftButton);
    QCOMPARE(Child<QStackedWidget>(&window, "HojaControl")->currentIndex(), 5);
    QCOMPARE(
        Child<QLabel>(Child<WorkspaceScreen>(&window, "FImpLibre01"), "Et_NomPlantilla")->text(),
        ToQString(Trim(UnnamedTemplateName())));
    SaveScreenshot(&window, QStringLiteral("workspace_start") + Suffix());
    Child<WorkspaceScreen>(&window, "FImpLibre01")->Logic().RunCommand(WorkspaceCommand::Close);
  }

  void presentationPageOfTheWorkspace() {
    for (int language : {1, 2}) {
      ProgramCatalog().LoadTable(language);
      MainWindow window;
      window.SetConfirm([](ConfirmQuestion) { return ConfirmAnswer::Yes; });
      window.show();
      window.StartWorkspace();
      // Closing the template shows the presentation page with only New and Open.
      Child<WorkspaceScreen>(&window, "FImpLibre01")->Logic().RunCommand(WorkspaceCommand::Close);
      QCOMPARE(Child<QStackedWidget>(Child<WorkspaceScreen>(&window, "FImpLibre01"), "Hoja00")
                   ->currentIndex(),
               1);
      QVERIFY(Child<WorkspaceScreen>(&window, "FImpLibre01")
                  ->CommandIcon(WorkspaceCommand::New)
                  ->isVisible());
      QVERIFY(!Child<WorkspaceScreen>(&window, "FImpLibre01")
                   ->CommandIcon(WorkspaceCommand::Save)
                   ->isVisible());
      QCOMPARE(
          Child<QLabel>(Child<WorkspaceScreen>(&window, "FImpLibre01"), "Et_NomPlantilla")->text(),
          ToQString("-- " + LookupText("0401") + " --"));
      SaveScreenshot(&window, QStringLiteral("presentation") + Suffix());
    }
  }

  void startUpShowsTheSplashThenTheMainWindow() {
    ProgramCatalog().LoadTable(1);
    auto visibleSplash = [] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<SplashScreen*>(widget) && widget->isVisible()) return widget;
      }
      return static_cast<QWidget*>(nullptr);
    };
    // Looked at whenever events are handled during the start-up, which the
    // splash's wait does all along: the first look that finds the splash
    // tells whether it is on top and whether the main window is shown yet.
    bool splashDuringWait = false;
    bool splashOnTop = false;
    bool mainWindowWithTheSplash = false;
    QTimer look;
    look.setInterval(10);
    QObject::connect(&look, &QTimer::timeout, [&] {
      QWidget* splash = visibleSplash();
      if (splash == nullptr) return;
      look.stop();
      splashDuringWait = true;
      splashOnTop = splash->windowFlags() & Qt::WindowStaysOnTopHint;
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<MainWindow*>(widget) && widget->isVisible())
          mainWindowWithTheSplash = true;
      }
    });
    look.start();
    bool splashGone = false;
    QSize windowSize;
    // The splash stays its time at least; a slow machine only adds to it.
    QElapsedTimer clock;
    qint64 untilMainWindow = 0;
    StartupObserver observer;
    observer.mainWindowShown = [&](MainWindow& window) {
      untilMainWindow = clock.elapsed();
      splashGone = visibleSplash() == nullptr;
      windowSize = window.size();
      QTimer::singleShot(0, &window, [&window] { window.close(); });
    };
    clock.start();
    QCOMPARE(RunZirvo(*qApp, observer), 0);
    QVERIFY(untilMainWindow >= kSplashMilliseconds);
    QVERIFY(splashDuringWait);
    QVERIFY(splashOnTop);
    QVERIFY(!mainWindowWithTheSplash);
    QVERIFY(splashGone);
    QCOMPARE(windowSize, QSize(960, 611));
  }

  void closingAsksOnlyWhenTheWorkspaceIsShown() {
    struct Case {
      const char* name;
      bool enterWorkspace;
      ConfirmAnswer answer;
      bool closes;
      int questions;
    };
    const Case cases[] = {
        {"welcome page closes at once", false, ConfirmAnswer::Cancel, true, 0},
        {"workspace, Cancel keeps the window", true, ConfirmAnswer::Cancel, false, 1},
        {"workspace, OK closes", true, ConfirmAnswer::Yes, true, 1},
    };
    for (const Case& c : cases) {
      MainWindow window;
      std::vector<ConfirmQuestion> asked;
      window.SetConfirm([&](ConfirmQuestion question) {
        asked.push_back(question);
        return question == ConfirmQuestion::Quit ? c.answer : ConfirmAnswer::Yes;
      });
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      if (c.enterWorkspace)
        QTest::mouseClick(Child<ClickLabel>(Child<WelcomePage>(&window, "FBien"), "Et_Iniciar"),
                          Qt::LeftButton);
      const QString label =
          Child<QLabel>(Child<WorkspaceScreen>(&window, "FImpLibre01"), "Et_NomPlantilla")->text();
      const bool closed = window.close();
      QVERIFY2(closed == c.closes, c.name);
      QVERIFY2(static_cast<int>(asked.size()) == c.questions, c.name);
      if (c.questions > 0) QVERIFY(asked.front() == ConfirmQuestion::Quit);
      // A refused close leaves the template as it was.
      QCOMPARE(
          Child<QLabel>(Child<WorkspaceScreen>(&window, "FImpLibre01"), "Et_NomPlantilla")->text(),
          label);
    }
  }
};

QTEST_MAIN(ScreensTest)
#include "screens_test.moc"
