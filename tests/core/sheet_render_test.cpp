#include "render/sheet_render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "render/bar_modules.h"
#include "support/barcode_strings.h"
#include "support/recording_surface.h"

namespace zirvo {
namespace {

using testing::BarsOf;
using testing::EncodeCode128;
using testing::EncodeCode39;
using testing::EncodeEan13;

TEST(Rounding, GeometryGoesToEvenAndPointSizesAwayFromZero) {
  const struct {
    double value;
    int32_t even, away;
  } cases[] = {{0.5, 0, 1},
               {1.5, 2, 2},
               {2.5, 2, 3},
               {-2.5, -2, -3},
               {56.5, 56, 57},
               {75.59, 76, 76},
               {1e300, 2147483647, 2147483647},
               {-1e300, -2147483647 - 1, -2147483647 - 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(RoundHalfEven(c.value), c.even) << c.value;
    EXPECT_EQ(RoundHalfAway(c.value), c.away) << c.value;
  }
  EXPECT_EQ(EmHeight(12, 96), 16);
  EXPECT_EQ(EmHeight(9, 4), 1);   // 0.5 goes up
  EXPECT_EQ(EmHeight(27, 4), 2);  // 1.5
  EXPECT_EQ(EmHeight(45, 4), 3);  // 2.5 goes up, not to 2
  EXPECT_EQ(EmHeight(10, 600), 83);
}

TEST(DeviceMapping, ConvertsCentimetresAsPreviewAndPrinterDo) {
  EXPECT_EQ(CmToScreenPixels(2.00, 96), 76);
  EXPECT_EQ(CmToScreenPixels(3.00, 96), 113);
  const struct {
    DeviceMapping mapping;
    double cm;
    int32_t x, y, length, ppi, gap;
  } cases[] = {
      {DeviceMapping::Preview(100, 96), 2.00, 76, 76, 76, 96, 3},
      {DeviceMapping::Preview(100, 96), 3.00, 113, 113, 113, 96, 3},
      {DeviceMapping::Preview(50, 96), 2.00, 38, 38, 38, 48, 2},  // gap round(1.5)
      {DeviceMapping::Preview(50, 96), 3.00, 56, 56, 56, 48, 2},  // round(56.5)
      {DeviceMapping::Preview(41, 96), 21.60, 335, 335, 335, 39, 1},
      {DeviceMapping::Print(600, 0, 0), 2.00, 472, 472, 472, 600, 19},
      {DeviceMapping::Print(600, 99, 50), 2.00, 373, 422, 472, 600, 19},
      {DeviceMapping::Print(300, 0, 0), 2.00, 236, 236, 236, 300, 9},  // round(9.375)
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.mapping.X(c.cm), c.x) << c.cm;
    EXPECT_EQ(c.mapping.Y(c.cm), c.y) << c.cm;
    EXPECT_EQ(c.mapping.Length(c.cm), c.length) << c.cm;
    EXPECT_EQ(c.mapping.PixelsPerInch(), c.ppi);
    EXPECT_EQ(c.mapping.Gap(), c.gap);
  }
}

Numerator MakeNumerator(int32_t number, int32_t mask, std::string prefix = "",
                        std::string suffix = "") {
  Numerator n;
  n.Number = number;
  n.Mask = mask;
  n.Prefix = std::move(prefix);
  n.Suffix = std::move(suffix);
  return n;
}

TEST(Compose, BuildsTheRecordOfANumeratorAndOfAMarginalText) {
  RecordingSurface surface;
  const DeviceMapping print = DeviceMapping::Print(600, 99, 0);
  Numerator n = MakeNumerator(42, 4, "A-");
  n.Horizontal = 2.00;
  n.Vertical = 1.00;
  n.Rotation = 90;
  n.Font = std::string(60, 'F');
  n.Size = 14;
  n.Colour = 255;
  DrawRecord d = ComposeNumerator(n, 42, print, surface);
  EXPECT_EQ(d.Text, "A-0042");
  EXPECT_EQ(d.X, 373);
  EXPECT_EQ(d.Y, 236);
  EXPECT_EQ(d.FontName, std::string(50, 'F'));
  EXPECT_EQ(d.FontSize, 14);
  EXPECT_EQ(d.FontColor, 255);
  EXPECT_EQ(d.Angle, 90);
  EXPECT_EQ(d.Gap, 19);
  EXPECT_EQ(d.PixelsPerInch, 600);
  EXPECT_FALSE(d.Symbology.has_value());
  EXPECT_EQ(d.Canvas, &surface);
  EXPECT_EQ(ComposeNumerator(MakeNumerator(42, 1, "A-"), 42, print, surface).Text, "A-42");
  EXPECT_EQ(ComposeNumerator(MakeNumerator(0, 4, " N ", " x"), -3, print, surface).Text,
            " N -0003 x");

  MarginalText m;
  m.Text = "  Copia para el archivo \t";
  EXPECT_EQ(ComposeMarginal(m, print, surface).Text, "Copia para el archivo");
}

TEST(Compose, DrawsBarsOnlyForAUsableBarcode) {
  RecordingSurface surface;
  const DeviceMapping print = DeviceMapping::Print(600, 0, 0);
  using K = BarcodeKind;
  using L = ReadableLine;
  const struct {
    std::optional<BarcodeSetting> barcode;
    std::optional<BarcodeKind> symbology;
    ReadableLine line;
  } cases[] = {
      {BarcodeSetting{K::Code128, L::Below, 2.0, 5.0}, K::Code128, L::Below},
      {BarcodeSetting{K::Code39, L::None, 2.0, 5.0}, K::Code39, L::None},
      {BarcodeSetting{K::Ean13, L::Above, 2.0, 5.0}, K::Ean13, L::Above},
      {std::nullopt, std::nullopt, L::None},
      {BarcodeSetting{K::Code128, L::Below, 2.0, 0.0}, std::nullopt, L::None},
      {BarcodeSetting{K::Code128, L::Below, -1.0, 5.0}, std::nullopt, L::None},
      // A QR Code's box is its square: its stored length 0 does not count.
      {BarcodeSetting{K::QrCode, L::Below, 2.0, 0.0}, K::QrCode, L::Below},
      {BarcodeSetting{K::QrCode, L::None, 0.0, 5.0}, std::nullopt, L::None},
  };
  for (const auto& c : cases) {
    MarginalText m;
    m.Text = "AB";
    m.Barcode = c.barcode;
    const DrawRecord d = ComposeMarginal(m, print, surface);
    const int what = static_cast<int>(&c - cases);
    EXPECT_EQ(d.Symbology, c.symbology) << what;
    EXPECT_EQ(d.Line, c.line) << what;
    if (c.symbology) {
      EXPECT_EQ(d.BarHeight, print.Length(c.barcode->height)) << what;
      EXPECT_EQ(d.BarLength,
                print.Length(c.symbology == K::QrCode ? c.barcode->height : c.barcode->length))
          << what;
    }
  }
}

constexpr ReadableLine kNone = ReadableLine::None;
constexpr ReadableLine kAbove = ReadableLine::Above;
constexpr ReadableLine kBelow = ReadableLine::Below;

std::string LineName(ReadableLine line) { return std::to_string(static_cast<int>(line)); }

// An item at (100, 200) whose text "12345" measures 40 x 20 on the recording
// surface (Arial 12 at 96 pixels per inch: em 16, advance 8, cell 20).
DrawRecord Item(RecordingSurface& surface, ReadableLine line, double angle, int32_t barLength) {
  DrawRecord d;
  d.Text = "12345";
  d.FontName = "Arial";
  d.FontSize = 12;
  d.PixelsPerInch = 96;
  d.X = 100;
  d.Y = 200;
  d.BarHeight = 100;
  d.BarLength = barLength;
  d.Gap = 3;
  d.Angle = angle;
  d.Line = line;
  d.Canvas = &surface;
  return d;
}

// A line narrowed to the bars gives each character, not each byte, its share.
TEST(DrawItemText, NarrowsByCharacters) {
  for (const char* text : {"12345", "ñ€ºÑ5", "\u0081\u008D\u008F\u0090\u009D"}) {
    RecordingSurface surface;
    DrawRecord d = Item(surface, ReadableLine::Above, 0, 30);
    d.Text = text;
    DrawItemText(d);
    ASSERT_EQ(surface.texts.size(), 1u);
    EXPECT_EQ(surface.texts[0].averageCharWidth, 6) << text;
  }
}

TEST(DrawItemText, PlacesTheLineByPositionAndAngle) {
  const struct {
    ReadableLine position;
    double angle;
    int32_t barLength;
    int32_t x, y, charWidth;
  } cases[] = {
      // Narrower than the box (60): centred by r = 10, not compressed.
      {kNone, 0, 60, 100, 200, 0},
      {kNone, 90, 60, 100, 200, 0},
      {kNone, 180, 60, 100, 200, 0},
      {kNone, 270, 60, 100, 200, 0},
      {kAbove, 0, 60, 110, 200, 0},
      {kAbove, 90, 60, 100, 190, 0},
      {kAbove, 180, 60, 90, 200, 0},
      {kAbove, 270, 60, 100, 210, 0},
      {kBelow, 0, 60, 110, 280, 0},
      {kBelow, 90, 60, 180, 190, 0},
      {kBelow, 180, 60, 90, 120, 0},
      {kBelow, 270, 60, 20, 210, 0},
      // Wider than the box (30): each character narrowed to round(30 / 5) = 6.
      {kNone, 0, 30, 100, 200, 0},
      {kNone, 270, 30, 100, 200, 0},
      {kAbove, 0, 30, 100, 200, 6},
      {kAbove, 90, 30, 100, 200, 6},
      {kAbove, 180, 30, 100, 200, 6},
      {kAbove, 270, 30, 100, 200, 6},
      {kBelow, 0, 30, 100, 280, 6},
      {kBelow, 90, 30, 180, 200, 6},
      {kBelow, 180, 30, 100, 120, 6},
      {kBelow, 270, 30, 20, 200, 6},
      // Centring rounds halves to even: (41 - 40) / 2 = 0.5 -> 0, (43 - 40) / 2 -> 2.
      {kAbove, 0, 41, 100, 200, 0},
      {kAbove, 0, 43, 102, 200, 0},
      // Compression rounds the same way: 22 / 5 = 4.4 -> 4, 37 / 5 = 7.4 -> 7.
      {kAbove, 0, 22, 100, 200, 4},
      {kAbove, 0, 37, 100, 200, 7},
  };
  for (const auto& c : cases) {
    RecordingSurface surface;
    DrawRecord d = Item(surface, c.position, c.angle, c.barLength);
    DrawItemText(d);
    ASSERT_EQ(surface.texts.size(), 1u);
    const auto& t = surface.texts[0];
    const std::string where = "position " + LineName(c.position) + " angle " +
                              std::to_string(c.angle) + " length " + std::to_string(c.barLength);
    EXPECT_EQ(t.x, c.x) << where;
    EXPECT_EQ(t.y, c.y) << where;
    EXPECT_EQ(t.averageCharWidth, c.charWidth) << where;
    EXPECT_EQ(t.escapement, static_cast<int32_t>(c.angle * 10)) << where;
    EXPECT_EQ(d.TextHeight, 20) << where;
    EXPECT_EQ(t.font, (TextFont{"Arial", 96, 12, 0}));
    EXPECT_EQ(surface.calls, "FMT");
  }
}

RectI Union(const std::vector<RecordingSurface::RectCall>& rects) {
  int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
  for (const auto& r : rects) {
    const RectI d = r.DeviceRect();
    left = std::min(left, d.left);
    top = std::min(top, d.top);
    right = std::max(right, d.left + d.width);
    bottom = std::max(bottom, d.top + d.height);
  }
  return {left, top, right - left, bottom - top};
}

TEST(DrawItem, BarsFillTheBoxByPositionAndAngle) {
  // "12" in Code 39 is *12*: 4 x 15 modules + 3 gaps = 63 modules, 10 dots
  // each in a box 630 long. A line 20 high (12 points at 96 dpi) and gap 3
  // leave bars 77 high.
  const struct {
    ReadableLine position;
    double angle;
    RectI bars;      // all bars together, on the device
    RectI firstBar;  // the start character's first bar
  } cases[] = {
      {kNone, 0, {100, 200, 630, 100}, {100, 200, 10, 100}},
      {kNone, 90, {100, -430, 100, 630}, {100, 190, 100, 10}},
      {kNone, 180, {-530, 100, 630, 100}, {90, 100, 10, 100}},
      {kNone, 270, {0, 200, 100, 630}, {0, 200, 100, 10}},
      {kAbove, 0, {100, 223, 630, 77}, {100, 223, 10, 77}},
      {kAbove, 90, {123, -430, 77, 630}, {123, 190, 77, 10}},
      {kAbove, 180, {-530, 100, 630, 77}, {90, 100, 10, 77}},
      {kAbove, 270, {0, 200, 77, 630}, {0, 200, 77, 10}},
      {kBelow, 0, {100, 200, 630, 77}, {100, 200, 10, 77}},
      {kBelow, 90, {100, -430, 77, 630}, {100, 190, 77, 10}},
      {kBelow, 180, {-530, 123, 630, 77}, {90, 123, 10, 77}},
      {kBelow, 270, {23, 200, 77, 630}, {23, 200, 77, 10}},
  };
  for (const auto& c : cases) {
    RecordingSurface surface;
    DrawRecord d = Item(surface, c.position, c.angle, 630);
    d.Text = "12";
    d.Symbology = BarcodeKind::Code39;
    DrawItem(d);
    const std::string where =
        "position " + LineName(c.position) + " angle " + std::to_string(c.angle);
    ASSERT_FALSE(surface.rects.empty()) << where;
    EXPECT_EQ(Union(surface.rects), c.bars) << where;
    EXPECT_EQ(surface.rects[0].DeviceRect(), c.firstBar) << where;
    EXPECT_EQ(surface.rects[0].colour, 0) << where;
    EXPECT_EQ(surface.texts.size(), c.position == kNone ? 0u : 1u) << where;
  }
}

TEST(DrawItem, ScalesModulesToTheBoxLength) {
  RecordingSurface surface;
  DrawRecord d = Item(surface, kNone, 0, 95);
  d.Text = "123456789012";
  d.Symbology = BarcodeKind::Ean13;
  DrawItem(d);
  // One dot per module: the left guard is bars at 0 and 2, the last at 94.
  ASSERT_GE(surface.rects.size(), 3u);
  EXPECT_EQ(surface.rects[0].local, (RectI{0, 0, 1, 100}));
  EXPECT_EQ(surface.rects[1].local, (RectI{2, 0, 1, 100}));
  EXPECT_EQ(surface.rects.back().local, (RectI{94, 0, 1, 100}));
}

TEST(DrawItem, ChoosesTheStepsOfEachKindOfItem) {
  using K = BarcodeKind;
  const struct {
    const char* what;
    std::optional<BarcodeKind> symbology;
    ReadableLine line;
    const char* text;
    int32_t barHeight;
    const char* calls;  // F font, M measure, T text, R bars
  } cases[] = {
      {"plain text", std::nullopt, kNone, "12345", 100, "FMT"},
      {"bars only", K::Code128, kNone, "12345", 100, "R"},
      {"line above", K::Code39, kAbove, "12345", 100, "FMTR"},
      {"line below", K::Code128, kBelow, "12345", 100, "FMTR"},
      {"EAN-13 draws its 13 digits as the line", K::Ean13, kAbove, "123456789012", 100, "FMTR"},
      {"EAN-13 of the wrong length draws nothing", K::Ean13, kBelow, "12345", 100, "FM"},
      {"EAN-13 of the wrong length, no line", K::Ean13, kNone, "12345", 100, ""},
      {"box too low for line and bars", K::Code39, kAbove, "12345", 23, "FMT"},
      {"box without height", K::Code39, kNone, "12345", 0, ""},
  };
  for (const auto& c : cases) {
    RecordingSurface surface;
    DrawRecord d = Item(surface, c.line, 0, 300);
    d.Symbology = c.symbology;
    d.Text = c.text;
    d.BarHeight = c.barHeight;
    DrawItem(d);
    std::string calls = surface.calls;
    // Collapse the run of bars to one letter.
    calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
    EXPECT_EQ(calls, c.calls) << c.what;
  }
}

TEST(DrawItem, APlainItemIgnoresItsBoxAndItsLineRoom) {
  RecordingSurface surface;
  DrawRecord d = Item(surface, kBelow, 90, 10);  // a line below and a short box, but no barcode
  DrawItem(d);
  ASSERT_EQ(surface.texts.size(), 1u);
  EXPECT_EQ(surface.texts[0].x, 100);
  EXPECT_EQ(surface.texts[0].y, 200);
  EXPECT_EQ(surface.texts[0].averageCharWidth, 0);
  EXPECT_EQ(surface.texts[0].escapement, 900);
}

TEST(DrawSheet, DrawsBackgroundThenNumeratorsThenMarginals) {
  RecordingSurface surface;
  SizedBitmap image(10, 20);
  NumeratorList numerators = {MakeNumerator(7, 3), MakeNumerator(8, 2, "N")};
  MarginalText m;
  m.Text = " M ";
  MarginalTextList marginals = {m};
  SheetContent sheet{&numerators, &marginals, &image, {-99, -50, 5100, 6600}};
  DrawSheet(surface, DeviceMapping::Print(600, 99, 50), sheet);
  EXPECT_EQ(surface.calls, "IFMTFMTFMT");
  EXPECT_EQ(surface.images[0].target, (RectI{-99, -50, 5100, 6600}));
  ASSERT_EQ(surface.texts.size(), 3u);
  EXPECT_EQ(surface.texts[0].text, "007");
  EXPECT_EQ(surface.texts[1].text, "N08");
  EXPECT_EQ(surface.texts[2].text, "M");
  EXPECT_EQ(surface.texts[0].x, -99);  // 0 cm is the paper's edge
}

// A numerator or marginal text with a barcode 1.5 cm high.
template <typename Row>
void SetBarcode(Row& row, BarcodeKind kind, ReadableLine line, double length = 6.0) {
  row.Barcode = BarcodeSetting{kind, line, 1.5, kind == BarcodeKind::QrCode ? 0.0 : length};
}

TEST(PreparedSheet, DrawsWhatDrawSheetDrawsWithEachSheetsNumbers) {
  // Affixes, masks, turns, fonts and colours; a text to trim and a blank one;
  // every symbology on numerators and on marginal texts, at every angle,
  // with its line above, below or none, one line wider than its box, and
  // an EAN-13 whose number stops being one.
  NumeratorList numerators = {MakeNumerator(0, 4, "A-", "/x"),
                              MakeNumerator(0, 0),
                              MakeNumerator(0, 6, "", "-B"),
                              MakeNumerator(0, 6),
                              MakeNumerator(0, 0, "N-"),
                              MakeNumerator(0, 12),
                              MakeNumerator(0, 3, "QR-"),
                              MakeNumerator(0, 0, "F"),
                              MakeNumerator(0, 0, "PREFIJO LARGO ")};
  numerators[1].Rotation = 90;
  numerators[1].Font = "Courier";
  numerators[1].Size = 20;
  numerators[1].Colour = 255;
  numerators[2].Rotation = 45;
  numerators[2].Horizontal = 3.5;
  numerators[2].Vertical = 7.25;
  SetBarcode(numerators[3], BarcodeKind::Code39, kAbove);
  numerators[3].Rotation = 90;
  SetBarcode(numerators[4], BarcodeKind::Code128, kBelow);
  numerators[4].Rotation = 180;
  SetBarcode(numerators[5], BarcodeKind::Ean13, kBelow);
  numerators[5].Rotation = 270;
  SetBarcode(numerators[6], BarcodeKind::QrCode, kBelow);
  SetBarcode(numerators[7], BarcodeKind::Code128, kNone);
  numerators[7].Rotation = 45;
  SetBarcode(numerators[8], BarcodeKind::Code128, kAbove, 1.0);
  for (size_t i = 3; i < numerators.size(); ++i) numerators[i].Vertical = 2.0 * i;
  MarginalTextList marginals(6);
  marginals[0].Text = "  fijo  ";
  marginals[0].Rotation = 270;
  marginals[1].Text = "   ";
  for (MarginalText* m : {&marginals[2], &marginals[3]}) m->Vertical = 10.0;
  SetBarcode(marginals[2], BarcodeKind::Code39, kAbove, 4.0);
  marginals[2].Text = "12345";
  SetBarcode(marginals[3], BarcodeKind::Ean13, kBelow, 4.0);
  marginals[3].Text = "123456789012";
  marginals[4].Text = " Hoja de control ";
  SetBarcode(marginals[4], BarcodeKind::QrCode, kBelow);
  marginals[4].Rotation = 180;
  marginals[5].Text = "MARGEN-128";
  SetBarcode(marginals[5], BarcodeKind::Code128, kNone);
  marginals[5].Rotation = 270;
  SizedBitmap image(10, 20);
  // Long numbers before short ones: nothing of a sheet may stay on the next;
  // a sheet printed twice, as copies are, and a number printed before.
  const std::vector<std::vector<int32_t>> sheets = {
      {123456, -7, 0, -7, 123456, 123456, 99, 5, 1234567},
      {5, INT32_MAX, INT32_MIN, INT32_MIN, 5, INT32_MAX, 100, 1234567, 5},
      {5, INT32_MAX, INT32_MIN, INT32_MIN, 5, INT32_MAX, 100, 1234567, 5},
      {42, 0, 1, 42, 0, -1, 99, 5, 42},
      {123456, -7, 0, -7, 123456, 123456, 99, 5, 1234567}};

  for (const DeviceMapping& mapping :
       {DeviceMapping::Print(600, 99, 50), DeviceMapping::Preview(150, 96)}) {
    for (const Bitmap* background : {static_cast<const Bitmap*>(&image), (const Bitmap*)nullptr}) {
      const SheetContent content{&numerators, &marginals, background, {-99, -50, 5100, 6600}};
      PreparedSheet prepared(mapping, content);
      RecordingSurface kept;  // one surface for the whole run, as a printer's
      for (const std::vector<int32_t>& numbers : sheets) {
        RecordingSurface run, alone;
        prepared.Draw(run, numbers);
        kept.Clear();
        prepared.Draw(kept, numbers);
        NumeratorList numbered = numerators;
        for (size_t i = 0; i < numbered.size(); ++i) numbered[i].Number = numbers[i];
        DrawSheet(alone, mapping, {&numbered, &marginals, background, content.backgroundRect});
        ASSERT_GE(alone.texts.size(), 12u);
        ASSERT_GE(alone.rects.size(), 100u);
        EXPECT_EQ(run.Drawn(), alone.Drawn()) << "sheet " << numbers[0];
        EXPECT_EQ(kept.Drawn(), alone.Drawn()) << "sheet " << numbers[0];
      }
    }
  }
}

TEST(PreparedSheet, MeasuresALineOnlyWhenItsTextOrTheSurfaceChanges) {
  // A numerator's Code 128 line below, a marginal text's QR Code line below
  // and its Code 39 line above; a numerator without bars is never measured.
  NumeratorList numerators = {MakeNumerator(0, 4, "N-"), MakeNumerator(0, 2)};
  SetBarcode(numerators[0], BarcodeKind::Code128, kBelow);
  MarginalTextList marginals(2);
  marginals[0].Text = "QR fijo";
  SetBarcode(marginals[0], BarcodeKind::QrCode, kBelow);
  marginals[1].Text = "FIJO 39";
  SetBarcode(marginals[1], BarcodeKind::Code39, kAbove);
  PreparedSheet prepared(DeviceMapping::Print(600, 0, 0), {&numerators, &marginals, nullptr, {}});

  RecordingSurface first, second;
  const struct {
    RecordingSurface* surface;
    int32_t number;
    long measured;  // lines measured for this sheet
  } steps[] = {
      {&first, 1, 3},   // everything once
      {&first, 1, 0},   // a copy of the same sheet
      {&first, 2, 1},   // the numerator's new number
      {&second, 2, 3},  // another surface measures anew
      {&first, 3, 3},   // and back: the first one again, and a new number
  };
  for (const auto& step : steps) {
    step.surface->Clear();
    const std::vector<int32_t> numbers = {step.number, 7};
    prepared.Draw(*step.surface, numbers);
    const std::string& calls = step.surface->calls;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), 'M'), step.measured)
        << "number " << step.number;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), 'T'), 4) << "number " << step.number;
  }
}

