// The whole program from the user's side: the main window driven by clicks on
// the start label and the command icons, cells typed into the editors, and
// every dialog answered (confirmation, sheet size, open and save dialogs,
// message boxes).
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QToolButton>

#include "app/main_window_qt.h"
#include "app/qtext_qt.h"
#include "catalog/catalog.h"
#include "support/shell_support.h"
#include "support/ui_support.h"
#include "template/confirm_dialog_qt.h"
#include "template/sheet_size_dialog_qt.h"

using namespace zirvo;
using namespace zirvo::uitest;
using zirvo::testing::ClickCell;
using zirvo::testing::PressKey;
using zirvo::testing::Reactivate;
using zirvo::testing::ShowActive;
using zirvo::testing::TypeText;

namespace {

const QByteArray kHeaderTail = "|0|0|0|0|0|0|21.60|28.00|0|15723990|0|0|0|0|F|F|\r\n";

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

}  // namespace

class WorkspaceScreenTest : public QObject {
  Q_OBJECT

 private:
  AppFolder folder_;
  std::unique_ptr<TFPrincipal> window_;
  std::unique_ptr<TFNuevo> nuevo_;
  QStringList questions_;  // titles of the confirmations asked

  TFImpLibre* Workspace() { return window_->FImpLibre01; }
  const TemplateWorkspace& Logic() { return Workspace()->Logic(); }
  QString Label() { return Workspace()->Et_NomPlantilla->text(); }
  int Page() { return Workspace()->PageControl->currentIndex(); }
  QString Folder() { return QDir(folder_.Root() + QStringLiteral("/Datos")).absolutePath(); }
  QByteArray EncodedFolder() { return QFile::encodeName(Folder()); }

