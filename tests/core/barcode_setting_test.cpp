// Barcodes in the template: the "|COD|" line read and written through the
// document, the lines a load skips, the texts each symbology refuses and the
// run that a barcode would spoil.
#include "template/barcode_setting.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/messages.h"
#include "base/text.h"
#include "print_fixtures.h"
#include "support/recording_device.h"
#include "support/template_lines.h"
#include "template/template_codec.h"

namespace zirvo {
namespace {

using N = NumeratorTable;
using M = MarginalTable;

const std::string kHeader = "|HJA|IMP100|A.pla|/d|0|0|0|0|0|0|21.60|28.00|0|15723990|0|0|0|0|F|F|";
const std::string kNumerator = "|FOL|01|F-|1500||3.50|25.00|90|06|Arial|14|255|R||";
const std::string kMarginal = "|MAR|01|COPIA|2.00|27.50|0|Arial|10|0||";

std::string FileOf(std::initializer_list<std::string> lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

BarcodeSetting Setting(BarcodeKind kind, ReadableLine line, double height, double length) {
  return {kind, line, height, length};
}

TEST(BarcodeLines, ReadOrSkipEachLine) {
  using K = BarcodeKind;
  using P = ReadableLine;
  const struct {
    std::string line;
    bool numerator;  // which row gets the barcode; ignored when skipped
    std::optional<BarcodeSetting> expected;
  } cases[] = {
      {"|COD|F|01|1|2|1.50|5.00|", true, Setting(K::Code128, P::Below, 1.5, 5.0)},
      {"|COD|M|01|0|1|2.00|6.25|", false, Setting(K::Code39, P::Above, 2.0, 6.25)},
      {"|COD|F|01|2|0|1.00|3.70|", true, Setting(K::Ean13, P::None, 1.0, 3.7)},
      {"|COD|M|01|3|2|2.50|0.00|", false, Setting(K::QrCode, P::Below, 2.5, 0.0)},
      {"|COD|M|1|3|0|2.5|7|extra|", false, Setting(K::QrCode, P::None, 2.5, 0.0)},
      {"  |COD|F|01|1|0|1.00|4.00|  ", true, std::nullopt},  // not marked at its start: ignored
      {"|COD|X|01|1|2|1.50|5.00|", true, std::nullopt},      // unknown table
      {"|COD|F|02|1|2|1.50|5.00|", true, std::nullopt},      // no second numerator
      {"|COD|M|00|1|2|1.50|5.00|", false, std::nullopt},     // position 0
      {"|COD|F|01|4|2|1.50|5.00|", true, std::nullopt},      // K out of range
      {"|COD|F|01|1|3|1.50|5.00|", true, std::nullopt},      // P out of range
      {"|COD|M|01|3|1|2.00|0.00|", false, std::nullopt},     // QR with a line above
      {"|COD|F|01|1|2|0.00|5.00|", true, std::nullopt},      // no height
      {"|COD|F|01|1|2|1.50|-1.00|", true, std::nullopt},     // negative length
      {"|COD|F|01|1|2|1,50|5.00|", true, std::nullopt},      // not a number
      {"|COD|F|01|x|2|1.50|5.00|", true, std::nullopt},
      {"|COD|F|01|1|2|1.50|", true, std::nullopt},  // a field short
  };
  for (const auto& c : cases) {
    SkippedLines skipped;
    const auto doc =
        DecodeTemplate(FileOf({kHeader, kNumerator, kMarginal, c.line}), "/d/A.pla", {}, &skipped);
    ASSERT_TRUE(doc.has_value()) << c.line;
    const TextTable& table = c.numerator ? static_cast<const TextTable&>(doc->Numerators())
                                         : static_cast<const TextTable&>(doc->Marginals());
    EXPECT_EQ(table.Barcode(0), c.expected) << c.line;
    EXPECT_FALSE(doc->Numerators().Barcode(0) && doc->Marginals().Barcode(0)) << c.line;
    const bool marked = c.line.rfind("|COD|", 0) == 0;
    if (c.expected || !marked)
      EXPECT_TRUE(skipped.empty()) << c.line;
    else
      EXPECT_EQ(skipped, (SkippedLines{{4, c.line}})) << c.line;
  }
}

TEST(BarcodeLines, ASecondLineForTheSameRowIsSkipped) {
  SkippedLines skipped;
  const auto doc = DecodeTemplate(
      FileOf({kHeader, kNumerator, "|COD|F|01|1|2|1.50|5.00|", "|COD|F|01|0|0|1.00|4.00|"}),
      "/d/A.pla", {}, &skipped);
  ASSERT_TRUE(doc.has_value());
  EXPECT_EQ(doc->Numerators().Barcode(0)->kind, BarcodeKind::Code128);
  ASSERT_EQ(skipped.size(), 1u);
  EXPECT_EQ(skipped[0].number, 4);
  EXPECT_NE(SkippedLinesMessage(skipped).find("|COD|F|01|0|0|1.00|4.00|"), std::string::npos);
}

TEST(BarcodeLines, WrittenAfterEveryRowNumeratorsFirstAndReadBackByteForByte) {
  // 60 numerators and 60 marginal texts, every one with a barcode of each kind in turn.
  Template doc;
  doc.StartNew("Caja", 21.6, 28.0);
  for (int r = 0; r < 60; ++r) {
    doc.AddRow(TemplateTable::Numerators);
    doc.AddRow(TemplateTable::Marginals);
    doc.CommitCell(TemplateTable::Numerators, r, N::kPrefix, "84");
    doc.CommitCell(TemplateTable::Numerators, r, N::kNumber, FormatInt(r));
    doc.CommitCell(TemplateTable::Numerators, r, N::kMask, "10");
    doc.CommitCell(TemplateTable::Marginals, r, M::kText, "LOTE " + FormatInt(r));
    const auto kind = static_cast<BarcodeKind>(r % 4);
    const ReadableLine line =
        kind == BarcodeKind::QrCode ? ReadableLine::Below : static_cast<ReadableLine>(r % 3);
    doc.SetBarcode(TemplateTable::Numerators, r, Setting(kind, line, 1.0 + r / 100.0, 4.5));
    if (kind != BarcodeKind::Ean13)
      doc.SetBarcode(TemplateTable::Marginals, r, Setting(kind, line, 2.0, 6.0 + r / 10.0));
  }
  const std::string bytes = EncodeTemplate(doc, "/d/Caja.pla");
  const TemplateLines lines = testing::SplitLines(bytes);
  ASSERT_EQ(lines.size(), 1u + 60 + 60 + 60 + 45);
  EXPECT_EQ(lines[121], "|COD|F|01|0|0|1.00|4.50|");
  EXPECT_EQ(lines[124], "|COD|F|04|3|2|1.03|0.00|");
  EXPECT_EQ(lines[181], "|COD|M|01|0|0|2.00|6.00|");
  EXPECT_EQ(lines.back(), "|COD|M|60|3|2|2.00|0.00|");

  SkippedLines skipped;
  const auto read = DecodeTemplate(bytes, "/d/Caja.pla", doc.Header(), &skipped);
  ASSERT_TRUE(read.has_value());
  EXPECT_TRUE(skipped.empty());
  EXPECT_EQ(EncodeTemplate(*read, "/d/Caja.pla"), bytes);
  EXPECT_EQ(read->Numerators().Barcodes(), doc.Numerators().Barcodes());
  EXPECT_EQ(read->Marginals().Barcodes(), doc.Marginals().Barcodes());

  // Without its barcode lines the file is the template without barcodes,
  // written as a template that never had any.
  std::string older;
  for (const auto& l : lines)
    if (l.rfind("|COD|", 0) != 0) older += l + "\r\n";
  const auto plain = DecodeTemplate(older, "/d/Caja.pla", doc.Header());
  ASSERT_TRUE(plain.has_value());
  const auto none = [](const TextTable& table) {
    return std::ranges::none_of(table.Barcodes(), [](const auto& b) { return b.has_value(); });
  };
  EXPECT_TRUE(none(plain->Numerators()) && none(plain->Marginals()));
  EXPECT_EQ(EncodeTemplate(*plain, "/d/Caja.pla"), older);
}

TEST(BarcodeText, EachSymbologyRefusesWhatItCannotCarry) {
  using K = BarcodeKind;
  using Pr = BarcodeTextProblem;
  const std::string longText(600, 'Z');
  const struct {
    BarcodeKind kind;
    double height;
    std::string text;
    BarcodeTextProblem problem;
  } cases[] = {
      {K::Code39, 1, "F-0042 $/+%.", Pr::None},
      {K::Code39, 1, "Fa-0042", Pr::Code39Characters},
      {K::Code39, 1, "A*B", Pr::Code39Characters},
      {K::Code39, 1, "", Pr::Empty},
      {K::Code128, 1, "AB-12 #!@_", Pr::None},
      {K::Code128, 1, "ab-12", Pr::Code128Characters},
      {K::Code128, 1, "Nº 1", Pr::Code128Characters},
      {K::Ean13, 1, "123456789012", Pr::None},
      {K::Ean13, 1, " 123456789012 ", Pr::None},
      {K::Ean13, 1, "1234567890123", Pr::Ean13Digits},
      {K::Ean13, 1, "12345678901A", Pr::Ean13Digits},
      {K::Ean13, 1, "-12345678901", Pr::Ean13Digits},
      {K::QrCode, 2.0, "Factura 000123 ñ", Pr::None},
      {K::QrCode, 2.0, longText, Pr::QrTooLong},  // fits a symbol, not 2 cm at 600 dpi
      {K::QrCode, 12.0, longText, Pr::None},      // the same in 12 cm
      {K::QrCode, 80.0, std::string(3000, 'x'), Pr::QrTooLong},  // no version holds it
      {K::QrCode, 2.0, "", Pr::Empty},
  };
  for (const auto& c : cases) {
    const BarcodeSetting s = Setting(c.kind, ReadableLine::None, c.height, 5.0);
    EXPECT_EQ(CheckBarcodeText(s, c.text), c.problem) << static_cast<int>(c.kind) << " " << c.text;
    if (c.problem != Pr::None) {
      EXPECT_THROW(RequireBarcodeText(s, c.text), ZirvoError);
    }
  }
}

TEST(BarcodeText, TheDocumentRefusesASettingOrAnEditTheBarcodeCannotCarry) {
  Template doc;
  doc.StartNew("x", 21.6, 28.0);
  doc.AddRow(TemplateTable::Numerators);
  doc.CommitCell(TemplateTable::Numerators, 0, N::kPrefix, "840");
  doc.CommitCell(TemplateTable::Numerators, 0, N::kNumber, "999999998");
  doc.CommitCell(TemplateTable::Numerators, 0, N::kMask, "9");
  int notices = 0;
  doc.AddListener([&](TemplateChange) { ++notices; });

  const BarcodeSetting ean = Setting(BarcodeKind::Ean13, ReadableLine::Below, 1.5, 4.0);
  EXPECT_THROW(doc.SetBarcode(TemplateTable::Numerators, 0,
                              Setting(BarcodeKind::Code39, ReadableLine::None, 0.0, 4.0)),
               ZirvoError);
  doc.SetBarcode(TemplateTable::Numerators, 0, ean);
  EXPECT_EQ(notices, 1);
  const std::string before = EncodeTemplate(doc, "/d/A.pla");

  // Edits that would leave the barcode without a valid text change nothing.
  EXPECT_THROW(doc.CommitCell(TemplateTable::Numerators, 0, N::kPrefix, "F40"), ZirvoError);
  EXPECT_THROW(doc.CommitCell(TemplateTable::Numerators, 0, N::kMask, "10"), ZirvoError);
  EXPECT_THROW(doc.ApplyIncrement(2), ZirvoError);  // 1000000000: 13 digits
  // Cells that leave the text as it is commit as ever.
  doc.CommitCell(TemplateTable::Numerators, 0, N::kFont, "Liberation Sans");
  doc.CommitCell(TemplateTable::Numerators, 0, N::kDirection, "");
  doc.CommitCell(TemplateTable::Numerators, 0, N::kDirection, "");
  doc.CommitCell(TemplateTable::Numerators, 0, N::kFont, "Arial");
  EXPECT_EQ(EncodeTemplate(doc, "/d/A.pla"), before);
  doc.ApplyIncrement(1);
  EXPECT_EQ(doc.Numerators().Cell(0, N::kNumber), "999999999");

  // Taking the barcode away lets any text through again.
  doc.SetBarcode(TemplateTable::Numerators, 0, std::nullopt);
  doc.CommitCell(TemplateTable::Numerators, 0, N::kPrefix, "f");
  EXPECT_THROW(doc.SetBarcode(TemplateTable::Numerators, 0, ean), ZirvoError);
  // Deleting a row takes its barcode with it.
  doc.AddRow(TemplateTable::Numerators);
  doc.SetBarcode(TemplateTable::Numerators, 1,
                 Setting(BarcodeKind::QrCode, ReadableLine::None, 2, 0));
  doc.DeleteRow(TemplateTable::Numerators, 0);
  EXPECT_EQ(doc.Numerators().Barcode(0)->kind, BarcodeKind::QrCode);
  EXPECT_EQ(doc.Numerators().RowCount(), 1);

  // A file may pair a barcode with a text it cannot carry: the row still
  // takes other edits, and a text edit only when it mends the text.
  auto read = DecodeTemplate(
      FileOf({kHeader, "|FOL|01|f-|1||0.00|0.00|0|04|Arial|12|0|A||", "|COD|F|01|0|0|1.00|4.00|"}),
      "/d/A.pla");
  ASSERT_TRUE(read.has_value());
  read->CommitCell(TemplateTable::Numerators, 0, N::kDirection, "");
  EXPECT_THROW(read->CommitCell(TemplateTable::Numerators, 0, N::kSuffix, "x"), ZirvoError);
  read->CommitCell(TemplateTable::Numerators, 0, N::kPrefix, "F-");
  EXPECT_EQ(read->Numerators().PrintedText(0), "F-0001");
}

TEST(BarcodeRun, ANumberItsBarcodeCannotCarryStopsTheRunBeforeItBegins) {
  using namespace testing::print;
  RecordingDevice device;
  PageState page;
  PrintEngine engine(device, &page);
  engine.SelectPrinter(PrinterSetting::Queue("Oficina"), "Oficina");

  Numerator ean = MakeNumerator(3, 999999990, false, 9);
  ean.Prefix = "840";
  ean.Barcode = BarcodeSetting{BarcodeKind::Ean13, ReadableLine::Below, 1.5, 4.0};
  Numerator later = ean;  // its numbers outgrow the barcode from sheet 11
  later.Position = 1;
  later.Number = 999999950;
  engine.LoadPrintJob(Job({later, ean}));

  engine.SetRunSettings("5", "1", "2");  // up to 999999995: 12 digits
  EXPECT_TRUE(engine.PrintAll());
  EXPECT_EQ(PagesOf(device).size(), 2u);

  device.events.clear();
  // Sheet 3 is the first that cannot be printed: numerator 3 would carry 8401000000000.
  engine.SetRunSettings("5", "1", "9851");
  try {
    engine.PrintAll();
    ADD_FAILURE() << "the run went ahead";
  } catch (const ZirvoError& e) {
    const std::string message = e.what();
    EXPECT_EQ(message.find(OwnText(OwnMessage::BarcodeRunNumerator, "3", "3")), 0u) << message;
    const std::string fit = " " + OwnText(OwnMessage::BarcodeRunSheetsFit, "2");
    EXPECT_EQ(message.substr(message.size() - fit.size()), fit) << message;
  }
  const auto begun = [&] {
    return std::find(device.events.begin(), device.events.end(), "begin") != device.events.end();
  };
  EXPECT_FALSE(begun());
  EXPECT_FALSE(page.statusVisible);

  // A reposition to a number the barcode cannot carry is refused the same way.
  engine.AddRepositionEntry("999999960");  // numerator 3 would carry 8401000000000
  EXPECT_THROW(engine.PrintReposition(), ZirvoError);
  EXPECT_FALSE(begun());
}

}  // namespace
}  // namespace zirvo
