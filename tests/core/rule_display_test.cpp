#include "template/rule_display.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace zirvo {
namespace {

Numerator Row(int32_t position, int32_t number, NumberingRule rule = {}, bool reverse = false) {
  Numerator n;
  n.Position = position;
  n.Number = number;
  n.Prefix = "N";
  n.Mask = 3;
  n.Rule = rule;
  n.Reverse = reverse;
  return n;
}

NumberingRule Mirror(int32_t position) {
  NumberingRule rule;
  rule.mirror = position;
  return rule;
}

NumberingRule Step(int32_t k) {
  NumberingRule rule;
  rule.stepMultiplier = k;
  return rule;
}

// The records a sheet draws take their numbers by rule and from a mirror's
// source; a sheet whose numbers leave the 32-bit range changes nothing and
// names the numerator that left it.
TEST(RuleDisplay, RecordsOfSheet) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  struct Case {
    const char* what;
    NumeratorList records;
    int64_t increment;
    int64_t sheet;
    std::vector<int32_t> numbers;  // empty: out of range
    std::size_t outOfRange = 0;
  } cases[] = {
      {"sheet 1 keeps the stored numbers",
       {Row(1, 5, Step(4)), Row(2, 9, Mirror(1))},
       3,
       0,
       {5, 5}},
      {"a stub follows its ticket",
       {Row(1, 5, Step(4)), Row(2, 9, Mirror(1))},
       3,
       249,
       {2993, 2993}},
      {"the stub before its ticket",
       {Row(1, 9, Mirror(2)), Row(2, 100, {}, true)},
       2,
       10,
       {80, 80}},
      {"the last number that fits", {Row(1, kMax - 10)}, 1, 10, {kMax}},
      {"one past it", {Row(1, 0), Row(2, kMax - 10)}, 1, 11, {}, 1},
      {"past it through a stub: the ticket is named",
       {Row(1, 0, Mirror(2)), Row(2, kMax, Step(2))},
       1,
       1,
       {},
       1},
      {"below the smallest, counting down", {Row(1, kMin + 1, {}, true)}, 1, 2, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NumeratorList drawn = {Row(9, 42)};
    const auto failed = RecordsOfSheet(c.records, c.increment, c.sheet, drawn);
    if (c.numbers.empty()) {
      ASSERT_TRUE(failed.has_value());
      EXPECT_EQ(*failed, c.outOfRange);
      ASSERT_EQ(drawn.size(), 1u);  // left as it was
      EXPECT_EQ(drawn[0].Number, 42);
      continue;
    }
    ASSERT_FALSE(failed.has_value());
    ASSERT_EQ(drawn.size(), c.numbers.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
      EXPECT_EQ(drawn[i].Number, c.numbers[i]) << i;
      EXPECT_EQ(drawn[i].Position, c.records[i].Position);
    }
  }
}

// The dialog's example: three sheets, a stub with the check digit of its
// ticket; nothing for a rule the row cannot take (the division by the
// sheets per number is never reached with 0).
TEST(RuleDisplay, RuleExampleTexts) {
  NumberingRule luhn = Step(2);
  luhn.checkDigit = CheckDigit::Luhn;
  NumberingRule noSheets;
  noSheets.sheetsPerNumber = 0;
  const NumeratorList records = {Row(1, 7, luhn), Row(2, 40)};
  struct Case {
    const char* what;
    std::size_t row;
    NumberingRule rule;
    std::optional<std::string> texts;
  } cases[] = {
      {"its own rule", 0, luhn, "N0075, N0091, N0117"},
      {"a stub prints its ticket's check digit", 1, Mirror(1), "N0075, N0091, N0117"},
      {"plain", 1, {}, "N040, N041, N042"},
      {"no sheets per number", 1, noSheets, std::nullopt},
      {"itself repeated", 1, Mirror(2), std::nullopt},
      {"no such row", 2, {}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RuleExampleTexts(records, c.row, c.rule, 1), c.texts);
  }
  EXPECT_EQ(RuleExampleTexts({Row(1, std::numeric_limits<int32_t>::max())}, 0, {}, 1),
            std::nullopt);
}

}  // namespace
}  // namespace zirvo
