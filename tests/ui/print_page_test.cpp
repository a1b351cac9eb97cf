// The print page: its initial state and captions, the key filter of its
// fields, the printer chosen through the print dialog, the numbering
// register its runs use, runs started from the page (to a PDF read back,
// cancelled part-way), the guards while a run is in progress, and the
// reposition list with its five-sheet limit.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "../engine/engine_support.h"
#include "base/helpers.h"
#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "pages/print_page_qt.h"
#include "printing/printer_dialog_qt.h"
#include "printing/qprinter_device_qt.h"
#include "printing/register_settings.h"
#include "support/recording_device.h"
#include "support/ui_support.h"
#include "widgets/dialog_parts_qt.h"

using namespace zirvo;
using namespace zirvo::testing;

namespace {

Numerator MakeNumerator(int number, bool reverse, double x, double y) {
  Numerator n;
  n.Number = number;
  n.Reverse = reverse;
  n.Mask = 4;
  n.Horizontal = x;
  n.Vertical = y;
  n.Size = 14;
  n.Font = "Liberation Sans";
  return n;
}

// Two numerators, 100 ascending and 50 reverse, and one marginal text.
PrintJob Job() {
  PrintJob job;
  job.Sheet.SetName("Facturas");
  job.Sheet.Width = 21.0;
  job.Sheet.Height = 29.7;
  job.Numerators = {MakeNumerator(100, false, 3.0, 3.0), MakeNumerator(50, true, 12.0, 3.0)};
  job.Numerators[0].Position = 1;
  job.Numerators[1].Position = 2;
  job.NumeratorCount = 2;
  MarginalText m;
  m.Text = "  Recibo  ";
  m.Horizontal = 3.0;
  m.Vertical = 6.0;
  m.Font = "Liberation Sans";
  job.Marginals = {m};
  job.MarginalCount = 1;
  return job;
}

std::unique_ptr<ModalAnswer> CancelPrintDialog() {
  return std::make_unique<ModalAnswer>(
      "QPrintDialog", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
}

// What the page's progress bar went through during a run.
struct BarTrace : QObject {
  int largestMaximum = 0;
  int largestValue = 0;
  int paints = 0;  // paint events the bar received
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  explicit BarTrace(QProgressBar* bar) {
    bar->installEventFilter(this);
    QObject::connect(bar, &QProgressBar::valueChanged, bar,
                     [this](int value) { largestValue = std::max(largestValue, value); });
    // The maximum is read at every value change; the page resets it to 0 at the end.
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [this, bar](int) {
      largestMaximum = std::max(largestMaximum, bar->maximum());
    });
  }
};

}  // namespace

class PrintPageTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { PrepareCatalog(1); }

  void init() {
    ProgramCatalog().LoadTable(1);
    device_ = std::make_unique<RecordingDevice>();
    page_ = new PrintPage(nullptr, device_.get());
    page_->InitPage();
    page_->LoadPrintJob(Job());
    QVERIFY(ShowActive(page_));
  }

  void cleanup() {
    delete page_;
    page_ = nullptr;
    device_.reset();
  }

  // ---- Initial state and captions ----------------------------------------

  void initialState() {
    QCOMPARE(Child<QLineEdit>(page_, "Ed_ImpSelec")->text(), QString());
    QVERIFY(Child<QLineEdit>(page_, "Ed_ImpSelec")->isReadOnly());
    for (QLineEdit* field :
         {Child<QLineEdit>(page_, "Ed_IncNum"), Child<QLineEdit>(page_, "Ed_CopPlan"),
          Child<QLineEdit>(page_, "Ed_HojasImp")})
      QCOMPARE(field->text(), QString("1"));
    QCOMPARE(Child<QLineEdit>(page_, "Ed_Repone")->text(), QString());
    QCOMPARE(Child<QListWidget>(page_, "Ed_LisRep")->count(), 0);
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             Child<QLabel>(page_, "REqMensaje"), Child<QLabel>(page_, "REqMenRep"),
             Child<QProgressBar>(page_, "ProgBarra"), Child<QProgressBar>(page_, "ProgRepBar"),
             Child<ClickLabel>(page_, "Bt_CanRepos")})
      QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
    for (QWidget* shown : std::initializer_list<QWidget*>{
             Child<ClickLabel>(page_, "Bt_SelecImpre"), Child<ClickLabel>(page_, "Bt_ImpPba"),
             Child<ClickLabel>(page_, "Bt_ImpTodo"), Child<ClickLabel>(page_, "Bt_CanImp")})
      QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
    QCOMPARE(Child<QLineEdit>(page_, "Ed_IncNum")->maxLength(), 6);
    QCOMPARE(Child<QLineEdit>(page_, "Ed_CopPlan")->maxLength(), 2);
    QCOMPARE(Child<QLineEdit>(page_, "Ed_HojasImp")->maxLength(), 6);
    QCOMPARE(Child<QLineEdit>(page_, "Ed_Repone")->maxLength(), 12);
  }

  void captions_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("Spanish") << 1
                             << QStringList{QString::fromUtf8(
                                                "Características de impresión de la plantilla"),
                                            "Impresora seleccionada",
                                            "Imprimir hoja de prueba",
                                            "Imprimir todo",
                                            QString::fromUtf8("Cancelar impresión"),
                                            QString::fromUtf8("Reposición de hojas impresas"),
                                            "Borra uno",
                                            "Diario",
                                            QString::fromUtf8("Registro de numeración")};
    QTest::newRow("English") << 2
                             << QStringList{"Impression characteristics of the template",
                                            "Printer selected",
                                            "Print test page",
                                            "Print all",
                                            "Cancel Printing",
                                            "Reset leaflets",
                                            "Delete one",
                                            "Journal",
                                            "Numbering register"};
  }

  void captions() {
    QFETCH(int, language);
    QFETCH(QStringList, texts);
    ProgramCatalog().LoadTable(language);
    page_->ApplyLanguage();
    const QStringList shown{Child<QLabel>(page_, "Et_ImpPlan")->text(),
                            Child<QLabel>(page_, "Et_ImpSel")->text(),
                            Child<ClickLabel>(page_, "Bt_ImpPba")->text(),
                            Child<ClickLabel>(page_, "Bt_ImpTodo")->text(),
                            Child<ClickLabel>(page_, "Bt_CanImp")->text(),
                            Child<QLabel>(page_, "Et_Reponer")->text(),
                            Child<ClickLabel>(page_, "Bt_BorraLis")->text(),
                            Child<ClickLabel>(page_, "Bt_Diario")->text(),
                            Child<QLabel>(page_, "Et_Registro")->text()};
    QCOMPARE(shown, texts);
    QCOMPARE(Child<ClickLabel>(page_, "Bt_CanRepos")->text(),
             Child<ClickLabel>(page_, "Bt_CanImp")->text());
  }

  // ---- Key filter ---------------------------------------------------------

  void keyFilter_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::newRow("letters and stops refused") << "Ed_IncNum"
                                               << "1a.2 ,3"
                                               << "123";
    QTest::newRow("one leading minus") << "Ed_HojasImp"
                                       << "--5-"
                                       << "-5";
    QTest::newRow("copies hold 2 characters") << "Ed_CopPlan"
                                              << "123"
                                              << "12";
    QTest::newRow("sheets hold 6 characters") << "Ed_HojasImp"
                                              << "12345678"
                                              << "123456";
    QTest::newRow("reposition takes any text") << "Ed_Repone"
                                               << "a -1.5 x"
                                               << "a -1.5 x";
  }

  void keyFilter() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    auto* edit = page_->findChild<QLineEdit*>(field);
    Retype(edit, typed);
    QCOMPARE(edit->text(), result);
  }

  void minusOnlyAtTheStart() {
    Retype(Child<QLineEdit>(page_, "Ed_IncNum"), "25");
    QTest::keyClick(Child<QLineEdit>(page_, "Ed_IncNum"), '-');
    QCOMPARE(Child<QLineEdit>(page_, "Ed_IncNum")->text(), QString("25"));
    Child<QLineEdit>(page_, "Ed_IncNum")->home(false);
    QTest::keyClick(Child<QLineEdit>(page_, "Ed_IncNum"), '-');
    QCOMPARE(Child<QLineEdit>(page_, "Ed_IncNum")->text(), QString("-25"));
  }

  // ---- Choosing the printer -----------------------------------------------

  void nothingPrintsBeforeAPrinterIsChosen() {
    auto message = DismissMessageBox();
    QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
    QVERIFY(ClickAndFinishRun(page_, "Bt_ImpPba"));
    QTest::qWait(30);
    QVERIFY(device_->events.empty());
    QVERIFY(!message->Answered());
    QVERIFY(!Child<QLabel>(page_, "REqMensaje")->isVisible());
    QVERIFY(!Child<QProgressBar>(page_, "ProgBarra")->isVisible());
  }

  void chooseCancelAndReset() {
    QTemporaryDir folder;
    const QString pdf = folder.path() + "/hojas.pdf";
    {
      auto answer = ChoosePdf(pdf);
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_SelecImpre"), Qt::LeftButton);
      QVERIFY(answer->Answered());
    }
    QCOMPARE(Child<QLineEdit>(page_, "Ed_ImpSelec")->text(), pdf);
    QCOMPARE(page_->Engine().Setting().target, PrinterSetting::Target::PdfFile);
    QCOMPARE(QString::fromStdString(page_->Engine().Setting().outputFile), pdf);

    // A second dialog cancelled: the first choice stays.
    {
      auto answer = CancelPrintDialog();
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_SelecImpre"), Qt::LeftButton);
      QVERIFY(answer->Answered());
    }
    QCOMPARE(Child<QLineEdit>(page_, "Ed_ImpSelec")->text(), pdf);

    // A new template: the choice is asked for again.
    page_->ResetPrinters();
    QCOMPARE(Child<QLineEdit>(page_, "Ed_ImpSelec")->text(), QString());
    QCOMPARE(page_->Engine().Setting(), device_->DefaultSetting());
    QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
    QVERIFY(device_->events.empty());
  }

  void settingTravelsThroughThePrinter_data() {
    QTest::addColumn<int>("paper");
    QTest::addColumn<bool>("landscape");
    QTest::newRow("A5 landscape") << static_cast<int>(PaperKind::A5) << true;
    QTest::newRow("Legal portrait") << static_cast<int>(PaperKind::Legal) << false;
    QTest::newRow("custom") << static_cast<int>(PaperKind::Custom) << false;
  }

  void settingTravelsThroughThePrinter() {
    QFETCH(int, paper);
    QFETCH(bool, landscape);
    PrinterSetting setting = PrinterSetting::PdfFile("/tmp/x.pdf");
    setting.paper = static_cast<PaperKind>(paper);
    setting.paperWidthCm = 21.6;
    setting.paperHeightCm = 28.0;
    setting.landscape = landscape;
    setting.resolution = 300;
    setting.colour = ColourMode::GrayScale;
    QPrinter printer(QPrinter::HighResolution);
    ApplySettingToPrinter(setting, printer, "/tmp/proposed.pdf");
    const std::optional<PrinterSetting> back = SettingFromPrinter(printer, setting);
    QVERIFY(back.has_value());
    QCOMPARE(back->paper, setting.paper);
    QCOMPARE(back->landscape, landscape);
    QCOMPARE(back->outputFile, setting.outputFile);
    QCOMPARE(back->resolution, 300);
    QCOMPARE(back->colour, ColourMode::GrayScale);
    if (setting.paper == PaperKind::Custom) {
      QVERIFY(std::abs(back->paperWidthCm - 21.6) < 0.01);
      QVERIFY(std::abs(back->paperHeightCm - 28.0) < 0.01);
    }
  }

  // A printer that names no usable target is not read as a setting. Each
  // printer is made so that it prints to a PDF file whatever printers the
  // machine has: Qt falls back to the default printer when a PDF printer is
  // given an empty file name, so none of them is given one.
  void unreadablePrinterSettings_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("queueNameCleared");
    QTest::newRow("PDF file never named") << QString() << false;
    QTest::newRow("PDF file that is a folder") << QDir::tempPath() << false;
    QTest::newRow("PDF file ending in a slash") << QDir::tempPath() + "/new-folder/" << false;
    QTest::newRow("queue name cleared") << QString() << true;
  }

  void unreadablePrinterSettings() {
    QFETCH(QString, fileName);
    QFETCH(bool, queueNameCleared);
    QPrinter printer(QPrinter::HighResolution);
    if (queueNameCleared) {
      printer.setPrinterName(QString());  // Qt turns the printer into a PDF one
    } else {
      printer.setOutputFormat(QPrinter::PdfFormat);
      if (!fileName.isEmpty()) printer.setOutputFileName(fileName);
    }
    QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
    QCOMPARE(printer.outputFileName(), fileName);
    QVERIFY(!SettingFromPrinter(printer, PrinterSetting::PdfFile("/tmp/a.pdf")).has_value());
  }

  // ---- The numbering register ---------------------------------------------

  // The page names the register its runs use, as the settings say whenever
  // it is shown; one that cannot be reached prints nothing and says why.
  // Numbers printed already are asked about, and Enter keeps them unprinted.
  void registerOfTheRuns() {
    QTemporaryDir folder;
    PrintJob job = Job();
    job.TemplateFile = FromQString(folder.filePath("Facturas.pla"));
    page_->LoadPrintJob(job);
    const QString beside = "SQLite: " + QDir(folder.path()).canonicalPath() + "/Registro.sqlite";
    QCOMPARE(Child<QLineEdit>(page_, "Ed_Registro")->text(), beside);
    auto chosen = ChoosePdf(folder.filePath("hojas.pdf"));
    QTest::mouseClick(Child<ClickLabel>(page_, "Bt_SelecImpre"), Qt::LeftButton);
    QVERIFY(chosen->Answered());

    QVERIFY(PrepareDataFolder());
    QFile settings(QString::fromStdString(UserRegisterSettingsFile()));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[Register]\nConnection=postgresql://sala@127.0.0.1:1/zirvo\n");
    settings.close();
    page_->hide();
    QVERIFY(ShowActive(page_));
    QCOMPARE(Child<QLineEdit>(page_, "Ed_Registro")->text(),
             QString("PostgreSQL: sala@127.0.0.1:1/zirvo"));
    {
      BoxAnswers answers({{"FailureMessage", QMessageBox::Ok}});
      QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
      QCOMPARE(answers.names, QStringList{"FailureMessage"});
      QVERIFY2(answers.texts[0].contains("sala@127.0.0.1:1/zirvo"), qPrintable(answers.texts[0]));
    }
    QVERIFY(device_->events.empty() || device_->documentsEnded + device_->documentsAborted == 0);
    QVERIFY(settings.remove());
    page_->hide();
    QVERIFY(ShowActive(page_));
    QCOMPARE(Child<QLineEdit>(page_, "Ed_Registro")->text(), beside);

    Retype(Child<QLineEdit>(page_, "Ed_HojasImp"), "3");
    {
      BoxAnswers answers({{"ContinueNumbering", QMessageBox::No}});
      QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
    }
    QCOMPARE(device_->documentsEnded, 1);
    {
      ModalAnswer enter("QMessageBox", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
      BoxAnswers printedAnyway({{"ContinueNumbering", QMessageBox::No}});
      QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
      QVERIFY(enter.Answered());
      QVERIFY2(enter.SeenText().contains("100..102"), qPrintable(enter.SeenText()));
    }
    QCOMPARE(device_->documentsEnded, 1);
    {
      BoxAnswers answers(
          {{"ReprintNumbers", QMessageBox::Yes}, {"ContinueNumbering", QMessageBox::No}});
      QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
      QCOMPARE(answers.names, (QStringList{"ReprintNumbers", "ContinueNumbering"}));
    }
    QCOMPARE(device_->documentsEnded, 2);
  }

  // ---- Runs ---------------------------------------------------------------

  void runFromThePageToAPdf() {
    QTemporaryDir folder;
    const QString pdf = folder.path() + "/run.pdf";
    PrintPage page;  // on its own QPrinter device
    page.InitPage();
    page.LoadPrintJob(Job());
    QVERIFY(ShowActive(&page));
    {
      auto answer = ChoosePdf(pdf);
      QTest::mouseClick(Child<ClickLabel>(&page, "Bt_SelecImpre"), Qt::LeftButton);
      QVERIFY(answer->Answered());
    }
    Retype(Child<QLineEdit>(&page, "Ed_IncNum"), "5");
    Retype(Child<QLineEdit>(&page, "Ed_CopPlan"), "2");
    Retype(Child<QLineEdit>(&page, "Ed_HojasImp"), "3");
    QVERIFY(ClickAndFinishRun(&page, "Bt_ImpTodo"));

    QCOMPARE(PdfPageCount(pdf), 6);
    // Words come sorted: the reverse numerator first.
    const char* expected[][2] = {{"0050", "0100"}, {"0045", "0105"}, {"0040", "0110"}};
    for (int p = 1; p <= 6; ++p) {
      const std::vector<std::string> words = PdfPageWords(pdf, p);
      const auto* numbers = expected[(p - 1) / 2];
      QCOMPARE(words, (std::vector<std::string>{numbers[0], numbers[1], "Recibo"}));
    }
    // The run is over: the page is idle again.
    QVERIFY(!page.Running());
    QVERIFY(!Child<QProgressBar>(&page, "ProgBarra")->isVisible());
    QVERIFY(!Child<ClickLabel>(&page, "Bt_CanImp")->isVisible());
    QVERIFY(Child<ClickLabel>(&page, "Bt_ImpTodo")->isEnabled());

    // The file exists now: a run asks before replacing it, and "No" leaves
    // it as it was and prints nothing.
    const auto answerReplace = [](QMessageBox::StandardButton button) {
      return std::make_unique<ModalAnswer>("QMessageBox", [button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QCOMPARE(box->objectName(), QString("ReplaceFile"));
        box->button(button)->click();
      });
    };
    const QByteArray runBytes = [&] {
      QFile f(pdf);
      f.open(QIODevice::ReadOnly);
      return f.readAll();
    }();
    {
      auto refused = answerReplace(QMessageBox::No);
      QVERIFY(ClickAndFinishRun(&page, "Bt_ImpPba"));
      QVERIFY(refused->Answered());
      QVERIFY2(refused->SeenText().contains("run.pdf"), qPrintable(refused->SeenText()));
    }
    QFile kept(pdf);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), runBytes);

    // The test sheet: one page with the stored numbers, whatever the sheets say.
    auto accepted = answerReplace(QMessageBox::Yes);
    QVERIFY(ClickAndFinishRun(&page, "Bt_ImpPba"));
    QVERIFY(accepted->Answered());
    QCOMPARE(PdfPageCount(pdf), 2);
    QCOMPARE(PdfPageWords(pdf, 1), (std::vector<std::string>{"0050", "0100", "Recibo"}));
  }

  // The run prints off the page's thread: at a known sheet the test finds
  // every other command and field refused, moves and resizes the window,
  // sees the bar painted and clicks Cancel, and the run stops after that
  // very sheet. The page prints again afterwards.
  void cancelDuringALongRunAbortsIt() {
    QTemporaryDir folder;
    const QString pdf = folder.path() + "/largo.pdf";
    QPrinterDevice device;
    PrintPage page(nullptr, &device);
    page.InitPage();
    page.LoadPrintJob(Job());
    QVERIFY(ShowActive(&page));
    {
      auto answer = ChoosePdf(pdf);
      QTest::mouseClick(Child<ClickLabel>(&page, "Bt_SelecImpre"), Qt::LeftButton);
    }
    const int sheets = 5000;
    Retype(Child<QLineEdit>(&page, "Ed_HojasImp"), QString::number(sheets));
    Retype(Child<QLineEdit>(&page, "Ed_IncNum"),
           "0");  // no numerator goes below zero: nothing to ask
    BarTrace trace(Child<QProgressBar>(&page, "ProgBarra"));
    constexpr int kCancelAt = 1850;
    int barAtCancel = 0;
    bool guardsHeld = false, commandsRefused = false, barPainted = false;
    const QString sheetsTyped = Child<QLineEdit>(&page, "Ed_HojasImp")->text();
    AtSpooledPage during(device, kCancelAt, [&] {
      guardsHeld = page.Running() && !Child<ClickLabel>(&page, "Bt_ImpTodo")->isEnabled() &&
                   !Child<ClickLabel>(&page, "Bt_ImpPba")->isEnabled() &&
                   !Child<ClickLabel>(&page, "Bt_SelecImpre")->isEnabled() &&
                   !Child<ClickLabel>(&page, "Bt_ImpRepos")->isEnabled() &&
                   !Child<ClickLabel>(&page, "Bt_Agregar")->isEnabled() &&
                   !Child<ClickLabel>(&page, "Bt_Diario")->isEnabled() &&
                   Child<QLineEdit>(&page, "Ed_HojasImp")->isReadOnly() &&
                   !page.LoadPrintJob(PrintJob{});
      // Clicks and keys on the other commands and fields change nothing
      // and open no dialog.
      ModalAnswer dialog("QDialog", [](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
      for (const char* command : {"Bt_ImpTodo", "Bt_ImpPba", "Bt_SelecImpre", "Bt_Diario",
                                  "Bt_ImpRepos", "Bt_Agregar", "Bt_BorraT"})
        QTest::mouseClick(Child<ClickLabel>(&page, command), Qt::LeftButton);
      QTest::mouseClick(Child<QLineEdit>(&page, "Ed_HojasImp"), Qt::LeftButton);
      QTest::keyClicks(Child<QLineEdit>(&page, "Ed_HojasImp"), "77");
      QTest::qWait(50);
      commandsRefused =
          !dialog.Answered() && Child<QLineEdit>(&page, "Ed_HojasImp")->text() == sheetsTyped;
      // The window moves and grows, and the bar is painted, while the run waits.
      page.move(page.x() + 40, page.y() + 30);
      page.resize(page.width() + 80, page.height() + 60);
      barPainted = QTest::qWaitFor([&] { return trace.paints > 0; }, 5000);
      QVERIFY(page.grab().save(ScreenshotPath("print_page_run.png")));
      barAtCancel = Child<QProgressBar>(&page, "ProgBarra")->value();
      QTest::mouseClick(Child<ClickLabel>(&page, "Bt_CanImp"), Qt::LeftButton);
    });
    QVERIFY(ClickAndFinishRun(&page, "Bt_ImpTodo"));

    QVERIFY(during.Ran());
    QVERIFY(guardsHeld);
    QVERIFY(commandsRefused);
    QVERIFY(barPainted);
    // The bar showed the sheet just spooled, and the run stopped right after it.
    QCOMPARE(barAtCancel, kCancelAt);
    QCOMPARE(FromQString(Child<QLabel>(&page, "REqMensaje")->text()),
             OwnText(OwnMessage::RunCancelled, FormatInt(kCancelAt)) + " " +
                 OwnText(OwnMessage::PdfNotWritten, "largo.pdf"));
    // The bar is left able to paint itself (its paints are spaced out during a run).
    QVERIFY(Child<QProgressBar>(&page, "ProgBarra")->updatesEnabled() &&
            Child<QProgressBar>(&page, "ProgRepBar")->updatesEnabled());
    // The remaining sheets were passed over with the bar running to the end.
    QCOMPARE(trace.largestValue, sheets);
    QCOMPARE(trace.largestMaximum, sheets);
    // Aborted: no document, no spool file left behind.
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    QVERIFY(!page.Running());
    QVERIFY(!Child<QProgressBar>(&page, "ProgBarra")->isVisible());
    QVERIFY(!Child<ClickLabel>(&page, "Bt_CanImp")->isVisible());
    QVERIFY(Child<ClickLabel>(&page, "Bt_ImpTodo")->isEnabled());
    QVERIFY(!Child<QLineEdit>(&page, "Ed_HojasImp")->isReadOnly());
    // The job the run began with is still loaded, and the page prints again.
    QCOMPARE(page.Engine().LoadedJob().NumeratorCount, 2);
    QVERIFY(ClickAndFinishRun(&page, "Bt_ImpPba"));
    QCOMPARE(PdfPageCount(pdf), 1);
  }

  void cancelStopsBetweenTheCopiesOfTheCurrentSheet() {
    choosePrinter();
    Retype(Child<QLineEdit>(page_, "Ed_CopPlan"), "3");
    Retype(Child<QLineEdit>(page_, "Ed_HojasImp"), "10");
    const auto places = [this] {
      QCoreApplication::processEvents();
      QList<QRect> rects;
      for (QWidget* w : page_->findChildren<QWidget*>())
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<ClickLabel*>(w))
          rects << QRect(w->mapTo(page_, QPoint()), w->size());
      return rects;
    };
    const QList<QRect> before = places();
    std::vector<int> values;
    connect(Child<QProgressBar>(page_, "ProgBarra"), &QProgressBar::valueChanged, page_,
            [&](int value) { values.push_back(value); });
    int stoppedAt = 0;
    // The first copy of sheet 4 is the tenth page spooled.
    AtSpooledPage during(*device_, 10, [&] {
      stoppedAt = Child<QProgressBar>(page_, "ProgBarra")->value();
      // A second run inside the first is refused.
      page_->PrintAll();
      page_->PrintReposition();
      QTest::mouseClick(Child<ClickLabel>(page_, "Bt_CanImp"), Qt::LeftButton);
    });
    QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
    QVERIFY(during.Ran());
    QCOMPARE(stoppedAt, 4);
    QCOMPARE(std::count(device_->events.begin(), device_->events.end(), "begin"), 1);
    QCOMPARE(device_->documentsAborted, 1);
    // The cancel arrived as the first copy of a sheet was spooled: its other
    // copies are not drawn, the page begun after it stays empty and the
    // document is aborted.
    QVERIFY(stoppedAt >= 4 && stoppedAt < 10);
    QCOMPARE(device_->pages.size(), size_t(3 * (stoppedAt - 1) + 2));
    QVERIFY(!device_->TextsOn(3 * (stoppedAt - 1)).empty());
    QVERIFY(device_->TextsOn(3 * (stoppedAt - 1) + 1).empty());
    // The bar went to its end in one step, and the status line says where
    // the run stopped.
    const auto at = std::find(values.begin(), values.end(), stoppedAt);
    QVERIFY(at != values.end() && at + 1 != values.end());
    QCOMPARE(*(at + 1), 10);
    QVERIFY(
        std::none_of(values.begin(), values.end(), [&](int v) { return v > stoppedAt && v < 10; }));
    // No file was written, and none of that name was there before. That
    // long line moves no field or command: it wraps, and shows whole on hover.
    const QString text = Child<QLabel>(page_, "REqMensaje")->text();
    QVERIFY(Child<QLabel>(page_, "REqMensaje")->isVisible());
    QCOMPARE(text, QString::fromLatin1("Impresi\xf3n cancelada despu\xe9s de la hoja %1. No se "
                                       "escribi\xf3 el archivo 'zirvo-print-page-test.pdf'.")
                       .arg(stoppedAt - 1));
    QCOMPARE(places(), before);
    QCOMPARE(Child<QLabel>(page_, "REqMensaje")->toolTip(), text);
    const QRect line = Child<QLabel>(page_, "REqMensaje")->contentsRect();
    QVERIFY(Child<QLabel>(page_, "REqMensaje")
                ->fontMetrics()
                .boundingRect(line, Qt::TextWordWrap, text)
                .height() <= line.height());
    QVERIFY(page_->grab().save(ScreenshotPath("print_page_cancelled.png")));
  }

  void runSettingThatIsNotANumber() {
    choosePrinter();
    Retype(Child<QLineEdit>(page_, "Ed_HojasImp"), "-");
    auto message = DismissMessageBox();
    QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
    QTRY_VERIFY(message->Answered());
    QCOMPARE(message->SeenText(), QString("'-' is not a valid integer value"));
    QCOMPARE(std::count(device_->events.begin(), device_->events.end(), "begin"), 0);
    QVERIFY(!page_->Running());
    QVERIFY(Child<ClickLabel>(page_, "Bt_ImpTodo")->isEnabled());
  }

  // The sheets per job go to the device with the setting; a value that is
  // not a positive whole number stops the run. A PDF file has no
  // calibration, so its offsets and calibration sheet are not offered,
  // before a run or after it.
  void sheetsPerJobTravelWithTheSetting() {
    QCOMPARE(Child<QLineEdit>(page_, "Ed_HojasTrab")->text(), QString("500"));
    choosePrinter();
    for (QWidget* off : std::initializer_list<QWidget*>{Child<QLineEdit>(page_, "Ed_DesplX"),
                                                        Child<QLineEdit>(page_, "Ed_DesplY"),
                                                        Child<ClickLabel>(page_, "Bt_Calibrar")})
      QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
    Retype(Child<QLineEdit>(page_, "Ed_HojasTrab"), "0");
    auto message = DismissMessageBox();
    QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
    QTRY_VERIFY(message->Answered());
    QCOMPARE(message->SeenText(), ToQString(OwnText(OwnMessage::ChunkNotValid, "0")));
    QCOMPARE(std::count(device_->events.begin(), device_->events.end(), "begin"), 0);
    Retype(Child<QLineEdit>(page_, "Ed_HojasTrab"), "250");
    QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
    QCOMPARE(std::count(device_->events.begin(), device_->events.end(), "begin"), 1);
    QCOMPARE(device_->settings.back().chunkSheets, 250);
    QVERIFY(!Child<ClickLabel>(page_, "Bt_Calibrar")->isEnabled());  // nor once the run has ended
  }

  // 50 reverse with increment 10 reaches -10 on sheet 7: the page asks first.
  void asksBeforeANumberGoesBelowZero() {
    choosePrinter();
    Retype(Child<QLineEdit>(page_, "Ed_IncNum"), "10");
    Retype(Child<QLineEdit>(page_, "Ed_HojasImp"), "7");
    const auto answer = [](QMessageBox::StandardButton button) {
      return std::make_unique<ModalAnswer>("QMessageBox", [button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QCOMPARE(box->objectName(), QString("NegativeNumber"));
        box->button(button)->click();
      });
    };
    {
      auto refused = answer(QMessageBox::No);
      QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
      QVERIFY(refused->Answered());
      const QString seen = refused->SeenText();
      QVERIFY2(seen.contains("numerador 2 ") && seen.contains("hoja 7"), qPrintable(seen));
    }
    QCOMPARE(std::count(device_->events.begin(), device_->events.end(), "begin"), 0);
    QVERIFY(!page_->Running());
    QVERIFY(Child<ClickLabel>(page_, "Bt_ImpTodo")->isEnabled());

    auto accepted = answer(QMessageBox::Yes);
    QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
    QVERIFY(accepted->Answered());
    QCOMPARE(device_->pages.size(), size_t{7});
    QCOMPARE(device_->TextsOn(6), (std::vector<std::string>{"0160", "-0010", "Recibo"}));
  }

  // Face-down output: the last sheet comes first. A reposition by sheet
  // number reprints that sheet of the run from the template's numbers.
  void lastSheetFirstAndRepositionBySheet() {
    choosePrinter();
    Retype(Child<QLineEdit>(page_, "Ed_HojasImp"), "3");
    QTest::mouseClick(Child<QCheckBox>(page_, "Ck_UltimaPrimero"), Qt::LeftButton);
    QVERIFY(ClickAndFinishRun(page_, "Bt_ImpTodo"));
    QCOMPARE(device_->pages.size(), size_t{3});
    QVERIFY(Child<QCheckBox>(page_, "Ck_UltimaPrimero")->isChecked());
    QCOMPARE(device_->TextsOn(0), (std::vector<std::string>{"0102", "0048", "Recibo"}));
    QCOMPARE(device_->TextsOn(2), (std::vector<std::string>{"0100", "0050", "Recibo"}));

    device_->pages.clear();
    QTest::mouseClick(Child<QCheckBox>(page_, "Ck_RepHoja"), Qt::LeftButton);
    Retype(Child<QLineEdit>(page_, "Ed_Repone"), "2");
    QTest::mouseClick(Child<ClickLabel>(page_, "Bt_Agregar"), Qt::LeftButton);
    QVERIFY(ClickAndFinishRun(page_, "Bt_ImpRepos"));
    QCOMPARE(device_->pages.size(), size_t{1});
    QCOMPARE(device_->TextsOn(0), (std::vector<std::string>{"0101", "0049", "Recibo"}));
  }

  // ---- Reposition ---------------------------------------------------------

  void repositionListOrder() {
    Retype(Child<QLineEdit>(page_, "Ed_Repone"), "12");
    QTest::mouseClick(Child<ClickLabel>(page_, "Bt_Agregar"), Qt::LeftButton);
    QCOMPARE(Child<QLineEdit>(page_, "Ed_Repone")->text(), QString());
    QVERIFY(Child<QLineEdit>(page_, "Ed_Repone")->hasFocus());
    for (const char* entry : {"9", "100", " 7 ", "12"}) {
      Retype(Child<QLineEdit>(page_, "Ed_Repone"), entry);
      QTest::keyClick(Child<QLineEdit>(page_, "Ed_Repone"), Qt::Key_Return);
    }
    QCOMPARE(ListEntries(Child<QListWidget>(page_, "Ed_LisRep")),
             QStringList({" 7 ", "100", "12", "12", "9"}));

    // Blank: nothing happens, nothing is said.
    auto message = DismissMessageBox();
    Retype(Child<QLineEdit>(page_, "Ed_Repone"), "   ");
    QTest::keyClick(Child<QLineEdit>(page_, "Ed_Repone"), Qt::Key_Return);
    QCOMPARE(Child<QListWidget>(page_, "Ed_LisRep")->count(), 5);
    QVERIFY(!message->Answered());
  }

  void repositionEntryMustBeAnInteger_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("letters") << "12a";
    QTest::newRow("above int32") << "2147483648";
    QTest::newRow("lone minus") << "-";
  }

  void repositionEntryMustBeAnInteger() {
    QFETCH(QString, typed);
    auto message = DismissMessageBox();
    Retype(Child<QLineEdit>(page_, "Ed_Repone"), typed);
    QTest::mouseClick(Child<ClickLabel>(page_, "Bt_Agregar"), Qt::LeftButton);
    QTRY_VERIFY(message->Answered());
    QCOMPARE(message->SeenText(),
             QString::fromUtf8("'%1' no es un número de hoja válido.").arg(typed));
    QCOMPARE(Child<QListWidget>(page_, "Ed_LisRep")->count(), 0);
    QCOMPARE(Child<QLineEdit>(page_, "Ed_Repone")->text(), typed);  // kept for correcting
  }

  void repositionDeleteOneAndAll() {
    for (const char* entry : {"3", "1", "2"}) {
      Retype(Child<QLineEdit>(page_, "Ed_Repone"), entry);
      QTest::keyClick(Child<QLineEdit>(page_, "Ed_Repone"), Qt::Key_Return);
    }
    Child<QListWidget>(page_, "Ed_LisRep")->clearSelection();
    QTest::mouseClick(Child<ClickLabel>(page_, "Bt_BorraLis"), Qt::LeftButton);
    QCOMPARE(Child<QListWidget>(page_, "Ed_LisRep")->count(),
             3);  // nothing selected, nothing removed
    QVERIFY(Child<QLineEdit>(page_, "Ed_Repone")->hasFocus());

    QListWidgetItem* two = Child<QListWidget>(page_, "Ed_LisRep")->item(1);
    QTest::mouseClick(Child<QListWidget>(page_, "Ed_LisRep")->viewport(), Qt::LeftButton,
                      Qt::NoModifier,
                      Child<QListWidget>(page_, "Ed_LisRep")->visualItemRect(two).center());
    QTest::mouseClick(Child<ClickLabel>(page_, "Bt_BorraLis"), Qt::LeftButton);
    QCOMPARE(ListEntries(Child<QListWidget>(page_, "Ed_LisRep")), QStringList({"1", "3"}));
    QVERIFY(Child<QLineEdit>(page_, "Ed_Repone")->hasFocus());

    QTest::mouseClick(Child<ClickLabel>(page_, "Bt_BorraT"), Qt::LeftButton);
    QCOMPARE(Child<QListWidget>(page_, "Ed_LisRep")->count(), 0);
    QVERIFY(Child<QLineEdit>(page_, "Ed_Repone")->hasFocus());
  }

  void repositionPrintsFiveAndTellsTheRest() {
    PrintJob job = Job();
    job.Numerators = {MakeNumerator(1000, false, 3.0, 3.0), MakeNumerator(5000, false, 12.0, 3.0)};
    page_->LoadPrintJob(job);
    for (const char* entry : {"1007", "1003", "1001", "1006", "1002", "1005", "1004"}) {
      Retype(Child<QLineEdit>(page_, "Ed_Repone"), entry);
      QTest::keyClick(Child<QLineEdit>(page_, "Ed_Repone"), Qt::Key_Return);
    }
    choosePrinter();
    BarTrace trace(Child<QProgressBar>(page_, "ProgRepBar"));
    auto notice = DismissMessageBox();
    QVERIFY(ClickAndFinishRun(page_, "Bt_ImpRepos"));
    QTRY_VERIFY(notice->Answered());
    QCOMPARE(notice->SeenText(),
             QString("Se imprimieron las cinco primeras hojas de la lista. No se imprimieron: "
                     "1006, 1007"));
    QCOMPARE(device_->pages.size(), size_t{5});
    for (size_t p = 0; p < 5; ++p) {
      const std::string first = "100" + std::to_string(p + 1);
      const std::string second = "500" + std::to_string(p + 1);
      QCOMPARE(device_->TextsOn(p), (std::vector<std::string>{first, second, "Recibo"}));
    }
    QCOMPARE(trace.largestMaximum, 7);
    QCOMPARE(trace.largestValue, 5);
    QCOMPARE(Child<QListWidget>(page_, "Ed_LisRep")->count(), 7);  // the list survives the run
    QVERIFY(!Child<QProgressBar>(page_, "ProgRepBar")->isVisible());
    QVERIFY(!Child<ClickLabel>(page_, "Bt_CanRepos")->isVisible());
  }

  // 100 ascending and 50 reverse: the sheet on which the first shows 104
  // carries 46 in the second, and so does its reposition.
  void repositionOfAReverseNumeratorMovesItDown() {
    choosePrinter();
    Retype(Child<QLineEdit>(page_, "Ed_Repone"), "104");
    QTest::keyClick(Child<QLineEdit>(page_, "Ed_Repone"), Qt::Key_Return);
    QVERIFY(ClickAndFinishRun(page_, "Bt_ImpRepos"));
    QCOMPARE(device_->pages.size(), size_t{1});
    QCOMPARE(device_->TextsOn(0), (std::vector<std::string>{"0104", "0046", "Recibo"}));
  }

 private:
  void choosePrinter() {
    auto answer = ChoosePdf(folder_.filePath("zirvo-print-page-test.pdf"));
    QTest::mouseClick(Child<ClickLabel>(page_, "Bt_SelecImpre"), Qt::LeftButton);
    QVERIFY(answer->Answered());
    QVERIFY(!Child<QLineEdit>(page_, "Ed_ImpSelec")->text().isEmpty());
  }

  QTemporaryDir folder_;  // the PDF file chosen, never written by the recording device
  std::unique_ptr<RecordingDevice> device_;
  PrintPage* page_ = nullptr;
};

QTEST_MAIN(PrintPageTest)
#include "print_page_test.moc"
