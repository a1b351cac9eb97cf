#include "render/bar_modules.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zirvo {
namespace {

// Elements of one symbol, alternating bar and space, starting with a bar;
// each digit is a width in modules. Builds into a pattern it starts afresh.
class PatternBuilder {
 public:
  explicit PatternBuilder(BarPattern& pattern) : pattern_(pattern) {
    pattern_.modules = 0;
    pattern_.bars.clear();
  }
  void Add(const char* widths) {
    bool dark = true;
    for (const char* w = widths; *w != '\0'; ++w, dark = !dark) {
      const int32_t width = *w - '0';
      if (dark) pattern_.bars.push_back({pattern_.modules, width});
      pattern_.modules += width;
    }
  }
  void AddSpace(int32_t width) { pattern_.modules += width; }
  // A string of module bits, '1' dark.
  void AddBits(const char* bits) {
    for (const char* b = bits; *b != '\0'; ++b) {
      if (*b == '1') {
        if (!pattern_.bars.empty() && lastWasDark_ &&
            pattern_.bars.back().start + pattern_.bars.back().width == pattern_.modules) {
          ++pattern_.bars.back().width;
        } else {
          pattern_.bars.push_back({pattern_.modules, 1});
        }
      }
      lastWasDark_ = *b == '1';
      ++pattern_.modules;
    }
  }

 private:
  BarPattern& pattern_;
  bool lastWasDark_ = false;
};

// Code 39: nine elements per character (bar, space, ... bar), '1' wide.
struct Code39Symbol {
  char character;
  const char* wide;
};
constexpr std::array<Code39Symbol, 44> kCode39Symbols = {{
    {'0', "000110100"}, {'1', "100100001"}, {'2', "001100001"}, {'3', "101100000"},
    {'4', "000110001"}, {'5', "100110000"}, {'6', "001110000"}, {'7', "000100101"},
    {'8', "100100100"}, {'9', "001100100"}, {'A', "100001001"}, {'B', "001001001"},
    {'C', "101001000"}, {'D', "000011001"}, {'E', "100011000"}, {'F', "001011000"},
    {'G', "000001101"}, {'H', "100001100"}, {'I', "001001100"}, {'J', "000011100"},
    {'K', "100000011"}, {'L', "001000011"}, {'M', "101000010"}, {'N', "000010011"},
    {'O', "100010010"}, {'P', "001010010"}, {'Q', "000000111"}, {'R', "100000110"},
    {'S', "001000110"}, {'T', "000010110"}, {'U', "110000001"}, {'V', "011000001"},
    {'W', "111000000"}, {'X', "010010001"}, {'Y', "110010000"}, {'Z', "011010000"},
    {'-', "010000101"}, {'.', "110000100"}, {' ', "011000100"}, {'*', "010010100"},
    {'$', "010101000"}, {'/', "010100010"}, {'+', "010001010"}, {'%', "000101010"},
}};
constexpr int32_t kCode39Wide = 3;

const char* Code39WideFlags(char c) {
  for (const auto& symbol : kCode39Symbols)
    if (symbol.character == c) return symbol.wide;
  return nullptr;
}

void Code39Bars(BarPattern& out, std::string_view encoded) {
  PatternBuilder builder(out);
  bool first = true;
  for (char c : encoded) {
    const char* wide = Code39WideFlags(c);
    if (wide == nullptr) continue;
    if (!first) builder.AddSpace(1);  // gap between characters
    first = false;
    char widths[10] = {};
    for (int i = 0; i < 9; ++i)
      widths[i] = static_cast<char>('0' + (wide[i] == '1' ? kCode39Wide : 1));
    builder.Add(widths);
  }
}

// Code 128: six elements per symbol value 0-105, seven for Stop (106).
constexpr std::array<const char*, 107> kCode128Symbols = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312",  "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122",  "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122",  "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123",  "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331",  "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311",  "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411",  "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412",  "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",  "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211",  "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113",  "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112",
};

