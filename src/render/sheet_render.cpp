#include "render/sheet_render.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "base/qr_matrix.h"
#include "base/text.h"
#include "render/bar_modules.h"
#include "render/barcode.h"
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

bool LineBesideBars(const DrawRecord& item) {
  return item.Line == ReadableLine::Above || item.Line == ReadableLine::Below;
}

struct TextPlacement {
  PointI at;
  int32_t averageCharWidth = 0;
};

TextFont FontOf(const DrawRecord& item) {
  return {item.FontName, item.PixelsPerInch, item.FontSize, item.FontColor};
}

// Where a line of `length` characters whose extent is `extent` goes beside
// bars `span` units long: centred on them, or narrowed to their length.
TextPlacement PlaceLine(const DrawRecord& item, const TextExtent& extent, std::size_t length,
                        int32_t span) {
  const bool lineBesideBars = LineBesideBars(item);
  int32_t charWidth = 0;
  int32_t centring = 0;
  if (span < extent.width) {
    if (length > 0)
      charWidth = RoundHalfEven(static_cast<double>(span) / static_cast<double>(length));
  } else {
    centring = RoundHalfEven((static_cast<double>(span) - extent.width) / 2.0);
  }

  TextPlacement placement;
  const ItemFrame frame = FrameOf(EscapementOf(item));
  switch (item.Line) {
    case ReadableLine::Above:
      placement.at = Offset(item, frame, centring, 0);
      break;
    case ReadableLine::Below:
      placement.at = Offset(item, frame, centring, item.BarHeight - extent.height);
      break;
    case ReadableLine::None:
      placement.at = {item.X, item.Y};
      break;
  }
  placement.averageCharWidth = lineBesideBars && charWidth > 0 ? charWidth : 0;
  return placement;
}

TextPlacement LayoutText(DrawRecord& item, TextExtent* measured = nullptr) {
  item.Canvas->SetFont(FontOf(item));
  const TextExtent extent = item.Canvas->MeasureText(item.Text);
  item.TextHeight = extent.height;
  if (measured != nullptr) *measured = extent;
  return PlaceLine(item, extent, CharacterCount(item.Text), item.BarLength);
}

// Bars only for a text the symbology carries as it is: a Code 128 with a
// lowercase letter would otherwise scan as another text.
bool Encodable(BarcodeKind kind, const std::string& text) {
  BarcodeSetting setting;
  setting.kind = kind;
  const BarcodeTextProblem problem = CheckBarcodeText(setting, text);
  return problem == BarcodeTextProblem::None || problem == BarcodeTextProblem::QrTooLong;
}

// Works out into `bars` everything of an item's barcode that follows from
// its text and its box: whether the symbology carries the text, the line,
// the symbol and where its bars or modules lie.
void EncodeBarcode(const DrawRecord& item, BarcodeBuffers& bars) {
  bars.measuredOn = nullptr;
  bars.encodable = false;
  bars.symbolLength = 0;
  bars.qrSide = 0;
  bars.rects.clear();
  if (!item.Symbology) return;
  const BarcodeKind kind = *item.Symbology;
  if (kind == BarcodeKind::QrCode) {
    // The square of side BarHeight at the anchor, quiet zone included.
    bars.line.assign(item.Text);
    const std::optional<QrMatrix> symbol = EncodeQrText(item.Text);
    if (!symbol || item.BarHeight <= 0) return;
    bars.encodable = true;
    const int32_t modules = symbol->size + 2 * kQrQuietZone;
    const ModuleGrid grid(item.BarHeight, modules, item.SymbolsToScale);
    bars.qrSide = grid.Length();
    // The dark modules, a run of a row in one rectangle.
    for (int32_t row = 0; row < symbol->size; ++row) {
      const UnitSpan rows = grid.Span(kQrQuietZone + row, 1);
      for (int32_t column = 0; column < symbol->size;) {
        if (!symbol->Dark(row, column)) {
          ++column;
          continue;
        }
        const int32_t first = column;
        while (column < symbol->size && symbol->Dark(row, column)) ++column;
        const UnitSpan columns = grid.Span(kQrQuietZone + first, column - first);
        if (columns.length > 0 && rows.length > 0)
          bars.rects.push_back({columns.start, rows.start, columns.length, rows.length});
      }
    }
    return;
  }

  if (kind == BarcodeKind::Ean13) {
    // The line of an EAN-13 shows the 13 digits its symbol carries, check
    // digit included, as scanners read them; a text that is no EAN-13 gets
    // no line and no bars.
    Ean13DigitsInto(bars.line, item.Text);
    bars.encodable = !bars.line.empty();
    if (bars.encodable) EncodeEan13Into(bars.encoded, item.Text);
  } else {
    bars.line.assign(item.Text);
    bars.encodable = Encodable(kind, item.Text);
    if (bars.encodable && kind == BarcodeKind::Code39) EncodeCode39Into(bars.encoded, item.Text);
    if (bars.encodable && kind == BarcodeKind::Code128) EncodeCode128Into(bars.encoded, item.Text);
  }
  if (!bars.encodable) return;
  BarsOfInto(bars.pattern, kind, bars.encoded);
  if (bars.pattern.modules <= 0) return;
  // The symbol starts at the box's start; on a printer page whole dots per
  // module keep narrow and wide bars in their ratio, and the symbol may end
  // short of the box's length. The bars' height follows the line's.
  const ModuleGrid grid(item.BarLength, bars.pattern.modules, item.SymbolsToScale);
  bars.symbolLength = grid.Length();
  for (const BarRun& bar : bars.pattern.bars) {
    const UnitSpan span = grid.Span(bar.start, bar.width);
    if (span.length > 0) bars.rects.push_back({span.start, 0, span.length, 0});
  }
}

