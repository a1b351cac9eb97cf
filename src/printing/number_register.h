// The numbering register: the record of every run, test sheet and
// reposition of a series of templates, held in a database, that reserves a
// run's numbers before anything is printed.
//
// A series is the numbering that one template, and every copy saved to go
// on with it, shares; the register knows it by a text the caller gives (the
// series identity a template carries, or its canonical path).
//
// The life of a run:
//   RunRecord run = NewRun(series, RunKind::Run);     // who, where, when
//   ... fill template, target, sheets, copies, increment, planned ...
//   Reservation r = reg.Reserve(run, allowReprint);   // before printing
//   if (!r.reserved) -> ask about r.overlap (or refuse), print nothing
//   ... print ...
//   reg.Finish(run.id, RunEvent::Completed, sheets, completedProgressions);
//
// The guard: a run (kind Run) is refused when one of its planned numbers was
// printed already by a run of kind Run of the same series. A run that ended
// (completed, cancelled or failed) printed what its end record says was
// completed; a run without an end record (interrupted: its program was
// killed, the machine stopped) is taken to have printed its whole plan.
// Test sheets and repositions are recorded, never refused, and never
// refuse anything.
//
// Failing closed: every failure is a RegisterError; see RegisterFault for
// what allowReprint does about each. Nothing here rewrites, repairs or
// truncates a register: records are only ever added.
//
// Texts in records and messages are UTF-8, as every text of the program
// (invalid sequences are replaced when stored).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/messages.h"
#include "base/text.h"
#include "printing/progression.h"
#include "printing/run_journal.h"

namespace zirvo {

// How a run ended. A run without one was interrupted.
struct RunEnd {
  RunEvent event = RunEvent::Completed;  // Completed, Cancelled or Failed
  std::string time;                      // ISO 8601 local time with offset
  int32_t completedSheets = 0;           // sheets completed with all their copies
  // The numbers of the completed sheets, per numerator.
  std::vector<Progression> completed;

  bool operator==(const RunEnd&) const = default;
};

struct RunRecord {
  // Given by the register when it stores the record: the order of
  // reservation, higher for later runs. 0 before that.
  int64_t seq = 0;
  std::string id;  // random hex digits, unique in the register
  std::string series;
  RunKind kind = RunKind::Run;
  std::string templateName;  // the template's file name
  std::string target;        // the queue, or the PDF file with its whole path
  std::string user;          // the account that printed
  std::string station;       // the machine it printed from
  std::string time;          // when it was reserved: ISO 8601 local time with offset
  int32_t sheets = 0;
  int32_t copies = 1;
  int32_t increment = 0;  // never negative: each progression's step carries the direction
  // The numbers planned, per numerator: a run's and a test sheet's one
  // progression each; a reposition's exact numbers, one single-number
  // progression per sheet and numerator.
  std::vector<Progression> planned;
  // A reposition: the numbers of the first numerator as listed, in order.
  std::vector<int32_t> listed;
  std::optional<RunEnd> end;

