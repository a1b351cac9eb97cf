// The language dialog: its four results, what is stored in DatosLoc.ini and
// read again after a restart, and the welcome page following the change.
#include <QComboBox>
#include <QTest>

#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "shell/language_dialog_qt.h"
#include "shell/main_window_qt.h"
#include "support/shell_support.h"
#include "support/ui_support.h"

using namespace zirvo;
using namespace zirvo::uitest;
using zirvo::testing::Child;

class LanguageDialogTest : public QObject {
  Q_OBJECT

 private:
  AppFolder folder_;

  std::string IniPath() const { return folder_.DataFile("DatosLoc.ini"); }

  // A catalog as the program creates it at start-up, on the settings file.
  Catalog StartCatalog() const {
    Catalog catalog(IniPath());
    catalog.LoadTable(catalog.ReadLanguage());
    return catalog;
  }

  void StoreLanguage(const char* ini) {
    QFile file(QString::fromStdString(IniPath()));
    if (ini == nullptr) {
      file.remove();
      return;
    }
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(ini);
  }

  // Runs ChangeLanguage with `drive` acting on the open dialog.
  LanguageResult Run(Catalog& catalog, std::function<void(LanguageDialog*)> drive) {
    AnswerNextModal([drive](QWidget* modal) { drive(qobject_cast<LanguageDialog*>(modal)); });
    const LanguageResult result = ChangeLanguage(catalog);
    [&] { QVERIFY(AllModalsAnswered()); }();
    return result;
  }

