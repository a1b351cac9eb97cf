// SheetDesigner: editing on the preview's sheet. A click picks the item
// drawn under the pointer (turned ones too: the renderer's own bounds), a
// Ctrl+click adds or takes one out, a rubber band picks several; a drag
// moves the selection, the arrow keys nudge it by 0.01 cm (0.1 cm with
// Shift). Positions are stored as typed cells are, each gesture one change
// of the document. A move that would take an item off the sheet stops at
// the sheet's edge. It also draws the items (moved while a drag lasts), the
// selection's outlines and the band, and keeps the status line.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "render/sheet_render.h"
#include "template/records.h"
#include "template/sheet_selection.h"
#include "template/template.h"
#include "widgets/dialog_parts_qt.h"

class QAbstractScrollArea;
class QKeyEvent;
class QMouseEvent;
class QPainter;

namespace zirvo {

class PainterSurface;

// Which edges or centres AlignSelection lines up.
enum class AlignEdge { Left, Top, Centre };

class SheetDesigner : public QObject {
  Q_OBJECT
 public:
  // The snap grids offered, in cm; 0 is none.
  static constexpr double kSnapSteps[] = {0.0, 0.05, 0.1, 0.5};
  static constexpr double kNudge = 0.01;
  static constexpr double kShiftNudge = 0.1;

  // What the designer reads of the page: the sheet's records as painted,
  // the zoom and the screen's resolution, the panel's place in the view.
  struct Sheet {
    const NumeratorList* numerators = nullptr;
    const MarginalTextList* marginals = nullptr;
    int zoom = 100;
    int screenPixelsPerInch = 96;
    QPoint panelOrigin;  // in the view's viewport
  };

  SheetDesigner(QAbstractScrollArea* view, std::function<Sheet()> sheet, QObject* parent);
  ~SheetDesigner() override;

  void SetDocument(Template* document);
  void SetSelection(SheetSelection* selection);
  SheetSelection* Selection() const { return selection_; }

  // The bar of the design commands (snap grid, alignment of a selection)
  // and the status line; the page places them.
  QWidget* BuildBar(QWidget* parent);
  QLabel* BuildStatusLine(QWidget* parent);
  void ApplyLanguage();

  // Draws the items, moved while a drag lasts, the outlines of the selected
  // ones and the rubber band; the painter's origin is the panel's corner.
  void Paint(QPainter& painter, PainterSurface& surface);
  // The device rectangle of each item as the renderer draws it, in drawing
  // order: numerators, then marginal texts.
  std::vector<std::pair<ItemRef, RectI>> ItemRects();

  // Lines up the selected items' left edges, top edges or horizontal centres
  // with those of the selection as a whole: one change.
  void AlignSelection(AlignEdge edge);
  // The snap grid in cm (0: none).
  double Snap() const;

 signals:
  void changed();  // something to repaint

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Gesture { None, Moving, Band };

  bool MousePress(QMouseEvent* event);
  bool MouseMove(QMouseEvent* event);
  bool MouseRelease(QMouseEvent* event);
  bool KeyPress(QKeyEvent* event);

  DeviceMapping Mapping() const;
  double PixelsPerCm() const;
  std::optional<ItemRef> ItemAt(QPoint panelPoint);
  // The stored positions of the selected items.
  std::vector<ItemPosition> SelectedPositions() const;
  // A selected item's stored position and the sheet rectangle it is drawn in, in cm.
  struct Extent {
    ItemPosition at;
    double left, top, right, bottom;
  };
  std::vector<Extent> SelectedExtents();
  // The move (dx, dy in cm) cut so that no selected item that lies on the
  // sheet leaves it, and none off it goes further off.
  QPointF Contained(QPointF delta);
  // Moves the selection by `delta` cm as one change; false when refused.
  bool Commit(const std::vector<ItemPosition>& from, QPointF delta);
  void ShowSelectionPosition(const std::vector<ItemPosition>& from, QPointF delta);
  void ShowPointer(QPoint panelPoint);
  void DocumentChanged(TemplateChange change);

  QAbstractScrollArea* view_;
  std::function<Sheet()> sheet_;
  Template* document_ = nullptr;
  int documentListener_ = 0;
  SheetSelection* selection_ = nullptr;
  int selectionListener_ = 0;
  PainterSurface* measurer_;

  Gesture gesture_ = Gesture::None;
  QPoint pressAt_;  // in the panel
  QPoint bandTo_;
  bool bandAdds_ = false;
  std::vector<ItemPosition> dragFrom_;
  QPointF dragBy_;  // cm

  ClickLabel* alignBackground_ = nullptr;
  QLabel* snapLabel_ = nullptr;
  QComboBox* snapBox_ = nullptr;
  ClickLabel* alignLeft_ = nullptr;
  ClickLabel* alignTop_ = nullptr;
  ClickLabel* alignCentre_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace zirvo
