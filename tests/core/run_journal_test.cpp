#include "printing/run_journal.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/text.h"
#include "print_fixtures.h"
#include "printing/print_engine.h"
#include "support/recording_device.h"
#include "temp_dir.h"

namespace zirvo {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
using namespace testing::print;

JournalRecord Record(std::string run, RunKind kind, RunEvent event, std::vector<NumberRange> ranges,
                     std::optional<int32_t> completed = {}) {
  JournalRecord r;
  r.run = std::move(run);
  r.time = "2026-12-09T20:15:03+01:00";
  r.user = "ana";
  r.templateName = "Facturas.pla";
  r.target = "Oficina";
  r.kind = kind;
  r.sheets = 50;
  r.event = event;
  r.completedSheets = completed;
  r.ranges = std::move(ranges);
  return r;
}

TEST(RunJournal, RecordsReadBackAsTheyWereWritten) {
  JournalRecord quoted = Record("a1", RunKind::Run, RunEvent::Completed,
                                {{1, 100, 149}, {2, -5, 44}, {12, 50, 1}}, 50);
  quoted.target = "/home/ana/Impresi\xC3\xB3n \"final\", copia.pdf";
  EXPECT_EQ(FormatJournalRecord(quoted),
            "a1,2026-12-09T20:15:03+01:00,ana,Facturas.pla,"
            "\"/home/ana/Impresi\xC3\xB3n \"\"final\"\", copia.pdf\",run,50,1,1,completed,50,"
            "01:100..149;02:-5..44;12:50..1,\n");

  JournalRecord reposition = Record("b2", RunKind::Reposition, RunEvent::Started, {{1, 7, 9}});
  reposition.repositions = {7, -2, 9};
  JournalRecord empty = Record("c3", RunKind::Test, RunEvent::Cancelled, {}, 0);
  JournalRecord lineEnds = Record("d4", RunKind::Run, RunEvent::Failed, {{60, 0, 0}}, 0);
  lineEnds.user = "x\ny";
  for (const JournalRecord& r : {quoted, reposition, empty, lineEnds}) {
    std::string line = FormatJournalRecord(r);
    ASSERT_EQ(line.find('\n'), line.size() - 1) << "one line per record: " << line;
    line.pop_back();
    const auto back = ParseJournalRecord(line);
    ASSERT_TRUE(back) << line;
    JournalRecord expected = r;
    if (expected.user == "x\ny") expected.user = "x y";
    EXPECT_EQ(*back, expected) << line;
  }
}

TEST(RunJournal, LinesThatAreNotRecordsAreRefused) {
  const std::string good = "a1,t,ana,F.pla,Q,run,50,1,1,completed,50,01:100..149,";
  ASSERT_TRUE(ParseJournalRecord(good));
  const char* bad[] = {
      "",
      "a1,t,ana,F.pla,Q,run,50,1,1,completed,50,01:100..149",      // a field short
      "a1,t,ana,F.pla,Q,run,50,1,1,completed,50,01:100..149,,",    // a field over
      ",t,ana,F.pla,Q,run,50,1,1,completed,50,01:100..149,",       // no run
      "a1,t,ana,F.pla,Q,print,50,1,1,completed,50,01:100..149,",   // unknown kind
      "a1,t,ana,F.pla,Q,run,50,1,1,finished,50,01:100..149,",      // unknown event
      "a1,t,ana,F.pla,Q,run,5x,1,1,completed,50,01:100..149,",     // sheets
      "a1,t,ana,F.pla,Q,run,50,1,1,completed,all,01:100..149,",    // completed sheets
      "a1,t,ana,F.pla,Q,run,50,1,1,completed,50,01:100-149,",      // range
      "a1,t,ana,F.pla,Q,run,50,1,1,completed,50,01:100..149;,",    // empty range
      "a1,t,ana,F.pla,Q,run,50,1,1,completed,50,01:100..,",        // range end
      "a1,t,ana,F.pla,Q,run,50,1,1,completed,50,01:100..149,7;x",  // reposition
      "a1,t,\"ana,F.pla,Q,run,50,1,1,completed,50,01:100..149,",   // quote left open
      "a1,t,an\"a,F.pla,Q,run,50,1,1,completed,50,01:100..149,",   // stray quote
  };
  for (const char* line : bad) EXPECT_FALSE(ParseJournalRecord(line)) << line;
}

TEST(RunJournal, JournalFileSitsBesideItsTemplate) {
  EXPECT_EQ(JournalPathFor("/d/Facturas.pla"), "/d/Facturas.journal.csv");
  EXPECT_EQ(JournalPathFor("/d/v1.2/Recibos"), "/d/v1.2/Recibos.journal.csv");
  EXPECT_EQ(JournalPathFor("Tickets.PLA"), "Tickets.journal.csv");
}

// Whatever the file held, an append keeps every byte of it and adds one
// whole line; a new or empty file gets the header first.
TEST(RunJournal, AppendingNeverRewritesWhatTheFileHolds) {
  const std::string header = std::string(kJournalHeader) + "\n";
  const JournalRecord record = Record("a1", RunKind::Run, RunEvent::Started, {{1, 1, 5}});
  const std::string line = FormatJournalRecord(record);
  const struct {
    const char* name;
    std::optional<std::string> before;
    std::string after;
  } cases[] = {
      {"missing", std::nullopt, header + line},
      {"empty", "", header + line},
      {"ours", header + line, header + line + line},
      {"cut last line", header + "a0,t,ana", header + "a0,t,ana\n" + line},
      {"foreign", "Fecha;Importe\r\n1;2", "Fecha;Importe\r\n1;2\n" + line},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string path = dir.Path("F.journal.csv");
    if (c.before) WriteBytes(path, *c.before);
    AppendJournalRecord(path, record);
    EXPECT_EQ(ReadBytes(path), c.after) << c.name;
  }
  TempDir dir;
  EXPECT_THROW(AppendJournalRecord(dir.Path("no/such/folder/F.journal.csv"), record), ZirvoError);
}

TEST(RunJournal, ReadingSkipsDamagedLinesAndNamesThem) {
  TempDir dir;
  const std::string path = dir.Path("F.journal.csv");
  const std::string first =
      FormatJournalRecord(Record("a1", RunKind::Run, RunEvent::Started, {{1, 1, 5}}));
  const std::string second =
      FormatJournalRecord(Record("a1", RunKind::Run, RunEvent::Completed, {{1, 1, 5}}, 5));
  WriteBytes(path, "\xEF\xBB\xBF" + std::string(kJournalHeader) + "\r\n" + first +
                       "not a record\n\n" + second.substr(0, 20) + "\n" + second);
  const JournalContents journal = ReadJournal(path);
  ASSERT_EQ(journal.records.size(), 2u);
  EXPECT_EQ(journal.records[1].event, RunEvent::Completed);
  EXPECT_EQ(journal.damagedLines, (std::vector<int32_t>{3, 5}));
  EXPECT_NE(DamagedJournalNotice(path, journal).find("(3, 5)"), std::string::npos);
  EXPECT_TRUE(ReadJournal(dir.Path("none.journal.csv")).missing);
}

TEST(RunJournal, OverlapGuardFindsEveryNumberAlreadyPrinted) {
  const std::vector<JournalRecord> records = {
      // Completed 100..149 on numerator 1 and, counting down, 50..1 on numerator 2.
      Record("r1", RunKind::Run, RunEvent::Started, {{1, 100, 149}, {2, 50, 1}}),
      Record("r1", RunKind::Run, RunEvent::Completed, {{1, 100, 149}, {2, 50, 1}}, 50),
      // Cancelled: 150..199 planned, 150..159 printed.
      Record("r2", RunKind::Run, RunEvent::Started, {{1, 150, 199}}),
      Record("r2", RunKind::Run, RunEvent::Cancelled, {{1, 150, 159}}, 10),
      // Interrupted: its whole plan counts.
      Record("r3", RunKind::Run, RunEvent::Started, {{1, 300, 349}}),
      // Test sheets and repositions print again on purpose.
      Record("t1", RunKind::Test, RunEvent::Started, {{1, 500, 500}}),
      Record("t1", RunKind::Test, RunEvent::Completed, {{1, 500, 500}}, 1),
      Record("p1", RunKind::Reposition, RunEvent::Started, {{1, 600, 600}}),
  };
  const std::vector<JournalRun> runs = PairJournalRuns(records);
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[0].Outcome(), JournalRun::Result::Completed);
  EXPECT_EQ(runs[1].Outcome(), JournalRun::Result::Cancelled);
  EXPECT_EQ(runs[2].Outcome(), JournalRun::Result::Interrupted);

