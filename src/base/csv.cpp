#include "base/csv.h"

#include "base/text.h"

namespace zirvo {

void SplitLine(std::string_view line, char delimiter, std::vector<std::string>& fields) {
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t end = line.find(delimiter, pos);
    if (end == std::string_view::npos) {
      fields.emplace_back(line.substr(pos));
      return;
    }
    fields.emplace_back(line.substr(pos, end - pos));
    pos = end + 1;
  }
}

bool LinesToGrid(const std::vector<std::string>& lines, CsvGrid& grid, int32_t& rows, int32_t& cols,
                 char delimiter) {
  rows = 0;
  cols = 0;
  if (lines.empty()) return false;
  std::vector<std::string> fields;
  SplitLine(lines.front(), delimiter, fields);
  if (fields.empty()) return true;

  const auto columnCount = fields.size() + 1;
  grid.assign(columnCount, std::vector<std::string>(lines.size()));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    fields.clear();
    SplitLine(Trim(lines[i]), delimiter, fields);
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