// The extent of a line in the selected font, measured unless `bars` holds
// it for this surface.
TextExtent LineExtent(Surface& canvas, std::string_view text, BarcodeBuffers& bars) {
  if (bars.measuredOn != &canvas) {
    bars.extent = canvas.MeasureText(text);
    bars.measuredOn = &canvas;
  }
  return bars.extent;
}

// The bars of a linear symbol, beside a line `textHeight` high or alone.
void DrawLinearBars(Surface& canvas, const DrawRecord& item, int32_t textHeight,
                    BarcodeBuffers& bars) {
  if (!bars.encodable || bars.pattern.modules <= 0) return;
  const int64_t lineRoom = static_cast<int64_t>(textHeight) + item.Gap;
  const bool beside = LineBesideBars(item);
  const int64_t barHeight = beside ? item.BarHeight - lineRoom : item.BarHeight;
  // A box too low for its text line leaves no room for bars: none are drawn.
  if (item.BarHeight <= 0 || barHeight <= 0) return;

  const int32_t escapement = EscapementOf(item);
  const ItemFrame frame = FrameOf(escapement);
  const PointI origin = item.Line == ReadableLine::Above ? Offset(item, frame, 0, Clamp32(lineRoom))
                                                         : PointI{item.X, item.Y};
  for (RectI& bar : bars.rects) bar.height = static_cast<int32_t>(barHeight);
  canvas.FillRects(origin.x, origin.y, escapement, bars.rects, 0);
}

// A linear symbol and its line, if any.
void DrawLinearItem(Surface& canvas, const DrawRecord& item, const TextFont& font,
                    BarcodeBuffers& bars) {
  int32_t textHeight = item.TextHeight;
  if (LineBesideBars(item)) {
    canvas.SetFont(font);
    if (item.Symbology == BarcodeKind::Ean13 && bars.line.empty()) {
      // No EAN-13: the text is measured as its line would be, nothing drawn.
      canvas.MeasureText(item.Text);
      return;
    }
    const TextExtent extent = LineExtent(canvas, bars.line, bars);
    textHeight = extent.height;
    // The line goes with the bars, which may end short of the box; a text
    // the symbology cannot carry keeps the box.
    const int32_t span = bars.symbolLength > 0 ? bars.symbolLength : item.BarLength;
    const TextPlacement placement = PlaceLine(item, extent, CharacterCount(bars.line), span);
    canvas.DrawText(placement.at.x, placement.at.y, bars.line, EscapementOf(item),
                    placement.averageCharWidth);
  }
  DrawLinearBars(canvas, item, textHeight, bars);
}

// A QR Code and its line, if any, centred under the square.
void DrawQrItem(Surface& canvas, const DrawRecord& item, const TextFont& font,
                BarcodeBuffers& bars) {
  if (!bars.encodable) return;
  const int32_t side = bars.qrSide;
  const int32_t escapement = EscapementOf(item);
  // Light modules and the quiet zone are painted too: a background image
  // under the symbol must not darken them.
  canvas.FillRect(item.X, item.Y, escapement, {0, 0, side, side}, 0xFFFFFF);
  canvas.FillRects(item.X, item.Y, escapement, bars.rects, 0);
  if (item.Line != ReadableLine::Below) return;
  canvas.SetFont(font);
  const TextExtent extent = LineExtent(canvas, bars.line, bars);
  const PointI at = Offset(item, FrameOf(escapement), RoundHalfEven((side - extent.width) / 2.0),
                           side + item.Gap);
  canvas.DrawText(at.x, at.y, bars.line, escapement, 0);
}

