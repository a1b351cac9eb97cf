#include "pages/sheet_designer_qt.h"

#include <QAbstractScrollArea>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "base/messages.h"
#include "base/qtext_qt.h"
#include "base/text.h"
#include "pages/alignment_dialog_qt.h"
#include "render/painter_surface_qt.h"
#include "widgets/table_grid_qt.h"

namespace zirvo {

using namespace grid_style;

namespace {

constexpr double kCmPerInch = 2.54;
// How far outside its drawn rectangle a click still picks an item, in pixels.
constexpr int kPickTolerance = 2;
const QColor kSelectionColour(0x1E, 0x64, 0xC8);

QRect ToQRect(const RectI& r) { return QRect(r.left, r.top, r.width, r.height); }

double SnappedTo(double value, double step) {
  return step > 0.0 ? std::round(value / step) * step : value;
}

// The records with the selected items moved by `delta` cm.
template <class List>
List Moved(const List& records, TemplateTable table, const SheetSelection* selection,
           QPointF delta) {
  List moved = records;
  if (selection == nullptr) return moved;
  for (const ItemRef item : selection->Items()) {
    if (item.table != table || item.row >= static_cast<int>(moved.size())) continue;
    moved[static_cast<std::size_t>(item.row)].Horizontal += delta.x();
    moved[static_cast<std::size_t>(item.row)].Vertical += delta.y();
  }
  return moved;
}

}  // namespace

SheetDesigner::SheetDesigner(QAbstractScrollArea* view, std::function<Sheet()> sheet,
                             QObject* parent)
    : QObject(parent), view_(view), sheet_(std::move(sheet)), measurer_(new PainterSurface()) {
  view_->viewport()->installEventFilter(this);
  view_->installEventFilter(this);
  view_->viewport()->setMouseTracking(true);
  view_->setFocusPolicy(Qt::StrongFocus);
}

SheetDesigner::~SheetDesigner() {
  view_->viewport()->removeEventFilter(this);
  view_->removeEventFilter(this);
  SetDocument(nullptr);
  SetSelection(nullptr);
  delete measurer_;
}

void SheetDesigner::SetDocument(Template* document) {
  if (document_ != nullptr) document_->RemoveListener(documentListener_);
  document_ = document;
  documentListener_ = 0;
  if (document_ != nullptr)
    documentListener_ =
        document_->AddListener([this](TemplateChange change) { DocumentChanged(change); });
}

void SheetDesigner::SetSelection(SheetSelection* selection) {
  if (selection_ != nullptr) selection_->RemoveListener(selectionListener_);
  selection_ = selection;
  selectionListener_ = 0;
  if (selection_ != nullptr)
    selectionListener_ = selection_->AddListener([this] { emit changed(); });
}

void SheetDesigner::DocumentChanged(TemplateChange change) {
  if (selection_ == nullptr || document_ == nullptr) return;
  // Another template: nothing of it is selected. Rows deleted: what is gone
  // is no longer selected.
  if (change == TemplateChange::Everything)
    selection_->Clear();
  else
    selection_->KeepWithin(*document_);
}

QWidget* SheetDesigner::BuildBar(QWidget* parent) {
  auto* bar = new QFrame(parent);
  bar->setObjectName("Pn_Diseno");
  bar->setFixedHeight(32);
  bar->setStyleSheet(CommandBarStyle("Pn_Diseno", 10));
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(12, 4, 12, 4);
  layout->setSpacing(8);
  auto command = [&](const char* name, auto action) {
    auto* label = new ClickLabel(bar);
    label->setObjectName(name);
    label->setFont(CellFont());
    label->setFixedHeight(22);
    connect(label, &ClickLabel::clicked, this, action);
    layout->addWidget(label);
    return label;
  };
  alignBackground_ = command("Bt_AlinFondo", [this] {
    if (document_ != nullptr) AskBackgroundAlignment(view_->window(), *document_);
  });
  layout->addSpacing(12);
  snapLabel_ = new QLabel(bar);
  snapLabel_->setObjectName("EqRejilla");
  snapLabel_->setFont(CellFont(true));
  layout->addWidget(snapLabel_);
  snapBox_ = new QComboBox(bar);
  snapBox_->setObjectName("Ed_Rejilla");
  snapBox_->setFont(CellFont());
  for (const double step : kSnapSteps)
    snapBox_->addItem(step > 0.0 ? ToQString(FormatFixed(step, 2) + " cm") : QString());
  layout->addWidget(snapBox_);
  layout->addSpacing(12);
  alignLeft_ = command("Bt_AlinIzq", [this] { AlignSelection(AlignEdge::Left); });
  alignTop_ = command("Bt_AlinArr", [this] { AlignSelection(AlignEdge::Top); });
  alignCentre_ = command("Bt_AlinCentro", [this] { AlignSelection(AlignEdge::Centre); });
  layout->addStretch(1);
  return bar;
}

QLabel* SheetDesigner::BuildStatusLine(QWidget* parent) {
  status_ = new QLabel(parent);
  status_->setObjectName("Et_Posicion");
  status_->setFont(CellFont());
  status_->setStyleSheet(QString("color: %1;").arg(kFrameBlue.name()));
  return status_;
}

void SheetDesigner::ApplyLanguage() {
  if (snapBox_ == nullptr) return;
  alignBackground_->setText(ToQString(OwnText(OwnMessage::AlignBackground)));
  snapLabel_->setText(ToQString(OwnText(OwnMessage::SnapGrid)));
  snapBox_->setItemText(0, ToQString(OwnText(OwnMessage::SnapOff)));
  alignLeft_->setText(ToQString(OwnText(OwnMessage::AlignLeft)));
  alignTop_->setText(ToQString(OwnText(OwnMessage::AlignTop)));
  alignCentre_->setText(ToQString(OwnText(OwnMessage::AlignCentre)));
}

double SheetDesigner::Snap() const {
  if (snapBox_ == nullptr) return 0.0;
  const int index =
      std::clamp(snapBox_->currentIndex(), 0, static_cast<int>(std::size(kSnapSteps)) - 1);
  return kSnapSteps[index];
}

DeviceMapping SheetDesigner::Mapping() const {
  const Sheet sheet = sheet_();
  return DeviceMapping::Preview(sheet.zoom, sheet.screenPixelsPerInch);
}

double SheetDesigner::PixelsPerCm() const {
  const Sheet sheet = sheet_();
  return sheet.zoom / 100.0 * sheet.screenPixelsPerInch / kCmPerInch;
}

std::vector<std::pair<ItemRef, RectI>> SheetDesigner::ItemRects() {
  const Sheet sheet = sheet_();
  const DeviceMapping mapping = Mapping();
  std::vector<std::pair<ItemRef, RectI>> rects;
  if (sheet.numerators != nullptr)
    for (std::size_t i = 0; i < sheet.numerators->size(); ++i) {
      const Numerator& n = (*sheet.numerators)[i];
      rects.emplace_back(ItemRef{TemplateTable::Numerators, static_cast<int>(i)},
                         ItemBounds(ComposeNumerator(n, n.Number, mapping, *measurer_)));
    }
  if (sheet.marginals != nullptr)
    for (std::size_t i = 0; i < sheet.marginals->size(); ++i)
      rects.emplace_back(ItemRef{TemplateTable::Marginals, static_cast<int>(i)},
                         ItemBounds(ComposeMarginal((*sheet.marginals)[i], mapping, *measurer_)));
  return rects;
}

std::optional<ItemRef> SheetDesigner::ItemAt(QPoint point) {
  const auto rects = ItemRects();
  // The item drawn last lies on top.
  for (auto it = rects.rbegin(); it != rects.rend(); ++it) {
    const QRect area =
        ToQRect(it->second)
            .adjusted(-kPickTolerance, -kPickTolerance, kPickTolerance, kPickTolerance);
    if (area.contains(point)) return it->first;
  }
  return std::nullopt;
}

std::vector<ItemPosition> SheetDesigner::SelectedPositions() const {
  std::vector<ItemPosition> positions;
  if (selection_ == nullptr) return positions;
  const Sheet sheet = sheet_();
  for (const ItemRef item : selection_->Items()) {
    const auto row = static_cast<std::size_t>(item.row);
    if (item.table == TemplateTable::Numerators && sheet.numerators != nullptr &&
        row < sheet.numerators->size()) {
      const Numerator& n = (*sheet.numerators)[row];
      positions.push_back({item, n.Horizontal, n.Vertical});
    } else if (item.table == TemplateTable::Marginals && sheet.marginals != nullptr &&
               row < sheet.marginals->size()) {
      const MarginalText& m = (*sheet.marginals)[row];
      positions.push_back({item, m.Horizontal, m.Vertical});
    }
  }
  return positions;
}

std::vector<SheetDesigner::Extent> SheetDesigner::SelectedExtents() {
  std::vector<Extent> extents;
  const double perCm = PixelsPerCm();
  if (perCm <= 0.0) return extents;
  const DeviceMapping mapping = Mapping();
  const auto rects = ItemRects();
  for (const ItemPosition& at : SelectedPositions()) {
    for (const auto& [item, rect] : rects) {
      if (item != at.item) continue;
      // The drawn rectangle about the anchor, in cm from the stored position.
      const double x = mapping.X(at.horizontal), y = mapping.Y(at.vertical);
      extents.push_back({at, at.horizontal + (rect.left - x) / perCm,
                         at.vertical + (rect.top - y) / perCm,
                         at.horizontal + (rect.left + static_cast<double>(rect.width) - x) / perCm,
                         at.vertical + (rect.top + static_cast<double>(rect.height) - y) / perCm});
    }
  }
  return extents;
}

QPointF SheetDesigner::Contained(QPointF delta) {
  if (document_ == nullptr) return delta;
  const double width = document_->Header().Width;
  const double height = document_->Header().Height;
  double minX = -1e300, maxX = 1e300, minY = -1e300, maxY = 1e300;
  for (const Extent& e : SelectedExtents()) {
    minX = std::max(minX, std::min(0.0, -e.left));
    maxX = std::min(maxX, std::max(0.0, width - e.right));
    minY = std::max(minY, std::min(0.0, -e.top));
    maxY = std::min(maxY, std::max(0.0, height - e.bottom));
  }
  return {std::clamp(delta.x(), minX, std::max(minX, maxX)),
          std::clamp(delta.y(), minY, std::max(minY, maxY))};
}

bool SheetDesigner::Commit(const std::vector<ItemPosition>& from, QPointF delta) {
  if (document_ == nullptr || from.empty() || delta.isNull()) return false;
  std::vector<ItemPosition> to = from;
  for (ItemPosition& position : to) {
    position.horizontal += delta.x();
    position.vertical += delta.y();
  }
  try {
    document_->MoveItems(to);
  } catch (const std::exception& error) {
    ShowFailure(view_->window(), error.what());
    return false;
  }
  ShowSelectionPosition(to, {});
  return true;
}

void SheetDesigner::ShowSelectionPosition(const std::vector<ItemPosition>& from, QPointF delta) {
  if (status_ == nullptr || from.empty() || selection_ == nullptr) return;
  const std::optional<ItemRef> primary = selection_->Primary();
  const ItemPosition* shown = &from.front();
  for (const ItemPosition& position : from)
    if (primary && position.item == *primary) shown = &position;
  status_->setText(ToQString(OwnText(OwnMessage::SelectionPosition,
                                     FormatFixed(shown->horizontal + delta.x(), 2),
                                     FormatFixed(shown->vertical + delta.y(), 2))));
}

void SheetDesigner::ShowPointer(QPoint point) {
  if (status_ == nullptr || document_ == nullptr) return;
  const double perCm = PixelsPerCm();
  if (perCm <= 0.0) return;
  const PointCm onSheet{point.x() / perCm, point.y() / perCm};
  std::string image = "-";
  if (const auto alignment = EffectiveAlignment(*document_)) {
    const ImagePoint pixel = ImagePointOf(*alignment, onSheet);
    image = FormatFixed(pixel.x, 0) + ", " + FormatFixed(pixel.y, 0);
  }
  status_->setText(
      ToQString(OwnText(OwnMessage::PointerPosition,
                        FormatFixed(onSheet.x, 2) + ", " + FormatFixed(onSheet.y, 2), image)));
}

void SheetDesigner::AlignSelection(AlignEdge edge) {
  if (document_ == nullptr || selection_ == nullptr || selection_->Items().size() < 2) return;
  const std::vector<Extent> extents = SelectedExtents();
  if (extents.empty()) return;
  double left = extents.front().left, top = extents.front().top, right = extents.front().right;
  for (const Extent& e : extents) {
    left = std::min(left, e.left);
    top = std::min(top, e.top);
    right = std::max(right, e.right);
  }
  std::vector<ItemPosition> to;
  for (const Extent& e : extents) {
    ItemPosition moved = e.at;
    if (edge == AlignEdge::Left) moved.horizontal += left - e.left;
    if (edge == AlignEdge::Top) moved.vertical += top - e.top;
    if (edge == AlignEdge::Centre)
      moved.horizontal += (left + right) / 2.0 - (e.left + e.right) / 2.0;
    to.push_back(moved);
  }
  try {
    document_->MoveItems(to);
  } catch (const std::exception& error) {
    ShowFailure(view_->window(), error.what());
  }
}

void SheetDesigner::Paint(QPainter& painter, PainterSurface& surface) {
  const Sheet sheet = sheet_();
  const DeviceMapping mapping = Mapping();
  const QPointF by = gesture_ == Gesture::Moving ? dragBy_ : QPointF();
  // Only a drag draws moved copies; otherwise the records themselves.
  NumeratorList movedNumerators;
  MarginalTextList movedMarginals;
  SheetContent content;
  content.numerators = sheet.numerators;
  content.marginals = sheet.marginals;
  if (!by.isNull()) {
    if (sheet.numerators != nullptr)
      content.numerators =
          &(movedNumerators = Moved(*sheet.numerators, TemplateTable::Numerators, selection_, by));
    if (sheet.marginals != nullptr)
      content.marginals =
          &(movedMarginals = Moved(*sheet.marginals, TemplateTable::Marginals, selection_, by));
  }
  if (content.numerators != nullptr && content.numerators->empty()) content.numerators = nullptr;
  if (content.marginals != nullptr && content.marginals->empty()) content.marginals = nullptr;
  DrawSheet(surface, mapping, content);

  if (selection_ != nullptr && !selection_->Empty()) {
    painter.save();
    painter.setPen(QPen(kSelectionColour, 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    for (const ItemRef item : selection_->Items()) {
      const auto row = static_cast<std::size_t>(item.row);
      RectI rect;
      if (item.table == TemplateTable::Numerators && content.numerators != nullptr &&
          row < content.numerators->size()) {
        const Numerator& n = (*content.numerators)[row];
        rect = ItemBounds(ComposeNumerator(n, n.Number, mapping, *measurer_));
      } else if (item.table == TemplateTable::Marginals && content.marginals != nullptr &&
                 row < content.marginals->size()) {
        rect = ItemBounds(ComposeMarginal((*content.marginals)[row], mapping, *measurer_));
      } else {
        continue;
      }
      painter.drawRect(ToQRect(rect).adjusted(-1, -1, 0, 0));
    }
    painter.restore();
  }
  if (gesture_ == Gesture::Band) {
    painter.save();
    painter.setPen(QPen(kSelectionColour, 1, Qt::DotLine));
    painter.setBrush(
        QColor(kSelectionColour.red(), kSelectionColour.green(), kSelectionColour.blue(), 32));
    painter.drawRect(QRect(pressAt_, bandTo_).normalized());
    painter.restore();
  }
}

bool SheetDesigner::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_->viewport()) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
        return MousePress(static_cast<QMouseEvent*>(event));
      case QEvent::MouseMove:
        return MouseMove(static_cast<QMouseEvent*>(event));
      case QEvent::MouseButtonRelease:
        return MouseRelease(static_cast<QMouseEvent*>(event));
      default:
        break;
    }
  }
  if ((watched == view_->viewport() || watched == view_) && event->type() == QEvent::KeyPress)
    return KeyPress(static_cast<QKeyEvent*>(event));
  return QObject::eventFilter(watched, event);
}

