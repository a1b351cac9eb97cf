// A drag on the preview's sheet: 120 items over a 300-dpi A4 scan aligned to
// the sheet, a group of 12 items dragged at the fitting zoom and at 100,
// 200 and 400 %. Each frame is a mouse move handled and the view repainted;
// prints the mean and the longest frame in milliseconds (the budget is 16).
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "bench_sheet.h"
#include "pages/preview_page_qt.h"
#include "render/painter_surface_qt.h"

namespace {

using namespace zirvo;
using Clock = std::chrono::steady_clock;

std::shared_ptr<const QtBitmap> A4Scan() {
  QImage image(2480, 3508, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient gradient(0, 0, 2480, 3508);
  gradient.setColorAt(0, QColor(250, 245, 230));
  gradient.setColorAt(1, QColor(200, 215, 235));
  painter.fillRect(image.rect(), gradient);
  painter.setPen(QPen(QColor(120, 140, 170), 4));
  for (int y = 300; y < 3508; y += 120) painter.drawLine(150, y, 2330, y);
  painter.end();
  return std::make_shared<const QtBitmap>(std::move(image));
}

// The bench sheet's 120 items as rows of a template.
void FillTemplate(Template& doc) {
  const PrintJob job = bench::PreviewBenchJob();
  doc.StartNew("Bench", job.Sheet.Width, job.Sheet.Height);
  for (const Numerator& n : job.Numerators) {
    doc.AddRow(TemplateTable::Numerators);
    const int row = doc.Numerators().RowCount() - 1;
    doc.MoveItems({{{TemplateTable::Numerators, row}, n.Horizontal, n.Vertical}});
    doc.CommitCell(TemplateTable::Numerators, row, NumeratorTable::kRotation,
                   std::to_string(static_cast<int>(n.Rotation)));
  }
  for (const MarginalText& m : job.Marginals) {
    doc.AddRow(TemplateTable::Marginals);
    const int row = doc.Marginals().RowCount() - 1;
    doc.CommitCell(TemplateTable::Marginals, row, MarginalTable::kText, m.Text);
    doc.MoveItems({{{TemplateTable::Marginals, row}, m.Horizontal, m.Vertical}});
  }
}

void Send(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
  QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int frames = argc > 1 ? std::stoi(argv[1]) : 60;

  Template doc;
  FillTemplate(doc);
  doc.SetBackground("scan.jpg", A4Scan());
  doc.SetAlignment(BackgroundAlignment{-0.3, -0.3, 300.0, 300.0});
  SheetSelection selection;
  PreviewPage page;
  page.SetDocument(&doc);
  page.SetSelection(&selection);
  page.InitPreview();
  page.show();
  page.LoadSheet(doc.ToPrintJob());
  QApplication::processEvents();
  auto* view = page.findChild<SheetView*>("ScrollVista");
  QWidget* viewport = view->viewport();

  std::printf("120 items, 2480 x 3508 scan (300 dpi A4) aligned, a group of 12 dragged\n");
  for (const int zoom : {0, 100, 200, 400}) {
    if (zoom > 0) {
      auto* box = page.findChild<QComboBox*>("Ed_Zoom");
      box->lineEdit()->setText(QString::number(zoom));
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
      QApplication::sendEvent(box->lineEdit(), &enter);
    }
    std::vector<ItemRef> group;
    for (int row = 0; row < 12; ++row) group.push_back({TemplateTable::Numerators, row});
    selection.Set(group, group.front());
    // The first item in the middle of the view.
    const auto rects = page.Designer().ItemRects();
    const RectI first = rects.front().second;
    view->horizontalScrollBar()->setValue(first.left + view->Panel().left() - 300);
    view->verticalScrollBar()->setValue(first.top + view->Panel().top() - 200);
    QApplication::processEvents();
    const QPoint from =
        QPoint(first.left + first.width / 2, first.top + first.height / 2) + view->PanelOrigin();

    Send(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton);
    double total = 0.0, longest = 0.0;
    for (int i = 1; i <= frames; ++i) {
      const auto start = Clock::now();
      Send(viewport, QEvent::MouseMove, from + QPoint(i % 40, (i * 3) % 25), Qt::LeftButton);
      viewport->repaint();
      const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      total += ms;
      longest = std::max(longest, ms);
    }
    Send(viewport, QEvent::MouseButtonRelease, from, Qt::NoButton);
    std::printf("zoom %3d %% (panel %dx%d, view %dx%d): frame mean %.2f ms, longest %.2f ms\n",
                page.Zoom(), view->Panel().width(), view->Panel().height(), viewport->width(),
                viewport->height(), total / frames, longest);
  }
  return 0;
}
