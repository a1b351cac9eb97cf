#include "printing/number_register.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <random>
#include <set>
#include <stdexcept>

#include "base/messages.h"
#include "base/platform.h"

namespace zirvo {
namespace {

// How each kind of number is stored in a row of the numbers table.
enum Part : int64_t {
  kPlanned = 0,
  kCompleted = 1,
  kListed = 2,
  // Numbers recorded but not guarded, planned and completed: readers of
  // registers older than these take their rows for damaged, and fail closed.
  kPlannedUnguarded = 3,
  kCompletedUnguarded = 4,
};
constexpr int64_t kUnguardedOffset = kPlannedUnguarded - kPlanned;

constexpr std::string_view kKindNames[] = {"run", "test", "reposition"};
constexpr std::string_view kEventNames[] = {"started", "completed", "cancelled", "failed"};

std::string_view EventName(RunEvent event) { return kEventNames[static_cast<int>(event)]; }

template <typename Enum, std::size_t N>
std::optional<Enum> Named(const std::string_view (&names)[N],
                          const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  for (std::size_t i = 0; i < N; ++i)
    if (names[i] == *text) return static_cast<Enum>(i);
  return std::nullopt;
}

// A text as a register stores it: valid UTF-8 without NUL characters, which
// a PostgreSQL text cannot hold.
std::string Storable(std::string_view text) {
  std::string valid = ValidUtf8(text);
  std::string out;
  out.reserve(valid.size());
  for (const char c : valid) {
    if (c == '\0')
      out += "\xEF\xBF\xBD";
    else
      out += c;
  }
  return out;
}

// Reads the values of rows strictly: a row with a value that does not read
// makes the whole record damaged.
class RowReader {
 public:
  explicit RowReader(const std::vector<std::optional<std::string>>& row) : row_(row) {}
  bool ok() const { return ok_; }

  std::string Text(std::size_t i) {
    if (!row_[i]) ok_ = false;
    return row_[i].value_or("");
  }
  template <typename Int>
  Int Number(std::size_t i, int64_t min = std::numeric_limits<Int>::min(),
             int64_t max = std::numeric_limits<Int>::max()) {
    int64_t value = 0;
    if (!row_[i] || !TryParseInt64(*row_[i], value) || value < min || value > max) {
      ok_ = false;
      return 0;
    }
    return static_cast<Int>(value);
  }
  template <typename Enum, std::size_t N>
  Enum Name(std::size_t i, const std::string_view (&names)[N]) {
    const auto value = Named<Enum>(names, row_[i]);
    if (!value) ok_ = false;
    return value.value_or(Enum{});
  }
  // Columns first, last and step of a progression of numerator `position`.
  Progression Numbers(int32_t position, std::size_t first) {
    const Progression p{position, Number<int64_t>(first), Number<int64_t>(first + 1),
                        Number<int64_t>(first + 2)};
    if (!IsValidProgression(p)) ok_ = false;
    return p;
  }

 private:
  const std::vector<std::optional<std::string>>& row_;
  bool ok_ = true;
};

std::string SecondsText(int milliseconds) {
  if (milliseconds % 1000 == 0) return FormatInt(milliseconds / 1000);
  return FormatFixed(milliseconds / 1000.0, 1);
}

// Steps of an old journal's range: its increment toward the last number.
// A range the increment does not lead through is taken as every number
// between its ends, so that none of them goes unguarded.
Progression FromJournalRange(const NumberRange& range, int32_t increment) {
  if (range.first == range.last) return Progression::Single(range.position, range.first);
  const int64_t direction = range.first < range.last ? 1 : -1;
  Progression p{range.position, range.first, range.last, direction * std::abs(int64_t{increment})};
  if (!IsValidProgression(p)) p.step = direction;
  return p;
}

// A reposition's journal ranges tell the numbers of its first and last
// sheets only.
void AddJournalNumbers(const JournalRecord& record, std::vector<Progression>& out, bool& valid) {
  for (const NumberRange& range : record.ranges) {
    if (record.kind == RunKind::Reposition) {
      out.push_back(Progression::Single(range.position, range.first));
      if (range.last != range.first) out.push_back(Progression::Single(range.position, range.last));
    } else {
      out.push_back(FromJournalRange(range, record.increment));
    }
  }
  for (const Progression& p : out) valid = valid && IsValidProgression(p);
}

std::string UniqueJournalPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path whole = std::filesystem::absolute(path, error);
  if (error) return path;
  const std::filesystem::path folder =
      std::filesystem::weakly_canonical(whole.parent_path(), error);
  return error ? whole.string() : (folder / whole.filename()).string();
}

}  // namespace

