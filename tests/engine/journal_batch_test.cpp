// The journal through zirvo-batch: runs that continue where the last one
// ended, numbers already printed refused, and runs killed outright.
//
// ZIRVO_KILL_ROUNDS sets how many runs the kill test kills (default 50).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <cstdlib>
#include <random>

#include "engine_support.h"
#include "printing/run_journal.h"

#ifdef __unix__
#include <csignal>
#endif

namespace zirvo {
namespace {

using testing::PdfPageCount;
using testing::PdfPageWords;
using testing::RunTool;
using testing::ToolResult;

const QString kBatch = QString(ZIRVO_BUILD_DIR) + "/zirvo-batch";

// Numerator 1 counts up from 100, numerator 2 down from 50.
const char kNumbered[] =
    "|HJA|IMP100|Numerada.pla|/tmp|0|0|0|0|0|0|21.00|29.70|0|15723990|0|0|0|0|F|F|\r\n"
    "|FOL|01||100||2.00|3.00|0|04|Arial|14|0|A||\r\n"
    "|FOL|02||50||14.00|3.00|0|04|Arial|12|0|R||\r\n";

class BatchJournal : public ::testing::Test {
 protected:
  void SetUp() override { WriteTemplate(); }
  void WriteTemplate() {
    QFile file(templatePath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(kNumbered);
  }
  ToolResult Batch(QStringList args) {
    args.insert(1, templatePath);
    return RunTool(kBatch, args);
  }
  std::string TemplateBytes() const {
    QFile file(templatePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
  }
  JournalContents Journal() const {
    return ReadJournal(JournalPathFor(templatePath.toStdString()));
  }

  QTemporaryDir dir;
  const QString templatePath = dir.filePath("Numerada.pla");
};

TEST_F(BatchJournal, RunsThatContinueNumberOnWithoutGapOrRepeat) {
  const char* const expected[][2] = {{"0100", "0149"}, {"0150", "0199"}, {"0200", "0249"}};
  for (int run = 0; run < 3; ++run) {
    const QString pdf = dir.filePath(QString("run%1.pdf").arg(run + 1));
    const auto r = Batch({"print", "--output", pdf, "--sheets", "50", "--continue"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(PdfPageCount(pdf), 50);
    EXPECT_EQ(PdfPageWords(pdf, 1).back(), expected[run][0]);
    EXPECT_EQ(PdfPageWords(pdf, 50).back(), expected[run][1]);
  }
  // Numerator 2 counted down through the same 150 sheets.
  const std::string bytes = TemplateBytes();
  EXPECT_NE(bytes.find("|FOL|01||250||"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("|FOL|02||-100||"), std::string::npos) << bytes;
  std::string saved = kNumbered;
  saved.replace(saved.find("|100|"), 5, "|250|");
  saved.replace(saved.find("|50|"), 4, "|-100|");
  // A save writes the folder the template now lives in, as every save does.
  saved.replace(saved.find("|/tmp|"), 6, "|" + dir.path().toStdString() + "|");
  EXPECT_EQ(bytes, saved) << "only the numbers and the folder change";

  const JournalContents journal = Journal();
  EXPECT_TRUE(journal.damagedLines.empty());
  std::vector<std::string> completed;
  for (const JournalRecord& r : journal.records)
    if (r.event == RunEvent::Completed) completed.push_back(FormatNumberRanges(r.ranges));
  EXPECT_EQ(completed, (std::vector<std::string>{"01:100..149;02:50..1", "01:150..199;02:0..-49",
                                                 "01:200..249;02:-50..-99"}));

  const auto shown = Batch({"journal"});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_EQ(std::count(shown.out.begin(), shown.out.end(), '\n'), 3) << shown.out;
  EXPECT_NE(shown.out.find("result=\"completed\""), std::string::npos) << shown.out;
  const auto json = Batch({"journal", "--json"});
  EXPECT_NE(json.out.find("\"printed\": \"01:200..249;02:-50..-99\""), std::string::npos)
      << json.out;
}

TEST_F(BatchJournal, NumbersAlreadyPrintedAreRefusedUnlessAllowed) {
  ASSERT_EQ(Batch({"print", "--output", dir.filePath("first.pdf"), "--sheets", "50"}).exitCode, 0);
  const QString pdf = dir.filePath("again.pdf");
  const struct {
    QStringList args;
    int exit;
  } cases[] = {
      {{"print", "--output", pdf, "--sheets", "10", "--continue"}, 1},
      {{"print", "--output", pdf, "--sheets", "10", "--allow-reprint"}, 0},
      {{"print", "--output", pdf, "--reposition", "120"}, 0},
      {{"print", "--output", pdf, "--test-sheet"}, 0},
  };
  for (const auto& c : cases) {
    QFile::remove(pdf);
    const auto r = Batch(c.args);
    const std::string label = c.args.join(' ').toStdString();
    EXPECT_EQ(r.exitCode, c.exit) << label << "\n" << r.err;
    EXPECT_EQ(QFile::exists(pdf), c.exit == 0) << label;
    // What the refusal names is the engine's question, tested with the engine.
    if (c.exit == 1) {
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
      EXPECT_NE(r.err.find("first.pdf. "), std::string::npos) << r.err;
    }
  }
  EXPECT_EQ(TemplateBytes(), kNumbered) << "a refused run continues nothing";
}

// A journal the program did not write is never overwritten: its lines stay,
// new records follow them, and the guard says what it could not read.
TEST_F(BatchJournal, ADamagedJournalIsKeptAndWarnedAbout) {
  const QString path = QString::fromStdString(JournalPathFor(templatePath.toStdString()));
  QFile journal(path);
  ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
  journal.write("Fecha;Importe\n2026-01-01;15,20");
  journal.close();
  const auto r = Batch({"print", "--output", dir.filePath("a.pdf"), "--sheets", "2"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("(1, 2)"), std::string::npos) << r.err;
  ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
  const QByteArray bytes = journal.readAll();
  EXPECT_TRUE(bytes.startsWith("Fecha;Importe\n2026-01-01;15,20\n")) << bytes.toStdString();
  EXPECT_EQ(Journal().records.size(), 2u);
  const auto shown = Batch({"journal"});
  EXPECT_EQ(shown.exitCode, 0);
  EXPECT_NE(shown.err.find("(1, 2)"), std::string::npos) << shown.err;
}

#ifdef __unix__
// Runs killed at any moment after they began: each keeps its `started`
// record and has no end record, no line is cut or lost, and its numbers
// count as printed. The moments are drawn from a fixed seed; each kill waits
// until the run's record is on disk, so the verdict never depends on timing.
TEST_F(BatchJournal, AKilledRunKeepsItsStartAndItsNumbersCountAsPrinted) {
  const char* env = std::getenv("ZIRVO_KILL_ROUNDS");
  const int rounds = env != nullptr ? std::max(1, std::atoi(env)) : 50;
  std::mt19937 moments(20261209);
  const QString pdf = dir.filePath("long.pdf");
  int killed = 0;
  std::size_t records = 0;
  for (int round = 0; round < rounds; ++round) {
    QProcess p;
    p.start(kBatch,
            {"print", templatePath, "--output", pdf, "--sheets", "20000", "--allow-reprint"});
    ASSERT_TRUE(p.waitForStarted());
    // The bound only keeps a broken tool from hanging the test.
    for (int i = 0; i < 6000 && Journal().records.size() == records; ++i) QThread::msleep(5);
    ASSERT_EQ(Journal().records.size(), records + 1) << p.readAllStandardError().toStdString();
    QThread::msleep(std::uniform_int_distribution<int>(0, 150)(moments));
    ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
    ASSERT_TRUE(p.waitForFinished(60000));
    if (p.exitStatus() == QProcess::CrashExit) ++killed;

    const JournalContents journal = Journal();
    ASSERT_TRUE(journal.damagedLines.empty()) << "round " << round;
    const std::size_t expected = records + (p.exitStatus() == QProcess::CrashExit ? 1 : 2);
    ASSERT_EQ(journal.records.size(), expected) << "round " << round;
    EXPECT_EQ(journal.records[records].event, RunEvent::Started);
    EXPECT_EQ(FormatNumberRanges(journal.records[records].ranges), "01:100..20099;02:50..-19949");
    records = expected;
    // What a killed run leaves behind (its unfinished spool file) goes.
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
      if (!name.endsWith(".pla") && !name.endsWith(".csv")) QFile::remove(dir.filePath(name));
  }
  EXPECT_GT(killed, 0);
  const std::vector<JournalRun> runs = PairJournalRuns(Journal().records);
  int interrupted = 0;
  for (const JournalRun& run : runs)
    interrupted += run.Outcome() == JournalRun::Result::Interrupted;
  EXPECT_EQ(interrupted, killed);

  const auto refused = Batch({"print", "--output", pdf, "--sheets", "5"});
  EXPECT_EQ(refused.exitCode, 1) << refused.err;
  EXPECT_NE(refused.err.find("100..20099"), std::string::npos) << refused.err;
  EXPECT_FALSE(QFile::exists(pdf));
}
#endif

}  // namespace
}  // namespace zirvo
