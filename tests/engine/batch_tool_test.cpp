// The zirvo-batch executable, run as scripts run it.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QThread>
#include <algorithm>
#include <csignal>

#include "engine_support.h"

#ifdef __unix__
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zirvo {
namespace {

using testing::PdfPageCount;
using testing::PdfPageWords;
using testing::RegisterRuns;
using testing::RunTool;
using testing::ToolResult;

const QString kBatch = QString(ZIRVO_BUILD_DIR) + "/zirvo-batch";

ToolResult Batch(const QStringList& args) { return RunTool(kBatch, args); }

// A copy of the invoice template in a folder of its own, where its runs keep
// their register.
QString CopyOfFactura(const QTemporaryDir& dir) {
  const QString folder = dir.filePath("template");
  QDir().mkpath(folder);
  const QString copy = folder + "/factura.pla";
  QFile::copy(QString(ZIRVO_FIXTURES) + "/engine/factura.pla", copy);
  return copy;
}

// The invoice template with `from` replaced by `to`, written at `path`.
QString FacturaWith(const QString& path, const QString& from, const QString& to) {
  QFile source(QString(ZIRVO_FIXTURES) + "/engine/factura.pla");
  QFile copy(path);
  if (source.open(QIODevice::ReadOnly) && copy.open(QIODevice::WriteOnly))
    copy.write(source.readAll().replace(from.toUtf8(), to.toUtf8()));
  return path;
}

int LineCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class BatchTool : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  const QString kFactura = CopyOfFactura(dir);
  QString Path(const char* name) const { return dir.filePath(name); }
  int FilesLeft() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(); }
  size_t Runs() const { return RegisterRuns(kFactura).runs.size(); }
};

