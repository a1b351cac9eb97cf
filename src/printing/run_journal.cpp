#include "printing/run_journal.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <system_error>

#include "base/file_io.h"
#include "base/messages.h"
#include "base/platform.h"
#include "base/text.h"

namespace zirvo {

const std::string_view kJournalHeader =
    "run,time,user,template,target,kind,sheets,copies,increment,event,completed_sheets,ranges,"
    "repositions";

namespace {

constexpr std::size_t kFieldCount = 13;

struct Name {
  std::string_view text;
  int value;
};
constexpr Name kKindNames[] = {{"run", static_cast<int>(RunKind::Run)},
                               {"test", static_cast<int>(RunKind::Test)},
                               {"reposition", static_cast<int>(RunKind::Reposition)}};
constexpr Name kEventNames[] = {{"started", static_cast<int>(RunEvent::Started)},
                                {"completed", static_cast<int>(RunEvent::Completed)},
                                {"cancelled", static_cast<int>(RunEvent::Cancelled)},
                                {"failed", static_cast<int>(RunEvent::Failed)}};

template <std::size_t N>
std::string_view NameOf(const Name (&names)[N], int value) {
  for (const Name& n : names)
    if (n.value == value) return n.text;
  return {};
}

template <std::size_t N>
std::optional<int> ValueOf(const Name (&names)[N], std::string_view text) {
  for (const Name& n : names)
    if (n.text == text) return n.value;
  return std::nullopt;
}

// A field as CSV writes it. Line ends become spaces: every record is one
// line of the file, so a cut line never takes another record with it.
void AppendField(std::string& line, std::string_view field) {
  if (!line.empty()) line += ',';
  const bool quoted = field.find_first_of(",\"\r\n") != std::string_view::npos;
  if (quoted) line += '"';
  for (const char c : field) {
    if (c == '"')
      line += "\"\"";
    else if (c == '\r' || c == '\n')
      line += ' ';
    else
      line += c;
  }
  if (quoted) line += '"';
}

// The fields of one CSV line; nothing when a quote is left open or stray.
std::optional<std::vector<std::string>> SplitCsvLine(std::string_view line) {
  std::vector<std::string> fields(1);
  std::size_t i = 0;
  bool fieldStart = true;
  while (i < line.size()) {
    const char c = line[i];
    if (fieldStart && c == '"') {
      // A quoted field runs to the quote that is not doubled.
      ++i;
      for (;;) {
        if (i >= line.size()) return std::nullopt;
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        fields.back() += line[i++];
      }
      if (i < line.size() && line[i] != ',') return std::nullopt;
      fieldStart = false;
      continue;
    }
    if (c == ',') {
      fields.emplace_back();
      fieldStart = true;
    } else {
      if (c == '"') return std::nullopt;
      fields.back() += c;
      fieldStart = false;
    }
    ++i;
  }
  return fields;
}

template <typename Int>
bool ParseWhole(std::string_view text, Int& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && at == end;
}

std::vector<std::string_view> SplitOn(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  if (text.empty()) return parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find(separator, from);
    parts.push_back(
        text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
    if (at == std::string_view::npos) return parts;
    from = at + 1;
  }
}

}  // namespace

std::string FormatNumberRanges(const std::vector<NumberRange>& ranges, std::string_view separator) {
  std::string text;
  for (const NumberRange& r : ranges) {
    if (!text.empty()) text += separator;
    if (r.position < 10) text += '0';
    text += FormatInt(r.position) + ":" + FormatInt(r.first) + ".." + FormatInt(r.last);
  }
  return text;
}

namespace {

std::optional<std::vector<NumberRange>> ParseRanges(std::string_view text) {
  std::vector<NumberRange> ranges;
  for (const std::string_view part : SplitOn(text, ';')) {
    const std::size_t colon = part.find(':');
    const std::size_t dots = part.find("..", colon == std::string_view::npos ? 0 : colon);
    NumberRange r;
    if (colon == std::string_view::npos || dots == std::string_view::npos ||
        !ParseWhole(part.substr(0, colon), r.position) ||
        !ParseWhole(part.substr(colon + 1, dots - colon - 1), r.first) ||
        !ParseWhole(part.substr(dots + 2), r.last))
      return std::nullopt;
    ranges.push_back(r);
  }
  return ranges;
}

std::optional<std::vector<int32_t>> ParseNumbers(std::string_view text) {
  std::vector<int32_t> numbers;
  for (const std::string_view part : SplitOn(text, ';')) {
    int32_t value = 0;
    if (!ParseWhole(part, value)) return std::nullopt;
    numbers.push_back(value);
  }
  return numbers;
}

}  // namespace

std::string JournalPathFor(const std::string& templatePath) {
  std::filesystem::path path(templatePath);
  path.replace_extension(".journal.csv");
  return path.string();
}

std::string JoinNumbers(const std::vector<int32_t>& numbers, std::string_view separator) {
  std::string text;
  for (const int32_t n : numbers) {
    if (!text.empty()) text += separator;
    text += FormatInt(n);
  }
  return text;
}

std::string FormatJournalRecord(const JournalRecord& record) {
  std::string line;
  line.reserve(160);
  AppendField(line, record.run);
  AppendField(line, record.time);
  AppendField(line, record.user);
  AppendField(line, record.templateName);
  AppendField(line, record.target);
  AppendField(line, NameOf(kKindNames, static_cast<int>(record.kind)));
  AppendField(line, FormatInt(record.sheets));
  AppendField(line, FormatInt(record.copies));
  AppendField(line, FormatInt(record.increment));
  AppendField(line, NameOf(kEventNames, static_cast<int>(record.event)));
  AppendField(line, record.completedSheets ? FormatInt(*record.completedSheets) : "");
  AppendField(line, FormatNumberRanges(record.ranges));
  AppendField(line, JoinNumbers(record.repositions, ";"));
  line += '\n';
  return line;
}

std::optional<JournalRecord> ParseJournalRecord(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const auto fields = SplitCsvLine(line);
  if (!fields || fields->size() != kFieldCount) return std::nullopt;
  const std::vector<std::string>& f = *fields;
  JournalRecord r;
  r.run = f[0];
  r.time = f[1];
  r.user = f[2];
  r.templateName = f[3];
  r.target = f[4];
  const auto kind = ValueOf(kKindNames, f[5]);
  const auto event = ValueOf(kEventNames, f[9]);
  if (r.run.empty() || !kind || !event || !ParseWhole(f[6], r.sheets) ||
      !ParseWhole(f[7], r.copies) || !ParseWhole(f[8], r.increment))
    return std::nullopt;
  r.kind = static_cast<RunKind>(*kind);
  r.event = static_cast<RunEvent>(*event);
  if (!f[10].empty()) {
    int32_t completed = 0;
    if (!ParseWhole(f[10], completed)) return std::nullopt;
    r.completedSheets = completed;
  }
  auto ranges = ParseRanges(f[11]);
  auto repositions = ParseNumbers(f[12]);
  if (!ranges || !repositions) return std::nullopt;
  r.ranges = std::move(*ranges);
  r.repositions = std::move(*repositions);
  return r;
}

JournalContents ReadJournal(const std::string& path) {
  JournalContents contents;
  std::error_code error;
  if (!std::filesystem::exists(path, error) && !error) {
    contents.missing = true;
    return contents;
  }
  const std::string bytes = ReadFileBytes(path);
  std::string_view rest(bytes);
  // A spreadsheet that saved the file may have put a byte-order mark first.
  if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);
  int32_t number = 0;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line == kJournalHeader) continue;
    if (auto record = ParseJournalRecord(line))
      contents.records.push_back(std::move(*record));
    else
      contents.damagedLines.push_back(number);
  }
  return contents;
}