bool SheetDesigner::MousePress(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || document_ == nullptr || selection_ == nullptr)
    return false;
  view_->setFocus(Qt::MouseFocusReason);
  const QPoint point = event->position().toPoint() - sheet_().panelOrigin;
  const bool adding = event->modifiers() & Qt::ControlModifier;
  pressAt_ = point;
  bandTo_ = point;
  dragBy_ = {};
  const std::optional<ItemRef> item = ItemAt(point);
  if (!item) {
    if (!adding) selection_->Clear();
    bandAdds_ = adding;
    gesture_ = Gesture::Band;
    emit changed();
    return true;
  }
  if (adding) {
    selection_->Toggle(*item);
  } else if (!selection_->Contains(*item)) {
    selection_->Select(*item);
  } else {
    // A click on a selected item keeps the group; it becomes the one shown.
    selection_->Set(selection_->Items(), *item);
  }
  gesture_ = selection_->Contains(*item) ? Gesture::Moving : Gesture::None;
  dragFrom_ = SelectedPositions();
  ShowSelectionPosition(dragFrom_, {});
  return true;
}

bool SheetDesigner::MouseMove(QMouseEvent* event) {
  const QPoint point = event->position().toPoint() - sheet_().panelOrigin;
  if (gesture_ == Gesture::None) {
    ShowPointer(point);
    return false;
  }
  if (gesture_ == Gesture::Band) {
    bandTo_ = point;
    emit changed();
    return true;
  }
  const double perCm = PixelsPerCm();
  if (perCm <= 0.0 || dragFrom_.empty()) return true;
  QPointF delta((point.x() - pressAt_.x()) / perCm, (point.y() - pressAt_.y()) / perCm);
  // The grid catches the item the drag started on; the rest follow it.
  const double snap = Snap();
  if (snap > 0.0) {
    const std::optional<ItemRef> primary = selection_->Primary();
    ItemPosition anchor = dragFrom_.front();
    for (const ItemPosition& position : dragFrom_)
      if (primary && position.item == *primary) anchor = position;
    delta = {SnappedTo(anchor.horizontal + delta.x(), snap) - anchor.horizontal,
             SnappedTo(anchor.vertical + delta.y(), snap) - anchor.vertical};
  }
  // The bounds are those of the items where they stand: the move is cut there.
  dragBy_ = Contained(delta);
  ShowSelectionPosition(dragFrom_, dragBy_);
  emit changed();
  return true;
}

