#include "support/recording_surface.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "base/text.h"

namespace zirvo {

RectI RecordingSurface::RectCall::DeviceRect() const {
  // Turn the local corners by the escapement (whole quarter turns).
  const int32_t quarter = ((escapement % 3600 + 3600) % 3600) / 900;
  auto turn = [&](int32_t u, int32_t v, int32_t& x, int32_t& y) {
    switch (quarter) {
      case 0:
        x = u;
        y = v;
        break;
      case 1:
        x = v;
        y = -u;
        break;
      case 2:
        x = -u;
        y = -v;
        break;
      default:
        x = -v;
        y = u;
        break;
    }
  };
  int32_t x1, y1, x2, y2;
  turn(local.left, local.top, x1, y1);
  turn(local.left + local.width, local.top + local.height, x2, y2);
  return {originX + std::min(x1, x2), originY + std::min(y1, y2), std::abs(x2 - x1),
          std::abs(y2 - y1)};
}

void RecordingSurface::Clear() {
  calls.clear();
  fonts.clear();
  texts.clear();
  rects.clear();
  images.clear();
}

std::string RecordingSurface::Drawn() const {
  std::string drawn;
  size_t text = 0, rect = 0, image = 0;
  auto add = [&](std::initializer_list<int64_t> numbers) {
    for (const int64_t n : numbers) drawn += ' ' + std::to_string(n);
  };
  for (const char call : calls) {
    if (call == 'T' && text < texts.size()) {
      const TextCall& t = texts[text++];
      drawn += "text '" + t.text + "' " + t.font.family;
      add({t.font.pixelsPerInch, t.font.pointSize, t.font.colour, t.x, t.y, t.escapement,
           t.averageCharWidth});
    } else if (call == 'R' && rect < rects.size()) {
      const RectCall& r = rects[rect++];
      drawn += "rect";
      add({r.originX, r.originY, r.escapement, r.local.left, r.local.top, r.local.width,
           r.local.height, r.colour});
    } else if (call == 'I' && image < images.size()) {
      const ImageCall& i = images[image++];
      drawn += "image";
      add({reinterpret_cast<intptr_t>(i.image), i.target.left, i.target.top, i.target.width,
           i.target.height});
    } else {
      continue;
    }
    drawn += '\n';
  }
  return drawn;
}

void RecordingSurface::SetFont(const TextFont& font) {
  font_ = font;
  fonts.push_back(font);
  calls += 'F';
}

TextExtent RecordingSurface::MeasureText(std::string_view text) {
  calls += 'M';
  const int32_t em = EmHeight(font_.pointSize, font_.pixelsPerInch);
  return {static_cast<int32_t>(CharacterCount(text)) * AdvanceOf(em), CellHeightOf(em)};
}

void RecordingSurface::DrawText(int32_t x, int32_t y, std::string_view text, int32_t escapement,
                                int32_t averageCharWidth) {
  if (failDrawing) throw ZirvoError("recording surface: drawing failed");
  calls += 'T';
  texts.push_back({x, y, std::string(text), escapement, averageCharWidth, font_});
}

void RecordingSurface::FillRect(int32_t originX, int32_t originY, int32_t escapement,
                                const RectI& local, Colour colour) {
  calls += 'R';
  rects.push_back({originX, originY, escapement, local, colour});
}

void RecordingSurface::DrawImage(const Bitmap& image, const RectI& target) {
  calls += 'I';
  images.push_back({&image, target});
}

}  // namespace zirvo
