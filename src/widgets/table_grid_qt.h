// The grid RegDatos of the table editors: a grid of text cells drawn by our
// own code from a TextTable, one grid row per table row, and the column
// definitions that configure it together with the editor around it.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QStringList>
#include <functional>
#include <vector>

#include "template/text_table.h"
#include "widgets/dialog_parts_qt.h"
#include "widgets/widgets_qt.h"

namespace zirvo {

// The in-place editor a column opens.
enum class EditorKind {
  None,           // no editor (position and blank columns)
  Edit,           // single-line edit
  RotationList,   // list of the four angles, only its own entries
  FontList,       // "Default" and the installed families, only its own entries
  SizeList,       // list of sizes that also takes free text
  ColourDialog,   // the colour dialog, no in-place editor
  Toggle,         // toggled in place ("A"/"R")
  BarcodeDialog,  // the row's barcode dialog, also opened by a click on the cell
  RowDialog,      // the editor's own dialog of the row (TableEditor::RunRowDialog)
};

// The characters typed on the grid that open a column's editor.
enum class OpenedBy { Nothing, Digits, Printable };

// What a cell of the column draws.
enum class CellPaint { Text, Swatch, DirectionIcon, BarcodeMark, Nothing };

struct ColumnDef {
  int width = 0;                // pixels
  const char* headerName = "";  // object name of the caption panel
  const char* headerCode = "";  // catalog code of the caption, "" for none
  EditorKind editor = EditorKind::None;
  const char* editorName = "";  // object name of the in-place editor
  int maxLength = 0;            // longest text of an edit, 0 for no limit
  KeyFilterKind filter = KeyFilterKind::FreeText;
  QStringList entries{};  // fixed entries of a list
  OpenedBy openedBy = OpenedBy::Nothing;
  const char* initialText = "";  // the editor's text when the table is emptied
  Qt::Alignment alignment = Qt::AlignLeft;
  CellPaint paint = CellPaint::Text;
  bool bold = false;
};

// Grid colours and metrics.
namespace grid_style {
constexpr int kRowHeight = 19;
constexpr int kLineWidth = 1;                 // grid line after every row and column
const QColor kCurrentMark(0xEC, 0xE9, 0xD7);  // position cell of the current row, its header
const QColor kOtherMark = WindowsColor(kStripColour);  // position cells, headers, bars
const QColor kFocusUnfocused(0xF9, 0xF8, 0xF2);        // current cell while the grid lacks focus
const QColor kFrameBlue = WindowsColor(kDarkBlue);     // borders and caption text
const QColor kGridLine(0xC6, 0xCF, 0xDC);

// The style of a bar of command labels above a sheet or a page: white, a grid
// line below, buttons framed in blue, `padding` pixels each side of a caption.
inline QString CommandBarStyle(const QString& barName, int padding) {
  return QString(
             "#%1 { background: white; border-bottom: 1px solid %2; }"
             "zirvo--ClickLabel { background: #EFEFEF; color: %3; border: 1px solid %3;"
             "  padding: 2px %4px; }"
             "zirvo--ClickLabel:hover { background: #FFFFFF; }"
             "zirvo--ClickLabel:disabled { color: #8A8A8A; border-color: #B0B0B0; }"
             "QCheckBox, QLabel { color: %3; }")
      .arg(barName, kGridLine.name(), kFrameBlue.name())
      .arg(padding);
}
QFont CellFont(bool bold = false);
// The strip at the foot of the editors and the preview that shows the sheet
// size: a light band under a blue rule, the label at its left.
QFrame* SheetSizeStrip(QWidget* parent, const QString& objectName, QLabel*& label);
}  // namespace grid_style

class TableGrid : public QAbstractScrollArea {
  Q_OBJECT
 public:
  TableGrid(const std::vector<ColumnDef>& columns, const TextTable& table,
            QWidget* parent = nullptr);

  int CurrentRow() const { return row_; }
  int CurrentColumn() const { return column_; }
  // Makes the cell current (no questions asked) and scrolls it into view.
  void SetCurrent(int row, int column);
  // The table changed: scroll range and drawing follow it.
  void Refresh();
  // Shows another table (of the same columns); call Refresh after.
  void SetTable(const TextTable& table) { table_ = &table; }

  int ColumnLeft(int column) const;
  int ColumnsWidth() const;
  // The cell's rectangle in this widget's coordinates.
  QRect CellRect(int row, int column) const;
  bool CellVisible(int row) const;
  // Rows entirely visible in the grid, at least 1.
  int VisibleRowCount() const;
  // The cell under a point of the viewport; false outside the rows.
  bool CellAt(const QPoint& point, int& row, int& column) const;

  // Hooks of the editor that owns the grid.
  // Asked before the current cell changes, and on every click on a cell;
  // returns false to keep the current cell (an open editor did not commit).
  std::function<bool(int row, int column)> requestCell;
  std::function<void()> openRequested;  // Enter or double-click
  std::function<void(const QString& typed)> typedCharacter;
  // A click that made the cell current.
  std::function<void(int row, int column)> cellClicked;
  // Rows whose position cell carries a mark, and the tip it shows; the tip
  // is "" for a row without a mark.
  std::function<QString(int row)> positionTip;
  // A key the editor acts on itself before the grid's own meaning; true
  // when it did.
  std::function<bool(const QKeyEvent& event)> commandKey;

 signals:
  void scrolled();
  void currentCellChanged(int row, int column);
  // The user made a row current, by a click or a key.
  void rowChosen(int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  int TopRow() const;
  void MoveTo(int row, int column);
  void DrawCell(QPainter& painter, int row, int column, const QRect& rect) const;
  void DrawText(QPainter& painter, const ColumnDef& def, const QString& text,
                const QRect& rect) const;
  void DrawSwatch(QPainter& painter, const std::string& text, const QRect& rect) const;
  void DrawDirection(QPainter& painter, const std::string& text, const QRect& rect) const;
  void DrawBarcodeMark(QPainter& painter, int row, const QRect& rect) const;
  void DrawPositionMark(QPainter& painter, const QRect& rect) const;

  const std::vector<ColumnDef>& columns_;
  const TextTable* table_;
  int row_ = 0;
  int column_ = 1;
};

}  // namespace zirvo