bool SheetDesigner::MouseRelease(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || gesture_ == Gesture::None) return false;
  const Gesture gesture = gesture_;
  gesture_ = Gesture::None;
  if (gesture == Gesture::Band) {
    const QRect band = QRect(pressAt_, bandTo_).normalized();
    std::vector<ItemRef> items = bandAdds_ ? selection_->Items() : std::vector<ItemRef>{};
    for (const auto& [item, rect] : ItemRects())
      if (band.intersects(ToQRect(rect))) items.push_back(item);
    selection_->Set(std::move(items), selection_->Primary());
    emit changed();
    return true;
  }
  const QPointF by = dragBy_;
  dragBy_ = {};
  // A drag is one change of the document, made when it ends.
  if (!Commit(dragFrom_, by)) emit changed();
  return true;
}

bool SheetDesigner::KeyPress(QKeyEvent* event) {
  if (selection_ == nullptr || selection_->Empty() || gesture_ != Gesture::None) return false;
  const double step = event->modifiers() & Qt::ShiftModifier ? kShiftNudge : kNudge;
  QPointF delta;
  switch (event->key()) {
    case Qt::Key_Left:
      delta = {-step, 0};
      break;
    case Qt::Key_Right:
      delta = {step, 0};
      break;
    case Qt::Key_Up:
      delta = {0, -step};
      break;
    case Qt::Key_Down:
      delta = {0, step};
      break;
    case Qt::Key_Escape:
      selection_->Clear();
      return true;
    default:
      return false;
  }
  Commit(SelectedPositions(), Contained(delta));
  return true;
}

}  // namespace zirvo
