#include "widgets/table_grid_qt.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "base/qtext_qt.h"
#include "base/text.h"
#include "widgets/widgets_qt.h"

namespace zirvo {

namespace grid_style {
QFont CellFont(bool bold) {
  QFont font;
  font.setFamilies({"MS Sans Serif", "Liberation Sans"});
  font.setPointSize(8);
  font.setBold(bold);
  return font;
}

QFrame* SheetSizeStrip(QWidget* parent, const QString& objectName, QLabel*& label) {
  auto* strip = new QFrame(parent);
  strip->setObjectName(objectName);
  strip->setFixedHeight(26);
  strip->setStyleSheet(QString("#%1 { background: %2; border-top: 1px solid %3; }")
                           .arg(objectName, kOtherMark.name(), kFrameBlue.name()));
  auto* layout = new QHBoxLayout(strip);
  layout->setContentsMargins(12, 0, 12, 0);
  label = new QLabel(strip);
  label->setObjectName("Et_TamHoja");
  label->setFont(CellFont());
  label->setStyleSheet(QString("color: %1;").arg(kFrameBlue.name()));
  layout->addWidget(label);
  layout->addStretch(1);
  return strip;
}
}  // namespace grid_style

using namespace grid_style;

namespace {

constexpr int kRowPitch = kRowHeight + kLineWidth;
constexpr int kTextInset = 2;  // text starts 2 pixels inside the cell
constexpr int kIconSize = 16;

// One of the two 16 x 16 direction icons: a ticked box for reverse ("R"), a
// blank box for ascending ("A").
QPixmap MakeDirectionIcon(bool ticked) {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x1C, 0x51, 0x80), 1));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
  if (ticked) {
    QPainterPath tick;
    tick.moveTo(4.2, 8.2);
    tick.lineTo(6.8, 10.9);
    tick.lineTo(11.8, 4.8);
    p.setPen(QPen(QColor(0x21, 0xA1, 0x21), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
  }
  return pixmap;
}

const QPixmap& DirectionIcon(bool ticked) {
  static const QPixmap blank = MakeDirectionIcon(false);
  static const QPixmap tickedBox = MakeDirectionIcon(true);
  return ticked ? tickedBox : blank;
}

}  // namespace

TableGrid::TableGrid(const std::vector<ColumnDef>& columns, const TextTable& table, QWidget* parent)
    : QAbstractScrollArea(parent), columns_(columns), table_(&table) {
  setObjectName("RegDatos");
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // A click gives the focus only when it reaches a cell (mousePressEvent).
  setFocusPolicy(Qt::TabFocus);
  setFont(CellFont());
  verticalScrollBar()->setSingleStep(1);
}

int TableGrid::ColumnLeft(int column) const {
  int left = 0;
  for (int c = 0; c < column; ++c) left += columns_[c].width + kLineWidth;
  return left;
}

int TableGrid::ColumnsWidth() const { return ColumnLeft(static_cast<int>(columns_.size())); }

int TableGrid::TopRow() const { return verticalScrollBar()->value(); }

int TableGrid::VisibleRowCount() const {
  return std::max(1, (viewport()->height() + kLineWidth) / kRowPitch);
}

bool TableGrid::CellVisible(int row) const {
  return row >= TopRow() && row < TopRow() + VisibleRowCount();
}

QRect TableGrid::CellRect(int row, int column) const {
  const QPoint origin = viewport()->geometry().topLeft();
  return QRect(origin.x() + ColumnLeft(column), origin.y() + (row - TopRow()) * kRowPitch,
               columns_[column].width, kRowHeight);
}

bool TableGrid::CellAt(const QPoint& point, int& row, int& column) const {
  if (point.y() < 0 || point.x() < 0) return false;
  row = TopRow() + point.y() / kRowPitch;
  if (row >= table_->RowCount()) return false;
  for (int c = 0; c < static_cast<int>(columns_.size()); ++c) {
    if (point.x() < ColumnLeft(c + 1)) {
      column = c;
      return true;
    }
  }
  return false;
}

void TableGrid::Refresh() {
  QScrollBar* bar = verticalScrollBar();
  const int visible = VisibleRowCount();
  bar->setRange(0, std::max(0, table_->RowCount() - visible));
  bar->setPageStep(visible);
  if (row_ >= table_->RowCount()) row_ = std::max(0, table_->RowCount() - 1);
  viewport()->update();
}

void TableGrid::SetCurrent(int row, int column) {
  row_ = row;
  column_ = column;
  Refresh();
  if (row < TopRow()) {
    verticalScrollBar()->setValue(row);
  } else if (row >= TopRow() + VisibleRowCount()) {
    verticalScrollBar()->setValue(row - VisibleRowCount() + 1);
  }
  viewport()->update();
  emit currentCellChanged(row_, column_);
}