  void Click(WorkspaceCommand command) {
    QToolButton* icon = Workspace()->CommandIcon(command);
    QVERIFY(icon->isVisible());
    QTest::mouseClick(icon, Qt::LeftButton);
    Reactivate();
  }
  // The confirmation dialog: Enter accepts, Escape refuses.
  void AnswerConfirmation(bool accept) {
    AnswerNextModal([this, accept](QWidget* modal) {
      auto* dialog = qobject_cast<TFCaratGda*>(modal);
      QVERIFY(dialog != nullptr);
      questions_ << dialog->Et_Titulo->text();
      QTest::keyClick(dialog, accept ? Qt::Key_Return : Qt::Key_Escape);
    });
  }
  // A file dialog: the path typed into its file name field, then accepted.
  static void ChooseFile(QWidget* modal, const QString& path, QString* title = nullptr,
                         QString* folder = nullptr) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY(dialog != nullptr);
    if (title) *title = dialog->windowTitle();
    if (folder) *folder = dialog->directory().absolutePath();
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name != nullptr);
    name->setText(path);
    QMetaObject::invokeMethod(dialog, "accept");
  }
  void AnswerFile(const QString& path) {
    AnswerNextModal([path](QWidget* modal) { ChooseFile(modal, path); });
  }
  void CancelFile() {
    AnswerNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  }
  // A message box: its text is kept, then the given button pressed.
  void AnswerMessage(QString* text, QMessageBox::StandardButton button = QMessageBox::Ok,
                     const QString& screenshot = QString()) {
    AnswerNextModal([text, button, screenshot](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box != nullptr);
      *text = box->text();
      if (!screenshot.isEmpty()) SaveScreenshot(box, screenshot);
      box->button(button)->click();
    });
  }
  // Types a cell of an editor's first row and commits it with Enter.
  void TypeCell(TableEditor* editor, int column, const QString& text) {
    ClickCell(editor->Grid(), 0, column);
    TypeText(text);
    PressKey(Qt::Key_Return);
  }
  void WaitForSave() {
    QVERIFY(Workspace()->Et_NomPlantilla->font().bold());
    QTRY_VERIFY_WITH_TIMEOUT(!Workspace()->Temporiza->isActive(), 5000);
    QVERIFY(!Workspace()->Et_NomPlantilla->font().bold());
  }
  void Open(const QString& path, bool asks = true) {
    if (asks) AnswerConfirmation(true);
    AnswerFile(path);
    Click(WorkspaceCommand::Open);
    QVERIFY(AllModalsAnswered());
  }

 private slots:
  void initTestCase() {
    Catalog().LoadTable(1);
    ApplyToolkitLanguage();
    window_ = std::make_unique<TFPrincipal>();
    nuevo_ = std::make_unique<TFNuevo>(window_.get());
    Workspace()->SetSheetSizeDialog(nuevo_.get());
    QVERIFY(ShowActive(window_.get()));
  }

  void startLabelOpensTheStartUpTemplate() {
    QTest::mouseClick(window_->FBien->Et_Iniciar, Qt::LeftButton);
    QCOMPARE(window_->HojaControl->currentIndex(), 5);
    QCOMPARE(Label(), QStringLiteral("- PLANILLA SIN NOMBRE -"));
    QCOMPARE(Page(), 2);
    QCOMPARE(Workspace()->FHFolio01->Table().RowCount(), 1);
    QCOMPARE(Workspace()->FHMarginal01->Table().RowCount(), 0);
    QVERIFY(Workspace()->FHFolio01->SheetSizeLabel()->text().contains(QStringLiteral("21.50 cm")));
    QVERIFY(Workspace()->FHFolio01->SheetSizeLabel()->text().contains(QStringLiteral("28.00 cm")));
    for (auto command : {WorkspaceCommand::Close, WorkspaceCommand::Save, WorkspaceCommand::PrintPage}) {
      QVERIFY(Workspace()->CommandIcon(command)->isVisible());
    }
    QCOMPARE(Workspace()->CommandIcon(WorkspaceCommand::Save)->toolTip(),
             QStringLiteral("Guardar plantilla"));
    SaveScreenshot(window_.get(), QStringLiteral("workspace_numerators_es"));
  }

  void newAsksAndMakesAnEmptyTemplateOfTheProposedSize() {
    questions_.clear();
    AnswerConfirmation(true);
    AnswerNextModal([](QWidget* modal) {
      auto* dialog = qobject_cast<TFNuevo*>(modal);
      QVERIFY(dialog != nullptr);
      QCOMPARE(dialog->PanTitulo->text(), ToQString("  Tama\xf1o de Hoja"));
      QTest::mouseClick(dialog->Bt_Aplica, Qt::LeftButton);
    });
    Click(WorkspaceCommand::New);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(questions_, QStringList{QStringLiteral("Nueva plantilla")});
    QCOMPARE(Logic().SheetHeader().Width, 21.6);
    QCOMPARE(Logic().SheetHeader().Height, 28.0);
    QCOMPARE(Workspace()->FHFolio01->Table().RowCount(), 0);
    QCOMPARE(Page(), 1);
  }

  void editedTablesAreSavedByteForByteASecondLater() {
    Click(WorkspaceCommand::Numerators);
    QCOMPARE(Page(), 2);
    QTest::mouseClick(Workspace()->FHFolio01->CommandButton(EditorCommand::Add), Qt::LeftButton);
    TypeCell(Workspace()->FHFolio01, TFolioTable::kPrefix, QStringLiteral("No. "));
    TypeCell(Workspace()->FHFolio01, TFolioTable::kNumber, QStringLiteral("1500"));
    Click(WorkspaceCommand::MarginalTexts);
    QCOMPARE(Page(), 3);
    QTest::mouseClick(Workspace()->FHMarginal01->CommandButton(EditorCommand::Add), Qt::LeftButton);
    TypeCell(Workspace()->FHMarginal01, TMarginalTable::kText, QStringLiteral("Original"));
    QCOMPARE(Workspace()->FHFolio01->Table().Cell(0, TFolioTable::kNumber), std::string("1500"));
    QCOMPARE(Workspace()->FHMarginal01->Table().Cell(0, TMarginalTable::kText), std::string("Original"));
    SaveScreenshot(window_.get(), QStringLiteral("workspace_marginals_es"));

    const QString path = folder_.DataPath(QStringLiteral("Prueba.pla"));
    QString title, folder;
    AnswerNextModal([&](QWidget* modal) {
      SaveScreenshot(modal, QStringLiteral("save_dialog_es"));
      ChooseFile(modal, path, &title, &folder);
    });
    Click(WorkspaceCommand::Save);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(title, QStringLiteral("Guardar"));
    QCOMPARE(folder, Folder());
    QCOMPARE(Label(), QStringLiteral("Guardando plantilla. Espere unos momentos..."));
    SaveScreenshot(window_.get(), QStringLiteral("workspace_saving_es"));
    QVERIFY(!QFile::exists(path));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path), 5000);
    const QByteArray expected = "|HJA|IMP100|Prueba.pla|" + EncodedFolder() + kHeaderTail +
                                QByteArray::fromStdString(Workspace()->FHFolio01->Table().LineOf(0)) +
                                "\r\n" +
                                QByteArray::fromStdString(Workspace()->FHMarginal01->Table().LineOf(0)) +
                                "\r\n";
    QCOMPARE(FileBytes(path), expected);
    QVERIFY(expected.contains("|FOL|") && expected.contains("|No. |1500|"));
    QVERIFY(expected.contains("|MAR|") && expected.contains("|Original|"));
    QTRY_COMPARE_WITH_TIMEOUT(Label(), QStringLiteral("Prueba"), 5000);
    QVERIFY(!Workspace()->Et_NomPlantilla->font().bold());
    QVERIFY(!Workspace()->Temporiza->isActive());
  }

  void closeAsksThenOpenRestoresEverything() {
    const std::string numerators = Workspace()->FHFolio01->Table().LineOf(0);
    const std::string marginals = Workspace()->FHMarginal01->Table().LineOf(0);
    questions_.clear();
    AnswerConfirmation(false);  // Escape: nothing changes
    Click(WorkspaceCommand::Close);
    QCOMPARE(Label(), QStringLiteral("Prueba"));
    AnswerConfirmation(true);
    Click(WorkspaceCommand::Close);
    QCOMPARE(questions_, (QStringList{"Cerrar plantilla", "Cerrar plantilla"}));
    QCOMPARE(Label(), QStringLiteral("-- VACIO --"));
    QVERIFY(!Workspace()->CommandIcon(WorkspaceCommand::Save)->isVisible());
    QCOMPARE(Workspace()->FHFolio01->Table().RowCount(), 0);
    SaveScreenshot(window_.get(), QStringLiteral("workspace_closed_es"));

    questions_.clear();
    Open(folder_.DataPath(QStringLiteral("Prueba.pla")));
    QCOMPARE(questions_, QStringList{QStringLiteral("Abrir plantilla")});
    QCOMPARE(Label(), QStringLiteral("Prueba"));
    QCOMPARE(Page(), 2);
    QVERIFY(Workspace()->CommandIcon(WorkspaceCommand::PrintPage)->isVisible());
    QVERIFY(Logic().HasFile());
    QCOMPARE(Workspace()->FHFolio01->Table().LineOf(0), numerators);
    QCOMPARE(Workspace()->FHMarginal01->Table().LineOf(0), marginals);
    QCOMPARE(Workspace()->FHFolio01->Table().RowCount(), 1);
  }

  void saveAsCancelAndOverwrite() {
    const QString first = folder_.DataPath(QStringLiteral("Prueba.pla"));
    const QByteArray firstBytes = FileBytes(first);
    const QString other = folder_.DataPath(QStringLiteral("Otra.pla"));
    WriteFile(other, "keep");

    CancelFile();
    Click(WorkspaceCommand::SaveAs);
    QString question;
    AnswerNextModal([&](QWidget* modal) {
      ChooseFile(modal, other);
      AnswerMessage(&question, QMessageBox::Cancel, QStringLiteral("overwrite_question_es"));
    });
    Click(WorkspaceCommand::SaveAs);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(question, ToQString("El Archivo ya existe. \xbfQuiere reescribirlo?"));
    QCOMPARE(FileBytes(other), QByteArray("keep"));
    QCOMPARE(Label(), QStringLiteral("Prueba"));
    QVERIFY(!Workspace()->Temporiza->isActive());

    // Save still writes to the first file, without a dialog.
    Click(WorkspaceCommand::Save);
    WaitForSave();
    QCOMPARE(FileBytes(first), firstBytes);

    AnswerNextModal([&](QWidget* modal) {
      ChooseFile(modal, other);
      AnswerMessage(&question, QMessageBox::Ok);
    });
    Click(WorkspaceCommand::SaveAs);
    WaitForSave();
    QCOMPARE(FileBytes(other), QByteArray(firstBytes).replace("Prueba.pla", "Otra.pla"));
    QCOMPARE(Label(), QStringLiteral("Otra"));
  }

  void saveOfATemplateOpenedFromANameWithTwoDots() {
    const QString twoDots = folder_.DataPath(QStringLiteral("Caja.2024.pla"));
    WriteFile(twoDots, "|HJA|IMP100|x|y" + kHeaderTail);
    Open(twoDots);
    QCOMPARE(Label(), QStringLiteral("Caja"));
    QTest::mouseClick(Workspace()->FHFolio01->CommandButton(EditorCommand::Add), Qt::LeftButton);
    Click(WorkspaceCommand::Save);
    WaitForSave();
    QVERIFY(FileBytes(twoDots).startsWith("|HJA|IMP100|Caja.2024.pla|" + EncodedFolder()));
    QVERIFY(FileBytes(twoDots).contains("|FOL|"));
    QVERIFY(!QFile::exists(folder_.DataPath(QStringLiteral("Caja.pla"))));
    QCOMPARE(Label(), QStringLiteral("Caja"));
  }

  void failedOpensLeaveNoTemplate_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty file") << QByteArray()
                                << "El formato no es compatible y no pudo ser leido.";
    QTest::newRow("bad header") << QByteArray("|HJA|IMP100|x|y|0|0|0|0|0|0|ancho|28.00|0|0|0|0|0|0|F|F|\r\n")
                                << "'ancho' is not a valid floating point value";
  }

  void failedOpensLeaveNoTemplate() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString path = folder_.DataPath(QStringLiteral("Mala.pla"));
    WriteFile(path, content);
    QString shown;
    AnswerConfirmation(true);
    AnswerNextModal([&](QWidget* modal) {
      ChooseFile(modal, path);
      AnswerMessage(&shown);
    });
    Click(WorkspaceCommand::Open);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(shown, message);
    QCOMPARE(Label(), QStringLiteral("-- VACIO --"));
    QVERIFY(!Workspace()->CommandIcon(WorkspaceCommand::Save)->isVisible());
    QVERIFY(!Logic().HasFile());
    QCOMPARE(Page(), 1);
  }

  void sheetSizeReachesBothEditors() {
    Open(folder_.DataPath(QStringLiteral("Prueba.pla")));
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
    QCOMPARE(Logic().SheetHeader().Width, 10.5);
    for (TableEditor* editor : std::initializer_list<TableEditor*>{Workspace()->FHFolio01,
                                                                    Workspace()->FHMarginal01}) {
      QVERIFY2(editor->SheetSizeLabel()->text().contains(QStringLiteral("10.50 cm")),
               qPrintable(editor->SheetSizeLabel()->text()));
    }
    QCOMPARE(Page(), 2);
    SaveScreenshot(window_.get(), QStringLiteral("workspace_template_es"));
  }

  void exitAsksWhileTheWorkspaceIsShown() {
    questions_.clear();
    AnswerConfirmation(false);
    QVERIFY(!window_->close());
    QVERIFY(window_->isVisible());
    QCOMPARE(Label(), QStringLiteral("Prueba"));
    AnswerNextModal([this](QWidget* modal) {
      auto* dialog = qobject_cast<TFCaratGda*>(modal);
      questions_ << dialog->Et_Titulo->text();
      SaveScreenshot(dialog, QStringLiteral("exit_question_es"));
      QTest::keyClick(dialog, Qt::Key_Return);
    });
    QVERIFY(window_->close());
    QCOMPARE(questions_, (QStringList{ToQString("La aplicaci\xf3n va a cerrarse"),
                                      ToQString("La aplicaci\xf3n va a cerrarse")}));
  }
};

QTEST_MAIN(WorkspaceScreenTest)
#include "workspace_test.moc"
