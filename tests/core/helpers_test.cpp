#include "app/helpers.h"

#include <gtest/gtest.h>

namespace zirvo {
namespace {

struct KeyCase {
  const char* text;
  const char* selected;
  int caret;
  char key;
  bool passes;
};

TEST(IntegerKeyFilter, LetsThroughDigitsAndOneLeadingMinus) {
  const KeyCase cases[] = {
      {"12", "", 0, '-', true},     {"12", "", 1, '-', false},  {"-12", "", 0, '-', false},
      {"-12", "", 2, '-', false},   {"-12", "-", 0, '-', true}, {"", "", 0, '7', true},
      {"-12", "", 0, '5', true},    // a digit in front of the minus still passes
      {"1", "", 1, 'a', false},     {"1", "", 1, ' ', false},   {"1", "", 1, ',', false},
      {"1", "", 1, '.', false},     {"1", "", 1, 3, true},      {"1", "", 1, 22, true},
      {"1", "", 1, 8, true},        {"1", "", 1, 13, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IntegerKeyFilter(c.text, c.selected, c.caret, c.key), c.passes ? c.key : '\0')
        << "'" << c.text << "' caret " << c.caret << " key " << int(c.key);
  }
}

TEST(RealKeyFilter, OnePointNeitherFirstNorAfterTheMinus) {
  const KeyCase cases[] = {
      {"", "", 0, '.', false},      {"-", "", 1, '.', false},   {"-1", "", 2, '.', true},
      {"1", "", 1, '.', true},      {"1.5", "", 3, '.', false}, {"1.5", ".", 1, '.', true},
      {"12", "", 0, '-', true},     {"12", "", 1, '-', false},  {"-12", "", 0, '-', false},
      {"-12", "-1", 0, '-', true},  {"3", "", 1, '9', true},    {"3", "", 1, 'e', false},
      {"3", "", 1, ',', false},     {"3", "", 1, ' ', false},   {"3", "", 1, 8, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RealKeyFilter(c.text, c.selected, c.caret, c.key), c.passes ? c.key : '\0')
        << "'" << c.text << "' caret " << c.caret << " key " << c.key;
  }
}

TEST(ZeroPad, PadsWithoutInterpreting) {
  EXPECT_EQ(ZeroPad("7", 3), "007");
  EXPECT_EQ(ZeroPad("1234", 3), "1234");
  EXPECT_EQ(ZeroPad("", 2), "00");
  EXPECT_EQ(ZeroPad("-5", 4), "00-5");
  EXPECT_EQ(ZeroPad("5", 0), "5");
  EXPECT_EQ(ZeroPad("5", -3), "5");
}

TEST(Folders, DataFolderSitsInTheApplicationFolder) {
  const std::string before = ApplicationFolder();
  EXPECT_FALSE(before.empty());
  EXPECT_NE(before.back(), '/');
  EXPECT_EQ(DataFolder(), before + "/Datos/");
  SetApplicationFolderForTesting("/opt/zirvo");
  EXPECT_EQ(DataFolder(), "/opt/zirvo/Datos/");
  SetApplicationFolderForTesting(before);
}

}  // namespace
}  // namespace zirvo
