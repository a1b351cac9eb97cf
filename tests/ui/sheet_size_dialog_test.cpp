// The sheet-size dialog driven by real keys and clicks: proposed sizes, the
// keystroke filter, the 149.99 limit, Enter and Escape, refused sizes and
// dragging by the title bar.
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "support/shell_support.h"
#include "support/ui_support.h"
#include "workspace/sheet_size_dialog_qt.h"

using namespace zirvo;
using namespace zirvo::uitest;
using zirvo::testing::Child;

namespace {

// Empties the edit and types the keys one by one.
void Retype(QLineEdit* edit, const QString& keys) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, keys);
}

}  // namespace

class SheetSizeDialogTest : public QObject {
  Q_OBJECT

 private:
  AppFolder folder_;
  SheetSizeDialog* dialog_ = nullptr;

  // Runs the dialog with the sizes; `drive` acts on it while it is open.
  bool Ask(double& width, double& height, std::function<void(SheetSizeDialog*)> drive) {
    AnswerNextModal([this, drive](QWidget*) { drive(dialog_); });
    const bool applied = dialog_->AskSheetSize("  Tamaño de Hoja", width, height);
    [&] { QVERIFY(AllModalsAnswered()); }();
    return applied;
  }

 private slots:
  void initTestCase() {
    ProgramCatalog().LoadTable(1);
    dialog_ = new SheetSizeDialog();
  }
  void cleanupTestCase() { delete dialog_; }

