#include "printing/register_export.h"

#include "base/messages.h"

namespace zirvo {
namespace {

std::string_view ResultText(JournalRun::Result result) {
  switch (result) {
    case JournalRun::Result::Completed:
      return "completed";
    case JournalRun::Result::Cancelled:
      return "cancelled";
    case JournalRun::Result::Failed:
      return "failed";
    case JournalRun::Result::Interrupted:
      break;
  }
  return "interrupted";
}

// One run's columns as texts, in the order of the header.
std::vector<std::string> Columns(const RunRecord& run) {
  return {run.id,
          run.series,
          std::string(RunKindName(run.kind)),
          run.templateName,
          run.target,
          run.user,
          run.station,
          run.time,
          FormatInt(run.sheets),
          FormatInt(run.copies),
          FormatInt(run.increment),
          FormatProgressions(run.planned),
          JoinNumbers(run.listed, ";"),
          std::string(ResultText(run.Outcome())),
          run.end ? run.end->time : std::string(),
          run.end ? FormatInt(run.end->completedSheets) : std::string(),
          FormatProgressions(run.PrintedNumbers())};
}

constexpr const char* kColumnNames[] = {
    "run",         "series", "kind",   "template",         "target",    "user",
    "station",     "time",   "sheets", "copies",           "increment", "planned",
    "repositions", "result", "ended",  "completed_sheets", "printed"};

void AppendCsvField(std::string& line, std::string_view field, char separator) {
  std::string text = ValidUtf8(field);
  // A spreadsheet reads a cell beginning with one of these as a formula.
  if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
    text.insert(0, "'");
  const bool quoted = text.find_first_of(std::string("\"\r\n") + separator) != std::string::npos;
  if (quoted) line += '"';
  for (const char c : text) {
    if (c == '"') line += '"';
    line += c;
  }
  if (quoted) line += '"';
}

void AppendCsvLine(std::string& out, const std::vector<std::string>& fields, char separator) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += separator;
    AppendCsvField(out, fields[i], separator);
  }
  out += "\r\n";
}

std::string JsonText(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : ValidUtf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string JsonProgressions(const std::vector<Progression>& list) {
  std::string out = "[";
  for (const Progression& p : list) {
    if (out.size() > 1) out += ", ";
    out += "{\"position\": " + FormatInt(p.position) + ", \"first\": " + FormatInt(p.first) +
           ", \"last\": " + FormatInt(p.last) + ", \"step\": " + FormatInt(p.step) + "}";
  }
  return out + "]";
}

std::string JsonRun(const RunRecord& run) {
  const std::vector<std::string> columns = Columns(run);
  std::string out = "{";
  const auto add = [&](std::size_t column, const std::string& value) {
    if (out.size() > 1) out += ", ";
    out += JsonText(kColumnNames[column]) + ": " + value;
  };
  for (std::size_t column = 0; column < 8; ++column) add(column, JsonText(columns[column]));
  add(8, columns[8]);
  add(9, columns[9]);
  add(10, columns[10]);
  add(11, JsonProgressions(run.planned));
  add(12, "[" + JoinNumbers(run.listed, ", ") + "]");
  add(13, JsonText(columns[13]));
  add(14, run.end ? JsonText(columns[14]) : "null");
  add(15, run.end ? columns[15] : "null");
  add(16, JsonProgressions(run.PrintedNumbers()));
  return out + "}";
}

std::string JoinSeqs(const std::vector<int64_t>& seqs, std::string_view separator) {
  std::string text;
  for (const int64_t seq : seqs)
    text += (text.empty() ? "" : std::string(separator)) + FormatInt(seq);
  return text;
}

}  // namespace

bool IsCsvSeparator(char separator) {
  const auto byte = static_cast<unsigned char>(separator);
  if (byte >= 0x80 || separator == '"' || separator == '\r' || separator == '\n') return false;
  if ((separator >= '0' && separator <= '9') || (separator >= 'a' && separator <= 'z') ||
      (separator >= 'A' && separator <= 'Z'))
    return false;
  return separator == '\t' || byte >= 0x20;
}

std::string RunsCsv(const RunList& list, char separator) {
  if (!IsCsvSeparator(separator))
    throw ZirvoError(OwnText(OwnMessage::ExportSeparatorInvalid, std::string(1, separator)));
  std::string out = "\xEF\xBB\xBF";
  AppendCsvLine(out, std::vector<std::string>(std::begin(kColumnNames), std::end(kColumnNames)),
                separator);
  for (const RunRecord& run : list.runs) AppendCsvLine(out, Columns(run), separator);
  return out;
}

std::string RunsJson(const RunList& list) {
  std::string out = "{\n  \"runs\": [";
  for (std::size_t i = 0; i < list.runs.size(); ++i)
    out += (i == 0 ? "\n    " : ",\n    ") + JsonRun(list.runs[i]);
  out += list.runs.empty() ? "]" : "\n  ]";
  return out + ",\n  \"damagedRecords\": [" + JoinSeqs(list.damaged, ", ") + "]\n}\n";
}

std::string RunsText(const RunList& list) {
  std::string out;
  for (const RunRecord& run : list.runs) {
    const std::vector<std::string> columns = Columns(run);
    for (std::size_t column = 0; column < columns.size(); ++column)
      out += std::string(column == 0 ? "" : " ") + kColumnNames[column] + "=" +
             JsonText(columns[column]);
    out += "\n";
  }
  return out;
}

std::string ExportRuns(const RunList& list, ExportFormat format) {
  switch (format) {
    case ExportFormat::CsvComma:
      return RunsCsv(list, ',');
    case ExportFormat::CsvSemicolon:
      return RunsCsv(list, ';');
    case ExportFormat::Json:
      break;
  }
  return RunsJson(list);
}

std::string ExportFilePath(const std::string& chosen, ExportFormat format) {
  const auto endsWith = [](std::string_view name, std::string_view end, bool anyCase) {
    if (name.size() < end.size()) return false;
    const std::string_view tail = name.substr(name.size() - end.size());
    for (std::size_t i = 0; i < end.size(); ++i) {
      const char c = anyCase && tail[i] >= 'A' && tail[i] <= 'Z' ? tail[i] - 'A' + 'a' : tail[i];
      if (c != end[i]) return false;
    }
    return true;
  };
  std::string path = chosen;
  for (const std::string_view known : {".csv", ".json"}) {
    if (endsWith(path, known, true)) {
      path.resize(path.size() - known.size());
      break;
    }
  }
  path += format == ExportFormat::Json ? ".json" : ".csv";
  // What JournalPathFor names.
  if (endsWith(path, ".journal.csv", false))
    throw ZirvoError(OwnText(OwnMessage::ExportOntoJournal, path));
  return path;
}

}  // namespace zirvo
