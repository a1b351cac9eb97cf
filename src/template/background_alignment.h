// Where the background scan lies on the sheet: the sheet point of the scan's
// top-left corner and the scan's resolution on each axis. A form scanned at
// any resolution, with a margin or cropped, then lines up with the sheet.
// Without an alignment the scan is stretched over the whole sheet (the
// preview) or the whole paper (a run).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zirvo {

struct PointCm {
  double x = 0.0, y = 0.0;
  bool operator==(const PointCm&) const = default;
};

struct RectCm {
  double left = 0.0, top = 0.0, width = 0.0, height = 0.0;
  bool operator==(const RectCm&) const = default;
};

// A point of the scan, in its pixels from its top-left corner.
struct ImagePoint {
  double x = 0.0, y = 0.0;
};

struct BackgroundAlignment {
  static constexpr double kLargestOffsetCm = 1000.0;
  static constexpr double kLowestDpi = 1.0;
  static constexpr double kHighestDpi = 10000.0;

  double left = 0.0;  // cm from the sheet's left edge to the scan's left edge
  double top = 0.0;   // cm from the sheet's top edge to the scan's top edge
  double dpiX = 0.0;  // scan pixels per inch, across
  double dpiY = 0.0;  // and down
  bool operator==(const BackgroundAlignment&) const = default;
};

// Offsets within +-1000 cm and resolutions from 1 to 10000 pixels per inch.
bool ValidAlignment(const BackgroundAlignment& alignment);

// The sheet rectangle a scan of that many pixels covers.
RectCm ImagePlace(const BackgroundAlignment& alignment, int imageWidth, int imageHeight);
// The sheet point of a scan point, and back.
PointCm SheetPointOf(const BackgroundAlignment& alignment, ImagePoint point);
ImagePoint ImagePointOf(const BackgroundAlignment& alignment, PointCm point);

// The alignment that puts scan point `a` on sheet point `sheetA` and `b` on
// `sheetB`. Each axis takes its resolution from the two points' distance on
// it; an axis on which they (nearly) coincide takes the other's. Throws
// ZirvoError for points that fix no resolution, one that mirrors the scan
// or one outside ValidAlignment.
BackgroundAlignment AlignByPoints(ImagePoint a, PointCm sheetA, ImagePoint b, PointCm sheetB);

// The template line of an alignment: "|FON|left|top|dpiX|dpiY|".
std::string AlignmentLine(const BackgroundAlignment& alignment);
inline constexpr std::string_view kAlignmentMarker = "|FON|";
// The alignment of such a line; nothing for one that does not read or is not valid.
std::optional<BackgroundAlignment> ParseAlignmentLine(std::string_view line);

}  // namespace zirvo
