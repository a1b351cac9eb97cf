// The strings the three encoders build.
#include "render/barcode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/bar_modules.h"
#include "support/barcode_strings.h"

namespace zirvo {
namespace {

std::string Bytes(std::initializer_list<int> codes) {
  std::string s;
  for (int c : codes) s += static_cast<char>(c);
  return s;
}

using testing::BarsOf;
using testing::EncodeCode128;
using testing::EncodeCode39;
using testing::Encoded;
using testing::EncodeEan13;
using testing::Encoder;

TEST(BarcodeEncoders, Code39FramesTheTextUnchanged) {
  EXPECT_EQ(EncodeCode39("123"), "*123*");
  EXPECT_EQ(EncodeCode39(""), "**");
  EXPECT_EQ(EncodeCode39(" a|ñ "), "* a|ñ *");
}

TEST(BarcodeEncoders, Code128InCodeSetA) {
  struct Case {
    std::string text;
    std::string encoded;
  };
  const Case cases[] = {
      {"123", Bytes({135, 49, 50, 51, 39, 138})},
      {"A b", Bytes({135, 65, 232, 232, 65, 138})},
      {"AB-12", Bytes({135, 65, 66, 45, 49, 50, 124, 138})},
      {"", Bytes({135, 232, 138})},
      // Every character outside codes 32 to 96 counts as a space.
      {Bytes({9, 126, 127, 128, 0xF1}), Bytes({135, 232, 232, 232, 232, 232, 232, 138})},
      // Check value 95 (code 127) and 96 (code 128) are written as 192 and 193:
      // 103 + 33 + 2 x 31 = 198 and 103 + 34 + 2 x 31 = 199.
      {"A?", Bytes({135, 65, 63, 192, 138})},
      {"B?", Bytes({135, 66, 63, 193, 138})},
      {"`", Bytes({135, 96, 96, 138})},       // code 96 is still in code set A
      {"!!", Bytes({135, 33, 33, 35, 138})},  // 103 + 1 + 2 = 106, mod 103 = 3
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeCode128(c.text), c.encoded) << c.text;
    EXPECT_EQ(EncodeCode128(c.text).size(), c.text.size() + 3);
  }
}

TEST(BarcodeEncoders, Code128CheckValuesAboveNinetySix) {
  // Value 1 at position 97 adds 97: 103 + 97 = 200, mod 103 = 97, code 129.
  std::string text(96, ' ');
  text += '!';
  const std::string encoded = EncodeCode128(text);
  ASSERT_EQ(encoded.size(), 100u);
  EXPECT_EQ(static_cast<unsigned char>(encoded[98]), 129);
  // A long text keeps the checksum modulo 103 without overflowing.
  const std::string longText(100000, '~');
  EXPECT_EQ(EncodeCode128(longText),
            Bytes({135}) + std::string(100000, '\xE8') + Bytes({232, 138}));
}

TEST(BarcodeEncoders, Ean13) {
  struct Case {
    std::string text;
    std::string encoded;
  };
  const Case cases[] = {
      {"123456789012", "$!23E5GH-ijabci!"},
      {"501234567890", "(!0BC34F-ghijaa!"},
      {" 123456789012 ", "$!23E5GH-ijabci!"},
      {"\t123456789012\r\n", "$!23E5GH-ijabci!"},
      {"000000000000", "#!000000-aaaaaa!"},
      {"400638133393", "'!0A63IB-dddjdb!"},
      {"12345", ""},
      {"1234567890128", ""},
      {"", ""},
      {"12345678901a", ""},
      {"12345 789012", ""},
      {"-23456789012", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(EncodeEan13(c.text), c.encoded) << c.text;
}

// A print run encodes sheet after sheet into the same strings and patterns:
// each text comes out as it does from fresh ones, whatever came before it.
TEST(BarcodeEncoders, EncodingIntoKeptStorageGivesWhatFreshStorageGives) {
  const std::vector<std::string> texts = {"PREFIJO MUY LARGO 000123",
                                          "7",
                                          "",
                                          "123456789012",
                                          " 501234567890 ",
                                          "12345",
                                          "400638133393",
                                          "a",
                                          "N-000042"};
  const struct {
    BarcodeKind type;
    Encoder into;
    bool symbol;  // an encoder's string, whose bars are built too
  } kinds[] = {{BarcodeKind::Code39, EncodeCode39Into, true},
               {BarcodeKind::Code128, EncodeCode128Into, true},
               {BarcodeKind::Ean13, EncodeEan13Into, true},
               {BarcodeKind::Ean13, Ean13DigitsInto, false}};
  for (const auto& kind : kinds) {
    std::string kept;
    BarPattern keptBars;
    for (const std::string& text : texts) {
      kind.into(kept, text);
      EXPECT_EQ(kept, Encoded(kind.into, text)) << int(kind.type) << " '" << text << "'";
      if (!kind.symbol) continue;
      BarsOfInto(keptBars, kind.type, kept);
      const BarPattern fresh = BarsOf(kind.type, kept);
      EXPECT_EQ(keptBars.modules, fresh.modules) << int(kind.type) << " '" << text << "'";
      EXPECT_EQ(keptBars.bars, fresh.bars) << int(kind.type) << " '" << text << "'";
    }
  }
}

}  // namespace
}  // namespace zirvo
