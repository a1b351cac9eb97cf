#include "render/barcode.h"

#include <cstddef>

#include "base/text.h"

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
  // "\363" is the Windows-1252 byte of "ó".
  static const std::array<std::string, 3> types = {
      "[00000]C\363digo 39",
      "[01000]C\363digo 128",
      "[02000]C\363digo EA-13",
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

std::string EncodeCode39(std::string_view text) {
  std::string result = "*";
  result += text;
  result += '*';
  return result;
}

std::string EncodeCode128(std::string_view text) {
  // Characters outside code set A (codes 32 to 96) travel as spaces, in the
  // bars and in the checksum alike.
  std::string copy(text);
  int checksum = kStartValue % 103;
  for (std::size_t i = 0; i < copy.size(); ++i) {
    const auto code = static_cast<unsigned char>(copy[i]);
    if (code < 32 || code > 96) copy[i] = ' ';
    const int value = static_cast<unsigned char>(copy[i]) - 32;
    checksum = (checksum + static_cast<int>((i + 1) % 103) * value) % 103;
  }
  const auto check = static_cast<unsigned char>(checksum + 32);

  std::string result;
  result.reserve(copy.size() + 3);
  result += Substituted(kStartA);
  for (char c : copy) result += Substituted(static_cast<unsigned char>(c));
  result += Substituted(check);
  result += Substituted(kStop);
  return result;
}

std::string Ean13Digits(std::string_view text) {
  const std::string code = Trim(text);
  if (code.size() != 12) return {};
  int sum = 0;
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (!IsDigit(code[i])) return {};
    const int digit = code[i] - '0';
    sum += (i % 2 == 0) ? digit : 3 * digit;
  }
  const int r = sum % 10;
  return code + static_cast<char>('0' + (r == 0 ? 0 : 10 - r));
}

std::string EncodeEan13(std::string_view text) {
  const std::string digits = Ean13Digits(text);
  if (digits.empty()) return {};

  const int lead = digits[0] - '0';
  std::string result;
  result.reserve(16);
  result += static_cast<char>(35 + lead);
  result += '!';
  for (int k = 1; k <= 6; ++k) {
    const int digit = digits[k] - '0';
    result += static_cast<char>((kEanParity[lead][k - 1] == 'A' ? '0' : 'A') + digit);
  }
  result += '-';
  for (int k = 7; k <= 12; ++k) result += static_cast<char>('a' + (digits[k] - '0'));
  result += '!';
  return result;
}

}  // namespace zirvo
