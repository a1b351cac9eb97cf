#include "render/sheet_frame.h"

#include <algorithm>
#include <cmath>

#include "render/sheet_render.h"

namespace zirvo {
namespace {

RectI Intersected(const RectI& a, const RectI& b) {
  const int64_t left = std::max<int64_t>(a.left, b.left);
  const int64_t top = std::max<int64_t>(a.top, b.top);
  const int64_t right = std::min<int64_t>(int64_t{a.left} + a.width, int64_t{b.left} + b.width);
  const int64_t bottom = std::min<int64_t>(int64_t{a.top} + a.height, int64_t{b.top} + b.height);
  if (right <= left || bottom <= top) return {};
  return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - left),
          static_cast<int32_t>(bottom - top)};
}

// The number of whole percent at which `available` pixels hold `pixels`.
int32_t FittingPercent(int32_t available, int32_t pixels) {
  return static_cast<int32_t>(std::trunc(static_cast<double>(available) / pixels * 100.0));
}

}  // namespace

int32_t ZoomedPixels(int32_t zoomPercent, int32_t pixels) {
  return RoundHalfEven(zoomPercent / 100.0 * pixels);
}

SizeI SheetPixels(const SheetHeader& sheet, int32_t screenPixelsPerInch) {
  return {CmToScreenPixels(sheet.Width, screenPixelsPerInch),
          CmToScreenPixels(sheet.Height, screenPixelsPerInch)};
}

SizeI PanelAtZoom(SizeI sheetPixels, int32_t zoomPercent) {
  return {ZoomedPixels(zoomPercent, sheetPixels.width),
          ZoomedPixels(zoomPercent, sheetPixels.height)};
}

int32_t FittingZoom(SizeI available, SizeI sheetPixels, int32_t ifEmpty) {
  if (sheetPixels.width <= 0 || sheetPixels.height <= 0) return ifEmpty;
  int32_t zoom = FittingPercent(available.height, sheetPixels.height);
  if (ZoomedPixels(zoom, sheetPixels.width) > available.width) {
    zoom = FittingPercent(available.width, sheetPixels.width);
  }
  return zoom;
}

void DrawSheetFrame(Surface& surface, SizeI panel, const Bitmap* background, const RectI& exposed,
                    const RectI* imageRect) {
  if (background != nullptr)
    surface.DrawImage(*background,
                      imageRect != nullptr ? *imageRect : RectI{0, 0, panel.width, panel.height});
  // Four one-pixel strips cut to the exposed part rather than an outline:
  // a raster engine drops outlines whose corners lie far outside the device.
  const RectI strips[] = {{0, 0, panel.width, 1},
                          {0, panel.height - 1, panel.width, 1},
                          {0, 0, 1, panel.height},
                          {panel.width - 1, 0, 1, panel.height}};
  for (const RectI& strip : strips) {
    const RectI part = Intersected(strip, exposed);
    if (part.width > 0 && part.height > 0) surface.FillRect(0, 0, 0, part, kSheetFrameColour);
  }
}

ZoomVerdict CheckZoom(int32_t zoomPercent, const SheetHeader& sheet) {
  if (zoomPercent <= 0) return ZoomVerdict::NotPositive;
  if (zoomPercent / 100.0 * sheet.Width > kLargestZoomedCm ||
      zoomPercent / 100.0 * sheet.Height > kLargestZoomedCm) {
    return ZoomVerdict::TooLarge;
  }
  return ZoomVerdict::Fits;
}

}  // namespace zirvo
