// The journal screen on the numbering register: the runs of a series newest
// first, page after page as the table scrolls, what could not be read, the
// export, and "Reponer" filling the print page's reposition list; and the
// journal from the print page after a run, continue and a reprint.
#include <sqlite3.h>

#include <QComboBox>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "pages/journal_screen_qt.h"
#include "pages/print_page_qt.h"
#include "printing/sqlite_register.h"
#include "support/fake_workspace_host.h"
#include "support/recording_device.h"
#include "support/ui_support.h"
#include "template/editing_session.h"
#include "template/numerator_table.h"
#include "template/series.h"
#include "template/template_codec.h"
#include "widgets/dialog_parts_qt.h"

using namespace zirvo;
using namespace zirvo::testing;

namespace {

std::string series;         // that of the template file Facturas.pla in the test's folder
constexpr int kRuns = 226;  // runs that read; and two records that do not

// Reserves a run of `kind` planning `planned` and ends it with `event` after
// `completed` sheets (Started: never ended).
void AddRun(NumberRegister& reg, RunKind kind, std::vector<Progression> planned, RunEvent event,
            int32_t completed) {
  RunRecord run = NewRun(series, kind);
  run.templateName = "=SUMA(A1)";
  run.target = "/tmp/salida.pdf";
  run.user = "ana";
  run.station = "caja-2";
  run.time = "2026-12-09T20:15:03+01:00";
  run.sheets = static_cast<int32_t>(planned.front().Count());
  std::vector<Progression> done;
  for (const Progression& p : planned) {
    if (kind == RunKind::Reposition) run.listed.push_back(static_cast<int32_t>(p.first));
    if (completed > 0) done.push_back(Progression::Of(p.position, p.first, completed, p.step));
  }
  if (kind == RunKind::Reposition) run.sheets = static_cast<int32_t>(planned.size());
  run.planned = std::move(planned);
  QVERIFY(reg.Reserve(run, true).reserved);
  if (event != RunEvent::Started) reg.Finish(run.id, event, completed, done);
}

// `count` interrupted runs without numbers stored past the register, as
// another program would; a kind no program wrote makes them damaged.
void InsertRuns(const std::string& registerPath, int count, const char* kind) {
  sqlite3* db = nullptr;
  QCOMPARE(sqlite3_open(registerPath.c_str(), &db), SQLITE_OK);
  const std::string sql =
      "INSERT INTO zirvo_runs (id, series, kind, template, target, user_name, station, started, "
      "sheets, copies, increment) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
      "WHERE i < " +
      std::to_string(count) + ") SELECT hex(randomblob(8)), '" + series + "', '" + kind +
      "', 'F.pla', 'x', 'luis', 'caja-1', 't', 10, 1, 1 FROM n";
  const int stored = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
  QCOMPARE(stored, SQLITE_OK);
}

}  // namespace

class JournalScreenTest : public QObject {
  Q_OBJECT

 private slots:
  // Oldest first: 20 runs, a damaged record, 200 runs, a damaged record,
  // then one of every kind and outcome.
  void initTestCase() {
    PrepareCatalog(1);
    QVERIFY(dir_.isValid());
    series = SeriesOfPath(Path("Facturas.pla"));
    reg_ = SqliteRegister::Open(Path("Registro.sqlite"));
    for (const auto& [count, kind] :
         {std::pair{20, "run"}, {1, "impresion"}, {200, "run"}, {1, "impresion"}})
      InsertRuns(Path("Registro.sqlite"), count, kind);
    AddRun(*reg_, RunKind::Run, {Progression::Of(1, 100, 50, 1)}, RunEvent::Completed, 50);
    AddRun(*reg_, RunKind::Test, {Progression::Single(1, 162)}, RunEvent::Completed, 1);
    AddRun(*reg_, RunKind::Run, {Progression::Of(1, 500, 10, 1)}, RunEvent::Failed, 3);
    AddRun(*reg_, RunKind::Run, {Progression::Of(1, 7000, 10, 5)}, RunEvent::Started, 0);
    AddRun(*reg_, RunKind::Reposition, {Progression::Single(1, 120), Progression::Single(1, 133)},
           RunEvent::Completed, 2);
    AddRun(*reg_, RunKind::Run, {Progression::Of(1, 150, 50, 1), Progression::Of(2, -5, 50, -1)},
           RunEvent::Cancelled, 12);
  }
  void init() { ProgramCatalog().LoadTable(1); }

