// The numerator editor driven through real key and mouse events: how each
// column's editor opens, what a commit stores, the keys inside an editor, the
// commands, the failure paths and the drawing.
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>
#include <QToolTip>

#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "editors/numerator_editor_qt.h"
#include "support/template_lines.h"
#include "support/ui_support.h"
#include "template/template_codec.h"

using namespace zirvo;
using namespace zirvo::testing;
using C = NumeratorTable::CellIndex;

class NumeratorEditorTest : public QObject {
  Q_OBJECT

 private:
  NumeratorEditor* editor_ = nullptr;
  Template doc_;  // the document the editor is a view of

  TableGrid* Grid() const { return editor_->Grid(); }
  std::string Cell(int row, int column) const { return editor_->Table().Cell(row, column); }
  void AddRows(int count) {
    for (int i = 0; i < count; ++i) editor_->AddRow();
  }
  QLineEdit* Edit(int column) const { return qobject_cast<QLineEdit*>(editor_->EditorOf(column)); }
  QComboBox* List(int column) const { return qobject_cast<QComboBox*>(editor_->EditorOf(column)); }
  void Click(EditorCommand command) {
    QTest::mouseClick(editor_->CommandButton(command), Qt::LeftButton);
  }
  void Load(const std::vector<std::string>& lines) {
    doc_.Replace(testing::DecodeLines(lines, doc_.Header()));
  }
  void ShowSheet(double width, double height) { doc_.SetSheetSize(width, height); }

 private slots:
  void initTestCase() {
    PrepareCatalog(1);
    editor_ = new NumeratorEditor();
    editor_->SetDocument(&doc_);
    editor_->resize(780, 420);
    editor_->InitEditor();
    QVERIFY(ShowActive(editor_));
  }

  void cleanupTestCase() { delete editor_; }

  void init() {
    doc_.Clear();
    if (!editor_->isActiveWindow()) QVERIFY(ShowActive(editor_));
  }

  // ---- opening an editor by typing on the grid -------------------------

  void typedCharacterOpensEditor_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("editor");  // object name, "" when none opens
    QTest::addColumn<QString>("text");    // the editor's text