  JournalRun::Result Outcome() const;
  // What the guard holds against later runs: the completed numbers of an
  // ended run, the whole plan of an interrupted one.
  const std::vector<Progression>& PrintedNumbers() const;
  // The first numerator's part of PrintedNumbers: what the journal screen
  // shows of a run. Nothing for a run that printed none.
  std::optional<Progression> FirstPrinted() const;
  bool operator==(const RunRecord&) const = default;
};

// The numbers "Reponer" takes from a run for the reposition list: a
// reposition's listed numbers; for a run or a test sheet FirstPrinted(),
// first, first + step, ... No more than `limit`; `left` tells how many were
// left out.
std::vector<int64_t> ReprintNumbers(const RunRecord& run, std::size_t limit, int64_t& left);

// "run", "test" or "reposition", as registers and exports name kinds.
std::string_view RunKindName(RunKind kind);

// A record for a run that starts now: a fresh id, the series and kind, the
// account (never $USER), this machine's host name and the present time.
RunRecord NewRun(std::string series, RunKind kind);
// 16 random hex digits.
std::string NewRegisterRunId();

// Planned numbers that a run of the series printed already.
struct RegisterOverlap {
  Progression planned;  // the plan's progression that meets them
  Progression printed;  // what the earlier run printed (or planned, interrupted)
  Progression shared;   // the numbers both hold, in the plan's order
  RunRecord earlier;    // the earlier run (without its numbers)
};
// "Numerator 01 already printed the numbers 7010,7025..7040 on 2026-12-09
// 20:15:03 to Oficina, by ana at caja-2." in the language of the messages.
std::string OverlapText(const RegisterOverlap& overlap);

struct Reservation {
  // The `started` record is stored: the run may print.
  bool reserved = false;
  // Numbers printed already (the latest run that printed them). Without
  // allowReprint the run is then not reserved; with it, it is, and the
  // overlap is still told.
  std::optional<RegisterOverlap> overlap;
  // With passDamaged: the seq of records that did not read and were passed
  // over by the check.
  std::vector<int64_t> skippedRecords;
};

// The runs of a series, newest first.
struct RunList {
  std::vector<RunRecord> runs;
  // The seq of runs whose records did not read: left out of `runs`.
  std::vector<int64_t> damaged;
  bool more = false;  // older runs lie beyond the window asked for
};
struct RunWindow {
  std::size_t limit = 0;  // at most this many runs; 0 for all
  int64_t before = 0;     // only runs older than this seq; 0 from the newest
};

// What importing an old journal did.
struct JournalImport {
  bool imported = false;  // false: no journal there, or imported before
  int32_t runs = 0;       // runs added to the register
  // The 1-based numbers of the journal's lines that are not records, and the
  // ids of records whose numbers could not be taken: nothing of them is in
  // the register.
  std::vector<int32_t> damagedLines;
  std::vector<std::string> skippedRuns;
};

enum class RegisterFault {
  // The register cannot be opened, reached, read or written: its file is
  // missing from a folder that cannot be written, a symbolic link, a FIFO,
  // damaged or not a register; the server does not answer; the record could
  // not be stored. Nothing can be recorded, so nothing is printed, whatever
  // allowReprint says.
  Unusable,
  // Another run held the register longer than the wait allowed. Nothing was
  // stored or printed; the same call may be made again.
  Busy,
  // Records that the check must read do not read (a bad value in a row).
  // Reserve refuses the run unless allowReprint, which passes over them.
  DamagedRecords,
};

class RegisterError : public ZirvoError {
 public:
  RegisterError(RegisterFault fault, const std::string& message)
      : ZirvoError(message), fault_(fault) {}
  RegisterFault Fault() const { return fault_; }

 private:
  RegisterFault fault_;
};

// How long a call waits for a register another run holds.
struct RegisterOptions {
  int busyTimeoutMs = 10000;
};

// One register. The implementations hold one connection; an object is used
// by one thread at a time. Every call is one transaction: it is stored
// whole or not at all, also when the process is killed part-way.
class NumberRegister {
 public:
  virtual ~NumberRegister() = default;
  NumberRegister(const NumberRegister&) = delete;
  NumberRegister& operator=(const NumberRegister&) = delete;

  // Which register this is, for the print page and messages, without any
  // password: "SQLite: /srv/plantillas/Registro.sqlite",
  // "PostgreSQL: sala@host:5432/zirvo". UTF-8.
  const std::string& Description() const { return description_; }

  // Checks `run` against the series' printed runs and, unless numbers were
  // printed already and allowReprint is false, stores its `started` record;
  // both in one transaction, so of two runs over the same numbers that start
  // together exactly one is reserved. The overlap told is the first number
  // of the plan printed already (first numerator first), by the latest run
  // that printed it. A test sheet or a reposition is stored without a
  // check. `run` must come from NewRun (an id not used before)
  // with valid progressions (std::invalid_argument otherwise). Throws
  // RegisterError: Unusable, Busy, or DamagedRecords (without allowReprint).
  Reservation Reserve(const RunRecord& run, bool allowReprint) {
    return Reserve(run, allowReprint, allowReprint);
  }
  // The same, with leave to pass over records that do not read given apart:
  // `passDamaged` alone lets the run print although some records could not
  // be checked, yet still refuses it for numbers the readable ones printed.
  Reservation Reserve(const RunRecord& run, bool allowReprint, bool passDamaged);