  void notices_data() {
    QTest::addColumn<QString>("series");  // "-": no register
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("notice");
    QTest::newRow("no register") << "-" << 0 << "no se pudo usar: es un enlace";
    QTest::newRow("no runs yet") << "otra" << 0 << "a\u00fan no tiene impresiones";
  }
  void notices() {
    QFETCH(QString, series);
    QFETCH(int, rows);
    QFETCH(QString, notice);
    const bool none = series == "-";
    JournalScreen dialog(none ? nullptr : reg_.get(), FromQString(series),
                         none ? "El registro no se pudo usar: es un enlace" : "");
    QCOMPARE(dialog.Model()->rowCount(), rows);
    QVERIFY2(Child<QLabel>(&dialog, "Et_Aviso")->text().contains(notice),
             qPrintable(Child<QLabel>(&dialog, "Et_Aviso")->text()));
    QCOMPARE(Child<ClickLabel>(&dialog, "Bt_Exporta")->isEnabled(), !none);
  }

  // The newest row whole, in both languages; a cell of each kind and outcome.
  void rows_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("cells");  // from the first column, "|" between them, "" unchecked
    QTest::newRow("cancelled") << 1 << 0
                               << "2026-12-09 20:15:03|Impresi\u00f3n|ana|caja-2|50|12|150..161|"
                                  "/tmp/salida.pdf|Cancelada (12 hojas)";
    QTest::newRow("English") << 2 << 0
                             << "2026-12-09 20:15:03|Run|ana|caja-2|50|12|150..161|"
                                "/tmp/salida.pdf|Cancelled (12 sheets)";
    QTest::newRow("reposition") << 1 << 1 << "|Reposici\u00f3n|||2|2|120, 133||Completada";
    QTest::newRow("interrupted, by 5") << 1 << 2 << "||||10|?|7000,7005..7045||Interrumpida";
    QTest::newRow("failed") << 1 << 3 << "||||10|3|500..502||Fallida";
    QTest::newRow("test sheet") << 1 << 4 << "|Hoja de prueba|||1|1|162||Completada";
  }
  void rows() {
    QFETCH(int, language);
    QFETCH(int, row);
    QFETCH(QString, cells);
    ProgramCatalog().LoadTable(language);
    JournalScreen dialog(reg_.get(), series, "");
    const QStringList cell = cells.split('|');
    QCOMPARE(cell.size(), int{JournalModel::kColumnCount});
    for (int column = 0; column < cell.size(); ++column)
      if (!cell[column].isEmpty()) QCOMPARE(dialog.Model()->Text(row, column), cell[column]);
    // The whole numbers of every numerator in the tooltip.
    QCOMPARE(dialog.Model()->index(0, JournalModel::kNumbers).data(Qt::ToolTipRole).toString(),
             QString("01:150..161; 02:-5..-16"));
    // Shown, the date and the numbers are not cut.
    QVERIFY(ShowActive(&dialog));
    for (const int column : {JournalModel::kDate, JournalModel::kNumbers}) {
      const QString text = dialog.Model()->Text(row, column);
      QVERIFY2(Child<QTableView>(&dialog, "Tb_Diario")->columnWidth(column) >
                   Child<QTableView>(&dialog, "Tb_Diario")->fontMetrics().horizontalAdvance(text),
               qPrintable(text));
    }
  }

  // The first page, then scrolling to the end reads the next one; the
  // notice counts the damaged records of both.
  void pages() {
    JournalScreen dialog(reg_.get(), series, "");
    QVERIFY(ShowActive(&dialog));
    QCOMPARE(dialog.Model()->rowCount(), 199);
    QVERIFY(Child<QLabel>(&dialog, "Et_Aviso")
                ->text()
                .endsWith("no se pudieron leer (no se muestran): 1."));
    Child<QTableView>(&dialog, "Tb_Diario")->setFocus();
    QTest::keyClick(Child<QTableView>(&dialog, "Tb_Diario"), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(Child<QTableView>(&dialog, "Tb_Diario"), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(dialog.Model()->rowCount(), kRuns);
    QCOMPARE(dialog.Model()->Text(kRuns - 1, JournalModel::kUser), QString("luis"));
    QVERIFY2(Child<QLabel>(&dialog, "Et_Aviso")->text().endsWith(": 2."),
             qPrintable(Child<QLabel>(&dialog, "Et_Aviso")->text()));
  }

  // Every run of the series, not only the pages shown, through the dialog
  // driven by keys. An existing file is replaced only when the user says so;
  // a file that cannot be written is told.
  void exports_data() {
    QTest::addColumn<int>("filter");  // 0 CSV with commas, 1 with semicolons, 2 JSON
    // The name typed | the file written ("": none) | the message box that
    // came, ":" and part of its text.
    QTest::addColumn<QString>("answers");
    QTest::newRow("csv ;") << 1 << "Diario|Diario.csv|";
    QTest::newRow("json") << 2 << "Diario.csv|Diario.json|";
    QTest::newRow("an existing file kept") << 0 << "Viejo||ReplaceFile:Viejo.csv";
    QTest::newRow("a folder of that name") << 0 << "Carpeta||FailureMessage:Carpeta.csv";
  }
  void exports() {
    QFETCH(int, filter);
    QFETCH(QString, answers);
    const QString typed = answers.section('|', 0, 0);
    const QString written = answers.section('|', 1, 1);
    const QString box = answers.section('|', 2);
    QTemporaryDir out;
    QVERIFY(QDir(out.path()).mkdir("Carpeta.csv"));
    QFile old(out.filePath("Viejo.csv"));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("viejo") == 5);
    old.close();
    JournalScreen dialog(reg_.get(), series, "");
    QVERIFY(ShowActive(&dialog));
    ModalAnswer files("QFileDialog", [&](QWidget* modal) {
      auto* types = modal->findChild<QComboBox*>("fileTypeCombo");
      types->setFocus();
      for (int i = 0; i < filter; ++i) QTest::keyClick(types, Qt::Key_Down);
      auto* name = modal->findChild<QLineEdit*>("fileNameEdit");
      name->setFocus();
      QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(name, out.filePath(typed));
      QTest::keyClick(name, Qt::Key_Return);
    });
    BoxAnswers boxes({{"FailureMessage", QMessageBox::Ok}, {"ReplaceFile", QMessageBox::No}});
    QTest::mouseClick(Child<ClickLabel>(&dialog, "Bt_Exporta"), Qt::LeftButton);
    QVERIFY(files.Answered());
    QCOMPARE(boxes.names.join(""), box.section(':', 0, 0));
    if (!box.isEmpty())
      QVERIFY2(boxes.texts[0].contains(box.section(':', 1)), qPrintable(boxes.texts[0]));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("viejo"));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), written.isEmpty() ? 1 : 2);
    if (written.isEmpty()) return;
    QFile file(out.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    if (filter == 2) {
      QJsonParseError error;
      const QJsonDocument json = QJsonDocument::fromJson(bytes, &error);
      QCOMPARE(error.error, QJsonParseError::NoError);
      QCOMPARE(json.object()["runs"].toArray().size(), kRuns);
      QCOMPARE(json.object()["damagedRecords"].toArray().size(), 2);
      return;
    }
    QVERIFY(bytes.startsWith(QByteArray("\xEF\xBB\xBFrun;series;kind;template;")));
    const QStringList lines = QString::fromUtf8(bytes).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + kRuns);
    QCOMPARE(lines[1].split(';').value(3), QString("'=SUMA(A1)"));
  }

  // "Reponer" on a run adds its numbers to the print page's list up to the
  // five sheets one reposition prints, counting the entries listed, and
  // tells how many remain; a reposition's own numbers.
  void reprint_data() {
    QTest::addColumn<int>("listed");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("byDoubleClick");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("cut");  // numbers added and left, "": no message
    QTest::newRow("none listed") << 0 << 5 << false
                                 << QStringList{"100", "101", "102", "103", "104"} << "5:45";
    QTest::newRow("three listed") << 3 << 5 << true << QStringList{"100", "101", "6", "7", "8"}
                                  << "2:48";
    QTest::newRow("five listed") << 5 << 5 << false << QStringList{"10", "6", "7", "8", "9"}
                                 << "0:50";
    QTest::newRow("a reposition") << 0 << 1 << true << QStringList{"120", "133"} << "";
  }
  void reprint() {
    QFETCH(int, listed);
    QFETCH(int, row);
    QFETCH(bool, byDoubleClick);
    QFETCH(QStringList, list);
    QFETCH(QString, cut);
    RecordingDevice device;
    PrintPage page(nullptr, &device);
    page.InitPage();
    PrintJob job;
    job.TemplateFile = Path("Facturas.pla");
    job.Series = series;
    page.LoadPrintJob(job);
    QVERIFY(ShowActive(&page));
    for (int entry = 0; entry < listed; ++entry) {
      Retype(Child<QLineEdit>(&page, "Ed_Repone"), QString::number(6 + entry));
      QTest::keyClick(Child<QLineEdit>(&page, "Ed_Repone"), Qt::Key_Return);
    }
    BoxAnswers boxes({{"ReprintCut", QMessageBox::Ok}});
    ModalAnswer journal("zirvo::JournalScreen", [&](QWidget* modal) {
      auto* dialog = static_cast<JournalScreen*>(modal);
      QTableView* table = Child<QTableView>(dialog, "Tb_Diario");
      if (dialog->Model()->rowCount() <= row) return QTest::keyClick(table, Qt::Key_Escape);
      const QPoint at = table->visualRect(dialog->Model()->index(row, 0)).center();
      QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
      if (byDoubleClick)
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
      else
        QTest::keyClick(table, Qt::Key_Return);
    });
    QTest::mouseClick(Child<ClickLabel>(&page, "Bt_Diario"), Qt::LeftButton);
    QVERIFY(journal.Answered());
    QCOMPARE(ListEntries(Child<QListWidget>(&page, "Ed_LisRep")), list);
    QCOMPARE(boxes.names.size(), cut.isEmpty() ? 0 : 1);
    if (!cut.isEmpty())
      QVERIFY2(boxes.texts[0].contains("agregaron " + cut.section(':', 0, 0) + " ") &&
                   boxes.texts[0].contains("quedan " + cut.section(':', 1) + " "),
               qPrintable(boxes.texts[0]));
  }

  // Through the page and the workspace: the register beside the saved
  // template, a run, continue, a run over printed numbers.
  void continueReprintAndJournal() {
    QTemporaryDir dir;
    RecordingDevice device;
    PrintPage page(nullptr, &device);
    FakeHost host;
    host.printPage = [&page](const PrintJob& job) { return page.LoadPrintJob(job); };
    EditingSession workspace(host);
    QObject::connect(&page, &PrintPage::ContinueRequested, &page,
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
    workspace.RunCommand(WorkspaceCommand::Save);
    while (host.timerArmed) workspace.TimerFired();
    QVERIFY(workspace.HasFile());
    workspace.RunCommand(WorkspaceCommand::PrintPage);
    QCOMPARE(Child<QLineEdit>(&page, "Ed_Registro")->text(),
             "SQLite: " + QDir(dir.path()).canonicalPath() + "/Registro.sqlite");

    auto chosen = ChoosePdf(dir.filePath("salida.pdf"));
    QTest::mouseClick(Child<ClickLabel>(&page, "Bt_SelecImpre"), Qt::LeftButton);
    QVERIFY(chosen->Answered());

    // 50 sheets, then Yes to continuing: the file starts at 150.
    Retype(Child<QLineEdit>(&page, "Ed_HojasImp"), "50");
    {
      BoxAnswers answers({{"ContinueNumbering", QMessageBox::Yes}});
      QVERIFY(ClickAndFinishRun(&page, "Bt_ImpTodo"));
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
    workspace.RunCommand(WorkspaceCommand::PrintPage);
    Retype(Child<QLineEdit>(&page, "Ed_HojasImp"), "10");
    const int32_t documentsBefore = device.documentsEnded;
    {
      BoxAnswers answers({{"ReprintNumbers", QMessageBox::No}});
      QVERIFY(ClickAndFinishRun(&page, "Bt_ImpTodo"));
      QCOMPARE(answers.names, QStringList{"ReprintNumbers"});
      QVERIFY2(answers.texts[0].contains("numerador 01") && answers.texts[0].contains("salida.pdf"),
               qPrintable(answers.texts[0]));
    }
    QCOMPARE(device.documentsEnded, documentsBefore);
    {
      BoxAnswers answers(
          {{"ReprintNumbers", QMessageBox::Yes}, {"ContinueNumbering", QMessageBox::No}});
      QVERIFY(ClickAndFinishRun(&page, "Bt_ImpTodo"));
      QCOMPARE(answers.names, (QStringList{"ReprintNumbers", "ContinueNumbering"}));
    }
    QCOMPARE(device.documentsEnded, documentsBefore + 1);
    QCOMPARE(LoadTemplate(templatePath)->Numerators().ExportRecords().front().Number, 150);

    // The journal: the reprint first, then the first run. Reponer on the
    // first row fills the list up to the five sheets a reposition prints
    // with the numbers reprinted, and says how many remain.
    for (const char* entry : {"7", "8"}) {
      Retype(Child<QLineEdit>(&page, "Ed_Repone"), entry);
      QTest::keyClick(Child<QLineEdit>(&page, "Ed_Repone"), Qt::Key_Return);
    }
    BoxAnswers cut({{"ReprintCut", QMessageBox::Ok}});
    bool listed = false;
    ModalAnswer journal("zirvo::JournalScreen", [&listed](QWidget* modal) {
      auto* dialog = static_cast<JournalScreen*>(modal);
      listed = dialog->Model()->rowCount() == 2 &&
               dialog->Model()->Text(0, JournalModel::kNumbers) == "120..129" &&
               dialog->Model()->Text(1, JournalModel::kNumbers) == "100..149";
      // Reponer without a row chosen does nothing.
      QTest::mouseClick(Child<QWidget>(dialog, "Bt_Aplica"), Qt::LeftButton);
      QVERIFY(dialog->isVisible());
      const QRect row =
          Child<QTableView>(dialog, "Tb_Diario")->visualRect(dialog->Model()->index(0, 0));
      QTest::mouseClick(Child<QTableView>(dialog, "Tb_Diario")->viewport(), Qt::LeftButton, {},
                        row.center());
      QTest::mouseClick(Child<QWidget>(dialog, "Bt_Aplica"), Qt::LeftButton);
    });
    QTest::mouseClick(Child<ClickLabel>(&page, "Bt_Diario"), Qt::LeftButton);
    QVERIFY(journal.Answered());
    QVERIFY(listed);
    QCOMPARE(ListEntries(Child<QListWidget>(&page, "Ed_LisRep")),
             QStringList({"120", "121", "122", "7", "8"}));
    QCOMPARE(cut.names, QStringList{"ReprintCut"});
    QVERIFY2(cut.texts[0].contains("agregaron 3 ") && cut.texts[0].contains("quedan 7 "),
             qPrintable(cut.texts[0]));
  }

 private:
  std::string Path(const char* name) const { return FromQString(dir_.filePath(name)); }

  QTemporaryDir dir_;
  std::unique_ptr<NumberRegister> reg_;
};

QTEST_MAIN(JournalScreenTest)
#include "journal_screen_test.moc"
