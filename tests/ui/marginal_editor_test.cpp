// The marginal-text editor: where it differs from the numerator editor (the
// 200-character text, the columns that letters open, the rotation's default,
// no increment) and the twin mechanics seen through its own columns.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "editors/marginal_editor_qt.h"
#include "editors/numerator_editor_qt.h"
#include "support/template_lines.h"
#include "support/ui_support.h"
#include "template/template_codec.h"

using namespace zirvo;
using namespace zirvo::testing;
using C = MarginalTable::CellIndex;

class MarginalEditorTest : public QObject {
  Q_OBJECT

 private:
  MarginalEditor* editor_ = nullptr;
  Template doc_;  // the document the editor is a view of

  TableGrid* Grid() const { return editor_->Grid(); }
  std::string Cell(int row, int column) const { return editor_->Table().Cell(row, column); }
  QLineEdit* Edit(int column) const { return qobject_cast<QLineEdit*>(editor_->EditorOf(column)); }
  QComboBox* List(int column) const { return qobject_cast<QComboBox*>(editor_->EditorOf(column)); }

 private slots:
  void initTestCase() {
    PrepareCatalog(1);
    editor_ = new MarginalEditor();
    editor_->SetDocument(&doc_);
    editor_->resize(780, 360);
    editor_->InitEditor();
    QVERIFY(ShowActive(editor_));
  }

  void cleanupTestCase() { delete editor_; }

  void init() { doc_.Clear(); }

  void commandsAndCaptions() {
    QVERIFY(editor_->CommandButton(EditorCommand::Increment) == nullptr);
    QCOMPARE(editor_->CommandButton(EditorCommand::Move)->text(), QString("Mover"));
    QCOMPARE(editor_->TitleLabel()->text(),
             QString::fromUtf8("Características generales de marginal"));
    QCOMPARE(editor_->HeaderPanel(C::kText)->text(), QString("Mensaje"));
    QCOMPARE(editor_->HeaderPanel(C::kBlank)->text(), QString());
    QCOMPARE(editor_->HeaderPanel(C::kText)->width(), 332);
    QVERIFY(Grid()->isHidden());  // no marginal text at first
  }

  // The marginal editor's last column opens the same dialog, in the catalog's language.
  void barcodeDialogInEnglish() {
    editor_->AddRow();
    doc_.CommitCell(TemplateTable::Marginals, 0, C::kText, "LOTE 7");
    ProgramCatalog().LoadTable(2);
    QStringList kinds;
    QString title;
    {
      ModalAnswer answer("zirvo::BarcodeDialog", [&](QWidget* dialog) {
        title = dialog->findChild<QLabel*>("Pn_Titulo")->text();
        auto* list = dialog->findChild<QComboBox*>("EdTipo");
        for (int i = 0; i < list->count(); ++i) kinds << list->itemText(i);
        list->setFocus();
        for (int i = 0; i < 4; ++i) QTest::keyClick(list, Qt::Key_Down);  // QR Code
        QTest::keyClick(list, Qt::Key_Return);
      });
      ClickCell(Grid(), 0, C::kBlank);
      QVERIFY(answer.Answered());
    }
    ProgramCatalog().LoadTable(1);
    QCOMPARE(title, QString("Barcode"));
    QCOMPARE(kinds, (QStringList{"None", "Code 39", "Code 128", "EAN-13", "QR Code"}));
    const TemplateLines lines = testing::SplitLines(EncodeTemplate(doc_, "/t/Caja.pla"));
    QCOMPARE(QString::fromStdString(lines.back()), QString("|COD|M|01|3|2|1.50|0.00|"));
  }

