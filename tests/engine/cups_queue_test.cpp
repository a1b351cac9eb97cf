// A run through a real CUPS queue. The test starts its own cupsd with a file
// queue that keeps the PDF it receives, and stops it afterwards; it needs
// root to do so and skips otherwise.
#include <gtest/gtest.h>

#include <QFile>
#include <QThread>
#include <unistd.h>

#include "engine_support.h"
#include "printing/print_engine.h"
#include "printing/qprinter_device_qt.h"

namespace zirvo {
namespace {

using testing::PdfPageCount;
using testing::PdfPageWords;
using testing::RunTool;

const char kQueue[] = "ZIRVOTEST";
const char kPpd[] = "lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd";

bool WaitFor(const std::function<bool()>& ready, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (ready()) return true;
    QThread::msleep(100);
  }
  return ready();
}

// What every job hands the queue, whatever the setting: no scaling, so no
// driver fits the full-page document to its printable area.
TEST(QueueJob, EveryJobAsksForNoScalingBesideItsChoices) {
  PrinterSetting plain = PrinterSetting::Queue("Oficina");
  PrinterSetting chosen = PrinterSetting::Queue("Oficina");
  chosen.duplex = DuplexMode::LongEdge;
  chosen.colour = ColourMode::GrayScale;
  for (const PrinterSetting& setting : {plain, chosen}) {
    const QStringList args = LpArguments(setting, "Zirvo: Facturas", "/tmp/job.pdf");
    const int scaling = args.indexOf("print-scaling=none");
    ASSERT_GT(scaling, 0) << args.join(' ').toStdString();
    EXPECT_EQ(args[scaling - 1], "-o");
    EXPECT_EQ(args.mid(args.size() - 2), (QStringList{"--", "/tmp/job.pdf"}));
  }
  const QStringList args = LpArguments(chosen, "t", "f");
  EXPECT_TRUE(args.contains("sides=two-sided-long-edge"));
  EXPECT_TRUE(args.contains("print-color-mode=monochrome"));
}

class CupsQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "starting a private cupsd needs root";
    if (RunTool("sh", {"-c", "command -v cupsd lpadmin lpstat lp"}).exitCode != 0)
      GTEST_SKIP() << "CUPS is not installed";
    ASSERT_TRUE(dir_.isValid());
    // Let the file queue write, and start a scheduler unless one answers.
    RunTool("sh", {"-c", "grep -q '^FileDevice Yes' /etc/cups/cups-files.conf || "
                         "echo 'FileDevice Yes' >> /etc/cups/cups-files.conf"});
    if (RunTool("lpstat", {"-r"}).out.find("is running") == std::string::npos) {
      ASSERT_EQ(RunTool("/usr/sbin/cupsd", {}).exitCode, 0);
      startedScheduler_ = true;
      ASSERT_TRUE(WaitFor([] { return RunTool("lpstat", {"-r"}).out.find("is running") !=
                                      std::string::npos; }, 20))
          << "cupsd did not answer";
    }
    output_ = dir_.filePath("out.pdf");
    const auto added = RunTool("lpadmin", {"-p", kQueue, "-v", "file://" + output_, "-E", "-m", kPpd});
    ASSERT_EQ(added.exitCode, 0) << added.err;
  }

  void TearDown() override {
    if (geteuid() != 0) return;
    RunTool("lpadmin", {"-x", kQueue});
    if (startedScheduler_) RunTool("sh", {"-c", "kill $(cat /run/cups/cupsd.pid 2>/dev/null || pidof cupsd)"});
  }

  QTemporaryDir dir_;
  QString output_;
  bool startedScheduler_ = false;
};

TEST_F(CupsQueue, ARunArrivesWithItsPagesAndNumbersAndACancelledOneNever) {
  // The spooled file lives in a folder cupsd's filters can write to.
  ASSERT_EQ(RunTool("chmod", {"0777", dir_.path()}).exitCode, 0);
  QPrinterDevice device;
  PrintEngine engine(device);
  PrintJob job;
  job.Sheet.Name = "Facturas";
  Numerator n;
  n.Number = 100;
  n.Horizontal = 2;
  n.Vertical = 3;
  job.Numerators = {n};
  job.NumeratorCount = 1;
  engine.LoadPrintJob(job);
  PrinterSetting setting = PrinterSetting::Queue(kQueue);
  // A paper the queue knows by name: the generic PDF queue turns sizes it
  // does not list into its default.
  setting.paper = PaperKind::A5;
  engine.SelectPrinter(setting, kQueue);
  engine.SetRunSettings("7", "1", "3");
  ASSERT_TRUE(engine.PrintAll());

  ASSERT_TRUE(WaitFor([&] { return RunTool("lpstat", {"-o", kQueue}).out.empty() &&
                                   QFile(output_).size() > 0; }, 60))
      << "the job did not arrive";
  ASSERT_EQ(PdfPageCount(output_), 3);
  EXPECT_EQ(PdfPageWords(output_, 1), std::vector<std::string>{"0100"});
  EXPECT_EQ(PdfPageWords(output_, 2), std::vector<std::string>{"0107"});
  EXPECT_EQ(PdfPageWords(output_, 3), std::vector<std::string>{"0114"});
  const auto info = RunTool("pdfinfo", {output_}).out;
  EXPECT_NE(info.find("420 x 595 pts (A5)"), std::string::npos) << info;
  // Still 2.00 cm from the paper's left edge.
  const auto bbox = RunTool("pdftotext", {"-f", "1", "-l", "1", "-bbox", output_, "-"}).out;
  const auto at = bbox.find("xMin=\"");
  ASSERT_NE(at, std::string::npos) << bbox;
  EXPECT_NEAR(std::stod(bbox.substr(at + 6)) / 72.0 * 2.54, 2.00, 0.05);

  // A cancelled run never reaches the queue.
  ASSERT_TRUE(QFile::remove(output_));
  const auto jobsBefore = RunTool("lpstat", {"-W", "all", "-o", kQueue}).out;
  device.SetPageSpooledHook([&] { engine.CancelRun(); });
  ASSERT_TRUE(engine.PrintAll());
  QThread::msleep(500);
  EXPECT_EQ(RunTool("lpstat", {"-W", "all", "-o", kQueue}).out, jobsBefore);
  EXPECT_FALSE(QFile::exists(output_));
}

}  // namespace
}  // namespace zirvo
