// The marginal-text table: commit rules, its template line and its export.
#include "template/marginal_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "catalog/catalog.h"

namespace zirvo {
namespace {

using M = MarginalTable;

struct Commit {
  int cell;
  std::string typed;
  std::string stored;  // or the message of a refusal
};

TEST(MarginalCommit, NormalisesEveryCell) {
  const Commit cases[] = {
      {M::kText, "  Copia para el archivo  ", "  Copia para el archivo  "},
      {M::kText, "", ""},
      {M::kHorizontal, "", "0.00"},
      {M::kHorizontal, "2", "2.00"},
      {M::kVertical, " 27.5 ", "27.50"},
      {M::kVertical, "-3.456", "-3.46"},
      {M::kRotation, "", "000"},
      {M::kRotation, "000", "0"},
      {M::kRotation, "090", "90"},
      {M::kRotation, "270", "270"},
      {M::kFont, "  ", "Arial"},
      {M::kFont, "Courier New ", "Courier New"},
      {M::kSize, "", "12"},
      {M::kSize, "10", "10"},
      {M::kColour, "65280", "65280"},
      {M::kPosition, "9", "01"},  // ignored
      {M::kBlank, "9", ""},       // ignored
  };
  for (const Commit& c : cases) {
    MarginalTable table;
    table.AddRow();
    table.CommitCell(0, c.cell, c.typed);
    EXPECT_EQ(table.Cell(0, c.cell), c.stored) << "cell " << c.cell << " typed '" << c.typed << "'";
  }
}

TEST(MarginalCommit, RefusalLeavesTheCellAsItWas) {
  const Commit cases[] = {
      {M::kHorizontal, "-", "'-' is not a valid floating point value"},
      {M::kVertical, " . ", "'.' is not a valid floating point value"},
      {M::kRotation, "abc", "'abc' is not a valid floating point value"},
      {M::kColour, "2147483648", "'2147483648' is not a valid integer value"},
      {M::kText, "a|b", OwnText(OwnMessage::PipeInText, "a|b")},
      {M::kText, "|", OwnText(OwnMessage::PipeInText, "|")},
      {M::kFont, "Ar|ial", OwnText(OwnMessage::PipeInText, "Ar|ial")},
      // A pasted "|" is named as such in every cell, numbers included.
      {M::kHorizontal, " 1|2", OwnText(OwnMessage::PipeInText, " 1|2")},
      {M::kSize, "1|", OwnText(OwnMessage::PipeInText, "1|")},
  };
  for (const Commit& c : cases) {
    MarginalTable table;
    table.AddRow();
    table.CommitCell(0, c.cell, "1");
    const std::string before = table.Cell(0, c.cell);
    try {
      table.CommitCell(0, c.cell, c.typed);
      ADD_FAILURE() << "cell " << c.cell << " accepted '" << c.typed << "'";
    } catch (const ZirvoError& e) {
      EXPECT_EQ(e.what(), c.stored);
    }
    EXPECT_EQ(table.Cell(0, c.cell), before) << "cell " << c.cell;
  }
}

TEST(MarginalLines, EditedRowIsWrittenByteForByte) {
  MarginalTable table;
  table.AddRow();
  table.CommitCell(0, M::kText, "Copia para el archivo");
  table.CommitCell(0, M::kHorizontal, "2");
  table.CommitCell(0, M::kVertical, "27.5");
  table.CommitCell(0, M::kRotation, "000");
  table.CommitCell(0, M::kSize, "10");
  table.CommitCell(0, M::kColour, "0");
  EXPECT_EQ(table.LineOf(0), "|MAR|01|Copia para el archivo|2.00|27.50|0|Arial|10|0||");
}

TEST(MarginalLines, LongTextsLoadWholeAndExportCut) {
  for (std::size_t length : {200u, 250u}) {
    std::string text = " ";
    while (text.size() < length) text += static_cast<char>('a' + text.size() % 26);
    MarginalTable table;
    table.LoadFromLines({"|MAR|01|" + text + "|1.00|2.00|0|Arial|10|0||"});
    std::vector<std::string> lines;
    table.SaveToLines(lines);
    EXPECT_EQ(lines, std::vector<std::string>{"|MAR|01|" + text + "|1.00|2.00|0|Arial|10|0||"});
    EXPECT_EQ(table.ExportRecords().at(0).Text, text.substr(0, 200));
  }
}

TEST(MarginalExport, ShortLineGivesTheDefaults) {
  MarginalTable table;
  table.LoadFromLines({"|MAR|05|Hola|"});
  MarginalText expected;
  expected.Position = 1;
  expected.Text = "Hola";
  EXPECT_EQ(table.ExportRecords(), MarginalTextList{expected});
}

TEST(MarginalExport, ConvertsEveryCell) {
  MarginalTable table;
  table.LoadFromLines({"|MAR|01|  Copia é |2.00| 27.50 |90| Times |10|255||", "|MAR|02||||||||"});
  const MarginalTextList records = table.ExportRecords();
  ASSERT_EQ(records.size(), 2u);
  MarginalText first;
  first.Position = 1;
  first.Text = "  Copia é ";
  first.Horizontal = 2.0;
  first.Vertical = 27.5;
  first.Rotation = 90.0;
  first.Font = "Times";
  first.Size = 10;
  first.Colour = 255;
  EXPECT_EQ(records[0], first);
  MarginalText second;
  second.Position = 2;
  EXPECT_EQ(records[1], second);
  for (const MarginalText& r : records) EXPECT_FALSE(r.Barcode.has_value());
}

TEST(MarginalExport, CellThatDoesNotConvertStopsTheExport) {
  MarginalTable table;
  table.LoadFromLines(
      {"|MAR|01|a|0.00|0.00|000|Arial|12|0||", "|MAR|02|b|0.00|0.00|000|Arial|x|0||"});
  try {
    table.ExportRecords();
    ADD_FAILURE() << "exported a size of x";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
  }
}

}  // namespace
}  // namespace zirvo