std::string_view RunKindName(RunKind kind) { return kKindNames[static_cast<int>(kind)]; }

JournalRun::Result RunRecord::Outcome() const {
  if (!end) return JournalRun::Result::Interrupted;
  switch (end->event) {
    case RunEvent::Completed:
      return JournalRun::Result::Completed;
    case RunEvent::Cancelled:
      return JournalRun::Result::Cancelled;
    case RunEvent::Started:
    case RunEvent::Failed:
      break;
  }
  return JournalRun::Result::Failed;
}

const std::vector<Progression>& RunRecord::PrintedNumbers() const {
  return end ? end->completed : planned;
}

std::optional<Progression> RunRecord::FirstPrinted() const {
  const std::vector<Progression>& printed = PrintedNumbers();
  if (printed.empty()) return std::nullopt;
  return printed.front();
}

std::vector<int64_t> ReprintNumbers(const RunRecord& run, std::size_t limit, int64_t& left) {
  std::vector<int64_t> numbers;
  left = 0;
  if (run.kind == RunKind::Reposition) {
    const std::size_t taken = std::min(limit, run.listed.size());
    numbers.assign(run.listed.begin(), run.listed.begin() + static_cast<std::ptrdiff_t>(taken));
    left = static_cast<int64_t>(run.listed.size() - taken);
    return numbers;
  }
  const std::optional<Progression> printed = run.FirstPrinted();
  if (!printed) return numbers;
  const int64_t count = printed->Count();
  const int64_t taken =
      limit < static_cast<std::size_t>(count) ? static_cast<int64_t>(limit) : count;
  for (int64_t k = 0; k < taken; ++k) numbers.push_back(printed->first + printed->step * k);
  left = count - taken;
  return numbers;
}

std::string NewRegisterRunId() {
  // Straight from the system's random source: processes forked from one
  // parent must not share a generator's state.
  std::random_device source;
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string id;
  for (int half = 0; half < 2; ++half) {
    uint32_t bits = source();
    for (int i = 0; i < 8; ++i, bits >>= 4) id += kDigits[bits & 15];
  }
  return id;
}

RunRecord NewRun(std::string series, RunKind kind) {
  RunRecord run;
  run.id = NewRegisterRunId();
  run.series = std::move(series);
  run.kind = kind;
  run.user = platform::AccountName();
  run.station = platform::HostName();
  run.time = JournalTimeNow();
  return run;
}

std::string OverlapText(const RegisterOverlap& overlap) {
  std::string position = FormatInt(overlap.planned.position);
  if (position.size() < 2) position.insert(0, "0");
  const RunRecord& earlier = overlap.earlier;
  const std::string station = earlier.station.empty() ? "-" : earlier.station;
  return OwnText(OwnMessage::ReprintNumbers, position, FormatProgression(overlap.shared)) + " " +
         OwnText(OwnMessage::RegisterPrintedWhere, ShownJournalTime(earlier.time), earlier.target) +
         " " + OwnText(OwnMessage::RegisterPrintedBy, earlier.user, station);
}

// One transaction of the register: rolled back unless committed.
class NumberRegister::Transaction {
 public:
  Transaction(NumberRegister& reg, bool write) : reg_(reg) { reg_.Begin(write); }
  ~Transaction() {
    if (!done_) reg_.Rollback();
  }
  void Commit() {
    reg_.Commit();
    done_ = true;
  }

 private:
  NumberRegister& reg_;
  bool done_ = false;
};