TEST_F(BatchTool, PrintsARunToPdf) {
  const QString pdf = Path("run.pdf");
  const auto r = Batch({"print", kFactura, "--output", pdf, "--sheets", "3", "--increment", "5"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ASSERT_EQ(PdfPageCount(pdf), 3);
  using W = std::vector<std::string>;
  EXPECT_EQ(PdfPageWords(pdf, 1),
            (W{"0050", "Cliente", "Copia", "F-001500", "archivo", "el", "para"}));
  EXPECT_EQ(PdfPageWords(pdf, 3),
            (W{"0040", "Cliente", "Copia", "F-001510", "archivo", "el", "para"}));
  // The template's sheet, 21.00 x 29.70 cm, is the paper by default.
  EXPECT_NE(RunTool("pdfinfo", {pdf}).out.find("595 x 842"), std::string::npos);
}

TEST_F(BatchTool, WarnsOnceWhenANumeratorGoesBelowZeroAndPrints) {
  const QString pdf = Path("negative.pdf");
  const auto r = Batch({"print", kFactura, "--output", pdf, "--sheets", "3", "--increment", "30"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ASSERT_EQ(PdfPageCount(pdf), 3);
  EXPECT_EQ(PdfPageWords(pdf, 3)[0], "-0010");
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_TRUE(r.err.find("hoja 3") != std::string::npos ||
              r.err.find("sheet 3") != std::string::npos)
      << r.err;
}

TEST_F(BatchTool, RepositionPrintsTheListedNumbersInTheListsOrder) {
  const QString pdf = Path("repos.pdf");
  QStringList args = {"print", kFactura, "--output", pdf, "--paper", "Letter"};
  for (const char* n : {"1600", "1507", "1501", "1502", "1503"}) args << "--reposition" << n;
  const auto r = Batch(args);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ASSERT_EQ(PdfPageCount(pdf), 5);
  // Sorted as the list sorts: 1501 ... 1503, 1507, 1600.
  EXPECT_EQ(PdfPageWords(pdf, 1)[3], "F-001501");
  EXPECT_EQ(PdfPageWords(pdf, 5)[3], "F-001600");
  EXPECT_EQ(r.err, "");
  EXPECT_NE(RunTool("pdfinfo", {pdf}).out.find("612 x 792"), std::string::npos);
}

TEST_F(BatchTool, RefusesBadInputWithOneLineAndWritesNothing) {
  QFile bad(Path("bad.pla"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("not a template\r\n");
  bad.close();
  const QString pdf = Path("out.pdf");
  // Templates that load but must not print, beside the invoice.
  const QString folder = dir.filePath("template/");
  const auto sheet = [&](const char* width) {
    return FacturaWith(folder + width + ".pla", "|21.00|", QString("|%1|").arg(width));
  };
  const QString last = FacturaWith(folder + "last.pla", "|1500|", "|2147483647|");
  const QString lowercase =
      FacturaWith(folder + "code39.pla", "|F-|", "|f-|");  // a Code 39 takes no lowercase letters
  QFile barcode(lowercase);
  ASSERT_TRUE(barcode.open(QIODevice::Append));
  barcode.write("|COD|F|01|0|0|1.00|5.00|\r\n");
  barcode.close();
  const QString spanish = FacturaWith(folder + "Ni\u00f1o.pla", "|HJA|", "|XXX|");
#ifdef __unix__
  // A FIFO never answers a reader that opens it and waits.
  const QString fifo = folder + "fifo.pla";
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
#endif
  QStringList sixRepositions = {"print", kFactura, "--output", pdf};
  for (int n = 1501; n <= 1506; ++n) sixRepositions << "--reposition" << QString::number(n);
  const struct {
    QStringList args;
    int exit;
    const char* message;
  } cases[] = {
      {{"print", sheet("-21"), "--output", pdf}, 1, "149.99"},
      {{"print", sheet("0"), "--output", pdf}, 1, "149.99"},
      {{"print", sheet("1e300"), "--output", pdf}, 1, "149.99"},
      {{"print", sheet("600"), "--printer", "X"}, 1, "149.99"},
      {{"print", last, "--output", pdf, "--continue"}, 1, "2147483648"},
      {{"print", kFactura, "--output", pdf, "--increment", "-2147483648"}, 1, "-2147483648"},
      {{"print", kFactura, "--output", pdf, "--copies", "1000"}, 1, "'1000'"},
      {{"print", kFactura, "--output", pdf, "--reposition", ""}, 1, "''"},
      {sixRepositions, 1, " 6."},
      {{"print", lowercase, "--output", pdf}, 1, "'f-001500'"},
      {{"info", spanish}, 1, "Ni\xc3\xb1o.pla"},
      // Names keep every letter, those Windows-1252 lacks included.
      {{"print", Path("Año ñ ł.pla"), "--output", pdf}, 1, "Año ñ ł.pla'"},
      {{"print", kFactura, "--output", pdf, "--background", Path("Łódź ✓.jpg")}, 1, "Łódź ✓.jpg"},
#ifdef __unix__
      {{"info", fifo}, 1, "fifo.pla"},
      {{"print", kFactura, "--output", pdf, "--background", fifo}, 1, "fifo.pla"},
#endif
      {{"journal", Path("missing.pla")}, 1, "missing.pla"},
      {{"calibrate", "--printer", "X", "--x", "12"}, 1, "'12'"},
      {{"print", kFactura, "--output", pdf, "--paper", "21x150"}, 2, "--help"},
      {{"print", Path("bad.pla"), "--output", pdf},
       1,
       "El formato no es compatible y no pudo ser leido."},
      {{"print", Path("missing.pla"), "--output", pdf}, 1, "missing.pla"},
      {{"print", kFactura, "--output", pdf, "--sheets", "-2"}, 1, "-2"},
      {{"print", kFactura, "--output", pdf, "--copies", "x"},
       1,
       "'x' is not a valid integer value"},
      {{"print", kFactura, "--output", pdf, "--reposition", "12a"}, 1, "12a"},
      {{"print", kFactura, "--output", pdf, "--background", Path("bad.pla")}, 1, "bad.pla"},
      {{"print", kFactura, "--output", Path("no/folder/out.pdf")}, 1, "no/folder/out.pdf"},
      {{"print", kFactura}, 2, "--output"},
      {{"print", kFactura, "--output", pdf, "--printer", "X"}, 2, "--output"},
      {{"print", kFactura, "--output", pdf, "--dpi", "0"}, 2, "--dpi"},
      {{"print", kFactura, "--output", pdf, "--paper", "21,6x28"}, 2, "--paper"},
      // The output never replaces a file the program keeps.
      {{"print", kFactura, "--output", kFactura}, 1, "factura.pla"},
      {{"print", kFactura, "--output", folder + "Registro.sqlite"}, 1, "Registro.sqlite"},
      {{"preview", kFactura, "--output", folder + "factura.journal.csv"}, 1, "journal.csv"},
      {{"preview", kFactura}, 2, "--output"},
      {{"frobnicate"}, 2, "frobnicate"},
      {{}, 2, "command"},
  };
  for (const auto& c : cases) {
    const auto r = RunTool(kBatch, c.args, 30000);
    EXPECT_EQ(r.exitCode, c.exit) << c.args.join(' ').toStdString() << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.rfind("zirvo-batch: ", 0), 0u) << r.err;
    EXPECT_EQ(LineCount(r.err), 1) << r.err;
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(FilesLeft(), 1) << c.args.join(' ').toStdString();  // bad.pla only
  }
  // Refused before the run began: only the run into a missing folder, which
  // began and failed, is in the register; no journal is written any more.
  const RunList runs = RegisterRuns(kFactura);
  ASSERT_EQ(runs.runs.size(), 1u);
  EXPECT_EQ(runs.runs[0].Outcome(), JournalRun::Result::Failed);
  EXPECT_EQ(QDir(folder).entryList({"*.csv"}), QStringList());
  EXPECT_EQ(RunTool("cmp", {kFactura, QString(ZIRVO_FIXTURES) + "/engine/factura.pla"}).exitCode,
            0);
}

TEST_F(BatchTool, HelpAndVersionAnswerOnStdoutAndSucceed) {
  const struct {
    QStringList args;
    const char* text;
  } cases[] = {
      {{"--help"}, "usage:"},
      {{"-h"}, "usage:"},
      {{"print", kFactura, "--help"}, "usage:"},
      {{"--version"}, "zirvo-batch 7."},
  };
  for (const auto& c : cases) {
    const auto r = Batch(c.args);
    EXPECT_EQ(r.exitCode, 0) << c.args.join(' ').toStdString() << "\n" << r.err;
    EXPECT_NE(r.out.find(c.text), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
  }
}

// Ctrl+C, and the requests to end that a service manager or a closed
// terminal send, cancel a run: the document is aborted, nothing is left.
TEST_F(BatchTool, InterruptTerminateAndHangUpCancelTheRunAndLeaveNoPdf) {
  const QString pdf = Path("long.pdf");
  const struct {
    int signal;
    int exit;
  } cases[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}};
  for (const auto& c : cases) {
    const size_t runs = Runs();
    QProcess p;
    p.start(kBatch, {"print", kFactura, "--output", pdf, "--sheets", "999999", "--allow-reprint"});
    ASSERT_TRUE(p.waitForStarted());
    // Under way once the register holds it; the tool answers from before
    // that. The bound only keeps a broken tool from hanging the test.
    for (int i = 0; i < 6000 && Runs() == runs && p.state() == QProcess::Running; ++i)
      QThread::msleep(20);
    ASSERT_GT(Runs(), runs) << p.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(p.processId()), c.signal);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << c.signal;
    EXPECT_EQ(p.exitCode(), c.exit) << p.readAllStandardError().toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(FilesLeft(), 0) << c.signal;
  }
}

#ifdef __linux__
// A run killed outright leaves nothing numbered, visible or hidden; a
// hidden spool file that an older run left (or one on a file system without
// unnamed files) goes with the next run in that folder.
TEST_F(BatchTool, AKilledRunLeavesNoSpoolFileBehind) {
  const QString pdf = Path("killed.pdf");
  QProcess p;
  p.start(kBatch, {"print", kFactura, "--output", pdf, "--sheets", "999999"});
  ASSERT_TRUE(p.waitForStarted());
  // Drawing once the tool holds a file in the PDF's folder.
  const QString fds = QString("/proc/%1/fd").arg(p.processId());
  const auto drawing = [&] {
    const QString folder = QDir(dir.path()).canonicalPath();
    for (const QFileInfo& fd :
         QDir(fds).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
      if (QFileInfo(fd.symLinkTarget()).path() == folder) return true;
    return false;
  };
  for (int i = 0; i < 6000 && !drawing() && p.state() == QProcess::Running; ++i)
    QThread::msleep(20);
  ASSERT_TRUE(drawing()) << p.readAllStandardError().toStdString();
  p.kill();
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

  QFile left(Path(".zirvo-Ab12Cd.pdf"));
  ASSERT_TRUE(left.open(QIODevice::WriteOnly));
  left.write("%PDF-1.4 numbered sheets");
  left.close();
  const auto r = Batch({"print", kFactura, "--output", Path("next.pdf"), "--allow-reprint"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"next.pdf"});
}
#endif

// The disk refuses the document part-way through the run (here a file-size
// limit; a full disk fails the same way): the run is aborted, the tool says so
// in one line, and neither the PDF nor its spool file is left behind, while a
// PDF that was there before survives.
TEST_F(BatchTool, ADiskThatFillsUpAbortsTheRunAndKeepsTheOldFile) {
  const QString pdf = Path("full.pdf");
  QFile old(pdf);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("previous run");
  old.close();
  // Room for the register's records, not for the document.
  const QString script = QString("trap '' XFSZ; ulimit -f 400; exec \"$0\" \"$@\"");
  // Increment 0: no numerator goes below zero, so no warning line either.
  const auto r = RunTool("sh", {"-c", script, kBatch, "print", kFactura, "--output", pdf,
                                "--sheets", "3000", "--increment", "0"});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_EQ(r.err.rfind("zirvo-batch: ", 0), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find("full.pdf"), std::string::npos) << r.err;
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray("previous run"));
  EXPECT_EQ(FilesLeft(), 1);
}

// A copy of the tool in a folder of its own: which data folder it takes
// depends on the Datos folder beside it and on the account's environment.
class BatchDataFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(app));
    ASSERT_TRUE(QFile::copy(kBatch, app + "/zirvo-batch"));
  }
  // calibrate run with HOME at `home`, XDG_DATA_HOME at `xdg` (unset when
  // empty) and a CUPS scheduler that does not answer.
  ToolResult Calibrate(const QString& home, const QString& xdg, QStringList prefix = {}) {
    QStringList args = prefix;
    args << "env"
         << "-u"
         << "XDG_DATA_HOME"
         << "HOME=" + home << "CUPS_SERVER=" + dir.filePath("no-cups.sock");
    if (!xdg.isEmpty()) args << "XDG_DATA_HOME=" + xdg;
    args << app + "/zirvo-batch"
         << "calibrate"
         << "--printer"
         << "Oficina"
         << "--x"
         << "1.5";
    const QString program = args.takeFirst();
    return RunTool(program, args);
  }
  QTemporaryDir dir;
  const QString app = dir.filePath("app");
  const QString home = dir.filePath("home");
};

TEST_F(BatchDataFolder, CalibrationGoesToTheDatosBesideOnlyWhenItIsPrivate) {
  const QString own = home + "/.local/share/zirvo/Datos/Impresoras.ini";
  const struct {
    const char* what;
    const char* datosMode;  // the Datos folder beside the copy; none when null
    QString file;           // where the calibration goes
  } cases[] = {
      {"a user who never started the program", nullptr, own},
      {"a private Datos beside the program", "755", app + "/Datos/Impresoras.ini"},
      {"a Datos the group may write", "2775", own},
  };
  for (const auto& c : cases) {
    QDir(home).removeRecursively();
    QDir(app + "/Datos").removeRecursively();
    if (c.datosMode != nullptr) {
      ASSERT_TRUE(QDir().mkpath(app + "/Datos"));
      ASSERT_EQ(RunTool("chmod", {c.datosMode, app + "/Datos"}).exitCode, 0);
    }
    const auto r = Calibrate(home, "");
    ASSERT_EQ(r.exitCode, 0) << c.what << "\n" << r.err;
    QFile ini(c.file);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly)) << c.what;
    EXPECT_EQ(ini.readAll(), "[Oficina]\r\nX=1.5\r\nY=0.0\r\n") << c.what;
  }
}

