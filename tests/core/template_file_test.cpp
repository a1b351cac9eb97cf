#include "template/template_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "base/text.h"
#include "temp_dir.h"
#include "template/template_codec.h"

#ifdef __unix__
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#endif

namespace zirvo {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

using N = NumeratorTable;
using M = MarginalTable;
using T = TemplateTable;

const char kExampleHeaderTail[] = "|0|0|0|0|0|0|21.60|28.00|0|15723990|0|0|0|0|F|F|";

TEST(SheetHeader, NewTemplateWritesTheDocumentedLine) {
  TempDir dir;
  Template doc;
  doc.StartNew("- PLANILLA SIN NOMBRE -", 21.6, 28.0);
  const std::string path = dir.Path("Plantilla.pla");
  SaveTemplate(path, doc);
  EXPECT_EQ(ReadBytes(path),
            "|HJA|IMP100|Plantilla.pla|" + dir.Path() + kExampleHeaderTail + "\r\n");
}

TEST(SheetHeader, SizesAreWrittenWithTwoDecimals) {
  const struct {
    double width, height;
    const char* fields;
  } cases[] = {
      {21.6, 28, "|21.60|28.00|"}, {149.99, 0.5, "|149.99|0.50|"}, {-3, 10.005, "|-3.00|10.01|"}};
  for (const auto& c : cases) {
    SheetHeader header;
    header.Width = c.width;
    header.Height = c.height;
    TemplateLines lines;
    WriteSheetHeader(header, lines, "/x/y.pla");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(c.fields), std::string::npos) << lines[0];
  }
}

TEST(SheetHeader, EveryCarriedFieldRoundTrips) {
  SheetHeader header;
  header.SetKind("KIND12345");  // cut to 6
  header.Byte1 = 1;
  header.Byte2 = 2;
  header.Byte3 = 3;
  header.Byte4 = 255;
  header.Word1 = 65535;
  header.Word2 = 7;
  header.Width = 10.5;
  header.Height = 15;
  header.Int1 = -9;
  header.Color1 = 123456;
  header.Color2 = 42;
  header.Int2 = -2147483647 - 1;
  header.Int3 = 2147483647;
  header.Int4 = 4;
  header.Int5 = 5;
  header.Flag1 = true;
  TemplateLines lines;
  WriteSheetHeader(header, lines, "/data/Caja.pla");
  EXPECT_EQ(lines[0],
            "|HJA|KIND12|Caja.pla|/data|1|2|3|255|65535|7|10.50|15.00|-9|123456|"
            "-2147483648|2147483647|4|5|T|F|");
  SheetHeader read;
  read.Color2 = 77;
  ASSERT_TRUE(ReadSheetHeader(read, lines, "/data/Caja.pla"));
  SheetHeader expected = header;
  expected.Name = "Caja";
  expected.Color2 = 77;  // never stored: keeps what it had
  EXPECT_EQ(read, expected);
}

TEST(SheetHeader, NameAndFolderComeFromThePathOpened) {
  const std::string line = std::string("|HJA|IMP100|Other.pla|/else") + kExampleHeaderTail;
  const std::string longName(85, 'n');
  const struct {
    std::string path, name, folder;
  } cases[] = {
      {"/data/Caja.2024.pla", "Caja", "/data"},
      {"/data/.pla", "", "/data"},
      {"/data/Sin punto", "Sin punto", "/data"},
      {"/" + longName + ".pla", std::string(80, 'n'), "/"},
  };
  for (const auto& c : cases) {
    SheetHeader header;
    ASSERT_TRUE(ReadSheetHeader(header, {line}, c.path));
    EXPECT_EQ(header.Name, c.name) << c.path;
    EXPECT_EQ(header.Folder, c.folder) << c.path;
  }
}

TEST(SheetHeader, FlagsAndExtraFieldsAndSecondLines) {
  SheetHeader header;
  ASSERT_TRUE(ReadSheetHeader(
      header,
      {"|FOL|01||0||", "|HJA|K|n|f|0|0|0|0|0|0|1.00|2.00|0|0|0|0|0|0|t|TRUE|extra|more|",
       "|HJA|X|n|f|0|0|0|0|0|0|9.00|9.00|0|0|0|0|0|0|T|T|"},
      "/a/b.pla"));
  EXPECT_EQ(header.Kind, "K");
  EXPECT_DOUBLE_EQ(header.Width, 1.0);
  EXPECT_FALSE(header.Flag1);
  EXPECT_FALSE(header.Flag2);
}

