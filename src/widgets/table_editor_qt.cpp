#include "widgets/table_editor_qt.h"

#include <QApplication>
#include <QColorDialog>
#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "widgets/confirm_dialog_qt.h"
#include "widgets/general_dialogs_qt.h"
#include "widgets/widgets_qt.h"

namespace zirvo {

using namespace grid_style;

namespace {

constexpr int kHeaderHeight = 20;
constexpr int kEditorHeight = kRowHeight + 2;  // covers the cell and its frame
constexpr int kEditWidthExtra = 2;
constexpr int kListWidthExtra = 21;  // room for the list's drop-down button

struct CommandInfo {
  EditorCommand command;
  const char* name;
  const char* code;
};
constexpr CommandInfo kCommands[] = {
    {EditorCommand::Add, "Bt_Agregar", code::kAddButton},
    {EditorCommand::Delete, "Bt_Borrar", code::kDeleteButton},
    {EditorCommand::Increment, "Bt_Increm", code::kIncreaseButton},
    {EditorCommand::Move, "Bt_Mover", code::kMoveButton},
};

const CommandInfo& InfoOf(EditorCommand command) {
  for (const CommandInfo& info : kCommands) {
    if (info.command == command) return info;
  }
  return kCommands[0];
}

// Whether a character typed on the grid opens the column's editor.
bool OpensWith(OpenedBy openedBy, const QString& typed) {
  const char16_t code = typed.at(0).unicode();
  switch (openedBy) {
    case OpenedBy::Digits:
      return code >= '0' && code <= '9';
    case OpenedBy::Printable:
      // "|" separates the fields of a template line and never enters a cell.
      return (code >= 32 && code <= 126 && code != '|') || code == u'Ñ' || code == u'ñ';
    case OpenedBy::Nothing:
      break;
  }
  return false;
}

// The entry of the rotation list whose angle equals the cell's value.
int EntryOfValue(const QComboBox& list, const QString& cell) {
  double value = 0;
  if (!TryParseDouble(Trim(FromQString(cell)), value)) return -1;
  for (int i = 0; i < list.count(); ++i) {
    double angle = 0;
    if (TryParseDouble(FromQString(list.itemText(i)), angle) && angle == value) return i;
  }
  return -1;
}

// The entry of the rotation list chosen by a typed digit: the angle whose
// digits begin with it ("9" gives 090, "1" 180, "2" 270), else the first.
int EntryOfDigit(const QComboBox& list, const QString& digit) {
  for (int i = 0; i < list.count(); ++i) {
    QString angle = list.itemText(i);
    while (angle.size() > 1 && angle.startsWith('0')) angle.remove(0, 1);
    if (angle.startsWith(digit)) return i;
  }
  return list.count() > 0 ? 0 : -1;
}

// The first font whose name begins with the typed character, regardless of case.
int EntryStartingWith(const QComboBox& list, const QString& typed) {
  for (int i = 0; i < list.count(); ++i) {
    if (list.itemText(i).startsWith(typed, Qt::CaseInsensitive)) return i;
  }
  return -1;
}

// "Default" and the installed families that a template can store, sorted
// without regard to case.
QStringList FontEntries() {
  QStringList entries{"Default"};
  for (const QString& family : QFontDatabase::families()) {
    if (QFontDatabase::isPrivateFamily(family) || !FitsCp1252(FromQString(family))) continue;
    if (family.contains('|')) continue;
    entries << family;
  }
  entries.removeDuplicates();
  std::sort(entries.begin(), entries.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  return entries;
}

bool IsList(EditorKind kind) {
  return kind == EditorKind::RotationList || kind == EditorKind::FontList ||
         kind == EditorKind::SizeList;
}

}  // namespace

namespace columns {

ColumnDef Position() {
  return {.width = 36,
          .headerName = "TPPosic",
          .headerCode = code::kPositionHeader,
          .alignment = Qt::AlignHCenter,
          .bold = true};
}

ColumnDef FreeText(int width, const char* header, const char* code, const char* editor,
                   int maxLength) {
  return {.width = width,
          .headerName = header,
          .headerCode = code,
          .editor = EditorKind::Edit,
          .editorName = editor,
          .maxLength = maxLength,
          .openedBy = OpenedBy::Printable};
}

ColumnDef Integer(int width, const char* header, const char* code, const char* editor,
                  int maxLength, const char* initialText, Qt::Alignment alignment) {
  return {.width = width,
          .headerName = header,
          .headerCode = code,
          .editor = EditorKind::Edit,
          .editorName = editor,
          .maxLength = maxLength,
          .filter = KeyFilterKind::Integer,
          .openedBy = OpenedBy::Digits,
          .initialText = initialText,
          .alignment = alignment};
}

ColumnDef Centimetres(const char* header, const char* code, const char* editor) {
  return {.width = 44,
          .headerName = header,
          .headerCode = code,
          .editor = EditorKind::Edit,
          .editorName = editor,
          .maxLength = 7,
          .filter = KeyFilterKind::Real,
          .openedBy = OpenedBy::Digits,
          .initialText = "0.00",
          .alignment = Qt::AlignRight};
}

ColumnDef Rotation(Qt::Alignment alignment, const char* initialText) {
  return {.width = 40,
          .headerName = "TPGiro",
          .headerCode = code::kRotateHeader,
          .editor = EditorKind::RotationList,
          .editorName = "EdGiro",
          .entries = {"000", "090", "180", "270"},
          .openedBy = OpenedBy::Digits,
          .initialText = initialText,
          .alignment = alignment};
}

ColumnDef Font(int width) {
  return {.width = width,
          .headerName = "TPLetN",
          .headerCode = code::kFontHeader,
          .editor = EditorKind::FontList,
          .editorName = "EdLetNom",
          .openedBy = OpenedBy::Printable,
          .initialText = "Arial"};
}

ColumnDef Size() {
  return {.width = 30,
          .headerName = "TPLetT",
          .headerCode = code::kFontSizeHeader,
          .editor = EditorKind::SizeList,
          .editorName = "EdLetTam",
          .entries = {"5", "6", "8", "10", "12", "14", "16", "18", "20", "24", "36", "48", "96"},
          .openedBy = OpenedBy::Digits,
          .initialText = "12",
          .alignment = Qt::AlignHCenter};
}

ColumnDef Colour() {
  return {.width = 30,
          .headerName = "TPLetC",
          .headerCode = code::kColourHeader,
          .editor = EditorKind::ColourDialog,
          .editorName = "ColorD01",
          .paint = CellPaint::Swatch};
}

ColumnDef Blank() { return {.width = 15, .headerName = "TPVac01", .paint = CellPaint::Nothing}; }

ColumnDef Barcode() {
  return {.width = 15,
          .headerName = "TPVac01",
          .editor = EditorKind::BarcodeDialog,
          .editorName = "FCodBarras",
          .paint = CellPaint::BarcodeMark};
}

}  // namespace columns

TableEditor::TableEditor(TemplateTable which, TableEditorConfig config, QWidget* parent)
    : QWidget(parent), which_(which), config_(std::move(config)) {
  setAttribute(Qt::WA_StyledBackground);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->setSpacing(0);

  auto* titleBar = new QFrame(this);
  titleBar->setObjectName("Pn_Titulo");
  BuildTitleBar(titleBar);
  root->addWidget(titleBar);

  auto* body = new QWidget(this);
  auto* bodyLayout = new QHBoxLayout(body);
  bodyLayout->setContentsMargins(10, 10, 10, 10);
  tableBlock_ = new QWidget(body);
  tableBlock_->setObjectName("Pn_Tabla");
  BuildTable(tableBlock_);
  bodyLayout->addWidget(tableBlock_);
  bodyLayout->addStretch(1);
  root->addWidget(body, 1);

  root->addWidget(SheetSizeStrip(this, "Pn_Pie", sheetSizeLabel_));

  BuildEditors();
}

TableEditor::~TableEditor() {
  if (document_ != nullptr) document_->RemoveListener(listenerId_);
  if (selection_ != nullptr) selection_->RemoveListener(selectionListenerId_);
}

void TableEditor::SetSelection(SheetSelection* selection) {
  if (selection_ != nullptr) selection_->RemoveListener(selectionListenerId_);
  selection_ = selection;
  selectionListenerId_ = 0;
  if (selection_ != nullptr)
    selectionListenerId_ = selection_->AddListener([this] { FollowSelection(); });
}

void TableEditor::FollowSelection() {
  if (grid_ == nullptr || selection_ == nullptr) return;
  std::optional<ItemRef> own = selection_->Primary();
  if (!own || own->table != which_) {
    own.reset();
    for (const ItemRef item : selection_->Items())
      if (item.table == which_) {
        own = item;
        break;
      }
  }
  if (!own || own->row >= Table().RowCount() || own->row == grid_->CurrentRow()) return;
  // An open cell editor commits first, as when the user moves in the grid.
  if (!CommitEditor()) return;
  grid_->SetCurrent(own->row, grid_->CurrentColumn());
}

const TextTable& TableEditor::Table() const {
  if (document_ != nullptr) return document_->Table(which_);
  static const NumeratorTable kNoNumerators;
  static const MarginalTable kNoMarginals;
  if (which_ == TemplateTable::Numerators) return kNoNumerators;
  return kNoMarginals;
}

void TableEditor::SetDocument(Template* document) {
  if (document_ != nullptr) document_->RemoveListener(listenerId_);
  document_ = document;
  listenerId_ = 0;
  if (document_ != nullptr) {
    listenerId_ =
        document_->AddListener([this](TemplateChange change) { DocumentChanged(change); });
  }
  if (grid_ == nullptr) return;  // during destruction the grid is gone
  grid_->SetTable(Table());
  DocumentChanged(TemplateChange::Everything);
}

void TableEditor::DocumentChanged(TemplateChange change) {
  const bool ownTable =
      change == TemplateChange::Tables ||
      (change == TemplateChange::Numerators && which_ == TemplateTable::Numerators) ||
      (change == TemplateChange::Marginals && which_ == TemplateTable::Marginals);
  if (change == TemplateChange::Everything) {
    // What was being typed belongs to the template that is gone.
    CloseEditor();
    ShowWholeTable();
  } else if (ownTable) {
    if (Table().Empty()) {
      ShowGrid(false);
      ResetEditorTexts();
    } else {
      grid_->setVisible(true);
      TableChanged();
    }
  }
  if (change == TemplateChange::Everything || change == TemplateChange::Header) {
    if (document_ != nullptr) sheet_ = document_->Header();
    ShowSheetSize();
  }
}

void TableEditor::ShowWholeTable() {
  const bool empty = Table().Empty();
  ShowGrid(!empty);
  if (empty) ResetEditorTexts();
  grid_->SetCurrent(0, grid_->CurrentColumn());
}

void TableEditor::BuildTitleBar(QWidget* bar) {
  bar->setFixedHeight(32);
  bar->setStyleSheet(QString("#Pn_Titulo { background: %1; border-bottom: 1px solid %2; }"
                             "QPushButton { background: #EFEFEF; color: %2; border: 1px solid %2;"
                             "  padding: 2px 12px; min-width: 64px; }"
                             "QPushButton:hover { background: #FFFFFF; }"
                             "QPushButton:pressed { background: %3; }")
                         .arg(kOtherMark.name(), kFrameBlue.name(), kCurrentMark.name()));
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(12, 4, 10, 4);
  layout->setSpacing(6);
  titleLabel_ = new QLabel(bar);
  titleLabel_->setObjectName("Et_Titulo");
  titleLabel_->setFont(CellFont(true));
  titleLabel_->setStyleSheet(QString("color: %1;").arg(kFrameBlue.name()));
  layout->addWidget(titleLabel_);
  layout->addStretch(1);
  for (EditorCommand command : config_.commands) {
    auto* button = new QPushButton(bar);
    button->setObjectName(InfoOf(command).name);
    button->setFont(CellFont());
    button->setCursor(Qt::PointingHandCursor);
    // The buttons never take the focus: pressing one leaves an open editor open.
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedHeight(22);
    connect(button, &QPushButton::clicked, this, [this, command] { RunCommand(command); });
    layout->addWidget(button);
    buttons_.push_back(button);
  }
}

void TableEditor::BuildTable(QWidget* block) {
  // The block's own colour shows through the one-pixel gaps between its
  // children: the border around the captions and the grid.
  block->setAutoFillBackground(true);
  QPalette palette = block->palette();
  palette.setColor(QPalette::Window, kFrameBlue);
  block->setPalette(palette);

  const int columnCount = static_cast<int>(config_.columns.size());
  for (int column = 0; column <= columnCount; ++column) {
    auto* header = new QLabel(block);
    header->setObjectName(column < columnCount ? config_.columns[column].headerName
                                               : config_.scrollHeaderName);
    header->setAlignment(Qt::AlignCenter);
    header->setFont(CellFont());
    headers_.push_back(header);
  }
  gridHolder_ = new QWidget(block);  // white where the hidden grid would be
  gridHolder_->setAutoFillBackground(true);
  QPalette white = gridHolder_->palette();
  white.setColor(QPalette::Window, Qt::white);
  gridHolder_->setPalette(white);
  grid_ = new TableGrid(config_.columns, Table(), gridHolder_);
  grid_->requestCell = [this](int row, int column) { return RequestCell(row, column); };
  grid_->openRequested = [this] { OpenFromGrid(QString()); };
  grid_->typedCharacter = [this](const QString& typed) { OpenFromGrid(typed); };
  grid_->cellClicked = [this](int, int column) {
    if (config_.columns[column].editor == EditorKind::BarcodeDialog) OpenFromGrid(QString());
  };
  grid_->positionTip = [this](int row) { return PositionTip(row); };
  grid_->commandKey = [this](const QKeyEvent& event) { return CommandKey(event); };
  connect(grid_, &TableGrid::currentCellChanged, this,
          [this](int, int column) { HighlightHeader(column); });
  connect(grid_, &TableGrid::scrolled, this, [this] { PlaceEditor(); });
  connect(grid_, &TableGrid::rowChosen, this, [this](int row) {
    if (selection_ != nullptr && row < Table().RowCount()) selection_->Select({which_, row});
  });

  const int scrollExtent = grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  block->setFixedWidth(grid_->ColumnsWidth() + scrollExtent + 2);
  block->setMinimumHeight(kHeaderHeight + 3 + 6 * (kRowHeight + kLineWidth));
  block->installEventFilter(this);
  HighlightHeader(grid_->CurrentColumn());
}

void TableEditor::LayoutTableBlock() {
  const int columnCount = static_cast<int>(config_.columns.size());
  for (int column = 0; column <= columnCount; ++column) {
    const int left = 1 + grid_->ColumnLeft(column);
    const int width =
        column < columnCount ? config_.columns[column].width : tableBlock_->width() - 1 - left;
    headers_[column]->setGeometry(left, 1, width, kHeaderHeight);
  }
  const int top = 1 + kHeaderHeight + 1;
  gridHolder_->setGeometry(1, top, tableBlock_->width() - 2, tableBlock_->height() - top - 1);
  grid_->setGeometry(gridHolder_->rect());
  PlaceEditor();
}

void TableEditor::BuildEditors() {
  const QString editStyle =
      QString("QLineEdit { background: %1; color: black; border: 1px solid %2; padding: 0 1px; }")
          .arg(config_.editorBackground.name(), kFrameBlue.name());
  for (const ColumnDef& def : config_.columns) {
    QWidget* editor = nullptr;
    if (def.editor == EditorKind::Edit) {
      auto* edit = new QLineEdit(tableBlock_);
      if (def.maxLength > 0) edit->setMaxLength(def.maxLength);
      edit->setStyleSheet(editStyle);
      InstallKeyFilter(edit, edit, def.filter);
      editor = edit;
    } else if (IsList(def.editor)) {
      auto* list = new QComboBox(tableBlock_);
      list->setEditable(def.editor == EditorKind::SizeList);
      list->setInsertPolicy(QComboBox::NoInsert);
      // A size typed is stored as typed: no entry completes it ("3" is not 36).
      if (list->isEditable()) list->setCompleter(nullptr);
      list->setMaxVisibleItems(16);
      list->addItems(def.entries);
      QPalette palette = list->palette();
      palette.setColor(QPalette::Base, config_.editorBackground);
      palette.setColor(QPalette::Button, config_.editorBackground);
      list->setPalette(palette);
      if (QLineEdit* edit = list->lineEdit()) {
        InstallKeyFilter(list, edit, KeyFilterKind::FreeText);
        InstallKeyFilter(edit, edit, KeyFilterKind::FreeText);
        edit->installEventFilter(this);
      }
      editor = list;
    }
    if (editor != nullptr) {
      editor->setObjectName(def.editorName);
      editor->setFont(CellFont());
      editor->setFixedHeight(kEditorHeight);
      editor->hide();
      editor->installEventFilter(this);
    }
    editors_.push_back(editor);
  }
}

void TableEditor::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceEditor();
}

bool TableEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tableBlock_) {
    if (event->type() == QEvent::Resize) LayoutTableBlock();
    return false;
  }
  if (event->type() == QEvent::KeyPress && open_.open) {
    return EditorKeyPress(static_cast<QKeyEvent*>(event));
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Operations of the workspace

void TableEditor::InitEditor() {
  for (std::size_t column = 0; column < config_.columns.size(); ++column) {
    if (config_.columns[column].editor != EditorKind::FontList) continue;
    auto* list = static_cast<QComboBox*>(editors_[column]);
    list->clear();
    list->addItems(FontEntries());
  }
  CloseEditor();
  ShowWholeTable();
  ApplyLanguage();
}

void TableEditor::ShowSheetSize() {
  // The size is rounded to 4 decimals first, then shown with 2.
  auto shown = [](double cm) { return FormatFixed(ParseDouble(FormatFixed(cm, 4)), 2); };
  const std::string text = LookupText(code::kSheetSize) + ":  " +
                           LookupText(code::kSheetWidthLabel) + " (" + shown(sheet_.Width) +
                           " cm)  " + LookupText(code::kSheetHeightLabel) + " (" +
                           shown(sheet_.Height) + " cm)";
  sheetSizeLabel_->setText(ToQString(text));
}

void TableEditor::AddRow() { AddRowCommand(); }

void TableEditor::ApplyLanguage() {
  titleLabel_->setText(ToQString(LookupText(config_.titleCode)));
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->setText(ToQString(LookupText(InfoOf(config_.commands[i]).code)));
  }
  for (std::size_t column = 0; column < config_.columns.size(); ++column) {
    const char* code = config_.columns[column].headerCode;
    headers_[column]->setText(*code != '\0' ? ToQString(LookupText(code)) : QString());
  }
}

