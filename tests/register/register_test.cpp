// The register on both databases: what a reservation refuses, what it
// stores and reads back, and how it fails closed.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "base/messages.h"
#include "register_backends.h"

namespace zirvo {
namespace {

using testing::Backend;
using testing::PlannedRun;
using testing::ReadBytes;
using testing::WriteBytes;

using Runs = std::vector<Progression>;

// An earlier run of a case: its plan and, unless interrupted, its end.
struct Earlier {
  RunKind kind;
  Progression planned;
  std::optional<RunEvent> event;
  Runs completed;
};
Earlier Done(Progression p) { return {RunKind::Run, p, RunEvent::Completed, {p}}; }
Earlier Cut(RunEvent event, Progression p, Runs done) { return {RunKind::Run, p, event, done}; }
Earlier Interrupted(Progression p, RunKind kind = RunKind::Run) { return {kind, p, {}, {}}; }
// Numbers a cycle or a stub prints: recorded, not guarded.
Progression Unguarded(Progression p) {
  p.guarded = false;
  return p;
}

class RegisterTest : public testing::RegisterTest {};

// A plan, the runs before it, and the numbers it is refused for (none:
// reserved); `named` is the earlier run the refusal names.
struct GuardCase {
  GuardCase(const char* name, std::vector<Earlier> earlier, RunKind kind, Runs plan,
            std::optional<Progression> shared, std::size_t named = SIZE_MAX)
      : name(name),
        earlier(std::move(earlier)),
        kind(kind),
        plan(std::move(plan)),
        shared(shared),
        named(std::min(named, this->earlier.size() - 1)) {}
  const char* name;
  std::vector<Earlier> earlier;
  RunKind kind;
  Runs plan;
  std::optional<Progression> shared;
  std::size_t named;
};

TEST_P(RegisterTest, AReservationIsRefusedOnlyForNumbersARunPrinted) {
  const auto reg = Open();
  const auto Of = Progression::Of;
  const auto Run = RunKind::Run;
  const std::nullopt_t none = std::nullopt;
  const GuardCase cases[] = {
      GuardCase("increment 5 from 7000, then from 7001", {Done(Of(1, 7000, 3, 5))}, Run,
                {Of(1, 7001, 3, 5)}, none),
      GuardCase("increment 5 from 7000, then 3 from 7010", {Done(Of(1, 7000, 10, 5))}, Run,
                {Of(1, 7010, 10, 3)}, Progression{1, 7010, 7025, 15}),
      GuardCase("a reverse numerator", {Done(Of(2, 50, 10, -5))}, Run, {Of(2, 31, 3, -1)},
                Progression{2, 30, 30, 0}),
      GuardCase("another numerator's numbers", {Done(Of(1, 100, 50, 1))}, Run, {Of(2, 100, 50, 1)},
                none),
      GuardCase("a cancelled run printed what it completed",
                {Cut(RunEvent::Cancelled, Of(1, 100, 50, 1), {Of(1, 100, 20, 1)})}, Run,
                {Of(1, 110, 20, 1)}, Progression{1, 110, 119, 1}),
      GuardCase("... and nothing after it",
                {Cut(RunEvent::Cancelled, Of(1, 100, 50, 1), {Of(1, 100, 20, 1)})}, Run,
                {Of(1, 120, 20, 1)}, none),
      GuardCase("a failed run too", {Cut(RunEvent::Failed, Of(1, 100, 50, 1), {})}, Run,
                {Of(1, 100, 50, 1)}, none),
      GuardCase("an interrupted run holds its whole plan", {Interrupted(Of(1, 100, 50, 1))}, Run,
                {Of(1, 140, 20, 1)}, Progression{1, 140, 149, 1}),
      GuardCase("the run that printed the plan's first number is named",
                {Done(Of(1, 2, 10, 2)), Done(Of(1, 1, 10, 2))}, Run, {Of(1, 8, 2, 1)},
                Progression{1, 8, 8, 0}, 0),
      GuardCase("... and of two that printed it, the latest",
                {Done(Of(1, 1, 10, 1)), Done(Of(1, 1, 10, 1))}, Run, {Of(1, 9, 4, -1)},
                Progression{1, 9, 6, -1}),
      GuardCase("of two numerators, the first one's",
                {Done(Of(2, 1, 10, 1)), Done(Of(1, 1, 10, 1))}, Run,
                {Of(2, 5, 2, 1), Of(1, 7, 2, 1)}, Progression{2, 5, 6, 1}, 0),
      GuardCase("numbers recorded unguarded refuse nothing", {Done(Unguarded(Of(1, 1, 50, 1)))},
                Run, {Of(1, 1, 50, 1)}, none),
      GuardCase("... and are never refused", {Done(Of(1, 1, 50, 1))}, Run,
                {Unguarded(Of(1, 1, 50, 1))}, none),
      GuardCase("test sheets refuse nothing", {Interrupted(Of(1, 100, 1, 1), RunKind::Test)}, Run,
                {Of(1, 100, 5, 1)}, none),
      GuardCase("nor do repositions", {Interrupted(Of(1, 7, 1, 1), RunKind::Reposition)}, Run,
                {Of(1, 7, 1, 1)}, none),
      GuardCase("a test sheet is never refused", {Interrupted(Of(1, 100, 5, 1))}, RunKind::Test,
                {Of(1, 100, 1, 1)}, none),
      GuardCase("nor is a reposition", {Interrupted(Of(1, 100, 5, 1))}, RunKind::Reposition,
                {Progression::Single(1, 102)}, none),
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string series = c.name;  // each case its own series
    std::vector<std::string> ids;
    for (const Earlier& e : c.earlier) {
      const RunRecord run = PlannedRun(series, e.kind, {e.planned});
      ASSERT_TRUE(reg->Reserve(run, true).reserved);
      if (e.event) reg->Finish(run.id, *e.event, 0, e.completed);
      ids.push_back(run.id);
    }
    const RunRecord plan = PlannedRun(series, c.kind, c.plan);
    // Another series with the same numbers is never in the way.
    ASSERT_TRUE(reg->Reserve(PlannedRun(series + " (copia)", c.kind, c.plan), false).reserved);
    const Reservation refused = reg->Reserve(plan, false);
    EXPECT_EQ(refused.reserved, !c.shared);
    ASSERT_EQ(refused.overlap.has_value(), c.shared.has_value());
    if (!c.shared) continue;
    EXPECT_EQ(refused.overlap->shared, *c.shared);
    EXPECT_EQ(refused.overlap->earlier.id, ids.at(c.named));
    EXPECT_EQ(reg->Runs(series).runs.size(), c.earlier.size()) << "a refusal stores nothing";
    // Allowed to print them again, the run is stored and still told why.
    const Reservation again = reg->Reserve(plan, true);
    EXPECT_TRUE(again.reserved);
    EXPECT_EQ(again.overlap->shared, *c.shared);
  }
}

TEST_P(RegisterTest, RunsReadBackNewestFirstAsTheyWereStored) {
  // Unguarded numbers read back in their place among the others.
  RunRecord run = PlannedRun("F", RunKind::Run,
                             {Unguarded(Progression::Of(3, 1, 50, 1)),
                              Progression::Of(1, 7000, 50, 5), Progression::Of(12, 90, 50, -1)});
  run.copies = 2;
  run.user = "ana";
  run.station = "caja-2";
  run.target = "/home/ana/Impresi\xC3\xB3n, \"final\".pdf";
  RunRecord test = PlannedRun("F", RunKind::Test, {Progression::Single(1, 7000)});
  test.templateName = "bad \xFF\xC3 utf-8";  // stored as valid UTF-8
  RunRecord reposition = PlannedRun("F", RunKind::Reposition,
                                    {Progression::Single(1, 7005), Progression::Single(12, 89),
                                     Progression::Single(1, 7100), Progression::Single(12, 70)});
  reposition.listed = {7005, 7100};
  {
    const auto reg = Open();
    for (const RunRecord* r : {&run, &test, &reposition})
      ASSERT_TRUE(reg->Reserve(*r, false).reserved);
    reg->Finish(run.id, RunEvent::Cancelled, 20,
                {Unguarded(Progression::Of(3, 1, 20, 1)), Progression::Of(1, 7000, 20, 5),
                 Progression::Of(12, 90, 20, -1)});
    reg->Finish(reposition.id, RunEvent::Completed, 2, reposition.planned);
    // A run has one end, and only a run the register holds can have one.
    for (const std::string& id : {run.id, std::string("0123456789abcdef")}) {
      try {
        reg->Finish(id, RunEvent::Completed, 50, {});
        ADD_FAILURE() << "a second or unknown end was stored";
      } catch (const RegisterError& e) {
        EXPECT_EQ(e.Fault(), RegisterFault::Unusable);
        EXPECT_NE(std::string(e.what()).find(id), std::string::npos) << e.what();
      }
    }
  }
  const auto reg = Open();  // a second connection reads what the first one stored
  const RunList all = reg->Runs("F");
  ASSERT_EQ(all.runs.size(), 3u);
  EXPECT_TRUE(all.damaged.empty());
  EXPECT_FALSE(all.more);

  run.seq = all.runs[2].seq;
  run.end = RunEnd{RunEvent::Cancelled,
                   all.runs[2].end.value_or(RunEnd{}).time,
                   20,
                   {Unguarded(Progression::Of(3, 1, 20, 1)), Progression::Of(1, 7000, 20, 5),
                    Progression::Of(12, 90, 20, -1)}};
  EXPECT_EQ(all.runs[2], run);
  EXPECT_EQ(all.runs[1].templateName, "bad \xEF\xBF\xBD\xEF\xBF\xBD utf-8");
  EXPECT_EQ(all.runs[1].Outcome(), JournalRun::Result::Interrupted);
  EXPECT_EQ(all.runs[0].planned, reposition.planned);
  EXPECT_EQ(all.runs[0].listed, reposition.listed);
  EXPECT_EQ(all.runs[0].PrintedNumbers(), reposition.planned);
  EXPECT_FALSE(all.runs[0].end->time.empty());
  EXPECT_GT(all.runs[0].seq, all.runs[1].seq);

  // A window of the list: the newest run, then those before it.
  const RunList first = reg->Runs("F", {1});
  ASSERT_EQ(first.runs.size(), 1u);
  EXPECT_TRUE(first.more);
  const RunList rest = reg->Runs("F", {5, first.runs[0].seq});
  ASSERT_EQ(rest.runs.size(), 2u);
  EXPECT_FALSE(rest.more);
  EXPECT_EQ(rest.runs[0].id, test.id);
  EXPECT_TRUE(reg->Runs("another series").runs.empty());
}

// A record with a value that does not read cannot be checked: the run is
// refused unless it may print numbers again, and the record is left as it is.
TEST_P(RegisterTest, ARecordThatDoesNotReadRefusesTheRunUnlessReprintIsAllowed) {
  const auto reg = Open();
  // Each damage to a run of its own series; $ is the run's seq.
  const std::string damages[] = {
      "UPDATE zirvo_runs SET kind = 'impresion' WHERE seq = $",
      "UPDATE zirvo_numbers SET step = 3 WHERE run_seq = $",
      "INSERT INTO zirvo_ends VALUES ($, 'terminada', 't', 0)",
  };
  for (const std::string& damage : damages) {
    SCOPED_TRACE(damage);
    const std::string series = damage;
    const auto plan = [&](int64_t first) {
      return PlannedRun(series, RunKind::Run, {Progression::Of(1, first, 50, 1)});
    };
    ASSERT_TRUE(reg->Reserve(plan(100), false).reserved);
    const int64_t seq = reg->Runs(series).runs.at(0).seq;
    Sql(damage.substr(0, damage.find('$')) + FormatInt(seq) + damage.substr(damage.find('$') + 1));
    try {
      reg->Reserve(plan(149), false);
      ADD_FAILURE() << "reserved past a damaged record";
    } catch (const RegisterError& e) {
      EXPECT_EQ(e.Fault(), RegisterFault::DamagedRecords);
    }
    // Runs far from the damaged record's numbers go on as before.
    EXPECT_TRUE(reg->Reserve(plan(5000), false).reserved);
    const Reservation allowed = reg->Reserve(plan(149), true);
    EXPECT_TRUE(allowed.reserved);
    EXPECT_EQ(allowed.skippedRecords, std::vector<int64_t>{seq});
    EXPECT_EQ(reg->Runs(series).damaged, std::vector<int64_t>{seq});
  }
}

TEST_P(RegisterTest, ABusyRegisterIsWaitedForThenRefusedNeverSkipped) {
  RunRecord held = PlannedRun("F", RunKind::Run, {Progression::Of(1, 1, 10, 1)});
  Open()->Reserve(held, false);
  const auto reg = Open(200);
  {
    testing::WriteLockHolder other(GetParam(), Where());
    const RunRecord plan = PlannedRun("F", RunKind::Run, {Progression::Of(1, 11, 10, 1)});
    try {
      reg->Reserve(plan, false);
      ADD_FAILURE() << "reserved while another run held the register";
    } catch (const RegisterError& e) {
      EXPECT_EQ(e.Fault(), RegisterFault::Busy);
      EXPECT_EQ(std::string(e.what()), OwnText(OwnMessage::RegisterBusy, reg->Description(),
                                               OwnText(OwnMessage::RegisterBusyCause, "0.2")));
    }
    EXPECT_THROW(reg->Finish(held.id, RunEvent::Completed, 10, {}), RegisterError);
    // Reading does not wait for a writer.
    EXPECT_EQ(reg->Runs("F").runs.size(), 1u);
  }
  EXPECT_TRUE(
      reg->Reserve(PlannedRun("F", RunKind::Run, {Progression::Of(1, 11, 10, 1)}), false).reserved);
  reg->Finish(held.id, RunEvent::Completed, 10, {Progression::Of(1, 1, 10, 1)});
}

TEST_P(RegisterTest, AnOldJournalIsImportedOnceAndKeptAsItIs) {
  const std::string journal = dir_.Path("Facturas.journal.csv");
  const std::string lines =
      std::string(kJournalHeader) + "\n" +
      "a1,2025-01-02T10:00:00+01:00,ana,Facturas.pla,Oficina,run,3,1,5,started,,"
      "01:7000..7010;02:50..40,\n"
      "a1,2025-01-02T10:01:00+01:00,ana,Facturas.pla,Oficina,run,3,1,5,completed,3,"
      "01:7000..7010;02:50..40,\n"
      "Fecha;Importe;Hojas\n"  // saved over by a spreadsheet
      "b2,2025-01-03T09:00:00+01:00,luis,Facturas.pla,Oficina,run,100,1,1,started,,01:7100..7199,\n"
      "c3,2025-01-04T09:00:00+01:00,ana,Facturas.pla,Oficina,run,5,1,1,cancelled,2,01:7300..7301,\n"
      "a1,2025-01-05T09:00:00+01:00,ana,Facturas.pla,Oficina,reposition,2,1,0,started,,"
      "01:7005..7000,7005;7000\n"
      "d4,t,ana,Facturas.pla,Oficina,run,3,1,3,started,,01:1..2147483650,\n"
      "e5,t,ana,Facturas.pla,Oficina,run,3,1,3,started,,01:1..8,\n";
  WriteBytes(journal, lines);
  const auto reg = Open();
  EXPECT_FALSE(reg->ImportJournal("F", dir_.Path("Otra.journal.csv")).imported);
  const JournalImport first = reg->ImportJournal("F", journal);
  EXPECT_TRUE(first.imported);
  EXPECT_EQ(first.runs, 5);
  EXPECT_EQ(first.damagedLines, std::vector<int32_t>{4});
  EXPECT_EQ(first.skippedRuns, std::vector<std::string>{"d4"});
  // The same file, by another path, is not imported again.
  const JournalImport second = reg->ImportJournal("F", dir_.Path(".") + "/Facturas.journal.csv");
  EXPECT_FALSE(second.imported);
  EXPECT_EQ(ReadBytes(journal), lines);

  const RunList list = reg->Runs("F");
  ASSERT_EQ(list.runs.size(), 5u);
  const RunRecord& a1 = list.runs[4];
  EXPECT_EQ(a1.planned, (Runs{{1, 7000, 7010, 5}, {2, 50, 40, -5}}));
  EXPECT_EQ(a1.Outcome(), JournalRun::Result::Completed);
  EXPECT_EQ(list.runs[1].id, "a1.2");  // the reposition reused a1's id
  EXPECT_EQ(list.runs[1].listed, (std::vector<int32_t>{7005, 7000}));
  // An increment the range does not fit guards every number between its ends.
  EXPECT_EQ(list.runs[0].planned, Runs{Progression::Of(1, 1, 8, 1)});

  // The imported runs guard their numbers as the journal did, but exactly.
  const auto reserve = [&](Progression p) {
    return reg->Reserve(PlannedRun("F", RunKind::Run, {p}), false).reserved;
  };
  EXPECT_TRUE(reserve(Progression::Of(1, 7001, 3, 5)));
  EXPECT_FALSE(reserve(Progression::Single(1, 7150)));  // b2 was interrupted
  EXPECT_FALSE(reserve(Progression::Single(1, 7301)));  // c3 ended without a start
  EXPECT_TRUE(reserve(Progression::Single(1, 7302)));

  std::filesystem::create_symlink(journal, dir_.Path("Enlace.journal.csv"));
  EXPECT_THROW(reg->ImportJournal("G", dir_.Path("Enlace.journal.csv")), ZirvoError);
  EXPECT_TRUE(reg->Runs("G").runs.empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, RegisterTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         testing::BackendName);

}  // namespace
}  // namespace zirvo