    QTest::newRow("prefix letter") << int(C::kPrefix) << "a"
                                   << "EdPref"
                                   << "a";
    QTest::newRow("prefix enye") << int(C::kPrefix) << QString::fromUtf8("ñ") << "EdPref"
                                 << QString::fromUtf8("ñ");
    QTest::newRow("prefix pipe") << int(C::kPrefix) << "|"
                                 << ""
                                 << "";
    QTest::newRow("number digit") << int(C::kNumber) << "5"
                                  << "EdFolio"
                                  << "5";
    QTest::newRow("number letter") << int(C::kNumber) << "a"
                                   << ""
                                   << "";
    QTest::newRow("number minus") << int(C::kNumber) << "-"
                                  << ""
                                  << "";
    QTest::newRow("suffix space") << int(C::kSuffix) << " "
                                  << "EdSuf"
                                  << " ";
    QTest::newRow("horizontal digit") << int(C::kHorizontal) << "3"
                                      << "EdPosH"
                                      << "3";
    QTest::newRow("horizontal point") << int(C::kHorizontal) << "."
                                      << ""
                                      << "";
    QTest::newRow("vertical letter") << int(C::kVertical) << "x"
                                     << ""
                                     << "";
    QTest::newRow("rotation 9") << int(C::kRotation) << "9"
                                << "EdGiro"
                                << "090";
    QTest::newRow("rotation 1") << int(C::kRotation) << "1"
                                << "EdGiro"
                                << "180";
    QTest::newRow("rotation 2") << int(C::kRotation) << "2"
                                << "EdGiro"
                                << "270";
    QTest::newRow("rotation 5") << int(C::kRotation) << "5"
                                << "EdGiro"
                                << "000";
    QTest::newRow("mask digit") << int(C::kMask) << "7"
                                << "EdMasc"
                                << "7";
    QTest::newRow("size digit") << int(C::kSize) << "3"
                                << "EdLetTam"
                                << "3";
    QTest::newRow("size letter") << int(C::kSize) << "a"
                                 << ""
                                 << "";
    QTest::newRow("position digit") << int(C::kPosition) << "1"
                                    << ""
                                    << "";
    QTest::newRow("colour digit") << int(C::kColour) << "1"
                                  << ""
                                  << "";
    QTest::newRow("direction letter") << int(C::kDirection) << "R"
                                      << ""
                                      << "";
  }

  void typedCharacterOpensEditor() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, editor);
    QFETCH(QString, text);
    AddRows(1);
    ClickCell(Grid(), 0, column);
    TypeText(typed);
    QWidget* open = editor_->OpenEditor();
    if (editor.isEmpty()) {
      QVERIFY(open == nullptr);
      QCOMPARE(editor_->Table().Cell(0, column), Table0Defaults(column));
      return;
    }
    QVERIFY(open != nullptr);
    QCOMPARE(open->objectName(), editor);
    QVERIFY(open->hasFocus() || open->isAncestorOf(QApplication::focusWidget()));
    if (auto* edit = qobject_cast<QLineEdit*>(open)) {
      QCOMPARE(edit->text(), text);
      QVERIFY(!edit->hasSelectedText());
      QCOMPARE(edit->cursorPosition(), int(text.size()));
    } else {
      QCOMPARE(qobject_cast<QComboBox*>(open)->currentText(), text);
    }
  }

  void typedLetterSelectsFirstFontWithIt() {
    AddRows(1);
    ClickCell(Grid(), 0, C::kFont);
    TypeText("l");
    QComboBox* fonts = List(C::kFont);
    QCOMPARE(editor_->OpenEditor(), fonts);
    QVERIFY(fonts->currentIndex() >= 0);
    QVERIFY(fonts->currentText().startsWith("L", Qt::CaseInsensitive));
    for (int i = 0; i < fonts->currentIndex(); ++i) {
      QVERIFY(!fonts->itemText(i).startsWith("l", Qt::CaseInsensitive));
    }
    PressKey(Qt::Key_Return);
    QCOMPARE(ToQString(Cell(0, C::kFont)), fonts->currentText());
  }

  void fontListIsSortedWithoutRegardToCase() {
    QComboBox* fonts = List(C::kFont);
    QVERIFY(fonts->findText("Default") >= 0);
    QVERIFY(fonts->count() > 3);
    for (int i = 1; i < fonts->count(); ++i) {
      QVERIFY2(
          QString::compare(fonts->itemText(i - 1), fonts->itemText(i), Qt::CaseInsensitive) <= 0,
          qPrintable(fonts->itemText(i)));
    }
  }

  // ---- opening by double-click or Enter -------------------------------

  void doubleClickShowsCellSelected_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");
    QTest::newRow("suffix") << int(C::kSuffix) << "Sx";
    QTest::newRow("number") << int(C::kNumber) << "1500";
    QTest::newRow("horizontal") << int(C::kHorizontal) << "3.50";
    QTest::newRow("size") << int(C::kSize) << "14";
  }

  void doubleClickShowsCellSelected() {
    QFETCH(int, column);
    QFETCH(QString, expected);
    Load({"|FOL|01|F-|1500|Sx|3.50|25.00|90|06|Arial|14|255|R||"});
    DoubleClickCell(Grid(), 0, column);
    QWidget* open = editor_->OpenEditor();
    QVERIFY(open != nullptr);
    QLineEdit* edit = qobject_cast<QLineEdit*>(open);
    if (edit == nullptr) edit = qobject_cast<QComboBox*>(open)->lineEdit();
    QCOMPARE(edit->text(), expected);
    QCOMPARE(edit->selectedText(), expected);
  }

  void rotationListFollowsTheCell_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::newRow("new row 0.00") << "0.00" << 0;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("000") << "000" << 0;
    QTest::newRow("90") << "90" << 1;
    QTest::newRow("270.0") << "270.0" << 3;
    QTest::newRow("45") << "45" << -1;
    QTest::newRow("text") << "abc" << -1;
  }

  void rotationListFollowsTheCell() {
    QFETCH(QString, stored);
    QFETCH(int, index);
    Load({"|FOL|01||0||0.00|0.00|" + FromQString(stored) + "|04|Arial|12|0|A||"});
    ClickCell(Grid(), 0, C::kRotation);
    PressKey(Qt::Key_Return);
    QCOMPARE(editor_->OpenEditor(), List(C::kRotation));
    QCOMPARE(List(C::kRotation)->currentIndex(), index);
  }

  void rotationByDigitStoresAndReopens() {
    AddRows(1);
    ClickCell(Grid(), 0, C::kRotation);
    TypeText("9");
    PressKey(Qt::Key_Return);
    QCOMPARE(Cell(0, C::kRotation), std::string("90"));
    QVERIFY(editor_->OpenEditor() == nullptr);
    QVERIFY(Grid()->hasFocus());
    DoubleClickCell(Grid(), 0, C::kRotation);
    QCOMPARE(List(C::kRotation)->currentText(), QString("090"));
  }

  void upAndDownInRotationListChangeTheAngle() {
    AddRows(2);
    ClickCell(Grid(), 0, C::kRotation);
    PressKey(Qt::Key_Return);
    QCOMPARE(List(C::kRotation)->currentText(), QString("000"));
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Down);
    QCOMPARE(List(C::kRotation)->currentText(), QString("180"));
    PressKey(Qt::Key_Up);
    QCOMPARE(Grid()->CurrentRow(), 0);
    QCOMPARE(editor_->OpenEditor(), List(C::kRotation));
    PressKey(Qt::Key_Return);
    QCOMPARE(Cell(0, C::kRotation), std::string("90"));
  }

  void fontNotInstalledSelectsNothingAndStoresArial() {
    Load({"|FOL|01||0||0.00|0.00|0|04|NoSuchFont Zirvo|12|0|A||"});
    DoubleClickCell(Grid(), 0, C::kFont);
    QCOMPARE(editor_->OpenEditor(), List(C::kFont));
    QCOMPARE(List(C::kFont)->currentIndex(), -1);
    PressKey(Qt::Key_Return);
    QCOMPARE(Cell(0, C::kFont), std::string("Arial"));
  }

  void columnsWithoutEditorDoNothing() {
    AddRows(1);
    // The last column opens the barcode dialog (barcodeColumnOpensItsDialog),
    // the position the numbering dialog (numberingDialogSetsTheRowsRule):
    // neither opens an editor in the cell.
    for (int column : {int(C::kPosition)}) {
      ModalAnswer dialog("zirvo::NumberingDialog",
                         [](QWidget* shown) { QTest::keyClick(shown, Qt::Key_Escape); });
      DoubleClickCell(Grid(), 0, column);
      QVERIFY(dialog.Answered());
      QVERIFY(editor_->OpenEditor() == nullptr);
    }
  }

  // ---- what a commit stores -------------------------------------------

  void enterCommitsByTheColumnsRule_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");  // typed on the grid, then into the editor
    QTest::addColumn<QString>("stored");
    QTest::newRow("mask 7") << int(C::kMask) << "7"
                            << "07";
    QTest::newRow("mask 15 capped") << int(C::kMask) << "15"
                                    << "12";
    QTest::newRow("number leading zeros") << int(C::kNumber) << "0012"
                                          << "12";
    QTest::newRow("number letters refused") << int(C::kNumber) << "4a2"
                                            << "42";
    QTest::newRow("horizontal rounded") << int(C::kHorizontal) << "3.456"
                                        << "3.46";
    QTest::newRow("horizontal second point") << int(C::kHorizontal) << "1.2.5"
                                             << "1.25";
    QTest::newRow("vertical whole") << int(C::kVertical) << "25"
                                    << "25.00";
    QTest::newRow("prefix keeps blanks") << int(C::kPrefix) << "F- "
                                         << "F- ";
    QTest::newRow("prefix pipe refused") << int(C::kPrefix) << "a|b"
                                         << "ab";
    QTest::newRow("prefix 15 at most") << int(C::kPrefix) << "ABCDEFGHIJKLMNOPQ"
                                       << "ABCDEFGHIJKLMNO";
    QTest::newRow("size free text") << int(C::kSize) << "36"
                                    << "36";
  }

  void enterCommitsByTheColumnsRule() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    AddRows(1);
    ClickCell(Grid(), 0, column);
    TypeText(typed);
    PressKey(Qt::Key_Return);
    QVERIFY(editor_->OpenEditor() == nullptr);
    QCOMPARE(ToQString(Cell(0, column)), stored);
    QVERIFY(Grid()->hasFocus());
  }

  // Ctrl+A selects the open editor's whole text; a size is stored as typed,
  // not completed to an entry. Escape stores nothing and the editor reopens
  // on the cell's text.
  void ctrlAAndEscapeInAnOpenEditor_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");  // on the grid, opening the editor
    QTest::addColumn<QString>("then");   // after Ctrl+A, then Enter; empty: Escape
    QTest::addColumn<QString>("stored");
    const auto row = [](const char* name, int column, QString typed, QString then, QString stored) {
      QTest::newRow(name) << column << typed << then << stored;
    };
    row("horizontal", C::kHorizontal, "2", "2.00", "2.00");
    row("size, not 36", C::kSize, "20", "3", "3");
    row("number, Escape", C::kNumber, "987", "", "0");
    row("size, Escape", C::kSize, "48", "", "12");
    row("rotation, Escape", C::kRotation, "9", "", "0.00");
  }

  void ctrlAAndEscapeInAnOpenEditor() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, then);
    QFETCH(QString, stored);
    AddRows(1);
    ClickCell(Grid(), 0, column);
    TypeText(typed);
    if (!then.isEmpty()) {
      PressKey(Qt::Key_A, Qt::ControlModifier);
      TypeText(then);
    }
    PressKey(then.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
    QVERIFY(editor_->OpenEditor() == nullptr);
    QVERIFY(Grid()->hasFocus());
    QCOMPARE(ToQString(Cell(0, column)), stored);
    PressKey(Qt::Key_Return);
    if (QLineEdit* edit = Edit(column)) QCOMPARE(edit->text(), stored);
  }

  void minusTypedInFrontMakesNegativeNumber() {
    AddRows(1);
    ClickCell(Grid(), 0, C::kNumber);
    TypeText("5");
    PressKey(Qt::Key_Home);
    TypeText("-");
    QCOMPARE(Edit(C::kNumber)->text(), QString("-5"));
    TypeText("-");  // a second minus never enters
    QCOMPARE(Edit(C::kNumber)->text(), QString("-5"));
    PressKey(Qt::Key_Return);
    QCOMPARE(Cell(0, C::kNumber), std::string("-5"));
  }

  void directionTogglesInPlace() {
    AddRows(1);
    ClickCell(Grid(), 0, C::kDirection);
    PressKey(Qt::Key_Return);
    QCOMPARE(Cell(0, C::kDirection), std::string("R"));
    DoubleClickCell(Grid(), 0, C::kDirection);
    QCOMPARE(Cell(0, C::kDirection), std::string("A"));
    QVERIFY(editor_->OpenEditor() == nullptr);
  }

  void colourDialogOpensOnTheCellsColour_data() {
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("stored");
    QTest::newRow("blue chosen") << true << "16711680";
    QTest::newRow("cancelled") << false << "255";
  }

  void colourDialogOpensOnTheCellsColour() {
    QFETCH(bool, accept);
    QFETCH(QString, stored);
    Load({"|FOL|01||0||0.00|0.00|0|04|Arial|12|255|A||"});
    QColor initial;
    ModalAnswer answer("QColorDialog", [&](QWidget* widget) {
      auto* dialog = static_cast<QColorDialog*>(widget);
      initial = dialog->currentColor();
      dialog->setCurrentColor(QColor(0, 0, 255));
      accept ? dialog->accept() : dialog->reject();
    });
    DoubleClickCell(Grid(), 0, C::kColour);
    QVERIFY(answer.Answered());
    QCOMPARE(initial, QColor(255, 0, 0));
    QCOMPARE(ToQString(Cell(0, C::kColour)), stored);
  }

  // ---- failures keep the editor open ----------------------------------

  void failedCommitKeepsEditorOpen_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("lone minus in position") << int(C::kHorizontal) << "-"
                                            << "'-' is not a valid floating point value";
    QTest::newRow("lone minus in number") << int(C::kNumber) << "-"
                                          << "'-' is not a valid integer value";
    QTest::newRow("lone minus in mask") << int(C::kMask) << "-"
                                        << "'-' is not a valid integer value";
    QTest::newRow("number beyond 32 bits") << int(C::kNumber) << "99999999999"
                                           << "'99999999999' is not a valid integer value";
    QTest::newRow("number below 32 bits") << int(C::kNumber) << "-2147483649"
                                          << "'-2147483649' is not a valid integer value";
  }

  void failedCommitKeepsEditorOpen() {
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, message);
    AddRows(2);
    ClickCell(Grid(), 0, column);
    const std::string before = Cell(0, column);
    TypeText("1");
    PressKey(Qt::Key_Backspace);
    TypeText(text);
    QCOMPARE(Edit(column)->text(), text);

    for (int attempt = 0; attempt < 3; ++attempt) {
      auto box = DismissMessageBox();
      switch (attempt) {
        case 0:
          PressKey(Qt::Key_Return);
          break;  // Enter
        case 1:
          ClickCell(Grid(), 1, column);
          break;  // a click on another cell
        case 2:
          PressKey(Qt::Key_Down, Qt::ControlModifier);
          break;  // a Ctrl move
      }
      QVERIFY(box->Answered());
      QCOMPARE(box->SeenText(), message);
      QCOMPARE(editor_->OpenEditor(), Edit(column));
      QCOMPARE(Edit(column)->text(), text);
      QCOMPARE(Cell(0, column), before);
      QCOMPARE(Grid()->CurrentRow(), 0);
    }
    Reactivate();
    QTRY_VERIFY(Edit(column)->hasFocus());
  }

  void pastedPipeAndForeignCharactersRefusedAtCommit_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("typed");  // what the same keystrokes leave
    QTest::addColumn<QString>("message");
    QTest::newRow("pipe") << "a|b"
                          << "ab" << ToQString(OwnText(OwnMessage::PipeInText, "a|b"));
    // The message names the very characters, not a stand-in for them.
    QTest::newRow("omega") << QString::fromUtf8("aΩb") << QString::fromUtf8("aΩb")
                           << ToQString(OwnText(OwnMessage::NotCp1252, "aΩb"));
    QTest::newRow("l with stroke") << QString::fromUtf8("Łódź ✓") << QString::fromUtf8("Łódź ✓")
                                   << ToQString(OwnText(OwnMessage::NotCp1252, "Łódź ✓"));
  }

  void pastedPipeAndForeignCharactersRefusedAtCommit() {
    QFETCH(QString, pasted);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    AddRows(1);
    ClickCell(Grid(), 0, C::kPrefix);
    TypeText("x");
    PressKey(Qt::Key_Backspace);
    TypeText(pasted);  // keystrokes: "|" does not enter, the rest waits for the commit
    QCOMPARE(Edit(C::kPrefix)->text(), typed);
    QGuiApplication::clipboard()->setText(pasted);
    Edit(C::kPrefix)->selectAll();
    PressKey(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Edit(C::kPrefix)->text(), pasted);
    auto box = DismissMessageBox();
    PressKey(Qt::Key_Return);
    QVERIFY(box->Answered());
    QCOMPARE(box->SeenText(), message);
    QCOMPARE(editor_->OpenEditor(), Edit(C::kPrefix));
    QCOMPARE(Cell(0, C::kPrefix), std::string());
  }

  // ---- keys inside an open editor --------------------------------------

  void ctrlDownCommitsIntoTheEditorsOwnRow() {
    AddRows(3);
    ClickCell(Grid(), 0, C::kPrefix);
    TypeText("AB");
    PressKey(Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(Cell(0, C::kPrefix), std::string("AB"));
    QCOMPARE(Cell(1, C::kPrefix), std::string());
    QCOMPARE(Grid()->CurrentRow(), 1);
    QVERIFY(editor_->OpenEditor() == nullptr);
    QVERIFY(Grid()->hasFocus());
  }

  void ctrlMoveOnTheEdgeLeavesEditorOpen_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("key");
    QTest::newRow("Ctrl+Down on the last row") << 2 << int(Qt::Key_Down);
    QTest::newRow("Ctrl+End on the last row") << 2 << int(Qt::Key_End);
    QTest::newRow("Ctrl+Up on the first row") << 0 << int(Qt::Key_Up);
    QTest::newRow("Ctrl+Page Up on the first row") << 0 << int(Qt::Key_PageUp);
  }

  void ctrlMoveOnTheEdgeLeavesEditorOpen() {
    QFETCH(int, row);
    QFETCH(int, key);
    AddRows(3);
    ClickCell(Grid(), row, C::kPrefix);
    TypeText("X");
    PressKey(key, Qt::ControlModifier);
    QCOMPARE(editor_->OpenEditor(), Edit(C::kPrefix));
    QVERIFY(Edit(C::kPrefix)->hasFocus());
    QCOMPARE(Edit(C::kPrefix)->text(), QString("X"));
    QCOMPARE(Cell(row, C::kPrefix), std::string());
    QCOMPARE(Grid()->CurrentRow(), row);
  }

  void ctrlMovesTheCurrentRow_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    QTest::newRow("Ctrl+Home") << 4 << int(Qt::Key_Home) << 0;
    QTest::newRow("Ctrl+End") << 1 << int(Qt::Key_End) << 29;
    QTest::newRow("Ctrl+Up") << 4 << int(Qt::Key_Up) << 3;
    QTest::newRow("Ctrl+Page Down") << 0 << int(Qt::Key_PageDown) << -1;  // one page
    QTest::newRow("Ctrl+Page Up near the top") << 2 << int(Qt::Key_PageUp) << 0;
  }

  void ctrlMovesTheCurrentRow() {
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);
    AddRows(30);
    if (to < 0) to = from + Grid()->VisibleRowCount();
    ClickCell(Grid(), Grid()->CurrentRow(), C::kSuffix);  // the new last row is in view
    PressKey(Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < from; ++i) PressKey(Qt::Key_Down);
    QCOMPARE(Grid()->CurrentRow(), from);
    TypeText("s");
    PressKey(key, Qt::ControlModifier);
    QCOMPARE(Grid()->CurrentRow(), to);
    QCOMPARE(Cell(from, C::kSuffix), std::string("s"));
    QVERIFY(editor_->OpenEditor() == nullptr);
    QVERIFY(Grid()->hasFocus());
  }

  void plainArrowsInAnEditCommitAndMove() {
    AddRows(3);
    ClickCell(Grid(), 1, C::kHorizontal);
    TypeText("2");
    PressKey(Qt::Key_Down);
    QCOMPARE(Cell(1, C::kHorizontal), std::string("2.00"));
    QCOMPARE(Grid()->CurrentRow(), 2);
    TypeText("3");
    PressKey(Qt::Key_Down);  // on the last row: stored, the row stays
    QCOMPARE(Cell(2, C::kHorizontal), std::string("3.00"));
    QCOMPARE(Grid()->CurrentRow(), 2);
    QVERIFY(Grid()->hasFocus());
    TypeText("4");
    PressKey(Qt::Key_PageUp);
    QCOMPARE(Cell(2, C::kHorizontal), std::string("4.00"));
    QCOMPARE(Grid()->CurrentRow(), 0);
  }

  void ctrlSwallowsOtherKeysButKeepsCopyAndPaste() {
    AddRows(1);
    ClickCell(Grid(), 0, C::kSuffix);
    TypeText("abc");
    PressKey(Qt::Key_Left, Qt::ControlModifier);
    PressKey(Qt::Key_Backspace, Qt::ControlModifier);
    QCOMPARE(Edit(C::kSuffix)->text(), QString("abc"));
    QCOMPARE(Edit(C::kSuffix)->cursorPosition(), 3);
    Edit(C::kSuffix)->selectAll();
    PressKey(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("abc"));
    PressKey(Qt::Key_End);
    PressKey(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Edit(C::kSuffix)->text(), QString("abcabc"));
  }

  void gridKeysMoveTheCurrentCell() {
    AddRows(3);
    ClickCell(Grid(), 1, C::kNumber);
    PressKey(Qt::Key_Right);
    QCOMPARE(Grid()->CurrentColumn(), int(C::kSuffix));
    PressKey(Qt::Key_Home);
    QCOMPARE(Grid()->CurrentColumn(), 0);
    PressKey(Qt::Key_End);
    QCOMPARE(Grid()->CurrentColumn(), int(C::kBlank));
    PressKey(Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(Grid()->CurrentRow(), 2);
    PressKey(Qt::Key_Up);
    QCOMPARE(Grid()->CurrentRow(), 1);
    QCOMPARE(editor_->HeaderPanel(C::kBlank)->styleSheet().contains("#ece9d7"), true);
    QCOMPARE(editor_->HeaderPanel(C::kNumber)->styleSheet().contains("#d6dfeb"), true);
  }

  void clickOnTheGridCommitsTheOpenEditor() {
    AddRows(2);
    ClickCell(Grid(), 0, C::kMask);
    TypeText("3");
    ClickCell(Grid(), 1, C::kPrefix);
    QCOMPARE(Cell(0, C::kMask), std::string("03"));
    QCOMPARE(Grid()->CurrentRow(), 1);
    QCOMPARE(Grid()->CurrentColumn(), int(C::kPrefix));
    QVERIFY(editor_->OpenEditor() == nullptr);
  }

  // ---- commands -------------------------------------------------------

  void newRowIsEditedAtOnce_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");  // "" for Enter
    QTest::newRow("Enter on the prefix") << int(C::kPrefix) << "";
    QTest::newRow("digit on the number") << int(C::kNumber) << "7";
  }

  void newRowIsEditedAtOnce() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    AddRows(1);
    ClickCell(Grid(), 0, column);
    Click(EditorCommand::Add);
    QCOMPARE(editor_->Table().RowCount(), 2);
    QCOMPARE(Grid()->CurrentRow(), 1);
    typed.isEmpty() ? PressKey(Qt::Key_Return) : TypeText(typed);
    QCOMPARE(editor_->OpenEditor(), editor_->EditorOf(column));
    QCOMPARE(editor_->EditorRow(), 1);
    TypeText("8");
    PressKey(Qt::Key_Return);
    QCOMPARE(ToQString(Cell(1, column)), typed + "8");
  }

  void ctrlPlusAddsARowAndCommits() {
    AddRows(1);
    ClickCell(Grid(), 0, C::kPrefix);
    TypeText("P");
    PressKey(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(editor_->Table().RowCount(), 2);
    QCOMPARE(Cell(0, C::kPrefix), std::string("P"));
    QCOMPARE(Grid()->CurrentRow(), 1);
    TypeText("Q");
    PressKey(Qt::Key_Equal, Qt::ControlModifier);  // the main keyboard's plus key
    QCOMPARE(editor_->Table().RowCount(), 3);
    QCOMPARE(Cell(1, C::kPrefix), std::string("Q"));
  }

  void sixtyRowsAtMost() {
    for (int i = 0; i < 61; ++i) Click(EditorCommand::Add);
    QCOMPARE(editor_->Table().RowCount(), 60);
    QCOMPARE(Grid()->CurrentRow(), 59);
    QCOMPARE(Cell(59, C::kPosition), std::string("60"));
    TypeText("5");  // opens the prefix editor of the last row
    PressKey(Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(editor_->Table().RowCount(), 60);
    QVERIFY(editor_->OpenEditor() != nullptr);  // nothing happened: still open
  }

  void deleteAsksFirst_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("accepted") << true;
    QTest::newRow("refused") << false;
  }

  void deleteAsksFirst() {
    QFETCH(bool, accept);
    Load({"|FOL|01|A|1|||||||||", "|FOL|02|B|2|||||||||", "|FOL|03|C|3|||||||||"});
    ClickCell(Grid(), 1, C::kPrefix);
    TypeText("typed");
    auto answer = accept ? AcceptConfirmation() : RefuseConfirmation();
    PressKey(Qt::Key_Minus, Qt::ControlModifier);
    QVERIFY(answer->Answered());
    if (!accept) {
      QCOMPARE(editor_->Table().RowCount(), 3);
      QCOMPARE(editor_->OpenEditor(), Edit(C::kPrefix));
      QCOMPARE(Edit(C::kPrefix)->text(), QString("typed"));
      return;
    }
    QCOMPARE(editor_->Table().RowCount(), 2);
    QVERIFY(editor_->OpenEditor() == nullptr);  // closed without a commit
    QCOMPARE(Cell(0, C::kPrefix), std::string("A"));
    QCOMPARE(Cell(1, C::kPrefix), std::string("C"));
    QCOMPARE(Cell(1, C::kPosition), std::string("02"));
    QCOMPARE(Grid()->CurrentRow(), 1);
  }

  void deletingTheLastRowHidesTheGrid() {
    AddRows(1);
    auto answer = AcceptConfirmation();
    Click(EditorCommand::Delete);
    QVERIFY(answer->Answered());
    QVERIFY(editor_->Table().Empty());
    QVERIFY(Grid()->isHidden());
    auto again = AcceptConfirmation();  // an empty table still asks
    Click(EditorCommand::Delete);
    QVERIFY(again->Answered());
    QVERIFY(editor_->Table().Empty());
  }

  void loadAndClearCloseTheEditorWithoutCommit() {
    AddRows(1);
    ClickCell(Grid(), 0, C::kPrefix);
    TypeText("lost");
    Load({"|FOL|01|Loaded|5|||||||||"});
    QVERIFY(editor_->OpenEditor() == nullptr);
    QCOMPARE(Cell(0, C::kPrefix), std::string("Loaded"));
    QCOMPARE(Grid()->CurrentRow(), 0);
    QVERIFY(!Grid()->isHidden());
    ClickCell(Grid(), 0, C::kNumber);
    TypeText("9");
    doc_.Clear();
    QVERIFY(editor_->OpenEditor() == nullptr);
    QVERIFY(editor_->Table().Empty());
    QVERIFY(Grid()->isHidden());
    QCOMPARE(Edit(C::kNumber)->text(), QString("0"));
    QCOMPARE(Edit(C::kHorizontal)->text(), QString("0.00"));
    QCOMPARE(List(C::kRotation)->currentIndex(), -1);
    QCOMPARE(List(C::kSize)->currentText(), QString("12"));
  }

  void exportAndSaveIgnoreTheOpenEditor() {
    AddRows(2);
    ClickCell(Grid(), 1, C::kNumber);
    TypeText("77");
    const NumeratorList records = doc_.ToPrintJob().Numerators;
    QCOMPARE(records.size(), std::size_t(2));
    QCOMPARE(records[1].Number, 0);
    QCOMPARE(records[1].Position, 2);
    const TemplateLines lines = testing::SplitLines(EncodeTemplate(doc_, "/t/Caja.pla"));
    QCOMPARE(lines.size(), std::size_t(3));
    QCOMPARE(lines[2], std::string("|FOL|02||0||0.00|0.00|0.00|04|Arial|12|0|A||"));
  }

  void incrementAppliesToEveryNumber_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("message");
    QTest::newRow("minus 25") << "-25"
                              << "-15"
                              << "75"
                              << "";
    QTest::newRow("empty") << ""
                           << "10"
                           << "100"
                           << "";
    QTest::newRow("lone minus") << "-"
                                << "0010"
                                << "100"
                                << "'-' is not a valid integer value";
    QTest::newRow("beyond 32 bits") << "3000000000"
                                    << "0010"
                                    << "100"
                                    << "'3000000000' is not a valid integer value";
  }

  void incrementAppliesToEveryNumber() {
    QFETCH(QString, typed);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, message);
    Load({"|FOL|01||0010|||||||||", "|FOL|02||100|||||||||"});
    ClickCell(Grid(), 1, C::kSuffix);
    auto answer = AnswerIncrement(typed);
    auto box = DismissMessageBox();
    Click(EditorCommand::Increment);
    QVERIFY(answer->Answered());
    QCOMPARE(box->Answered(), !message.isEmpty());
    if (!message.isEmpty()) QCOMPARE(box->SeenText(), message);
    QCOMPARE(ToQString(Cell(0, C::kNumber)), first);
    QCOMPARE(ToQString(Cell(1, C::kNumber)), second);
    QCOMPARE(Grid()->CurrentRow(), 1);
  }

  void displacementMovesEveryNumerator() {
    Load({"|FOL|01||0||1.00|2.00|||||||", "|FOL|02||0||||||||||"});
    auto answer = AnswerDisplacement("1.5", "");
    Click(EditorCommand::Move);
    QVERIFY(answer->Answered());
    QCOMPARE(Cell(0, C::kHorizontal), std::string("2.50"));
    QCOMPARE(Cell(0, C::kVertical), std::string("2.00"));
    QCOMPARE(Cell(1, C::kHorizontal), std::string("1.50"));
    QCOMPARE(Cell(1, C::kVertical), std::string("0.00"));
  }

  // An editor left open commits before Increment and Move change every row,
  // so its older text never comes back over their result; one that does not
  // commit stops the command.
  void openEditorCommitsBeforeIncrementAndMove() {
    Load({"|FOL|01||0010||1.00||||||||", "|FOL|02||100|||||||||"});
    ClickCell(Grid(), 0, C::kNumber);
    TypeText("40");
    auto answer = AnswerIncrement("5");
    Click(EditorCommand::Increment);
    QVERIFY(answer->Answered());
    QVERIFY(editor_->OpenEditor() == nullptr);
    QCOMPARE(Cell(0, C::kNumber), std::string("45"));
    QCOMPARE(Cell(1, C::kNumber), std::string("105"));
    ClickCell(Grid(), 1, C::kNumber);  // nothing of the old editor comes back
    QCOMPARE(Cell(0, C::kNumber), std::string("45"));

    ClickCell(Grid(), 0, C::kHorizontal);
    TypeText("3");
    auto moved = AnswerDisplacement("1", "");
    Click(EditorCommand::Move);
    QVERIFY(moved->Answered());
    QCOMPARE(Cell(0, C::kHorizontal), std::string("4.00"));

    ClickCell(Grid(), 0, C::kPrefix);
    TypeText("x");
    QGuiApplication::clipboard()->setText("a|b");
    Edit(C::kPrefix)->selectAll();
    PressKey(Qt::Key_V, Qt::ControlModifier);
    auto box = DismissMessageBox();
    ModalAnswer noDialog("zirvo::IncrementDialog",
                         [](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
    Click(EditorCommand::Increment);
    QVERIFY(box->Answered());
    QVERIFY(!noDialog.Answered());
    QCOMPARE(editor_->OpenEditor(), Edit(C::kPrefix));
    QCOMPARE(Cell(0, C::kNumber), std::string("45"));
  }

  void generalOperationsOnAnEmptyTableOpenNoDialog() {
    ModalAnswer any("QDialog", [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    Click(EditorCommand::Increment);
    Click(EditorCommand::Move);
    QTest::qWait(50);
    QVERIFY(!any.Answered());
  }

  // ---- captions and the sheet-size label ------------------------------

  void sheetSizeLabelShowsTwoDecimals_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("label");
    QTest::newRow("custom") << 21.6 << 28.0
                            << QString::fromUtf8("Tamaño de Hoja:   (21.60 cm)   (28.00 cm)");
    QTest::newRow("rounded") << 21.59999 << 27.944
                             << QString::fromUtf8("Tamaño de Hoja:   (21.60 cm)   (27.94 cm)");
  }

  void sheetSizeLabelShowsTwoDecimals() {
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QString, label);
    ShowSheet(width, height);
    QCOMPARE(editor_->SheetSizeLabel()->text(), label);
  }

  void languageSwitchChangesCaptionsNotTheSheetLabel() {
    ShowSheet(21.5, 28.0);
    const QString spanishLabel = editor_->SheetSizeLabel()->text();
    QCOMPARE(editor_->HeaderPanel(C::kNumber)->text(), QString::fromUtf8("Número"));
    ProgramCatalog().LoadTable(2);
    editor_->ApplyLanguage();
    QCOMPARE(editor_->HeaderPanel(C::kNumber)->text(), QString("Number"));
    QCOMPARE(editor_->HeaderPanel(C::kMask)->text(), QString("Mask"));
    QCOMPARE(editor_->TitleLabel()->text(), QString("Numerator features"));
    QCOMPARE(editor_->CommandButton(EditorCommand::Increment)->text(), QString("Increase"));
    QCOMPARE(editor_->SheetSizeLabel()->text(), spanishLabel);
    ShowSheet(21.5, 28.0);
    QCOMPARE(editor_->SheetSizeLabel()->text(), QString("Sheet size:   (21.50 cm)   (28.00 cm)"));
    ProgramCatalog().LoadTable(1);
    editor_->ApplyLanguage();
    QCOMPARE(editor_->HeaderPanel(C::kBlank)->text(), QString());
  }

  // ---- the barcode column ------------------------------------------------

  // Enter or a click on the last column opens the barcode dialog; its choice
  // goes to the document, a refused one keeps the dialog open with the
  // reason, and the column marks the rows that carry a barcode.
  void barcodeColumnOpensItsDialog() {
    AddRows(2);
    doc_.CommitCell(TemplateTable::Numerators, 1, C::kPrefix, "ab");
    const auto typeInto = [](QWidget* dialog, const char* name, const QString& text) {
      auto* edit = dialog->findChild<QLineEdit*>(name);
      edit->selectAll();
      QTest::keyClick(edit, Qt::Key_Backspace);
      QTest::keyClicks(edit, text);
    };
    const auto choose = [](QWidget* dialog, int downs) {
      auto* kinds = dialog->findChild<QComboBox*>("EdTipo");
      kinds->setFocus();
      for (int i = 0; i < downs; ++i) QTest::keyClick(kinds, Qt::Key_Down);
      return kinds;
    };

    // Row 1 by keys: End reaches the last column, Enter opens; Code 128 below, 1.20 x 4.50.
    ClickCell(Grid(), 0, C::kNumber);
    PressKey(Qt::Key_End);
    QString title;
    {
      ModalAnswer answer("zirvo::BarcodeDialog", [&](QWidget* dialog) {
        title = dialog->findChild<QLabel*>("Pn_Titulo")->text();
        choose(dialog, 2);
        typeInto(dialog, "EdAlto", "1.2");
        typeInto(dialog, "EdLargo", "4.5");
        QVERIFY(dialog->grab().save(ScreenshotPath("barcode_dialog.png")));
        QTest::keyClick(dialog->findChild<QLineEdit*>("EdLargo"), Qt::Key_Return);
      });
      PressKey(Qt::Key_Return);
      QVERIFY(answer.Answered());
    }
    QCOMPARE(title, QString::fromUtf8("Código de barras"));
    const std::optional<BarcodeSetting> set = doc_.Numerators().Barcode(0);
    QVERIFY(set.has_value());
    QCOMPARE(int(set->kind), int(BarcodeKind::Code128));
    QCOMPARE(int(set->line), int(ReadableLine::Below));
    QCOMPARE(set->height, 1.2);
    QCOMPARE(set->length, 4.5);

    // Row 2 by a click: a QR Code has no line above and no length; Escape changes nothing.
    bool aboveEnabled = true, lengthShown = true;
    {
      ModalAnswer answer("zirvo::BarcodeDialog", [&](QWidget* dialog) {
        choose(dialog, 4);
        auto* lines = dialog->findChild<QComboBox*>("EdLegible");
        aboveEnabled = qobject_cast<QStandardItemModel*>(lines->model())->item(1)->isEnabled();
        lengthShown = dialog->findChild<QLineEdit*>("EdLargo")->isVisible();
        QTest::keyClick(dialog->findChild<QComboBox*>("EdTipo"), Qt::Key_Escape);
      });
      ClickCell(Grid(), 1, C::kBlank);
      QVERIFY(answer.Answered());
    }
    QVERIFY(!aboveEnabled);
    QVERIFY(!lengthShown);
    QVERIFY(!doc_.Numerators().Barcode(1).has_value());

    // Code 39 cannot carry the lowercase prefix: the reason is shown and the dialog stays.
    bool stillOpen = false;
    QString reason;
    {
      auto box = DismissMessageBox();
      ModalAnswer answer("zirvo::BarcodeDialog", [&](QWidget* dialog) {
        choose(dialog, 1);
        QTest::keyClick(dialog->findChild<QComboBox*>("EdTipo"), Qt::Key_Return);
        stillOpen = dialog->isVisible();
        reason = box->SeenText();
        QTest::keyClick(dialog->findChild<QComboBox*>("EdTipo"), Qt::Key_Escape);
      });
      ClickCell(Grid(), 1, C::kBlank);
      QVERIFY(answer.Answered());
    }
    QVERIFY(stillOpen);
    QVERIFY2(reason.contains("'ab0000'"), qPrintable(reason));
    QVERIFY(!doc_.Numerators().Barcode(1).has_value());

    // The mark: dark pixels in the last cell of row 1 only.
    ClickCell(Grid(), 1, C::kNumber);
    QTest::qWait(20);
    const QImage image = Grid()->viewport()->grab().toImage();
    auto darkIn = [&](int row) {
      const QRect cell =
          Grid()->CellRect(row, C::kBlank).translated(-Grid()->viewport()->geometry().topLeft());
      int dark = 0;
      for (int x = cell.left() + 1; x < cell.right(); ++x)
        for (int y = cell.top() + 1; y < cell.bottom(); ++y)
          dark += QColor(image.pixel(x, y)).lightness() < 60;
      return dark;
    };
    QVERIFY(darkIn(0) > 10);
    QCOMPARE(darkIn(1), 0);
    QVERIFY(editor_->grab().save(ScreenshotPath("numerator_editor_barcode_mark.png")));

    // The line the file keeps for it.
    const TemplateLines lines = testing::SplitLines(EncodeTemplate(doc_, "/t/Caja.pla"));
    QCOMPARE(QString::fromStdString(lines.back()), QString("|COD|F|01|1|2|1.20|4.50|"));
    // A QR Code's mark is its own.
    doc_.SetBarcode(TemplateTable::Numerators, 1, BarcodeSetting{BarcodeKind::QrCode});
    QTest::qWait(20);
    const QImage marks = Grid()->viewport()->grab().toImage();
    const auto mark = [&](const QImage& from, int row) {
      return from.copy(
          Grid()->CellRect(row, C::kBlank).translated(-Grid()->viewport()->geometry().topLeft()));
    };
    QVERIFY(mark(marks, 1) != mark(marks, 0));
    QVERIFY(mark(marks, 1) != mark(image, 1));  // not blank
  }

  // ---- the numbering dialog ----------------------------------------------

  // Ctrl+R on a row, or Enter or a double-click on its position, opens the
  // row's numbering dialog; its example follows the fields. OK gives the
  // document the rule and the position a mark whose tip tells the rule.
  void numberingDialogSetsTheRowsRule_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("typed");  // K, S, C, then entries down the two lists
    QTest::addColumn<QString>("example");
    QTest::addColumn<QString>("tip");
    QTest::newRow("Ctrl+R, step and Luhn")
        << "ctrl+r" << 1 << QStringList{"4", "1", "0", "1", "0"}
        << "Con incremento 1, las hojas 1, 2 y 3 imprimen: N-00075, N-00117, N-00158"
        << QString::fromUtf8(
               "Regla de numeración: avanza 4 veces el incremento; dígito de "
               "control MOD 10 (Luhn).");
    QTest::newRow("double-click, English")
        << "double-click" << 2 << QStringList{"1", "2", "3", "3", "0"}
        << "With increment 1, sheets 1, 2 and 3 print: N-00078, N-00078, N-00086"
        << "Numbering rule: changes every 2 sheets; starts again after 3 numbers; check "
           "digit MOD 11.";
    // A stub: the row's own fields are greyed and left out.
    QTest::newRow("Home Enter, a stub")
        << "home enter" << 1 << QStringList{"9", "9", "9", "1", "1"}
        << "Con incremento 1, las hojas 1, 2 y 3 imprimen: T-0500, T-0501, T-0502"
        << QString::fromUtf8("Regla de numeración: repite el número del numerador 01.");
  }

  void numberingDialogSetsTheRowsRule() {
    QFETCH(QString, how);
    QFETCH(int, language);
    QFETCH(QStringList, typed);
    QFETCH(QString, example);
    QFETCH(QString, tip);
    ProgramCatalog().LoadTable(language);
    Load({"|FOL|01|R-|500||0.00|0.00|0|04|Arial|12|0|A||",
          "|FOL|02|N-|7||0.00|0.00|0|04|Arial|12|0|A||"});
    const bool stub = typed[4] != "0";
    if (stub) doc_.CommitCell(TemplateTable::Numerators, 1, C::kPrefix, "T-");
    QString shownExample;
    bool ownFieldsEnabled = true;
    {
      ModalAnswer answer("zirvo::NumberingDialog", [&](QWidget* dialog) {
        FillNumbering(dialog, typed);
        ownFieldsEnabled = dialog->findChild<QLineEdit*>("EdMultiplica")->isEnabled();
        shownExample = dialog->findChild<QLabel*>("Et_Ejemplo")->text();
        QVERIFY(
            dialog->grab().save(ScreenshotPath(QString("numbering_dialog_%1.png").arg(language))));
        QTest::keyClick(dialog->findChild<QLineEdit*>("EdCiclo"), Qt::Key_Return);
      });
      if (how == "ctrl+r") {
        ClickCell(Grid(), 1, C::kNumber);
        PressKey(Qt::Key_R, Qt::ControlModifier);
      } else if (how == "double-click") {
        DoubleClickCell(Grid(), 1, C::kPosition);
      } else {
        ClickCell(Grid(), 1, C::kSuffix);
        PressKey(Qt::Key_Home);
        PressKey(Qt::Key_Return);
      }
      QVERIFY(answer.Answered());
    }
    QCOMPARE(shownExample, example);
    QCOMPARE(ownFieldsEnabled, !stub);
    QVERIFY(!doc_.Numerators().Rule(1).Plain());
    QVERIFY(doc_.Numerators().Rule(0).Plain());

    // The mark: the frame's blue in the top-right corner of the position.
    ClickCell(Grid(), 0, C::kNumber);
    QTest::qWait(20);
    const QImage image = Grid()->viewport()->grab().toImage();
    const auto cornerOf = [&](int row) {
      return Grid()->CellRect(row, C::kPosition).topRight() - Grid()->viewport()->pos() +
             QPoint(-1, 1);
    };
    QCOMPARE(QColor(image.pixel(cornerOf(1))), QColor(0x00, 0x33, 0x99));
    QVERIFY(QColor(image.pixel(cornerOf(0))) != QColor(0x00, 0x33, 0x99));
    const auto tipAt = [&](int row) {
      QHelpEvent help(QEvent::ToolTip, cornerOf(row),
                      Grid()->viewport()->mapToGlobal(cornerOf(row)));
      QApplication::sendEvent(Grid()->viewport(), &help);
      return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QTRY_COMPARE(tipAt(1), tip);
    QTRY_COMPARE(tipAt(0), QString());
    if (language == 1)
      QVERIFY(editor_->grab().save(ScreenshotPath("numerator_editor_rule_mark.png")));
    ProgramCatalog().LoadTable(1);
  }

  // A rule the document refuses shows why and keeps the dialog open with the
  // values typed; Cancel then changes nothing. No row may repeat itself.
  void numberingDialogRefusals_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("typed");  // K, then entries down the two lists
    QTest::addColumn<QString>("reason");
    QTest::newRow("repeats a stub")
        << 2 << QStringList{"1", "0", "2"}
        << "El numerador 2 ya repite otro numerador: repita el numerador original.";
    QTest::newRow("check digit on EAN-13")
        << 0 << QStringList{"1", "1", "0"}
        << QString::fromUtf8(
               "El numerador 1 lleva un código EAN-13, que tiene su propio dígito "
               "de control: no puede llevar otro.");
  }

  void numberingDialogRefusals() {
    QFETCH(int, row);
    QFETCH(QStringList, typed);
    QFETCH(QString, reason);
    Load({"|FOL|01|123456|789012||0.00|0.00|0|06|Arial|12|0|A||",
          "|FOL|02||1||0.00|0.00|0|04|Arial|12|0|A||",
          "|FOL|03||1||0.00|0.00|0|04|Arial|12|0|A||"});
    doc_.SetBarcode(TemplateTable::Numerators, 0, BarcodeSetting{BarcodeKind::Ean13});
    doc_.SetNumberingRule(1, NumberingRule{.mirror = 1});
    const Template before = doc_;
    QStringList offered;
    QString kept, seen;
    bool stillOpen = false;
    {
      auto box = DismissMessageBox();
      ModalAnswer answer("zirvo::NumberingDialog", [&](QWidget* dialog) {
        FillNumbering(dialog, {typed[0], "", "", typed[1], typed[2]});
        auto* mirrors = dialog->findChild<QComboBox*>("EdRepite");
        for (int i = 0; i < mirrors->count(); ++i) offered << mirrors->itemText(i);
        QTest::keyClick(mirrors, Qt::Key_Return);
        stillOpen = dialog->isVisible();
        seen = box->SeenText();
        kept = dialog->findChild<QLineEdit*>("EdMultiplica")->text();
        QTest::keyClick(mirrors, Qt::Key_Escape);
      });
      DoubleClickCell(Grid(), row, C::kPosition);
      QVERIFY(answer.Answered());
    }
    QVERIFY(stillOpen);
    QCOMPARE(seen, reason);
    QCOMPARE(kept, typed[0]);
    QVERIFY(doc_ == before);
    QStringList expected{"Ninguno", "01", "02", "03"};
    expected.removeAt(row + 1);
    QCOMPARE(offered, expected);
  }

  // ---- drawing ----------------------------------------------------------

  void cellsAreDrawnByTheirColumn() {
    Load({"|FOL|01|F-|1500||3.50|25.00|90|06|Arial|14|255|R||",
          "|FOL|02|A very long prefix!|7||0.00|0.00|0|04|Arial|12|16711680|A||"});
    ClickCell(Grid(), 1, C::kNumber);
    QTest::qWait(20);
    const QImage image = Grid()->viewport()->grab().toImage();
    auto pixel = [&](int row, int column, int dx, int dy) {
      const QRect cell =
          Grid()->CellRect(row, column).translated(-Grid()->viewport()->geometry().topLeft());
      return QColor(image.pixel(cell.left() + dx, cell.top() + dy));
    };
    const QRect numberCell = Grid()->CellRect(1, C::kNumber);
    QCOMPARE(pixel(1, C::kNumber, 0, 0), QColor(255, 0, 0));  // red frame of the focused cell
    QCOMPARE(pixel(1, C::kNumber, numberCell.width() - 1, 5), QColor(255, 0, 0));
    QCOMPARE(pixel(1, C::kPosition, 2, 2), QColor(0xEC, 0xE9, 0xD7));  // current row mark
    QCOMPARE(pixel(0, C::kPosition, 2, 2), QColor(0xD6, 0xDF, 0xEB));
    const int swatchX = Grid()->CellRect(0, C::kColour).width() / 2;
    QCOMPARE(pixel(0, C::kColour, swatchX, 9), QColor(255, 0, 0));  // 255 is red
    QCOMPARE(pixel(1, C::kColour, swatchX, 9), QColor(0, 0, 255));
    QCOMPARE(pixel(0, C::kColour, swatchX, 3), QColor(Qt::white));  // 6 pixels high only
    // The ticked icon of "R" holds green; the blank one of "A" does not.
    auto hasGreen = [&](int row) {
      for (int x = 2; x < 18; ++x)
        for (int y = 2; y < 17; ++y)
          if (pixel(row, C::kDirection, x, y).green() > 120 &&
              pixel(row, C::kDirection, x, y).red() < 100)
            return true;
      return false;
    };
    QVERIFY(hasGreen(0));
    QVERIFY(!hasGreen(1));
    // The over-wide prefix is cut at the cell's edge: the next cell stays blank.
    for (int x = 1; x < 6; ++x) QCOMPARE(pixel(1, C::kSuffix, x, 9), QColor(Qt::white));
  }

  // A prefix typed over a cell shows in its editor, and Escape gives the
  // cell back unchanged.
  void escapeDropsWhatWasTypedOverACell() {
    Load({"|FOL|01|F-|1500||3.50|25.00|90|06|Liberation Sans|14|255|R||",
          "|FOL|02|Serie A |000123|/2024|12.00|25.00|0|08|DejaVu Serif|12|32768|A||",
          "|FOL|03|Caja |-5||1.25|2.50|180|04|Default|10|16711680|A||",
          "|FOL|04|Recibo n.o |99||18.75|1.00|270|06|Liberation Mono|9|0|R||"});
    ShowSheet(21.6, 28.0);
    ClickCell(Grid(), 1, C::kHorizontal);
    QTest::qWait(20);
    QVERIFY(editor_->grab().save(ScreenshotPath("numerator_editor.png")));
    ClickCell(Grid(), 2, C::kPrefix);
    TypeText("Caja");
    QTest::qWait(20);
    auto* open = qobject_cast<QLineEdit*>(editor_->OpenEditor());
    QVERIFY(open != nullptr);
    QVERIFY(open->text().contains(QStringLiteral("Caja")));
    QVERIFY(editor_->grab().save(ScreenshotPath("numerator_editor_editing.png")));
    PressKey(Qt::Key_Escape);
    QVERIFY(editor_->OpenEditor() == nullptr);
    QCOMPARE(Cell(2, C::kPrefix), std::string("Caja "));
  }

 private:
  // Types K, S and C into the numbering dialog (an empty text leaves the
  // field), then goes down the check-digit and numerator lists by keys.
  static void FillNumbering(QWidget* dialog, const QStringList& typed) {
    const char* fields[] = {"EdMultiplica", "EdHojasNum", "EdCiclo"};
    for (int i = 0; i < 3; ++i) {
      if (typed[i].isEmpty()) continue;
      auto* edit = dialog->findChild<QLineEdit*>(fields[i]);
      edit->setFocus();
      edit->selectAll();
      QTest::keyClicks(edit, typed[i]);
    }
    for (int i : {3, 4}) {
      auto* list = dialog->findChild<QComboBox*>(i == 3 ? "EdDigito" : "EdRepite");
      list->setFocus();
      for (int down = 0; down < typed[i].toInt(); ++down) QTest::keyClick(list, Qt::Key_Down);
    }
  }

  static std::string Table0Defaults(int column) {
    NumeratorTable table;
    table.AddRow();
    return table.Cell(0, column);
  }
};

QTEST_MAIN(NumeratorEditorTest)
#include "numerator_editor_test.moc"
