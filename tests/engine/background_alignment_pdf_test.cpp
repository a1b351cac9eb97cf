// A form scanned at 150 dpi with a 1 cm margin, aligned by two points: a
// numerator placed on a box where the preview shows it prints on the box of
// the real form, and the scan prints where the preview showed it. Both go
// through zirvo-batch, as scripts run them.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include "base/text.h"
#include "engine_support.h"
#include "template/template_codec.h"

namespace zirvo {
namespace {

using testing::RunTool;

const QString kBatch = QString(ZIRVO_BUILD_DIR) + "/zirvo-batch";
constexpr double kScanDpi = 150.0;
constexpr double kMarginCm = 1.0;
// The box of the real form, in cm from the form's corner.
constexpr double kBoxLeft = 8.0, kBoxTop = 12.0, kBoxRight = 11.0, kBoxBottom = 13.0;

double ScanPixels(double formCm) { return (formCm + kMarginCm) / 2.54 * kScanDpi; }

// The top-left corner, in cm at `dpi`, of the dark pixels above `belowCm`.
QPointF DarkCorner(const QImage& image, double dpi, double belowCm) {
  int left = image.width(), top = image.height();
  const int rows = std::min(image.height(), static_cast<int>(belowCm / 2.54 * dpi));
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 80 && qRed(image.pixel(x, y)) < 80) {
        left = std::min(left, x);
        top = std::min(top, y);
      }
  return {left / dpi * 2.54, top / dpi * 2.54};
}

TEST(BackgroundAlignmentPdf, ANumeratorOnTheScansBoxPrintsOnTheFormsBox) {
  QTemporaryDir dir;
  QImage scan(qRound(ScanPixels(21.0 + kMarginCm)), qRound(ScanPixels(29.7 + kMarginCm)),
              QImage::Format_RGB32);
  scan.fill(Qt::white);
  QPainter painter(&scan);
  painter.fillRect(QRectF(QPointF(ScanPixels(kBoxLeft), ScanPixels(kBoxTop)),
                          QPointF(ScanPixels(kBoxRight), ScanPixels(kBoxBottom))),
                   Qt::black);
  painter.end();
  const QString scanPath = dir.filePath("scan.jpg");
  ASSERT_TRUE(scan.save(scanPath, "JPEG", 95));

  // Two marks of the form: (1, 1) and (20, 28) cm, read off the scan's pixels.
  Template doc;
  doc.StartNew("Caja", 21.0, 29.7);
  doc.AddRow(TemplateTable::Numerators);
  doc.CommitCell(TemplateTable::Numerators, 0, NumeratorTable::kVertical, "27");
  doc.SetAlignment(AlignByPoints({ScanPixels(1), ScanPixels(1)}, {1, 1},
                                 {ScanPixels(20), ScanPixels(28)}, {20, 28}));
  const std::string tpl = (dir.path() + "/caja.pla").toStdString();
  SaveTemplate(tpl, doc);

  // Where the preview shows the box is where the user puts the numerator.
  const QString png = dir.filePath("preview.png");
  ASSERT_EQ(RunTool(kBatch, {"preview", QString::fromStdString(tpl), "--output", png, "--zoom",
                             "100", "--background", scanPath})
                .exitCode,
            0);
  const QPointF shown = DarkCorner(QImage(png), 96.0, 20.0);
  EXPECT_NEAR(shown.x(), kBoxLeft, 0.05);
  EXPECT_NEAR(shown.y(), kBoxTop, 0.05);
  doc.MoveItems({{{TemplateTable::Numerators, 0}, shown.x(), shown.y()}});
  SaveTemplate(tpl, doc);

  const QString pdf = dir.filePath("run.pdf");
  const auto run = RunTool(
      kBatch, {"print", QString::fromStdString(tpl), "--output", pdf, "--background", scanPath});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto bbox = RunTool("pdftotext", {"-bbox", pdf, "-"}).out;
  const auto match = QRegularExpression("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>0000<")
                         .match(QString::fromStdString(bbox));
  ASSERT_TRUE(match.hasMatch()) << bbox;
  EXPECT_NEAR(match.captured(1).toDouble() / 72.0 * 2.54, kBoxLeft, 0.05);
  EXPECT_NEAR(match.captured(2).toDouble() / 72.0 * 2.54, kBoxTop, 0.05);

  // The scan itself lies on the page as the preview showed it.
  ASSERT_EQ(
      RunTool("pdftoppm", {"-r", "150", "-png", "-singlefile", pdf, dir.filePath("page")}).exitCode,
      0);
  const QPointF printed = DarkCorner(QImage(dir.filePath("page.png")), 150.0, 20.0);
  EXPECT_NEAR(printed.x(), kBoxLeft, 0.05);
  EXPECT_NEAR(printed.y(), kBoxTop, 0.05);
}

}  // namespace
}  // namespace zirvo
