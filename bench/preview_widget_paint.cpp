// The preview page's painting through the real widget: the sheet of 120
// items over a JPEG background, repainted at the fitting zoom and at 5000 %,
// and scrolled at 5000 % and at the largest zoom a 21.60 x 28.00 cm sheet
// accepts. Prints milliseconds per repaint and the process's memory.
#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "base/platform.h"
#include "bench_sheet.h"
#include "pages/preview_page_qt.h"

namespace {

using namespace zirvo;
using Clock = std::chrono::steady_clock;

QString BackgroundJpeg(const QString& folder) {
  QImage image(2550, 3300, QImage::Format_RGB32);  // a 300 dpi Letter scan
  QPainter painter(&image);
  QLinearGradient gradient(0, 0, 2550, 3300);
  gradient.setColorAt(0, QColor(250, 245, 230));
  gradient.setColorAt(1, QColor(200, 215, 235));
  painter.fillRect(image.rect(), gradient);
  painter.setPen(QPen(QColor(120, 140, 170), 4));
  for (int y = 300; y < 3300; y += 120) painter.drawLine(150, y, 2400, y);
  painter.end();
  const QString path = folder + "/fondo.jpg";
  image.save(path, "JPEG", 90);
  return path;
}

void PressEnter(QWidget* target) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(target, &press);
}

void TypeZoom(PreviewPage& page, int zoom) {
  page.findChild<QComboBox*>("Ed_Zoom")->lineEdit()->setText(QString::number(zoom));
  PressEnter(page.findChild<QComboBox*>("Ed_Zoom")->lineEdit());
}

// Mean milliseconds of `frames` runs of `step`, after one for warming up.
double MeanMs(int frames, const std::function<void(int)>& step) {
  step(-1);
  const auto start = Clock::now();
  for (int i = 0; i < frames; ++i) step(i);
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / frames;
}

double Mb(long long bytes) { return bytes / 1048576.0; }

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int frames = argc > 1 ? std::stoi(argv[1]) : 50;
  QTemporaryDir folder;
  const QString jpeg = BackgroundJpeg(folder.path());

  PreviewPage page;
  page.InitPreview();
  page.show();
  page.LoadSheet(bench::PreviewBenchJob());
  QApplication::processEvents();
  const long long rssBare = platform::ResidentBytes();
  // The background image, chosen through the page's own picture dialog.
  QTimer::singleShot(0, [&] {
    auto* name = page.findChild<QFileDialog*>("SelecImag")->findChild<QLineEdit*>("fileNameEdit");
    name->setText(jpeg);
    PressEnter(name);
  });
  page.AddImage();
  QApplication::processEvents();
  QWidget* view = page.findChild<SheetView*>("ScrollVista")->viewport();
  QScrollBar* h = page.findChild<SheetView*>("ScrollVista")->horizontalScrollBar();
  QScrollBar* v = page.findChild<SheetView*>("ScrollVista")->verticalScrollBar();
  const long long rssStart = platform::ResidentBytes();

  const double fitMs = MeanMs(frames, [&](int) { view->repaint(); });
  const long long rssFit = platform::ResidentBytes();
  const int fitZoom = page.Zoom();
  const QSize fitPanel = page.findChild<SheetView*>("ScrollVista")->Panel().size();
  const QSize fitView = view->size();

  TypeZoom(page, 5000);
  const QSize bigPanel = page.findChild<SheetView*>("ScrollVista")->Panel().size();
  // Over the middle of the numerator block, as the engine's benchmark.
  h->setValue(50 * 265);
  v->setValue(50 * 151);
  QApplication::processEvents();
  const double zoomMs = MeanMs(frames, [&](int) { view->repaint(); });
  // Scrolling: 40 pixels down per step, each step painting what it exposes.
  const double scrollMs = MeanMs(frames, [&](int i) {
    v->setValue(v->value() + (i % 2 == 0 ? 40 : -40));
    QApplication::processEvents();
  });
  const long long rssZoom = platform::ResidentBytes();

  TypeZoom(page, 5357);
  h->setValue(h->maximum() / 2);
  v->setValue(v->maximum() / 2);
  QApplication::processEvents();
  const double limitMs = MeanMs(frames, [&](int) { view->repaint(); });
  const double limitScrollMs = MeanMs(frames, [&](int i) {
    v->setValue(v->value() + (i % 2 == 0 ? 40 : -40));
    QApplication::processEvents();
  });
  const long long rssLimit = platform::ResidentBytes();

  std::printf("sheet 21.60 x 28.00 cm, 120 items, 2550 x 3300 JPEG background, view %dx%d\n",
              fitView.width(), fitView.height());
  std::printf("fitting zoom %d %% (panel %dx%d):   repaint %.3f ms\n", fitZoom, fitPanel.width(),
              fitPanel.height(), fitMs);
  std::printf("zoom 5000 %% (panel %dx%d):  repaint %.3f ms, scroll step %.3f ms\n",
              bigPanel.width(), bigPanel.height(), zoomMs, scrollMs);
  std::printf("zoom 5357 %% (panel %dx%d):  repaint %.3f ms, scroll step %.3f ms\n",
              page.findChild<SheetView*>("ScrollVista")->Panel().width(),
              page.findChild<SheetView*>("ScrollVista")->Panel().height(), limitMs, limitScrollMs);
  std::printf(
      "RSS: page shown %.1f MB, image loaded %.1f MB, after fit %.1f MB, after 5000 %% %.1f MB, "
      "after 5357 %% "
      "%.1f MB, peak %.1f MB\n",
      Mb(rssBare), Mb(rssStart), Mb(rssFit), Mb(rssZoom), Mb(rssLimit),
      Mb(platform::PeakResidentBytes()));
  return 0;
}