std::string DamagedJournalNotice(const std::string& path, const JournalContents& journal) {
  if (journal.damagedLines.empty()) return {};
  return OwnText(OwnMessage::JournalDamaged, path, JoinNumbers(journal.damagedLines, ", "));
}

JournalRun::Result JournalRun::Outcome() const {
  if (!ended) return Result::Interrupted;
  switch (ended->event) {
    case RunEvent::Completed:
      return Result::Completed;
    case RunEvent::Cancelled:
      return Result::Cancelled;
    case RunEvent::Started:
    case RunEvent::Failed:
      break;
  }
  return Result::Failed;
}

const std::vector<NumberRange>& JournalRun::PrintedRanges() const {
  return ended ? ended->ranges : started.ranges;
}

const std::vector<int32_t>& JournalRun::Repositions() const {
  return ended && !ended->repositions.empty() ? ended->repositions : started.repositions;
}

std::vector<JournalRun> PairJournalRuns(const std::vector<JournalRecord>& records) {
  std::vector<JournalRun> runs;
  std::map<std::string, std::size_t, std::less<>> open;  // run id -> run still without its end
  for (const JournalRecord& record : records) {
    if (record.event == RunEvent::Started) {
      open[record.run] = runs.size();
      runs.push_back({record, std::nullopt});
      continue;
    }
    const auto found = open.find(record.run);
    if (found != open.end()) {
      runs[found->second].ended = record;
      open.erase(found);
    } else {
      runs.push_back({record, record});
    }
  }
  return runs;
}

std::string ShownJournalTime(std::string_view time) {
  std::string shown(time.substr(0, 19));
  if (shown.size() > 10 && shown[10] == 'T') shown[10] = ' ';
  return shown;
}

std::string JournalTimeNow() { return platform::LocalTimeIso8601(); }

}  // namespace zirvo
