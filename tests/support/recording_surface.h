// A surface that draws nothing and records every call, with simple fixed
// font metrics, for tests of the drawing and printing logic.
#pragma once

#include <string>
#include <vector>

#include "render/surface.h"

namespace zirvo {

class RecordingSurface : public Surface {
 public:
  // The fixed metrics: every character advances half the em height (rounded
  // up); the cell is five quarters of the em height (rounded down).
  static int32_t AdvanceOf(int32_t em) { return (em + 1) / 2; }
  static int32_t CellHeightOf(int32_t em) { return em * 5 / 4; }

  struct TextCall {
    int32_t x = 0, y = 0;
    std::string text;
    int32_t escapement = 0;
    int32_t averageCharWidth = 0;
    TextFont font;
  };
  struct RectCall {
    int32_t originX = 0, originY = 0, escapement = 0;
    RectI local;
    Colour colour = 0;
    // The filled area on the device; exact for right angles.
    RectI DeviceRect() const;
  };
  struct ImageCall {
    const Bitmap* image = nullptr;
    RectI target;
  };
  // Every call in order: 'F' font, 'M' measure, 'T' text, 'R' rectangle, 'I' image.
  std::string calls;
  std::vector<TextFont> fonts;
  std::vector<TextCall> texts;
  std::vector<RectCall> rects;
  std::vector<ImageCall> images;
  // When set, drawing text throws, as a failing driver may while a page is drawn.
  bool failDrawing = false;

  void Clear();
  // What was drawn, one line per text, rectangle or image in drawing order,
  // each text with the font it was drawn in. Selecting a font and measuring
  // leave no line: two ways of drawing the same page give the same lines.
  std::string Drawn() const;

  void SetFont(const TextFont& font) override;
  TextExtent MeasureText(std::string_view text) override;
  void DrawText(int32_t x, int32_t y, std::string_view text, int32_t escapement,
                int32_t averageCharWidth) override;
  void FillRect(int32_t originX, int32_t originY, int32_t escapement, const RectI& local,
                Colour colour) override;
  void DrawImage(const Bitmap& image, const RectI& target) override;

 private:
  TextFont font_;
};

// A bitmap that is only a size.
class SizedBitmap : public Bitmap {
 public:
  SizedBitmap(int width, int height) : width_(width), height_(height) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }

 private:
  int width_, height_;
};

}  // namespace zirvo
