// The Surface on a QPainter: a widget, a QImage or a printer page.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QRect>
#include <QString>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/bitmap.h"
#include "render/surface.h"

namespace zirvo {

// A bitmap held as a QImage.
class QtBitmap : public Bitmap {
 public:
  explicit QtBitmap(QImage image) : image_(std::move(image)) {}
  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
};

class PainterSurface : public Surface {
 public:
  explicit PainterSurface(QPainter* painter = nullptr) : painter_(painter) {}
  // Fonts are measured on the painter's device: a new painter drops the cache.
  void SetPainter(QPainter* painter);

  void SetFont(const TextFont& font) override;
  TextExtent MeasureText(std::string_view text) override;
  void DrawText(int32_t x, int32_t y, std::string_view text, int32_t escapement,
                int32_t averageCharWidth) override;
  void FillRect(int32_t originX, int32_t originY, int32_t escapement, const RectI& local,
                Colour colour) override;
  void FillRects(int32_t originX, int32_t originY, int32_t escapement,
                 const std::vector<RectI>& locals, Colour colour) override;
  void DrawImage(const Bitmap& image, const RectI& target) override;

 private:
  struct LoadedFont {
    std::string family;
    int32_t em = 0;
    QFont font;
    int ascent = 0;
    int cellHeight = 0;
    int averageCharWidth = 0;
    std::unique_ptr<QFontMetrics> metrics;
  };
  const LoadedFont& Load(const std::string& family, int32_t em);
  // The QString of a text; the text step measures and then draws the same one.
  const QString& Converted(std::string_view text);
  // True when the text about to be drawn in the current frame falls wholly
  // outside the paint device. A text not measured yet is measured only when
  // its first character cell alone lies outside.
  bool OutsideDevice(int characters, int averageCharWidth);
  bool CellOnDevice(int width) const;

  QPainter* painter_ = nullptr;
  std::string lastText_;
  QString lastConverted_;
  int lastWidth_ = -1;  // measured width of lastText_ in the current font, -1 unknown
  // The fonts loaded on this painter, searched in order: a sheet selects
  // its few fonts again and again, so a short list beats any lookup that
  // builds keys. The addresses stay valid until the painter changes.
  std::vector<std::unique_ptr<LoadedFont>> fonts_;
  const LoadedFont* current_ = nullptr;
  QColor colour_ = Qt::black;
  QList<QRect> rects_;  // FillRects' rectangles, the storage kept from call to call
};

}  // namespace zirvo
