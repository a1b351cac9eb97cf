#include "template/numbering_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "template/numerator_table.h"
#include "template/template.h"
#include "template/template_codec.h"

namespace zirvo {
namespace {

NumberingRule Rule(int32_t k, int32_t s, int32_t c, CheckDigit d = CheckDigit::None,
                   int32_t m = 0) {
  return {k, s, c, d, m};
}

TEST(NumberingRule, NumberOnEachSheetAgainstCounting) {
  // Each case counts the sheets one by one, as a person with a stack would.
  struct Case {
    const char* what;
    int64_t start;
    bool reverse;
    NumberingRule rule;
    int64_t increment;
    std::vector<int64_t> sheets;  // sheets 0, 1, 2, ...
  } cases[] = {
      {"plain", 7000, false, {}, 5, {7000, 7005, 7010, 7015}},
      {"cut and stack 4-up of 1000: the second pile",
       251,
       false,
       Rule(1, 1, 0),
       1,
       {251, 252, 253}},
      {"across 5-up: K = 5", 3, false, Rule(5, 1, 0), 1, {3, 8, 13, 18}},
      {"book number: S = 3", 1, false, Rule(1, 3, 0), 1, {1, 1, 1, 2, 2, 2, 3}},
      {"page in book: C = 3", 1, false, Rule(1, 1, 3), 1, {1, 2, 3, 1, 2, 3, 1}},
      {"S and C and K with increment 2", 10, false, Rule(3, 2, 2), 2, {10, 10, 16, 16, 10, 10}},
      {"counting down by K", 100, true, Rule(2, 1, 0), 5, {100, 90, 80}},
  };
  for (const Case& c : cases) {
    for (std::size_t s = 0; s < c.sheets.size(); ++s)
      EXPECT_EQ(RuleNumber(c.start, c.reverse, c.rule, c.increment, static_cast<int64_t>(s)),
                c.sheets[s])
          << c.what << ", sheet " << s;
  }
}

TEST(NumberingRule, ContinueMovesPastWhatWasPrintedByItsOwnRule) {
  struct Case {
    NumberingRule rule;
    int64_t sheets, next, distinct;
  } cases[] = {
      {Rule(1, 1, 0), 3, 4, 3},        {Rule(1, 50, 0), 150, 4, 3},  // three whole books
      {Rule(1, 50, 0), 75, 3, 2},  // book 2 was begun: the next run starts book 3
      {Rule(1, 1, 50), 150, 1, 50},    {Rule(1, 1, 50), 75, 26, 50},
      {Rule(4, 1, 0), 250, 1001, 250}, {Rule(1, 1, 0), 0, 1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RuleNumberAfter(1, false, c.rule, 1, c.sheets), c.next) << NumberingLine(0, c.rule);
    EXPECT_EQ(RuleDistinctNumbers(c.rule, c.sheets), c.distinct) << NumberingLine(0, c.rule);
  }
  // Numbers far out of any range saturate instead of wrapping.
  EXPECT_GT(RuleNumber(0, false, Rule(1000000, 1, 0), INT32_MAX, INT32_MAX), int64_t{1} << 61);
  EXPECT_LT(RuleNumber(0, true, Rule(1000000, 1, 0), INT32_MAX, INT32_MAX), -(int64_t{1} << 61));
}

TEST(CheckDigits, PublishedVectors) {
  struct Case {
    CheckDigit method;
    const char* digits;
    char check;
  } cases[] = {
      {CheckDigit::Luhn, "7992739871", '3'},
      {CheckDigit::Luhn, "61248", '1'},
      {CheckDigit::Mod10Weights31, "400638133393", '1'},  // EAN-13 4006381333931
      {CheckDigit::Mod10Weights31, "03600029145", '2'},   // UPC-A 036000291452
      {CheckDigit::Mod11, "943457842", '3'},
      {CheckDigit::Mod11, "516192872", '2'},
      {CheckDigit::Mod11, "1234567", '4'},
      {CheckDigit::Mod11, "13739", '1'},
      {CheckDigit::Mod11, "57635790125", '0'},  // a sum that 11 divides
      {CheckDigit::Mod11, "0006", 'X'},         // 6 x 2 = 12: remainder 1, check value 10
      {CheckDigit::Mod7, "1234567", '5'},
      {CheckDigit::Mod9, "1234567", '1'},
      {CheckDigit::None, "1234567", '\0'},
      {CheckDigit::Luhn, "12a4", '\0'},
      {CheckDigit::Mod11, "", '\0'},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckCharacterOfDigits(c.method, c.digits), c.check)
        << static_cast<int>(c.method) << " " << c.digits;
}

TEST(CheckDigits, PrintedAfterTheMaskedNumberBeforeTheSuffix) {
  struct Case {
    int32_t number, mask;
    CheckDigit check;
    const char* text;
  } cases[] = {
      {7992739871 % 1000000000, 4, CheckDigit::Luhn, "N9927398710X"},
      {1, 4, CheckDigit::Luhn, "N00018X"},
      {-6, 3, CheckDigit::Mod11, "N-006XX"},  // the sign is not a digit
      {1234567, 2, CheckDigit::Mod7, "N12345675X"},
      {42, 4, CheckDigit::None, "N0042X"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatNumeratorText("N", c.number, c.mask, "X", c.check), c.text);
  }
}

// A table of `rows` numerators, the first with a Code 128 barcode.
NumeratorTable TableOf(int rows) {
  NumeratorTable table;
  for (int r = 0; r < rows; ++r) table.AddRow();
  table.SetBarcode(0, BarcodeSetting{});
  return table;
}

TEST(NumberingRule, TableRefusesWhatCannotPrintAndChangesNothing) {
  struct Case {
    const char* what;
    int row;
    NumberingRule rule;
    const char* message;  // a part of the refusal
  } cases[] = {
      {"K of 0", 1, Rule(0, 1, 0), "1000000"},
      {"a negative cycle", 1, Rule(1, 1, -1), "1000000"},
      {"a mirror of itself", 1, Rule(1, 1, 0, CheckDigit::None, 2), "1000000"},
      {"a mirror of no row", 1, Rule(1, 1, 0, CheckDigit::None, 9), "9"},
      {"a mirror of a mirror", 1, Rule(1, 1, 0, CheckDigit::None, 3), "3"},
      {"a mirrored row mirroring", 0, Rule(1, 1, 0, CheckDigit::None, 2), "1"},
  };
  for (const Case& c : cases) {
    NumeratorTable table = TableOf(3);
    table.SetRule(2, Rule(1, 1, 0, CheckDigit::None, 1));  // row 3 is a stub of row 1
    const std::vector<NumberingRule> before = table.Rules();
    try {
      table.SetRule(c.row, c.rule);
      ADD_FAILURE() << c.what << " was taken";
    } catch (const ZirvoError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << c.what << ": " << e.what();
    }
    EXPECT_EQ(table.Rules(), before) << c.what;
  }
  // EAN-13 has its own check digit, either way round.
  NumeratorTable table = TableOf(1);
  table.CommitCell(0, NumeratorTable::kMask, "12");
  table.SetBarcode(0, BarcodeSetting{BarcodeKind::Ean13});
  EXPECT_THROW(table.SetRule(0, Rule(1, 1, 0, CheckDigit::Luhn)), ZirvoError);
  table.SetBarcode(0, std::nullopt);
  table.CommitCell(0, NumeratorTable::kMask, "11");
  table.SetRule(0, Rule(1, 1, 0, CheckDigit::Luhn));
  EXPECT_THROW(table.SetBarcode(0, BarcodeSetting{BarcodeKind::Ean13}), ZirvoError);
  EXPECT_FALSE(table.Barcode(0));
}

TEST(NumberingRule, StubsPrintTheirTicketsNumberAndFollowRowDeletion) {
  NumeratorTable table = TableOf(3);
  table.CommitCell(0, NumeratorTable::kNumber, "41");
  table.CommitCell(0, NumeratorTable::kSuffix, "");
  table.SetRule(0, Rule(1, 1, 0, CheckDigit::Mod7));
  table.CommitCell(2, NumeratorTable::kPrefix, "Talón ");
  table.SetRule(2, Rule(1, 1, 0, CheckDigit::None, 1));
  EXPECT_EQ(table.PrintedText(2), "Talón 00416");  // 41 mod 7 = 6
  table.DeleteRow(1);
  EXPECT_EQ(table.Rule(1).mirror, 1);
  table.DeleteRow(0);
  EXPECT_TRUE(table.Rule(0).Plain());  // its ticket is gone: it prints its own number
}

TEST(NumberingRule, TemplateFileKeepsRulesAndSkipsLinesThatDoNotRead) {
  Template doc;
  doc.StartNew("T", 21.0, 29.7);
  for (int r = 0; r < 3; ++r) doc.AddRow(TemplateTable::Numerators);
  const std::string plain = EncodeTemplate(doc, "/x/T.pla");
  doc.SetNumberingRule(0, Rule(4, 50, 0, CheckDigit::Mod11));
  doc.SetNumberingRule(2, Rule(1, 1, 0, CheckDigit::None, 1));
  const std::string bytes = EncodeTemplate(doc, "/x/T.pla");
  EXPECT_NE(bytes.find("|NUM|01|4|50|0|3|0|\r\n|NUM|03|1|1|0|0|1|"), std::string::npos) << bytes;
  std::optional<Template> read = DecodeTemplate(bytes, "/x/T.pla");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Numerators().Rules(), doc.Numerators().Rules());
  // Without rules the file is what it always was.
  doc.SetNumberingRule(0, {});
  doc.SetNumberingRule(2, {});
  EXPECT_EQ(EncodeTemplate(doc, "/x/T.pla"), plain);