 private slots:
  void results_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("choices");  // entries picked in turn
    QTest::addColumn<QString>("finish");       // accept, cancel, close, escape, enter
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("okText");       // catalog's "0001" afterwards
    QTest::addColumn<QByteArray>("iniAfter");  // empty: file unchanged
    const int changed = int(LanguageResult::Changed), unchanged = int(LanguageResult::Unchanged),
              cancelled = int(LanguageResult::Cancelled);
    const QByteArray spanish = "[Language]\r\nPredet=1\r\n";
    const QByteArray english = "[Language]\r\nPredet=2\r\n";
    QTest::newRow("Spanish to English")
        << spanish << QStringList{"English"} << "accept" << changed << "OK" << english;
    QTest::newRow("no settings file, English by Enter")
        << QByteArray() << QStringList{"English"} << "enter" << changed << "OK" << english;
    QTest::newRow("English to Spanish") << english << QStringList{QString::fromUtf8("Español")}
                                        << "accept" << changed << "Aceptar" << spanish;
    QTest::newRow("confirm without touching the list")
        << english << QStringList{} << "accept" << unchanged << "OK" << QByteArray();
    QTest::newRow("English then Spanish again")
        << spanish << QStringList{"English", QString::fromUtf8("Español")} << "accept" << unchanged
        << "Aceptar" << QByteArray();
    QTest::newRow("cancel after choosing")
        << spanish << QStringList{"English"} << "cancel" << cancelled << "Aceptar" << QByteArray();
    QTest::newRow("close label") << spanish << QStringList{"English"} << "close" << cancelled
                                 << "Aceptar" << QByteArray();
    QTest::newRow("Escape") << spanish << QStringList{"English"} << "escape" << cancelled
                            << "Aceptar" << QByteArray();
  }

  void results() {
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, choices);
    QFETCH(QString, finish);
    StoreLanguage(ini.isEmpty() ? nullptr : ini.constData());
    Catalog catalog = StartCatalog();
    const std::string codeBefore = catalog.LanguageCode();

    int entries = 0;
    bool editable = true;
    const LanguageResult result = Run(catalog, [&](LanguageDialog* dialog) {
      entries = Child<QComboBox>(dialog, "Ed_Idioma")->count();
      editable = Child<QComboBox>(dialog, "Ed_Idioma")->isEditable();
      for (const QString& choice : choices) {
        Child<QComboBox>(dialog, "Ed_Idioma")
            ->setCurrentIndex(Child<QComboBox>(dialog, "Ed_Idioma")->findText(choice));
      }
      if (finish == "accept")
        QTest::mouseClick(Child<ClickLabel>(dialog, "Bt_Aceptar"), Qt::LeftButton);
      if (finish == "cancel")
        QTest::mouseClick(Child<ClickLabel>(dialog, "Bt_Cancelar"), Qt::LeftButton);
      if (finish == "close")
        QTest::mouseClick(Child<ClickLabel>(dialog, "Bt_Cerrar"), Qt::LeftButton);
      if (finish == "escape") QTest::keyClick(dialog, Qt::Key_Escape);
      if (finish == "enter") QTest::keyClick(dialog, Qt::Key_Return);
    });
    QCOMPARE(entries, 2);
    QVERIFY(!editable);
    QTEST(int(result), "result");
    QTEST(ToQString(catalog.LookupText("0001")), "okText");
    QFETCH(QByteArray, iniAfter);
    const QByteArray stored = FileBytes(QString::fromStdString(IniPath()));
    QCOMPARE(stored, iniAfter.isEmpty() ? ini : iniAfter);
    if (result == LanguageResult::Cancelled) {
      QCOMPARE(catalog.LanguageCode(), codeBefore);
      QCOMPARE(PendingLanguageChoice(), codeBefore);
    }
    // A restart reads the stored choice.
    Catalog restarted = StartCatalog();
    QCOMPARE(restarted.English(), catalog.English());
  }

  void opensOnTheLanguageInForce() {
    for (const char* ini : {"[Language]\r\nPredet=1\r\n", "[Language]\r\nPredet=2\r\n"}) {
      StoreLanguage(ini);
      Catalog catalog = StartCatalog();
      QString shown, title, closeText;
      Run(catalog, [&](LanguageDialog* dialog) {
        shown = Child<QComboBox>(dialog, "Ed_Idioma")->currentText();
        title = Child<QLabel>(dialog, "Et_Idioma")->text();
        closeText = Child<ClickLabel>(dialog, "Bt_Cerrar")->text();
        SaveScreenshot(dialog, catalog.English() ? QStringLiteral("language_en")
                                                 : QStringLiteral("language_es"));
        dialog->reject();
      });
      QCOMPARE(shown, catalog.English() ? QStringLiteral("English") : QString::fromUtf8("Español"));
      QCOMPARE(title, ToQString(catalog.LookupText("0181")));
      QCOMPARE(closeText, QStringLiteral("   ") + ToQString(catalog.LookupText("0002")) +
                              QStringLiteral("   "));
    }
  }

  void welcomePageFollowsAndTheChoiceSurvivesARestart() {
    StoreLanguage(nullptr);
    ProgramCatalog().LoadTable(ProgramCatalog().ReadLanguage());
    MainWindow window;
    window.show();
    QCOMPARE(Child<ClickLabel>(Child<WelcomePage>(&window, "FBien"), "Et_Iniciar")->text(),
             QStringLiteral("Iniciar"));
    QCOMPARE(Child<NumeratorEditor>(Child<WorkspaceScreen>(&window, "FImpLibre01"), "FHFolio01")
                 ->TitleLabel()
                 ->text(),
             ToQString("Características generales de numerador"));
    AnswerNextModal([](QWidget* modal) {
      auto* dialog = qobject_cast<LanguageDialog*>(modal);
      Child<QComboBox>(dialog, "Ed_Idioma")->setCurrentIndex(1);
      QTest::mouseClick(Child<ClickLabel>(dialog, "Bt_Aceptar"), Qt::LeftButton);
    });
    QTest::mouseClick(Child<QPushButton>(Child<WelcomePage>(&window, "FBien"), "Bt_Idiomas"),
                      Qt::LeftButton);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(Child<ClickLabel>(Child<WelcomePage>(&window, "FBien"), "Et_Iniciar")->text(),
             QStringLiteral("Start"));
    QCOMPARE(Child<QPushButton>(Child<WelcomePage>(&window, "FBien"), "Bt_Idiomas")->text(),
             QStringLiteral("Language"));
    QCOMPARE(Child<QLabel>(Child<PresentationPage>(Child<WorkspaceScreen>(&window, "FImpLibre01"),
                                                   "FHPresenta01"),
                           "Et_Titulo")
                 ->text(),
             QStringLiteral("    Welcome to \"Zirvo-W\" [Digital numerator]"));
    // The editors follow; the window caption and the workspace's own hints
    // keep the language of the start.
    QCOMPARE(Child<NumeratorEditor>(Child<WorkspaceScreen>(&window, "FImpLibre01"), "FHFolio01")
                 ->TitleLabel()
                 ->text(),
             QStringLiteral("Numerator features"));
    QCOMPARE(Child<MarginalEditor>(Child<WorkspaceScreen>(&window, "FImpLibre01"), "FHMarginal01")
                 ->TitleLabel()
                 ->text(),
             QStringLiteral("General characteristics of marginal"));
    QVERIFY(Child<WorkspaceScreen>(&window, "FImpLibre01")
                ->CommandIcon(WorkspaceCommand::Save)
                ->toolTip()
                .startsWith(QStringLiteral("Guardar plantilla (")));
    QCOMPARE(window.windowTitle(), QStringLiteral("Zirvo (W) -- Numerador digital"));

    Catalog restarted = StartCatalog();
    QCOMPARE(restarted.LanguageCode(), std::string("000002"));
    QCOMPARE(restarted.LookupText("0011"), std::string("Start"));
    ProgramCatalog().LoadTable(1);
  }
};

QTEST_MAIN(LanguageDialogTest)
#include "language_dialog_test.moc"