// ---------------------------------------------------------------------------
// Frame state

QWidget* TableEditor::EditorOf(int column) const { return editors_[column]; }

QWidget* TableEditor::OpenEditor() const { return open_.open ? editors_[open_.column] : nullptr; }

QPushButton* TableEditor::CommandButton(EditorCommand command) const {
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    if (config_.commands[i] == command) return buttons_[i];
  }
  return nullptr;
}

void TableEditor::HighlightHeader(int column) {
  for (std::size_t c = 0; c < headers_.size(); ++c) {
    const QColor background = static_cast<int>(c) == column ? kCurrentMark : kOtherMark;
    headers_[c]->setStyleSheet(
        QString("background: %1; color: %2;").arg(background.name(), kFrameBlue.name()));
  }
}

void TableEditor::ShowGrid(bool visible) {
  if (!visible) CloseEditor();
  grid_->setVisible(visible);
  grid_->Refresh();
}

void TableEditor::TableChanged() { grid_->Refresh(); }

void TableEditor::ResetEditorTexts() {
  for (std::size_t column = 0; column < config_.columns.size(); ++column) {
    const QString initial = config_.columns[column].initialText;
    switch (config_.columns[column].editor) {
      case EditorKind::Edit:
        static_cast<QLineEdit*>(editors_[column])->setText(initial);
        break;
      case EditorKind::RotationList:
      case EditorKind::FontList: {
        auto* list = static_cast<QComboBox*>(editors_[column]);
        list->setCurrentIndex(list->findText(initial));
        break;
      }
      case EditorKind::SizeList:
        static_cast<QComboBox*>(editors_[column])->setEditText(initial);
        break;
      default:
        break;
    }
  }
}

