#include "base/csv.h"

#include <algorithm>

#include "base/text.h"

namespace zirvo {
namespace {

// The line without the characters of code 0 to 32 at either end, as Trim
// cuts them, without a copy.
std::string_view Trimmed(std::string_view line) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!line.empty() && blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && blank(line.back())) line.remove_suffix(1);
  return line;
}

}  // namespace

void SplitLine(std::string_view line, char delimiter, std::vector<std::string>& fields,
               std::size_t maxFields) {
  std::size_t pos = 0;
  for (std::size_t taken = 0; pos < line.size() && taken < maxFields; ++taken) {
    const std::size_t end = line.find(delimiter, pos);
    if (end == std::string_view::npos) {
      fields.emplace_back(line.substr(pos));
      return;
    }
    fields.emplace_back(line.substr(pos, end - pos));
    pos = end + 1;
  }
}

bool LinesToGrid(std::span<const std::string> lines, CsvGrid& grid, int32_t& rows, int32_t& cols,
                 char delimiter, std::size_t maxColumns) {
  rows = 0;
  cols = 0;
  if (lines.empty()) return false;
  std::vector<std::string> fields;
  SplitLine(lines.front(), delimiter, fields, std::max<std::size_t>(maxColumns, 2) - 1);
  if (fields.empty()) return true;

  const auto columnCount = fields.size() + 1;
  grid.assign(columnCount, std::vector<std::string>(lines.size()));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    fields.clear();
    SplitLine(Trimmed(lines[i]), delimiter, fields, columnCount - 1);
    grid[0][i] = FormatInt(static_cast<int64_t>(i));
    for (std::size_t c = 1; c < columnCount && c - 1 < fields.size(); ++c) {
      grid[c][i] = std::move(fields[c - 1]);
    }
  }
  cols = static_cast<int32_t>(columnCount);
  rows = static_cast<int32_t>(lines.size());
  return true;
}

}  // namespace zirvo