namespace {

constexpr const char* kInsertRun =
    "INSERT INTO zirvo_runs (id, series, kind, template, target, user_name, station, started, "
    "sheets, copies, increment) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11) "
    "RETURNING seq";
constexpr const char* kInsertEnd =
    "INSERT INTO zirvo_ends (run_seq, event, ended, completed_sheets) VALUES ($1, $2, $3, $4)";
constexpr int kNumberColumns = 8;
constexpr std::size_t kNumbersPerInsert = 50;

// The numbers a run's guard may meet: those of one numerator of the series
// whose span meets [$3, $4]. Either bound alone finds them through its
// index; the other ("+" keeps it from the index) only filters. Numbers grow
// from run to run on an ascending numerator, so few stored spans reach
// above the plan's lowest number; on a descending one few reach below its
// highest. Their runs are read one by one afterwards: a join here lets a
// server's planner scan every run of the series.
constexpr const char* kHigh =
    "(CASE WHEN first_number > last_number THEN first_number ELSE last_number END)";
constexpr const char* kLow =
    "(CASE WHEN first_number < last_number THEN first_number ELSE last_number END)";
std::string CandidateQuery(bool ascending) {
  std::string sql =
      "SELECT run_seq, part, first_number, last_number, step FROM zirvo_numbers "
      "WHERE series = $1 AND position = $2 AND part <= 1 AND ";
  if (ascending)
    sql += std::string(kHigh) + " >= $3 AND +" + kLow + " <= $4";
  else
    sql += std::string(kLow) + " <= $4 AND +" + kHigh + " >= $3";
  return sql;
}
constexpr const char* kEarlierRunQuery =
    "SELECT r.id, r.kind, r.started, r.user_name, r.station, r.target, e.event "
    "FROM zirvo_runs r LEFT JOIN zirvo_ends e ON e.run_seq = r.seq WHERE r.seq = $1";

std::string NumbersInsert(std::size_t rows) {
  std::string sql =
      "INSERT INTO zirvo_numbers (run_seq, part, ord, series, position, first_number, "
      "last_number, step) VALUES ";
  int parameter = 1;
  for (std::size_t row = 0; row < rows; ++row) {
    sql += row == 0 ? "(" : ", (";
    for (int column = 0; column < kNumberColumns; ++column)
      sql += (column == 0 ? "$" : ", $") + FormatInt(parameter++);
    sql += ")";
  }
  return sql;
}

// The operator is told of the first planned number printed already: of the
// first numerator whose plan meets printed numbers, the one its run would
// print first, by the latest run that printed it. Plans are checked in
// their order, so a told overlap of another plan came first.
bool TellsSooner(const std::optional<RegisterOverlap>& told, const Progression& plan,
                 const Progression& shared, int64_t seq) {
  if (!told) return true;
  if (told->planned != plan) return false;
  const auto distance = [&](const Progression& s) { return std::abs(s.first - plan.first); };
  if (distance(shared) != distance(told->shared)) return distance(shared) < distance(told->shared);
  return seq > told->earlier.seq;
}

void RequireValid(const std::vector<Progression>& list) {
  for (const Progression& p : list)
    if (!IsValidProgression(p))
      throw std::invalid_argument("not a progression: " + FormatProgressions({p}));
}

}  // namespace

[[noreturn]] void NumberRegister::Fail(OwnMessage message, const Failure& failure) const {
  if (message == OwnMessage::RegisterUnusable && failure.fault == RegisterFault::Busy)
    message = OwnMessage::RegisterBusy;
  throw RegisterError(failure.fault, OwnText(message, Description(), failure.cause));
}

void NumberRegister::StoreNumbers(int64_t seq, const std::string& series, int64_t part,
                                  const std::vector<Progression>& list) {
  for (std::size_t from = 0; from < list.size(); from += kNumbersPerInsert) {
    const std::size_t rows = std::min(kNumbersPerInsert, list.size() - from);
    std::vector<Param> params;
    params.reserve(rows * kNumberColumns);
    for (std::size_t i = from; i < from + rows; ++i) {
      const Progression& p = list[i];
      const int64_t stored = p.guarded || part == kListed ? part : part + kUnguardedOffset;
      params.insert(params.end(), {seq, stored, static_cast<int64_t>(i), series, p.position,
                                   p.first, p.last, p.step});
    }
    Query(NumbersInsert(rows), params);
  }
}

