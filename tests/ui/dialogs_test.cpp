// The confirmation dialog and the general increment, displacement and
// barcode dialogs: their modes and captions, Enter and Escape, Tab to the
// commands, what they return and remember, the failures they hand back, and
// dragging by the title band.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "base/text.h"
#include "catalog/catalog.h"
#include "support/ui_support.h"
#include "widgets/confirm_dialog_qt.h"
#include "widgets/general_dialogs_qt.h"

using namespace zirvo;
using namespace zirvo::testing;

namespace {
QLineEdit* Field(QWidget* dialog, const char* name) { return dialog->findChild<QLineEdit*>(name); }
}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { PrepareCatalog(1); }

  // ---- ConfirmDialog --------------------------------------------------------

  void confirmShowsTheModesTexts_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("line2");
    QTest::addColumn<QString>("accept");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("6 open") << int(ConfirmQuestion::OpenTemplate) << 1 << "Abrir plantilla"
                            << QString::fromUtf8("Oprima el boton \" Aceptar \" para continuar")
                            << "Continuar"
                            << "Cerrar";
    QTest::newRow("7 close") << int(ConfirmQuestion::CloseTemplate) << 1 << "Cerrar plantilla"
                             << QString::fromUtf8("Oprima el boton \" Aceptar \" para continuar")
                             << "Aceptar"
                             << "Cancelar";
    QTest::newRow("8 new") << int(ConfirmQuestion::NewTemplate) << 2 << "New template"
                           << "Press the button \"OK\" to continue with the process"
                           << "OK"
                           << "Cancel";
    QTest::newRow("12 quit") << int(ConfirmQuestion::Quit) << 1
                             << QString::fromUtf8("La aplicación va a cerrarse")
                             << "\" Cancelar \" para regresar"
                             << "Aceptar"
                             << "Cancelar";
    QTest::newRow("13 delete") << int(ConfirmQuestion::DeleteRow) << 2 << "Registration will delete"
                               << "\"Cancel\" to return"
                               << "Delete"
                               << "Cancel";
  }

  void confirmShowsTheModesTexts() {
    QFETCH(int, mode);
    QFETCH(int, language);
    QFETCH(QString, title);
    QFETCH(QString, line2);
    QFETCH(QString, accept);
    QFETCH(QString, cancel);
    ProgramCatalog().LoadTable(language);
    QStringList seen;
    ModalAnswer answer("zirvo::ConfirmDialog", [&](QWidget* widget) {
      auto* dialog = static_cast<ConfirmDialog*>(widget);
      seen << Child<QLabel>(dialog, "Et_Titulo")->text()
           << Child<QLabel>(dialog, "Et_Lin02")->text()
           << Child<QPushButton>(dialog, "Bt_Aceptar")->text()
           << Child<QPushButton>(dialog, "Bt_Cancelar")->text();
      QCOMPARE(Child<QPushButton>(dialog, "Bt_Aceptar")->geometry(), QRect(12, 98, 90, 17));
      QCOMPARE(Child<QPushButton>(dialog, "Bt_Cancelar")->geometry(), QRect(276, 98, 90, 17));
      QCOMPARE(dialog->size(), QSize(386, 132));
      QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
      QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
      if (mode == int(ConfirmQuestion::DeleteRow))
        QVERIFY(dialog->grab().save(ScreenshotPath("confirm_dialog.png")));
      QTest::mouseClick(Child<QPushButton>(dialog, "Bt_Aceptar"), Qt::LeftButton);
    });
    QCOMPARE(Confirm(static_cast<ConfirmQuestion>(mode)), ConfirmAnswer::Yes);
    ProgramCatalog().LoadTable(1);
    QVERIFY(answer.Answered());
    QCOMPARE(seen, (QStringList{title, line2, accept, cancel}));
  }

  void confirmCancelsUnlessAccepted_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter") << "enter" << int(ConfirmAnswer::Yes);
    QTest::newRow("Escape") << "escape" << int(ConfirmAnswer::Cancel);
    QTest::newRow("Cancel button") << "cancel" << int(ConfirmAnswer::Cancel);
    QTest::newRow("window closed") << "close" << int(ConfirmAnswer::Cancel);
  }

  void confirmCancelsUnlessAccepted() {
    QFETCH(QString, how);
    QFETCH(int, result);
    ModalAnswer answer("zirvo::ConfirmDialog", [how](QWidget* widget) {
      auto* dialog = static_cast<ConfirmDialog*>(widget);
      if (how == "enter") QTest::keyClick(dialog, Qt::Key_Return);
      if (how == "escape") QTest::keyClick(dialog, Qt::Key_Escape);
      if (how == "cancel")
        QTest::mouseClick(Child<QPushButton>(dialog, "Bt_Cancelar"), Qt::LeftButton);
      if (how == "close") dialog->close();
    });
    QCOMPARE(Confirm(ConfirmQuestion::DeleteRow), static_cast<ConfirmAnswer>(result));
    QVERIFY(answer.Answered());
    QVERIFY(!TheConfirmDialog().isVisible());
  }

  // Unsaved changes: save (also Enter, so Enter never throws work away),
  // do not save, or stay; three buttons in both languages.
  void unsavedQuestionSavesDiscardsOrStays_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("es Enter") << 1 << "enter" << int(ConfirmAnswer::Save);
    QTest::newRow("es Guardar") << 1 << "save" << int(ConfirmAnswer::Save);
    QTest::newRow("es No guardar") << 1 << "discard" << int(ConfirmAnswer::Yes);
    QTest::newRow("es Escape") << 1 << "escape" << int(ConfirmAnswer::Cancel);
    QTest::newRow("en Cancel") << 2 << "cancel" << int(ConfirmAnswer::Cancel);
    QTest::newRow("en Don't save") << 2 << "discard" << int(ConfirmAnswer::Yes);
  }

  void unsavedQuestionSavesDiscardsOrStays() {
    QFETCH(int, language);
    QFETCH(QString, how);
    QFETCH(int, result);
    ProgramCatalog().LoadTable(language);
    QStringList seen;
    ModalAnswer answer("zirvo::ConfirmDialog", [&](QWidget* widget) {
      auto* dialog = static_cast<ConfirmDialog*>(widget);
      seen << Child<QLabel>(dialog, "Et_Titulo")->text()
           << Child<QPushButton>(dialog, "Bt_Guardar")->text()
           << Child<QPushButton>(dialog, "Bt_Aceptar")->text()
           << Child<QPushButton>(dialog, "Bt_Cancelar")->text();
      QVERIFY(Child<QPushButton>(dialog, "Bt_Guardar")->isVisible() &&
              Child<QPushButton>(dialog, "Bt_Aceptar")->isVisible() &&
              Child<QPushButton>(dialog, "Bt_Cancelar")->isVisible());
      QCOMPARE(Child<QPushButton>(dialog, "Bt_Guardar")->geometry(), QRect(12, 98, 90, 17));
      QCOMPARE(Child<QPushButton>(dialog, "Bt_Cancelar")->geometry(), QRect(276, 98, 90, 17));
      if (how == "discard" && language == 1)
        QVERIFY(dialog->grab().save(ScreenshotPath("unsaved_question_es.png")));
      if (how == "enter") QTest::keyClick(dialog, Qt::Key_Return);
      if (how == "escape") QTest::keyClick(dialog, Qt::Key_Escape);
      if (how == "save")
        QTest::mouseClick(Child<QPushButton>(dialog, "Bt_Guardar"), Qt::LeftButton);
      if (how == "discard")
        QTest::mouseClick(Child<QPushButton>(dialog, "Bt_Aceptar"), Qt::LeftButton);
      if (how == "cancel")
        QTest::mouseClick(Child<QPushButton>(dialog, "Bt_Cancelar"), Qt::LeftButton);
    });
    QCOMPARE(Confirm(ConfirmQuestion::UnsavedChanges), static_cast<ConfirmAnswer>(result));
    ProgramCatalog().LoadTable(1);
    QVERIFY(answer.Answered());
    const QStringList expected =
        language == 1 ? QStringList{"CAMBIOS SIN GUARDAR", "Guardar", "No guardar", "Cancelar"}
                      : QStringList{"UNSAVED CHANGES", "Save", "Don't save", "Cancel"};
    QCOMPARE(seen, expected);
    // The next question shows its own two buttons only.
    ModalAnswer next("zirvo::ConfirmDialog", [](QWidget* widget) {
      auto* dialog = static_cast<ConfirmDialog*>(widget);
      QVERIFY(!Child<QPushButton>(dialog, "Bt_Guardar")->isVisible());
      QCOMPARE(Child<QPushButton>(dialog, "Bt_Aceptar")->geometry(), QRect(12, 98, 90, 17));
      QTest::keyClick(dialog, Qt::Key_Return);
    });
    QCOMPARE(Confirm(ConfirmQuestion::CloseTemplate), ConfirmAnswer::Yes);
    QVERIFY(next.Answered());
  }

  // ---- IncrementDialog ---------------------------------------------------------

  void incrementReturnsAndRemembersItsText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("k");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blank") << " " << 0;  // typed blanks are refused; the field ends empty
    QTest::newRow("minus 25") << "-25" << -25;
    QTest::newRow("letters refused") << "1a2" << 12;
    QTest::newRow("largest") << "2147483647" << 2147483647;
  }

  void incrementReturnsAndRemembersItsText() {
    QFETCH(QString, typed);
    QFETCH(int, k);
    auto answer = AnswerIncrement(typed);
    int32_t value = 99;
    ShowIncrementDialog(value);
    QVERIFY(answer->Answered());
    QCOMPARE(value, k);
    QString reopened;
    ModalAnswer look("zirvo::IncrementDialog", [&](QWidget* dialog) {
      reopened = Field(dialog, "EdIncrem")->text();
      QTest::keyClick(Field(dialog, "EdIncrem"), Qt::Key_Escape);
    });
    int32_t untouched = 0;
    ShowIncrementDialog(untouched);
    QVERIFY(look.Answered());
    QCOMPARE(untouched, 0);  // Escape leaves the caller's value
    QCOMPARE(reopened, typed == " " ? QString() : typed == "1a2" ? QString("12") : typed);
  }

  void incrementFailureReachesTheCaller_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("lone minus") << "-"
                                << "'-' is not a valid integer value";
    QTest::newRow("beyond 32 bits") << "2147483648"
                                    << "'2147483648' is not a valid integer value";
  }

  void incrementFailureReachesTheCaller() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    auto answer = AnswerIncrement(typed);
    int32_t value = 0;
    try {
      ShowIncrementDialog(value);
      QFAIL("no failure");
    } catch (const ConversionError& error) {
      QCOMPARE(QString(error.what()), message);
    }
    QCOMPARE(value, 0);
  }

  void incrementCaptions() {
    QString title, label, apply;
    ModalAnswer look("zirvo::IncrementDialog", [&](QWidget* widget) {
      auto* dialog = static_cast<IncrementDialog*>(widget);
      title = Child<QLabel>(dialog, "Pn_Titulo")->text();
      label = Child<QLabel>(dialog, "Et_Increm")->text();
      apply = Child<ClickLabel>(dialog, "Bt_Aplica")->text();
      QCOMPARE(dialog->size(), QSize(278, 130));
      QCOMPARE(Child<QLabel>(dialog, "Pn_Titulo")->height(), 28);
      QVERIFY(dialog->grab().save(ScreenshotPath("increment_dialog.png")));
      QTest::mouseClick(Child<ClickLabel>(dialog, "Bt_Cancela"), Qt::LeftButton);
    });
    int32_t value = 0;
    ShowIncrementDialog(value);
    QCOMPARE(title, QString("Incremento general de numeradores"));
    QCOMPARE(label, QString("Incremento"));
    QCOMPARE(apply, QString("Aplicar"));
  }

  // ---- DisplacementDialog ------------------------------------------------------

  void displacementReturnsBothDistances_data() {
    QTest::addColumn<QString>("horizontal");
    QTest::addColumn<QString>("vertical");
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::newRow("1.5 and empty") << "1.5"
                                   << "" << 1.5 << 0.0;
    QTest::newRow("negative") << "-0.25"
                              << "-2" << -0.25 << -2.0;
    QTest::newRow("point refused first") << ".5"
                                         << "3" << 5.0 << 3.0;
  }

  void displacementReturnsBothDistances() {
    QFETCH(QString, horizontal);
    QFETCH(QString, vertical);
    QFETCH(double, dx);
    QFETCH(double, dy);
    auto answer = AnswerDisplacement(horizontal, vertical);
    double x = 9, y = 9;
    ShowDisplacementDialog("Mover", x, y);
    QVERIFY(answer->Answered());
    QCOMPARE(x, dx);
    QCOMPARE(y, dy);
  }

  void displacementStartsFromZeroAndEnterConfirmsFromAnyField() {
    QString title, startH, startV;
    ModalAnswer answer("zirvo::DisplacementDialog", [&](QWidget* widget) {
      auto* dialog = static_cast<DisplacementDialog*>(widget);
      title = Child<QLabel>(dialog, "Pn_Titulo")->text();
      startH = Child<QLineEdit>(dialog, "EdHoriz")->text();
      startV = Child<QLineEdit>(dialog, "EdVert")->text();
      QVERIFY(dialog->grab().save(ScreenshotPath("displacement_dialog.png")));
      Child<QLineEdit>(dialog, "EdHoriz")->setText("4");
      QTest::keyClick(Child<QLineEdit>(dialog, "EdHoriz"), Qt::Key_Enter);
    });
    double x = 0, y = 0;
    ShowDisplacementDialog(LookupText("0178"), x, y);
    QCOMPARE(title, QString("  Desplazamiento general de numeradores"));
    QCOMPARE(startH, QString("0.00"));
    QCOMPARE(startV, QString("0.00"));
    QCOMPARE(x, 4.0);
    QCOMPARE(y, 0.0);
    // Opened again, it starts from 0.00 whatever was typed before.
    ModalAnswer again("zirvo::DisplacementDialog", [&](QWidget* widget) {
      startH = Child<QLineEdit>(widget, "EdHoriz")->text();
      QTest::keyClick(widget, Qt::Key_Escape);
    });
    double cx = 0, cy = 0;
    ShowDisplacementDialog("x", cx, cy);
    QCOMPARE(startH, QString("0.00"));
    QCOMPARE(cx, 0.0);
    QCOMPARE(cy, 0.0);
  }

  void displacementFailureChangesNeitherValue() {
    ModalAnswer answer("zirvo::DisplacementDialog", [](QWidget* widget) {
      auto* dialog = static_cast<DisplacementDialog*>(widget);
      Child<QLineEdit>(dialog, "EdHoriz")->setText("2");
      Child<QLineEdit>(dialog, "EdVert")->setText(".");
      QTest::mouseClick(Child<ClickLabel>(dialog, "Bt_Aplica"), Qt::LeftButton);
    });
    double x = 0, y = 0;
    QVERIFY_THROWS_EXCEPTION(ConversionError, ShowDisplacementDialog("t", x, y));
    QCOMPARE(x, 0.0);
    QCOMPARE(y, 0.0);
  }

  // ---- BarcodeDialog -------------------------------------------------------

  // Tab runs through the fields shown and both commands; Enter or Space on
  // a command acts. A QR Code shows no length field.
  void barcodeDialogByKeys_data() {
    QTest::addColumn<int>("kind");         // entry of the symbology list
    QTest::addColumn<QString>("command");  // reached by Tab, then the key pressed
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("chain");  // the focus from the list on, Tab after Tab
    const QString linear = "EdTipo EdLegible EdAlto EdLargo Bt_Aplica Bt_Cancela EdTipo";
    const QString qr = "EdTipo EdLegible EdAlto Bt_Aplica Bt_Cancela EdTipo";
    QTest::newRow("Code 128, Enter, Aplicar") << 2 << "Bt_Aplica" << int(Qt::Key_Return) << linear;
    QTest::newRow("Code 128, Space, Cancelar") << 2 << "Bt_Cancela" << int(Qt::Key_Space) << linear;
    QTest::newRow("QR Code, Space, Aplicar") << 4 << "Bt_Aplica" << int(Qt::Key_Space) << qr;
    QTest::newRow("QR Code, Enter, Cancelar") << 4 << "Bt_Cancela" << int(Qt::Key_Return) << qr;
  }

  void barcodeDialogByKeys() {
    QFETCH(int, kind);
    QFETCH(QString, command);
    QFETCH(int, key);
    QFETCH(QString, chain);
    QStringList seen;
    bool lengthShown = true;
    ModalAnswer answer("zirvo::BarcodeDialog", [&](QWidget* widget) {
      auto* dialog = static_cast<BarcodeDialog*>(widget);
      for (int i = 0; i < kind; ++i) PressKey(Qt::Key_Down);
      lengthShown = Child<QLineEdit>(dialog, "EdLargo")->isVisible() ||
                    Child<QLabel>(dialog, "Et_Largo")->isVisible();
      for (int i = 0; i <= chain.count(' '); ++i, PressKey(Qt::Key_Tab))
        seen << QApplication::focusWidget()->objectName();
      for (int i = 0; i < 8 && QApplication::focusWidget()->objectName() != command; ++i)
        PressKey(Qt::Key_Tab);
      PressKey(key);
      if (dialog->isVisible()) QTest::keyClick(dialog, Qt::Key_Escape);  // the key did nothing
    });
    int applied = -1;
    const bool taken =
        TheBarcodeDialog().Run(std::nullopt, [&](const std::optional<BarcodeSetting>& c) {
          applied = static_cast<int>(c->kind);
          return std::string();
        });
    QVERIFY(answer.Answered());
    QCOMPARE(seen.join(' '), chain);
    QCOMPARE(lengthShown, kind != 4);
    QCOMPARE(taken, command == "Bt_Aplica");
    QCOMPARE(applied, taken ? kind - 1 : -1);
  }

  // ---- dragging ----------------------------------------------------------

  void titleBandDragsTheWindow() {
    QPoint before, after;
    ModalAnswer answer("zirvo::IncrementDialog", [&](QWidget* widget) {
      auto* dialog = static_cast<IncrementDialog*>(widget);
      before = dialog->pos();
      QTest::mousePress(Child<QLabel>(dialog, "Pn_Titulo"), Qt::LeftButton, Qt::NoModifier,
                        QPoint(20, 10));
      QMouseEvent move(QEvent::MouseMove, QPointF(60, 40),
                       Child<QLabel>(dialog, "Pn_Titulo")->mapToGlobal(QPointF(60, 40)),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(Child<QLabel>(dialog, "Pn_Titulo"), &move);
      QTest::mouseRelease(Child<QLabel>(dialog, "Pn_Titulo"), Qt::LeftButton, Qt::NoModifier,
                          QPoint(60, 40));
      after = dialog->pos();
      QCOMPARE(Child<QLabel>(dialog, "Pn_Titulo")->cursor().shape(), Qt::PointingHandCursor);
      QTest::keyClick(dialog, Qt::Key_Escape);
    });
    int32_t value = 0;
    ShowIncrementDialog(value);
    QVERIFY(answer.Answered());
    QCOMPARE(after - before, QPoint(40, 30));
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
