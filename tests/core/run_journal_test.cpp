#include "printing/run_journal.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "temp_dir.h"

namespace zirvo {
namespace {

using testing::TempDir;
using testing::WriteBytes;

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

// The numbers "Reponer" takes from a run: numerator 1's printed numbers,
// stepping by the increment toward the last, or a reposition's own; no more
// than asked for, telling how many were left out.
TEST(RunJournal, ReprintTakesTheNumbersARunPrinted) {
  const struct {
    const char* name;
    RunKind kind;
    bool ended;
    int32_t increment;
    int64_t first, last;
    std::size_t limit;
    std::vector<int64_t> numbers;
    int64_t left;
  } cases[] = {
      {"up by one", RunKind::Run, true, 1, 100, 104, 5, {100, 101, 102, 103, 104}, 0},
      {"down by two", RunKind::Run, true, 2, 50, 42, 9, {50, 48, 46, 44, 42}, 0},
      {"increment 0", RunKind::Run, true, 0, 7, 7, 5, {7}, 0},
      {"one test sheet", RunKind::Test, true, 3, -5, -5, 5, {-5}, 0},
      {"interrupted: its plan", RunKind::Run, false, 1, 10, 12, 5, {10, 11, 12}, 0},
      {"cut", RunKind::Run, true, 1, 1, 500, 5, {1, 2, 3, 4, 5}, 495},
      {"cut down by three", RunKind::Run, true, 3, 1000, 1, 2, {1000, 997}, 332},
      {"a full list takes none", RunKind::Run, true, 1, 100, 104, 0, {}, 5},
      {"a reposition cut", RunKind::Reposition, true, 1, 0, 0, 1, {9}, 1},
      {"a whole reposition", RunKind::Reposition, false, 1, 0, 0, 5, {9, 4}, 0},
  };
  for (const auto& c : cases) {
    JournalRun run;
    // The plan is wider than what was printed: the end record's range counts.
    run.started = Record("r", c.kind, RunEvent::Started,
                         {{1, c.first, c.ended ? c.last + 1000 : c.last}, {2, 1, 2}});
    run.started.increment = c.increment;
    run.started.repositions = {9, 4};
    if (c.ended)
      run.ended = Record("r", c.kind, RunEvent::Completed, {{1, c.first, c.last}, {2, 1, 2}});
    int64_t left = -1;
    EXPECT_EQ(ReprintNumbers(run, c.limit, left), c.numbers) << c.name;
    EXPECT_EQ(left, c.left) << c.name;
  }
}

}  // namespace
}  // namespace zirvo
