// Cuts delimited template lines into a grid of fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zirvo {

// grid[column][row]. Column 0 holds the row index in decimal; columns 1 to
// cols-1 hold the fields of the line in order.
using CsvGrid = std::vector<std::vector<std::string>>;

inline constexpr std::size_t kAllFields = std::numeric_limits<std::size_t>::max();

// Appends the fields of `line` to `fields`, the first `maxFields` of them.
// An empty line yields no field; a delimiter at the very end yields no
// empty field after it.
void SplitLine(std::string_view line, char delimiter, std::vector<std::string>& fields,
               std::size_t maxFields = kAllFields);

// Fills `grid` from `lines`. rows is the number of lines, cols one more than
// the number of fields of the first line (split untrimmed), but at most
// `maxColumns`: a reader that needs a few columns gives that many, and a
// line of millions of delimiters costs no more than its bytes. Every line
// is trimmed of codes 0 to 32 before it is split. Returns false for an
// empty list; an empty first line returns true with rows and cols 0. In
// both cases the grid is left as it was.
bool LinesToGrid(std::span<const std::string> lines, CsvGrid& grid, int32_t& rows, int32_t& cols,
                 char delimiter, std::size_t maxColumns = kAllFields);
inline bool LinesToGrid(const std::vector<std::string>& lines, CsvGrid& grid, int32_t& rows,
                        int32_t& cols, char delimiter, std::size_t maxColumns = kAllFields) {
  return LinesToGrid(std::span<const std::string>(lines), grid, rows, cols, delimiter, maxColumns);
}

}  // namespace zirvo