int64_t NumberRegister::StoreRun(const RunRecord& run) {
  const auto rows =
      Query(kInsertRun,
            {Storable(run.id), Storable(run.series), std::string(RunKindName(run.kind)),
             Storable(run.templateName), Storable(run.target), Storable(run.user),
             Storable(run.station), Storable(run.time), run.sheets, run.copies, run.increment});
  int64_t seq = 0;
  if (rows.size() != 1 || rows[0].empty() || !rows[0][0] || !TryParseInt64(*rows[0][0], seq))
    throw Failure{RegisterFault::Unusable, OwnText(OwnMessage::RegisterNotARegister)};
  StoreNumbers(seq, Storable(run.series), kPlanned, run.planned);
  std::vector<Progression> listed;
  for (const int32_t number : run.listed) listed.push_back(Progression::Single(0, number));
  StoreNumbers(seq, Storable(run.series), kListed, listed);
  return seq;
}

void NumberRegister::StoreEnd(int64_t seq, const std::string& series, const RunEnd& end) {
  Query(kInsertEnd,
        {seq, std::string(EventName(end.event)), Storable(end.time), end.completedSheets});
  StoreNumbers(seq, series, kCompleted, end.completed);
}

Reservation NumberRegister::Reserve(const RunRecord& run, bool allowReprint, bool passDamaged) {
  RequireValid(run.planned);
  if (run.id.empty() || run.series.empty())
    throw std::invalid_argument("a run needs an id and a series");
  if (run.sheets < 0 || run.copies < 0 || run.increment < 0)
    throw std::invalid_argument("sheets, copies and increment are never negative");
  try {
    Transaction transaction(*this, true);
    LockSeries(Storable(run.series));
    Reservation reservation;
    int64_t damaged = 0;
    for (const Progression& plan : run.planned) {
      if (run.kind != RunKind::Run) break;  // test sheets and repositions are never refused
      if (!plan.guarded) continue;
      const auto rows = Query(CandidateQuery(plan.step >= 0),
                              {Storable(run.series), plan.position, plan.Low(), plan.High()});
      for (const Row& row : rows) {
        RowReader read(row);
        RunRecord earlier;
        earlier.seq = read.Number<int64_t>(0);
        const int64_t part = read.Number<int64_t>(1, kPlanned, kCompleted);
        const Progression printed = read.Numbers(plan.position, 2);
        auto runRows = read.ok() ? Query(kEarlierRunQuery, {earlier.seq}) : std::vector<Row>();
        bool ended = false;
        RunEvent event = RunEvent::Started;
        if (runRows.size() == 1) {
          RowReader readRun(runRows[0]);
          earlier.id = readRun.Text(0);
          earlier.kind = readRun.Name<RunKind>(1, kKindNames);
          earlier.time = readRun.Text(2);
          earlier.user = readRun.Text(3);
          earlier.station = readRun.Text(4);
          earlier.target = readRun.Text(5);
          ended = runRows[0][6].has_value();
          if (ended) event = readRun.Name<RunEvent>(6, kEventNames);
          if (!readRun.ok() || (ended && event == RunEvent::Started)) runRows.clear();
        }
        if (runRows.size() != 1) {
          ++damaged;
          reservation.skippedRecords.push_back(earlier.seq);
          continue;
        }
        // An ended run guards what it completed, an interrupted one its plan.
        if (earlier.kind != RunKind::Run || (part == kPlanned) == ended) continue;
        const auto shared = SharedNumbers(plan, printed);
        if (!shared) continue;
        if (TellsSooner(reservation.overlap, plan, *shared, earlier.seq))
          reservation.overlap = RegisterOverlap{plan, printed, *shared, earlier};
      }
    }
    if (damaged > 0 && !passDamaged)
      throw RegisterError(RegisterFault::DamagedRecords,
                          OwnText(OwnMessage::RegisterDamaged, Description(), FormatInt(damaged)));
    if (reservation.overlap && !allowReprint) return reservation;
    StoreRun(run);
    transaction.Commit();
    reservation.reserved = true;
    return reservation;
  } catch (const Failure& failure) {
    Fail(OwnMessage::RegisterUnusable, failure);
  }
}