// ---------------------------------------------------------------------------
// The grid's requests

bool TableEditor::RequestCell(int, int) { return CommitEditor(); }

void TableEditor::OpenFromGrid(const QString& typed) {
  if (Table().Empty() || document_ == nullptr) return;
  const int row = grid_->CurrentRow();
  const int column = grid_->CurrentColumn();
  const ColumnDef& def = config_.columns[column];
  if (!typed.isEmpty() && !OpensWith(def.openedBy, typed)) return;
  if (!CommitEditor()) return;
  switch (def.editor) {
    case EditorKind::None:
      return;
    case EditorKind::ColourDialog:
      PickColour(row, column);
      return;
    case EditorKind::BarcodeDialog:
      EditBarcode(row);
      return;
    case EditorKind::RowDialog:
      RunRowDialog(row);
      return;
    case EditorKind::Toggle:
      document_->CommitCell(which_, row, column, "");
      grid_->viewport()->update();
      return;
    default:
      OpenCellEditor(row, column, typed);
      return;
  }
}

void TableEditor::PickColour(int row, int column) {
  int32_t stored = 0;
  if (!TryParseInt32(Trim(Table().Cell(row, column)), stored)) stored = 0;
  QColorDialog dialog(WindowsColor(stored), this);
  dialog.setObjectName("ColorD01");
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return;
  document_->CommitCell(which_, row, column, FormatInt(WindowsColorValue(dialog.selectedColor())));
  grid_->viewport()->update();
}

