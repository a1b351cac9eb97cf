// The sheet as the preview shows it and `zirvo-batch preview` draws it: a
// panel of the sheet's size at a zoom, the background image stretched over
// it and a one-pixel red frame around it. The items on the sheet are drawn
// by DrawSheet.
#pragma once

#include <cstdint>

#include "base/bitmap.h"
#include "render/surface.h"
#include "template/records.h"

namespace zirvo {

struct SizeI {
  int32_t width = 0, height = 0;
  bool operator==(const SizeI&) const = default;
};

// The colour of the frame around the sheet.
constexpr Colour kSheetFrameColour = 0x0000FF;  // red

// `pixels` at `zoomPercent`: round(z / 100 x pixels), halves to even.
int32_t ZoomedPixels(int32_t zoomPercent, int32_t pixels);
// The sheet's panel at 100 % on a screen of that resolution.
SizeI SheetPixels(const SheetHeader& sheet, int32_t screenPixelsPerInch);
// The panel of `sheetPixels` (at 100 %) at a zoom.
SizeI PanelAtZoom(SizeI sheetPixels, int32_t zoomPercent);
// The largest whole percent at which a panel of `sheetPixels` fits `available`:
// by its height first, then by its width when the height's zoom is too wide.
// `ifEmpty` when the sheet has no area.
int32_t FittingZoom(SizeI available, SizeI sheetPixels, int32_t ifEmpty);

// Whether the preview may show the sheet at a zoom: a panel without area
// shows nothing, and one over 1500 cm on a side is more than the screen's
// drawing can hold.
enum class ZoomVerdict { Fits, NotPositive, TooLarge };
inline constexpr double kLargestZoomedCm = 1500.0;
ZoomVerdict CheckZoom(int32_t zoomPercent, const SheetHeader& sheet);

// Draws the background (when given) over `imageRect`, or stretched over a
// panel of `panel` size without one, and the frame along the panel's edges;
// only the part inside `exposed` is touched by the frame. The panel's
// top-left corner is the surface's origin.
void DrawSheetFrame(Surface& surface, SizeI panel, const Bitmap* background, const RectI& exposed,
                    const RectI* imageRect = nullptr);

}  // namespace zirvo
