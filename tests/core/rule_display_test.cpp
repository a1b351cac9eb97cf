#include "template/rule_display.h"

#include <gtest/gtest.h>

#include <limits>

namespace zirvo {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

Numerator Row(int32_t position, int32_t number, int32_t mirror = 0, int32_t step = 1,
              bool reverse = false) {
  Numerator n;
  n.Position = position;
  n.Number = number;
  n.Prefix = "N";
  n.Mask = 3;
  n.Rule.mirror = mirror;
  n.Rule.stepMultiplier = step;
  n.Reverse = reverse;
  return n;
}

// A sheet whose numbers leave the 32-bit range changes nothing and names the
// numerator that left it: a stub's ticket, not the stub.
TEST(RuleDisplay, RecordsOfSheet) {
  struct Case {
    const char* what;
    NumeratorList records;
    int64_t sheet;
    std::optional<std::size_t> outOfRange;
    int32_t first;  // the first record's number when it fits
  } cases[] = {
      {"a stub before its ticket, counting down",
       {Row(1, 9, 2), Row(2, 100, 0, 3, true)},
       10,
       {},
       70},
      {"the last number that fits", {Row(1, kMax - 10)}, 10, {}, kMax},
      {"one past it", {Row(1, 0), Row(2, kMax - 10)}, 11, 1, 0},
      {"past it through a stub", {Row(1, 0, 2), Row(2, kMax, 0, 2)}, 1, 1, 0},
      {"below the smallest", {Row(1, kMin + 1, 0, 1, true)}, 2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NumeratorList drawn = {Row(9, 42)};
    EXPECT_EQ(RecordsOfSheet(c.records, 1, c.sheet, drawn), c.outOfRange);
    EXPECT_EQ(drawn.front().Number, c.outOfRange ? 42 : c.first);
  }
}

// The dialog's example: a stub prints its ticket's check digit; nothing for
// a rule the row cannot take (a division by 0 sheets per number is never
// reached) or a number out of range.
TEST(RuleDisplay, RuleExampleTexts) {
  NumeratorList records = {Row(1, 7, 0, 2), Row(2, 40)};
  records[0].Rule.checkDigit = CheckDigit::Luhn;
  NumberingRule stub, noSheets;
  stub.mirror = 1;
  noSheets.sheetsPerNumber = 0;
  EXPECT_EQ(RuleExampleTexts(records, 1, stub, 1), "N0075, N0091, N0117");
  EXPECT_EQ(RuleExampleTexts(records, 1, noSheets, 1), std::nullopt);
  stub.mirror = 2;
  EXPECT_EQ(RuleExampleTexts(records, 1, stub, 1), std::nullopt);
  EXPECT_EQ(RuleExampleTexts(records, 2, {}, 1), std::nullopt);
  EXPECT_EQ(RuleExampleTexts({Row(1, kMax)}, 0, {}, 1), std::nullopt);
}

}  // namespace
}  // namespace zirvo