void TableEditor::EditBarcode(int row) {
  // The dialog stays open on a choice the document refuses, showing why.
  TheBarcodeDialog().Run(Table().Barcode(row),
                         [this, row](const std::optional<BarcodeSetting>& choice) {
                           try {
                             document_->SetBarcode(which_, row, choice);
                           } catch (const ZirvoError& e) {
                             return std::string(e.what());
                           }
                           return std::string();
                         });
  grid_->viewport()->update();
}

// ---------------------------------------------------------------------------
// In-place editors

void TableEditor::OpenCellEditor(int row, int column, const QString& typed) {
  const ColumnDef& def = config_.columns[column];
  QWidget* editor = editors_[column];
  const QString cell = ToQString(Table().Cell(row, column));
  const bool byTyping = !typed.isEmpty();
  switch (def.editor) {
    case EditorKind::Edit: {
      auto* edit = static_cast<QLineEdit*>(editor);
      edit->setText(byTyping ? typed : cell);
      if (byTyping) {
        edit->deselect();
        edit->setCursorPosition(edit->text().size());
      } else {
        edit->selectAll();
      }
      break;
    }
    case EditorKind::RotationList: {
      auto* list = static_cast<QComboBox*>(editor);
      list->setCurrentIndex(byTyping ? EntryOfDigit(*list, typed) : EntryOfValue(*list, cell));
      break;
    }
    case EditorKind::FontList: {
      auto* list = static_cast<QComboBox*>(editor);
      list->setCurrentIndex(byTyping ? EntryStartingWith(*list, typed)
                                     : list->findText(cell, Qt::MatchFixedString));
      break;
    }
    case EditorKind::SizeList: {
      auto* list = static_cast<QComboBox*>(editor);
      list->setEditText(byTyping ? typed : cell);
      if (byTyping) {
        list->lineEdit()->deselect();
        list->lineEdit()->setCursorPosition(list->lineEdit()->text().size());
      } else {
        list->lineEdit()->selectAll();
      }
      break;
    }
    default:
      return;
  }
  open_ = {true, row, column};
  PlaceEditor();
  FocusOpenEditor();
}

