// PreviewPage: the preview page. It shows the current template's sheet at a
// zoom, white with a red border, every numerator with its number on the
// sheet of the run chosen in the sheet field (its stored number on sheet 1)
// and every marginal text drawn by the sheet rendering, over an optional JPEG
// background image that the print page can print under the numbers. The
// image belongs to the document: the page decodes it and hands it over.
#pragma once

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <functional>
#include <memory>

#include "base/bitmap.h"
#include "pages/sheet_designer_qt.h"
#include "template/print_job.h"
#include "template/template.h"
#include "widgets/dialog_parts_qt.h"

namespace zirvo {

class QtBitmap;

// sheetView_: the viewing area. The sheet panel (PanSVista) is only a
// rectangle of the scrolled content; the viewport paints the part of it that
// is exposed, so no buffer grows with the zoom.
class SheetView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  static constexpr int kMargin = 6;  // between the panel and the area's edge when scrolling

  explicit SheetView(QWidget* parent = nullptr);

  // Sets both scroll ranges to 0: the scroll bars disappear.
  void ClearRanges();
  // Places a panel of that size: centred on an axis where it fits, at the
  // margin with a scroll range of size + 2 margins where it does not; the
  // scroll positions go back to 0.
  void PlacePanel(QSize size);
  // The panel in content coordinates (PanSVista's geometry).
  QRect Panel() const { return panel_; }
  // The scroll range of each axis: the content's extent, 0 without scrolling.
  int HorizontalRange() const { return rangeH_; }
  int VerticalRange() const { return rangeV_; }
  // The panel's top-left corner in viewport coordinates.
  QPoint PanelOrigin() const;

  // Paints the panel's content: the painter's origin is the panel's top-left
  // corner and its clip the exposed part of the panel.
  void SetPanelPainter(std::function<void(QPainter&, const QRect& exposed)> paint) {
    paintPanel_ = std::move(paint);
  }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void UpdateBars();

  QRect panel_;
  int rangeH_ = 0;
  int rangeV_ = 0;
  std::function<void(QPainter&, const QRect&)> paintPanel_;
};

// What the print page receives of the background image.
struct PrintImage {
  bool present = false;
  std::shared_ptr<const Bitmap> bitmap;  // null when not present
};

class PreviewPage : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kDefaultZoom = 100;

  explicit PreviewPage(QWidget* parent = nullptr);
  ~PreviewPage() override;

  // The document whose background this page shows and sets and whose items
  // it moves; nullptr: none.
  void SetDocument(Template* document);
  // Where the increment of the planned run comes from; 1 without one.
  void SetRunIncrement(std::function<int64_t()> increment) { runIncrement_ = std::move(increment); }
  // The selection shared with the grids.
  void SetSelection(SheetSelection* selection) { designer_->SetSelection(selection); }
  SheetDesigner& Designer() const { return *designer_; }

  // The operations the workspace calls.
  void InitPreview();
  void ReleasePreview();
  void ResetPreview();
  void LoadSheet(const PrintJob& job);
  PrintImage GetPrintImage() const;
  void ApplyLanguage();

  // The commands, as their widgets and keys reach them.
  // The background image: choose one, or remove it after asking.
  void AddImage();
  void AskRemoveImage();
  void PrintBackgroundClicked();
  // Enter applies the typed zoom; other keys pass the integer key filter.
  // Returns true when the key was consumed or refused.
  bool ZoomKeyPress(QKeyEvent* event);
  // Enter shows the typed sheet; Up and Down the next and the previous one.
  // Returns true when the key was consumed.
  bool SheetKeyPress(QKeyEvent* event);
  // Paints the sheet on the paint box: the painter's origin is the sheet's
  // top-left corner; `exposed` is the part to paint, in the same frame.
  void PaintBoxPaint(QPainter& painter, const QRect& exposed);

  int Zoom() const { return zoom_; }
  // The sheet of the run shown, from 1.
  int32_t Sheet() const { return sheet_; }
  // The records of the last LoadSheet, as they are painted: the numerators
  // with the numbers of the sheet shown.
  const NumeratorList& NumeratorRecords() const { return sheetNumerators_; }
  const MarginalTextList& MarginalRecords() const { return marginals_; }
  bool ImageLoaded() const;
  bool PrintImageTicked() const;
  int ScreenPixelsPerInch() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildHeader(QWidget* header);
  void LayOut(const SheetHeader& sheet);
  void ApplyFittingZoom();
  void ApplyZoom(int zoom);
  void ShowPanel(int zoom);
  void ApplyTypedZoom();
  void ApplyTypedSheet();
  // Shows sheet `sheet` of the run; false, with a message and nothing
  // changed, when a number of that sheet leaves the range of numbers.
  bool ShowSheet(int32_t sheet);
  void RemoveImage();
  void ShowSheetSize(const SheetHeader& sheet);
  // The header's image commands and the drawing follow the document's background.
  void ShowBackground();
  const BackgroundImage* Background() const;
  // The records again from the document, once the sheet has been laid out.
  void RefreshRecords();

  int zoom_ = kDefaultZoom;
  QSize sheetPixels_;              // the sheet at 100 %
  SheetHeader laidOut_;            // the header whose size was laid out last
  NumeratorList numerators_;       // as loaded: the numbers of sheet 1
  NumeratorList sheetNumerators_;  // as drawn: the numbers of the sheet shown
  int32_t sheet_ = 1;
  std::function<int64_t()> runIncrement_;
  MarginalTextList marginals_;
  Template* document_ = nullptr;
  int listenerId_ = 0;
  bool released_ = false;
  QLabel* title_;
  ClickLabel* chooseBackgroundCommand_;
  ClickLabel* removeBackgroundCommand_;
  QCheckBox* showBackgroundBox_;
  QFrame* divider1_;
  QFrame* divider2_;
  QFrame* divider3_;
  QFrame* divider4_;
  QLabel* zoomLabel_;
  QComboBox* zoomBox_;
  QLabel* percentLabel_;
  QLabel* sheetLabel_;
  QLineEdit* sheetField_;
  SheetView* sheetView_;
  SheetDesigner* designer_;
  QLabel* sheetSizeLabel_;
  QFileDialog* imageDialog_;
};

}  // namespace zirvo
