// A run through a real CUPS queue. The test starts a scheduler of its own,
// with its configuration, spool and socket in a temporary folder and no
// network port, and one file queue that keeps the PDF it receives. This
// process and the programs it starts (lp, lpstat) talk to that scheduler
// only, so the machine's own scheduler, its queues and its default printer
// are neither used nor touched, whether they exist or not, and any user may
// run the test.
#include <gtest/gtest.h>

#ifdef __unix__

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <functional>

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

// Polls until `ready` holds; the bound only keeps a broken set-up from
// hanging the run.
bool WaitFor(const std::function<bool()>& ready, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (ready()) return true;
    QThread::msleep(100);
  }
  return ready();
}

bool WriteText(const QString& path, const QString& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

QString FirstLineOf(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "no log";
  const QString text = QString::fromLocal8Bit(file.readAll()).trimmed();
  return text.isEmpty() ? "no log" : text.section('\n', 0, 0);
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
    const QStringList sbin = {"/usr/sbin", "/usr/local/sbin", "/sbin"};
    const QString cupsd = QStandardPaths::findExecutable("cupsd", sbin);
    QString lpadmin = QStandardPaths::findExecutable("lpadmin");
    if (lpadmin.isEmpty()) lpadmin = QStandardPaths::findExecutable("lpadmin", sbin);
    if (cupsd.isEmpty() || lpadmin.isEmpty() || QStandardPaths::findExecutable("lp").isEmpty() ||
        QStandardPaths::findExecutable("lpstat").isEmpty())
      GTEST_SKIP() << "CUPS is not installed (cupsd, lpadmin, lp and lpstat are needed)";
    ASSERT_TRUE(dir_.isValid());
    const QString root = dir_.path();
    for (const char* folder : {"spool/tmp", "cache", "state", "log", "out"})
      ASSERT_TRUE(QDir(root).mkpath(folder));
    const QString socket = root + "/cups.sock";

    // Run as root, the scheduler runs its filters as lp; run as anyone
    // else, as that user, who is then its administrator too.
    QString account;
    if (geteuid() != 0) {
      const passwd* user = getpwuid(geteuid());
      const group* users = getgrgid(getegid());
      ASSERT_TRUE(user != nullptr && users != nullptr);
      account = QString("User %1\nGroup %2\nSystemGroup %2\n").arg(user->pw_name, users->gr_name);
    }
    ASSERT_TRUE(
        WriteText(root + "/cups-files.conf", account + QString("FileDevice Yes\n"
                                                               "ServerRoot %1\n"
                                                               "StateDir %1/state\n"
                                                               "CacheDir %1/cache\n"
                                                               "RequestRoot %1/spool\n"
                                                               "TempDir %1/spool/tmp\n"
                                                               "AccessLog %1/log/access_log\n"
                                                               "ErrorLog %1/log/error_log\n"
                                                               "PageLog %1/log/page_log\n")
                                                           .arg(root)));
    ASSERT_TRUE(WriteText(root + "/cupsd.conf", QString("Listen %1\n"
                                                        "Browsing Off\n"
                                                        "WebInterface No\n"
                                                        "LogLevel warn\n"
                                                        "DefaultAuthType None\n"
                                                        "<Location />\n"
                                                        "  Order allow,deny\n"
                                                        "  Allow all\n"
                                                        "</Location>\n"
                                                        "<Policy default>\n"
                                                        "  JobPrivateAccess all\n"
                                                        "  JobPrivateValues none\n"
                                                        "  SubscriptionPrivateAccess all\n"
                                                        "  SubscriptionPrivateValues none\n"
                                                        "  <Limit All>\n"
                                                        "    Order deny,allow\n"
                                                        "  </Limit>\n"
                                                        "</Policy>\n")
                                                    .arg(socket)));

    // libcups in this process and in lp and lpstat reads the scheduler's
    // address from here when it first needs it.
    qputenv("CUPS_SERVER", socket.toLocal8Bit());
    scheduler_.setStandardOutputFile(root + "/log/stdout");
    scheduler_.setStandardErrorFile(root + "/log/stderr");
    scheduler_.start(cupsd, {"-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"});
    const bool answers =
        scheduler_.waitForStarted(10000) &&
        WaitFor(
            [&] {
              return scheduler_.state() == QProcess::Running &&
                     RunTool("lpstat", {"-r"}).out.find("is running") != std::string::npos;
            },
            30);
    if (!answers) {
      const QString error = FirstLineOf(root + "/log/error_log");
      GTEST_SKIP() << "a private cupsd cannot run here: "
                   << (error == "no log" ? FirstLineOf(root + "/log/stderr") : error).toStdString();
    }

    output_ = root + "/out/out.pdf";
    const auto added =
        RunTool(lpadmin, {"-p", kQueue, "-v", "file://" + output_, "-E", "-m", kPpd});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    // The queues this process sees are the private scheduler's.
    ASSERT_EQ(QPrinterDevice::InstalledPrinters(), std::vector<std::string>{kQueue})
        << "libcups was asked for the machine's scheduler before the test could redirect it";
  }

  void TearDown() override {
    if (scheduler_.state() != QProcess::NotRunning) {
      scheduler_.terminate();
      if (!scheduler_.waitForFinished(30000)) {
        scheduler_.kill();
        scheduler_.waitForFinished(10000);
      }
    }
    qunsetenv("CUPS_SERVER");
  }

  QTemporaryDir dir_{QDir::tempPath() + "/zirvo-cups-XXXXXX"};  // a socket path stays short
  QProcess scheduler_;
  QString output_;
};

TEST_F(CupsQueue, ARunArrivesWithItsPagesAndNumbersAndACancelledOneNever) {
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

  ASSERT_TRUE(WaitFor(
      [&] {
        return RunTool("lpstat", {"-o", kQueue}).out.empty() && QFile(output_).size() > 0;
      },
      120))
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

  // A cancelled run never reaches the queue. A document is handed to the
  // queue by lp before PrintAll returns, so any job would be listed at once.
  ASSERT_TRUE(QFile::remove(output_));
  const auto jobsBefore = RunTool("lpstat", {"-W", "all", "-o", kQueue}).out;
  device.SetPageSpooledHook([&] { engine.CancelRun(); });
  ASSERT_TRUE(engine.PrintAll());
  EXPECT_EQ(RunTool("lpstat", {"-W", "all", "-o", kQueue}).out, jobsBefore);
  EXPECT_FALSE(QFile::exists(output_));
}

}  // namespace
}  // namespace zirvo

#endif  // __unix__
