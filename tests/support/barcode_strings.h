// The encoders' strings and bars in storage of their own, for tests that
// look at one symbol at a time.
#pragma once

#include <string>
#include <string_view>

#include "render/bar_modules.h"
#include "render/barcode.h"

namespace zirvo::testing {

using Encoder = void (*)(std::string&, std::string_view);

inline std::string Encoded(Encoder encode, std::string_view text) {
  std::string out;
  encode(out, text);
  return out;
}

inline std::string EncodeCode39(std::string_view text) { return Encoded(EncodeCode39Into, text); }
inline std::string EncodeCode128(std::string_view text) { return Encoded(EncodeCode128Into, text); }
inline std::string EncodeEan13(std::string_view text) { return Encoded(EncodeEan13Into, text); }
inline std::string Ean13Digits(std::string_view text) { return Encoded(Ean13DigitsInto, text); }

inline BarPattern BarsOf(BarcodeKind kind, std::string_view encoded) {
  BarPattern pattern;
  BarsOfInto(pattern, kind, encoded);
  return pattern;
}

}  // namespace zirvo::testing
