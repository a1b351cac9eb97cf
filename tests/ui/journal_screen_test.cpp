// The journal from the print page: a run of a saved template offers to
// continue after it and the template's file then starts after the numbers
// printed; a run over printed numbers asks first; the journal screen lists
// the runs newest first and "Reponer" fills the reposition list.
#include <QDir>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "pages/journal_dialog_qt.h"
#include "pages/print_page_qt.h"
#include "support/fake_workspace_host.h"
#include "support/recording_device.h"
#include "support/ui_support.h"
#include "template/numerator_table.h"
#include "template/template_codec.h"
#include "template/workspace.h"

using namespace zirvo;
using namespace zirvo::testing;

namespace {

JournalRecord Record(const char* run, RunKind kind, RunEvent event, int32_t sheets,
                     int32_t increment, std::vector<NumberRange> ranges,
                     std::vector<int32_t> repositions = {}) {
  JournalRecord record;
  record.run = run;
  record.time = "2026-12-09T20:15:03+01:00";
  record.user = "ana";
  record.templateName = "Facturas.pla";
  record.target = "/tmp/salida.pdf";
  record.kind = kind;
  record.sheets = sheets;
  record.increment = increment;
  record.event = event;
  if (event != RunEvent::Started) record.completedSheets = sheets;
  record.ranges = std::move(ranges);
  record.repositions = std::move(repositions);
  return record;
}

}  // namespace

class JournalScreenTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { PrepareCatalog(1); }
  void init() { ProgramCatalog().LoadTable(1); }

  // What the screen shows of a journal file: its rows, newest first, or the
  // line saying why there are none or what was skipped.
  void journalFiles_data() {
    QTest::addColumn<QString>("content");  // "-": no file; "none": a template without file
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("notice");
    QTest::newRow("no template file") << "none" << 0 << "no tiene diario";
    QTest::newRow("no journal yet") << "-" << 0 << "a\u00fan no tiene impresiones";
    QTest::newRow("header only") << "header" << 0 << "a\u00fan no tiene impresiones";
    QTest::newRow("two runs") << "runs" << 2 << "";
    QTest::newRow("a damaged line") << "damaged" << 2 << "(4)";
  }
  void journalFiles() {
    QFETCH(QString, content);
    QFETCH(int, rows);
    QFETCH(QString, notice);
    QTemporaryDir dir;
    const std::string path = FromQString(dir.filePath("Facturas.journal.csv"));
    if (content != "-" && content != "none") {
      std::ofstream file(path, std::ios::binary);
      file << kJournalHeader << "\n";
      if (content != "header") {
        file << FormatJournalRecord(
            Record("a", RunKind::Run, RunEvent::Started, 50, 1, {{1, 100, 149}}));
        file << FormatJournalRecord(
            Record("a", RunKind::Run, RunEvent::Completed, 50, 1, {{1, 100, 149}}));
        if (content == "damaged") file << "not a record, \"half quoted\n";
        JournalRecord cancelled =
            Record("b", RunKind::Run, RunEvent::Cancelled, 50, 1, {{1, 150, 161}, {2, -5, -16}});
        cancelled.completedSheets = 12;
        file << FormatJournalRecord(
            Record("b", RunKind::Run, RunEvent::Started, 50, 1, {{1, 150, 199}, {2, -5, -54}}));
        file << FormatJournalRecord(cancelled);
      }
    }
    TFDiario dialog(content == "none" ? std::string() : path);
    QCOMPARE(dialog.Model()->rowCount(), rows);
    QCOMPARE(dialog.Et_Aviso->text().isEmpty(), notice.isEmpty());
    QVERIFY2(dialog.Et_Aviso->text().contains(notice), qPrintable(dialog.Et_Aviso->text()));
    if (rows == 0) return;
    // Newest first: the cancelled run, with the numbers it completed.
    const QStringList newest = {
        "2026-12-09 20:15:03",     "Impresi\u00f3n",  "50",
        "01:150..161; 02:-5..-16", "/tmp/salida.pdf", "Cancelada (12 hojas)"};
    for (int column = 0; column < JournalModel::kColumnCount; ++column)
      QCOMPARE(dialog.Model()->Text(0, column), newest[column]);
    QCOMPARE(dialog.Model()->Text(1, JournalModel::kResult), QString("Completada"));
  }

  // Through the page and the workspace: the register beside the saved
  // template, a run, continue, a run over printed numbers.
  void continueReprintAndJournal() {
    QTemporaryDir dir;
    RecordingDevice device;
    TFHImprime page(nullptr, &device);
    FakeHost host;
    host.printPage = [&page](const PrintJob& job) { return page.LoadPrintJob(job); };
    TemplateWorkspace workspace(host);
    QObject::connect(&page, &TFHImprime::ContinueRequested, &page,
                     [&workspace](int32_t sheets, int32_t increment) {
                       workspace.ContinueNumbering(sheets, increment);
                     });
    page.InitPage();
    QVERIFY(ShowActive(&page));

    workspace.InitWorkspace();
    workspace.StartTemplate();
    workspace.Document().CommitCell(TemplateTable::Numerators, 0, NumeratorTable::kNumber, "100");
    const std::string templatePath = FromQString(dir.filePath("Facturas.pla"));
    host.savePaths = {templatePath};
    workspace.RunCommand(static_cast<int>(WorkspaceCommand::Save));
    while (host.timerArmed) workspace.TimerFired();
    QVERIFY(workspace.HasFile());
    workspace.RunCommand(static_cast<int>(WorkspaceCommand::PrintPage));
    QCOMPARE(page.Ed_Registro->text(),
             "SQLite: " + QDir(dir.path()).canonicalPath() + "/Registro.sqlite");

    auto chosen = ChoosePdf(dir.filePath("salida.pdf"));
    QTest::mouseClick(page.Bt_SelecImpre, Qt::LeftButton);
    QVERIFY(chosen->Answered());

    // 50 sheets, then Yes to continuing: the file starts at 150.
    Retype(page.Ed_HojasImp, "50");
    {
      BoxAnswers answers({{"ContinueNumbering", QMessageBox::Yes}});
      QTest::mouseClick(page.Bt_ImpTodo, Qt::LeftButton);
      QCOMPARE(answers.names, QStringList{"ContinueNumbering"});
      QVERIFY2(answers.texts[0].contains("hoja 50") && answers.texts[0].contains("0150"),
               qPrintable(answers.texts[0]));
    }
    QCOMPARE(device.pages.size(), size_t{50});
    QCOMPARE(device.TextsOn(49).front(), std::string("0149"));
    QVERIFY(host.errors.empty());
    const std::optional<Template> saved = LoadTemplate(templatePath);
    QVERIFY(saved);
    QCOMPARE(saved->Numerators().ExportRecords().front().Number, 150);
    QCOMPARE(page.Engine().LoadedJob().Numerators.front().Number, 150);

    // Back to 120: the run would print numbers already printed. No prints
    // nothing; Yes prints them, and the continue question is answered No.
    workspace.Document().CommitCell(TemplateTable::Numerators, 0, NumeratorTable::kNumber, "120");
    workspace.RunCommand(static_cast<int>(WorkspaceCommand::PrintPage));
    Retype(page.Ed_HojasImp, "10");
    const int32_t documentsBefore = device.documentsEnded;
    {
      BoxAnswers answers({{"ReprintNumbers", QMessageBox::No}});
      QTest::mouseClick(page.Bt_ImpTodo, Qt::LeftButton);
      QCOMPARE(answers.names, QStringList{"ReprintNumbers"});
      QVERIFY2(answers.texts[0].contains("numerador 01") && answers.texts[0].contains("salida.pdf"),
               qPrintable(answers.texts[0]));
    }
    QCOMPARE(device.documentsEnded, documentsBefore);
    {
      BoxAnswers answers(
          {{"ReprintNumbers", QMessageBox::Yes}, {"ContinueNumbering", QMessageBox::No}});
      QTest::mouseClick(page.Bt_ImpTodo, Qt::LeftButton);
      QCOMPARE(answers.names, (QStringList{"ReprintNumbers", "ContinueNumbering"}));
    }
    QCOMPARE(device.documentsEnded, documentsBefore + 1);
    QCOMPARE(LoadTemplate(templatePath)->Numerators().ExportRecords().front().Number, 150);
  }
};

QTEST_MAIN(JournalScreenTest)
#include "journal_screen_test.moc"
