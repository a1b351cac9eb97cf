// The template codec: bytes of random templates survive encode, decode and
// encode again unchanged, and what decoding refuses.
#include "template/template_codec.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "base/messages.h"
#include "base/text.h"
#include "temp_dir.h"

namespace zirvo {
namespace testing {
// What the test program holds through operator new (allocation_meter.cpp):
// now, and the most at once since the last reset.
std::size_t HeldBytes();
std::size_t PeakHeldBytes();
void ResetPeakHeldBytes();
}  // namespace testing
namespace {

using N = NumeratorTable;
using M = MarginalTable;

// A text that a typed cell may hold: any character a template file can
// store but the field delimiter and line ends, spaces at either end included.
std::string RandomText(std::mt19937& rng, int maxLength) {
  std::uniform_int_distribution<int> length(0, maxLength);
  std::uniform_int_distribution<int> byte(1, 255);
  std::string text;
  for (int i = length(rng); i > 0; --i) {
    char c = static_cast<char>(byte(rng));
    if (c == '|' || c == '\r' || c == '\n') c = ' ';
    text += Cp1252ToUtf8(std::string(1, c));
  }
  return text;
}

// What a user might type in a cell: numbers, blanks, garbage.
std::string RandomEntry(std::mt19937& rng) {
  std::uniform_int_distribution<int> kind(0, 4);
  std::uniform_int_distribution<int> number(-99999, 99999);
  switch (kind(rng)) {
    case 0:
      return FormatInt(number(rng));
    case 1:
      return FormatFixed(number(rng) / 100.0, 2);
    case 2:
      return "";
    case 3:
      return " " + FormatInt(number(rng) % 20) + " ";
    default:
      return RandomText(rng, 12);
  }
}

Template RandomTemplate(std::mt19937& rng) {
  std::uniform_int_distribution<int> rows(0, 8);
  std::uniform_int_distribution<int> centi(1, 50000);
  std::uniform_int_distribution<int> small(0, 255);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  Template doc;
  doc.StartNew("x", centi(rng) / 100.0, centi(rng) / 100.0);
  SheetHeader header = doc.Header();
  header.Byte1 = static_cast<uint8_t>(small(rng));
  header.Word2 = static_cast<uint16_t>(small(rng) * 200);
  header.Int1 = any(rng);
  header.Color1 = any(rng);
  header.Int5 = any(rng);
  header.Flag2 = small(rng) % 2 == 0;
  doc.Replace(Template(header, {}, {}));
  for (TemplateTable table : {TemplateTable::Numerators, TemplateTable::Marginals}) {
    for (int r = rows(rng); r > 0; --r) {
      doc.AddRow(table);
      const int row = doc.Table(table).RowCount() - 1;
      for (int cell = 1; cell < doc.Table(table).CellCount(); ++cell) {
        try {
          doc.CommitCell(table, row, cell,
                         small(rng) % 3 == 0 ? RandomText(rng, 30) : RandomEntry(rng));
        } catch (const ZirvoError&) {
          // Refused entries leave the default.
        }
      }
      // A barcode on some rows; one the text cannot carry is refused.
      if (small(rng) % 3 == 0) {
        BarcodeSetting barcode;
        barcode.kind = static_cast<BarcodeKind>(small(rng) % kBarcodeKindCount);
        barcode.line = static_cast<ReadableLine>(small(rng) % 3);
        barcode.height = centi(rng) / 100.0;
        barcode.length = centi(rng) / 100.0;
        try {
          doc.SetBarcode(table, row, barcode);
        } catch (const ZirvoError&) {
        }
      }
    }
  }
  // A background never reaches the file.
  doc.SetBackground("/img/fondo.jpg", nullptr);
  return doc;
}

TEST(TemplateCodec, RandomTemplatesRoundTripByteForByte) {
  std::mt19937 rng(20240611);
  const std::string path = "/datos/Plantillas/Caja.pla";
  for (int i = 0; i < 300; ++i) {
    const Template doc = RandomTemplate(rng);
    const std::string bytes = EncodeTemplate(doc, path);
    const std::optional<Template> decoded = DecodeTemplate(bytes, path, doc.Header());
    ASSERT_TRUE(decoded.has_value()) << i;
    EXPECT_EQ(EncodeTemplate(*decoded, path), bytes) << i;

    Template expected = doc;
    expected.ClearBackground();
    expected.SetIdentity("Caja", "/datos/Plantillas");
    EXPECT_EQ(*decoded, expected) << i << "\n" << bytes;
    ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  }
}

TEST(TemplateCodec, EncodesHeaderThenNumeratorsThenMarginals) {
  Template doc;
  doc.StartNew("- PLANILLA SIN NOMBRE -", 21.6, 28.0);
  doc.AddRow(TemplateTable::Marginals);
  doc.AddRow(TemplateTable::Numerators);
  doc.CommitCell(TemplateTable::Numerators, 0, N::kPrefix, "Nº ");
  EXPECT_EQ(EncodeTemplate(doc, "/d/Caja.pla"),
            "|HJA|IMP100|Caja.pla|/d|0|0|0|0|0|0|21.60|28.00|0|15723990|0|0|0|0|F|F|\r\n"
            "|FOL|01|N\xba |0||0.00|0.00|0.00|04|Arial|12|0|A||\r\n"
            "|MAR|01||0.00|0.00|000|Arial|12|0||\r\n");
  EXPECT_EQ(doc.Header().Name, "- PLANILLA SIN NOMBRE -") << "encoding renames nothing";
}

constexpr char kCajaHeader[] =
    "|HJA|IMP100|Caja.pla|/d|0|0|0|0|0|0|21.60|28.00|0|15723990|0|0|0|0|F|F|\r\n";

std::string MarginalLineWith(std::string_view field) {
  return "|MAR|01|" + std::string(field) + "|0.00|0.00|000|Arial|12|0||\r\n";
}

// A text field holds every byte but the delimiter and the line ends: each
// reads as one character and is written back as the same byte.
TEST(TemplateCodec, EveryByteOfAFieldRoundTrips) {
  std::string field;
  for (int byte = 0; byte <= 0xFF; ++byte)
    if (byte != '|' && byte != '\r' && byte != '\n') field += static_cast<char>(byte);
  const std::string bytes = kCajaHeader + MarginalLineWith(field);
  const std::optional<Template> doc = DecodeTemplate(bytes, "/d/Caja.pla");
  ASSERT_TRUE(doc.has_value());
  const std::string& text = doc->Marginals().Cell(0, M::kText);
  EXPECT_EQ(CharacterCount(text), field.size());
  EXPECT_EQ(ValidUtf8(text), text);
  EXPECT_EQ(EncodeTemplate(*doc, "/d/Caja.pla"), bytes);
}

// The character the program holds for a byte of the file, and the byte a
// typed character is saved as; the five bytes the code page leaves undefined
// stand for the C1 controls of the same value.
TEST(TemplateCodec, BytesAndTheCharactersTheyStandFor) {
  const struct {
    unsigned char byte;
    std::string_view character;
  } cases[] = {
      {0x01, "\x01"},   {0x41, "A"}, {0x7F, "\x7F"},   {0x80, "€"},
      {0x81, "\u0081"}, {0x8A, "Š"}, {0x8D, "\u008D"}, {0x8F, "\u008F"},
      {0x90, "\u0090"}, {0x99, "™"}, {0x9D, "\u009D"}, {0x9F, "Ÿ"},
      {0xA0, "\u00A0"}, {0xBA, "º"}, {0xD1, "Ñ"},      {0xFF, "ÿ"},
  };
  for (const auto& c : cases) {
    const std::string line = MarginalLineWith(std::string(1, static_cast<char>(c.byte)));
    const std::optional<Template> read = DecodeTemplate(kCajaHeader + line, "/d/Caja.pla");
    ASSERT_TRUE(read.has_value()) << int(c.byte);
    EXPECT_EQ(read->Marginals().Cell(0, M::kText), c.character) << int(c.byte);

    Template typed;
    typed.StartNew("x", 21.6, 28.0);
    typed.AddRow(TemplateTable::Marginals);
    typed.CommitCell(TemplateTable::Marginals, 0, M::kText, c.character);
    const std::string bytes = EncodeTemplate(typed, "/d/Caja.pla");
    EXPECT_NE(bytes.find(line), std::string::npos) << int(c.byte) << "\n" << bytes;
  }
}

// A typed character the file's code page lacks is refused, naming the text;
// the cell keeps what it held. Line ends are refused the same way.
TEST(TemplateCodec, CharactersAFileCannotStoreAreRefused) {
  const struct {
    TemplateTable table;
    int cell;
    std::string_view text;
  } cases[] = {
      {TemplateTable::Marginals, M::kText, "Łódź"},
      {TemplateTable::Marginals, M::kText, "ok ✓"},
      {TemplateTable::Marginals, M::kText, "\xF0\x9F\x98\x80"},  // an emoji, four bytes
      {TemplateTable::Marginals, M::kText, "a\xFF!"},            // not UTF-8 at all
      {TemplateTable::Marginals, M::kText, "two\nlines"},
      {TemplateTable::Numerators, N::kPrefix, "№ "},
      {TemplateTable::Numerators, N::kSuffix, " ł"},
      {TemplateTable::Numerators, N::kFont, "Łukasz Sans"},
  };
  for (const auto& c : cases) {
    Template doc;
    doc.StartNew("x", 21.6, 28.0);
    doc.AddRow(c.table);
    const std::string before = doc.Table(c.table).Cell(0, c.cell);
    try {
      doc.CommitCell(c.table, 0, c.cell, c.text);
      ADD_FAILURE() << c.text << " was taken";
    } catch (const ZirvoError& e) {
      EXPECT_EQ(e.what(), OwnText(OwnMessage::NotCp1252, c.text)) << c.text;
    }
    EXPECT_EQ(doc.Table(c.table).Cell(0, c.cell), before) << c.text;
  }
}

std::string Repeated(std::string_view character, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += character;
  return text;
}

// Every cap on a text counts characters: accented letters keep as many of
// themselves as plain ones would, and the file holds one byte for each.
TEST(TemplateCodec, TextCapsCountCharacters) {
  for (std::string_view letter : {"a", "ñ", "€"}) {
    const std::string typed = Repeated(letter, 250);
    Template doc;
    doc.StartNew("x", 21.6, 28.0);
    doc.AddRow(TemplateTable::Numerators);
    doc.AddRow(TemplateTable::Marginals);
    for (const int cell : {N::kPrefix, N::kSuffix, N::kFont})
      doc.CommitCell(TemplateTable::Numerators, 0, cell, typed);
    doc.CommitCell(TemplateTable::Marginals, 0, M::kText, typed);
    const Numerator numerator = doc.Numerators().ExportRecords().at(0);
    const MarginalText marginal = doc.Marginals().ExportRecords().at(0);
    const struct {
      const std::string& text;
      std::size_t capacity;
    } caps[] = {
        {numerator.Prefix, Numerator::kAffixCapacity},
        {numerator.Suffix, Numerator::kAffixCapacity},
        {numerator.Font, Numerator::kFontCapacity},
        {marginal.Text, MarginalText::kTextCapacity},
    };
    for (const auto& cap : caps) EXPECT_EQ(cap.text, Repeated(letter, cap.capacity)) << letter;

    const std::string path = "/d/" + Repeated(letter, 90) + ".pla";
    const std::string bytes = EncodeTemplate(doc, path);
    const std::string savedName = Utf8ToCp1252(Repeated(letter, SheetHeader::kNameCapacity));
    EXPECT_EQ(bytes.rfind("|HJA|IMP100|" + savedName + "|/d|", 0), 0u) << letter << "\n" << bytes;
    const std::optional<Template> read = DecodeTemplate(bytes, path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->Header().Name, Repeated(letter, SheetHeader::kNameCapacity)) << letter;
  }
}

TEST(TemplateCodec, DecodeRefusesWhatIsNotATemplate) {
  const struct {
    const char* name;
    std::string bytes;
    bool loads;  // false: std::nullopt
    bool throws;
  } cases[] = {
      {"empty", "", false, false},
      {"rows without header", "|FOL|01||1||1.00|1.00|000|04|Arial|12|0|A||\r\n", false, false},
      {"bad number", "|HJA|IMP100|x|y|0|0|0|0|0|0|abc|28.00|0|0|0|0|0|0|F|F|\r\n", false, true},
      {"short header", "|HJA|IMP100|x|\r\n", false, true},
      {"bare LF and CR",
       "|HJA|K|x|y|0|0|0|0|0|0|1.00|2.00|0|0|0|0|0|0|F|T|\n|MAR|01|a|\r|MAR|02|b|", true, false},
  };
  for (const auto& c : cases) {
    if (c.throws) {
      EXPECT_THROW(DecodeTemplate(c.bytes, "/d/A.pla"), ZirvoError) << c.name;
      continue;
    }
    const std::optional<Template> doc = DecodeTemplate(c.bytes, "/d/A.b.pla");
    ASSERT_EQ(doc.has_value(), c.loads) << c.name;
    if (!doc) continue;
    EXPECT_EQ(doc->Header().Name, "A");
    EXPECT_EQ(doc->Header().Folder, "/d");
    EXPECT_TRUE(doc->Header().Flag2);
    EXPECT_EQ(doc->Marginals().RowCount(), 2);
    EXPECT_EQ(doc->Marginals().Cell(1, M::kText), "b");
  }
}

// Lines of millions of "|" and millions of lines no reader takes: reading
// holds a few times the file's size, not a string for every empty field or
// every line.
TEST(TemplateCodec, AHostileFileReadsInMemoryOfAFewTimesItsSize) {
  constexpr std::size_t kMillions = 4'000'000;
  const std::string pipes(kMillions, '|');
  const std::string bytes = "|HJA|IMP100|N.pla|/t|0|0|0|0|0|0|21.00|29.70|0|1|0|0|0|0|F|F|" +
                            pipes + "\r\n" + "|FOL|01|N-|7||2.00|3.00|0|04|Arial|14|0|A|" + pipes +
                            "\r\n" + "|MAR|01|Copia|2.00|3.00|0|Arial|10|0|" + pipes + "\r\n" +
                            "|COD|F|01|0|0|1.00|5.00|" + pipes + "\r\n" +
                            std::string(kMillions, '\n') + "|COD|X|\r\n";
  const std::size_t before = testing::HeldBytes();
  testing::ResetPeakHeldBytes();
  SkippedLines skipped;
  const std::optional<Template> doc = DecodeTemplate(bytes, "/t/N.pla", {}, &skipped);
  EXPECT_LT(testing::PeakHeldBytes() - before, 3 * bytes.size());
  ASSERT_TRUE(doc);
  EXPECT_DOUBLE_EQ(doc->Header().Width, 21.0);
  EXPECT_EQ(doc->Numerators().PrintedText(0), "N-0007");
  EXPECT_TRUE(doc->Numerators().Barcode(0).has_value());
  EXPECT_EQ(doc->Marginals().Cell(0, M::kText), "Copia");
  // Lines keep their numbers in the file for the list of skipped ones.
  EXPECT_EQ(skipped, (SkippedLines{{static_cast<int>(kMillions) + 5, "|COD|X|"}}));
}

TEST(TemplateCodec, SaveAndLoadThroughAFile) {
  testing::TempDir dir;
  Template doc;
  doc.StartNew("n", 10, 12);
  doc.AddRow(TemplateTable::Numerators);
  const std::string path = dir.Path("Talonario.pla");
  SaveTemplate(path, doc);
  EXPECT_EQ(testing::ReadBytes(path), EncodeTemplate(doc, path));
  const std::optional<Template> loaded = LoadTemplate(path);
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(loaded->Numerators().Rows(), doc.Numerators().Rows());
  EXPECT_EQ(loaded->Header().Name, "Talonario");
  EXPECT_THROW(LoadTemplate(dir.Path("missing.pla")), ZirvoError);
  EXPECT_THROW(SaveTemplate(dir.Path("none/x.pla"), doc), ZirvoError);
}

// The series line: read in either case, written in lowercase after every
// other line; one that does not read, and any after the one taken, are
// skipped and listed.
TEST(TemplateCodec, SeriesLineIsReadOnceAndWrittenLast) {
  const std::string hex = "0123456789abcdef0123456789abcdef", other(32, 'f');
  const struct {
    std::string lines;  // from line 4
    std::string series;
    std::vector<int> skipped;
  } cases[] = {
      {"", "", {}},
      {"|SER|0123456789ABCDEF0123456789ABCDEF|\r\n", hex, {}},
      {"|SER| " + hex + " |later|\r\n|SER|" + other + "|\r\n", hex, {5}},
      {"|SER|" + hex.substr(1) + "g|\r\n|SER||\r\n|SER|" + other + "|\r\n", other, {4, 5}},
  };
  for (const auto& c : cases) {
    SkippedLines skipped;
    const std::optional<Template> doc = DecodeTemplate(
        "|HJA|K|x|y|0|0|0|0|0|0|1.00|2.00|0|0|0|0|0|0|F|F|\r\n"
        "|FOL|01||7||1.00|1.00|0|04|Arial|12|0|A||\r\n|COD|F|01|0|2|1.50|4.00|\r\n" +
            c.lines,
        "/d/A.pla", {}, &skipped);
    EXPECT_EQ(doc->Series(), c.series) << c.lines;
    std::vector<int> numbers;
    for (const SkippedLine& line : skipped) numbers.push_back(line.number);
    EXPECT_EQ(numbers, c.skipped) << c.lines;
    Template bare = *doc;
    bare.SetSeries("");
    const std::string line = c.series.empty() ? "" : "|SER|" + c.series + "|\r\n";
    EXPECT_EQ(EncodeTemplate(*doc, "/d/A.pla"), EncodeTemplate(bare, "/d/A.pla") + line);
  }
}

// A save through symbolic links writes the file they lead to, and they stay;
// a link leading nowhere and a FIFO are refused, and nothing is written.
TEST(TemplateCodec, SaveThroughALinkWritesTheFileItLeadsTo) {
  namespace fs = std::filesystem;
  testing::TempDir dir;
  const std::string real = dir.Path("Facturas.pla");
  for (const auto& [link, to] : {std::pair{"Enlace.pla", "Facturas.pla"},
                                 {"Cadena.pla", "Enlace.pla"},
                                 {"Roto.pla", "Nada.pla"},
                                 {"Bucle.pla", "Bucle.pla"}})
    fs::create_symlink(to, dir.Path(link));
  ASSERT_EQ(mkfifo(dir.Path("Tubo.pla").c_str(), 0600), 0);
  Template doc;
  doc.StartNew("n", 10, 12);
  for (const auto& [name, saved] : {std::pair{"Enlace.pla", true},
                                    {"Cadena.pla", true},
                                    {"Roto.pla", false},
                                    {"Bucle.pla", false},
                                    {"Tubo.pla", false}}) {
    const std::string path = dir.Path(name);
    testing::WriteBytes(real, "old");
    const fs::file_type type = fs::symlink_status(path).type();
    try {
      SaveTemplate(path, doc);
      EXPECT_TRUE(saved) << name;
    } catch (const ZirvoError& error) {
      EXPECT_FALSE(saved) << name;
      EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
    EXPECT_EQ(testing::ReadBytes(real), saved ? EncodeTemplate(doc, path) : "old") << name;
    EXPECT_EQ(fs::symlink_status(path).type(), type) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Root()), {}), 6) << name;
  }
}

}  // namespace
}  // namespace zirvo
