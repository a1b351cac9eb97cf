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
  EXPECT_TRUE(ReadJournal(dir.Path("none.journal.csv")).missing);
}

}  // namespace
}  // namespace zirvo