void NumberRegister::Finish(const std::string& runId, RunEvent event, int32_t completedSheets,
                            const std::vector<Progression>& completed) {
  RequireValid(completed);
  if (event == RunEvent::Started) throw std::invalid_argument("an end cannot be `started`");
  if (completedSheets < 0) throw std::invalid_argument("completed sheets are never negative");
  try {
    Transaction transaction(*this, true);
    const auto rows = Query("SELECT seq, series FROM zirvo_runs WHERE id = $1", {runId});
    if (rows.empty())
      throw Failure{RegisterFault::Unusable, OwnText(OwnMessage::RegisterUnknownRun, runId)};
    RowReader read(rows[0]);
    const int64_t seq = read.Number<int64_t>(0);
    const std::string series = read.Text(1);
    LockSeries(series);
    if (!read.ok() || !Query("SELECT 1 FROM zirvo_ends WHERE run_seq = $1", {seq}).empty())
      throw Failure{RegisterFault::Unusable, OwnText(OwnMessage::RegisterRunEnded, runId)};
    StoreEnd(seq, series, RunEnd{event, JournalTimeNow(), completedSheets, completed});
    transaction.Commit();
  } catch (const Failure& failure) {
    Fail(OwnMessage::RegisterEndNotStored, failure);
  }
}

namespace {

constexpr const char* kRunsQuery =
    "SELECT r.seq, r.id, r.kind, r.template, r.target, r.user_name, r.station, r.started, "
    "r.sheets, r.copies, r.increment, e.event, e.ended, e.completed_sheets FROM zirvo_runs r "
    "LEFT JOIN zirvo_ends e ON e.run_seq = r.seq WHERE r.series = $1 AND r.seq < $2 "
    "ORDER BY r.seq DESC LIMIT $3";
constexpr const char* kRunNumbersQuery =
    "SELECT run_seq, part, position, first_number, last_number, step FROM zirvo_numbers "
    "WHERE run_seq >= $1 AND run_seq <= $2 "
    "ORDER BY run_seq, CASE WHEN part > 2 THEN part - 3 ELSE part END, ord";

std::optional<RunRecord> RunOfRow(const std::vector<std::optional<std::string>>& row,
                                  const std::string& series) {
  RowReader read(row);
  RunRecord run;
  run.seq = read.Number<int64_t>(0);
  run.id = read.Text(1);
  run.series = series;
  run.kind = read.Name<RunKind>(2, kKindNames);
  run.templateName = read.Text(3);
  run.target = read.Text(4);
  run.user = read.Text(5);
  run.station = read.Text(6);
  run.time = read.Text(7);
  run.sheets = read.Number<int32_t>(8, 0);
  run.copies = read.Number<int32_t>(9, 0);
  run.increment = read.Number<int32_t>(10, 0);
  if (row[11]) {
    RunEnd end;
    end.event = read.Name<RunEvent>(11, kEventNames);
    end.time = read.Text(12);
    end.completedSheets = read.Number<int32_t>(13, 0);
    if (end.event == RunEvent::Started) return std::nullopt;
    run.end = std::move(end);
  }
  if (!read.ok()) return std::nullopt;
  return run;
}

// Adds a numbers row to its run; false when it does not read.
bool AddNumbersRow(RunRecord& run, const std::vector<std::optional<std::string>>& row) {
  RowReader read(row);
  int64_t part = read.Number<int64_t>(1, kPlanned, kCompletedUnguarded);
  if (part == kListed) {
    run.listed.push_back(read.Number<int32_t>(3));
    return read.ok();
  }
  Progression p = read.Numbers(read.Number<int32_t>(2), 3);
  if (part > kListed) {
    p.guarded = false;
    part -= kUnguardedOffset;
  }
  if (!read.ok() || (part == kCompleted && !run.end)) return false;
  (part == kPlanned ? run.planned : run.end->completed).push_back(p);
  return true;
}

}  // namespace

