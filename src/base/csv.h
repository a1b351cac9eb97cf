// Cuts delimited template lines into a grid of fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zirvo {

// grid[column][row]. Column 0 holds the row index in decimal; columns 1 to
// cols-1 hold the fields of the line in order.
using CsvGrid = std::vector<std::vector<std::string>>;

// Appends the fields of `line` to `fields`. An empty line yields no field; a
// delimiter at the very end yields no empty field after it.
void SplitLine(std::string_view line, char delimiter, std::vector<std::string>& fields);

// Fills `grid` from `lines`. rows is the number of lines, cols one more than
// the number of fields of the first line (split untrimmed). Every line is
// trimmed of codes 0 to 32 before it is split. Returns false for an empty
// list; an empty first line returns true with rows and cols 0. In both cases
// the grid is left as it was.
bool LinesToGrid(const std::vector<std::string>& lines, CsvGrid& grid, int32_t& rows, int32_t& cols,
                 char delimiter);

}  // namespace zirvo