void TableEditor::PlaceEditor() {
  if (!open_.open) return;
  QWidget* editor = editors_[open_.column];
  if (!grid_->CellVisible(open_.row)) {
    editor->hide();  // scrolled away; it comes back with its cell
    return;
  }
  const QRect cell = grid_->CellRect(open_.row, open_.column);
  const QPoint topLeft = grid_->mapTo(tableBlock_, cell.topLeft()) - QPoint(1, 1);
  const int extra =
      IsList(config_.columns[open_.column].editor) ? kListWidthExtra : kEditWidthExtra;
  editor->setGeometry(topLeft.x(), topLeft.y(), cell.width() + extra, kEditorHeight);
  editor->show();
  editor->raise();
}

void TableEditor::FocusOpenEditor() {
  if (!open_.open) return;
  QWidget* editor = editors_[open_.column];
  editor->show();
  editor->raise();
  editor->setFocus(Qt::OtherFocusReason);
}

QLineEdit* TableEditor::EditField() const {
  QWidget* editor = editors_[open_.column];
  if (auto* edit = qobject_cast<QLineEdit*>(editor)) return edit;
  if (auto* list = qobject_cast<QComboBox*>(editor)) return list->lineEdit();
  return nullptr;
}

QString TableEditor::EditorText() const {
  QWidget* editor = editors_[open_.column];
  if (config_.columns[open_.column].editor == EditorKind::Edit) {
    return static_cast<QLineEdit*>(editor)->text();
  }
  return static_cast<QComboBox*>(editor)->currentText();
}