  // Stores the end record of the run `runId`, stamped with the present
  // time, in its own transaction. A run has one end: a second one, or an
  // unknown id, is refused (RegisterError Unusable), as is any failure to
  // store it; the run then stays interrupted and keeps guarding its whole
  // plan.
  void Finish(const std::string& runId, RunEvent event, int32_t completedSheets,
              const std::vector<Progression>& completed);

  // The series' runs, newest first, with their ends, within `window`. Runs
  // whose records do not read are listed by seq apart. Throws RegisterError
  // (Unusable or Busy) when the register cannot be read. A page of a few
  // hundred runs reads in a few milliseconds whatever the register holds;
  // all of 100,000 runs take most of a second, so a screen reads a page
  // ({200}) and the next ones ({200, last seq shown}) as it scrolls.
  RunList Runs(const std::string& series, const RunWindow& window = {});

  // Imports the old journal at `journalPath` (see JournalPathFor) into the
  // series once: its runs become records of the register, the journal stays
  // as it is. The register remembers the journal by its whole path and
  // imports it no second time. A missing journal imports nothing. Throws
  // ZirvoError when the journal is a link, not a regular file or unreadable,
  // RegisterError when the register is.
  JournalImport ImportJournal(const std::string& series, const std::string& journalPath);

 protected:
  explicit NumberRegister(std::string description) : description_(std::move(description)) {}

  // A value of a row: NULL, or its text (integers in decimal).
  using Value = std::optional<std::string>;
  using Row = std::vector<Value>;
  // A parameter of a statement: an integer or a text.
  struct Param {
    Param(int64_t n) : isText(false), number(n) {}
    Param(std::string t) : isText(true), text(std::move(t)) {}
    bool isText;
    int64_t number = 0;
    std::string text;
  };
  // A failure of the database, before it becomes a RegisterError.
  struct Failure {
    RegisterFault fault;
    std::string cause;  // one line
  };

  // The primitives of one database. Statements use $1, $2 ... for their
  // parameters. Every failure is thrown as Failure.
  //
  // Begins a transaction: a write one excludes every other writer of the
  // series (taking LockSeries for the series it names) until it ends,
  // waiting at most the busy timeout; a read one sees one state throughout.
  virtual void Begin(bool write) = 0;
  // In a write transaction: waits until no other writer holds `series`.
  virtual void LockSeries(const std::string& series) = 0;
  virtual void Commit() = 0;
  virtual void Rollback() noexcept = 0;
  virtual std::vector<Row> Query(const std::string& sql, const std::vector<Param>& params) = 0;

  // The cause of a Busy failure after waiting `busyTimeoutMs`.
  static std::string BusyCause(int busyTimeoutMs);
  // The tables of a register, for a database without them; `seqColumn`
  // declares the run's key, which the database numbers in order.
  static constexpr int kSchemaVersion = 1;
  static std::vector<std::string> SchemaStatements(std::string_view seqColumn);
  // Throws Failure unless the row of the version table holds a version this
  // program reads.
  static void RequireKnownVersion(const std::vector<Row>& versionRows);
  // The error an implementation's Open throws for `failure`.
  static RegisterError OpenError(const std::string& description, const Failure& failure);

 private:
  class Transaction;
  [[noreturn]] void Fail(OwnMessage message, const Failure& failure) const;
  int64_t StoreRun(const RunRecord& run);
  void StoreEnd(int64_t seq, const std::string& series, const RunEnd& end);
  void StoreNumbers(int64_t seq, const std::string& series, int64_t part,
                    const std::vector<Progression>& list);

  std::string description_;
};

}  // namespace zirvo
