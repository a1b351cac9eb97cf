// How a numerator's number moves on from sheet to sheet, beyond the one run
// increment every numerator follows: tickets cut and stacked, book and
// page-in-book numbers, stubs that repeat a ticket's number, check digits.
//
// A template stores one "|NUM|" line per numerator that has a rule other
// than the plain one, after the "|COD|" lines, in row order:
//   |NUM|PP|K|S|C|D|M|
// PP the row's position (two digits), K the step multiplier (>= 1), S the
// sheets per number (>= 1), C the cycle (0 none, otherwise the count of
// numbers before it starts again), D the check digit (0 none, 1 MOD 10 Luhn,
// 2 MOD 10 weights 3-1, 3 MOD 11, 4 MOD 7, 5 MOD 9) and M the position of
// the numerator it mirrors (0 none). Readers that do not know the marker
// ignore the line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zirvo {

enum class CheckDigit : int32_t {
  None = 0,
  Luhn = 1,            // MOD 10, every second digit from the right doubled
  Mod10Weights31 = 2,  // MOD 10, weights 3 and 1 from the right (as EAN and UPC)
  Mod11 = 3,           // weights 2 to 7 from the right; 11 - remainder, 11 gives 0, 10 gives "X"
  Mod7 = 4,            // the remainder of the number divided by 7
  Mod9 = 5,            // the remainder of the number divided by 9
};
inline constexpr int32_t kCheckDigitCount = 6;

struct NumberingRule {
  // The largest value K, S and C may take: far beyond any run, small enough
  // that every product of the rule fits 64 bits.
  static constexpr int32_t kMaxFactor = 1000000;

  int32_t stepMultiplier = 1;   // K: the numerator moves by K x the run's increment
  int32_t sheetsPerNumber = 1;  // S: the number moves on every S sheets
  int32_t cycle = 0;            // C: 0, or the count of numbers before it starts again
  CheckDigit checkDigit = CheckDigit::None;
  int32_t mirror = 0;  // M: 0, or the position of the numerator whose number it prints

  // The rule of a numerator without one: no "|NUM|" line is written for it.
  bool Plain() const { return *this == NumberingRule{}; }
  bool operator==(const NumberingRule&) const = default;
};

// K, S and C within their ranges, a known check digit and a mirror that is
// 0 or a position 1 to 60 other than `ownPosition`.
bool ValidNumberingRule(const NumberingRule& rule, int32_t ownPosition);

// How many times the number has moved by the start of sheet `sheet`
// (0-based; a negative sheet lies before the first): floor(sheet / S),
// taken modulo C (from 0 to C - 1) when there is a cycle.
int64_t RuleSteps(const NumberingRule& rule, int64_t sheet);

// What a numerator starting at `start` prints on sheet `sheet` (0-based) of
// a run with that increment (never negative): start + RuleSteps x K x
// increment, down for a numerator counting down. A mirror's own start and
// rule do not count: the caller takes its source's number.
int64_t RuleNumber(int64_t start, bool reverse, const NumberingRule& rule, int64_t increment,
                   int64_t sheet);

// The number a numerator goes on from after printing `sheets` sheets: the
// next one after the last it printed, by its rule (the start again at the
// end of a cycle). `start` for no sheet.
int64_t RuleNumberAfter(int64_t start, bool reverse, const NumberingRule& rule, int64_t increment,
                        int64_t sheets);

// How many numbers a numerator prints over `sheets` sheets, each once
// (repeated ones counted once, a cycle at most C).
int64_t RuleDistinctNumbers(const NumberingRule& rule, int64_t sheets);

// The check character of a number (its digits without the sign), or '\0'
// for CheckDigit::None. MOD 11 gives 'X' for a check value of 10.
char CheckCharacter(CheckDigit method, int64_t number);
// The same for a string of decimal digits of any length (published test
// vectors are longer than a numerator's number): '\0' for a text that is
// empty or holds anything but digits.
char CheckCharacterOfDigits(CheckDigit method, std::string_view digits);

// The "|NUM|" line of row `row` (0-based).
std::string NumberingLine(int row, const NumberingRule& rule);

struct NumberingLineValue {
  int row = 0;  // 0-based
  NumberingRule rule;
};
// The values of a line that begins with "|NUM|"; nothing when a field is
// missing or not a number or the rule is not valid for its row.
std::optional<NumberingLineValue> ParseNumberingLine(std::string_view line);

}  // namespace zirvo