bool TableEditor::CommitEditor() {
  if (!open_.open) return true;
  const QString text = EditorText();
  std::string failure;
  try {
    document_->CommitCell(which_, open_.row, open_.column, FromQString(text));
  } catch (const ZirvoError& error) {
    failure = error.what();
  }
  if (!failure.empty()) {
    ShowFailure(this, failure);
    FocusOpenEditor();
    return false;
  }
  CloseEditor();
  grid_->viewport()->update();
  return true;
}

void TableEditor::CloseEditor() {
  if (!open_.open) return;
  QWidget* editor = editors_[open_.column];
  const bool hadFocus = editor->hasFocus() || editor->isAncestorOf(QApplication::focusWidget());
  open_ = {};
  editor->hide();
  if (auto* edit = qobject_cast<QLineEdit*>(editor)) edit->clear();
  if (hadFocus && grid_->isVisible()) grid_->setFocus(Qt::OtherFocusReason);
}

bool TableEditor::EditorKeyPress(QKeyEvent* event) {
  const ColumnDef& def = config_.columns[open_.column];
  const int row = grid_->CurrentRow();
  const int page = grid_->VisibleRowCount();
  const int last = Table().RowCount() - 1;
  if (!(event->modifiers() & Qt::ControlModifier)) {
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        if (CommitEditor()) grid_->setFocus(Qt::OtherFocusReason);
        return true;
      case Qt::Key_Escape:
        // Nothing is stored: the cell keeps its text, which the editor
        // shows again when it reopens.
        CloseEditor();
        grid_->setFocus(Qt::OtherFocusReason);
        return true;
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
      case Qt::Key_Up:
      case Qt::Key_Down: {
        if (def.editor != EditorKind::Edit) return false;  // the list's own keys
        const int step = event->key() == Qt::Key_Up       ? -1
                         : event->key() == Qt::Key_Down   ? 1
                         : event->key() == Qt::Key_PageUp ? -page
                                                          : page;
        MoveRowFromEditor(row + step, /*withCtrl=*/false);
        return true;
      }
      default:
        return false;
    }
  }
  switch (event->key()) {
    case Qt::Key_PageUp:
      MoveRowFromEditor(row - page, true);
      return true;
    case Qt::Key_PageDown:
      MoveRowFromEditor(row + page, true);
      return true;
    case Qt::Key_Up:
      MoveRowFromEditor(row - 1, true);
      return true;
    case Qt::Key_Down:
      MoveRowFromEditor(row + 1, true);
      return true;
    case Qt::Key_Home:
      MoveRowFromEditor(0, true);
      return true;
    case Qt::Key_End:
      MoveRowFromEditor(last, true);
      return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:  // the plus key of the main keyboard, unshifted
      AddRowCommand();
      return true;
    case Qt::Key_Minus:
      DeleteCommand();
      return true;
    case Qt::Key_C:
    case Qt::Key_V:
      return false;  // copy and paste keep working
    case Qt::Key_A:
      if (QLineEdit* edit = EditField()) edit->selectAll();
      return true;
    default:
      return true;  // every other key is swallowed while Ctrl is held
  }
}

