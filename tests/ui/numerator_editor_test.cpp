// The numerator editor driven through real key and mouse events: how each
// column's editor opens, what a commit stores, the keys inside an editor, the
// commands, the failure paths and the drawing.
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/qtext_qt.h"
#include "catalog/catalog.h"
#include "numerators/numerator_editor_qt.h"
#include "support/ui_support.h"

using namespace zirvo;
using namespace zirvo::testing;
using C = TFolioTable::CellIndex;

class NumeratorEditorTest : public QObject {
  Q_OBJECT

 private:
  TFHFolio* editor_ = nullptr;

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
  void Load(const std::vector<std::string>& lines) { editor_->LoadFromLines(lines); }

 private slots:
  void initTestCase() {
    PrepareCatalog(1);
    editor_ = new TFHFolio();
    editor_->resize(780, 420);
    editor_->InitEditor();
    QVERIFY(ShowActive(editor_));
  }

  void cleanupTestCase() { delete editor_; }

  void init() {
    editor_->ClearEditor();
    if (!editor_->isActiveWindow()) QVERIFY(ShowActive(editor_));
  }

  // ---- opening an editor by typing on the grid -------------------------

  void typedCharacterOpensEditor_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("editor");  // object name, "" when none opens
    QTest::addColumn<QString>("text");    // the editor's text

    QTest::newRow("prefix letter") << int(C::kPrefix) << "a" << "EdPref" << "a";
    QTest::newRow("prefix enye") << int(C::kPrefix) << QString::fromUtf8("ñ") << "EdPref"
                                 << QString::fromUtf8("ñ");
    QTest::newRow("prefix pipe") << int(C::kPrefix) << "|" << "" << "";
    QTest::newRow("number digit") << int(C::kNumber) << "5" << "EdFolio" << "5";
    QTest::newRow("number letter") << int(C::kNumber) << "a" << "" << "";
    QTest::newRow("number minus") << int(C::kNumber) << "-" << "" << "";
    QTest::newRow("suffix space") << int(C::kSuffix) << " " << "EdSuf" << " ";
    QTest::newRow("horizontal digit") << int(C::kHorizontal) << "3" << "EdPosH" << "3";
    QTest::newRow("horizontal point") << int(C::kHorizontal) << "." << "" << "";
    QTest::newRow("vertical letter") << int(C::kVertical) << "x" << "" << "";
    QTest::newRow("rotation 9") << int(C::kRotation) << "9" << "EdGiro" << "090";
    QTest::newRow("rotation 1") << int(C::kRotation) << "1" << "EdGiro" << "180";
    QTest::newRow("rotation 2") << int(C::kRotation) << "2" << "EdGiro" << "270";
    QTest::newRow("rotation 5") << int(C::kRotation) << "5" << "EdGiro" << "000";
    QTest::newRow("mask digit") << int(C::kMask) << "7" << "EdMasc" << "7";
    QTest::newRow("size digit") << int(C::kSize) << "3" << "EdLetTam" << "3";
    QTest::newRow("size letter") << int(C::kSize) << "a" << "" << "";
    QTest::newRow("position digit") << int(C::kPosition) << "1" << "" << "";
    QTest::newRow("colour digit") << int(C::kColour) << "1" << "" << "";
    QTest::newRow("direction letter") << int(C::kDirection) << "R" << "" << "";
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
      QVERIFY2(QString::compare(fonts->itemText(i - 1), fonts->itemText(i), Qt::CaseInsensitive) <= 0,
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
    for (int column : {int(C::kPosition), int(C::kBlank)}) {
      DoubleClickCell(Grid(), 0, column);
      QVERIFY(editor_->OpenEditor() == nullptr);
      PressKey(Qt::Key_Return);
      QVERIFY(editor_->OpenEditor() == nullptr);
    }
  }

  // ---- what a commit stores -------------------------------------------

  void enterCommitsByTheColumnsRule_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");  // typed on the grid, then into the editor
    QTest::addColumn<QString>("stored");
    QTest::newRow("mask 7") << int(C::kMask) << "7" << "07";
    QTest::newRow("mask 15 capped") << int(C::kMask) << "15" << "12";
    QTest::newRow("number leading zeros") << int(C::kNumber) << "0012" << "12";
    QTest::newRow("number letters refused") << int(C::kNumber) << "4a2" << "42";
    QTest::newRow("horizontal rounded") << int(C::kHorizontal) << "3.456" << "3.46";
    QTest::newRow("horizontal second point") << int(C::kHorizontal) << "1.2.5" << "1.25";
    QTest::newRow("vertical whole") << int(C::kVertical) << "25" << "25.00";
    QTest::newRow("prefix keeps blanks") << int(C::kPrefix) << "F- " << "F- ";
    QTest::newRow("prefix pipe refused") << int(C::kPrefix) << "a|b" << "ab";
    QTest::newRow("prefix 15 at most") << int(C::kPrefix) << "ABCDEFGHIJKLMNOPQ" << "ABCDEFGHIJKLMNO";
    QTest::newRow("size free text") << int(C::kSize) << "36" << "36";
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
    QTest::newRow("lone minus in position")
        << int(C::kHorizontal) << "-" << "'-' is not a valid floating point value";
    QTest::newRow("lone minus in number")
        << int(C::kNumber) << "-" << "'-' is not a valid integer value";
    QTest::newRow("lone minus in mask") << int(C::kMask) << "-" << "'-' is not a valid integer value";
    QTest::newRow("number beyond 32 bits")
        << int(C::kNumber) << "99999999999" << "'99999999999' is not a valid integer value";
    QTest::newRow("number below 32 bits")
        << int(C::kNumber) << "-2147483649" << "'-2147483649' is not a valid integer value";
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
        case 0: PressKey(Qt::Key_Return); break;           // Enter
        case 1: ClickCell(Grid(), 1, column); break;       // a click on another cell
        case 2: PressKey(Qt::Key_Down, Qt::ControlModifier); break;  // a Ctrl move
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
    QTest::addColumn<QString>("message");
    QTest::newRow("pipe") << "a|b" << ToQString(OwnText(OwnMessage::PipeInText, "a|b"));
    QTest::newRow("omega") << QString::fromUtf8("aΩb")
                           << ToQString(OwnText(OwnMessage::NotCp1252, "a?b"));
  }

  void pastedPipeAndForeignCharactersRefusedAtCommit() {
    QFETCH(QString, pasted);
    QFETCH(QString, message);
    AddRows(1);
    ClickCell(Grid(), 0, C::kPrefix);
    TypeText("x");
    PressKey(Qt::Key_Backspace);
    TypeText(pasted);  // keystrokes: the refused characters do not enter
    QVERIFY(!Edit(C::kPrefix)->text().contains('|'));
    QCOMPARE(Edit(C::kPrefix)->text().size(), 2);
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

 private:
  static std::string Table0Defaults(int column) {
    TFolioTable table;
    table.AddRow();
    return table.Cell(0, column);
  }
};

QTEST_MAIN(NumeratorEditorTest)
#include "numerator_editor_test.moc"