  void typedCharacterOpensEditor_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("editor");
    QTest::newRow("letter on the text") << int(C::kText) << "H"
                                        << "EdMens";
    QTest::newRow("letter on a position") << int(C::kHorizontal) << "H"
                                          << "";
    QTest::newRow("digit on a position") << int(C::kVertical) << "4"
                                         << "EdPosV";
    QTest::newRow("letter on the font") << int(C::kFont) << "d"
                                        << "EdLetNom";
    QTest::newRow("letter on the size") << int(C::kSize) << "d"
                                        << "";
    QTest::newRow("digit on the colour") << int(C::kColour) << "1"
                                         << "";
  }

  void typedCharacterOpensEditor() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, editor);
    QTest::mouseClick(editor_->CommandButton(EditorCommand::Add), Qt::LeftButton);
    ClickCell(Grid(), 0, column);
    TypeText(typed);
    QWidget* open = editor_->OpenEditor();
    QCOMPARE(open != nullptr ? open->objectName() : QString(), editor);
  }

  void textTakesTwoHundredCharacters() {
    editor_->AddRow();
    ClickCell(Grid(), 0, C::kText);
    const QString text = QString("0123456789").repeated(20);
    TypeText(text + "X");
    QCOMPARE(Edit(C::kText)->text(), text);  // the 201st is refused
    PressKey(Qt::Key_Return);
    QCOMPARE(ToQString(Cell(0, C::kText)), text);
    const std::optional<Template> saved =
        DecodeTemplate(EncodeTemplate(doc_, "/t/Caja.pla"), "/t/Caja.pla");
    QVERIFY(saved.has_value());
    doc_.Replace(*saved);
    QCOMPARE(ToQString(Cell(0, C::kText)), text);
  }

  void textKeepsItsBlanksAndRefusesThePipe() {
    editor_->AddRow();
    ClickCell(Grid(), 0, C::kText);
    TypeText("  Copia | archivo  ");
    PressKey(Qt::Key_Return);
    QCOMPARE(Cell(0, C::kText), std::string("  Copia  archivo  "));
  }

  void rotationOfANewRowAndItsChoice() {
    editor_->AddRow();
    DoubleClickCell(Grid(), 0, C::kRotation);
    QCOMPARE(List(C::kRotation)->currentText(), QString("000"));
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Down);
    QCOMPARE(List(C::kRotation)->currentText(), QString("270"));
    PressKey(Qt::Key_Return);
    QCOMPARE(Cell(0, C::kRotation), std::string("270"));
    DoubleClickCell(Grid(), 0, C::kRotation);
    QCOMPARE(List(C::kRotation)->currentText(), QString("270"));
    PressKey(Qt::Key_Return);
  }

  void upAndDownInTheTextMoveAndStore() {
    editor_->AddRow();
    editor_->AddRow();
    ClickCell(Grid(), 0, C::kText);
    TypeText("first");
    PressKey(Qt::Key_Down);
    QCOMPARE(Cell(0, C::kText), std::string("first"));
    QCOMPARE(Grid()->CurrentRow(), 1);
    TypeText("second");
    PressKey(Qt::Key_Up);
    QCOMPARE(Cell(1, C::kText), std::string("second"));
    QCOMPARE(Grid()->CurrentRow(), 0);
  }

  void lonePointInAPositionIsRefused() {
    editor_->AddRow();
    ClickCell(Grid(), 0, C::kHorizontal);
    TypeText("1");
    PressKey(Qt::Key_Backspace);
    TypeText("-");
    auto box = DismissMessageBox();
    PressKey(Qt::Key_Return);
    QVERIFY(box->Answered());
    QCOMPARE(box->SeenText(), QString("'-' is not a valid floating point value"));
    QCOMPARE(editor_->OpenEditor(), Edit(C::kHorizontal));
    QCOMPARE(Cell(0, C::kHorizontal), std::string("0.00"));
  }

  void displacementUsesTheMarginalTitle() {
    editor_->AddRow();
    QString title;
    ModalAnswer answer("zirvo::DisplacementDialog", [&](QWidget* dialog) {
      title = dialog->findChild<QLabel*>("Pn_Titulo")->text();
      dialog->findChild<QLineEdit*>("EdHoriz")->setText("1.5");
      dialog->findChild<QLineEdit*>("EdVert")->setText("-2");
      QTest::keyClick(dialog->findChild<QLineEdit*>("EdVert"), Qt::Key_Enter);
    });
    QTest::mouseClick(editor_->CommandButton(EditorCommand::Move), Qt::LeftButton);
    QVERIFY(answer.Answered());
    QCOMPARE(title, QString("  Desplazamiento general de marginales"));
    QCOMPARE(Cell(0, C::kHorizontal), std::string("1.50"));
    QCOMPARE(Cell(0, C::kVertical), std::string("-2.00"));
  }

  void displacementOnAnEmptyTableOpensNoDialog() {
    ModalAnswer any("QDialog", [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    QTest::mouseClick(editor_->CommandButton(EditorCommand::Move), Qt::LeftButton);
    QTest::qWait(50);
    QVERIFY(!any.Answered());
  }

  void exportedRecords() {
    doc_.Replace(testing::DecodeLines({"|HJA|", "|MAR|05|Hola|", "|FOL|01||1|||||||||"}, {}));
    const MarginalTextList records = doc_.ToPrintJob().Marginals;
    QCOMPARE(records.size(), std::size_t(1));
    QCOMPARE(editor_->Table().RowCount(), 1);
    QCOMPARE(records[0].Text, std::string("Hola"));
    QCOMPARE(records[0].Font, std::string("Arial"));
    QCOMPARE(records[0].Position, 1);
  }

  void savedTemplateHasNumeratorsBeforeMarginals() {
    // Two editors, one document: the file has both editors' rows.
    NumeratorEditor numerators;
    numerators.SetDocument(&doc_);
    numerators.InitEditor();
    numerators.AddRow();
    editor_->AddRow();
    numerators.AddRow();
    const TemplateLines lines = testing::SplitLines(EncodeTemplate(doc_, "/t/Caja.pla"));
    QCOMPARE(lines.size(), std::size_t(4));
    QVERIFY(lines[1].starts_with("|FOL|01|") && lines[2].starts_with("|FOL|02|"));
    QCOMPARE(lines[3], std::string("|MAR|01||0.00|0.00|000|Arial|12|0||"));
  }

  // Enter on a font cell opens the font list over that cell.
  void enterOpensTheFontList() {
    doc_.Replace(
        testing::DecodeLines({"|MAR|01|Copia para el archivo|2.00|27.50|0|Liberation Sans|10|0||",
                              "|MAR|02|Original - Cliente|15.50|1.20|0|DejaVu Serif|14|8388608||",
                              "|MAR|03|Factura sin valor fiscal si no lleva el sello de caja "
                              "y la firma del cajero autorizado|1.00|14.00|90|Liberation Mono|8|"
                              "255||",
                              "|MAR|04|Gracias por su compra|10.80|26.90|180|Default|12|32768||"},
                             {}));
    doc_.SetSheetSize(21.6, 28.0);
    ClickCell(Grid(), 2, C::kFont);
    PressKey(Qt::Key_Return);
    QTest::qWait(20);
    QCOMPARE(editor_->OpenEditor(), editor_->EditorOf(C::kFont));
    QVERIFY(editor_->EditorOf(C::kFont)->isVisible());
    QVERIFY(editor_->grab().save(ScreenshotPath("marginal_editor.png")));
  }
};

QTEST_MAIN(MarginalEditorTest)
#include "marginal_editor_test.moc"
