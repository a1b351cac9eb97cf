// The journal of a template's runs as earlier versions kept it: a CSV file
// beside the template ("Facturas.pla" kept "Facturas.journal.csv") with one
// record when a run, test sheet or reposition began and one when it ended.
// The numbering register imports such a file once (see ImportJournal);
// nothing writes journals any more.
//
// Texts in a record are UTF-8, as the file holds them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zirvo {

enum class RunKind { Run, Test, Reposition };
enum class RunEvent { Started, Completed, Cancelled, Failed };

// The numbers one numerator printed (or plans to print) in a run: the
// number of the first sheet and that of the last, so first > last for a
// numerator counting down.
struct NumberRange {
  int32_t position = 0;  // the numerator's position, 1 to 60
  int64_t first = 0;
  int64_t last = 0;

  int64_t Low() const { return first < last ? first : last; }
  int64_t High() const { return first < last ? last : first; }
  bool operator==(const NumberRange&) const = default;
};

struct JournalRecord {
  std::string run;   // shared by the two records of one run
  std::string time;  // ISO 8601 local time with offset
  std::string user;
  std::string templateName;  // the template's file name
  std::string target;        // the queue, or the PDF file
  RunKind kind = RunKind::Run;
  int32_t sheets = 0;
  int32_t copies = 1;
  int32_t increment = 1;
  RunEvent event = RunEvent::Started;
  // End records: the sheets the printing system completed.
  std::optional<int32_t> completedSheets;
  // Started: the planned numbers; end records: the completed ones.
  std::vector<NumberRange> ranges;
  std::vector<int32_t> repositions;  // the reposition numbers printed

  bool operator==(const JournalRecord&) const = default;
};

// "Facturas.pla" -> "Facturas.journal.csv" (the extension of the file name
// replaced, or ".journal.csv" added when it has none).
std::string JournalPathFor(const std::string& templatePath);

// The file's first line, without its line end.
extern const std::string_view kJournalHeader;

// Ranges as a record holds them: "01:100..149;02:-5..44" (the screen
// separates them by "; ").
std::string FormatNumberRanges(const std::vector<NumberRange>& ranges,
                               std::string_view separator = ";");

// Numbers joined by `separator`: a record's repositions ("120;133"), the
// lines a warning names ("3, 5").
std::string JoinNumbers(const std::vector<int32_t>& numbers, std::string_view separator);

// One record as a CSV line ending in "\n", fields quoted where CSV requires.
std::string FormatJournalRecord(const JournalRecord& record);
// The record of one line (without its line end); nothing when the line is
// not a record of ours.
std::optional<JournalRecord> ParseJournalRecord(std::string_view line);

// What a journal file holds.
struct JournalContents {
  std::vector<JournalRecord> records;  // in file order
  // The 1-based numbers of the lines that are not records (the header
  // aside); they are skipped, never rewritten.
  std::vector<int32_t> damagedLines;
  bool missing = false;  // no such file: an empty journal
};
// Throws ZirvoError when the file exists but cannot be read.
JournalContents ReadJournal(const std::string& path);

// The warning that lines of the journal at `path` were skipped (naming their
// numbers); "" when none was.
std::string DamagedJournalNotice(const std::string& path, const JournalContents& journal);

// One run as the journal tells it: its `started` record and its end record.
struct JournalRun {
  enum class Result { Completed, Cancelled, Failed, Interrupted };

  JournalRecord started;
  std::optional<JournalRecord> ended;  // none for an interrupted run

  Result Outcome() const;
  // The numbers the run must be taken to have printed: an end record's
  // completed ranges, or the whole plan of an interrupted run.
  const std::vector<NumberRange>& PrintedRanges() const;
  // A reposition's numbers, from its end record when it has one.
  const std::vector<int32_t>& Repositions() const;
};
// The runs in the order they began; an end record without its `started`
// record stands alone as a run with that record as both.
std::vector<JournalRun> PairJournalRuns(const std::vector<JournalRecord>& records);

// A record's time as the screens show it: "2026-12-09 20:15:03".
std::string ShownJournalTime(std::string_view time);

// The present moment as a record's time.
std::string JournalTimeNow();

}  // namespace zirvo