void TableGrid::MoveTo(int row, int column) {
  if (table_->Empty()) return;
  row = std::clamp(row, 0, table_->RowCount() - 1);
  column = std::clamp(column, 0, static_cast<int>(columns_.size()) - 1);
  if (row == row_ && column == column_) return;
  if (requestCell && !requestCell(row, column)) return;
  SetCurrent(row, column);
  emit rowChosen(row_);
}

void TableGrid::keyPressEvent(QKeyEvent* event) {
  if (commandKey && !table_->Empty() && commandKey(*event)) return;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const int lastColumn = static_cast<int>(columns_.size()) - 1;
  switch (event->key()) {
    case Qt::Key_Up:
      MoveTo(row_ - 1, column_);
      return;
    case Qt::Key_Down:
      MoveTo(row_ + 1, column_);
      return;
    case Qt::Key_PageUp:
      MoveTo(row_ - VisibleRowCount(), column_);
      return;
    case Qt::Key_PageDown:
      MoveTo(row_ + VisibleRowCount(), column_);
      return;
    case Qt::Key_Left:
      MoveTo(row_, column_ - 1);
      return;
    case Qt::Key_Right:
      MoveTo(row_, column_ + 1);
      return;
    case Qt::Key_Home:
      ctrl ? MoveTo(0, column_) : MoveTo(row_, 0);
      return;
    case Qt::Key_End:
      ctrl ? MoveTo(table_->RowCount() - 1, column_) : MoveTo(row_, lastColumn);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (openRequested && !table_->Empty()) openRequested();
      return;
    default:
      break;
  }
  const QString typed = event->text();
  if (!ctrl && !typed.isEmpty() && typed.at(0).unicode() >= 32 && !table_->Empty()) {
    if (typedCharacter) typedCharacter(typed.left(1));
    return;
  }
  event->ignore();
}

void TableGrid::mousePressEvent(QMouseEvent* event) {
  int row = 0, column = 0;
  if (!CellAt(event->position().toPoint(), row, column)) return;
  if (requestCell && !requestCell(row, column)) return;
  SetCurrent(row, column);
  emit rowChosen(row_);
  setFocus(Qt::MouseFocusReason);
  if (cellClicked) cellClicked(row, column);
}

void TableGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  int row = 0, column = 0;
  if (!CellAt(event->position().toPoint(), row, column)) return;
  if (row != row_ || column != column_) return;  // the press did not take the cell
  if (openRequested) openRequested();
}

bool TableGrid::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    int row = 0, column = 0;
    const QString tip = positionTip && CellAt(help->pos(), row, column) && column == 0
                            ? positionTip(row)
                            : QString();
    if (tip.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), tip, viewport());
    }
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void TableGrid::focusInEvent(QFocusEvent* event) {
  viewport()->update();
  QAbstractScrollArea::focusInEvent(event);
}

void TableGrid::focusOutEvent(QFocusEvent* event) {
  viewport()->update();
  QAbstractScrollArea::focusOutEvent(event);
}

void TableGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Refresh();
}

void TableGrid::scrollContentsBy(int, int) {
  viewport()->update();
  emit scrolled();
}

void TableGrid::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), Qt::white);
  const int top = TopRow();
  const int width = ColumnsWidth();
  for (int row = top; row < table_->RowCount(); ++row) {
    const int y = (row - top) * kRowPitch;
    if (y >= viewport()->height()) break;
    for (int column = 0; column < static_cast<int>(columns_.size()); ++column) {
      const QRect cell(ColumnLeft(column), y, columns_[column].width, kRowHeight);
      DrawCell(painter, row, column, cell);
      painter.fillRect(cell.right() + 1, y, kLineWidth, kRowPitch, kGridLine);
    }
    painter.fillRect(0, y + kRowHeight, width, kLineWidth, kGridLine);
  }
}

