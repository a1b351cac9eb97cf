// The QPainter surface on a raster image.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <vector>

#include "engine_support.h"
#include "render/painter_surface_qt.h"

namespace zirvo {
namespace {

// The columns and rows that hold dark pixels.
QRect Ink(const QImage& image) {
  QRect ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y).lightness() < 160) ink |= QRect(x, y, 1, 1);
  return ink;
}

QRect DrawOn(int x, int y, int escapement, int averageCharWidth, const char* text = "HHHH",
             bool measured = true) {
  QImage image(400, 400, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PainterSurface surface(&painter);
  surface.SetFont({"Arial", 96, 24, 0});
  if (measured) surface.MeasureText(text);
  surface.DrawText(x, y, text, escapement, averageCharWidth);
  painter.end();
  return Ink(image);
}

TEST(PainterSurface, TurnsTextCounterClockwiseAboutTheCellsTopLeft) {
  const QRect flat = DrawOn(200, 200, 0, 0);
  ASSERT_FALSE(flat.isEmpty());
  EXPECT_GE(flat.left(), 200);
  EXPECT_GE(flat.top(), 200);
  const QRect up = DrawOn(200, 200, 900, 0);  // reads upwards, lies right of x
  EXPECT_GE(up.left(), 200);
  EXPECT_LE(up.bottom(), 200);
  EXPECT_NEAR(up.height(), flat.width(), 2);
  const QRect down = DrawOn(200, 200, 2700, 0);  // reads downwards, lies left of x
  EXPECT_LE(down.right(), 200);
  EXPECT_GE(down.top(), 200);
  const QRect upsideDown = DrawOn(200, 200, 1800, 0);
  EXPECT_LE(upsideDown.right(), 200);
  EXPECT_LE(upsideDown.bottom(), 200);
}

TEST(PainterSurface, AnAverageCharacterWidthNarrowsTheText) {
  const QRect natural = DrawOn(10, 10, 0, 0);
  const QRect narrow = DrawOn(10, 10, 0, 8);
  EXPECT_LT(narrow.width(), natural.width() * 3 / 4);
  EXPECT_NEAR(narrow.height(), natural.height(), 2);
}

TEST(PainterSurface, EmHeightFollowsPointSizeAndResolution) {
  QImage image(10, 10, QImage::Format_RGB32);
  QPainter painter(&image);
  PainterSurface surface(&painter);
  surface.SetFont({"Arial", 96, 12, 0});
  const TextExtent small = surface.MeasureText("0000");
  surface.SetFont({"Arial", 192, 12, 0});
  const TextExtent large = surface.MeasureText("0000");
  EXPECT_NEAR(large.width, 2 * small.width, 2);
  EXPECT_NEAR(large.height, 2 * small.height, 2);
  EXPECT_GT(small.height, 16);  // the cell is taller than the 16-pixel em
}

TEST(PainterSurface, TextOutsideTheDeviceIsSkippedAndTextPartlyInsideIsDrawn) {
  // Measured first (the preview) or not (a print run's plain lines) alike.
  for (const bool measured : {true, false}) {
    EXPECT_TRUE(DrawOn(-3000, 50, 0, 0, "HHHH", measured).isEmpty()) << measured;
    const QRect partly = DrawOn(-20, 50, 0, 0, "HHHH", measured);
    EXPECT_FALSE(partly.isEmpty()) << measured;
    EXPECT_EQ(partly.left(), 0) << measured;
    // Anchored below the image but turned upwards into it.
    EXPECT_FALSE(DrawOn(50, 420, 900, 0, "HHHH", measured).isEmpty()) << measured;
    // Only the text's far end reaches the image: its first cell lies outside.
    const QRect farEnd = DrawOn(-150, 50, 0, 0, "HHHHHHHHHHHH", measured);
    EXPECT_FALSE(farEnd.isEmpty()) << measured;
    EXPECT_EQ(farEnd.left(), 0) << measured;
  }
}

TEST(PainterSurface, FillsTurnedRectanglesAndStretchesImages) {
  QImage image(100, 100, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PainterSurface surface(&painter);
  surface.FillRect(50, 50, 900, {0, 0, 30, 10}, 0);  // along upwards, across to the right
  painter.end();
  EXPECT_EQ(Ink(image), QRect(50, 20, 10, 30));

  QImage blue(2, 3, QImage::Format_RGB32);
  blue.fill(QColor(0, 0, 255));
  image.fill(Qt::white);
  painter.begin(&image);
  surface.SetPainter(&painter);
  surface.DrawImage(QtBitmap(blue), {10, 10, 80, 20});
  painter.end();
  EXPECT_EQ(image.pixelColor(10, 10), QColor(0, 0, 255));
  EXPECT_EQ(image.pixelColor(89, 29), QColor(0, 0, 255));
  EXPECT_EQ(image.pixelColor(89, 30), QColor(255, 255, 255));
}

// The bars of a barcode drawn in one go cover exactly the pixels that one
// fill per bar covers, at every angle: rectangles of any place and size,
// and a linear symbol's bars, all one height from the frame's axis.
TEST(PainterSurface, FillingManyRectanglesAtOnceCoversTheSamePixels) {
  const std::vector<std::vector<RectI>> symbols = {
      {{0, 0, 3, 20}, {5, 0, 1, 20}, {9, 0, 6, 20}, {17, 2, 2, 5}},
      {{0, 0, 3, 23}, {5, 0, 1, 23}, {9, 0, 6, 23}, {17, 0, 2, 23}}};
  for (const std::vector<RectI>& bars : symbols)
    for (int32_t escapement : {0, 900, 1800, 2700}) {
      QImage one(80, 80, QImage::Format_RGB32), each(80, 80, QImage::Format_RGB32);
      one.fill(Qt::white);
      each.fill(Qt::white);
      QPainter painter(&one);
      PainterSurface surface(&painter);
      surface.FillRects(40, 40, escapement, bars, 0);
      painter.end();
      painter.begin(&each);
      surface.SetPainter(&painter);
      for (const RectI& bar : bars) surface.FillRect(40, 40, escapement, bar, 0);
      painter.end();
      EXPECT_EQ(one, each) << escapement;
      EXPECT_FALSE(Ink(one).isEmpty()) << escapement;
    }
}

// A surface fills bar after bar on the painter of a preview, which goes on
// drawing with its own pen, brush and transform; nothing of one barcode may
// show in the next.
TEST(PainterSurface, FillingRectanglesLeavesThePainterAsItWasAndNothingBehind) {
  const std::vector<RectI> many = {{0, 0, 3, 20}, {5, 0, 1, 20}, {9, 0, 6, 20}};
  const std::vector<RectI> one = {{2, 0, 2, 10}};
  for (int32_t escapement : {0, 900, 2700}) {
    QImage image(80, 80, QImage::Format_RGB32), alone(80, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    alone.fill(Qt::white);
    QPainter painter(&image);
    const QPen pen(Qt::blue, 3);
    const QBrush brush(Qt::green, Qt::Dense4Pattern);
    const QTransform shift = QTransform::fromTranslate(5, 7);
    painter.setPen(pen);
    painter.setBrush(brush);
    painter.setWorldTransform(shift);
    PainterSurface surface(&painter);
    surface.FillRects(30, 30, escapement, many, 0);
    EXPECT_EQ(painter.pen(), pen) << escapement;
    EXPECT_EQ(painter.brush(), brush) << escapement;
    EXPECT_EQ(painter.worldTransform(), shift) << escapement;
    // The second, smaller symbol alone, on a page of its own.
    painter.end();
    image.fill(Qt::white);
    painter.begin(&image);
    painter.setWorldTransform(shift);
    surface.SetPainter(&painter);
    surface.FillRects(30, 30, escapement, one, 0);
    painter.end();
    painter.begin(&alone);
    painter.setWorldTransform(shift);
    surface.SetPainter(&painter);
    surface.FillRect(30, 30, escapement, one[0], 0);
    painter.end();
    EXPECT_EQ(image, alone) << escapement;
  }
}

// A linear symbol's bars, all one height from the frame's axis, print in a
// PDF the same pixels as any other rectangles filled in one go, at right
// angles and in between. A rectangle of no width, which draws nothing,
// makes the others any rectangles.
TEST(PainterSurface, BarsOfOneHeightPrintInAPdfAsAnyRectanglesDo) {
  if (testing::RunTool("pdftoppm", {"-v"}).exitCode < 0)
    GTEST_SKIP() << "pdftoppm is not installed";
  QTemporaryDir dir;
  const std::vector<RectI> bars = {
      {0, 0, 33, 232}, {44, 0, 11, 232}, {66, 0, 22, 232}, {99, 0, 44, 232}, {154, 0, 11, 232}};
  const struct {
    int32_t x, y, escapement;
  } places[] = {{300, 300, 0},     {900, 700, 900},   {1400, 1500, 1800},
                {300, 1500, 2700}, {900, 2200, -900}, {700, 2600, 450}};
  std::vector<RectI> any = bars;
  any.push_back({0, 1, 0, 1});
  auto printed = [&](const QString& name, const std::vector<RectI>& rects) {
    const QString pdf = dir.filePath(name + ".pdf");
    {
      QPdfWriter writer(pdf);
      writer.setResolution(600);
      writer.setPageSize(QPageSize(QPageSize::A6));
      writer.setPageMargins(QMarginsF(0, 0, 0, 0));
      QPainter painter(&writer);
      PainterSurface surface(&painter);
      for (const auto& p : places) surface.FillRects(p.x, p.y, p.escapement, rects, 0);
    }
    const QString png = dir.filePath(name);
    EXPECT_EQ(testing::RunTool("pdftoppm", {"-r", "300", "-png", "-singlefile", pdf, png}).exitCode,
              0);
    return QImage(png + ".png");
  };
  const QImage symbol = printed("symbol", bars);
  ASSERT_FALSE(symbol.isNull());
  EXPECT_EQ(symbol, printed("any", any));
}

}  // namespace
}  // namespace zirvo