RunList NumberRegister::Runs(const std::string& series, const RunWindow& window) {
  constexpr int64_t kAll = std::numeric_limits<int64_t>::max();
  const std::string stored = Storable(series);
  try {
    Transaction transaction(*this, false);
    const int64_t limit =
        window.limit == 0 ? kAll
                          : static_cast<int64_t>(std::min<std::size_t>(window.limit, kAll - 1) + 1);
    auto rows = Query(kRunsQuery, {stored, window.before > 0 ? window.before : kAll, limit});
    RunList list;
    if (window.limit > 0 && rows.size() > window.limit) {
      list.more = true;
      rows.pop_back();
    }
    // Runs newest first; a run that does not read is kept as a gap.
    std::vector<std::optional<RunRecord>> runs;
    runs.reserve(rows.size());
    std::vector<int64_t> seqs;
    for (const Row& row : rows) {
      int64_t seq = 0;
      if (!row[0] || !TryParseInt64(*row[0], seq)) continue;  // never: the key is an integer
      seqs.push_back(seq);
      runs.push_back(RunOfRow(row, series));
    }
    if (!seqs.empty()) {
      // Runs of other series in between are passed over.
      const auto numbers = Query(kRunNumbersQuery, {seqs.back(), seqs.front()});
      for (const Row& row : numbers) {
        int64_t seq = 0;
        if (!row[0] || !TryParseInt64(*row[0], seq)) continue;
        // Seqs descend: the run's place is found by halving.
        const auto at = std::lower_bound(seqs.begin(), seqs.end(), seq, std::greater<>());
        if (at == seqs.end() || *at != seq) continue;
        auto& run = runs[static_cast<std::size_t>(at - seqs.begin())];
        if (run && !AddNumbersRow(*run, row)) run.reset();
      }
    }
    transaction.Commit();
    for (std::size_t i = 0; i < runs.size(); ++i) {
      if (runs[i])
        list.runs.push_back(std::move(*runs[i]));
      else
        list.damaged.push_back(seqs[i]);
    }
    return list;
  } catch (const Failure& failure) {
    Fail(OwnMessage::RegisterNotRead, failure);
  }
}

namespace {

std::optional<RunRecord> FromJournalRun(const JournalRun& old, const std::string& series) {
  const JournalRecord& s = old.started;
  RunRecord run;
  run.id = s.run;
  run.series = series;
  run.kind = s.kind;
  run.templateName = s.templateName;
  run.target = s.target;
  run.user = s.user;
  run.time = s.time;
  // Counts as a record of the register holds them: never negative.
  const auto count = [](int32_t n) {
    return n == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max()
                                                    : std::abs(n);
  };
  run.sheets = count(s.sheets);
  run.copies = count(s.copies);
  run.increment = count(s.increment);
  run.listed = old.Repositions();
  bool valid = true;
  AddJournalNumbers(s, run.planned, valid);
  if (old.ended) {
    RunEnd end;
    end.event = old.ended->event;
    end.time = old.ended->time;
    end.completedSheets = count(old.ended->completedSheets.value_or(0));
    AddJournalNumbers(*old.ended, end.completed, valid);
    run.end = std::move(end);
  }
  if (!valid) return std::nullopt;
  return run;
}

}  // namespace

JournalImport NumberRegister::ImportJournal(const std::string& series,
                                            const std::string& journalPath) {
  JournalImport result;
  switch (platform::KindOfPath(journalPath)) {
    case platform::PathKind::Missing:
      return result;
    case platform::PathKind::RegularFile:
      break;
    default:
      throw ZirvoError(OwnText(OwnMessage::JournalNotImported, journalPath,
                               OwnText(OwnMessage::RegisterNotRegularFile)));
  }
  const JournalContents journal = ReadJournal(journalPath);
  const std::string key = Storable(UniqueJournalPath(journalPath));
  const std::string stored = Storable(series);
  try {
    Transaction transaction(*this, true);
    LockSeries(stored);
    if (!Query("SELECT 1 FROM zirvo_imports WHERE journal = $1", {key}).empty()) return result;
    std::set<std::string> ids;
    for (const JournalRun& old : PairJournalRuns(journal.records)) {
      auto run = FromJournalRun(old, series);
      if (!run) {
        result.skippedRuns.push_back(old.started.run);
        continue;
      }
      // A run id the register holds already (a journal copied beside
      // another template) is told apart by a suffix: no run is left out.
      const std::string id = Storable(run->id);
      run->id = id;
      for (int n = 2; ids.count(run->id) > 0 ||
                      !Query("SELECT 1 FROM zirvo_runs WHERE id = $1", {run->id}).empty();
           ++n)
        run->id = id + "." + FormatInt(n);
      ids.insert(run->id);
      const int64_t seq = StoreRun(*run);
      if (run->end) StoreEnd(seq, stored, *run->end);
      ++result.runs;
    }
    Query(
        "INSERT INTO zirvo_imports (journal, series, imported, runs, damaged_lines) "
        "VALUES ($1, $2, $3, $4, $5)",
        {key, stored, JournalTimeNow(), result.runs, JoinNumbers(journal.damagedLines, ";")});
    transaction.Commit();
  } catch (const Failure& failure) {
    Fail(OwnMessage::RegisterUnusable, failure);
  }
  result.imported = true;
  result.damagedLines = journal.damagedLines;
  return result;
}

