// The delimited-line parser on arbitrary lines: the grid always has the shape
// it reports, and column 0 numbers the rows.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/csv.h"
#include "base/text.h"
#include "fuzz_check.h"

using namespace zirvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char delimiter = static_cast<char>(data[0]);
  std::vector<std::string> lines;
  std::string current;
  for (std::size_t i = 1; i < size; ++i) {
    if (data[i] == '\n') {
      lines.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  lines.push_back(current);

  CsvGrid grid;
  int32_t rows = -1, cols = -1;
  const bool ok = LinesToGrid(lines, grid, rows, cols, delimiter);
  FUZZ_CHECK(ok);
  std::vector<std::string> first;
  SplitLine(lines.front(), delimiter, first);
  if (first.empty()) {
    FUZZ_CHECK(rows == 0 && cols == 0 && grid.empty());
    return 0;
  }
  FUZZ_CHECK(cols == static_cast<int32_t>(first.size()) + 1);
  FUZZ_CHECK(rows == static_cast<int32_t>(lines.size()));
  FUZZ_CHECK(grid.size() == static_cast<std::size_t>(cols));
  for (const auto& column : grid) FUZZ_CHECK(column.size() == static_cast<std::size_t>(rows));
  for (int32_t r = 0; r < rows; ++r) {
    FUZZ_CHECK(grid[0][r] == FormatInt(r));
    for (int32_t c = 1; c < cols; ++c) {
      FUZZ_CHECK(grid[c][r].find(delimiter) == std::string::npos);
    }
  }
  return 0;
}
