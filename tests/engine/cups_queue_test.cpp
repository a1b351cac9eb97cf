// Runs through real CUPS queues. The test starts a scheduler of its own,
// with its configuration, spool and socket in a temporary folder and no
// network port, one file queue that keeps the PDF it receives, and queues
// on a backend of the test's own that keeps every job in a file of its own
// beside its name. This
// process and the programs it starts (lp, lpstat) talk to that scheduler
// only, so the machine's own scheduler, its queues and its default printer
// are neither used nor touched, whether they exist or not, and any user may
// run the test.
#include <gtest/gtest.h>

#ifdef __unix__

#include <cups/cups.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <functional>
#include <iostream>
#include <map>

#include "base/helpers.h"
#include "base/messages.h"
#include "base/text.h"
#include "engine_support.h"
#include "pages/print_page_qt.h"
#include "printing/print_engine.h"
#include "printing/printer_calibration.h"
#include "printing/qprinter_device_qt.h"
#include "support/recording_device.h"
#include "support/test_folders.h"
#include "support/ui_support.h"

namespace zirvo {
namespace {

using testing::Child;
using testing::PdfPageCount;
using testing::PdfPageWords;
using testing::RunTool;

const char kQueue[] = "ZIRVOTEST";
const char kPpd[] = "lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd";

// The backend of the job queues: each job goes to job-NNNNNN.pdf, its name
// to job-NNNNNN.title, in the folder the device URI names; the PDF appears
// only once the whole job is written.
const char kBackend[] =
    "#!/bin/sh\n"
    "if [ $# -eq 0 ]; then echo 'direct zirvojobs \"Unknown\" \"Zirvo test jobs\"'; exit 0; fi\n"
    "out=\"${DEVICE_URI#zirvojobs:}/job-$(printf %06d \"$1\")\"\n"
    "if [ -n \"$6\" ]; then cat \"$6\" > \"$out.part\" || exit 1; "
    "else cat > \"$out.part\" || exit 1; fi\n"
    "printf '%s\\n' \"$3\" > \"$out.title\" && mv \"$out.part\" \"$out.pdf\"\n";

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

// A template with numerator 1 printing "N-0001", "N-0002"... at 2.00 x 3.00 cm.
PrintJob NumberedJob() {
  PrintJob job;
  job.Sheet.Name = "Facturas";
  Numerator n;
  n.Prefix = "N-";
  n.Mask = 4;
  n.Number = 1;
  n.Horizontal = 2;
  n.Vertical = 3;
  job.Numerators = {n};
  job.NumeratorCount = 1;
  return job;
}

std::string Numbered(int sheet) {
  const std::string digits = std::to_string(sheet);
  return "N-" + std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
}

// The jobs a job queue received, in the order CUPS numbered them.
struct ReceivedJob {
  QString pdf;
  std::string title;
};
std::vector<ReceivedJob> ReceivedJobs(const QString& folder) {
  std::vector<ReceivedJob> jobs;
  for (const QString& name : QDir(folder).entryList({"job-*.pdf"}, QDir::Files, QDir::Name)) {
    QFile title(folder + "/" + QString(name).replace(".pdf", ".title"));
    title.open(QIODevice::ReadOnly);
    jobs.push_back({folder + "/" + name, title.readAll().trimmed().toStdString()});
  }
  return jobs;
}

// The text of every page, in order.
std::vector<std::string> PageTexts(const QString& pdf) {
  const std::string text = RunTool("pdftotext", {pdf, "-"}).out;
  std::vector<std::string> pages;
  size_t from = 0;
  for (size_t feed; (feed = text.find('\f', from)) != std::string::npos; from = feed + 1)
    pages.push_back(QString::fromStdString(text.substr(from, feed - from)).trimmed().toStdString());
  return pages;
}

// The pages of every job a queue received, in the jobs' order.
std::vector<std::string> PagesOfAllJobs(const QString& folder) {
  std::vector<std::string> pages;
  for (const auto& job : ReceivedJobs(folder))
    for (const auto& page : PageTexts(job.pdf)) pages.push_back(page);
  return pages;
}

// Loads the numbered template for a run on A5 to `queue` in jobs of
// `chunk` sheets, with that many copies and sheets.
void LoadNumberedRun(PrintEngine& engine, const std::string& queue, int chunk,
                     const std::string& copies, const std::string& sheets) {
  engine.LoadPrintJob(NumberedJob());
  PrinterSetting setting = PrinterSetting::Queue(queue);
  setting.paper = PaperKind::A5;
  setting.chunkSheets = chunk;
  engine.SelectPrinter(setting, queue);
  engine.SetRunSettings("1", copies, sheets);
}

// The top-left corner of the first word of page 1, in centimetres.
std::pair<double, double> FirstWordAt(const QString& pdf) {
  const std::string bbox = RunTool("pdftotext", {"-f", "1", "-l", "1", "-bbox", pdf, "-"}).out;
  const auto x = bbox.find("xMin=\"");
  const auto y = bbox.find("yMin=\"");
  if (x == std::string::npos || y == std::string::npos) return {-1, -1};
  return {std::stod(bbox.substr(x + 6)) / 72.0 * 2.54, std::stod(bbox.substr(y + 6)) / 72.0 * 2.54};
}

// Keeps every status line a run shows.
class StatusLog : public RunObserver {
 public:
  void ShowStatus(RunPanel, const std::string& text) override {
    shown.push_back(text);
    if (onStatus) onStatus(text);
  }
  bool Showed(const std::string& part) const {
    return std::any_of(shown.begin(), shown.end(),
                       [&](const std::string& s) { return s.find(part) != std::string::npos; });
  }
  std::vector<std::string> shown;
  std::function<void(const std::string&)> onStatus;
};

QString Admin(const char* tool) {
  QString path = QStandardPaths::findExecutable(tool);
  return path.isEmpty() ? QStandardPaths::findExecutable(tool, {"/usr/sbin", "/sbin"}) : path;
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

    // The scheduler's programs are the machine's, but for one backend more.
    const QString system = "/usr/lib/cups";
    ASSERT_TRUE(QDir(root).mkpath("bin/backend"));
    for (const QString& entry : QDir(system).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
      if (entry != "backend") QFile::link(system + "/" + entry, root + "/bin/" + entry);
    for (const QString& entry : QDir(system + "/backend").entryList(QDir::Files))
      QFile::link(system + "/backend/" + entry, root + "/bin/backend/" + entry);
    ASSERT_TRUE(WriteText(root + "/bin/backend/zirvojobs", kBackend));
    // Owner only: run as root, the scheduler runs such a backend as root.
    QFile::setPermissions(root + "/bin/backend/zirvojobs",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

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
                                                               "ServerBin %1/bin\n"
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
    // libcups keeps the address it read first; each test has a scheduler of its own.
    cupsSetServer(nullptr);
    scheduler_.setStandardOutputFile(root + "/log/stdout");
    scheduler_.setStandardErrorFile(root + "/log/stderr");
    // The scheduler ends with the test program, even one a sanitizer stops.
    scheduler_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
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
    lpadmin_ = lpadmin;
    const auto added =
        RunTool(lpadmin, {"-p", kQueue, "-v", "file://" + output_, "-E", "-m", kPpd});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    // The queues this process sees are the private scheduler's.
    ASSERT_EQ(QPrinterInfo::availablePrinterNames(), QStringList{kQueue})
        << "libcups was asked for the machine's scheduler before the test could redirect it";
  }

  // A queue on the job backend; its jobs land in JobFolder(name).
  void AddJobQueue(const QString& name) {
    ASSERT_TRUE(QDir(dir_.path()).mkpath("jobs/" + name));
    const auto added =
        RunTool(lpadmin_, {"-p", name, "-v", "zirvojobs:" + JobFolder(name), "-E", "-m", kPpd});
    ASSERT_EQ(added.exitCode, 0) << added.err;
  }
  QString JobFolder(const QString& name) const { return dir_.path() + "/jobs/" + name; }

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
  QString lpadmin_;
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
  engine.LoadPrintJob(job);  // unsaved again: numbers of its own, nothing to ask
  device.SetPageSpooledHook([&] { engine.CancelRun(); });
  ASSERT_TRUE(engine.PrintAll());
  EXPECT_EQ(RunTool("lpstat", {"-W", "all", "-o", kQueue}).out, jobsBefore);
  EXPECT_FALSE(QFile::exists(output_));
}

// A run to a queue as a print room sees it: jobs of at most the chunk,
// named by their sheets and numbers, together every sheet once, in order.
TEST_F(CupsQueue, ALongRunGoesAsJobsOfAChunkNamedByTheirRanges) {
  AddJobQueue("ZIRVOJOBS");
  QPrinterDevice device;
  PrintEngine engine(device);
  LoadNumberedRun(engine, "ZIRVOJOBS", 50, "1", "120");
  ASSERT_TRUE(engine.PrintAll());

  // PrintAll returns once CUPS has reported every job completed.
  EXPECT_EQ(device.CompletedSheets(), 120);
  const auto jobs = ReceivedJobs(JobFolder("ZIRVOJOBS"));
  ASSERT_EQ(jobs.size(), 3u);
  EXPECT_EQ(jobs[0].title, "Facturas 1-50 (N-0001-N-0050)");
  EXPECT_EQ(jobs[1].title, "Facturas 51-100 (N-0051-N-0100)");
  EXPECT_EQ(jobs[2].title, "Facturas 101-120 (N-0101-N-0120)");
  std::vector<std::string> expected;
  for (int sheet = 1; sheet <= 120; ++sheet) expected.push_back(Numbered(sheet));
  EXPECT_EQ(PagesOfAllJobs(JobFolder("ZIRVOJOBS")), expected);
}

// A class shares the run: CUPS gives the jobs to its idle printers, and
// the names say which sheets each stack holds.
TEST_F(CupsQueue, ARunToAClassReachesBothPrintersWithEverySheetOnce) {
  AddJobQueue("ZIRVOA");
  AddJobQueue("ZIRVOB");
  for (const char* member : {"ZIRVOA", "ZIRVOB"})
    ASSERT_EQ(RunTool(lpadmin_, {"-p", member, "-c", "ZIRVOCLASE"}).exitCode, 0);
  RunTool(Admin("cupsenable"), {"ZIRVOCLASE"});
  RunTool(Admin("cupsaccept"), {"ZIRVOCLASE"});

  QPrinterDevice device;
  PrintEngine engine(device);
  LoadNumberedRun(engine, "ZIRVOCLASE", 10, "2", "60");  // two copies of each sheet
  ASSERT_TRUE(engine.PrintAll());

  std::map<int, std::vector<std::string>> stacks;  // first sheet -> pages
  for (const char* member : {"ZIRVOA", "ZIRVOB"}) {
    const auto jobs = ReceivedJobs(JobFolder(member));
    EXPECT_FALSE(jobs.empty()) << member << " received no job";
    for (const auto& job : jobs) {
      const int first = std::stoi(job.title.substr(job.title.find(' ') + 1));
      EXPECT_EQ(stacks.count(first), 0u) << job.title;
      stacks[first] = PageTexts(job.pdf);
    }
  }
  std::vector<std::string> pages, expected;
  for (const auto& [first, stack] : stacks) pages.insert(pages.end(), stack.begin(), stack.end());
  for (int sheet = 1; sheet <= 60; ++sheet) expected.insert(expected.end(), 2, Numbered(sheet));
  EXPECT_EQ(pages, expected);
}

// Cancel recalls every job CUPS has not completed; what did print is a
// prefix of the run, and the run says up to which sheet.
TEST_F(CupsQueue, CancelLeavesNoJobPendingAndReportsTheSheetsCompleted) {
  AddJobQueue("ZIRVOJOBS");
  QPrinterDevice device;
  StatusLog log;
  PrintEngine engine(device, &log);
  LoadNumberedRun(engine, "ZIRVOJOBS", 50, "1", "2000");
  int handed = 0;
  device.SetPageSpooledHook([&] {
    if (++handed == 260) engine.CancelRun();
  });
  ASSERT_TRUE(engine.PrintAll());

  EXPECT_EQ(RunTool("lpstat", {"-W", "not-completed", "-o", "ZIRVOJOBS"}).out, "");
  ASSERT_TRUE(device.CompletedSheets().has_value());
  const int32_t completed = *device.CompletedSheets();
  EXPECT_LT(completed, 2000);
  std::cout << "completed up to sheet " << completed << ", on paper up to sheet "
            << device.ReachedPrinterSheets().value_or(-1) << "\n";
  EXPECT_TRUE(log.Showed(OwnText(OwnMessage::CompletedUpTo, std::to_string(completed))));
  // The job CUPS was printing when the cancel came may have reached the
  // printer whole: at most that one job more than the run counts, and the
  // run records at least the sheets it counts completed.
  const std::vector<std::string> pages = PagesOfAllJobs(JobFolder("ZIRVOJOBS"));
  ASSERT_GE(pages.size(), static_cast<std::size_t>(completed));
  ASSERT_LE(pages.size(), static_cast<std::size_t>(completed) + 50);
  ASSERT_TRUE(device.ReachedPrinterSheets().has_value());
  EXPECT_GE(*device.ReachedPrinterSheets(), completed);
  for (std::size_t page = 0; page < pages.size(); ++page)
    EXPECT_EQ(pages[page], Numbered(static_cast<int>(page) + 1)) << page;
}

// A printer that stops during a run holds it, with the reason on the status
// line; once it is back the run goes on and ends with every sheet.
TEST_F(CupsQueue, AStoppedPrinterHoldsTheRunWithItsReasonUntilItIsBack) {
  AddJobQueue("ZIRVOJOBS");
  QPrinterDevice device;
  StatusLog log;
  PrintEngine engine(device, &log);
  LoadNumberedRun(engine, "ZIRVOJOBS", 50, "1", "60");
  bool disabled = false, enabled = false;
  device.SetPageSpooledHook([&] {
    if (disabled) return;
    disabled = true;
    ASSERT_EQ(RunTool(Admin("cupsdisable"), {"-r", "bandeja-vacia", "ZIRVOJOBS"}).exitCode, 0);
  });
  log.onStatus = [&](const std::string& text) {
    if (!enabled && text.find("bandeja-vacia") != std::string::npos) {
      enabled = true;
      RunTool(Admin("cupsenable"), {"ZIRVOJOBS"});
    }
  };
  ASSERT_TRUE(engine.PrintAll());

  EXPECT_TRUE(enabled) << "the run never showed why it waited";
  EXPECT_TRUE(log.Showed("ZIRVOJOBS"));
  EXPECT_EQ(device.CompletedSheets(), 60);
  const std::vector<std::string> pages = PagesOfAllJobs(JobFolder("ZIRVOJOBS"));
  EXPECT_EQ(pages.size(), 60u);
  if (!pages.empty()) {
    EXPECT_EQ(pages.back(), Numbered(60));
  }
}

// The queue's calibration moves what it prints, and nothing else: a PDF
// file of the same run keeps every item where the template puts it.
TEST_F(CupsQueue, CalibrationOffsetsMoveTheQueuesOutputOnly) {
  AddJobQueue("ZIRVOJOBS");
  ASSERT_TRUE(QDir(dir_.path()).mkpath("app/Datos"));
  const testing::TestFolders app(QFile::encodeName(dir_.path() + "/app").toStdString());
  StorePrinterOffsets(CalibrationFile(), "ZIRVOJOBS", {1.5, -0.8});

  QPrinterDevice device;
  PrintEngine engine(device);
  engine.LoadPrintJob(NumberedJob());
  PrinterSetting setting = PrinterSetting::Queue("ZIRVOJOBS");
  setting.paper = PaperKind::A5;
  engine.SelectPrinter(setting, "ZIRVOJOBS");
  engine.SetRunSettings("1", "1", "1");
  ASSERT_TRUE(engine.PrintAll());
  PrinterSetting file = PrinterSetting::PdfFile((dir_.path() + "/file.pdf").toStdString());
  file.paper = PaperKind::A5;
  engine.LoadPrintJob(NumberedJob());  // unsaved again: numbers of its own, nothing to ask
  engine.SelectPrinter(file, file.outputFile);
  ASSERT_TRUE(engine.PrintAll());
  // The calibration sheet names the queue and the offsets in force.
  device.SetPrinter(setting);
  PrintCalibrationSheet(device, "ZIRVOJOBS", {1.5, -0.8});

  const auto jobs = ReceivedJobs(JobFolder("ZIRVOJOBS"));
  ASSERT_EQ(jobs.size(), 2u);
  const auto [queueX, queueY] = FirstWordAt(jobs[0].pdf);
  const auto [fileX, fileY] = FirstWordAt(dir_.path() + "/file.pdf");
  EXPECT_NEAR(fileX, 2.00, 0.02);
  EXPECT_NEAR(queueX, 2.15, 0.02);
  EXPECT_NEAR(queueX - fileX, 0.15, 0.02);
  EXPECT_NEAR(queueY - fileY, -0.08, 0.02);
  EXPECT_NEAR(fileY, 3.00, 0.1);  // the top of the glyphs, just under the cell's top
  const std::string sheet = RunTool("pdftotext", {jobs[1].pdf, "-"}).out;
  EXPECT_NE(sheet.find("ZIRVOJOBS"), std::string::npos) << sheet;
  EXPECT_NE(sheet.find("X = 1.5 mm"), std::string::npos) << sheet;
  EXPECT_NE(sheet.find("Y = -0.8 mm"), std::string::npos) << sheet;
}

// zirvo-batch in a print room: it stores a queue's offsets in the data folder
// in use (here the Datos folder beside a copy of the tool), prints the
// calibration sheet with them, sends a run as jobs of --chunk sheets, and on
// Ctrl+C recalls what CUPS has not completed, says up to which sheet it
// printed, and exits with 130.
TEST_F(CupsQueue, BatchCalibratesAQueueAndSendsRunsAsJobs) {
  AddJobQueue("ZIRVOJOBS");
  const QString app = dir_.path() + "/app";
  ASSERT_TRUE(QDir(app).mkpath("Datos"));
  // Private whatever the umask: only then is it the data folder.
  ASSERT_TRUE(QFile::setPermissions(app + "/Datos", QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ExeOwner | QFile::ReadGroup |
                                                        QFile::ExeGroup));
  ASSERT_TRUE(QFile::copy(QString(ZIRVO_BUILD_DIR) + "/zirvo-batch", app + "/zirvo-batch"));
  const QString batch = app + "/zirvo-batch";
  const QString factura = app + "/factura.pla";
  ASSERT_TRUE(QFile::copy(QString(ZIRVO_FIXTURES) + "/engine/factura.pla", factura));

  // A queue the scheduler does not know gets no calibration.
  auto r = RunTool(batch, {"calibrate", "--printer", "ZIRVONADA", "--x", "1.5"});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find("'ZIRVONADA'"), std::string::npos) << r.err;
  EXPECT_FALSE(QFile::exists(app + "/Datos/Impresoras.ini"));
  r = RunTool(batch, {"calibrate", "--printer", "ZIRVOJOBS", "--x", "1.5", "--y", "-0.8"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  QFile ini(app + "/Datos/Impresoras.ini");
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_EQ(ini.readAll().toStdString(), "[ZIRVOJOBS]\r\nX=1.5\r\nY=-0.8\r\n");
  r = RunTool(batch, {"calibrate", "--printer", "ZIRVOJOBS", "--sheet", "--paper", "A5"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = RunTool(batch, {"print", factura, "--printer", "ZIRVOJOBS", "--paper", "A5", "--sheets", "5",
                      "--chunk", "2"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto jobs = ReceivedJobs(JobFolder("ZIRVOJOBS"));
  ASSERT_EQ(jobs.size(), 4u);
  const std::string sheet = RunTool("pdftotext", {jobs[0].pdf, "-"}).out;
  EXPECT_NE(sheet.find("ZIRVOJOBS"), std::string::npos) << sheet;
  EXPECT_NE(sheet.find("X = 1.5 mm, Y = -0.8 mm"), std::string::npos) << sheet;
  EXPECT_EQ(jobs[1].title, "factura 1-2 (F-001500-F-001501)");
  EXPECT_EQ(jobs[2].title, "factura 3-4 (F-001502-F-001503)");
  EXPECT_EQ(jobs[3].title, "factura 5 (F-001504)");

  QProcess p;
  // The same numbers again: the register holds the first run's.
  p.start(batch, {"print", factura, "--printer", "ZIRVOJOBS", "--paper", "A5", "--sheets", "20000",
                  "--chunk", "100", "--allow-reprint"});
  ASSERT_TRUE(p.waitForStarted());
  // Under way once CUPS has printed a first job of this run; the bound only
  // keeps a broken tool from hanging the test.
  ASSERT_TRUE(WaitFor([&] { return ReceivedJobs(JobFolder("ZIRVOJOBS")).size() > 4; }, 120));
  ::kill(static_cast<pid_t>(p.processId()), SIGINT);
  ASSERT_TRUE(p.waitForFinished(120000));
  const std::string err = p.readAllStandardError().toStdString();
  EXPECT_EQ(p.exitCode(), 130) << err;
  EXPECT_EQ(RunTool("lpstat", {"-W", "not-completed", "-o", "ZIRVOJOBS"}).out, "");
  jobs = ReceivedJobs(JobFolder("ZIRVOJOBS"));
  int printed = 0;
  for (size_t i = 4; i < jobs.size(); ++i)
    printed += static_cast<int>(PageTexts(jobs[i].pdf).size());
  EXPECT_GE(printed, 100);
  // "... hasta la hoja k." or "... up to sheet k.", as the catalog's language says.
  const std::string sheets = std::to_string(printed);
  EXPECT_TRUE(err.find("hoja " + sheets + ".") != std::string::npos ||
              err.find("sheet " + sheets + ".") != std::string::npos)
      << err;
  // The run's end record holds what CUPS completed and the job it was
  // printing when the run was recalled, whose sheets may be on paper.
  const std::string journal = RunTool(batch, {"journal", factura}).out;
  const std::size_t cancelled = journal.find("result=\"cancelled\" ");
  ASSERT_NE(cancelled, std::string::npos) << journal;
  const std::string field = "completed_sheets=\"";
  const std::size_t at = journal.find(field, cancelled) + field.size();
  const int recorded = std::stoi(journal.substr(at, journal.find('"', at) - at));
  EXPECT_GE(recorded, printed) << journal;
  EXPECT_LE(recorded, printed + 100) << journal;
}

// The print page through its dialog: it opens on the file chosen, whose
// paper does not come from the queue chosen before. Offsets that zirvo-batch
// stores show when the page is shown again or its window is back in use, and
// a run stores only the field the user edited.
TEST_F(CupsQueue, ThePrintPageFollowsItsChoiceAndTheStoredOffsets) {
  ASSERT_TRUE(QDir(dir_.path()).mkpath("app/Datos"));
  const testing::TestFolders app(QFile::encodeName(dir_.path() + "/app").toStdString());
  RecordingDevice device;
  PrintPage page(nullptr, &device);
  page.InitPage();
  page.LoadPrintJob(NumberedJob());
  ASSERT_TRUE(testing::ShowActive(&page));
  // Picks `entry` ("" keeps the one it opened on) with `file`; returns the
  // entry and the file the dialog opened on.
  const auto choose = [&page](const QString& entry, const QString& file = {}) {
    QStringList opened;
    testing::ModalAnswer answer("QPrintDialog", [&](QWidget* dialog) {
      auto* printers = dialog->findChild<QComboBox*>("printers");
      auto* name = dialog->findChild<QLineEdit*>("filename");
      opened = {printers->currentText(), name->isEnabled() ? name->text() : ""};
      if (!entry.isEmpty()) printers->setCurrentIndex(printers->findText(entry));
      if (!file.isEmpty()) name->setText(file);
      QTest::keyClick(dialog, Qt::Key_Return);
    });
    QTest::mouseClick(Child<ClickLabel>(&page, "Bt_SelecImpre"), Qt::LeftButton);
    return opened;
  };
  const QString fileEntry = QPrintDialog::tr("Print to File (PDF)");
  const QString pdf = dir_.path() + "/run20.pdf";
  choose(fileEntry, pdf);
  const PrinterSetting fresh = page.Engine().Setting();
  choose(kQueue);
  choose(fileEntry, pdf);
  EXPECT_EQ(page.Engine().Setting(), fresh);
  EXPECT_TRUE(PageSizeOf(fresh).isEquivalentTo(QPageSize(QPageSize::A4)));
  EXPECT_EQ(choose(""), (QStringList{fileEntry, pdf}));
  EXPECT_EQ(Child<QLineEdit>(&page, "Ed_ImpSelec")->text(), pdf);

  const std::string file = CalibrationFile();
  const auto offsets = [&page] {
    return QStringList{Child<QLineEdit>(&page, "Ed_DesplX")->text(),
                       Child<QLineEdit>(&page, "Ed_DesplY")->text()};
  };
  choose(kQueue);
  StorePrinterOffsets(file, kQueue, {2, 0.5});
  page.hide();
  ASSERT_TRUE(testing::ShowActive(&page));
  EXPECT_EQ(offsets(), (QStringList{"2.0", "0.5"}));
  QWidget terminal;  // another window in use meanwhile
  ASSERT_TRUE(testing::ShowActive(&terminal));
  StorePrinterOffsets(file, kQueue, {2.5, 0.5});
  ASSERT_TRUE(testing::ShowActive(&page));
  EXPECT_EQ(offsets(), (QStringList{"2.5", "0.5"}));
  StorePrinterOffsets(file, kQueue, {3, 0.5});
  StorePrinterOffsets(file, "OTRA", {-1, 1});
  testing::Retype(Child<QLineEdit>(&page, "Ed_DesplY"), "0,7");
  QTest::mouseClick(Child<ClickLabel>(&page, "Bt_ImpPba"), Qt::LeftButton);
  EXPECT_EQ(ReadPrinterOffsets(file, kQueue), (PrinterOffsets{3, 0.7}));
  EXPECT_EQ(ReadPrinterOffsets(file, "OTRA"), (PrinterOffsets{-1, 1}));
  EXPECT_EQ(offsets(), (QStringList{"3.0", "0.7"}));
}

}  // namespace
}  // namespace zirvo

#endif  // __unix__