void TableEditor::MoveRowFromEditor(int targetRow, bool withCtrl) {
  const int row = grid_->CurrentRow();
  targetRow = std::clamp(targetRow, 0, std::max(0, Table().RowCount() - 1));
  // A Ctrl move that cannot change the row leaves the editor open.
  if (withCtrl && targetRow == row) return;
  if (!CommitEditor()) return;
  if (targetRow != row) grid_->SetCurrent(targetRow, grid_->CurrentColumn());
  grid_->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------------------
// Commands

void TableEditor::RunCommand(EditorCommand command) {
  // Increment and Move change every row: a cell editor left open must not
  // write its older text back over the result afterwards.
  if ((command == EditorCommand::Increment || command == EditorCommand::Move) && !CommitEditor()) {
    return;
  }
  switch (command) {
    case EditorCommand::Add:
      AddRowCommand();
      break;
    case EditorCommand::Delete:
      DeleteCommand();
      break;
    case EditorCommand::Increment:
      RunIncrement();
      break;
    case EditorCommand::Move:
      MoveCommand();
      break;
  }
}

void TableEditor::AddRowCommand() {
  if (document_ == nullptr || Table().RowCount() >= TextTable::kMaxRows) return;
  if (!CommitEditor()) return;  // the new row becomes current: the open editor commits first
  document_->AddRow(which_);
  ShowGrid(true);
  grid_->SetCurrent(Table().RowCount() - 1, grid_->CurrentColumn());
  grid_->setFocus(Qt::OtherFocusReason);
}

void TableEditor::DeleteCommand() {
  if (Confirm(ConfirmQuestion::DeleteRow) != ConfirmAnswer::Yes) {
    FocusOpenEditor();
    return;
  }
  CloseEditor();  // its text belongs to the row that goes
  if (!Table().Empty() && document_ != nullptr) {
    const int current = document_->DeleteRow(which_, grid_->CurrentRow());
    if (current >= 0) grid_->SetCurrent(current, grid_->CurrentColumn());
  }
  if (Table().Empty()) {
    ShowGrid(false);
    ResetEditorTexts();
  } else {
    TableChanged();
    grid_->setFocus(Qt::OtherFocusReason);
  }
}

void TableEditor::MoveCommand() {
  if (Table().Empty() || document_ == nullptr) return;
  double dx = 0, dy = 0;
  try {
    ShowDisplacementDialog(LookupText(config_.displacementTitleCode), dx, dy);
    document_->ApplyDisplacement(which_, dx, dy);
  } catch (const ZirvoError& error) {
    ShowFailure(this, error.what());
  }
  TableChanged();
}

}  // namespace zirvo
