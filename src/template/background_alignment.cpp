#include "template/background_alignment.h"

#include <cmath>
#include <vector>

#include "base/messages.h"
#include "base/text.h"

namespace zirvo {
namespace {

constexpr double kCmPerInch = 2.54;
// Points closer than this on an axis fix no resolution on it.
constexpr double kLeastPixels = 1.0;
constexpr double kLeastCm = 0.01;

double CmPerPixel(double dpi) { return kCmPerInch / dpi; }

// Pixels per inch from a distance in pixels and the same distance in cm; 0
// when the distance is too short on either side to tell.
double DpiOf(double pixels, double cm) {
  if (std::fabs(pixels) < kLeastPixels || std::fabs(cm) < kLeastCm) return 0.0;
  return pixels / (cm / kCmPerInch);
}

}  // namespace

bool ValidAlignment(const BackgroundAlignment& a) {
  const auto offsetOk = [](double v) {
    return std::isfinite(v) && std::fabs(v) <= BackgroundAlignment::kLargestOffsetCm;
  };
  const auto dpiOk = [](double v) {
    return std::isfinite(v) && v >= BackgroundAlignment::kLowestDpi &&
           v <= BackgroundAlignment::kHighestDpi;
  };
  return offsetOk(a.left) && offsetOk(a.top) && dpiOk(a.dpiX) && dpiOk(a.dpiY);
}

RectCm ImagePlace(const BackgroundAlignment& a, int imageWidth, int imageHeight) {
  return {a.left, a.top, imageWidth * CmPerPixel(a.dpiX), imageHeight * CmPerPixel(a.dpiY)};
}

PointCm SheetPointOf(const BackgroundAlignment& a, ImagePoint p) {
  return {a.left + p.x * CmPerPixel(a.dpiX), a.top + p.y * CmPerPixel(a.dpiY)};
}

ImagePoint ImagePointOf(const BackgroundAlignment& a, PointCm p) {
  return {(p.x - a.left) / CmPerPixel(a.dpiX), (p.y - a.top) / CmPerPixel(a.dpiY)};
}

BackgroundAlignment AlignByPoints(ImagePoint a, PointCm sheetA, ImagePoint b, PointCm sheetB) {
  double dpiX = DpiOf(b.x - a.x, sheetB.x - sheetA.x);
  double dpiY = DpiOf(b.y - a.y, sheetB.y - sheetA.y);
  if (dpiX == 0.0) dpiX = dpiY;
  if (dpiY == 0.0) dpiY = dpiX;
  BackgroundAlignment alignment;
  alignment.dpiX = dpiX;
  alignment.dpiY = dpiY;
  if (dpiX > 0.0 && dpiY > 0.0) {
    alignment.left = sheetA.x - a.x * CmPerPixel(dpiX);
    alignment.top = sheetA.y - a.y * CmPerPixel(dpiY);
  }
  // Both axes must grow the same way on the scan and on the sheet.
  const bool mirrored =
      (b.x - a.x) * (sheetB.x - sheetA.x) < 0.0 || (b.y - a.y) * (sheetB.y - sheetA.y) < 0.0;
  if (mirrored || !ValidAlignment(alignment))
    throw ZirvoError(OwnText(OwnMessage::AlignmentPointsInvalid));
  return alignment;
}

std::string AlignmentLine(const BackgroundAlignment& a) {
  return std::string(kAlignmentMarker) + FormatFixed(a.left, 3) + "|" + FormatFixed(a.top, 3) +
         "|" + FormatFixed(a.dpiX, 4) + "|" + FormatFixed(a.dpiY, 4) + "|";
}

std::optional<BackgroundAlignment> ParseAlignmentLine(std::string_view line) {
  if (line.substr(0, kAlignmentMarker.size()) != kAlignmentMarker) return std::nullopt;
  std::vector<double> values;
  std::string_view rest = line.substr(kAlignmentMarker.size());
  while (values.size() < 4) {
    const std::size_t bar = rest.find('|');
    if (bar == std::string_view::npos) return std::nullopt;
    double value = 0.0;
    if (!TryParseDouble(Trim(rest.substr(0, bar)), value)) return std::nullopt;
    values.push_back(value);
    rest.remove_prefix(bar + 1);
  }
  const BackgroundAlignment alignment{values[0], values[1], values[2], values[3]};
  if (!ValidAlignment(alignment)) return std::nullopt;
  return alignment;
}

}  // namespace zirvo
