// The numbering register through zirvo-batch: runs that continue where the
// last one ended, numbers already printed refused unless allowed, an old
// journal imported, registers that cannot be trusted refused and left as
// they are, a template reached through a link, runs killed outright.
//
// ZIRVO_REGISTER_STRESS=full kills 50 runs; make test kills fewer.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <functional>
#include <random>

#include "base/platform.h"
#include "engine_support.h"
#include "printing/run_journal.h"
#include "support/register_support.h"

#ifdef __unix__
#include <csignal>
#endif

namespace zirvo {
namespace {

using testing::PdfPageCount;
using testing::PdfPageWords;
using testing::RegisterRuns;
using testing::RunTool;
using testing::SqliteExec;
using testing::ToolResult;

const QString kBatch = QString(ZIRVO_BUILD_DIR) + "/zirvo-batch";

constexpr char kHeader[] =
    "|HJA|IMP100|Numerada.pla|/tmp|0|0|0|0|0|0|21.00|29.70|0|15723990|0|0|0|0|F|F|\r\n";
// Numerator 1 counts up from 100, numerator 2 down from 50.
const std::string kNumbered = std::string(kHeader) +
                              "|FOL|01||100||2.00|3.00|0|04|Arial|14|0|A||\r\n"
                              "|FOL|02||50||14.00|3.00|0|04|Arial|12|0|R||\r\n";

QByteArray Bytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const std::string& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class BatchRegister : public ::testing::Test {
 protected:
  void SetUp() override { Write(templatePath, kNumbered); }
  ToolResult Batch(QStringList args) {
    args.insert(1, templatePath);
    return RunTool(kBatch, args);
  }
  RunList Runs() const { return RegisterRuns(templatePath); }
  QString RegisterFile() const { return dir.filePath("Registro.sqlite"); }

  QTemporaryDir dir;
  const QString templatePath = dir.filePath("Numerada.pla");
};

TEST_F(BatchRegister, RunsThatContinueNumberOnWithoutGapOrRepeat) {
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
  std::string saved = kNumbered;
  saved.replace(saved.find("|100|"), 5, "|250|");
  saved.replace(saved.find("|50|"), 4, "|-100|");
  // A save writes the folder the template now lives in, as every save does.
  saved.replace(saved.find("|/tmp|"), 6,
                "|" + QFile::encodeName(QDir(dir.path()).canonicalPath()).toStdString() + "|");
  EXPECT_EQ(Bytes(templatePath).toStdString(), saved) << "only the numbers and the folder change";
  EXPECT_FALSE(QFile::exists(dir.filePath("Numerada.journal.csv")));

  // The register lists them for scripts oldest first, in every form.
  const auto text = Batch({"journal"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  ASSERT_EQ(Lines(text.out), 3) << text.out;
  EXPECT_NE(text.out.find("printed=\"01:100..149;02:50..1\""), std::string::npos) << text.out;
  EXPECT_GT(text.out.find("printed=\"01:200..249;02:-50..-99\""), text.out.find("01:150..199"));
  EXPECT_NE(text.out.find("result=\"completed\""), std::string::npos) << text.out;
  const auto json = Batch({"journal", "--json"});
  EXPECT_NE(json.out.find("\"first\": -50, \"last\": -99, \"step\": -1}]"), std::string::npos)
      << json.out;
  const auto csv = Batch({"journal", "--csv", "--separator", ";"});
  EXPECT_EQ(csv.out.rfind("\xEF\xBB\xBFrun;series;kind;template;", 0), 0u) << csv.out;
  EXPECT_EQ(Lines(csv.out), 4) << csv.out;
}

// The refusal is one line naming the numerator, the numbers, when, where,
// by whom; --allow-reprint prints them again; test sheets and repositions
// print known numbers on purpose.
TEST_F(BatchRegister, NumbersAlreadyPrintedAreRefusedUnlessAllowed) {
  ASSERT_EQ(Batch({"print", "--output", dir.filePath("first.pdf"), "--sheets", "50"}).exitCode, 0);
  const QString pdf = dir.filePath("again.pdf");
  const struct {
    QStringList args;
    int exit;
  } cases[] = {
      {{"print", "--output", pdf, "--sheets", "4", "--increment", "3", "--continue"}, 1},
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
    if (c.exit == 1) {
      EXPECT_EQ(Lines(r.err), 1) << r.err;
      for (const std::string& part :
           {std::string("01 "), std::string("100,103..109"), std::string("first.pdf,"),
            platform::AccountName(), platform::HostName(), std::string("--allow-reprint")})
        EXPECT_NE(r.err.find(part), std::string::npos) << part << " in " << r.err;
    }
  }
  EXPECT_EQ(Bytes(templatePath).toStdString(), kNumbered) << "a refused run continues nothing";
  EXPECT_EQ(Runs().runs.size(), 4u) << "a refused run is not recorded";
}

// A journal the program wrote before it had a register: its runs come in
// once and guard their numbers, its damaged lines are named once, and the
// file stays as it was.
TEST_F(BatchRegister, AnOldJournalIsImportedOnceAndKeptAsItIs) {
  const QString journal = dir.filePath("Numerada.journal.csv");
  const std::string before = std::string(kJournalHeader) +
                             "\na1,2026-01-02T10:00:00+01:00,ana,Numerada.pla,Oficina,run,50,1,1,"
                             "started,,01:100..149;02:50..1,\n"
                             "Fecha;Importe\n"
                             "a1,2026-01-02T10:05:00+01:00,ana,Numerada.pla,Oficina,run,50,1,1,"
                             "completed,50,01:100..149;02:50..1,\n";
  Write(journal, before);
  const QString pdf = dir.filePath("a.pdf");
  const auto refused = Batch({"print", "--output", pdf, "--sheets", "2"});
  EXPECT_EQ(refused.exitCode, 1) << refused.err;
  EXPECT_NE(refused.err.find("(3)"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("Oficina"), std::string::npos) << refused.err;
  const auto again = Batch({"print", "--output", pdf, "--sheets", "2", "--allow-reprint"});
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(again.err.find("(3)"), std::string::npos) << "named once: " << again.err;
  EXPECT_EQ(Bytes(journal).toStdString(), before);
  EXPECT_EQ(Runs().runs.size(), 2u);
}

// A register that cannot be trusted prints nothing and is never mended or
// rewritten: records that do not read pass only with --allow-reprint; a
// file that is no register never.
TEST_F(BatchRegister, ARegisterThatCannotBeTrustedIsRefusedAndLeftAsItIs) {
  ASSERT_EQ(Batch({"print", "--output", dir.filePath("first.pdf")}).exitCode, 0);
  const auto damageRecord = [&] {
    ASSERT_EQ(SqliteExec(QFile::encodeName(RegisterFile()).toStdString(),
                         "UPDATE zirvo_runs SET kind = 'x'"),
              "");
  };
  const auto notARegister = [&] { Write(RegisterFile(), "SQLite format 3\nnot really"); };
  const struct {
    const char* name;
    std::function<void()> make;
    bool allow;
    int exit;
    const char* message;
  } cases[] = {
      {"a record does not read", damageRecord, false, 1, "--allow-reprint"},
      {"passed on leave", damageRecord, true, 0, ""},
      {"not a register", notARegister, true, 1, "Registro.sqlite"},
  };
  for (const auto& c : cases) {
    c.make();
    const QByteArray file = Bytes(RegisterFile());
    const QString pdf = dir.filePath("out.pdf");
    QFile::remove(pdf);
    QStringList args = {"print", "--output", pdf};
    if (c.allow) args << "--allow-reprint";
    const auto r = Batch(args);
    EXPECT_EQ(r.exitCode, c.exit) << c.name << "\n" << r.err;
    EXPECT_EQ(QFile::exists(pdf), c.exit == 0) << c.name;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    if (c.exit == 1) {
      EXPECT_EQ(Lines(r.err), 1) << r.err;
      EXPECT_EQ(Bytes(RegisterFile()), file) << c.name;
    }
  }
}

#ifdef __unix__
// --continue through a link writes the real template, and the link stays a
// link; the runs go to the register beside the real file.
TEST_F(BatchRegister, ContinueThroughALinkWritesTheRealTemplate) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("links"));
  const QString link = dir.filePath("links/Numerada.pla");
  ASSERT_TRUE(QFile::link(templatePath, link));
  const auto r = RunTool(
      kBatch, {"print", link, "--output", dir.filePath("a.pdf"), "--sheets", "5", "--continue"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(QFileInfo(link).symLinkTarget(), templatePath);
  EXPECT_NE(Bytes(templatePath).indexOf("|FOL|01||105||"), -1) << Bytes(templatePath).data();
  EXPECT_EQ(Runs().runs.size(), 1u);
  EXPECT_FALSE(QFile::exists(dir.filePath("links/Registro.sqlite")));
}

// Runs killed outright at any moment, while they reserve or while they
// print: the register opens afterwards, every earlier run is still there
// with its end, and each run killed after its reservation guards its whole
// plan. The moments come from a fixed seed; the verdict holds whenever a
// kill lands.
TEST_F(BatchRegister, AKilledRunLosesNoRecordAndGuardsItsNumbers) {
  const int rounds = testing::StressCount(8, 50);
  std::mt19937 moments(20261209);
  const QString pdf = dir.filePath("long.pdf");
  std::size_t runs = 0;
  int reservedThenKilled = 0;
  for (int round = 0; round < rounds; ++round) {
    QProcess p;
    p.start(kBatch,
            {"print", templatePath, "--output", pdf, "--sheets", "20000", "--allow-reprint"});
    ASSERT_TRUE(p.waitForStarted());
    // Every other round waits for the reservation; the bound only keeps a
    // broken tool from hanging the test.
    const bool reserved = round % 2 == 1;
    for (int i = 0; reserved && i < 6000 && Runs().runs.size() == runs; ++i) QThread::msleep(5);
    QThread::msleep(std::uniform_int_distribution<int>(0, reserved ? 150 : 400)(moments));
    ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
    ASSERT_TRUE(p.waitForFinished(60000));

    const RunList list = Runs();
    ASSERT_TRUE(list.damaged.empty()) << "round " << round;
    ASSERT_GE(list.runs.size(), runs) << "round " << round;
    ASSERT_LE(list.runs.size(), runs + 1) << "round " << round;
    if (reserved) {
      ASSERT_EQ(list.runs.size(), runs + 1) << p.readAllStandardError().toStdString();
      EXPECT_FALSE(list.runs.front().end) << "round " << round;
      ++reservedThenKilled;
    }
    runs = list.runs.size();
  }
  int interrupted = 0;
  for (const RunRecord& run : Runs().runs) {
    interrupted += !run.end;
    EXPECT_EQ(run.planned.front(), Progression::Of(1, 100, 20000, 1));
  }
  EXPECT_GE(interrupted, reservedThenKilled);

  const auto refused = Batch({"print", "--output", pdf, "--sheets", "5", "--increment", "1000"});
  EXPECT_EQ(refused.exitCode, 1) << refused.err;
  EXPECT_NE(refused.err.find("100,1100..4100"), std::string::npos) << refused.err;
  EXPECT_FALSE(QFile::exists(pdf));
}
#endif

}  // namespace
}  // namespace zirvo