  const struct {
    NumberRange planned;
    const char* printedBy;  // nullptr: no overlap
  } cases[] = {
      {{1, 140, 149}, "r1"},    {{1, 90, 100}, "r1"},     {{1, 60, 99}, nullptr},
      {{1, 160, 299}, nullptr}, {{1, 155, 155}, "r2"},    {{1, 349, 400}, "r3"},
      {{1, 500, 500}, nullptr}, {{1, 600, 600}, nullptr}, {{2, 0, -10}, nullptr},
      {{2, 1, -10}, "r1"},      {{2, 60, 51}, nullptr},   {{3, 120, 120}, nullptr},
  };
  for (const auto& c : cases) {
    const auto overlap = FindOverlap(runs, {c.planned});
    const std::string label = FormatNumberRanges({c.planned});
    if (c.printedBy == nullptr) {
      EXPECT_FALSE(overlap) << label;
    } else {
      ASSERT_TRUE(overlap) << label;
      EXPECT_EQ(overlap->run.started.run, c.printedBy) << label;
    }
  }
}

// The engine writes the journal of its job's template.
class JournalingEngine : public ::testing::Test {
 protected:
  TempDir dir;
  RecordingDevice device;
  struct Answers : PageState {
    std::vector<std::string> reprintQuestions;
    bool reprint = false;
    bool ConfirmReprint(const std::string& text) override {
      reprintQuestions.push_back(text);
      return reprint;
    }
  } page;
  PrintEngine engine{device, &page};