TEST(SheetHeader, BadValuesFailAndChangeNothing) {
  const char* lines[] = {
      "|HJA|IMP100|n|f|0|0|0|0|0|0|21,60|28.00|0|0|0|0|0|0|F|F|",
      "|HJA|IMP100|n|f|x|0|0|0|0|0|21.60|28.00|0|0|0|0|0|0|F|F|",
      "|HJA|IMP100|n|f|0|0|0|0|0|0|21.60|28.00|0|0|0|0|0|",
      "|HJA|IMP100|n|f|0|0|0|0|0|0|21.60|28.00|0|0|0|0|0|99999999999|F|F|",
  };
  for (const char* line : lines) {
    SheetHeader header;
    header.SetName("Before");
    header.Width = 5;
    EXPECT_THROW(ReadSheetHeader(header, {line}, "/a/b.pla"), ZirvoError) << line;
    EXPECT_EQ(header.Name, "Before");
    EXPECT_DOUBLE_EQ(header.Width, 5);
  }
}

TEST(SheetHeader, ResetKeepsInt1) {
  SheetHeader header;
  header.Int1 = 31;
  header.SetName("x");
  header.Width = 3;
  ResetSheetHeader(header);
  SheetHeader expected;
  expected.Int1 = 31;
  EXPECT_EQ(header, expected);
  EXPECT_EQ(header.Color1, -1);
  EXPECT_EQ(header.Color2, -1);
}

TEST(TemplateFile, LineEndsOfAnyKindAreRead) {
  TempDir dir;
  const std::string header = std::string("|HJA|IMP100|a|b") + kExampleHeaderTail;
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    const std::string path = dir.Path("ends.pla");
    WriteBytes(path,
               header + end + "|FOL|01|A|1||" + end + "|MAR|01|Hola|" + end + "|FOL|02|B|2||");
    const std::optional<Template> doc = LoadTemplate(path);
    ASSERT_TRUE(doc.has_value()) << end;
    EXPECT_EQ(doc->Numerators().RowCount(), 2);
    EXPECT_EQ(doc->Numerators().Cell(1, N::kPrefix), "B");
    EXPECT_EQ(doc->Marginals().RowCount(), 1);
    EXPECT_EQ(doc->Header().Name, "ends");
  }
}

TEST(TemplateFile, FilesWithoutAHeaderDoNotLoad) {
  TempDir dir;
  for (const std::string content : {"", "\r\n", "|FOL|01|A|1||\r\n", "hello"}) {
    const std::string path = dir.Path("x.pla");
    WriteBytes(path, content);
    EXPECT_FALSE(LoadTemplate(path).has_value()) << content;
  }
  EXPECT_THROW(LoadTemplate(dir.Path("missing.pla")), ZirvoError);
  EXPECT_THROW(LoadTemplate(dir.Path()), ZirvoError);
}

// Random tables with every kind of character a user may type, spaces at both
// ends included, must come back identical and save to an identical file.
TEST(TemplateFile, RandomTablesRoundTripExactly) {
  std::mt19937 random(20261209);
  const std::vector<std::string> alphabet = {"a", "b", "c", "X", "Y", "Z", " ", "0",
                                             "1", "9", "-", ".", ",", ";", ":", "#",
                                             "ñ", "Ñ", "é", "€", "ü", "¿", "¡"};
  const auto text = [&](int maxLength) {
    std::string s;
    const int length = std::uniform_int_distribution<int>(0, maxLength)(random);
    for (int i = 0; i < length; ++i) s += alphabet[random() % alphabet.size()];
    return s;
  };
  TempDir dir;
  for (int round = 0; round < 20; ++round) {
    Template doc;
    doc.StartNew("x", 1 + random() % 14999 / 100.0, 1 + random() % 14999 / 100.0);
    const int numerators = random() % 61;
    for (int r = 0; r < numerators; ++r) {
      doc.AddRow(T::Numerators);
      doc.CommitCell(T::Numerators, r, N::kPrefix, " " + text(13) + " ");
      doc.CommitCell(T::Numerators, r, N::kNumber, FormatInt(int32_t(random())));
      doc.CommitCell(T::Numerators, r, N::kSuffix, text(15));
      doc.CommitCell(T::Numerators, r, N::kHorizontal,
                     FormatFixed((random() % 4000) / 100.0 - 5, 2));
      doc.CommitCell(T::Numerators, r, N::kFont, "Liberation Sans");
      if (random() % 2) doc.CommitCell(T::Numerators, r, N::kDirection, "");
    }
    const int marginals = random() % 61;
    for (int r = 0; r < marginals; ++r) {
      doc.AddRow(T::Marginals);
      doc.CommitCell(T::Marginals, r, M::kText, "  " + text(196) + " ");
      doc.CommitCell(T::Marginals, r, M::kVertical, FormatFixed((random() % 3000) / 100.0, 2));
    }
    const std::string path = dir.Path("round.pla");
    SaveTemplate(path, doc);
    const std::string firstFile = ReadBytes(path);

    const std::optional<Template> back = LoadTemplate(path);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->Numerators().RowCount(), numerators);
    ASSERT_EQ(back->Marginals().RowCount(), marginals);
    for (int r = 0; r < numerators; ++r)
      EXPECT_EQ(back->Numerators().Row(r), doc.Numerators().Row(r));
    for (int r = 0; r < marginals; ++r) EXPECT_EQ(back->Marginals().Row(r), doc.Marginals().Row(r));
    EXPECT_DOUBLE_EQ(back->Header().Width, std::stod(FormatFixed(doc.Header().Width, 2)));

    SaveTemplate(path, *back);
    EXPECT_EQ(ReadBytes(path), firstFile);
  }
}

