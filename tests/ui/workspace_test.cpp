// The whole program from the user's side: the main window driven by clicks on
// the start label and the command icons, cells typed into the editors, and
// every dialog answered (confirmation, sheet size, open and save dialogs,
// message boxes).
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QToolButton>

#include "../engine/engine_support.h"
#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "printing/qprinter_device_qt.h"
#include "shell/language_dialog_qt.h"
#include "shell/main_window_qt.h"
#include "support/shell_support.h"
#include "support/ui_support.h"
#include "template/series.h"
#include "template/template_codec.h"
#include "widgets/confirm_dialog_qt.h"
#include "workspace/sheet_size_dialog_qt.h"

using namespace zirvo;
using namespace zirvo::uitest;
using zirvo::testing::Child;
using zirvo::testing::ChoosePdf;
using zirvo::testing::ClickCell;
using zirvo::testing::PdfPageCount;
using zirvo::testing::PdfPageWords;
using zirvo::testing::PressKey;
using zirvo::testing::Reactivate;
using zirvo::testing::ShowActive;
using zirvo::testing::TypeText;

namespace {

const QByteArray kHeaderTail = "|0|0|0|0|0|0|21.60|28.00|0|15723990|0|0|0|0|F|F|\r\n";
// The save runs from a one-second timer. The wait for it returns as soon as
// it is done; its bound only keeps a broken save from hanging the test, and
// is far above the second so that a busy machine does not fail it.
constexpr int kSaveWaitMs = 120000;

bool HasWord(const std::vector<std::string>& words, const std::string& word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

void Retype(QLineEdit* field, const QString& text) {
  field->setFocus();
  field->selectAll();
  QTest::keyClick(field, Qt::Key_Backspace);
  QTest::keyClicks(field, text);
}

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
  QPrinterDevice printDevice_;  // the print page's, reached by the tests' spool hook
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<SheetSizeDialog> nuevo_;
  QStringList questions_;  // titles of the confirmations asked

  WorkspaceScreen* Workspace() { return Child<WorkspaceScreen>(window_.get(), "FImpLibre01"); }
  const EditingSession& Logic() { return Workspace()->Logic(); }
  QString Label() { return Child<QLabel>(Workspace(), "Et_NomPlantilla")->text(); }
  int Page() { return Child<QStackedWidget>(Workspace(), "Hoja00")->currentIndex(); }
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
      auto* dialog = qobject_cast<ConfirmDialog*>(modal);
      QVERIFY(dialog != nullptr);
      // The copy question is taller; every other has the usual size.
      if (!Child<QPushButton>(dialog, "Bt_No")->isVisible())
        QCOMPARE(dialog->size(), QSize(386, 132));
      questions_ << Child<QLabel>(dialog, "Et_Titulo")->text();
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
    QVERIFY(Child<QLabel>(Workspace(), "Et_NomPlantilla")->font().bold());
    QTRY_VERIFY_WITH_TIMEOUT(!Child<QTimer>(Workspace(), "Temporiza")->isActive(), kSaveWaitMs);
    QVERIFY(!Child<QLabel>(Workspace(), "Et_NomPlantilla")->font().bold());
  }
  // The sheet-size dialog: both sizes typed, then Enter.
  void AnswerSheetSize(const QString& width, const QString& height) {
    AnswerNextModal([width, height](QWidget* modal) {
      auto* dialog = qobject_cast<SheetSizeDialog*>(modal);
      QVERIFY(dialog != nullptr);
      for (auto [field, text] : {std::pair{Child<QLineEdit>(dialog, "EdHoriz"), width},
                                 std::pair{Child<QLineEdit>(dialog, "EdVert"), height}}) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
      }
      QTest::keyClick(Child<QLineEdit>(dialog, "EdVert"), Qt::Key_Return);
    });
  }
  // The language dialog: the entry chosen, then Accept.
  void ChooseLanguage(int entry) {
    AnswerNextModal([entry](QWidget* modal) {
      auto* dialog = qobject_cast<LanguageDialog*>(modal);
      QVERIFY(dialog != nullptr);
      Child<QComboBox>(dialog, "Ed_Idioma")->setCurrentIndex(entry);
      QTest::mouseClick(Child<QWidget>(dialog, "Bt_Aceptar"), Qt::LeftButton);
    });
    window_->ChooseLanguage();
    QVERIFY(AllModalsAnswered());
    Reactivate();
  }
  const PrintJob& LoadedJob() {
    return Child<PrintPage>(Workspace(), "FHImprime01")->Engine().LoadedJob();
  }
  void Open(const QString& path, bool asks = true) {
    if (asks) AnswerConfirmation(true);
    AnswerFile(path);
    Click(WorkspaceCommand::Open);
    QVERIFY(AllModalsAnswered());
  }

 private slots:
  void initTestCase() {
    ProgramCatalog().LoadTable(1);
    ApplyToolkitLanguage();
    window_ = std::make_unique<MainWindow>(nullptr, &printDevice_);
    nuevo_ = std::make_unique<SheetSizeDialog>(window_.get());
    Workspace()->SetSheetSizeDialog(nuevo_.get());
    QVERIFY(ShowActive(window_.get()));
  }

  void startLabelOpensTheStartUpTemplate() {
    QTest::mouseClick(Child<ClickLabel>(Child<WelcomePage>(window_.get(), "FBien"), "Et_Iniciar"),
                      Qt::LeftButton);
    QCOMPARE(Child<QStackedWidget>(window_.get(), "HojaControl")->currentIndex(), 5);
    QCOMPARE(Label(), QStringLiteral("- PLANILLA SIN NOMBRE -"));
    QCOMPARE(Page(), 2);
    QCOMPARE(Child<NumeratorEditor>(Workspace(), "FHFolio01")->Table().RowCount(), 1);
    QCOMPARE(Child<MarginalEditor>(Workspace(), "FHMarginal01")->Table().RowCount(), 0);
    QVERIFY(Child<NumeratorEditor>(Workspace(), "FHFolio01")
                ->SheetSizeLabel()
                ->text()
                .contains(QStringLiteral("21.50 cm")));
    QVERIFY(Child<NumeratorEditor>(Workspace(), "FHFolio01")
                ->SheetSizeLabel()
                ->text()
                .contains(QStringLiteral("28.00 cm")));
    for (auto command :
         {WorkspaceCommand::Close, WorkspaceCommand::Save, WorkspaceCommand::PrintPage}) {
      QVERIFY(Workspace()->CommandIcon(command)->isVisible());
    }
    // The key in the hint is named as the toolkit names it in this language.
    QCOMPARE(Workspace()->CommandIcon(WorkspaceCommand::Save)->toolTip(),
             QStringLiteral("Guardar plantilla (%1)")
                 .arg(QKeySequence(QStringLiteral("Ctrl+S")).toString(QKeySequence::NativeText)));
    SaveScreenshot(window_.get(), QStringLiteral("workspace_numerators_es"));
  }

  void newAsksAndMakesAnEmptyTemplateOfTheProposedSize() {
    const std::string startSeries = Logic().Document().Series();
    questions_.clear();
    AnswerConfirmation(true);
    AnswerNextModal([](QWidget* modal) {
      auto* dialog = qobject_cast<SheetSizeDialog*>(modal);
      QVERIFY(dialog != nullptr);
      QCOMPARE(Child<TitleBand>(dialog, "PanTitulo")->text(), ToQString("  Tamaño de Hoja"));
      QTest::mouseClick(Child<QWidget>(dialog, "Bt_Aplica"), Qt::LeftButton);
    });
    Click(WorkspaceCommand::New);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(questions_, QStringList{QStringLiteral("Nueva plantilla")});
    QCOMPARE(Logic().Header().Width, 21.6);
    QCOMPARE(Logic().Header().Height, 28.0);
    QCOMPARE(Child<NumeratorEditor>(Workspace(), "FHFolio01")->Table().RowCount(), 0);
    QCOMPARE(Page(), 1);
    // Each starts a numbering of its own, and that is nothing to save.
    QVERIFY(IsSeriesText(startSeries) && IsSeriesText(Logic().Document().Series()));
    QVERIFY(Logic().Document().Series() != startSeries && !Logic().Modified());
  }

  void editedTablesAreSavedByteForByteASecondLater() {
    Click(WorkspaceCommand::Numerators);
    QCOMPARE(Page(), 2);
    QTest::mouseClick(
        Child<NumeratorEditor>(Workspace(), "FHFolio01")->CommandButton(EditorCommand::Add),
        Qt::LeftButton);
    TypeCell(Child<NumeratorEditor>(Workspace(), "FHFolio01"), NumeratorTable::kPrefix,
             QStringLiteral("No. "));
    TypeCell(Child<NumeratorEditor>(Workspace(), "FHFolio01"), NumeratorTable::kNumber,
             QStringLiteral("1500"));
    Click(WorkspaceCommand::MarginalTexts);
    QCOMPARE(Page(), 3);
    QTest::mouseClick(
        Child<MarginalEditor>(Workspace(), "FHMarginal01")->CommandButton(EditorCommand::Add),
        Qt::LeftButton);
    TypeCell(Child<MarginalEditor>(Workspace(), "FHMarginal01"), MarginalTable::kText,
             QStringLiteral("Original"));
    QCOMPARE(
        Child<NumeratorEditor>(Workspace(), "FHFolio01")->Table().Cell(0, NumeratorTable::kNumber),
        std::string("1500"));
    QCOMPARE(
        Child<MarginalEditor>(Workspace(), "FHMarginal01")->Table().Cell(0, MarginalTable::kText),
        std::string("Original"));
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
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path), kSaveWaitMs);
    const QByteArray expected =
        "|HJA|IMP100|Prueba.pla|" + EncodedFolder() + kHeaderTail +
        QByteArray::fromStdString(
            Child<NumeratorEditor>(Workspace(), "FHFolio01")->Table().LineOf(0)) +
        "\r\n" +
        QByteArray::fromStdString(
            Child<MarginalEditor>(Workspace(), "FHMarginal01")->Table().LineOf(0)) +
        "\r\n" + "|SER|" + QByteArray::fromStdString(Logic().Document().Series()) + "|\r\n";
    QCOMPARE(FileBytes(path), expected);
    QVERIFY(expected.contains("|FOL|") && expected.contains("|No. |1500|"));
    QVERIFY(expected.contains("|MAR|") && expected.contains("|Original|"));
    QTRY_COMPARE_WITH_TIMEOUT(Label(), QStringLiteral("Prueba"), kSaveWaitMs);
    QVERIFY(!Child<QLabel>(Workspace(), "Et_NomPlantilla")->font().bold());
    QVERIFY(!Child<QTimer>(Workspace(), "Temporiza")->isActive());
  }

  void closeAsksThenOpenRestoresEverything() {
    const std::string numerators =
        Child<NumeratorEditor>(Workspace(), "FHFolio01")->Table().LineOf(0);
    const std::string marginals =
        Child<MarginalEditor>(Workspace(), "FHMarginal01")->Table().LineOf(0);
    questions_.clear();
    AnswerConfirmation(false);  // Escape: nothing changes
    Click(WorkspaceCommand::Close);
    QCOMPARE(Label(), QStringLiteral("Prueba"));
    AnswerConfirmation(true);
    Click(WorkspaceCommand::Close);
    QCOMPARE(questions_, (QStringList{"Cerrar plantilla", "Cerrar plantilla"}));
    QCOMPARE(Label(), QStringLiteral("-- VACIO --"));
    QVERIFY(!Workspace()->CommandIcon(WorkspaceCommand::Save)->isVisible());
    QCOMPARE(Child<NumeratorEditor>(Workspace(), "FHFolio01")->Table().RowCount(), 0);
    SaveScreenshot(window_.get(), QStringLiteral("workspace_closed_es"));

    // No template is open: Open closes nothing and asks nothing.
    questions_.clear();
    Open(folder_.DataPath(QStringLiteral("Prueba.pla")), /*asks=*/false);
    QVERIFY(questions_.isEmpty());
    QCOMPARE(Label(), QStringLiteral("Prueba"));
    QCOMPARE(Page(), 2);
    QVERIFY(Workspace()->CommandIcon(WorkspaceCommand::PrintPage)->isVisible());
    QVERIFY(Logic().HasFile());
    QCOMPARE(Child<NumeratorEditor>(Workspace(), "FHFolio01")->Table().LineOf(0), numerators);
    QCOMPARE(Child<MarginalEditor>(Workspace(), "FHMarginal01")->Table().LineOf(0), marginals);
    QCOMPARE(Child<NumeratorEditor>(Workspace(), "FHFolio01")->Table().RowCount(), 1);
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
    QCOMPARE(question, ToQString("El Archivo ya existe. ¿Quiere reescribirlo?"));
    QCOMPARE(FileBytes(other), QByteArray("keep"));
    QCOMPARE(Label(), QStringLiteral("Prueba"));
    QVERIFY(!Child<QTimer>(Workspace(), "Temporiza")->isActive());

    // Save still writes to the first file, without a dialog.
    Click(WorkspaceCommand::Save);
    WaitForSave();
    QCOMPARE(FileBytes(first), firstBytes);

    AnswerNextModal([&](QWidget* modal) {
      ChooseFile(modal, other);
      AnswerMessage(&question, QMessageBox::Ok);
      AnswerConfirmation(true);  // the copy continues the numbering
    });
    Click(WorkspaceCommand::SaveAs);
    WaitForSave();
    QCOMPARE(FileBytes(other), QByteArray(firstBytes).replace("Prueba.pla", "Otra.pla"));
    QCOMPARE(Label(), QStringLiteral("Otra"));
  }

  // Save as asks whether the copy continues the numbering, its lines shown
  // whole: Enter keeps the series, "No" gives the copy its own, Escape makes
  // no copy.
  void saveAsAsksWhetherTheCopyContinuesTheNumbering_data() {
    QTest::addColumn<int>("key");  // 0: the No button
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("No") << 0;
    QTest::newRow("Escape") << int(Qt::Key_Escape);
  }

  void saveAsAsksWhetherTheCopyContinuesTheNumbering() {
    QFETCH(int, key);
    const std::string series = Logic().Document().Series(), file = Logic().FilePath();
    const QString copy = QStringLiteral("Copia%1.pla").arg(key);
    AnswerNextModal([&](QWidget* modal) {
      ChooseFile(modal, folder_.DataPath(copy));
      AnswerNextModal([&](QWidget* question) {
        auto* dialog = qobject_cast<ConfirmDialog*>(question);
        QVERIFY(dialog != nullptr && Child<QPushButton>(dialog, "Bt_No")->isVisible());
        bool whole = true;
        for (QLabel* line : {Child<QLabel>(dialog, "Et_Lin01"), Child<QLabel>(dialog, "Et_Lin02")})
          whole &= line->wordWrap() && line->heightForWidth(line->width()) <= line->height();
        if (key == 0) QTest::mouseClick(Child<QPushButton>(dialog, "Bt_No"), Qt::LeftButton);
        if (key != 0) QTest::keyClick(dialog, Qt::Key(key));
        QVERIFY(whole);
      });
    });
    Click(WorkspaceCommand::SaveAs);
    QVERIFY(AllModalsAnswered());
    if (key == Qt::Key_Escape) {
      QVERIFY(!Child<QTimer>(Workspace(), "Temporiza")->isActive() &&
              !QFile::exists(folder_.DataPath(copy)));
      QCOMPARE(Logic().FilePath(), file);
      return;
    }
    WaitForSave();
    const std::optional<Template> saved = LoadTemplate(folder_.DataFile(copy.toStdString()));
    QVERIFY(saved && IsSeriesText(saved->Series()));
    QCOMPARE(saved->Series() == series, key == Qt::Key_Return);
    QCOMPARE(Logic().Document().Series(), saved->Series());
  }

  void saveOfATemplateOpenedFromANameWithTwoDots() {
    const QString twoDots = folder_.DataPath(QStringLiteral("Caja.2024.pla"));
    WriteFile(twoDots, "|HJA|IMP100|x|y" + kHeaderTail);
    Open(twoDots);
    QCOMPARE(Label(), QStringLiteral("Caja"));
    QTest::mouseClick(
        Child<NumeratorEditor>(Workspace(), "FHFolio01")->CommandButton(EditorCommand::Add),
        Qt::LeftButton);
    Click(WorkspaceCommand::Save);
    WaitForSave();
    QVERIFY(FileBytes(twoDots).startsWith("|HJA|IMP100|Caja.2024.pla|" + EncodedFolder()));
    QVERIFY(FileBytes(twoDots).contains("|FOL|"));
    QVERIFY(!QFile::exists(folder_.DataPath(QStringLiteral("Caja.pla"))));
    QCOMPARE(Label(), QStringLiteral("Caja"));
  }

  void failedOpensKeepTheCurrentTemplate_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty file") << QByteArray() << "Mala.pla"
                                << "El formato no es compatible y no pudo ser leido.";
    QTest::newRow("bad header")
        << QByteArray("|HJA|IMP100|x|y|0|0|0|0|0|0|ancho|28.00|0|0|0|0|0|0|F|F|\r\n") << "Mala.pla"
        << "'ancho' is not a valid floating point value";
    // The message names the file with every letter, those a template lacks too.
    QTest::newRow("accented name") << QByteArray() << QString::fromUtf8("Año ñ ł.pla")
                                   << "El formato no es compatible y no pudo ser leido.";
  }

  void failedOpensKeepTheCurrentTemplate() {
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(QString, message);
    Open(folder_.DataPath(QStringLiteral("Prueba.pla")));
    const QString label = Label();
    const int rows = Logic().Document().Numerators().RowCount();
    const QString path = folder_.DataPath(name);
    WriteFile(path, content);
    QString shown, folder;
    AnswerConfirmation(true);
    AnswerNextModal([&](QWidget* modal) {
      ChooseFile(modal, path, nullptr, &folder);
      AnswerMessage(&shown);
    });
    Click(WorkspaceCommand::Open);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(folder, Folder());  // the open dialog proposes the data folder, as saving does
    QVERIFY2(shown.startsWith(message) && shown.contains(name), qPrintable(shown));
    QCOMPARE(Label(), label);
    QVERIFY(Workspace()->CommandIcon(WorkspaceCommand::Save)->isVisible());
    QVERIFY(Logic().HasFile());
    QVERIFY(QString::fromStdString(Logic().FilePath()).endsWith("Prueba.pla"));
    QVERIFY(rows > 0);
    QCOMPARE(Logic().Document().Numerators().RowCount(), rows);
  }

  // The keys do what the icons do, with the same questions; the file
  // dialogs list templates first and a name typed bare gets ".pla".
  void shortcutsAndTemplateFilters() {
    Open(folder_.DataPath(QStringLiteral("Prueba.pla")));
    QVERIFY(
        Workspace()
            ->CommandIcon(WorkspaceCommand::SaveAs)
            ->toolTip()
            .endsWith(
                QKeySequence(QStringLiteral("Ctrl+Shift+S")).toString(QKeySequence::NativeText) +
                ")"));
    const QString bare = folder_.DataPath(QStringLiteral("Atajo"));
    QStringList filters;
    QString selected;
    AnswerNextModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      QVERIFY(dialog != nullptr);
      filters = dialog->nameFilters();
      selected = dialog->selectedNameFilter();
      ChooseFile(modal, bare);
      AnswerConfirmation(true);  // the copy continues the numbering
    });
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    Reactivate();
    QVERIFY(AllModalsAnswered());
    QCOMPARE(filters, QStringList({QStringLiteral("Plantillas (*.pla)"),
                                   QStringLiteral("Todos los archivos (*)")}));
    QCOMPARE(selected, filters.front());
    WaitForSave();
    QVERIFY(QFile::exists(bare + QStringLiteral(".pla")));
    QVERIFY(!QFile::exists(bare));

    // Ctrl+O asks as the icon does; refused, nothing opens.
    questions_.clear();
    AnswerConfirmation(false);
    QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);
    Reactivate();
    QVERIFY(AllModalsAnswered());
    QCOMPARE(questions_.size(), 1);
    QVERIFY(QString::fromStdString(Logic().FilePath()).endsWith(QStringLiteral("Atajo.pla")));

    QTest::keyClick(window_.get(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(Page(), 6);

    AnswerConfirmation(true);
    QTest::keyClick(window_.get(), Qt::Key_W, Qt::ControlModifier);
    Reactivate();
    QVERIFY(AllModalsAnswered());
    QCOMPARE(Label(), QStringLiteral("-- VACIO --"));

    // Ctrl+O without a template: no question; the dialog lists templates.
    AnswerNextModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      QVERIFY(dialog != nullptr);
      selected = dialog->selectedNameFilter();
      ChooseFile(modal, folder_.DataPath(QStringLiteral("Prueba.pla")));
    });
    QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);
    Reactivate();
    QVERIFY(AllModalsAnswered());
    QCOMPARE(selected, QStringLiteral("Plantillas (*.pla)"));
    QVERIFY(QString::fromStdString(Logic().FilePath()).endsWith(QStringLiteral("Prueba.pla")));
  }

  void sheetSizeReachesBothEditors() {
    Open(folder_.DataPath(QStringLiteral("Prueba.pla")));
    QString shown;
    AnswerNextModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<SheetSizeDialog*>(modal);
      shown = Child<QLineEdit>(dialog, "EdHoriz")->text() + QLatin1Char('x') +
              Child<QLineEdit>(dialog, "EdVert")->text();
      Child<QLineEdit>(dialog, "EdHoriz")->selectAll();
      QTest::keyClicks(Child<QLineEdit>(dialog, "EdHoriz"), QStringLiteral("10.5"));
      QTest::keyClick(Child<QLineEdit>(dialog, "EdHoriz"), Qt::Key_Return);
    });
    Click(WorkspaceCommand::SheetSize);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(shown, QStringLiteral("21.60x28.00"));
    QCOMPARE(Logic().Header().Width, 10.5);
    for (TableEditor* editor :
         std::initializer_list<TableEditor*>{Child<NumeratorEditor>(Workspace(), "FHFolio01"),
                                             Child<MarginalEditor>(Workspace(), "FHMarginal01")}) {
      QVERIFY2(editor->SheetSizeLabel()->text().contains(QStringLiteral("10.50 cm")),
               qPrintable(editor->SheetSizeLabel()->text()));
    }
    QCOMPARE(Page(), 2);
    SaveScreenshot(window_.get(), QStringLiteral("workspace_template_es"));
  }

  // An edit made after the last save reaches the preview when it opens.
  void previewShowsTheCurrentTables() {
    Click(WorkspaceCommand::Numerators);
    TypeCell(Child<NumeratorEditor>(Workspace(), "FHFolio01"), NumeratorTable::kNumber,
             QStringLiteral("2024"));
    TypeCell(Child<NumeratorEditor>(Workspace(), "FHFolio01"), NumeratorTable::kHorizontal,
             QStringLiteral("6.5"));
    TypeCell(Child<NumeratorEditor>(Workspace(), "FHFolio01"), NumeratorTable::kVertical,
             QStringLiteral("1.5"));
    Click(WorkspaceCommand::MarginalTexts);
    TypeCell(Child<MarginalEditor>(Workspace(), "FHMarginal01"), MarginalTable::kHorizontal,
             QStringLiteral("1.5"));
    TypeCell(Child<MarginalEditor>(Workspace(), "FHMarginal01"), MarginalTable::kVertical,
             QStringLiteral("1.5"));
    Click(WorkspaceCommand::Preview);
    QCOMPARE(Page(), 5);
    PreviewPage* preview = Child<PreviewPage>(Workspace(), "FHVista01");
    QVERIFY(preview->isVisible());
    QCOMPARE(preview->NumeratorRecords().size(), size_t{1});
    QCOMPARE(preview->NumeratorRecords()[0].Number, 2024);
    QCOMPARE(preview->NumeratorRecords()[0].Prefix, std::string("No. "));
    QCOMPARE(preview->NumeratorRecords()[0].Horizontal, 6.5);
    QCOMPARE(preview->MarginalRecords().size(), size_t{1});
    QCOMPARE(preview->MarginalRecords()[0].Text, std::string("Original"));
    QVERIFY2(Child<QLabel>(preview, "Et_TamHoja")->text().contains(QStringLiteral("(10.50 cm)")),
             qPrintable(Child<QLabel>(preview, "Et_TamHoja")->text()));
  }

  // A cell editor left open is committed by the commands that read the
  // tables; one that cannot commit stops them with its message.
  void commandsCommitTheOpenCellEditor() {
    Click(WorkspaceCommand::Numerators);
    TableEditor* numerators = Child<NumeratorEditor>(Workspace(), "FHFolio01");
    ClickCell(numerators->Grid(), 0, NumeratorTable::kNumber);
    TypeText(QStringLiteral("77"));
    Click(WorkspaceCommand::Preview);
    QCOMPARE(Page(), 5);
    QCOMPARE(Child<PreviewPage>(Workspace(), "FHVista01")->NumeratorRecords()[0].Number, 77);

    Click(WorkspaceCommand::Numerators);
    ClickCell(numerators->Grid(), 0, NumeratorTable::kPrefix);
    TypeText(QStringLiteral("x"));
    QGuiApplication::clipboard()->setText(QStringLiteral("a|b"));
    qobject_cast<QLineEdit*>(numerators->OpenEditor())->selectAll();
    PressKey(Qt::Key_V, Qt::ControlModifier);
    QString message;
    AnswerMessage(&message);
    Click(WorkspaceCommand::SaveAs);  // no file dialog follows the refusal
    QVERIFY(AllModalsAnswered());
    QVERIFY2(message.contains(QStringLiteral("|")), qPrintable(message));
    QCOMPARE(Page(), 2);
    QCOMPARE(numerators->Table().Cell(0, NumeratorTable::kPrefix), std::string("No. "));
    qobject_cast<QLineEdit*>(numerators->OpenEditor())->selectAll();
    TypeText(QStringLiteral("No. "));
    PressKey(Qt::Key_Return);
    TypeCell(numerators, NumeratorTable::kNumber, QStringLiteral("2024"));
    Click(WorkspaceCommand::Preview);
  }

  void sheetSizeRebuildsTheOpenPreview() {
    PreviewPage* preview = Child<PreviewPage>(Workspace(), "FHVista01");
    const int zoomBefore = preview->Zoom();
    AnswerSheetSize(QStringLiteral("15"), QStringLiteral("20"));
    Click(WorkspaceCommand::SheetSize);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(Page(), 5);
    QCOMPARE(Logic().Header().Width, 15.0);
    QCOMPARE(Logic().Header().Height, 20.0);
    QVERIFY2(
        Child<QLabel>(preview, "Et_TamHoja")->text().contains(QStringLiteral("(15.00 cm)  ")) &&
            Child<QLabel>(preview, "Et_TamHoja")->text().endsWith(QStringLiteral("(20.00 cm)")),
        qPrintable(Child<QLabel>(preview, "Et_TamHoja")->text()));
    // Laid out again: a new fitting zoom, the records kept.
    QVERIFY(preview->Zoom() != zoomBefore);
    QCOMPARE(preview->NumeratorRecords()[0].Number, 2024);
    QVERIFY(Child<NumeratorEditor>(Workspace(), "FHFolio01")
                ->SheetSizeLabel()
                ->text()
                .contains(QStringLiteral("15.00 cm")));
  }

  // The print page gets the current tables and the preview's image to print,
  // and a run prints them.
  void printPageRunsTheCurrentTablesToAPdf() {
    const QString picture = folder_.Root() + QStringLiteral("/fondo.jpg");
    QImage image(120, 160, QImage::Format_RGB32);
    image.fill(QColor(250, 240, 200));
    QVERIFY(image.save(picture, "JPG"));
    PreviewPage* preview = Child<PreviewPage>(Workspace(), "FHVista01");
    AnswerFile(picture);
    QTest::mouseClick(Child<ClickLabel>(preview, "Bt_ImaFondo"), Qt::LeftButton);
    QVERIFY(AllModalsAnswered());
    QVERIFY(preview->ImageLoaded());

    // The box not ticked: the image stays on the preview.
    Click(WorkspaceCommand::PrintPage);
    QCOMPARE(Page(), 6);
    QVERIFY(!LoadedJob().PrintBackground);
    Click(WorkspaceCommand::Preview);
    QTest::mouseClick(Child<QCheckBox>(preview, "Bt_SelFondo"), Qt::LeftButton);
    QVERIFY(preview->PrintImageTicked());
    Click(WorkspaceCommand::PrintPage);
    QCOMPARE(Page(), 6);
    QVERIFY(LoadedJob().PrintBackground);
    QVERIFY(LoadedJob().Background != nullptr);
    QCOMPARE(LoadedJob().Background->Width(), 120);
    QCOMPARE(LoadedJob().Sheet.Width, 15.0);
    QCOMPARE(LoadedJob().NumeratorCount, 1);
    QCOMPARE(LoadedJob().Numerators[0].Number, 2024);
    QCOMPARE(LoadedJob().MarginalCount, 1);

    PrintPage* page = Child<PrintPage>(Workspace(), "FHImprime01");
    const QString pdf = folder_.Root() + QStringLiteral("/hojas.pdf");
    {
      auto answer = ChoosePdf(pdf);
      QTest::mouseClick(Child<ClickLabel>(page, "Bt_SelecImpre"), Qt::LeftButton);
      QVERIFY(answer->Answered());
    }
    Reactivate();
    Retype(Child<QLineEdit>(page, "Ed_HojasImp"), QStringLiteral("2"));
    // The template has a file: the page offers to continue after the run.
    {
      zirvo::testing::BoxAnswers keepNumbers({{"ContinueNumbering", QMessageBox::No}});
      QVERIFY(zirvo::testing::ClickAndFinishRun(page, "Bt_ImpTodo"));
      QCOMPARE(keepNumbers.names, QStringList{"ContinueNumbering"});
      QVERIFY2(keepNumbers.texts[0].contains(QStringLiteral("2026")),
               qPrintable(keepNumbers.texts[0]));
    }
    Reactivate();
    QCOMPARE(PdfPageCount(pdf), 2);
    for (int sheet = 1; sheet <= 2; ++sheet) {
      const std::vector<std::string> words = PdfPageWords(pdf, sheet);
      QVERIFY(HasWord(words, std::to_string(2023 + sheet)));
      QVERIFY(HasWord(words, "Original"));
    }
    // Printing leaves the template as it was.
    QCOMPARE(
        Child<NumeratorEditor>(Workspace(), "FHFolio01")->Table().Cell(0, NumeratorTable::kNumber),
        std::string("2024"));
  }

  // The preview's sheets are those of the run the print page would print
  // with the increment its field holds (1 while it holds none).
  void previewSheetsFollowThePrintPagesIncrement() {
    PrintPage* page = Child<PrintPage>(Workspace(), "FHImprime01");
    PreviewPage* preview = Child<PreviewPage>(Workspace(), "FHVista01");
    QLineEdit* sheet = Child<QLineEdit>(preview, "Ed_Hoja");
    // The runs of the later tests step by 1, whatever happens here.
    const std::unique_ptr<QLineEdit, void (*)(QLineEdit*)> stepByOne(
        Child<QLineEdit>(page, "Ed_IncNum"), [](QLineEdit* field) { Retype(field, "1"); });
    for (const auto& [increment, shown] : {std::pair{"-5", 2034}, {"", 2026}, {"7", 2038}}) {
      Click(WorkspaceCommand::PrintPage);
      Retype(Child<QLineEdit>(page, "Ed_IncNum"), QString::fromLatin1(increment));
      Click(WorkspaceCommand::Preview);
      Retype(sheet, QStringLiteral("3"));
      QTest::keyClick(sheet, Qt::Key_Return);
      QCOMPARE(preview->NumeratorRecords()[0].Number, shown);
    }
    Retype(sheet, QStringLiteral("1"));
    QTest::keyClick(sheet, Qt::Key_Return);
    QCOMPARE(preview->NumeratorRecords()[0].Number, 2024);
  }

  // Unsaved changes are asked about before they could be lost: Escape keeps
  // them, "No guardar" drops them, Enter saves them first. The label marks them.
  void unsavedChangesAreAskedAboutFirst() {
    const QString path = folder_.DataPath(QStringLiteral("Prueba.pla"));
    const QString unsaved = QStringLiteral("CAMBIOS SIN GUARDAR");
    const QByteArray saved = FileBytes(path);
    // The sheet size and the cells typed since the last open are not saved.
    QCOMPARE(Label(), QStringLiteral("Prueba *"));
    QVERIFY(!saved.contains("|15.00|20.00|"));
    SaveScreenshot(window_.get(), QStringLiteral("workspace_unsaved_es"));

    questions_.clear();
    AnswerConfirmation(false);
    QTest::keyClick(window_.get(), Qt::Key_W, Qt::ControlModifier);
    Reactivate();
    QVERIFY(AllModalsAnswered());
    AnswerConfirmation(false);
    QVERIFY(!window_->close());
    QVERIFY(AllModalsAnswered());
    QCOMPARE(questions_, (QStringList{unsaved, unsaved}));
    QVERIFY(window_->isVisible());
    QCOMPARE(Label(), QStringLiteral("Prueba *"));
    QCOMPARE(Logic().Header().Width, 15.0);
    QCOMPARE(FileBytes(path), saved);

    // "No guardar", then the file: the template as it was saved.
    questions_.clear();
    AnswerNextModal([this](QWidget* modal) {
      auto* dialog = qobject_cast<ConfirmDialog*>(modal);
      QVERIFY(dialog != nullptr);
      questions_ << Child<QLabel>(dialog, "Et_Titulo")->text();
      QTest::mouseClick(Child<QWidget>(dialog, "Bt_Aceptar"), Qt::LeftButton);
    });
    AnswerFile(path);
    Click(WorkspaceCommand::Open);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(questions_, QStringList{unsaved});
    QCOMPARE(Label(), QStringLiteral("Prueba"));
    QCOMPARE(Logic().Header().Width, 21.6);
    QCOMPARE(FileBytes(path), saved);

    // Edited again by keys; Enter in the question saves before closing.
    AnswerSheetSize(QStringLiteral("15"), QStringLiteral("20"));
    Click(WorkspaceCommand::SheetSize);
    QVERIFY(AllModalsAnswered());
    TypeCell(Child<NumeratorEditor>(Workspace(), "FHFolio01"), NumeratorTable::kNumber,
             QStringLiteral("2024"));
    QCOMPARE(Label(), QStringLiteral("Prueba *"));
    questions_.clear();
    AnswerConfirmation(true);
    Click(WorkspaceCommand::Close);
    QVERIFY(AllModalsAnswered());
    QCOMPARE(questions_, QStringList{unsaved});
    QVERIFY(!Logic().TemplateOpen());
    const QByteArray written = FileBytes(path);
    QVERIFY(written.contains("|15.00|20.00|"));
    QVERIFY(written.contains("|2024|"));

    Open(path, /*asks=*/false);
    QCOMPARE(Label(), QStringLiteral("Prueba"));
    QTest::keyClick(window_.get(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(Page(), 6);
    QCOMPARE(LoadedJob().Sheet.Width, 15.0);
  }

  // While a run prints, the commands are off and the exit question waits
  // for the run's end.
  void aRunKeepsItsPageAndDefersTheExit() {
    PrintPage* page = Child<PrintPage>(Workspace(), "FHImprime01");
    QFile::remove(folder_.Root() + QStringLiteral("/hojas.pdf"));  // nothing to replace
    Retype(Child<QLineEdit>(page, "Ed_HojasImp"), QStringLiteral("5000"));
    questions_.clear();
    bool commandsOff = false, closeRefused = false, nothingAsked = false;
    zirvo::testing::AtSpooledPage during(printDevice_, 20, [&] {
      commandsOff = !Workspace()->CommandIcon(WorkspaceCommand::Close)->isEnabled() &&
                    !Workspace()->CommandIcon(WorkspaceCommand::Numerators)->isEnabled();
      for (auto command :
           {WorkspaceCommand::Numerators, WorkspaceCommand::Close, WorkspaceCommand::New,
            WorkspaceCommand::SheetSize, WorkspaceCommand::PrintPage}) {
        Workspace()->Logic().RunCommand(command);
      }
      closeRefused = !window_->close() && window_->isVisible();
      nothingAsked = questions_.isEmpty() && Page() == 6 && LoadedJob().Sheet.Width == 15.0;
      // The exit question, once the run and its questions are over.
      AnswerConfirmation(false);
      QTest::mouseClick(Child<ClickLabel>(page, "Bt_CanImp"), Qt::LeftButton);
    });
    {
      // The numbers were printed by the run before: asked, and printed
      // again. The cancel aborts the PDF, so no sheet was completed and
      // continuing is not offered.
      zirvo::testing::BoxAnswers answers(
          {{"ReprintNumbers", QMessageBox::Yes}, {"ContinueNumbering", QMessageBox::No}});
      QVERIFY(zirvo::testing::ClickAndFinishRun(page, "Bt_ImpTodo"));
      QCOMPARE(answers.names, QStringList{"ReprintNumbers"});
      QVERIFY2(answers.texts[0].contains(QStringLiteral("2024,2025")),
               qPrintable(answers.texts[0]));
    }
    QVERIFY(during.Ran());
    QVERIFY(commandsOff);
    QVERIFY(closeRefused);
    QVERIFY(nothingAsked);
    QVERIFY(!page->Running());
    // Now the exit is asked; refused, everything stays.
    QTRY_VERIFY(AllModalsAnswered());
    QCOMPARE(questions_, QStringList{ToQString("La aplicación va a cerrarse")});
    QVERIFY(window_->isVisible());
    QCOMPARE(Page(), 6);
    QVERIFY(Workspace()->CommandIcon(WorkspaceCommand::Close)->isEnabled());
    Retype(Child<QLineEdit>(page, "Ed_HojasImp"), QStringLiteral("1"));
    Reactivate();
  }

  // A language change reaches every page; each page is captured in both
  // languages with the template loaded.
  void languageReachesEveryPage() {
    const struct {
      int entry;
      const char* suffix;
      QString previewTitle;
      QString printTitle;
    } languages[] = {
        {1, "en", QStringLiteral("   Preview"),
         QStringLiteral("Impression characteristics of the template")},
        {0, "es", QStringLiteral("   Vista previa"),
         ToQString("Características de impresión de la plantilla")},
    };
    for (const auto& language : languages) {
      ChooseLanguage(language.entry);
      QCOMPARE(Child<QLabel>(Child<PreviewPage>(Workspace(), "FHVista01"), "Pn_Titulo")->text(),
               language.previewTitle);
      QCOMPARE(Child<QLabel>(Child<PrintPage>(Workspace(), "FHImprime01"), "Et_ImpPlan")->text(),
               language.printTitle);
      const QString suffix = QLatin1Char('_') + QLatin1String(language.suffix);
      Child<QStackedWidget>(Workspace(), "Hoja00")->setCurrentIndex(1);
      SaveScreenshot(window_.get(), QStringLiteral("page1_presentation") + suffix);
      Click(WorkspaceCommand::Numerators);
      SaveScreenshot(window_.get(), QStringLiteral("page2_numerators") + suffix);
      Click(WorkspaceCommand::MarginalTexts);
      SaveScreenshot(window_.get(), QStringLiteral("page3_marginals") + suffix);
      Click(WorkspaceCommand::Preview);
      SaveScreenshot(window_.get(), QStringLiteral("page5_preview") + suffix);
      Click(WorkspaceCommand::PrintPage);
      SaveScreenshot(window_.get(), QStringLiteral("page6_print") + suffix);
    }
  }

  void exitAsksOnlyWhileATemplateIsOpen() {
    questions_.clear();
    AnswerConfirmation(false);
    QVERIFY(!window_->close());
    QVERIFY(window_->isVisible());
    QCOMPARE(Label(), QStringLiteral("Prueba"));
    AnswerConfirmation(true);
    Click(WorkspaceCommand::Close);
    QCOMPARE(questions_, (QStringList{ToQString("La aplicación va a cerrarse"),
                                      QStringLiteral("Cerrar plantilla")}));
    // No template open: the program ends without a question.
    QList<ConfirmQuestion> asked;
    window_->SetConfirm([&asked](ConfirmQuestion question) {
      asked << question;
      return ConfirmAnswer::Cancel;
    });
    QVERIFY(window_->close());
    QVERIFY(asked.isEmpty());
  }
};

QTEST_MAIN(WorkspaceScreenTest)
#include "workspace_test.moc"