// The symbol value a character of the Code 128 encoder's string stands for,
// or -1.
int Code128Value(unsigned char c) {
  if (c == 232) return 0;
  if (c >= 33 && c <= 126) return c - 32;
  if (c == 192) return 95;
  if (c == 193) return 96;
  if (c >= 129 && c <= 134) return c - 32;
  if (c == 135) return 103;
  if (c == 138) return 106;
  return -1;
}

void Code128Bars(BarPattern& out, std::string_view encoded) {
  PatternBuilder builder(out);
  for (char c : encoded) {
    const int value = Code128Value(static_cast<unsigned char>(c));
    if (value >= 0) builder.Add(kCode128Symbols[static_cast<size_t>(value)]);
  }
}

// EAN-13 digit patterns, seven module bits each.
constexpr std::array<const char*, 10> kEanSetA = {"0001101", "0011001", "0010011", "0111101",
                                                  "0100011", "0110001", "0101111", "0111011",
                                                  "0110111", "0001011"};
constexpr std::array<const char*, 10> kEanSetB = {"0100111", "0110011", "0011011", "0100001",
                                                  "0011101", "0111001", "0000101", "0010001",
                                                  "0001001", "0010111"};
constexpr std::array<const char*, 10> kEanSetC = {"1110010", "1100110", "1101100", "1000010",
                                                  "1011100", "1001110", "1010000", "1000100",
                                                  "1001000", "1110100"};

void Ean13Bars(BarPattern& out, std::string_view encoded) {
  PatternBuilder builder(out);
  // The first character is the leading digit, carried by the parities only.
  for (size_t i = 1; i < encoded.size(); ++i) {
    const char c = encoded[i];
    if (c == '!')
      builder.AddBits("101");
    else if (c == '-')
      builder.AddBits("01010");
    else if (c >= '0' && c <= '9')
      builder.AddBits(kEanSetA[static_cast<size_t>(c - '0')]);
    else if (c >= 'A' && c <= 'J')
      builder.AddBits(kEanSetB[static_cast<size_t>(c - 'A')]);
    else if (c >= 'a' && c <= 'j')
      builder.AddBits(kEanSetC[static_cast<size_t>(c - 'a')]);
  }
}

}  // namespace

void BarsOfInto(BarPattern& out, BarcodeKind kind, std::string_view encoded) {
  switch (kind) {
    case BarcodeKind::Code39:
      Code39Bars(out, encoded);
      return;
    case BarcodeKind::Code128:
      Code128Bars(out, encoded);
      return;
    case BarcodeKind::Ean13:
      Ean13Bars(out, encoded);
      return;
    case BarcodeKind::QrCode:
      break;  // a matrix, not bars: see base/qr_matrix.h
  }
  out.modules = 0;
  out.bars.clear();
}

ModuleGrid::ModuleGrid(int32_t length, int32_t modules, bool toScale) {
  if (modules <= 0 || length <= 0) return;  // nothing to draw
  length_ = length;
  modules_ = modules;
  if (!toScale && length >= modules) {
    wholeUnits_ = length / modules;
  } else {
    scale_ = static_cast<double>(length) / modules;
  }
}

UnitSpan ModuleGrid::Span(int32_t first, int32_t count) const {
  if (wholeUnits_ > 0) return {first * wholeUnits_, count * wholeUnits_};
  if (length_ == 0) return {};
  const double start = first * scale_;
  const double end = (first + count) * scale_;
  // Modules of a unit or more keep their widths within a unit; narrower ones
  // take every unit they touch, so that they show, merged, where they lie.
  const bool merging = scale_ < 1.0;
  const auto from = static_cast<int32_t>(merging ? std::floor(start) : std::nearbyint(start));
  const auto to =
      std::min(length_, static_cast<int32_t>(merging ? std::ceil(end) : std::nearbyint(end)));
  return {from, std::max(0, to - from)};
}

int32_t ModuleGrid::Length() const { return wholeUnits_ > 0 ? modules_ * wholeUnits_ : length_; }

}  // namespace zirvo