// An item with bars from the buffers its text was encoded into.
void DrawBarcodeItem(Surface& canvas, const DrawRecord& item, const TextFont& font,
                     BarcodeBuffers& bars) {
  if (item.Symbology == BarcodeKind::QrCode)
    DrawQrItem(canvas, item, font, bars);
  else
    DrawLinearItem(canvas, item, font, bars);
}

DrawRecord ComposeCommon(std::string text, const std::string& font, int32_t size, int32_t colour,
                         double horizontal, double vertical, double rotation,
                         const std::optional<BarcodeSetting>& barcode, const DeviceMapping& mapping,
                         Surface* canvas) {
  // A QR Code's box is its square: the side along the text as well as across it.
  const double barHeight = barcode ? barcode->height : 0.0;
  const double barLength = !barcode                               ? 0.0
                           : barcode->kind == BarcodeKind::QrCode ? barcode->height
                                                                  : barcode->length;
  DrawRecord item;
  item.Text = std::move(text);
  item.FontName = FirstCharacters(font, DrawRecord::kFontNameCapacity);
  item.FontSize = size;
  item.FontColor = colour;
  item.X = mapping.X(horizontal);
  item.Y = mapping.Y(vertical);
  item.BarHeight = mapping.Length(barHeight);
  item.BarLength = mapping.Length(barLength);
  item.Angle = rotation;
  item.PixelsPerInch = mapping.PixelsPerInch();
  item.Gap = mapping.Gap();
  item.SymbolsToScale = mapping.SymbolsToScale();
  item.Canvas = canvas;

  // A barcode needs a real box; anything else is drawn as plain text.
  if (barcode && barLength > 0 && barHeight > 0) {
    item.Symbology = barcode->kind;
    item.Line = barcode->line;
  }
  return item;
}

DrawRecord NumeratorRecord(const Numerator& n, int32_t number, CheckDigit check,
                           const DeviceMapping& mapping, Surface* canvas) {
  return ComposeCommon(FormatNumeratorText(n.Prefix, number, n.Mask, n.Suffix, check), n.Font,
                       n.Size, n.Colour, n.Horizontal, n.Vertical, n.Rotation, n.Barcode, mapping,
                       canvas);
}

DrawRecord MarginalRecord(const MarginalText& m, const DeviceMapping& mapping, Surface* canvas) {
  return ComposeCommon(Trim(m.Text), m.Font, m.Size, m.Colour, m.Horizontal, m.Vertical, m.Rotation,
                       m.Barcode, mapping, canvas);
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
  return NumeratorRecord(n, number, n.Rule.checkDigit, mapping, &canvas);
}

DrawRecord ComposeMarginal(const MarginalText& m, const DeviceMapping& mapping, Surface& canvas) {
  return MarginalRecord(m, mapping, &canvas);
}

void DrawItem(DrawRecord item) {
  if (!item.Symbology) {
    item.Line = ReadableLine::None;
    DrawItemText(item);
    return;
  }
  BarcodeBuffers bars;
  EncodeBarcode(item, bars);
  DrawBarcodeItem(*item.Canvas, item, FontOf(item), bars);
}

RectI ItemBounds(DrawRecord item) {
  // The painted area in the item's own frame: u along the text, v across.
  double u0 = 0, v0 = 0, u1 = 0, v1 = 0;
  if (!item.Symbology) {
    item.Line = ReadableLine::None;
    TextExtent extent;
    LayoutText(item, &extent);
    u1 = extent.width;
    v1 = extent.height;
  } else if (item.Symbology == BarcodeKind::QrCode) {
    BarcodeBuffers bars;
    EncodeBarcode(item, bars);
    const int32_t side = bars.encodable ? bars.qrSide : item.BarHeight;
    u1 = side;
    v1 = side;
    if (item.Line == ReadableLine::Below && bars.encodable) {
      item.Canvas->SetFont(FontOf(item));
      const TextExtent extent = item.Canvas->MeasureText(bars.line);
      const double start = RoundHalfEven((side - extent.width) / 2.0);
      u0 = std::min(0.0, start);
      u1 = std::max<double>(side, start + extent.width);
      v1 = static_cast<double>(side) + item.Gap + extent.height;
    }
  } else {
    u1 = item.BarLength;
    v1 = item.BarHeight;
  }
  const ItemFrame frame = FrameOf(EscapementOf(item));
  double left = 0, top = 0, right = 0, bottom = 0;
  bool first = true;
  for (const double u : {u0, u1}) {
    for (const double v : {v0, v1}) {
      const double x = item.X + u * frame.ux + v * frame.vx;
      const double y = item.Y + u * frame.uy + v * frame.vy;
      left = first ? x : std::min(left, x);
      right = first ? x : std::max(right, x);
      top = first ? y : std::min(top, y);
      bottom = first ? y : std::max(bottom, y);
      first = false;
    }
  }
  const int32_t l = RoundHalfEven(std::floor(left));
  const int32_t t = RoundHalfEven(std::floor(top));
  return {l, t, Clamp32(static_cast<int64_t>(RoundHalfEven(std::ceil(right))) - l),
          Clamp32(static_cast<int64_t>(RoundHalfEven(std::ceil(bottom))) - t)};
}