  const char* refused[] = {
      "|NUM|01|0|1|0|0|0|",  // K of 0
      "|NUM|01|1|1|0|6|0|",  // no such check digit
      "|NUM|09|1|1|0|0|0|",  // no row 9
      "|NUM|02|1|1|0|0|2|",  // a mirror of itself
      "|NUM|01|1|x|0|0|0|",  // not a number
      "|NUM|03|1|1|0|0|2|",  // a mirror of a mirror (the next line)
  };
  std::string file = plain;
  for (const char* line : refused) file += std::string(line) + "\r\n";
  file += "|NUM|02|1|1|0|0|1|\r\n|NUM|02|2|1|0|0|0|\r\n";  // the second for row 2 is skipped
  SkippedLines skipped;
  read = DecodeTemplate(file, "/x/T.pla", {}, &skipped);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Numerators().Rule(1), Rule(1, 1, 0, CheckDigit::None, 1));
  EXPECT_TRUE(read->Numerators().Rule(0).Plain());
  EXPECT_TRUE(read->Numerators().Rule(2).Plain());
  ASSERT_EQ(skipped.size(), std::size(refused) + 1);
  EXPECT_EQ(skipped.back().text, "|NUM|02|2|1|0|0|0|");
}

}  // namespace
}  // namespace zirvo
