#include "catalog/catalog.h"

#include <gtest/gtest.h>

#include <set>

#include "temp_dir.h"

namespace zirvo {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

struct Loaded {
  TempDir dir;
  Catalog catalog{dir.Path("DatosLoc.ini")};
  int Load() {
    const int language = catalog.ReadLanguage();
    catalog.LoadTable(language);
    return language;
  }
};

TEST(Catalog, WithoutSettingsFileItIsSpanish) {
  Loaded l;
  EXPECT_EQ(l.Load(), 0);
  EXPECT_EQ(l.catalog.LookupText("0001"), "Aceptar");
  EXPECT_EQ(l.catalog.LanguageCode(), "000000");
}

TEST(Catalog, StoredLanguageSelectsTheTable) {
  const struct {
    const char* ini;
    int language;
    const char* ok;
    const char* code;
  } cases[] = {
      {"[Language]\r\nPredet=2\r\n", 2, "OK", "000002"},
      {"[Language]\r\nPredet=1\r\n", 1, "Aceptar", "000001"},
      {"[Language]\r\nPredet=0\r\n", 0, "Aceptar", "000000"},
      {"[Language]\r\nPredet=7\r\n", 7, "Aceptar", "000007"},
      {"[language]\nPREDET = 2\n", 2, "OK", "000002"},  // INI names ignore case
      {"[Language]\r\nPredet=dos\r\n", 0, "Aceptar", "000000"},
      {"[Other]\r\nPredet=2\r\n", 0, "Aceptar", "000000"},
      {"[Language]\r\nOtro=2\r\n", 0, "Aceptar", "000000"},
  };
  for (const auto& c : cases) {
    Loaded l;
    WriteBytes(l.dir.Path("DatosLoc.ini"), c.ini);
    EXPECT_EQ(l.Load(), c.language) << c.ini;
    EXPECT_EQ(l.catalog.LookupText("0001"), c.ok) << c.ini;
    EXPECT_EQ(l.catalog.LanguageCode(), c.code) << c.ini;
  }
}

TEST(Catalog, OnlyAFourDigitCodeOfTheTableFindsAText) {
  Catalog catalog("/nonexistent/DatosLoc.ini");
  // Spanish last: the program's own messages follow the table loaded.
  for (const auto& [language, ok] : {std::pair{2, "OK"}, {1, "Aceptar"}}) {
    catalog.LoadTable(language);
    EXPECT_EQ(catalog.LookupText("0001"), ok);
    for (const char* code : {"9999", "506", "05060", "", "0001 "})
      EXPECT_EQ(catalog.LookupText(code), "") << code;
  }
  // The table's Windows-1252 bytes come out as UTF-8.
  EXPECT_EQ(catalog.LookupText("0131"), "El Archivo ya existe. ¿Quiere reescribirlo?");
}

TEST(Catalog, BothTablesHoldTheSameCodesInOrderOnce) {
  const auto& es = SpanishCatalog();
  const auto& en = EnglishCatalog();
  ASSERT_EQ(es.size(), en.size());
  std::set<std::string> seen;
  std::string previous;
  for (std::size_t i = 0; i < es.size(); ++i) {
    const std::string code = es[i].substr(0, 4);
    EXPECT_EQ(en[i].substr(0, 4), code);
    EXPECT_EQ(es[i].substr(4, 3), " = ");
    EXPECT_TRUE(seen.insert(code).second) << code;
    EXPECT_LT(previous, code);
    previous = code;
  }
}

TEST(Catalog, WriteLanguageKeepsEveryOtherLine) {
  Loaded l;
  const std::string path = l.dir.Path("DatosLoc.ini");
  WriteBytes(path,
             "; settings\r\n[Printer]\r\nLast=HP\r\n\r\n[Language]\r\nPredet=1\r\nExtra=x\r\n"
             "[Tail]\r\nA=1");
  l.catalog.WriteLanguage(2);
  EXPECT_EQ(ReadBytes(path),
            "; settings\r\n[Printer]\r\nLast=HP\r\n\r\n[Language]\r\nPredet=2\r\nExtra=x\r\n"
            "[Tail]\r\nA=1");
  EXPECT_EQ(l.catalog.LanguageCode(), "000002");

  WriteBytes(path, "[Printer]\nLast=HP\n");
  l.catalog.WriteLanguage(1);
  EXPECT_EQ(ReadBytes(path), "[Printer]\nLast=HP\n[Language]\nPredet=1\n");

  WriteBytes(path, "[Language]\r\nOther=5\r\n\r\n[Next]\r\n");
  l.catalog.WriteLanguage(2);
  EXPECT_EQ(ReadBytes(path), "[Language]\r\nOther=5\r\nPredet=2\r\n\r\n[Next]\r\n");
}

TEST(Catalog, WriteCreatesTheFileAndSurvivesARestart) {
  TempDir dir;
  {
    Catalog catalog(dir.Path("DatosLoc.ini"));
    catalog.WriteLanguage(2);
    EXPECT_EQ(ReadBytes(dir.Path("DatosLoc.ini")), "[Language]\r\nPredet=2\r\n");
  }
  Catalog restarted(dir.Path("DatosLoc.ini"));
  restarted.LoadTable(restarted.ReadLanguage());
  EXPECT_EQ(restarted.LookupText("0011"), "Start");
}

TEST(Catalog, AFailedWriteMakesTheCodeZero) {
  Catalog catalog("/nonexistent-folder/DatosLoc.ini");
  catalog.LoadTable(2);
  catalog.WriteLanguage(2);
  EXPECT_EQ(catalog.LanguageCode(), "000000");
  EXPECT_EQ(catalog.LookupText("0001"), "OK");  // the loaded table stays
}

}  // namespace
}  // namespace zirvo

namespace zirvo {
namespace {

TEST(OwnText, FollowsTheLoadedLanguageAndFillsBothArguments) {
  Catalog catalog("/nonexistent/DatosLoc.ini");
  catalog.LoadTable(2);
  EXPECT_EQ(OwnText(OwnMessage::FileNotWritten, "/a/b.pla", "No space left on device"),
            "The file '/a/b.pla' could not be saved: No space left on device");
  EXPECT_EQ(OwnText(OwnMessage::PrintingFailed, "Oficina", "%s"),
            "Printing on 'Oficina' failed: %s. The print run was cancelled.");
  catalog.LoadTable(1);
  EXPECT_EQ(OwnText(OwnMessage::RepositionNotInteger, "12a"),
            "'12a' no es un número de hoja válido.");
  // The message of an incompatible file follows the language as the rest do.
  catalog.LoadTable(2);
  EXPECT_EQ(OwnText(OwnMessage::NotCompatible),
            "The format is not compatible and could not be read.");
  catalog.LoadTable(1);
}

}  // namespace
}  // namespace zirvo
