#include "template/numbering_rule.h"

#include <cstddef>
#include <vector>

#include "base/csv.h"
#include "base/helpers.h"
#include "base/text.h"

namespace zirvo {
namespace {

constexpr std::string_view kMarker = "|NUM|";
// "", "NUM", PP, K, S, C, D, M.
constexpr std::size_t kNumberingFields = 8;

bool InFactorRange(int32_t value, int32_t low) {
  return value >= low && value <= NumberingRule::kMaxFactor;
}

bool ReadInt(const std::string& text, int32_t low, int32_t high, int32_t& value) {
  return TryParseInt32(text, value) && value >= low && value <= high;
}

uint64_t Magnitude(int64_t number) {
  return number < 0 ? 0 - static_cast<uint64_t>(number) : static_cast<uint64_t>(number);
}

// The digits of a number, least significant first.
std::size_t DigitsFromRight(uint64_t value, int (&digits)[20]) {
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<int>(value % 10);
    value /= 10;
  } while (value != 0);
  return count;
}

char Digit(int value) { return static_cast<char>('0' + value); }

// The check character of digits given least significant first.
template <class DigitAt>
char CheckOf(CheckDigit method, std::size_t count, DigitAt digitAt) {
  switch (method) {
    case CheckDigit::None:
      return '\0';
    case CheckDigit::Luhn: {
      int sum = 0;
      for (std::size_t i = 0; i < count; ++i) {
        int d = digitAt(i);
        if (i % 2 == 0) d = d * 2 > 9 ? d * 2 - 9 : d * 2;
        sum += d;
      }
      return Digit((10 - sum % 10) % 10);
    }
    case CheckDigit::Mod10Weights31: {
      int sum = 0;
      for (std::size_t i = 0; i < count; ++i) sum += digitAt(i) * (i % 2 == 0 ? 3 : 1);
      return Digit((10 - sum % 10) % 10);
    }
    case CheckDigit::Mod11: {
      int sum = 0;
      for (std::size_t i = 0; i < count; ++i) sum += digitAt(i) * static_cast<int>(2 + i % 6);
      const int check = (11 - sum % 11) % 11;
      return check == 10 ? 'X' : Digit(check);
    }
    case CheckDigit::Mod7:
    case CheckDigit::Mod9: {
      const int modulus = method == CheckDigit::Mod7 ? 7 : 9;
      int remainder = 0;  // of the number read from its most significant digit
      for (std::size_t i = count; i-- > 0;) remainder = (remainder * 10 + digitAt(i)) % modulus;
      return Digit(remainder);
    }
  }
  return '\0';
}

}  // namespace

bool ValidNumberingRule(const NumberingRule& rule, int32_t ownPosition) {
  const auto check = static_cast<int32_t>(rule.checkDigit);
  return InFactorRange(rule.stepMultiplier, 1) && InFactorRange(rule.sheetsPerNumber, 1) &&
         InFactorRange(rule.cycle, 0) && check >= 0 && check < kCheckDigitCount &&
         rule.mirror >= 0 && rule.mirror <= 60 && rule.mirror != ownPosition;
}

int64_t RuleSteps(const NumberingRule& rule, int64_t sheet) {
  // Sheets before the first (a reprint of an earlier run's sheets) count
  // back: floor division, and a cycle's place is never negative.
  int64_t steps = sheet / rule.sheetsPerNumber;
  if (sheet % rule.sheetsPerNumber != 0 && sheet < 0) --steps;
  if (rule.cycle == 0) return steps;
  const int64_t place = steps % rule.cycle;
  return place < 0 ? place + rule.cycle : place;
}

int64_t RuleNumber(int64_t start, bool reverse, const NumberingRule& rule, int64_t increment,
                   int64_t sheet) {
  // Far outside any number a numerator holds, the result only has to stay
  // far outside: it saturates instead of wrapping.
  constexpr int64_t kFar = int64_t{1} << 62;
  int64_t distance = 0;
  if (__builtin_mul_overflow(RuleSteps(rule, sheet), int64_t{rule.stepMultiplier}, &distance) ||
      __builtin_mul_overflow(distance, increment, &distance) || distance > kFar)
    distance = kFar;
  return reverse ? start - distance : start + distance;
}

int64_t RuleNumberAfter(int64_t start, bool reverse, const NumberingRule& rule, int64_t increment,
                        int64_t sheets) {
  if (sheets <= 0) return start;
  // The sheet after the last one that carried the last number printed.
  const int64_t lastSheet = sheets - 1;
  const int64_t nextSheet = (lastSheet / rule.sheetsPerNumber + 1) * rule.sheetsPerNumber;
  return RuleNumber(start, reverse, rule, increment, nextSheet);
}

int64_t RuleDistinctNumbers(const NumberingRule& rule, int64_t sheets) {
  if (sheets <= 0) return 0;
  const int64_t numbers = (sheets - 1) / rule.sheetsPerNumber + 1;
  return rule.cycle > 0 && numbers > rule.cycle ? rule.cycle : numbers;
}

char CheckCharacter(CheckDigit method, int64_t number) {
  int digits[20];
  const std::size_t count = DigitsFromRight(Magnitude(number), digits);
  return CheckOf(method, count, [&](std::size_t i) { return digits[i]; });
}

char CheckCharacterOfDigits(CheckDigit method, std::string_view digits) {
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
    return '\0';
  const std::size_t count = digits.size();
  return CheckOf(method, count, [&](std::size_t i) { return digits[count - 1 - i] - '0'; });
}

std::string NumberingLine(int row, const NumberingRule& rule) {
  std::string line(kMarker);
  line += ZeroPad(FormatInt(row + 1), 2);
  line += '|' + FormatInt(rule.stepMultiplier);
  line += '|' + FormatInt(rule.sheetsPerNumber);
  line += '|' + FormatInt(rule.cycle);
  line += '|' + FormatInt(static_cast<int32_t>(rule.checkDigit));
  line += '|' + FormatInt(rule.mirror);
  line += '|';
  return line;
}

std::optional<NumberingLineValue> ParseNumberingLine(std::string_view line) {
  if (line.substr(0, kMarker.size()) != kMarker) return std::nullopt;
  std::vector<std::string> f;
  SplitLine(Trim(line), '|', f, kNumberingFields);
  if (f.size() < kNumberingFields) return std::nullopt;
  int32_t position = 0, check = 0;
  NumberingLineValue value;
  NumberingRule& rule = value.rule;
  if (!ReadInt(f[2], 1, 60, position) || !TryParseInt32(f[3], rule.stepMultiplier) ||
      !TryParseInt32(f[4], rule.sheetsPerNumber) || !TryParseInt32(f[5], rule.cycle) ||
      !ReadInt(f[6], 0, kCheckDigitCount - 1, check) || !TryParseInt32(f[7], rule.mirror))
    return std::nullopt;
  rule.checkDigit = static_cast<CheckDigit>(check);
  if (!ValidNumberingRule(rule, position)) return std::nullopt;
  value.row = position - 1;
  return value;
}

}  // namespace zirvo
