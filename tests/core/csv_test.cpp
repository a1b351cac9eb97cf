#include "base/csv.h"

#include <gtest/gtest.h>

namespace zirvo {
namespace {

std::vector<std::string> Split(std::string_view line) {
  std::vector<std::string> fields;
  SplitLine(line, '|', fields);
  return fields;
}

TEST(SplitLine, FieldsAtEveryDelimiterButNoneAfterTheLast) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Split("a|b"), (V{"a", "b"}));
  EXPECT_EQ(Split("|a|b|"), (V{"", "a", "b"}));
  EXPECT_EQ(Split("a||b"), (V{"a", "", "b"}));
  EXPECT_EQ(Split("|"), (V{""}));
  EXPECT_EQ(Split("||"), (V{"", ""}));
  EXPECT_EQ(Split(""), V{});
  EXPECT_EQ(Split("abc"), V{"abc"});
}

TEST(LinesToGrid, OneHeaderLine) {
  CsvGrid grid;
  int32_t rows = -1, cols = -1;
  ASSERT_TRUE(LinesToGrid({"|HJA|IMP100|x|"}, grid, rows, cols, '|'));
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(cols, 5);
  const char* expected[] = {"0", "", "HJA", "IMP100", "x"};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(grid[c][0], expected[c]) << c;
}

TEST(LinesToGrid, ColumnCountComesFromTheFirstLine) {
  CsvGrid grid;
  int32_t rows = 0, cols = 0;
  ASSERT_TRUE(
      LinesToGrid({"a|b|c|d", "e|f", "g|h|i|j|k|l", "  \t|x|y|  ", "   "}, grid, rows, cols, '|'));
  EXPECT_EQ(rows, 5);
  EXPECT_EQ(cols, 5);
  ASSERT_EQ(grid.size(), 5u);
  const std::vector<std::vector<std::string>> byRow = {{"0", "a", "b", "c", "d"},
                                                       {"1", "e", "f", "", ""},
                                                       {"2", "g", "h", "i", "j"},
                                                       {"3", "", "x", "y", ""},
                                                       {"4", "", "", "", ""}};
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) EXPECT_EQ(grid[c][r], byRow[r][c]) << r << "," << c;
}

TEST(LinesToGrid, FirstLineIsSplitUntrimmed) {
  CsvGrid grid;
  int32_t rows = 0, cols = 0;
  ASSERT_TRUE(LinesToGrid({"  |FOL|1|"}, grid, rows, cols, '|'));
  EXPECT_EQ(cols, 4);         // "  ", "FOL", "1"
  EXPECT_EQ(grid[1][0], "");  // but the row itself is trimmed before it is split
  EXPECT_EQ(grid[2][0], "FOL");
  EXPECT_EQ(grid[3][0], "1");
}

TEST(LinesToGrid, EmptyInputsLeaveTheGridAlone) {
  CsvGrid grid = {{"kept"}};
  int32_t rows = 9, cols = 9;
  EXPECT_FALSE(LinesToGrid(std::vector<std::string>{}, grid, rows, cols, '|'));
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(cols, 0);
  rows = cols = 9;
  EXPECT_TRUE(LinesToGrid({"", "a|b"}, grid, rows, cols, '|'));
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(cols, 0);
  EXPECT_EQ(grid, (CsvGrid{{"kept"}}));
}

}  // namespace
}  // namespace zirvo
