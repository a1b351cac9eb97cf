// The numerator table: commit rules, general increment, export and the
// printed text of a numerator.
#include "template/numerator_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/text.h"
#include "catalog/catalog.h"

namespace zirvo {
namespace {

using N = NumeratorTable;

struct Commit {
  int cell;
  std::string typed;
  std::string stored;
};

TEST(NumeratorCommit, NormalisesEveryCell) {
  const Commit cases[] = {
      {N::kPrefix, "  F- ", "  F- "},
      {N::kPrefix, "", ""},
      {N::kSuffix, " ª kgé€ ", " ª kgé€ "},
      {N::kNumber, "", "0"},
      {N::kNumber, "   ", "0"},
      {N::kNumber, "0012", "12"},
      {N::kNumber, "-0", "0"},
      {N::kNumber, " -5 ", "-5"},
      {N::kNumber, "2147483647", "2147483647"},
      {N::kNumber, "-2147483648", "-2147483648"},
      {N::kHorizontal, "", "0.00"},
      {N::kHorizontal, "3.5", "3.50"},
      {N::kHorizontal, " -0.25 ", "-0.25"},
      {N::kHorizontal, "25", "25.00"},
      {N::kHorizontal, "2.999", "3.00"},
      {N::kVertical, "27.5", "27.50"},
      {N::kVertical, "-0.001", "0.00"},
      {N::kRotation, "", "000"},
      {N::kRotation, "000", "0"},
      {N::kRotation, "090", "90"},
      {N::kRotation, " 180 ", "180"},
      {N::kRotation, "270", "270"},
      {N::kRotation, "90.0", "90"},
      {N::kMask, "", "04"},
      {N::kMask, "7", "07"},
      {N::kMask, "007", "07"},
      {N::kMask, "0", "00"},
      {N::kMask, "12", "12"},
      {N::kMask, "13", "12"},
      {N::kMask, "15", "12"},
      {N::kMask, "2147483647", "12"},
      {N::kMask, "-5", "-5"},
      {N::kMask, "-12", "-12"},
      {N::kFont, "", "Arial"},
      {N::kFont, " Times New Roman ", "Times New Roman"},
      {N::kSize, "", "12"},
      {N::kSize, " 14 ", "14"},
      {N::kSize, "big", "big"},  // the size is not validated when committed
      {N::kColour, "255", "255"},
      {N::kColour, "16777215", "16777215"},
      {N::kColour, "", "0"},
  };
  for (const Commit& c : cases) {
    NumeratorTable table;
    table.AddRow();
    table.CommitCell(0, c.cell, c.typed);
    EXPECT_EQ(table.Cell(0, c.cell), c.stored) << "cell " << c.cell << " typed '" << c.typed << "'";
  }
}

TEST(NumeratorCommit, DirectionToggles) {
  NumeratorTable table;
  table.LoadFromLines({"|FOL|01|||||||||||r||"});
  const std::vector<std::string> expected{"A", "R", "A", "R"};
  for (const std::string& want : expected) {
    table.CommitCell(0, N::kDirection, "whatever was typed");
    EXPECT_EQ(table.Cell(0, N::kDirection), want);
  }
}

TEST(NumeratorCommit, PositionAndBlankCellsIgnoreCommits) {
  NumeratorTable table;
  table.AddRow();
  table.CommitCell(0, N::kPosition, "33");
  table.CommitCell(0, N::kBlank, "x");
  EXPECT_EQ(table.Cell(0, N::kPosition), "01");
  EXPECT_EQ(table.Cell(0, N::kBlank), "");
}

TEST(NumeratorCommit, RefusalLeavesTheCellAsItWas) {
  const auto integer = [](const std::string& t) {
    return "'" + t + "' is not a valid integer value";
  };
  const auto real = [](const std::string& t) {
    return "'" + t + "' is not a valid floating point value";
  };
  const Commit cases[] = {
      // stored = the message
      {N::kNumber, "-", integer("-")},
      {N::kNumber, " - ", integer("-")},
      {N::kNumber, "2147483648", integer("2147483648")},
      {N::kNumber, "-2147483649", integer("-2147483649")},
      {N::kNumber, "999999999999", integer("999999999999")},
      {N::kNumber, "12a", integer("12a")},
      {N::kNumber, "1.5", integer("1.5")},
      {N::kHorizontal, "-", real("-")},
      {N::kHorizontal, ".", real(".")},
      {N::kHorizontal, "1,5", real("1,5")},
      {N::kVertical, "abc", real("abc")},
      {N::kRotation, "x", real("x")},
      {N::kRotation, "1e300", real("1e300")},
      {N::kMask, "-", integer("-")},
      {N::kMask, "4.5", integer("4.5")},
      {N::kMask, "99999999999", integer("99999999999")},
      {N::kColour, "red", integer("red")},
  };
  for (const Commit& c : cases) {
    NumeratorTable table;
    table.AddRow();
    const std::string before = table.Cell(0, c.cell);
    try {
      table.CommitCell(0, c.cell, c.typed);
      ADD_FAILURE() << "cell " << c.cell << " accepted '" << c.typed << "'";
    } catch (const ConversionError& e) {
      EXPECT_EQ(e.what(), c.stored);
    }
    EXPECT_EQ(table.Cell(0, c.cell), before) << "cell " << c.cell;
  }
}

TEST(NumeratorCommit, RefusesTheLineDelimiterInTexts) {
  for (int cell : {N::kPrefix, N::kSuffix, N::kFont, N::kSize}) {
    NumeratorTable table;
    table.AddRow();
    table.CommitCell(0, cell, "ok");
    try {
      table.CommitCell(0, cell, "a|b");
      ADD_FAILURE() << "cell " << cell << " accepted a '|'";
    } catch (const ZirvoError& e) {
      EXPECT_EQ(e.what(), OwnText(OwnMessage::PipeInText, "a|b"));
    }
    EXPECT_EQ(table.Cell(0, cell), "ok");
  }
}

TEST(NumeratorLines, EditedRowIsWrittenByteForByte) {
  NumeratorTable table;
  table.AddRow();
  const Commit edits[] = {
      {N::kPrefix, "F-", ""},   {N::kNumber, "1500", ""},  {N::kHorizontal, "3.5", ""},
      {N::kVertical, "25", ""}, {N::kRotation, "090", ""}, {N::kMask, "6", ""},
      {N::kSize, "14", ""},     {N::kColour, "255", ""},
  };
  for (const Commit& e : edits) table.CommitCell(0, e.cell, e.typed);
  table.CommitCell(0, N::kDirection, "");
  EXPECT_EQ(table.LineOf(0), "|FOL|01|F-|1500||3.50|25.00|90|06|Arial|14|255|R||");
}

TEST(NumeratorLines, LoadedTextsStayAsStored) {
  NumeratorTable table;
  table.LoadFromLines({"|FOL|33| p |0012| s |3.5|x|0.00|4|  Arial |big|-1|r||"});
  EXPECT_EQ(table.LineOf(0), "|FOL|01| p |0012| s |3.5|x|0.00|4|  Arial |big|-1|r||");
}

std::vector<std::string> Numbers(const NumeratorTable& table) {
  std::vector<std::string> numbers;
  for (int r = 0; r < table.RowCount(); ++r) numbers.push_back(table.Cell(r, N::kNumber));
  return numbers;
}

NumeratorTable WithNumbers(const std::vector<std::string>& numbers) {
  std::vector<std::string> lines;
  for (const std::string& n : numbers) lines.push_back("|FOL|00||" + n + "||");
  NumeratorTable table;
  table.LoadFromLines(lines);
  return table;
}

TEST(NumeratorIncrement, AddsToEveryNumber) {
  struct Case {
    int32_t k;
    std::vector<std::string> after;
  };
  const std::vector<std::string> before{"0012", "", " 7 ", "-5", "2147483637"};
  const Case cases[] = {
      {0, {"12", "0", "7", "-5", "2147483637"}},
      {10, {"22", "10", "17", "5", "2147483647"}},
      {-12, {"0", "-12", "-5", "-17", "2147483625"}},
  };
  for (const Case& c : cases) {
    NumeratorTable table = WithNumbers(before);
    table.ApplyIncrement(c.k);
    EXPECT_EQ(Numbers(table), c.after) << "k = " << c.k;
  }
}

TEST(NumeratorIncrement, ChangesAllRowsOrNone) {
  struct Case {
    std::vector<std::string> numbers;
    int32_t k;
    std::string message;
  };
  const int32_t kMin = std::numeric_limits<int32_t>::min();
  const int32_t kMax = std::numeric_limits<int32_t>::max();
  const Case cases[] = {
      {{"1", "2147483640", "3"}, 10, "'2147483650' is not a valid integer value"},
      {{"1", "-1", "3"}, kMin, "'-2147483649' is not a valid integer value"},
      {{"1", "2", "2147483647"}, kMax, "'2147483648' is not a valid integer value"},
      {{"1", "2", "abc"}, 1, "'abc' is not a valid integer value"},
      {{"1", "2", " 2147483648 "}, -5, "'2147483648' is not a valid integer value"},
      {{"5", "-"}, 0, "'-' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    NumeratorTable table = WithNumbers(c.numbers);
    try {
      table.ApplyIncrement(c.k);
      ADD_FAILURE() << "accepted k = " << c.k;
    } catch (const ConversionError& e) {
      EXPECT_EQ(e.what(), c.message);
    }
    EXPECT_EQ(Numbers(table), c.numbers);
  }
}

TEST(NumeratorIncrement, EmptyTableStaysEmpty) {
  NumeratorTable table;
  table.ApplyIncrement(5);
  EXPECT_TRUE(table.Empty());
}

TEST(NumeratorExport, ShortLineGivesTheDefaults) {
  NumeratorTable table;
  table.LoadFromLines({"|FOL|07|X|5|Y|"});
  Numerator expected;
  expected.Position = 1;
  expected.Number = 5;
  expected.Prefix = "X";
  expected.Suffix = "Y";
  EXPECT_EQ(table.ExportRecords(), NumeratorList{expected});
}

TEST(NumeratorExport, ConvertsEveryCell) {
  const std::string longPrefix = " 123456789012345678901234";
  const std::string longFont(70, 'f');
  NumeratorTable table;
  table.LoadFromLines({
      "|FOL|01|F-|1500||3.50|25.00|90|06|Arial|14|255|R||",
      "|FOL|02|" + longPrefix + "| -7 |  x |  -1.25 | 2e1 |270.00| 12 | " + longFont +
          " | 9 | 16777215 | R ||",
      "|FOL|03|||||||||||r||",
      "|FOL|04|||||||||||A||",
  });
  const NumeratorList records = table.ExportRecords();
  ASSERT_EQ(records.size(), 4u);

  Numerator first;
  first.Position = 1;
  first.Number = 1500;
  first.Prefix = "F-";
  first.Horizontal = 3.5;
  first.Vertical = 25.0;
  first.Rotation = 90.0;
  first.Mask = 6;
  first.Reverse = true;
  first.Size = 14;
  first.Colour = 255;
  EXPECT_EQ(records[0], first);

  Numerator second;
  second.Position = 2;
  second.Number = -7;
  second.Prefix = longPrefix.substr(0, 20);
  second.Suffix = "  x ";
  second.Horizontal = -1.25;
  second.Vertical = 20.0;
  second.Rotation = 270.0;
  second.Mask = 12;
  second.Reverse = true;
  second.Font = longFont.substr(0, 60);
  second.Size = 9;
  second.Colour = 16777215;
  EXPECT_EQ(records[1], second);
  EXPECT_EQ(table.Cell(1, N::kPrefix), longPrefix);  // the table keeps it whole

  EXPECT_FALSE(records[2].Reverse);  // only "R" means reverse
  EXPECT_FALSE(records[3].Reverse);
  for (const Numerator& r : records) EXPECT_FALSE(r.Barcode.has_value());
}

TEST(NumeratorExport, NewRowsExportTheirDefaults) {
  NumeratorTable table;
  EXPECT_TRUE(table.ExportRecords().empty());
  table.AddRow();
  table.AddRow();
  const NumeratorList records = table.ExportRecords();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].Position, 2);
  EXPECT_EQ(records[1].Mask, 4);
  EXPECT_EQ(records[1].Font, "Arial");
  EXPECT_FALSE(records[1].Reverse);
}

TEST(NumeratorExport, CellThatDoesNotConvertStopsTheExport) {
  struct Case {
    std::string line;
    std::string message;
  };
  const Case cases[] = {
      {"|FOL|01||0||0.00|0.00|0.00|04|Arial|big|0|A||", "'big' is not a valid integer value"},
      {"|FOL|01||2147483648||0.00|0.00|0.00|04|Arial|12|0|A||",
       "'2147483648' is not a valid integer value"},
      {"|FOL|01||0||1,5|0.00|0.00|04|Arial|12|0|A||", "'1,5' is not a valid floating point value"},
      {"|FOL|01||0||0.00|0.00|0.00|4x|Arial|12|0|A||", "'4x' is not a valid integer value"},
      {"|FOL|01||0||0.00|0.00|0.00|04|Arial|12| blue |A||", "'blue' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    NumeratorTable table;
    table.LoadFromLines({"|FOL|01||0||0.00|0.00|0.00|04|Arial|12|0|A||", c.line});
    try {
      table.ExportRecords();
      ADD_FAILURE() << c.line;
    } catch (const ConversionError& e) {
      EXPECT_EQ(e.what(), c.message);
    }
  }
}

TEST(NumeratorText, PadsTheNumberToTheMask) {
  struct Case {
    std::string prefix;
    int32_t number;
    int32_t mask;
    std::string suffix;
    std::string printed;
  };
  const int32_t kMin = std::numeric_limits<int32_t>::min();
  const int32_t kMax = std::numeric_limits<int32_t>::max();
  const Case cases[] = {
      {"", 0, 4, "", "0000"},
      {"", 12, 4, "", "0012"},
      {"", 7, 12, "", "000000000007"},
      {"", 1234567, 4, "", "1234567"},
      {"", 5, 1, "", "5"},
      {"", 5, 0, "", "5"},
      {"", 5, -3, "", "5"},
      {"", 0, 0, "", "0"},
      {"", -5, 4, "", "-0005"},
      {"", -5, 1, "", "-5"},
      {"", -3, 4, "", "-0003"},
      {"", -123, 2, "", "-123"},
      {"", -5, 0, "", "-5"},
      {"", -123, 12, "", "-000000000123"},
      {"", kMin, 12, "", "-002147483648"},
      {"", kMax, 12, "", "002147483647"},
      {"F-", 1500, 6, "", "F-001500"},
      {" Nº ", 42, 4, " /24 ", " Nº 0042 /24 "},
  };
  // A run formats into the same string sheet after sheet: a longer text
  // before must leave nothing behind.
  std::string reused(300, 'x');
  for (const Case& c : cases) {
    EXPECT_EQ(FormatNumeratorText(c.prefix, c.number, c.mask, c.suffix), c.printed)
        << c.number << " mask " << c.mask;
    FormatNumeratorTextInto(reused, c.prefix, c.number, c.mask, c.suffix);
    EXPECT_EQ(reused, c.printed) << c.number << " mask " << c.mask;
  }
}

TEST(NumeratorText, HugeMaskFromAHandEditedFileStaysBounded) {
  const std::string printed = FormatNumeratorText("", 7, std::numeric_limits<int32_t>::max(), "");
  EXPECT_EQ(printed.size(), 255u);
  EXPECT_EQ(printed.back(), '7');
}

}  // namespace
}  // namespace zirvo
