#include "render/barcode.h"

#include <cstddef>

namespace zirvo {
namespace {

// Code 128 symbol values that a barcode font writes at other character codes.
constexpr unsigned char kStartA = 135;  // value 103
constexpr unsigned char kStop = 138;    // value 106
constexpr int kStartValue = 103;

// Left-half parity of d2 ... d7 selected by the leading digit ("A" odd, "B" even).
constexpr const char* kEanParity[10] = {
    "AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
    "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA",
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A character as code set A carries it: one outside codes 32 to 96 as a space.
unsigned char InCodeSetA(unsigned char code) { return code < 32 || code > 96 ? ' ' : code; }

// The text without leading and trailing characters of code 0 to 32, as Trim
// cuts it.
std::string_view Trimmed(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return text.substr(first, last - first);
}

char Substituted(unsigned char code) {
  switch (code) {
    case 32:
      return static_cast<char>(232);
    case 127:
      return static_cast<char>(192);
    case 128:
      return static_cast<char>(193);
    default:
      return static_cast<char>(code);
  }
}

}  // namespace

const std::array<std::string, 3>& BarcodeTypes() {
  static const std::array<std::string, 3> types = {
      "[00000]Código 39",
      "[01000]Código 128",
      "[02000]Código EA-13",
  };
  return types;
}

const std::array<std::string, 3>& BarcodePositions() {
  static const std::array<std::string, 3> positions = {
      "[00][NO]Ninguno",
      "[01][SP]Superior",
      "[02][IF]Inferior",
  };
  return positions;
}

std::string BarcodeTypeName(int index) {
  if (index < 0 || index >= static_cast<int>(BarcodeTypes().size())) return {};
  return BarcodeTypes()[static_cast<std::size_t>(index)].substr(7);
}

std::string BarcodePositionCode(int index) {
  if (index < 0 || index >= static_cast<int>(BarcodePositions().size())) return {};
  return BarcodePositions()[static_cast<std::size_t>(index)].substr(5, 2);
}

namespace {
// The result of an encoder that writes into kept storage, in fresh storage.
std::string Fresh(void (*encode)(std::string&, std::string_view), std::string_view text) {
  std::string result;
  encode(result, text);
  return result;
}
}  // namespace

std::string EncodeCode39(std::string_view text) { return Fresh(EncodeCode39Into, text); }
std::string EncodeCode128(std::string_view text) { return Fresh(EncodeCode128Into, text); }
std::string Ean13Digits(std::string_view text) { return Fresh(Ean13DigitsInto, text); }
std::string EncodeEan13(std::string_view text) { return Fresh(EncodeEan13Into, text); }

void EncodeCode39Into(std::string& out, std::string_view text) {
  out.clear();
  out += '*';
  out += text;
  out += '*';
}

void EncodeCode128Into(std::string& out, std::string_view text) {
  // Characters outside code set A (codes 32 to 96) travel as spaces, in the
  // bars and in the checksum alike.
  int checksum = kStartValue % 103;
  out.clear();
  out += Substituted(kStartA);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto code = InCodeSetA(static_cast<unsigned char>(text[i]));
    checksum = (checksum + static_cast<int>((i + 1) % 103) * (code - 32)) % 103;
    out += Substituted(code);
  }
  out += Substituted(static_cast<unsigned char>(checksum + 32));
  out += Substituted(kStop);
}

void Ean13DigitsInto(std::string& out, std::string_view text) {
  out.clear();
  const std::string_view code = Trimmed(text);
  if (code.size() != 12) return;
  int sum = 0;
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (!IsDigit(code[i])) return;
    const int digit = code[i] - '0';
    sum += (i % 2 == 0) ? digit : 3 * digit;
  }
  const int r = sum % 10;
  out = code;
  out += static_cast<char>('0' + (r == 0 ? 0 : 10 - r));
}

void EncodeEan13Into(std::string& out, std::string_view text) {
  // The 13 digits first, in the output's own storage.
  Ean13DigitsInto(out, text);
  if (out.empty()) return;
  char digits[13];
  for (std::size_t k = 0; k < 13; ++k) digits[k] = out[k];

  const int lead = digits[0] - '0';
  out.clear();
  out += static_cast<char>(35 + lead);
  out += '!';
  for (int k = 1; k <= 6; ++k) {
    const int digit = digits[k] - '0';
    out += static_cast<char>((kEanParity[lead][k - 1] == 'A' ? '0' : 'A') + digit);
  }
  out += '-';
  for (int k = 7; k <= 12; ++k) out += static_cast<char>('a' + (digits[k] - '0'));
  out += '!';
}

}  // namespace zirvo
