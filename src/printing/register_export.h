// The runs of a series as files for other programs: CSV for spreadsheets,
// JSON for scripts. Both are UTF-8 whatever the register holds: a malformed
// sequence in a stored text becomes U+FFFD.
#pragma once

#include <string>

#include "printing/number_register.h"

namespace zirvo {

// The columns of both exports, in order: run, series, kind, template,
// target, user, station, time, sheets, copies, increment, planned,
// repositions, result, ended, completed_sheets, printed. `planned` and
// `printed` are FormatProgressions lists; `printed` is what the guard holds
// against later runs; `result` is completed, cancelled, failed or
// interrupted.
//
// CSV: a UTF-8 byte-order mark (so that spreadsheets in any locale read the
// text as UTF-8), a header line, one line per run ending in CR LF; a field
// is quoted when it holds the separator, a quote or a line end, and a field
// that begins with = + - @, a tab or a CR gets an apostrophe in front, so
// that no spreadsheet takes it for a formula.
bool IsCsvSeparator(char separator);  // not a quote, letter, digit, line end or non-ASCII
// Throws ZirvoError for a separator IsCsvSeparator refuses.
std::string RunsCsv(const RunList& list, char separator = ',');

// JSON: {"runs": [...], "damagedRecords": [seq, ...]}, a run an object with
// the columns above (completedSheets for completed_sheets; numbers as
// numbers, progressions as {"position", "first", "last", "step"} objects,
// ended null for an interrupted run).
std::string RunsJson(const RunList& list);

// Text for a terminal: one line per run of name="value" fields (the columns
// above, values quoted and escaped as JSON strings).
std::string RunsText(const RunList& list);

}  // namespace zirvo