// A symbol fills its box as closely as whole printer dots allow, never
// longer, its line centred on the bars; the preview draws it to scale at any
// zoom. Code 39 "C39-002000" has 191 modules, Code 128 "C128-002000" 156,
// the EAN-13 95 and the QR Code 29 with its quiet zone.
TEST(DrawSheet, SymbolsKeepToTheirBoxes) {
  const struct {
    DeviceMapping mapping;
    BarcodeKind type;
    const char* prefix;
    double length;      // cm; a QR Code's side
    int32_t extent;     // the symbol's on the device
    int32_t charWidth;  // of the line, 0 when it keeps its natural width
  } cases[] = {
      {DeviceMapping::Print(600, 0, 0), BarcodeKind::Code39, "C39-", 5.0, 1146,
       0},  // box 1181: 6 dots
      {DeviceMapping::Print(300, 0, 0), BarcodeKind::Code39, "C39-", 5.0, 573,
       0},  // box 591: 3 dots
      {DeviceMapping::Print(600, 0, 0), BarcodeKind::Code128, "C128-", 5.0, 1092, 0},  // 7 dots
      {DeviceMapping::Print(300, 0, 0), BarcodeKind::Code128, "C128-", 3.0, 312,
       0},  // box 354: 2 dots
      {DeviceMapping::Print(300, 0, 0), BarcodeKind::Ean13, "840000", 2.0, 190,
       15},  // narrowed to the bars
      {DeviceMapping::Print(600, 0, 0), BarcodeKind::QrCode, "QR-", 2.5, 580,
       0},  // box 591: 20 dots
      {DeviceMapping::Print(300, 0, 0), BarcodeKind::Code128, "C128-", 1.0, 118,
       11},  // box 118: to scale
      {DeviceMapping::Preview(10, 96), BarcodeKind::Code39, "C39-", 5.0, 19, 0},  // to scale
      {DeviceMapping::Preview(50, 96), BarcodeKind::Ean13, "840000", 5.0, 94, 0},
      {DeviceMapping::Preview(100, 96), BarcodeKind::Code128, "C128-", 5.0, 189, 0},
      {DeviceMapping::Preview(400, 96), BarcodeKind::Code128, "C128-", 5.0, 756, 0},
      {DeviceMapping::Preview(10, 96), BarcodeKind::QrCode, "QR-", 2.5, 9, 0},
      {DeviceMapping::Preview(100, 96), BarcodeKind::QrCode, "QR-", 2.5, 94, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.type)) + " " + std::to_string(c.extent));
    NumeratorList numerators = {MakeNumerator(2000, 6, c.prefix)};
    Numerator& n = numerators[0];
    n.Horizontal = n.Vertical = 2.0;
    n.Font = "Arial";
    n.Size = 10;
    n.Barcode = BarcodeSetting{c.type, kBelow, c.length, c.length};
    RecordingSurface surface;
    DrawSheet(surface, c.mapping, {&numerators, nullptr, nullptr, {}});
    const int32_t x = c.mapping.X(2.0);
    const RectI symbol = Union(surface.rects);  // a QR Code's light square holds its modules
    EXPECT_EQ(symbol.left, x);
    EXPECT_EQ(symbol.width, c.extent);
    ASSERT_EQ(surface.texts.size(), 1u);
    const auto& line = surface.texts[0];
    EXPECT_EQ(line.averageCharWidth, c.charWidth);
    // Centred on the bars, or narrowed to them from their start.
    const int32_t advance = RecordingSurface::AdvanceOf(EmHeight(10, c.mapping.PixelsPerInch()));
    const auto width =
        c.charWidth > 0 ? c.extent : static_cast<int32_t>(line.text.size()) * advance;
    EXPECT_LE(std::abs(2 * (line.x - x) + width - c.extent), 1);
  }
}

