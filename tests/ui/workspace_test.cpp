// The workspace on screen, driven by clicks on its icons with every dialog
// answered: start label, New, Save through the save dialog with its deferred
// write, the overwrite question, Close, Open, Sheet size.
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QToolButton>

#include "app/main_window_qt.h"
#include "app/qtext_qt.h"
#include "catalog/catalog.h"
#include "support/shell_support.h"
#include "template/sheet_size_dialog_qt.h"

using namespace zirvo;
using namespace zirvo::uitest;

class WorkspaceScreenTest : public QObject {
  Q_OBJECT

 private:
  AppFolder folder_;
  std::unique_ptr<TFPrincipal> window_;
  std::unique_ptr<TFNuevo> nuevo_;
  std::vector<int> asked_;

  TFImpLibre* Workspace() { return window_->FImpLibre01; }
  QString Label() { return Workspace()->Et_NomPlantilla->text(); }
  void Click(WorkspaceCommand command) {
    QToolButton* icon = Workspace()->CommandIcon(command);
    QVERIFY(icon->isVisible());
    QTest::mouseClick(icon, Qt::LeftButton);
  }
  static void ChooseFile(QWidget* modal, const QString& path, QString* title = nullptr,
                         QString* folder = nullptr) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY(dialog != nullptr);
    if (title) *title = dialog->windowTitle();
    if (folder) *folder = dialog->directory().absolutePath();
    // Typed into the file name field, as a user would.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name != nullptr);
    name->setText(path);
    QMetaObject::invokeMethod(dialog, "accept");
  }

 private slots:
  void initTestCase() {
    Catalog().LoadTable(1);
    ApplyToolkitLanguage();
    window_ = std::make_unique<TFPrincipal>();
    nuevo_ = std::make_unique<TFNuevo>(window_.get());
    Workspace()->SetSheetSizeDialog(nuevo_.get());
    window_->SetConfirm([this](int mode) {
      asked_.push_back(mode);
      return -1;
    });
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }

  void startLabelOpensTheStartUpTemplate() {
    QTest::mouseClick(window_->FBien->Et_Iniciar, Qt::LeftButton);
    QCOMPARE(window_->HojaControl->currentIndex(), 5);
    QCOMPARE(Label(), QStringLiteral("- PLANILLA SIN NOMBRE -"));
    QCOMPARE(Workspace()->PageControl->currentIndex(), 2);
    for (auto command : {WorkspaceCommand::Close, WorkspaceCommand::Save, WorkspaceCommand::PrintPage}) {
      QVERIFY(Workspace()->CommandIcon(command)->isVisible());
    }
    QCOMPARE(Workspace()->CommandIcon(WorkspaceCommand::Save)->toolTip(),
             QStringLiteral("Guardar plantilla"));
    QCOMPARE(Workspace()->Logic().SheetHeader().Width, 21.5);
  }

  void newAsksAndTakesTheProposedSize() {
    asked_.clear();
    AnswerNextModal([](QWidget* modal) {
      auto* dialog = qobject_cast<TFNuevo*>(modal);
      QVERIFY(dialog != nullptr);
      QCOMPARE(dialog->PanTitulo->text(), ToQString("  Tama\xf1o de Hoja"));
      QTest::mouseClick(dialog->Bt_Aplica, Qt::LeftButton);
    });
    Click(WorkspaceCommand::New);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(asked_, std::vector<int>{8});
    QCOMPARE(Workspace()->Logic().SheetHeader().Width, 21.6);
    QCOMPARE(Workspace()->Logic().SheetHeader().Height, 28.0);
    QCOMPARE(Workspace()->PageControl->currentIndex(), 1);
  }

  void saveGoesThroughTheDialogAndWritesASecondLater() {
    const QString path = folder_.DataPath(QStringLiteral("Prueba.pla"));
    QString title, folder;
    AnswerNextModal([&](QWidget* modal) {
      SaveScreenshot(modal, QStringLiteral("save_dialog_es"));
      ChooseFile(modal, path, &title, &folder);
    });
    Click(WorkspaceCommand::Save);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(title, QStringLiteral("Guardar"));
    QCOMPARE(folder, QDir(folder_.Root() + QStringLiteral("/Datos")).absolutePath());
    QCOMPARE(Label(), QStringLiteral("Guardando plantilla. Espere unos momentos..."));
    QVERIFY(Workspace()->Et_NomPlantilla->font().bold());
    SaveScreenshot(window_.get(), QStringLiteral("workspace_saving_es"));
    QVERIFY(!QFile::exists(path));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path), 5000);
    QCOMPARE(FileBytes(path),
             QByteArray("|HJA|IMP100|Prueba.pla|") + QFile::encodeName(folder_.Root()) +
                 "/Datos|0|0|0|0|0|0|21.60|28.00|0|15723990|0|0|0|0|F|F|\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(Label(), QStringLiteral("Prueba"), 5000);
    QVERIFY(!Workspace()->Et_NomPlantilla->font().bold());
    QVERIFY(!Workspace()->Temporiza->isActive());
  }

  void saveAsOverAnExistingFileAsksFirst() {
    const QString other = folder_.DataPath(QStringLiteral("Otra.pla"));
    QFile file(other);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep");
    file.close();
    QString question;
    AnswerNextModal([&](QWidget* modal) {
      ChooseFile(modal, other);
      AnswerNextModal([&](QWidget* box) {
        question = qobject_cast<QMessageBox*>(box)->text();
        SaveScreenshot(box, QStringLiteral("overwrite_question_es"));
        qobject_cast<QMessageBox*>(box)->button(QMessageBox::Cancel)->click();
      });
    });
    Click(WorkspaceCommand::SaveAs);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(question, ToQString("El Archivo ya existe. \xbfQuiere reescribirlo?"));
    QCOMPARE(FileBytes(other), QByteArray("keep"));
    QCOMPARE(Label(), QStringLiteral("Prueba"));
    QVERIFY(!Workspace()->Temporiza->isActive());
  }

  void closeThenOpenRestoresTheTemplate() {
    asked_.clear();
    Click(WorkspaceCommand::Close);
    QCOMPARE(Label(), QStringLiteral("-- VACIO --"));
    QVERIFY(!Workspace()->CommandIcon(WorkspaceCommand::Save)->isVisible());
    QVERIFY(Workspace()->CommandIcon(WorkspaceCommand::Open)->isVisible());
    SaveScreenshot(window_.get(), QStringLiteral("workspace_closed_es"));

    AnswerNextModal([&](QWidget* modal) {
      ChooseFile(modal, folder_.DataPath(QStringLiteral("Prueba.pla")));
    });
    Click(WorkspaceCommand::Open);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(asked_, (std::vector<int>{7, 6}));
    QCOMPARE(Label(), QStringLiteral("Prueba"));
    QCOMPARE(Workspace()->PageControl->currentIndex(), 2);
    QVERIFY(Workspace()->CommandIcon(WorkspaceCommand::PrintPage)->isVisible());
    QVERIFY(Workspace()->Logic().HasFile());
  }

  void openOfAnEmptyFileShowsTheNoticeAndLeavesNoTemplate() {
    const QString empty = folder_.DataPath(QStringLiteral("Vacia.pla"));
    QFile file(empty);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QString notice;
    AnswerNextModal([&](QWidget* modal) {
      ChooseFile(modal, empty);
      AnswerNextModal([&](QWidget* box) {
        notice = qobject_cast<QMessageBox*>(box)->text();
        qobject_cast<QMessageBox*>(box)->accept();
      });
    });
    Click(WorkspaceCommand::Open);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(notice, QStringLiteral("El formato no es compatible y no pudo ser leido."));
    QCOMPARE(Label(), QStringLiteral("-- VACIO --"));
    QVERIFY(!Workspace()->CommandIcon(WorkspaceCommand::Save)->isVisible());
  }

  void sheetSizeChangesTheTemplate() {
    AnswerNextModal([&](QWidget* modal) { ChooseFile(modal, folder_.DataPath(QStringLiteral("Prueba.pla"))); });
    Click(WorkspaceCommand::Open);
    QString shown;
    AnswerNextModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<TFNuevo*>(modal);
      shown = dialog->EdHoriz->text() + QLatin1Char('x') + dialog->EdVert->text();
      dialog->EdHoriz->selectAll();
      QTest::keyClicks(dialog->EdHoriz, QStringLiteral("10.5"));
      QTest::keyClick(dialog->EdHoriz, Qt::Key_Return);
    });
    Click(WorkspaceCommand::SheetSize);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(shown, QStringLiteral("21.60x28.00"));
    QCOMPARE(Workspace()->Logic().SheetHeader().Width, 10.5);
    QCOMPARE(Workspace()->Logic().SheetHeader().Height, 28.0);
    SaveScreenshot(window_.get(), QStringLiteral("workspace_template_es"));
  }

  void cleanupTestCase() {
    asked_.clear();
    QVERIFY(window_->close());
    QCOMPARE(asked_, std::vector<int>{12});
  }
};

QTEST_MAIN(WorkspaceScreenTest)
#include "workspace_test.moc"