  void proposesAndShowsSizes_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("shownWidth");
    QTest::addColumn<QString>("shownHeight");
    QTest::addColumn<double>("appliedWidth");
    QTest::addColumn<double>("appliedHeight");
    QTest::newRow("no size yet") << 0.0 << 0.0 << "21.60"
                                 << "28.00" << 21.6 << 28.0;
    QTest::newRow("10.5 x 15") << 10.5 << 15.0 << "10.50"
                               << "15.00" << 10.5 << 15.0;
    QTest::newRow("only a height") << 0.0 << 33.3 << "21.60"
                                   << "33.30" << 21.6 << 33.3;
  }

  void proposesAndShowsSizes() {
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QString, shownWidth);
    QFETCH(QString, shownHeight);
    QString seenWidth, seenHeight, title;
    const bool applied = Ask(width, height, [&](SheetSizeDialog* d) {
      seenWidth = Child<QLineEdit>(d, "EdHoriz")->text();
      seenHeight = Child<QLineEdit>(d, "EdVert")->text();
      title = Child<TitleBand>(d, "PanTitulo")->text();
      SaveScreenshot(d, QStringLiteral("sheet_size_es"));
      QTest::mouseClick(Child<QPushButton>(d, "Bt_Aplica"), Qt::LeftButton);
    });
    QVERIFY(applied);
    QCOMPARE(seenWidth, shownWidth);
    QCOMPARE(seenHeight, shownHeight);
    QCOMPARE(title, ToQString("  Tamaño de Hoja"));
    QTEST(width, "appliedWidth");
    QTEST(height, "appliedHeight");
  }

  void typedValuesAndTheLimit_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::newRow("150 becomes the maximum") << "150"
                                             << "149.99";
    QTest::newRow("the maximum itself stays") << "149.99"
                                              << "149.99";
    QTest::newRow("just above the maximum") << "149.991"
                                            << "149.99";
    QTest::newRow("letters and commas never enter") << "1a2,b5"
                                                    << "125";
    QTest::newRow("no point first") << ".5"
                                    << "5";
    QTest::newRow("no point after the minus") << "-.5"
                                              << "-5";
    QTest::newRow("one point only") << "1.2.5"
                                    << "1.25";
    QTest::newRow("minus only in front") << "3-"
                                         << "3";
    QTest::newRow("at most 7 characters") << "12.34567"
                                          << "12.3456";
  }

  void typedValuesAndTheLimit() {
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    double width = 0.0, height = 0.0;
    QString seen;
    Ask(width, height, [&](SheetSizeDialog* d) {
      Retype(Child<QLineEdit>(d, "EdHoriz"), keys);
      seen = Child<QLineEdit>(d, "EdHoriz")->text();
      d->reject();
    });
    QCOMPARE(seen, shown);
  }

  void limitActsAfterTheThirdKey() {
    double width = 0.0, height = 0.0;
    QStringList steps;
    Ask(width, height, [&](SheetSizeDialog* d) {
      Retype(Child<QLineEdit>(d, "EdHoriz"), QString());
      for (char key : {'1', '5', '0'}) {
        QTest::keyClick(Child<QLineEdit>(d, "EdHoriz"), key);
        steps << Child<QLineEdit>(d, "EdHoriz")->text();
      }
      QTest::keyClick(Child<QLineEdit>(d, "EdHoriz"), Qt::Key_Return);
    });
    QCOMPARE(steps, (QStringList{"1", "15", "149.99"}));
    QCOMPARE(width, 149.99);
  }

  void emptyFieldsGiveTheDefaults() {
    double width = 5.0, height = 7.0;
    QVERIFY(Ask(width, height, [&](SheetSizeDialog* d) {
      Retype(Child<QLineEdit>(d, "EdHoriz"), QStringLiteral("  "));
      Retype(Child<QLineEdit>(d, "EdVert"), QString());
      // Enter applies wherever the focus is.
      QTest::keyClick(Child<QLineEdit>(d, "EdVert"), Qt::Key_Enter);
    }));
    QCOMPARE(width, 21.6);
    QCOMPARE(height, 28.0);
  }

  void escapeKeepsTheSizes() {
    double width = 10.5, height = 15.0;
    QVERIFY(!Ask(width, height, [&](SheetSizeDialog* d) {
      Retype(Child<QLineEdit>(d, "EdHoriz"), QStringLiteral("30"));
      QTest::keyClick(Child<QLineEdit>(d, "EdHoriz"), Qt::Key_Escape);
    }));
    QCOMPARE(width, 10.5);
    QCOMPARE(height, 15.0);
    // The next call shows the caller's sizes again, not what was typed.
    QString seen;
    Ask(width, height, [&](SheetSizeDialog* d) {
      seen = Child<QLineEdit>(d, "EdHoriz")->text();
      QTest::mouseClick(Child<QPushButton>(d, "Bt_Cancela"), Qt::LeftButton);
    });
    QCOMPARE(seen, QStringLiteral("10.50"));
  }

  void sizesThatAreNoSheetAreRefused_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("message");
    const QString notPositive = ToQString(OwnText(OwnMessage::SheetSizeNotPositive));
    QTest::newRow("zero width") << "0"
                                << "28" << notPositive;
    QTest::newRow("negative height") << "21"
                                     << "-3" << notPositive;
    QTest::newRow("zero written with decimals") << "0.00"
                                                << "28" << notPositive;
    QTest::newRow("a lone minus") << "-"
                                  << "28"
                                  << QStringLiteral("'-' is not a valid floating point value");
  }

  void sizesThatAreNoSheetAreRefused() {
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, message);
    double w = 10.0, h = 20.0;
    QString shownMessage;
    bool stayedOpen = false;
    const bool applied = Ask(w, h, [&](SheetSizeDialog* d) {
      Retype(Child<QLineEdit>(d, "EdHoriz"), width);
      Retype(Child<QLineEdit>(d, "EdVert"), height);
      AnswerNextModal([&, d](QWidget* box) {
        shownMessage = static_cast<QMessageBox*>(box)->text();
        if (message.startsWith(QLatin1Char('T')) || message.startsWith(QLatin1Char('E'))) {
          SaveScreenshot(box, QStringLiteral("sheet_size_refused_es"));
        }
        static_cast<QMessageBox*>(box)->accept();
        QTimer::singleShot(0, d, [&, d] {
          stayedOpen = d->isVisible();
          // The user puts things right and applies.
          Retype(Child<QLineEdit>(d, "EdHoriz"), QStringLiteral("12"));
          Retype(Child<QLineEdit>(d, "EdVert"), QStringLiteral("18.5"));
          QTest::mouseClick(Child<QPushButton>(d, "Bt_Aplica"), Qt::LeftButton);
        });
      });
      QTest::mouseClick(Child<QPushButton>(d, "Bt_Aplica"), Qt::LeftButton);
    });
    QVERIFY(applied);
    QCOMPARE(shownMessage, message);
    QVERIFY(stayedOpen);
    QCOMPARE(w, 12.0);
    QCOMPARE(h, 18.5);
  }

  void captionsFollowTheLanguage() {
    ProgramCatalog().LoadTable(2);
    double width = 0.0, height = 0.0;
    QString personal, horizontal, apply;
    Ask(width, height, [&](SheetSizeDialog* d) {
      personal = Child<QLabel>(d, "Et_Personal")->text();
      horizontal = Child<QLabel>(d, "Et_Horiz")->text();
      apply = Child<QPushButton>(d, "Bt_Aplica")->text();
      SaveScreenshot(d, QStringLiteral("sheet_size_en"));
      d->reject();
    });
    ProgramCatalog().LoadTable(1);
    QCOMPARE(personal, QStringLiteral("Custom Paper"));
    QCOMPARE(horizontal, QStringLiteral("Length (horizontal)"));
    QCOMPARE(apply, QStringLiteral("Apply"));
  }

  void draggingTheTitleBarMovesTheDialog() {
    double width = 0.0, height = 0.0;
    QPoint before, after;
    Ask(width, height, [&](SheetSizeDialog* d) {
      before = d->pos();
      QWidget* title = Child<TitleBand>(d, "PanTitulo");
      const QPoint start = title->mapToGlobal(QPoint(50, 10));
      const auto send = [title](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
        QMouseEvent event(type, title->mapFromGlobal(global), global,
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(title, &event);
      };
      send(QEvent::MouseButtonPress, start, Qt::LeftButton);
      send(QEvent::MouseMove, start + QPoint(40, 25), Qt::LeftButton);
      send(QEvent::MouseButtonRelease, start + QPoint(40, 25), Qt::NoButton);
      after = d->pos();
      QCOMPARE(Child<TitleBand>(d, "PanTitulo")->cursor().shape(), Qt::PointingHandCursor);
      d->reject();
    });
    QCOMPARE(after - before, QPoint(40, 25));
  }
};

QTEST_MAIN(SheetSizeDialogTest)
#include "sheet_size_dialog_test.moc"
