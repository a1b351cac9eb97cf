// The numbers one numerator prints in a run, held exactly: an arithmetic
// progression first, first + step, ..., last. A run of 3 sheets with
// increment 5 from 7000 prints 7000, 7005, 7010; a numerator counting down
// from 50 prints 50, 45, 40 (step -5). Two progressions of one numerator
// meet only when they share a number: 7000, 7005, 7010 and 7001, 7006, 7011
// never do, although their spans cross.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zirvo {

struct Progression {
  int32_t position = 0;  // the numerator's position, 1 to 60
  int64_t first = 0;
  int64_t last = 0;
  // The signed distance from one number to the next, toward last; 0 when
  // the progression holds one number (first == last).
  int64_t step = 0;
  // False for numbers recorded but not guarded: a numerator that starts its
  // count again (a cycle) or repeats another's number (a stub) prints the
  // same numbers run after run by design.
  bool guarded = true;

  // `count` numbers (at least 1) from `first`, each `step` from the one
  // before: the numbers of `count` sheets of a run moving by `step`. One
  // number, or a step of 0, gives the single number `first`.
  static Progression Of(int32_t position, int64_t first, int64_t count, int64_t step);
  static Progression Single(int32_t position, int64_t number) { return {position, number, number}; }

  int64_t Low() const { return first < last ? first : last; }
  int64_t High() const { return first < last ? last : first; }
  int64_t Count() const;
  bool Holds(int64_t number) const;
  bool operator==(const Progression&) const = default;
};

// Numbers within the signed 32-bit range, position 1 to 60, a step that
// leads from first to last (0 exactly when they are equal) and is at most
// 2^32 - 1 in size. Records that do not pass are not progressions.
bool IsValidProgression(const Progression& p);

// The numbers both progressions hold, in the order of `a` (a progression
// again, of a's position); nothing when they share none. Both must be valid;
// their positions are not compared.
std::optional<Progression> SharedNumbers(const Progression& a, const Progression& b);

// "7000" for one number, "7000,7005" for two, "100..149" for a step of 1,
// "7000,7005..7045" otherwise (the first two numbers show the step).
std::string FormatProgression(const Progression& p);
// Each progression with its position before it: "01:100..149;02:50,45..5".
std::string FormatProgressions(const std::vector<Progression>& list,
                               std::string_view separator = ";");

}  // namespace zirvo
