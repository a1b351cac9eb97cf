#include "base/text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace zirvo {
namespace {

// Unicode code points of bytes 0x80 to 0x9F; the five bytes Windows-1252
// leaves undefined keep the C1 control of the same value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string Quoted(std::string_view text, const char* tail) {
  std::string message = "'";
  message += text;
  message += tail;
  return message;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at `pos`; returns false for a malformed one.
bool NextCodePoint(std::string_view s, std::size_t& pos, char32_t& cp) {
  const auto lead = static_cast<unsigned char>(s[pos]);
  int extra = 0;
  if (lead < 0x80) {
    cp = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    cp = lead & 0x1F;
    extra = 1;
  } else if ((lead & 0xF0) == 0xE0) {
    cp = lead & 0x0F;
    extra = 2;
  } else if ((lead & 0xF8) == 0xF0) {
    cp = lead & 0x07;
    extra = 3;
  } else {
    ++pos;
    return false;
  }
  ++pos;
  for (int i = 0; i < extra; ++i, ++pos) {
    if (pos >= s.size() || (static_cast<unsigned char>(s[pos]) & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (static_cast<unsigned char>(s[pos]) & 0x3F);
  }
  return true;
}

// Splits an optional sign off the text; from_chars takes no "+".
std::string_view WithoutPlus(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) return {};
  }
  return text;
}

template <typename Int>
bool ParseWhole(std::string_view text, Int& value) {
  text = WithoutPlus(text);
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && ptr == last;
}

}  // namespace

ConversionError IntegerConversionError(std::string_view text) {
  return ConversionError(Quoted(text, "' is not a valid integer value"));
}

ConversionError FloatConversionError(std::string_view text) {
  return ConversionError(Quoted(text, "' is not a valid floating point value"));
}

std::string Trim(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return std::string(text.substr(first, last - first));
}

char32_t CodePointFromCp1252(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

int Cp1252FromCodePoint(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) return static_cast<int>(0x80 + i);
  }
  return -1;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (char c : cp1252) AppendUtf8(out, CodePointFromCp1252(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToCp1252(std::string_view utf8, bool* complete) {
  std::string out;
  out.reserve(utf8.size());
  bool all = true;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t cp = 0;
    const bool ok = NextCodePoint(utf8, pos, cp);
    const int byte = ok ? Cp1252FromCodePoint(cp) : -1;
    if (byte < 0) {
      out += '?';
      all = false;
    } else {
      out += static_cast<char>(byte);
    }
  }
  if (complete != nullptr) *complete = all;
  return out;
}

bool FitsCp1252(std::string_view utf8) {
  bool complete = true;
  Utf8ToCp1252(utf8, &complete);
  return complete;
}

std::size_t CharacterCount(std::string_view utf8) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < utf8.size(); ++count) {
    char32_t cp = 0;
    NextCodePoint(utf8, pos, cp);
  }
  return count;
}

std::string FirstCharacters(std::string_view utf8, std::size_t count) {
  std::size_t pos = 0;
  for (std::size_t taken = 0; taken < count && pos < utf8.size(); ++taken) {
    char32_t cp = 0;
    NextCodePoint(utf8, pos, cp);
  }
  return std::string(utf8.substr(0, pos));
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    char32_t cp = 0;
    const bool decoded = NextCodePoint(text, pos, cp);
    const std::size_t length = pos - start;
    // The shortest form only: one byte below 0x80, two below 0x800, three below 0x10000.
    const char32_t shortest = length == 1 ? 0 : length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (decoded && cp >= shortest && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF))
      out.append(text.substr(start, length));
    else
      out += "\xEF\xBF\xBD";  // U+FFFD
  }
  return out;
}

bool TryParseInt32(std::string_view text, int32_t& value) { return ParseWhole(text, value); }
bool TryParseInt64(std::string_view text, int64_t& value) { return ParseWhole(text, value); }

int32_t ParseInt32(std::string_view text) {
  int32_t value = 0;
  if (!ParseWhole(text, value)) throw IntegerConversionError(text);
  return value;
}

bool TryParseDouble(std::string_view text, double& value) {
  std::string_view body = WithoutPlus(text);
  if (body.empty()) return false;
  // Only digits, one sign, "." and an exponent: no "inf", "nan" or hex.
  for (char c : body) {
    const bool allowed =
        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
    if (!allowed) return false;
  }
  const char* last = body.data() + body.size();
  auto [ptr, ec] = std::from_chars(body.data(), last, value, std::chars_format::general);
  return ec == std::errc() && ptr == last && std::isfinite(value);
}

double ParseDouble(std::string_view text) {
  double value = 0.0;
  if (!TryParseDouble(text, value)) throw FloatConversionError(text);
  return value;
}

std::string FormatInt(int64_t value) {
  char buffer[24];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, ptr);
}

std::string FormatFixed(double value, int decimals) {
  if (!std::isfinite(value)) value = 0.0;
  // Exact decimal expansion far past the wanted digits, so that a value lying
  // exactly halfway is seen as such and rounded away from zero.
  char wide[400];
  auto [end, ec] = std::to_chars(wide, wide + sizeof wide, std::fabs(value),
                                 std::chars_format::fixed, decimals + 30);
  std::string digits(wide, ec == std::errc() ? end : wide);
  const std::size_t point = digits.find('.');
  std::string kept = digits.substr(0, point + 1 + decimals);
  const std::string rest = digits.substr(point + 1 + decimals);
  bool roundUp = !rest.empty() && rest[0] >= '5';
  if (roundUp) {
    // Increment the kept digits as a decimal number.
    int i = static_cast<int>(kept.size()) - 1;
    for (; i >= 0; --i) {
      if (kept[i] == '.') continue;
      if (kept[i] == '9') {
        kept[i] = '0';
      } else {
        ++kept[i];
        break;
      }
    }
    if (i < 0) kept.insert(kept.begin(), '1');
  }
  if (decimals == 0 && !kept.empty() && kept.back() == '.') kept.pop_back();
  const bool zero = kept.find_first_not_of("0.") == std::string::npos;
  if (value < 0 && !zero) kept.insert(kept.begin(), '-');
  return kept;
}

bool CheckedAdd32(int32_t a, int64_t b, int32_t& sum) {
  // Beyond twice the range the sum can never fit, and stopping here keeps
  // the 64-bit addition itself from overflowing.
  constexpr int64_t kLimit = 1LL << 33;
  if (b > kLimit || b < -kLimit) return false;
  const int64_t wide = static_cast<int64_t>(a) + b;
  if (wide < std::numeric_limits<int32_t>::min() || wide > std::numeric_limits<int32_t>::max())
    return false;
  sum = static_cast<int32_t>(wide);
  return true;
}

}  // namespace zirvo