TEST(BarsOf, FollowsThePublishedSymbolWidths) {
  // Code 39: five characters of 15 modules and four one-module gaps.
  const BarPattern code39 = BarsOf(BarcodeKind::Code39, EncodeCode39("123"));
  EXPECT_EQ(code39.modules, 79);
  EXPECT_EQ(code39.bars.size(), 25u);
  // A character without a Code 39 symbol draws nothing.
  EXPECT_EQ(BarsOf(BarcodeKind::Code39, "*a*").modules, BarsOf(BarcodeKind::Code39, "**").modules);

  // Code 128: start, three data, check (11 modules each) and a 13-module stop.
  const BarPattern code128 = BarsOf(BarcodeKind::Code128, EncodeCode128("123"));
  EXPECT_EQ(code128.modules, 68);
  EXPECT_EQ(code128.bars.front(), (BarRun{0, 2}));  // Start A is 2-1-1-4-1-2
  EXPECT_EQ(code128.bars[1], (BarRun{3, 1}));
  EXPECT_EQ(code128.bars.back(), (BarRun{66, 2}));  // the stop's final bar
  // Value 0 (232) draws the space's symbol 2-1-2-2-2-2.
  const BarPattern space = BarsOf(BarcodeKind::Code128, std::string(1, static_cast<char>(232)));
  EXPECT_EQ(space.modules, 11);
  EXPECT_EQ(space.bars, (std::vector<BarRun>{{0, 2}, {3, 2}, {7, 2}}));

  // EAN-13: 95 modules; guards 101, centre 01010; "5" in set A is 0110001.
  const BarPattern ean = BarsOf(BarcodeKind::Ean13, EncodeEan13("123456789012"));
  EXPECT_EQ(ean.modules, 95);
  EXPECT_EQ(ean.bars[0], (BarRun{0, 1}));
  EXPECT_EQ(ean.bars[1], (BarRun{2, 1}));
  const BarPattern five = BarsOf(BarcodeKind::Ean13, "#5");
  EXPECT_EQ(five.bars, (std::vector<BarRun>{{1, 2}, {6, 1}}));
  const BarPattern fiveB = BarsOf(BarcodeKind::Ean13, "#F");  // set B "5" is 0111001
  EXPECT_EQ(fiveB.bars, (std::vector<BarRun>{{1, 3}, {6, 1}}));
  const BarPattern fiveC = BarsOf(BarcodeKind::Ean13, "#f");  // set C "5" is 1001110
  EXPECT_EQ(fiveC.bars, (std::vector<BarRun>{{0, 1}, {3, 3}}));
}

}  // namespace
}  // namespace zirvo