std::vector<std::string> NumberRegister::SchemaStatements(std::string_view seqColumn) {
  return {
      "CREATE TABLE zirvo_schema (version INTEGER NOT NULL)",
      "CREATE TABLE zirvo_runs (seq " + std::string(seqColumn) +
          ", id TEXT NOT NULL UNIQUE, series TEXT NOT NULL, kind TEXT NOT NULL, "
          "template TEXT NOT NULL, target TEXT NOT NULL, user_name TEXT NOT NULL, "
          "station TEXT NOT NULL, started TEXT NOT NULL, sheets BIGINT NOT NULL, "
          "copies BIGINT NOT NULL, increment BIGINT NOT NULL)",
      "CREATE INDEX zirvo_runs_series ON zirvo_runs (series, seq)",
      // part: 0 planned, 1 completed, 2 a reposition's listed numbers
      // (position 0); ord keeps the order they were given in.
      "CREATE TABLE zirvo_numbers (run_seq BIGINT NOT NULL REFERENCES zirvo_runs (seq), "
      "part INTEGER NOT NULL, ord INTEGER NOT NULL, series TEXT NOT NULL, "
      "position INTEGER NOT NULL, first_number BIGINT NOT NULL, last_number BIGINT NOT NULL, "
      "step BIGINT NOT NULL, PRIMARY KEY (run_seq, part, ord))",
      "CREATE INDEX zirvo_numbers_high ON zirvo_numbers (series, position, "
      "(CASE WHEN first_number > last_number THEN first_number ELSE last_number END))",
      "CREATE INDEX zirvo_numbers_low ON zirvo_numbers (series, position, "
      "(CASE WHEN first_number < last_number THEN first_number ELSE last_number END))",
      "CREATE TABLE zirvo_ends (run_seq BIGINT PRIMARY KEY REFERENCES zirvo_runs (seq), "
      "event TEXT NOT NULL, ended TEXT NOT NULL, completed_sheets BIGINT NOT NULL)",
      "CREATE TABLE zirvo_imports (journal TEXT PRIMARY KEY, series TEXT NOT NULL, "
      "imported TEXT NOT NULL, runs BIGINT NOT NULL, damaged_lines TEXT NOT NULL)",
      "INSERT INTO zirvo_schema (version) VALUES (" + FormatInt(kSchemaVersion) + ")",
  };
}

void NumberRegister::RequireKnownVersion(const std::vector<Row>& versionRows) {
  int64_t version = 0;
  if (versionRows.size() != 1 || versionRows[0].empty() || !versionRows[0][0] ||
      !TryParseInt64(*versionRows[0][0], version) || version < 1)
    throw Failure{RegisterFault::Unusable, OwnText(OwnMessage::RegisterNotARegister)};
  if (version > kSchemaVersion)
    throw Failure{RegisterFault::Unusable,
                  OwnText(OwnMessage::RegisterNewerVersion, FormatInt(version))};
}

RegisterError NumberRegister::OpenError(const std::string& description, const Failure& failure) {
  return RegisterError(failure.fault,
                       OwnText(failure.fault == RegisterFault::Busy ? OwnMessage::RegisterBusy
                                                                    : OwnMessage::RegisterUnusable,
                               description, failure.cause));
}

std::string NumberRegister::BusyCause(int busyTimeoutMs) {
  return OwnText(OwnMessage::RegisterBusyCause, SecondsText(busyTimeoutMs));
}

}  // namespace zirvo
