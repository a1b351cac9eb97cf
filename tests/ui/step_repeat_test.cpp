// Step and repeat from the workspace, by keys and clicks: the dialog opened
// by its key, a refused plan that keeps the dialog open and the template as
// it was, then a plan taken whose sheet count reaches the print page.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QToolButton>

#include "catalog/catalog.h"
#include "printing/qprinter_device_qt.h"
#include "shell/main_window_qt.h"
#include "shell/screens_qt.h"
#include "support/shell_support.h"
#include "support/ui_support.h"
#include "workspace/step_repeat_dialog_qt.h"

using namespace zirvo;
using namespace zirvo::uitest;
using zirvo::testing::Child;
using zirvo::testing::Reactivate;
using zirvo::testing::ShowActive;

namespace {

void Retype(QLineEdit* field, const QString& text) {
  field->setFocus();
  field->selectAll();
  QTest::keyClicks(field, text);
}

void AnswerBox(QString* text) {
  AnswerNextModal([text](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box != nullptr);
    *text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
}

}  // namespace

class StepRepeatTest : public QObject {
  Q_OBJECT

 private:
  AppFolder folder_;
  QPrinterDevice printDevice_;
  std::unique_ptr<MainWindow> window_;

  WorkspaceScreen* Workspace() { return Child<WorkspaceScreen>(window_.get(), "FImpLibre01"); }
  Template& Document() { return Workspace()->Logic().Document(); }

 private slots:
  void initTestCase() {
    ProgramCatalog().LoadTable(1);
    window_ = std::make_unique<MainWindow>(nullptr, &printDevice_);
    QVERIFY(ShowActive(window_.get()));
    QTest::mouseClick(Child<ClickLabel>(Child<WelcomePage>(window_.get(), "FBien"), "Et_Iniciar"),
                      Qt::LeftButton);
    // The start-up template's numerator, numbered from 1 at 1.00, 1.00, and a marginal text.
    for (int cell : {NumeratorTable::kNumber, NumeratorTable::kHorizontal})
      Document().CommitCell(TemplateTable::Numerators, 0, cell, "1");
    Document().AddRow(TemplateTable::Marginals);
  }

  void refusedThenTakenByKeysAndClicks() {
    const Template before = Document();
    QString refusal, listed, told;
    bool stayedOpen = false, unchanged = false;
    AnswerNextModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<StepRepeatDialog*>(modal);
      QVERIFY(dialog != nullptr);
      auto* rows = Child<QListWidget>(dialog, "Ls_Filas");
      QCOMPARE(rows->count(), 2);
      listed = rows->item(0)->text();
      QCOMPARE(rows->item(1)->checkState(), Qt::Checked);
      // The marginal text is left out: Space on the current entry unticks it.
      rows->setFocus();
      QTest::keyClick(rows, Qt::Key_End);
      QTest::keyClick(rows, Qt::Key_Space);
      Retype(Child<QLineEdit>(dialog, "EdColumnas"), "5");
      Retype(Child<QLineEdit>(dialog, "EdPasoHoriz"), "5.2");  // 1.00 + 4 x 5.2 > 21.50
      Retype(Child<QLineEdit>(dialog, "EdCantidad"), "50");
      auto* order = Child<QComboBox>(dialog, "EdOrden");
      order->setFocus();
      QTest::keyClick(order, Qt::Key_Down);
      AnswerBox(&refusal);
      QTest::mouseClick(Child<ClickLabel>(dialog, "Bt_Aplica"), Qt::LeftButton);
      stayedOpen = dialog->isVisible();
      unchanged = Document() == before;
      Retype(Child<QLineEdit>(dialog, "EdPasoHoriz"), "4");
      AnswerBox(&told);
      QTest::keyClick(Child<QLineEdit>(dialog, "EdPasoHoriz"), Qt::Key_Return);
    });
    QTest::keyClick(window_.get(), Qt::Key_G, Qt::ControlModifier);
    QTRY_VERIFY(AllModalsAnswered());
    Reactivate();

    QCOMPARE(listed, QStringLiteral("Numerador 01: 0001"));
    QVERIFY(refusal.contains(QStringLiteral("columna 5, fila 1 cae fuera de la hoja")));
    QVERIFY(stayedOpen);
    QVERIFY(unchanged);
    QCOMPARE(told, QStringLiteral("Hojas que necesita la impresión: 10. Se han puesto en la página "
                                  "de impresión."));
    QCOMPARE(Child<QLineEdit>(Workspace(), "Ed_HojasImp")->text(), QStringLiteral("10"));
    // Across the sheet: five tickets, the marginal text once.
    QCOMPARE(Document().Numerators().RowCount(), 5);
    QCOMPARE(Document().Marginals().RowCount(), 1);
    QCOMPARE(Document().Numerators().Rule(0).stepMultiplier, 5);
    QCOMPARE(Document().Numerators().Row(4)[NumeratorTable::kHorizontal], std::string("17.00"));
  }
};

QTEST_MAIN(StepRepeatTest)
#include "step_repeat_test.moc"
