// The narrow drawing interface every sheet is drawn through: the preview's
// paint box, a printer page, a PNG for the batch tool, or a recording fake.
// Coordinates are device units (pixels or printer dots), y growing downwards.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/bitmap.h"

namespace zirvo {

// A 24-bit colour as templates store it: red in the lowest byte, then green,
// then blue. Higher bits are ignored.
using Colour = int32_t;
constexpr int ColourRed(Colour c) { return c & 0xFF; }
constexpr int ColourGreen(Colour c) { return (c >> 8) & 0xFF; }
constexpr int ColourBlue(Colour c) { return (c >> 16) & 0xFF; }

struct RectI {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const RectI&) const = default;
};

struct TextFont {
  std::string family;
  int32_t pixelsPerInch = 96;
  int32_t pointSize = 12;
  Colour colour = 0;
  bool operator==(const TextFont&) const = default;
};

// Em height of a font in device units: size x resolution / 72, halves away
// from zero (the one rounding of the renderer that does not go to even).
int32_t EmHeight(int32_t pointSize, int32_t pixelsPerInch);

struct TextExtent {
  int32_t width = 0;   // advance of the whole string
  int32_t height = 0;  // cell height: ascent plus descent
  bool operator==(const TextExtent&) const = default;
};

class Surface {
 public:
  virtual ~Surface() = default;

  // Selects a regular font of the family at the em height of EmHeight().
  virtual void SetFont(const TextFont& font) = 0;
  // The unrotated extent of the text in the selected font.
  virtual TextExtent MeasureText(std::string_view text) = 0;
  // Draws the text with the top-left corner of its first character cell at
  // (x, y), its baseline turned counter-clockwise by escapement / 10 degrees
  // about that point. averageCharWidth > 0 narrows or widens the font so
  // that its average character is that wide; 0 keeps the natural width.
  // The background stays transparent.
  virtual void DrawText(int32_t x, int32_t y, std::string_view text, int32_t escapement,
                        int32_t averageCharWidth) = 0;
  // Fills `local`, a rectangle in a frame whose origin is (originX, originY)
  // and whose x axis is turned counter-clockwise by escapement / 10 degrees.
  virtual void FillRect(int32_t originX, int32_t originY, int32_t escapement, const RectI& local,
                        Colour colour) = 0;
  // FillRect for each of `locals`, all in the same frame: the bars of one
  // barcode. A surface may draw them in one go.
  virtual void FillRects(int32_t originX, int32_t originY, int32_t escapement,
                         const std::vector<RectI>& locals, Colour colour) {
    for (const RectI& local : locals) FillRect(originX, originY, escapement, local, colour);
  }
  // Stretches the bitmap over the rectangle, ignoring its proportions.
  virtual void DrawImage(const Bitmap& image, const RectI& target) = 0;
};

}  // namespace zirvo