RectI DeviceRect(const DeviceMapping& mapping, const RectCm& rect) {
  const int32_t left = mapping.X(rect.left);
  const int32_t top = mapping.Y(rect.top);
  return {left, top, Clamp32(static_cast<int64_t>(mapping.X(rect.left + rect.width)) - left),
          Clamp32(static_cast<int64_t>(mapping.Y(rect.top + rect.height)) - top)};
}

RectI BackgroundRect(const DeviceMapping& mapping,
                     const std::optional<BackgroundAlignment>& alignment, const Bitmap& image,
                     const RectI& whole) {
  if (!alignment) return whole;
  return DeviceRect(mapping, ImagePlace(*alignment, image.Width(), image.Height()));
}

void DrawItemText(DrawRecord& item) {
  const TextPlacement placement = LayoutText(item);
  item.Canvas->DrawText(placement.at.x, placement.at.y, item.Text, EscapementOf(item),
                        placement.averageCharWidth);
}

void DrawSheet(Surface& surface, const DeviceMapping& mapping, const SheetContent& sheet) {
  if (sheet.background != nullptr && !sheet.background->Empty())
    surface.DrawImage(*sheet.background, sheet.backgroundRect);
  if (sheet.numerators != nullptr)
    for (std::size_t i = 0; i < sheet.numerators->size(); ++i) {
      // A mirror prints the number and check digit of the numerator it repeats.
      const Numerator& source = (*sheet.numerators)[MirrorSource(*sheet.numerators, i)];
      DrawItem(NumeratorRecord((*sheet.numerators)[i], source.Number, source.Rule.checkDigit,
                               mapping, &surface));
    }
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
    for (std::size_t i = 0; i < sheet.numerators->size(); ++i) {
      const Numerator& n = (*sheet.numerators)[i];
      const CheckDigit check =
          (*sheet.numerators)[MirrorSource(*sheet.numerators, i)].Rule.checkDigit;
      Item item = Prepare(NumeratorRecord(n, n.Number, check, mapping, nullptr));
      item.prefix = n.Prefix;
      item.suffix = n.Suffix;
      item.mask = n.Mask;
      item.check = check;
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
  item.font = FontOf(record);
  item.escapement = EscapementOf(record);
  item.plainText = !record.Symbology;
  // What DrawItem does to a record without bars.
  if (item.plainText) record.Line = ReadableLine::None;
  record.Canvas = nullptr;
  item.record = std::move(record);
  // A marginal text's symbol for the whole run; a numerator's is encoded
  // again when its number changes.
  if (!item.plainText) EncodeBarcode(item.record, item.bars);
  return item;
}

void PreparedSheet::DrawPrepared(Surface& surface, Item& item) {
  if (!item.plainText) {
    DrawBarcodeItem(surface, item.record, item.font, item.bars);
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
    if (item.plainText) {
      FormatNumeratorTextInto(item.record.Text, item.prefix, numbers[i], item.mask, item.suffix,
                              item.check);
    } else {
      // A symbol encoded again only for a new text: the copies of a sheet
      // print the same numbers.
      FormatNumeratorTextInto(item.nextText, item.prefix, numbers[i], item.mask, item.suffix,
                              item.check);
      if (item.nextText != item.record.Text) {
        item.record.Text.swap(item.nextText);
        EncodeBarcode(item.record, item.bars);
      }
    }
    DrawPrepared(surface, item);
  }
  for (Item& item : marginals_) DrawPrepared(surface, item);
}

}  // namespace zirvo
