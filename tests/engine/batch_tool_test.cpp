// The zirvo-batch executable, run as scripts run it.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QThread>
#include <algorithm>
#include <csignal>

#include "engine_support.h"

namespace zirvo {
namespace {

using testing::PdfPageCount;
using testing::PdfPageWords;
using testing::RunTool;
using testing::ToolResult;

const QString kBatch = QString(ZIRVO_BUILD_DIR) + "/zirvo-batch";

ToolResult Batch(const QStringList& args) { return RunTool(kBatch, args); }

// A copy of the invoice template in a folder of its own, where its runs keep
// their journal.
QString CopyOfFactura(const QTemporaryDir& dir) {
  const QString folder = dir.filePath("template");
  QDir().mkpath(folder);
  const QString copy = folder + "/factura.pla";
  QFile::copy(QString(ZIRVO_FIXTURES) + "/engine/factura.pla", copy);
  return copy;
}

class BatchTool : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  const QString kFactura = CopyOfFactura(dir);
  QString Path(const char* name) const { return dir.filePath(name); }
  int FilesLeft() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(); }
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

TEST_F(BatchTool, RepositionPrintsFiveListedNumbersAndNamesTheRest) {
  const QString pdf = Path("repos.pdf");
  QStringList args = {"print", kFactura, "--output", pdf, "--paper", "Letter"};
  for (const char* n : {"1507", "1600", "1501", "1502", "1503", "1504", "1505"})
    args << "--reposition" << n;
  const auto r = Batch(args);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ASSERT_EQ(PdfPageCount(pdf), 5);
  // Sorted as the list sorts: 1501 ... 1505, then 1507 and 1600 are left over.
  EXPECT_EQ(PdfPageWords(pdf, 1)[3], "F-001501");
  EXPECT_EQ(PdfPageWords(pdf, 5)[3], "F-001505");
  EXPECT_NE(r.err.find("1507, 1600"), std::string::npos) << r.err;
  EXPECT_NE(RunTool("pdfinfo", {pdf}).out.find("612 x 792"), std::string::npos);
}

TEST_F(BatchTool, RefusesBadInputWithOneLineAndWritesNothing) {
  QFile bad(Path("bad.pla"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("not a template\r\n");
  bad.close();
  const QString pdf = Path("out.pdf");
  const struct {
    QStringList args;
    int exit;
    const char* message;
  } cases[] = {
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
      {{"preview", kFactura}, 2, "--output"},
      {{"frobnicate"}, 2, "frobnicate"},
      {{}, 2, "command"},
  };
  for (const auto& c : cases) {
    const auto r = Batch(c.args);
    EXPECT_EQ(r.exitCode, c.exit) << c.args.join(' ').toStdString() << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.rfind("zirvo-batch: ", 0), 0u) << r.err;
    if (c.exit == 1) {
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(FilesLeft(), 1) << c.args.join(' ').toStdString();  // bad.pla only
  }
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

TEST_F(BatchTool, InterruptCancelsTheRunAndLeavesNoPdf) {
  const QString pdf = Path("long.pdf");
  QProcess p;
  p.start(kBatch, {"print", kFactura, "--output", pdf, "--sheets", "999999"});
  ASSERT_TRUE(p.waitForStarted());
  // Wait until the run is under way: its spool file exists, and the tool
  // answers Ctrl+C from before it makes that file. The bound only keeps a
  // broken tool from hanging the test; a slow machine just waits longer.
  for (int i = 0; i < 6000 && FilesLeft() == 0 && p.state() == QProcess::Running; ++i)
    QThread::msleep(20);
  ASSERT_EQ(FilesLeft(), 1) << p.readAllStandardError().toStdString();
  ::kill(static_cast<pid_t>(p.processId()), SIGINT);
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitCode(), 130) << p.readAllStandardError().toStdString();
  EXPECT_FALSE(QFile::exists(pdf));
  EXPECT_EQ(FilesLeft(), 0);
}

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
  const QString script = QString("trap '' XFSZ; ulimit -f 100; exec \"$0\" \"$@\"");
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
