#include "printing/progression.h"

#include <algorithm>
#include <limits>

#include "base/text.h"

namespace zirvo {
namespace {

// Products of a step and a count of sheets reach 2^63; every sum and product
// below is taken in 128 bits.
using Wide = __int128;

constexpr int64_t kMaxStep = (int64_t{1} << 32) - 1;

bool InInt32(Wide n) {
  return n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max();
}

Wide Magnitude(Wide n) { return n < 0 ? -n : n; }

// Rounds toward minus infinity, whatever the signs.
Wide FloorDivide(Wide a, Wide b) {
  Wide q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

Wide Modulo(Wide a, Wide m) {
  const Wide r = a % m;
  return r < 0 ? r + m : r;
}

Wide Gcd(Wide a, Wide b) {
  while (b != 0) {
    const Wide r = a % b;
    a = b;
    b = r;
  }
  return a;
}

// The inverse of `a` modulo `m`, for a and m without a common divisor.
Wide Inverse(Wide a, Wide m) {
  Wide r0 = m, r1 = Modulo(a, m), s0 = 0, s1 = 1;
  while (r1 != 0) {
    const Wide q = r0 / r1;
    Wide t = r0 - q * r1;
    r0 = r1;
    r1 = t;
    t = s0 - q * s1;
    s0 = s1;
    s1 = t;
  }
  return Modulo(s0, m);
}

// The distance between neighbouring numbers; 1 for a single number, which
// then is its own low and high.
Wide Spacing(const Progression& p) { return p.step == 0 ? 1 : Magnitude(p.step); }

}  // namespace

Progression Progression::Of(int32_t position, int64_t first, int64_t count, int64_t step) {
  if (count <= 1 || step == 0) return Single(position, first);
  const Wide last = Wide{first} + Wide{count - 1} * step;
  // A last number past 64 bits cannot be valid; it is kept out of range.
  const Wide limit = std::numeric_limits<int64_t>::max();
  return {position, first, static_cast<int64_t>(std::clamp(last, -limit, limit)), step};
}

int64_t Progression::Count() const {
  if (step == 0) return 1;
  return static_cast<int64_t>((Wide{High()} - Low()) / Magnitude(step) + 1);
}

bool Progression::Holds(int64_t number) const {
  if (number < Low() || number > High()) return false;
  return Modulo(Wide{number} - first, Spacing(*this)) == 0;
}

bool IsValidProgression(const Progression& p) {
  if (p.position < 1 || p.position > 60 || !InInt32(p.first) || !InInt32(p.last)) return false;
  if (p.step == 0 || p.first == p.last) return p.step == 0 && p.first == p.last;
  if (Magnitude(p.step) > kMaxStep) return false;
  const Wide span = Wide{p.last} - p.first;
  return span % p.step == 0 && span / p.step > 0;
}

std::optional<Progression> SharedNumbers(const Progression& a, const Progression& b) {
  const Wide lo = std::max(a.Low(), b.Low());
  const Wide hi = std::min(a.High(), b.High());
  if (lo > hi) return std::nullopt;
  // A shared number x satisfies x = a.Low() (mod da) and x = b.Low() (mod db);
  // such numbers exist when the gcd divides the difference, and then repeat
  // every lcm(da, db) from the one solution found.
  const Wide da = Spacing(a), db = Spacing(b);
  const Wide g = Gcd(da, db);
  const Wide difference = Wide{b.Low()} - a.Low();
  if (difference % g != 0) return std::nullopt;
  const Wide m = db / g;
  const Wide t = m == 1 ? 0 : Modulo(Modulo(difference / g, m) * Inverse(da / g, m), m);
  const Wide solution = Wide{a.Low()} + da * t;
  const Wide lcm = da / g * db;
  const Wide lowest = solution + FloorDivide(lo - solution + lcm - 1, lcm) * lcm;
  if (lowest > hi) return std::nullopt;
  const Wide highest = lowest + (hi - lowest) / lcm * lcm;
  Progression shared{a.position, static_cast<int64_t>(lowest), static_cast<int64_t>(highest), 0};
  if (lowest != highest) shared.step = static_cast<int64_t>(lcm);
  if (a.step < 0) {
    std::swap(shared.first, shared.last);
    shared.step = -shared.step;
  }
  return shared;
}

std::string FormatProgression(const Progression& p) {
  const int64_t count = p.Count();
  if (count == 1) return FormatInt(p.first);
  if (count == 2) return FormatInt(p.first) + "," + FormatInt(p.last);
  if (p.step == 1 || p.step == -1) return FormatInt(p.first) + ".." + FormatInt(p.last);
  return FormatInt(p.first) + "," + FormatInt(p.first + p.step) + ".." + FormatInt(p.last);
}

std::string FormatProgressions(const std::vector<Progression>& list, std::string_view separator) {
  std::string text;
  for (const Progression& p : list) {
    if (!text.empty()) text += separator;
    if (p.position >= 0 && p.position < 10) text += '0';
    text += FormatInt(p.position) + ":" + FormatProgression(p);
  }
  return text;
}

}  // namespace zirvo