  void SetUp() override {
    PrintJob job = Job({MakeNumerator(1, 100), MakeNumerator(2, 50, true)});
    job.TemplateFile = dir.Path("Facturas.pla");
    engine.LoadPrintJob(job);
    engine.SelectPrinter(PrinterSetting::Queue("Oficina"), "Oficina");
  }
  bool Run(const char* sheets) {
    engine.SetRunSettings("1", "2", sheets);
    return engine.PrintAll();
  }
  std::vector<JournalRecord> Records() const { return ReadJournal(engine.JournalPath()).records; }
};

TEST_F(JournalingEngine, EachRunWritesItsStartAndItsEnd) {
  EXPECT_EQ(engine.JournalPath(), dir.Path("Facturas.journal.csv"));
  ASSERT_TRUE(Run("50"));
  // Cancelled at sheet 8, CUPS having completed 5 sheets.
  device.completedSheets = 5;
  device.SetPageSpooledHook([&] {
    if (device.pages.size() == 16) engine.CancelRun();
  });
  page.reprint = true;
  ASSERT_TRUE(Run("50"));
  device.SetPageSpooledHook({});
  device.completedSheets.reset();
  device.failBegin = true;
  EXPECT_THROW(Run("3"), ZirvoError);

  const std::vector<JournalRecord> r = Records();
  ASSERT_EQ(r.size(), 6u);
  EXPECT_EQ(r[0].event, RunEvent::Started);
  EXPECT_EQ(r[0].copies, 2);
  EXPECT_EQ(r[0].ranges, (std::vector<NumberRange>{{1, 100, 149}, {2, 50, 1}}));
  EXPECT_EQ(r[1].event, RunEvent::Completed);
  EXPECT_EQ(r[1].completedSheets, 50);
  EXPECT_EQ(r[1].run, r[0].run);
  EXPECT_EQ(r[3].event, RunEvent::Cancelled);
  EXPECT_EQ(r[3].completedSheets, 5);
  EXPECT_EQ(r[3].ranges, (std::vector<NumberRange>{{1, 100, 104}, {2, 50, 46}}));
  EXPECT_NE(r[2].run, r[0].run);
  EXPECT_EQ(r[5].event, RunEvent::Failed);
  EXPECT_EQ(r[5].completedSheets, 0);
  EXPECT_TRUE(r[5].ranges.empty());
  EXPECT_EQ(engine.LastOutcome()->event, RunEvent::Failed);
}

TEST_F(JournalingEngine, NumbersAlreadyPrintedAreAskedAboutBeforeARunOnly) {
  ASSERT_TRUE(Run("50"));
  device.pages.clear();
  ASSERT_FALSE(Run("10"));  // refused
  ASSERT_EQ(page.reprintQuestions.size(), 1u);
  EXPECT_NE(page.reprintQuestions[0].find("01"), std::string::npos);
  EXPECT_NE(page.reprintQuestions[0].find("100..149"), std::string::npos);
  EXPECT_NE(page.reprintQuestions[0].find("Oficina"), std::string::npos);
  EXPECT_NE(page.reprintQuestions[0].find("2026-"), std::string::npos);
  EXPECT_TRUE(device.pages.empty());
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_FALSE(engine.LastOutcome());

  // A test sheet and a reposition print known numbers on purpose.
  ASSERT_TRUE(engine.PrintTestSheet());
  ASSERT_TRUE(engine.AddRepositionEntry("120"));
  ASSERT_TRUE(engine.PrintReposition());
  EXPECT_EQ(page.reprintQuestions.size(), 1u);
  const std::vector<JournalRecord> r = Records();
  ASSERT_EQ(r.size(), 6u);
  EXPECT_EQ(r[3].kind, RunKind::Test);
  EXPECT_EQ(r[5].kind, RunKind::Reposition);
  EXPECT_EQ(r[5].repositions, std::vector<int32_t>{120});
  EXPECT_EQ(r[5].ranges, (std::vector<NumberRange>{{1, 120, 120}, {2, 30, 30}}));

  page.reprint = true;
  ASSERT_TRUE(Run("10"));
  EXPECT_EQ(engine.LastOutcome()->completedSheets, 10);
}

TEST_F(JournalingEngine, AJournalThatCannotBeWrittenStopsTheRunBeforeItBegins) {
  PrintJob job = Job({MakeNumerator(1, 100)});
  job.TemplateFile = dir.Path("gone/Facturas.pla");
  engine.LoadPrintJob(job);
  EXPECT_THROW(Run("5"), ZirvoError);
  EXPECT_TRUE(device.events.empty() || std::find(device.events.begin(), device.events.end(),
                                                 "begin") == device.events.end());
  EXPECT_FALSE(page.statusVisible);
  // A template never saved has no journal and prints as before.
  job.TemplateFile.clear();
  engine.LoadPrintJob(job);
  EXPECT_TRUE(Run("5"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("Facturas.journal.csv")));
}

}  // namespace
}  // namespace zirvo
