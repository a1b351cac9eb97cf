// Preview painting: one frame of a 21.60 x 28.00 cm sheet with 120 items at
// the fitting zoom, and a 600 x 600 pixel window of it at zoom 5000 %.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <string>

#include "base/platform.h"
#include "bench_sheet.h"
#include "render/painter_surface_qt.h"
#include "render/sheet_render.h"

namespace {

using namespace zirvo;
using Clock = std::chrono::steady_clock;
constexpr int32_t kScreen = 96;

double PaintFrames(QImage& image, const PrintJob& sheet, int32_t zoom, int left, int top,
                   int frames) {
  const DeviceMapping mapping = DeviceMapping::Preview(zoom, kScreen);
  double total = 0;
  for (int frame = -1; frame < frames; ++frame) {  // frame -1 warms the glyph caches
    const auto start = Clock::now();
    QPainter painter(&image);
    image.fill(Qt::white);
    painter.translate(-left, -top);
    PainterSurface surface(&painter);
    DrawSheet(surface, mapping, {&sheet.Numerators, &sheet.Marginals, nullptr, {}});
    painter.end();
    if (frame >= 0)
      total += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }
  return total / frames;
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const PrintJob sheet = bench::PreviewBenchJob();
  const int frames = argc > 1 ? std::stoi(argv[1]) : 50;

  // The fitting zoom of a 768 x 447 view: 41 %, a 335 x 434 panel.
  const int32_t fit = 41;
  QImage fitted(RoundHalfEven(fit / 100.0 * CmToScreenPixels(21.60, kScreen)),
                RoundHalfEven(fit / 100.0 * CmToScreenPixels(28.00, kScreen)),
                QImage::Format_RGB32);
  const long long rss0 = platform::ResidentBytes();
  const double fitMs = PaintFrames(fitted, sheet, fit, 0, 0, frames);
  const long long rssFit = platform::ResidentBytes();

  // 5000 %: the window over the middle of the numerator block.
  QImage window(600, 600, QImage::Format_RGB32);
  const int left = RoundHalfEven(50.0 * CmToScreenPixels(7.0, kScreen));
  const int top = RoundHalfEven(50.0 * CmToScreenPixels(4.0, kScreen));
  const double zoomMs = PaintFrames(window, sheet, 5000, left, top, frames);
  const long long rssZoom = platform::ResidentBytes();

  std::printf("items:                         120 (60 numerators, 60 marginal texts)\n");
  std::printf("fitting zoom %d %% (%dx%d):     %.3f ms per frame\n", fit, fitted.width(),
              fitted.height(), fitMs);
  std::printf("600x600 window at 5000 %%:      %.3f ms per frame\n", zoomMs);
  std::printf("RSS: before %.1f MB, after fit %.1f MB, after 5000 %% %.1f MB\n", rss0 / 1048576.0,
              rssFit / 1048576.0, rssZoom / 1048576.0);
  return 0;
}
