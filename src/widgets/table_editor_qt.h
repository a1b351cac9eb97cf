// The table-editor frame shared by the numerator and the marginal-text
// editors: a title bar with the commands, caption panels over the columns,
// the grid RegDatos with its in-place editors, and the sheet-size label.
// NumeratorEditor and MarginalEditor configure it with their column definitions.
#pragma once

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include "template/records.h"
#include "template/sheet_selection.h"
#include "template/template.h"
#include "template/text_table.h"
#include "widgets/table_grid_qt.h"

namespace zirvo {

// Commands of the title bar, told apart by the button's tag.
enum class EditorCommand { Add = 1, Delete = 2, Increment = 3, Move = 4 };

struct TableEditorConfig {
  const char* titleCode = "";           // catalog code of the frame's title
  std::vector<ColumnDef> columns;       // column 0 is the position
  std::vector<EditorCommand> commands;  // buttons, left to right
  const char* displacementTitleCode = "";
  const char* scrollHeaderName = "";  // blank caption panel over the scroll bar
  QColor editorBackground;            // of the in-place edits and lists
};

// Column definitions that both editors use.
namespace columns {
ColumnDef Position();  // row position, bold and centred, no editor
ColumnDef FreeText(int width, const char* header, const char* code, const char* editor,
                   int maxLength);
ColumnDef Integer(int width, const char* header, const char* code, const char* editor,
                  int maxLength, const char* initialText, Qt::Alignment alignment);
ColumnDef Centimetres(const char* header, const char* code, const char* editor);
ColumnDef Rotation(Qt::Alignment alignment, const char* initialText);
ColumnDef Font(int width);
ColumnDef Size();
ColumnDef Colour();
ColumnDef Blank();
// The narrow last column: a mark when the row carries a barcode; Enter, a
// double-click or a click opens the barcode dialog.
ColumnDef Barcode();
}  // namespace columns

class TableEditor : public QWidget {
  Q_OBJECT
 public:
  ~TableEditor() override;

  // The document whose table this editor shows and edits; nullptr shows an
  // empty table. The editor redraws on the document's changes.
  void SetDocument(Template* document);
  Template* Document() const { return document_; }
  // The selection the grid's current row follows and sets; nullptr: none.
  void SetSelection(SheetSelection* selection);

  // The operations the workspace calls.
  void InitEditor();
  // The Add command: commits an open cell editor, appends a row with the
  // defaults and makes it current.
  void AddRow();
  void ApplyLanguage();
  // Commits an open in-place editor; false, with its message shown and the
  // editor kept open, when its text does not commit.
  bool CommitOpenEditor() { return CommitEditor(); }

  // The document's table (an empty one without a document).
  const TextTable& Table() const;
  TemplateTable Which() const { return which_; }
  TableGrid* Grid() const { return grid_; }
  // The in-place editor of a column (nullptr for a column without one).
  QWidget* EditorOf(int column) const;
  // The open in-place editor, or nullptr.
  QWidget* OpenEditor() const;
  int EditorRow() const { return open_.row; }
  QPushButton* CommandButton(EditorCommand command) const;
  QLabel* HeaderPanel(int column) const { return headers_[column]; }
  QLabel* SheetSizeLabel() const { return sheetSizeLabel_; }
  QLabel* TitleLabel() const { return titleLabel_; }

 protected:
  TableEditor(TemplateTable which, TableEditorConfig config, QWidget* parent);

  // The general increment; only the numerator editor has one.
  virtual void RunIncrement() {}
  // The dialog of a column of kind RowDialog, for that row.
  virtual void RunRowDialog(int /*row*/) {}
  // The tip of a row's position cell; "" leaves the cell unmarked.
  virtual QString PositionTip(int /*row*/) const { return {}; }
  // A key the editor acts on from the grid before the grid's own meaning;
  // true when it did.
  virtual bool CommandKey(const QKeyEvent& /*event*/) { return false; }
  // Redraws the grid after the table changed under it.
  void TableChanged();

  // A command button: Add, Delete, the general increment or the displacement.
  void RunCommand(EditorCommand command);

 private:
  struct OpenEditorState {
    bool open = false;
    int row = -1;
    int column = -1;
  };

  // A change of the document: the whole template (the open cell editor
  // closes without committing), the header (the sheet size) or this table.
  void DocumentChanged(TemplateChange change);
  void ShowSheetSize();
  // The view's state for the document's content: grid shown when it has
  // rows, the editor texts reset when it has none, the first row current.
  void ShowWholeTable();
  void BuildTitleBar(QWidget* bar);
  void BuildTable(QWidget* block);
  void BuildEditors();
  void LayoutTableBlock();
  void HighlightHeader(int column);
  void ShowGrid(bool visible);
  void ResetEditorTexts();

  // Grid hooks.
  bool RequestCell(int row, int column);
  void OpenFromGrid(const QString& typed);

  // In-place editors.
  void OpenCellEditor(int row, int column, const QString& typed);
  void PlaceEditor();
  QString EditorText() const;
  // The text field of the open editor: an edit, or a list's own; nullptr
  // for a list without one.
  QLineEdit* EditField() const;
  bool CommitEditor();
  void CloseEditor();
  void FocusOpenEditor();
  bool EditorKeyPress(QKeyEvent* event);
  void MoveRowFromEditor(int targetRow, bool withCtrl);
  void PickColour(int row, int column);
  void EditBarcode(int row);

  // Commands.
  void AddRowCommand();
  void DeleteCommand();
  void MoveCommand();

  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

  // The grid's current row goes to the selected row of this table.
  void FollowSelection();

  TemplateTable which_;
  Template* document_ = nullptr;
  int listenerId_ = 0;
  SheetSelection* selection_ = nullptr;
  int selectionListenerId_ = 0;
  TableEditorConfig config_;
  SheetHeader sheet_;  // the header whose size the label shows
  OpenEditorState open_;

  QLabel* titleLabel_ = nullptr;
  QLabel* sheetSizeLabel_ = nullptr;
  std::vector<QPushButton*> buttons_;
  QWidget* tableBlock_ = nullptr;
  QWidget* gridHolder_ = nullptr;
  TableGrid* grid_ = nullptr;
  std::vector<QLabel*> headers_;   // one per column, then the one over the scroll bar
  std::vector<QWidget*> editors_;  // one per column, nullptr without an in-place editor
};

}  // namespace zirvo