#ifdef __unix__
// A data folder that cannot be examined is reported in one line, never a crash.
TEST_F(BatchDataFolder, AFolderThatCannotBeExaminedIsReportedInOneLine) {
  ASSERT_TRUE(QFile::link(dir.filePath("loop"), dir.filePath("loop")));
  auto r = Calibrate(home, dir.filePath("loop"));
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_EQ(LineCount(r.err), 1) << r.err;
  EXPECT_NE(r.err.find("Impresoras.ini"), std::string::npos) << r.err;

  if (geteuid() != 0) GTEST_SKIP() << "needs root to make a folder of another account";
  if (RunTool("setpriv", {"--version"}).exitCode != 0) GTEST_SKIP() << "setpriv is not installed";
  // The tool runs as nobody; its data folder lies in root's folder of mode 700.
  ASSERT_TRUE(QDir().mkpath(dir.filePath("locked")));
  ASSERT_EQ(RunTool("chmod", {"755", dir.path(), app}).exitCode, 0);
  ASSERT_EQ(RunTool("chmod", {"700", dir.filePath("locked")}).exitCode, 0);
  r = Calibrate(home, dir.filePath("locked"),
                {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_EQ(LineCount(r.err), 1) << r.err;
  EXPECT_NE(r.err.find("Permission denied"), std::string::npos) << r.err;
}
#endif

TEST_F(BatchTool, DrawsThePreviewSheet) {
  const QString png = Path("sheet.png");
  const auto r = Batch({"preview", kFactura, "--output", png, "--zoom", "50"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  QImage image(png);
  ASSERT_FALSE(image.isNull());
  // 21.00 x 29.70 cm: 794 x 1123 pixels at 100 %, half at 50 %.
  EXPECT_EQ(image.size(), QSize(397, 562));
  EXPECT_EQ(image.pixelColor(0, 0), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(396, 561), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(200, 300), QColor(255, 255, 255));
  int dark = 0;  // the numerator F-001500 near (38, 57)
  for (int y = 50; y < 75; ++y)
    for (int x = 38; x < 110; ++x) dark += image.pixelColor(x, y).lightness() < 128;
  EXPECT_GT(dark, 20);
}

TEST_F(BatchTool, ShowsWhatATemplateHolds) {
  const auto text = Batch({"info", kFactura});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("numerator position=1 prefix=\"F-\" number=1500"), std::string::npos)
      << text.out;
  const auto json = Batch({"info", kFactura, "--json"});
  ASSERT_EQ(json.exitCode, 0);
  EXPECT_NE(json.out.find("\"text\": \"Copia para el archivo\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"width\": 21.00"), std::string::npos);
}

}  // namespace
}  // namespace zirvo
