#include "render/painter_surface_qt.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

#include "base/qtext_qt.h"

namespace zirvo {
namespace {

QColor ToQColor(Colour c) { return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c)); }

// Turns the painter's frame to an item's: origin at (x, y), x axis turned
// counter-clockwise (on the page, with y growing downwards) by the escapement.
void EnterItemFrame(QPainter& painter, int32_t x, int32_t y, int32_t escapement) {
  painter.translate(x, y);
  if (escapement % 3600 != 0) painter.rotate(-escapement / 10.0);
}

}  // namespace

void PainterSurface::SetPainter(QPainter* painter) {
  painter_ = painter;
  current_ = nullptr;
  fonts_.clear();
}

const PainterSurface::LoadedFont& PainterSurface::Load(const std::string& family, int32_t em) {
  if (current_ != nullptr && current_->em == em && current_->family == family) return *current_;
  for (const auto& font : fonts_)
    if (font->em == em && font->family == family) return *font;

  auto loaded = std::make_unique<LoadedFont>();
  loaded->family = family;
  loaded->em = em;
  loaded->font = QFont(ToQString(family));
  loaded->font.setPixelSize(std::max(1, em));
  loaded->font.setStyleStrategy(QFont::PreferDefault);
  QPaintDevice* device = painter_ != nullptr ? painter_->device() : nullptr;
  loaded->metrics = std::make_unique<QFontMetrics>(loaded->font, device);
  loaded->ascent = loaded->metrics->ascent();
  loaded->cellHeight = loaded->metrics->ascent() + loaded->metrics->descent();
  loaded->averageCharWidth = loaded->metrics->averageCharWidth();
  fonts_.push_back(std::move(loaded));
  return *fonts_.back();
}

const QString& PainterSurface::Converted(std::string_view text) {
  if (text != lastText_) {
    lastText_.assign(text);
    lastConverted_ = ToQString(text);
    lastWidth_ = -1;
  }
  return lastConverted_;
}

void PainterSurface::SetFont(const TextFont& font) {
  const LoadedFont* previous = current_;
  current_ = &Load(font.family, EmHeight(font.pointSize, font.pixelsPerInch));
  if (current_ != previous) lastWidth_ = -1;
  colour_ = ToQColor(font.colour);
}

TextExtent PainterSurface::MeasureText(std::string_view text) {
  if (current_ == nullptr) return {};
  const QString& converted = Converted(text);
  lastWidth_ = current_->metrics->horizontalAdvance(converted);
  return {lastWidth_, current_->cellHeight};
}

void PainterSurface::DrawText(int32_t x, int32_t y, std::string_view text, int32_t escapement,
                              int32_t averageCharWidth) {
  if (painter_ == nullptr || current_ == nullptr || text.empty()) return;
  const QString& converted = Converted(text);
  const QTransform base = painter_->worldTransform();
  EnterItemFrame(*painter_, x, y, escapement);
  if (OutsideDevice(static_cast<int>(text.size()), averageCharWidth)) {
    // Nothing of it would show (a window of a sheet at a high zoom): skip
    // the glyphs, which cost the most at large sizes.
    painter_->setWorldTransform(base);
    return;
  }
  if (averageCharWidth > 0 && current_->averageCharWidth > 0) {
    // A derived font whose average character has the given width.
    QFont derived = current_->font;
    const double stretch = averageCharWidth * 100.0 / current_->averageCharWidth;
    derived.setStretch(std::clamp(static_cast<int>(std::lround(stretch)), 1, 4000));
    painter_->setFont(derived);
  } else {
    painter_->setFont(current_->font);
  }
  painter_->setPen(colour_);
  // QPainter places text by its baseline; the reference point is the cell's top.
  painter_->drawText(QPoint(0, current_->ascent), converted);
  painter_->setWorldTransform(base);
}

bool PainterSurface::OutsideDevice(int characters, int averageCharWidth) {
  if (painter_->device() == nullptr) return false;
  int width = averageCharWidth > 0 ? averageCharWidth * characters : lastWidth_;
  if (width < 0) {
    // Not measured (a print run draws its plain text lines without asking
    // for their extent): a text whose first cell shows is drawn without
    // measuring it; any wider cell contains that one.
    if (CellOnDevice(0)) return false;
    lastWidth_ = current_->metrics->horizontalAdvance(lastConverted_);
    width = lastWidth_;
  }
  return !CellOnDevice(width);
}

bool PainterSurface::CellOnDevice(int width) const {
  const QPaintDevice* device = painter_->device();
  // The text's cell in the item frame, widened by an em for overhangs.
  const int em = current_->em;
  const QRectF cell(-em, -em, width + 2.0 * em, current_->cellHeight + 2.0 * em);
  const QRectF onDevice = painter_->worldTransform().mapRect(cell);
  return onDevice.intersects(QRectF(0, 0, device->width(), device->height()));
}

void PainterSurface::FillRect(int32_t originX, int32_t originY, int32_t escapement,
                              const RectI& local, Colour colour) {
  if (painter_ == nullptr || local.width <= 0 || local.height <= 0) return;
  const QTransform base = painter_->worldTransform();
  EnterItemFrame(*painter_, originX, originY, escapement);
  painter_->fillRect(QRect(local.left, local.top, local.width, local.height), ToQColor(colour));
  painter_->setWorldTransform(base);
}

void PainterSurface::FillRects(int32_t originX, int32_t originY, int32_t escapement,
                               const std::vector<RectI>& locals, Colour colour) {
  if (painter_ == nullptr || locals.empty()) return;
  // Bars of one height from the frame's x axis (a linear symbol's), turned
  // by a right angle, are drawn one unit high in a frame stretched by that
  // whole number: corners at 0 and 1 times the stretch land exactly where
  // corners at 0 and the height do, and a PDF gets fewer characters per bar.
  // At other angles the stretched frame's entries would be rounded anew.
  const int32_t height = locals.front().height;
  const bool oneRow =
      escapement % 900 == 0 && std::all_of(locals.begin(), locals.end(), [&](const RectI& local) {
        return local.top == 0 && local.height == height;
      });
  rects_.clear();  // keeps its storage: a run fills bars sheet after sheet
  for (const RectI& local : locals)
    if (local.width > 0 && local.height > 0)
      rects_.append(
          QRect(local.left, oneRow ? 0 : local.top, local.width, oneRow ? 1 : local.height));
  if (rects_.isEmpty()) return;
  // One transform and one fill for all of them: a PDF gets one path. The
  // painter's transform, pen and brush are put back one by one rather than
  // by save() and restore(): a restore hands the whole state to the paint
  // engine at once, which a PDF then writes out again for every barcode.
  const QTransform base = painter_->worldTransform();
  const QPen pen = painter_->pen();
  const QBrush brush = painter_->brush();
  EnterItemFrame(*painter_, originX, originY, escapement);
  if (oneRow) painter_->scale(1, height);
  painter_->setPen(Qt::NoPen);
  painter_->setBrush(ToQColor(colour));
  painter_->drawRects(rects_);
  painter_->setWorldTransform(base);
  painter_->setBrush(brush);
  painter_->setPen(pen);
}

void PainterSurface::DrawImage(const Bitmap& image, const RectI& target) {
  const auto* qtImage = dynamic_cast<const QtBitmap*>(&image);
  if (painter_ == nullptr || qtImage == nullptr || qtImage->Image().isNull()) return;
  painter_->drawImage(QRect(target.left, target.top, target.width, target.height),
                      qtImage->Image());
}

}  // namespace zirvo
