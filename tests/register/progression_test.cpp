// The numbers of a numerator as a progression, and when two of them share
// a number: exact, against every number counted out.
#include "printing/progression.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace zirvo {
namespace {

constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax = std::numeric_limits<int32_t>::max();

std::vector<int64_t> Numbers(const Progression& p) {
  std::vector<int64_t> numbers;
  for (int64_t n = p.first, i = 0; i < p.Count(); ++i, n += p.step) numbers.push_back(n);
  return numbers;
}

TEST(Progression, SharedNumbersAreThoseBothHoldInTheFirstOnesOrder) {
  std::mt19937 random(2026);
  const auto draw = [&](int64_t around) {
    std::uniform_int_distribution<int64_t> offset(-40, 40), count(1, 12), step(-9, 9);
    return Progression::Of(1, around + offset(random), count(random), step(random));
  };
  // Small numbers, and the same shapes against both ends of the range.
  for (const int64_t around : {int64_t{0}, kMax - 160, kMin + 160}) {
    for (int round = 0; round < 30000; ++round) {
      const Progression a = draw(around), b = draw(around);
      ASSERT_TRUE(IsValidProgression(a) && IsValidProgression(b));
      std::vector<int64_t> both;
      for (const int64_t n : Numbers(a)) {
        const auto inB = Numbers(b);
        if (std::find(inB.begin(), inB.end(), n) != inB.end()) both.push_back(n);
      }
      const auto shared = SharedNumbers(a, b);
      const std::string trace = FormatProgression(a) + " / " + FormatProgression(b);
      ASSERT_EQ(shared.has_value(), !both.empty()) << trace;
      if (shared) {
        ASSERT_TRUE(IsValidProgression(*shared)) << trace;
        ASSERT_EQ(Numbers(*shared), both) << trace;
      }
    }
  }
}

// Small numbers in either direction, crossing spans and increment 0 are
// drawn above; these reach the ends of the range and the largest steps.
TEST(Progression, SharedNumbersInTheFirstOnesOrderUpToTheLimits) {
  const struct {
    const char* name;
    Progression a, b;
    std::optional<Progression> shared;
  } cases[] = {
      {"the largest number", Progression::Single(1, kMax), Progression::Of(1, kMax - 14, 3, 7),
       Progression{1, kMax, kMax, 0}},
      {"the whole range at the largest step", Progression{1, kMin, kMax, kMax - kMin},
       Progression::Of(1, kMax, 4, -1), Progression{1, kMax, kMax, 0}},
      {"steps near 2^31 that never meet", Progression::Of(1, kMin, 3, 2147483647),
       Progression::Of(1, kMin + 2, 2, 2147483646), std::nullopt},
      {"steps near 2^31 that meet once", Progression::Of(1, kMin, 3, 2147483647),
       Progression::Of(1, kMax - 1, 2, -2147483646), Progression{1, 2147483646, 2147483646, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(IsValidProgression(c.a) && IsValidProgression(c.b));
    EXPECT_EQ(SharedNumbers(c.a, c.b), c.shared);
    // Sharing is the same both ways round.
    EXPECT_EQ(SharedNumbers(c.b, c.a).has_value(), c.shared.has_value());
  }
}

TEST(Progression, ValidOnlyWhenTheStepLeadsFromFirstToLastWithinTheRange) {
  const struct {
    Progression p;
    bool valid;
  } cases[] = {
      {{1, 7000, 7045, 5}, true},
      {{60, 50, 5, -5}, true},
      {{1, 7, 7, 0}, true},
      {{1, kMin, kMax, kMax - kMin}, true},
      {{1, 7000, 7044, 5}, false},
      {{1, 50, 5, 5}, false},
      {{1, 7, 7, 5}, false},
      {{1, 7, 8, 0}, false},
      {{0, 7, 7, 0}, false},
      {{61, 7, 7, 0}, false},
      {{1, kMax, kMax + 1, 1}, false},
      {{1, kMin - 1, kMin, 1}, false},
      {{1, kMin, kMax + 1, kMax - kMin + 1}, false},
      {Progression::Of(1, kMax, 3, 1), false},
      {Progression::Of(1, 0, std::numeric_limits<int32_t>::max(), 1LL << 32), false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsValidProgression(c.p), c.valid) << c.p.first << ".." << c.p.last << "/" << c.p.step;
}

TEST(Progression, TextShowsTheStepByItsFirstTwoNumbers) {
  const struct {
    Progression p;
    const char* text;
  } cases[] = {
      {Progression::Single(1, 7), "7"},
      {Progression::Of(1, 7000, 2, 5), "7000,7005"},
      {Progression::Of(1, 100, 50, 1), "100..149"},
      {Progression::Of(1, 50, 10, -1), "50..41"},
      {Progression::Of(1, 7000, 10, 5), "7000,7005..7045"},
      {Progression::Of(1, 5, 3, -5), "5,0..-5"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatProgression(c.p), c.text);
  EXPECT_EQ(FormatProgressions({Progression::Of(1, 100, 50, 1), Progression::Of(12, 50, 10, -5)}),
            "01:100..149;12:50,45..5");
}

}  // namespace
}  // namespace zirvo
