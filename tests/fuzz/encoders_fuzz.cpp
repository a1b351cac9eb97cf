// The three barcode encoders on arbitrary text: lengths and alphabets hold.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "support/barcode_strings.h"

using namespace zirvo;
using namespace zirvo::testing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string code39 = EncodeCode39(text);
  FUZZ_CHECK(code39.size() == size + 2 && code39.front() == '*' && code39.back() == '*');

  const std::string code128 = EncodeCode128(text);
  FUZZ_CHECK(code128.size() == size + 3);
  FUZZ_CHECK(static_cast<unsigned char>(code128.front()) == 135);
  FUZZ_CHECK(static_cast<unsigned char>(code128.back()) == 138);
  for (std::size_t i = 1; i + 1 < code128.size(); ++i) {
    const auto c = static_cast<unsigned char>(code128[i]);
    FUZZ_CHECK((c >= 33 && c <= 126) || c == 232 || c == 192 || c == 193 || (c >= 129 && c <= 134));
  }

  const std::string ean = EncodeEan13(text);
  FUZZ_CHECK(ean.empty() || ean.size() == 16);
  if (!ean.empty()) {
    FUZZ_CHECK(ean[1] == '!' && ean[8] == '-' && ean[15] == '!');
  }
  return 0;
}