namespace fs = std::filesystem;

void ExpectNoTemporaryFiles(const TempDir& dir) {
  for (const auto& entry : fs::directory_iterator(dir.Root())) {
    EXPECT_NE(entry.path().extension().string(), ".tmp") << "left behind: " << entry.path();
  }
}

TEST(TemplateFile, AFailedSaveKeepsTheOldFile) {
  TempDir dir;
  Template doc;
  doc.StartNew("x", 21.6, 28);
  doc.AddRow(T::Numerators);

  // The target is a folder: nothing may be replaced or left behind.
  const std::string folderTarget = dir.Path("folder.pla");
  fs::create_directory(folderTarget);
  try {
    SaveTemplate(folderTarget, doc);
    ADD_FAILURE() << "saved over a folder";
  } catch (const ZirvoError& e) {
    EXPECT_NE(std::string(e.what()).find(folderTarget), std::string::npos) << e.what();
  }
  EXPECT_TRUE(fs::is_directory(folderTarget));

  // The folder does not exist.
  EXPECT_THROW(SaveTemplate(dir.Path("none/x.pla"), doc), ZirvoError);
  EXPECT_FALSE(fs::exists(dir.Path("none")));
  ExpectNoTemporaryFiles(dir);

#ifdef __unix__
  // The disk refuses the data part-way through: the old file stays byte for byte.
  const std::string target = dir.Path("old.pla");
  WriteBytes(target, "old content that must survive\r\n");
  for (int r = 1; r < 60; ++r) doc.AddRow(T::Numerators);
  struct rlimit previous {};
  getrlimit(RLIMIT_FSIZE, &previous);
  auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = previous;
  small.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(SaveTemplate(target, doc), ZirvoError);
  setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(ReadBytes(target), "old content that must survive\r\n");
  ExpectNoTemporaryFiles(dir);

  // An unwritable folder (root may write anywhere, so only for other users).
  if (geteuid() != 0) {
    fs::permissions(dir.Root(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(SaveTemplate(target, doc), ZirvoError);
    fs::permissions(dir.Root(), fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(target), "old content that must survive\r\n");
  }
#endif
}

}  // namespace
}  // namespace zirvo

namespace zirvo {
namespace {

// File names come from the system as UTF-8, as the header keeps them; the
// file holds them in Windows-1252.
TEST(SheetHeader, AccentedFileNamesKeepTheirLetters) {
  testing::TempDir dir;
  const std::string path = dir.Path("Facturación €.2024.pla");
  Template doc;
  doc.StartNew("x", 21.6, 28);
  SaveTemplate(path, doc);
  const std::string bytes = testing::ReadBytes(path);
  EXPECT_EQ(bytes.rfind("|HJA|IMP100|Facturaci\xf3n \x80.2024.pla|", 0), 0u) << bytes;
  const std::optional<Template> read = LoadTemplate(path);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->Header().Name, "Facturación €");
  EXPECT_EQ(read->Header().Folder, dir.Path());
}

// A "|" or a line end in the chosen file or folder name must not split the
// header line: the saved template opens again, under its real name.
TEST(SheetHeader, PipesAndLineEndsInThePathStillGiveAnOpenableFile) {
  const struct {
    std::string folder, file, writtenName, writtenFolderTail;
  } cases[] = {
      {"a|b", "Caja.pla", "Caja.pla", "a_b"},
      {"plain", "Caja|1.pla", "Caja_1.pla", "plain"},
      {"line\nend", "Caja\r\n2.pla", "Caja__2.pla", "line_end"},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    std::filesystem::create_directory(dir.Path(c.folder));
    const std::string path = dir.Path(c.folder + "/" + c.file);
    Template doc;
    doc.StartNew("x", 21.6, 28);
    doc.AddRow(T::Numerators);
    SaveTemplate(path, doc);
    const std::string bytes = ReadBytes(path);
    const std::string expectedStart = "|HJA|IMP100|" + c.writtenName + "|";
    EXPECT_EQ(bytes.rfind(expectedStart, 0), 0u) << bytes;
    EXPECT_NE(bytes.find(c.writtenFolderTail + "|0|0|"), std::string::npos) << bytes;
    const std::optional<Template> read = LoadTemplate(path);
    ASSERT_TRUE(read.has_value()) << c.file;
    EXPECT_EQ(read->Header().Width, 21.6);
    EXPECT_EQ(read->Numerators().RowCount(), 1);
  }
}

}  // namespace
}  // namespace zirvo