void TableGrid::DrawCell(QPainter& painter, int row, int column, const QRect& rect) const {
  const ColumnDef& def = columns_[column];
  const bool focusedCell = row == row_ && column == column_;
  QColor background = Qt::white;
  if (column == 0) {
    background = row == row_ ? kCurrentMark : kOtherMark;
  } else if (focusedCell && !hasFocus()) {
    background = kFocusUnfocused;
  }
  painter.fillRect(rect, background);

  const std::string& text = table_->Cell(row, column);
  painter.save();
  painter.setClipRect(rect);
  switch (def.paint) {
    case CellPaint::Text:
      DrawText(painter, def, ToQString(text), rect);
      if (column == 0 && positionTip && !positionTip(row).isEmpty())
        DrawPositionMark(painter, rect);
      break;
    case CellPaint::Swatch:
      DrawSwatch(painter, text, rect);
      break;
    case CellPaint::DirectionIcon:
      DrawDirection(painter, text, rect);
      break;
    case CellPaint::BarcodeMark:
      DrawBarcodeMark(painter, row, rect);
      break;
    case CellPaint::Nothing:
      break;
  }
  painter.restore();

  if (focusedCell) {
    painter.setPen(QPen(QColor(0xFF, 0, 0), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
  painter.setPen(Qt::black);
  painter.setBrush(Qt::white);
}

void TableGrid::DrawText(QPainter& painter, const ColumnDef& def, const QString& text,
                         const QRect& rect) const {
  const QFont font = CellFont(def.bold);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const QFontMetrics metrics(font);
  const int textWidth = metrics.horizontalAdvance(text);
  int x = rect.left() + kTextInset;  // left-aligned, and every over-wide text
  if (textWidth <= rect.width() - 2 * kTextInset) {
    if (def.alignment & Qt::AlignRight) {
      x = rect.right() + 1 - kTextInset - textWidth;
    } else if (def.alignment & Qt::AlignHCenter) {
      x = rect.left() + (rect.width() - textWidth) / 2;
    }
  }
  painter.drawText(QPoint(x, rect.top() + kTextInset + metrics.ascent()), text);
}

void TableGrid::DrawSwatch(QPainter& painter, const std::string& text, const QRect& rect) const {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return;
  constexpr int kSwatchWidth = 12;
  int half = (rect.height() - 4) / 2;
  if (rect.width() < rect.height()) half = (rect.width() - 4) / 2;
  half = std::min(half, 3);
  const int centreY = rect.top() + rect.height() / 2;
  const QRect swatch(rect.left() + (rect.width() - kSwatchWidth) / 2, centreY - half, kSwatchWidth,
                     2 * half);
  int32_t stored = 0;
  painter.setPen(Qt::black);
  if (TryParseInt32(trimmed, stored)) {
    painter.setBrush(WindowsColor(stored));
  } else {
    // Only a hand-edited file can hold a colour that is not a number.
    painter.setBrush(QBrush(Qt::gray, Qt::DiagCrossPattern));
  }
  painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

void TableGrid::DrawDirection(QPainter& painter, const std::string& text, const QRect& rect) const {
  if (text != "R" && text != "A") return;
  const QPoint topLeft(rect.left() + (rect.width() - kIconSize) / 2,
                       rect.top() + (rect.height() - kIconSize) / 2);
  painter.drawPixmap(topLeft, DirectionIcon(text == "R"));
}

// A row with a barcode: a few black bars of different widths, or for a QR
// Code a small square with three corner marks, centred.
void TableGrid::DrawBarcodeMark(QPainter& painter, int row, const QRect& rect) const {
  const std::optional<BarcodeSetting>& barcode = table_->Barcode(row);
  if (!barcode) return;
  constexpr int kMarkWidth = 11;
  const int left = rect.left() + (rect.width() - kMarkWidth) / 2;
  const int top = rect.top() + 4;
  if (barcode->kind == BarcodeKind::QrCode) {
    // Dark modules, one character per pixel.
    static constexpr const char* kSquare[] = {
        "####.#.####", "#..#...#..#", "#..#.#.#..#", "####...####", "....#.#....", "#.#..#..#.#",
        "...#...#.#.", "####.#..#..", "#..#..#.#.#", "#..#.#...#.", "####..#.#.#",
    };
    for (int y = 0; y < kMarkWidth; ++y)
      for (int x = 0; x < kMarkWidth; ++x)
        if (kSquare[y][x] == '#') painter.fillRect(left + x, top + y, 1, 1, Qt::black);
    return;
  }
  constexpr int kBars[][2] = {{0, 1}, {2, 2}, {5, 1}, {7, 1}, {9, 2}};  // left, width
  for (const auto& bar : kBars)
    painter.fillRect(left + bar[0], top, bar[1], rect.height() - 8, Qt::black);
}

// A row the editor marks: a small triangle in the cell's top-right corner,
// clear of the centred position.
void TableGrid::DrawPositionMark(QPainter& painter, const QRect& rect) const {
  constexpr int kSide = 7;
  const QPoint corner = rect.topRight() + QPoint(1, 0);
  const QPoint triangle[] = {corner - QPoint(kSide, 0), corner, corner + QPoint(0, kSide)};
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kFrameBlue);
  painter.drawPolygon(triangle, 3);
}

}  // namespace zirvo
