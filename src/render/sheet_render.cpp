#include "render/sheet_render.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "base/qr_matrix.h"
#include "base/text.h"
#include "render/bar_modules.h"
#include "template/barcode_setting.h"
#include "template/numerator_table.h"

namespace zirvo {
namespace {

constexpr double kCmPerInch = 2.54;

int32_t Clamp32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (value <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

int32_t Clamp32(int64_t value) {
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

// The item's two axes on the device: u along the text, v across it (downwards
// in the unrotated item). Right angles are exact.
struct ItemFrame {
  double ux = 1, uy = 0, vx = 0, vy = 1;
};

ItemFrame FrameOf(int32_t escapement) {
  const int32_t tenths = ((escapement % 3600) + 3600) % 3600;
  switch (tenths) {
    case 0:
      return {1, 0, 0, 1};
    case 900:
      return {0, -1, 1, 0};
    case 1800:
      return {-1, 0, 0, -1};
    case 2700:
      return {0, 1, -1, 0};
    default:
      break;
  }
  const double radians = tenths / 10.0 * std::acos(-1.0) / 180.0;
  const double c = std::cos(radians), s = std::sin(radians);
  return {c, -s, s, c};
}

struct PointI {
  int32_t x = 0, y = 0;
};

// The anchor moved `along` the text direction and `across` it.
PointI Offset(const DrawRecord& item, const ItemFrame& frame, int32_t along, int32_t across) {
  const double dx = along * frame.ux + across * frame.vx;
  const double dy = along * frame.uy + across * frame.vy;
  return {Clamp32(static_cast<int64_t>(item.X) + RoundHalfEven(dx)),
          Clamp32(static_cast<int64_t>(item.Y) + RoundHalfEven(dy))};
}

int32_t EscapementOf(const DrawRecord& item) { return RoundHalfEven(item.Angle * 10.0); }

struct TextPlacement {
  PointI at;
  int32_t averageCharWidth = 0;
};

TextPlacement LayoutText(DrawRecord& item) {
  item.Canvas->SetFont({item.FontName, item.PixelsPerInch, item.FontSize, item.FontColor});
  const TextExtent extent = item.Canvas->MeasureText(item.Text);
  item.TextHeight = extent.height;

  const bool lineBesideBars =
      item.BarcodePosition == kTextAbove || item.BarcodePosition == kTextBelow;
  int32_t charWidth = 0;
  int32_t centring = 0;
  if (item.BarLength < extent.width) {
    if (!item.Text.empty())
      charWidth = RoundHalfEven(static_cast<double>(item.BarLength) /
                                static_cast<double>(item.Text.size()));
  } else {
    centring = RoundHalfEven((static_cast<double>(item.BarLength) - extent.width) / 2.0);
  }

  TextPlacement placement;
  const ItemFrame frame = FrameOf(EscapementOf(item));
  switch (item.BarcodePosition) {
    case kTextAbove:
      placement.at = Offset(item, frame, centring, 0);
      break;
    case kTextBelow:
      placement.at = Offset(item, frame, centring, item.BarHeight - extent.height);
      break;
    default:
      placement.at = {item.X, item.Y};
      break;
  }
  placement.averageCharWidth = lineBesideBars && charWidth > 0 ? charWidth : 0;
  return placement;
}

std::string EncodedBars(int32_t type, const std::string& text) {
  switch (type) {
    case kCode39:
      return EncodeCode39(text);
    case kCode128:
      return EncodeCode128(text);
    case kEan13:
      return EncodeEan13(text);
    default:
      return {};
  }
}

bool ValidIndex(const std::string& text, int32_t highest, int32_t& index) {
  return TryParseInt32(Trim(text), index) && index >= 0 && index <= highest;
}

// Bars only for a text the symbology carries as it is: a Code 128 with a
// lowercase letter would otherwise scan as another text.
bool Encodable(int32_t type, const std::string& text) {
  BarcodeSetting setting;
  setting.kind = static_cast<BarcodeKind>(type);
  const BarcodeTextProblem problem = CheckBarcodeText(setting, text);
  return problem == BarcodeTextProblem::None || problem == BarcodeTextProblem::QrTooLong;
}

// A QR Code: the square of side BarHeight at the anchor, quiet zone
// included, modules a whole number of device pixels; the text line, if any,
// centred under the square.
void DrawQrItem(DrawRecord& item) {
  const std::optional<QrMatrix> symbol = EncodeQrText(item.Text);
  if (!symbol || item.BarHeight <= 0) return;
  const int32_t modules = symbol->size + 2 * kQrQuietZone;
  const int32_t module = std::max(1, item.BarHeight / modules);
  const int32_t escapement = EscapementOf(item);
  // Light modules and the quiet zone are painted too: a background image
  // under the symbol must not darken them.
  item.Canvas->FillRect(item.X, item.Y, escapement, {0, 0, modules * module, modules * module},
                        0xFFFFFF);
  std::vector<RectI> runs;  // the dark modules, a run of a row in one rectangle
  for (int32_t row = 0; row < symbol->size; ++row) {
    for (int32_t column = 0; column < symbol->size;) {
      if (!symbol->Dark(row, column)) {
        ++column;
        continue;
      }
      const int32_t first = column;
      while (column < symbol->size && symbol->Dark(row, column)) ++column;
      runs.push_back({(kQrQuietZone + first) * module, (kQrQuietZone + row) * module,
                      (column - first) * module, module});
    }
  }
  item.Canvas->FillRects(item.X, item.Y, escapement, runs, 0);
  if (item.BarcodePosition != kTextBelow) return;
  item.Canvas->SetFont({item.FontName, item.PixelsPerInch, item.FontSize, item.FontColor});
  const TextExtent extent = item.Canvas->MeasureText(item.Text);
  item.TextHeight = extent.height;
  const int32_t side = modules * module;
  const PointI at = Offset(item, FrameOf(escapement), RoundHalfEven((side - extent.width) / 2.0),
                           side + item.Gap);
  item.Canvas->DrawText(at.x, at.y, item.Text, escapement, 0);
}

DrawRecord ComposeCommon(std::string text, const std::string& font, int32_t size, int32_t colour,
                         double horizontal, double vertical, double barHeight, double barLength,
                         double rotation, bool barcode, const std::string& barcodeType,
                         const std::string& barcodePosition, const DeviceMapping& mapping,
                         Surface* canvas) {
  DrawRecord item;
  item.Text = std::move(text);
  item.FontName = font.substr(0, DrawRecord::kFontNameCapacity);
  item.FontSize = size;
  item.FontColor = colour;
  item.X = mapping.X(horizontal);
  item.Y = mapping.Y(vertical);
  item.BarHeight = mapping.Length(barHeight);
  item.BarLength = mapping.Length(barLength);
  item.Angle = rotation;
  item.PixelsPerInch = mapping.PixelsPerInch();
  item.Gap = mapping.Gap();
  item.Canvas = canvas;

  // A barcode needs a real box and a type and position the lists know;
  // anything else is drawn as plain text.
  int32_t type = 0, position = 0;
  if (barcode && barLength > 0 && barHeight > 0 && ValidIndex(barcodeType, kQrCode, type) &&
      ValidIndex(barcodePosition, kTextBelow, position)) {
    item.WithBarcode = true;
    item.BarcodeType = type;
    item.BarcodePosition = position;
  }
  return item;
}

DrawRecord NumeratorRecord(const Numerator& n, int32_t number, const DeviceMapping& mapping,
                           Surface* canvas) {
  return ComposeCommon(FormatNumeratorText(n.Prefix, number, n.Mask, n.Suffix), n.Font, n.Size,
                       n.Colour, n.Horizontal, n.Vertical, n.BarHeight, n.BarLength, n.Rotation,
                       n.Barcode, n.BarcodeType, n.BarcodePosition, mapping, canvas);
}

DrawRecord MarginalRecord(const MarginalText& m, const DeviceMapping& mapping, Surface* canvas) {
  return ComposeCommon(Trim(m.Text), m.Font, m.Size, m.Colour, m.Horizontal, m.Vertical,
                       m.BarHeight, m.BarLength, m.Rotation, m.Barcode, m.BarcodeType,
                       m.BarcodePosition, mapping, canvas);
}

}  // namespace

int32_t RoundHalfEven(double value) { return Clamp32(std::nearbyint(value)); }

int32_t RoundHalfAway(double value) { return Clamp32(std::round(value)); }

int32_t EmHeight(int32_t pointSize, int32_t pixelsPerInch) {
  return RoundHalfAway(static_cast<double>(pointSize) * pixelsPerInch / 72.0);
}

int32_t CmToScreenPixels(double cm, int32_t screenPixelsPerInch) {
  return RoundHalfEven(cm / kCmPerInch * screenPixelsPerInch);
}

DeviceMapping DeviceMapping::Preview(int32_t zoomPercent, int32_t screenPixelsPerInch) {
  DeviceMapping m;
  m.preview_ = true;
  m.zoom_ = zoomPercent;
  m.resolution_ = screenPixelsPerInch;
  m.pixelsPerInch_ = RoundHalfEven(zoomPercent / 100.0 * screenPixelsPerInch);
  m.gap_ = RoundHalfEven(zoomPercent / 100.0 * 3.0);
  return m;
}

DeviceMapping DeviceMapping::Print(int32_t pixelsPerInch, int32_t offsetLeft, int32_t offsetTop) {
  DeviceMapping m;
  m.preview_ = false;
  m.resolution_ = pixelsPerInch;
  m.offsetLeft_ = offsetLeft;
  m.offsetTop_ = offsetTop;
  m.pixelsPerInch_ = pixelsPerInch;
  m.gap_ = RoundHalfEven(pixelsPerInch * 3.0 / 96.0);
  return m;
}

int32_t DeviceMapping::Length(double cm) const {
  if (preview_)
    return RoundHalfEven(static_cast<double>(CmToScreenPixels(cm, resolution_)) * zoom_ / 100.0);
  return RoundHalfEven(cm / kCmPerInch * resolution_);
}

int32_t DeviceMapping::X(double cm) const {
  return Clamp32(static_cast<int64_t>(Length(cm)) - offsetLeft_);
}

int32_t DeviceMapping::Y(double cm) const {
  return Clamp32(static_cast<int64_t>(Length(cm)) - offsetTop_);
}

DrawRecord ComposeNumerator(const Numerator& n, int32_t number, const DeviceMapping& mapping,
                            Surface& canvas) {
  return NumeratorRecord(n, number, mapping, &canvas);
}

DrawRecord ComposeMarginal(const MarginalText& m, const DeviceMapping& mapping, Surface& canvas) {
  return MarginalRecord(m, mapping, &canvas);
}

void DrawItem(DrawRecord item) {
  if (!item.WithBarcode) {
    item.BarcodePosition = kNoText;
    DrawItemText(item);
    return;
  }
  if (item.BarcodeType == kQrCode) {
    DrawQrItem(item);
    return;
  }
  if (item.BarcodePosition == kTextAbove || item.BarcodePosition == kTextBelow) {
    if (item.BarcodeType == kEan13) {
      // The line of an EAN-13 shows the 13 digits its symbol carries, check
      // digit included, as scanners read them; a text that is no EAN-13 gets
      // no line and no bars.
      DrawRecord line = item;
      line.Text = Ean13Digits(item.Text);
      if (line.Text.empty()) {
        MeasureItemText(item);
      } else {
        DrawItemText(line);
        item.TextHeight = line.TextHeight;
      }
    } else {
      DrawItemText(item);
    }
  }
  DrawItemBarcode(item);
}

void MeasureItemText(DrawRecord& item) { LayoutText(item); }

void DrawItemText(DrawRecord& item) {
  const TextPlacement placement = LayoutText(item);
  item.Canvas->DrawText(placement.at.x, placement.at.y, item.Text, EscapementOf(item),
                        placement.averageCharWidth);
}

void DrawItemBarcode(const DrawRecord& item) {
  if (!Encodable(item.BarcodeType, item.Text)) return;
  const std::string encoded = EncodedBars(item.BarcodeType, item.Text);
  if (encoded.empty()) return;

  const int64_t lineRoom = static_cast<int64_t>(item.TextHeight) + item.Gap;
  const bool beside = item.BarcodePosition == kTextAbove || item.BarcodePosition == kTextBelow;
  const int64_t barHeight = beside ? item.BarHeight - lineRoom : item.BarHeight;
  // A box too low for its text line leaves no room for bars: none are drawn.
  if (item.BarHeight <= 0 || barHeight <= 0) return;

  const int32_t escapement = EscapementOf(item);
  const ItemFrame frame = FrameOf(escapement);
  const PointI origin = item.BarcodePosition == kTextAbove
                            ? Offset(item, frame, 0, Clamp32(lineRoom))
                            : PointI{item.X, item.Y};

  const BarPattern pattern = BarsOf(static_cast<BarcodeType>(item.BarcodeType), encoded);
  if (pattern.modules <= 0) return;
  // Whole device pixels per module, so that narrow and wide bars keep their
  // ratio at any resolution; the symbol starts at the box's start and may
  // end short of the box's length.
  const int32_t module = std::max(1, item.BarLength / pattern.modules);
  std::vector<RectI> bars;
  bars.reserve(pattern.bars.size());
  for (const BarRun& bar : pattern.bars)
    bars.push_back({bar.start * module, 0, bar.width * module, static_cast<int32_t>(barHeight)});
  item.Canvas->FillRects(origin.x, origin.y, escapement, bars, 0);
}

void DrawSheet(Surface& surface, const DeviceMapping& mapping, const SheetContent& sheet) {
  if (sheet.background != nullptr && !sheet.background->Empty())
    surface.DrawImage(*sheet.background, sheet.backgroundRect);
  if (sheet.numerators != nullptr)
    for (const Numerator& n : *sheet.numerators)
      DrawItem(ComposeNumerator(n, n.Number, mapping, surface));
  if (sheet.marginals != nullptr)
    for (const MarginalText& m : *sheet.marginals) DrawItem(ComposeMarginal(m, mapping, surface));
}

PreparedSheet::PreparedSheet(const DeviceMapping& mapping, const SheetContent& sheet) {
  if (sheet.background != nullptr && !sheet.background->Empty()) {
    background_ = sheet.background;
    backgroundRect_ = sheet.backgroundRect;
  }
  // The records are composed without a canvas; each sheet names its own.
  if (sheet.numerators != nullptr) {
    numerators_.reserve(sheet.numerators->size());
    for (const Numerator& n : *sheet.numerators) {
      Item item = Prepare(NumeratorRecord(n, n.Number, mapping, nullptr));
      item.prefix = n.Prefix;
      item.suffix = n.Suffix;
      item.mask = n.Mask;
      numerators_.push_back(std::move(item));
    }
  }
  if (sheet.marginals != nullptr) {
    marginals_.reserve(sheet.marginals->size());
    for (const MarginalText& m : *sheet.marginals)
      marginals_.push_back(Prepare(MarginalRecord(m, mapping, nullptr)));
  }
}

PreparedSheet::Item PreparedSheet::Prepare(DrawRecord record) {
  Item item;
  item.font = {record.FontName, record.PixelsPerInch, record.FontSize, record.FontColor};
  item.escapement = EscapementOf(record);
  item.plainText = !record.WithBarcode;
  // What DrawItem does to a record without bars.
  if (item.plainText) record.BarcodePosition = kNoText;
  record.Canvas = nullptr;
  item.record = std::move(record);
  return item;
}

void PreparedSheet::DrawPrepared(Surface& surface, Item& item) {
  if (!item.plainText) {
    // Bars: the text's extent places them, so the full steps are taken.
    item.record.Canvas = &surface;
    DrawItem(item.record);
    item.record.Canvas = nullptr;
    return;
  }
  // DrawItemText without the measuring: a plain line sits at the record's
  // anchor at its natural width, whatever its extent.
  surface.SetFont(item.font);
  surface.DrawText(item.record.X, item.record.Y, item.record.Text, item.escapement, 0);
}

void PreparedSheet::Draw(Surface& surface, std::span<const int32_t> numbers) {
  if (background_ != nullptr) surface.DrawImage(*background_, backgroundRect_);
  const std::size_t count = std::min(numbers.size(), numerators_.size());
  for (std::size_t i = 0; i < count; ++i) {
    Item& item = numerators_[i];
    FormatNumeratorTextInto(item.record.Text, item.prefix, numbers[i], item.mask, item.suffix);
    DrawPrepared(surface, item);
  }
  for (Item& item : marginals_) DrawPrepared(surface, item);
}

}  // namespace zirvo
