#include "base/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <locale>

namespace zirvo {
namespace {

TEST(Trim, RemovesControlCodesAndSpacesFromBothEnds) {
  EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(Trim(std::string("\0\x1f x\x20", 5)), "x");
  EXPECT_EQ(Trim("\xa0x\xa0"), "\xa0x\xa0");  // no-break space (160) is kept
  EXPECT_EQ(Trim("   "), "");
}

TEST(Cp1252, RoundTripsEveryDefinedByte) {
  for (int b = 1; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    bool complete = false;
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one), &complete), one) << b;
    EXPECT_TRUE(complete) << b;
  }
}

TEST(Cp1252, MapsTheLettersUsersType) {
  EXPECT_EQ(Cp1252ToUtf8("\xf1\xe9\x80"), "ñé€");
  EXPECT_EQ(Utf8ToCp1252("Código Ñ €"),
            "C\xf3"
            "digo \xd1 \x80");
  bool complete = true;
  EXPECT_EQ(Utf8ToCp1252("a\xe2\x82\xbf"
                         "b",
                         &complete),
            "a?b");  // bitcoin sign
  EXPECT_FALSE(complete);
  EXPECT_EQ(Utf8ToCp1252("\xff", &complete), "?");  // malformed
  EXPECT_FALSE(complete);
}

// Lengths and cuts count characters: a cut never leaves part of one.
TEST(Utf8Text, CountsAndCutsByCharacters) {
  const struct {
    std::string_view text;
    std::size_t count;
    std::size_t cut;
    std::string_view first;
  } cases[] = {
      {"", 0, 3, ""},
      {"abc", 3, 2, "ab"},
      {"Año ñ", 5, 2, "Añ"},
      {"€€€", 3, 1, "€"},
      {"Nº 1", 4, 9, "Nº 1"},
      {"a\xF0\x9F\x98\x80"
       "b",
       3, 2, "a\xF0\x9F\x98\x80"},
      {"\xFFx", 2, 1, "\xFF"},  // a stray byte counts as one
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CharacterCount(c.text), c.count) << c.text;
    EXPECT_EQ(FirstCharacters(c.text, c.cut), c.first) << c.text;
  }
}

TEST(ParseInt32, AcceptsSignedDecimalsInRange) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {{"0", 0},
               {"-0", 0},
               {"0012", 12},
               {"+7", 7},
               {"-25", -25},
               {"2147483647", 2147483647},
               {"-2147483648", std::numeric_limits<int32_t>::min()}};
  for (const auto& c : cases) EXPECT_EQ(ParseInt32(c.text), c.value) << c.text;
}

TEST(ParseInt32, RefusesEverythingElseWithTheIntegerMessage) {
  for (const char* text : {"", "-", "+", "1.5", " 1", "1 ", "2147483648", "-2147483649", "1e3",
                           "abc", "--1", "+-1", "0x10", "999999999999"}) {
    try {
      ParseInt32(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const ConversionError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("'") + text + "' is not a valid integer value");
    }
  }
}

TEST(ParseDouble, AcceptsDecimalsWithPointOnly) {
  const struct {
    const char* text;
    double value;
  } cases[] = {{"3.5", 3.5}, {"-0.25", -0.25}, {"7", 7}, {".5", 0.5}, {"1e2", 100}, {"+2.", 2}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(ParseDouble(c.text), c.value) << c.text;
  for (const char* text : {"", "-", ".", "3,5", "inf", "nan", "1.2.3", " 1", "0x1p3", "1e999"}) {
    try {
      ParseDouble(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const ConversionError& e) {
      EXPECT_EQ(std::string(e.what()),
                std::string("'") + text + "' is not a valid floating point value");
    }
  }
}

TEST(FormatFixed, TwoDecimalsHalvesAwayFromZero) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{21.6, "21.60"},  {28, "28.00"},     {149.99, "149.99"}, {-0.25, "-0.25"},
               {0.125, "0.13"},  {-0.125, "-0.13"}, {2.675, "2.67"},  // 2.675 is below the half
               {-0.001, "0.00"}, {9.999, "10.00"},  {0, "0.00"},        {1e6, "1000000.00"}};
  for (const auto& c : cases) EXPECT_EQ(FormatFixed(c.value, 2), c.text) << c.value;
  EXPECT_EQ(FormatFixed(2.5, 0), "3");
  EXPECT_EQ(FormatFixed(90.0, 0), "90");
}

// Numbers must not follow the process locale: a comma locale must not leak
// into files or fields.
TEST(Numbers, IgnoreACommaLocale) {
  struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
  };
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new Comma));
  const char* cLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(FormatFixed(21.6, 2), "21.60");
  EXPECT_DOUBLE_EQ(ParseDouble("21.60"), 21.6);
  EXPECT_THROW(ParseDouble("21,60"), ConversionError);
  EXPECT_EQ(FormatInt(-1234567), "-1234567");
  if (cLocale != nullptr) std::setlocale(LC_NUMERIC, "C");
  std::locale::global(previous);
}

TEST(CheckedAdd32, RefusesSumsOutsideTheRange) {
  int32_t sum = 0;
  EXPECT_TRUE(CheckedAdd32(2147483646, 1, sum));
  EXPECT_EQ(sum, 2147483647);
  EXPECT_FALSE(CheckedAdd32(2147483647, 1, sum));
  EXPECT_FALSE(CheckedAdd32(std::numeric_limits<int32_t>::min(), -1, sum));
  EXPECT_FALSE(CheckedAdd32(0, std::numeric_limits<int64_t>::max(), sum));
  EXPECT_TRUE(CheckedAdd32(-5, 3, sum));
  EXPECT_EQ(sum, -2);
}

}  // namespace
}  // namespace zirvo
