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
// The files the journal screen exports.
enum class ExportFormat { CsvComma, CsvSemicolon, Json };
// The bytes of `list` in `format`.
std::string ExportRuns(const RunList& list, ExportFormat format);
// The file an export in `format` writes when `chosen` was named: its name
// ends in the format's extension (.csv or .json), which replaces the other
// one or is added after whatever the name holds, so that an export never
// replaces a template, a register or a settings file. An old journal
// ("<name>.journal.csv", whose history the register may not have imported
// yet) is refused: ZirvoError.
std::string ExportFilePath(const std::string& chosen, ExportFormat format);

}  // namespace zirvo
