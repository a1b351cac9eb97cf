// Drawing a sheet: how a numerator or marginal-text record becomes a drawing
// record (DrawRecord) for the preview or for a printer page, and how an item is
// drawn as a line of text, with or without bars.
//
// Geometry rounds to the nearest integer with halves to the even neighbour;
// only a point size becomes device units with halves away from zero.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "render/bar_modules.h"
#include "render/surface.h"
#include "template/background_alignment.h"
#include "template/barcode_setting.h"
#include "template/records.h"

namespace zirvo {

// Nearest integer, halves to even (the default floating-point rounding mode),
// clamped to the signed 32-bit range.
int32_t RoundHalfEven(double value);
// Nearest integer, halves away from zero, clamped to the signed 32-bit range.
int32_t RoundHalfAway(double value);

// round(cm / 2.54 x screen pixels per inch).
int32_t CmToScreenPixels(double cm, int32_t screenPixelsPerInch);

// The drawing record of one item.
struct DrawRecord {
  static constexpr std::size_t kFontNameCapacity = 50;

  std::string Text;
  // The symbology of an item drawn with bars; none for a text line only.
  std::optional<BarcodeKind> Symbology;
  ReadableLine Line = ReadableLine::None;  // the text beside the bars; None without bars
  int32_t PixelsPerInch = 96;
  int32_t X = 0;
  int32_t Y = 0;
  int32_t BarHeight = 0;
  int32_t BarLength = 0;
  int32_t TextHeight = 0;  // set by the text step, read by the barcode step
  int32_t Gap = 0;
  double Angle = 0.0;    // degrees counter-clockwise
  std::string FontName;  // at most 50 characters
  int32_t FontSize = 12;
  Colour FontColor = 0;
  // Symbols drawn to scale (the preview) rather than in whole dots per module.
  bool SymbolsToScale = false;
  Surface* Canvas = nullptr;
};

// How centimetres on the sheet become device units on one surface.
class DeviceMapping {
 public:
  // The preview at `zoomPercent` on a screen of `screenPixelsPerInch`.
  static DeviceMapping Preview(int32_t zoomPercent, int32_t screenPixelsPerInch);
  // A printer page at `pixelsPerInch` whose drawing origin lies `offsetLeft`
  // and `offsetTop` dots from the paper's edges.
  static DeviceMapping Print(int32_t pixelsPerInch, int32_t offsetLeft, int32_t offsetTop);

  int32_t X(double cm) const;       // horizontal position
  int32_t Y(double cm) const;       // vertical position
  int32_t Length(double cm) const;  // a size (bar height or length): no offset
  int32_t PixelsPerInch() const { return pixelsPerInch_; }
  int32_t Gap() const { return gap_; }
  // The preview draws every symbol at its size on the sheet; a printer page
  // gives each module a whole number of dots.
  bool SymbolsToScale() const { return preview_; }

 private:
  bool preview_ = false;
  int32_t zoom_ = 100;
  int32_t resolution_ = 96;  // screen or printer pixels per inch
  int32_t offsetLeft_ = 0;
  int32_t offsetTop_ = 0;
  int32_t pixelsPerInch_ = 96;
  int32_t gap_ = 3;
};

// The record of a numerator printing `number`.
DrawRecord ComposeNumerator(const Numerator& numerator, int32_t number,
                            const DeviceMapping& mapping, Surface& canvas);
// The record of a marginal text (its text trimmed).
DrawRecord ComposeMarginal(const MarginalText& marginal, const DeviceMapping& mapping,
                           Surface& canvas);

// Draws one item: the text line, the bars, or both.
void DrawItem(DrawRecord item);
// The device rectangle DrawItem paints the item in: its text cell, or the
// box of its bars with their line, turned about the anchor as drawn. A text
// is measured in the item's font on its canvas. The preview picks and
// outlines items by it.
RectI ItemBounds(DrawRecord item);

// The device rectangle of a rectangle of the sheet.
RectI DeviceRect(const DeviceMapping& mapping, const RectCm& rect);
// Where a background image is drawn: where its alignment puts it on the
// sheet, or stretched over `whole` (the preview's panel, a run's paper)
// without one.
RectI BackgroundRect(const DeviceMapping& mapping,
                     const std::optional<BackgroundAlignment>& alignment, const Bitmap& image,
                     const RectI& whole);
// The text step: draws the text line and sets TextHeight.
void DrawItemText(DrawRecord& item);

// What an item with bars works out from its text before drawing, kept by a
// print run from sheet to sheet so that its storage is reused.
struct BarcodeBuffers {
  bool encodable = false;  // the symbology carries the text: bars are drawn
  std::string line;        // the human-readable line: the text, or EAN-13's 13 digits
  std::string encoded;     // the encoder's string of a linear symbol
  BarPattern pattern;      // its bars in modules
  // The bars on the device in the item's frame: a linear symbol's bars
  // (their height set when drawn), or a QR Code's runs of dark modules.
  std::vector<RectI> rects;
  int32_t symbolLength = 0;  // a linear symbol's length on the device, 0 without one
  int32_t qrSide = 0;        // a QR Code's side with its quiet zone, 0 without a symbol
  // The line's extent as last measured, and on which surface; null when the
  // text has changed since.
  const Surface* measuredOn = nullptr;
  TextExtent extent;
};

// Everything drawn on one sheet.
struct SheetContent {
  // Their Number fields are printed; a mirror prints its source's.
  const NumeratorList* numerators = nullptr;
  const MarginalTextList* marginals = nullptr;
  const Bitmap* background = nullptr;  // null: no background
  RectI backgroundRect;
};

// The background first, then the numerators, then the marginal texts.
void DrawSheet(Surface& surface, const DeviceMapping& mapping, const SheetContent& sheet);

// A sheet as a print run draws it page after page. What stays the same from
// sheet to sheet is worked out once: each item's record and font, the
// numerators' prefixes, suffixes and masks, the trimmed marginal texts and
// the background's place. Drawing a sheet then formats its numbers and
// draws, and draws what DrawSheet draws for the same numbers. A text line
// without bars is drawn without measuring it, as nothing of its place
// depends on its extent. An item with bars keeps its buffers from sheet to
// sheet: a marginal text's symbol is encoded once, a numerator's when its
// number changes, and a human-readable line is measured again only when its
// text or the surface changes (a surface measures a font the same way for
// as long as it draws a run).
class PreparedSheet {
 public:
  // The numerators' Number fields are not kept: each sheet brings its own.
  PreparedSheet(const DeviceMapping& mapping, const SheetContent& sheet);

  std::size_t NumeratorCount() const { return numerators_.size(); }
  // Draws the sheet with numerator i printing numbers[i] (for a mirror, the
  // number of its source: see SheetNumbers); a numerator without a number in
  // `numbers` is not drawn.
  void Draw(Surface& surface, std::span<const int32_t> numbers);

 private:
  struct Item {
    DrawRecord record;  // its Text the fixed text, or the last number's
    TextFont font;
    int32_t escapement = 0;
    bool plainText = false;  // a text line only, no bars
    BarcodeBuffers bars;     // items with bars
    // Numerators only.
    std::string prefix, suffix;
    int32_t mask = 0;
    CheckDigit check = CheckDigit::None;  // its source's, for a mirror
    std::string nextText;                 // the sheet's text, formatted beside the last one
  };
  static Item Prepare(DrawRecord record);
  static void DrawPrepared(Surface& surface, Item& item);

  const Bitmap* background_ = nullptr;
  RectI backgroundRect_;
  std::vector<Item> numerators_;
  std::vector<Item> marginals_;
};

}  // namespace zirvo
