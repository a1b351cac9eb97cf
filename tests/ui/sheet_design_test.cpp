// Design on the preview's sheet, by mouse and keys only: drags, nudges,
// groups, the sheet's edge, the selection shared with the grids, the snap
// grid and the alignment commands, undo and redo by key and icon, and the
// background's alignment dialog.
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "catalog/catalog.h"
#include "editors/marginal_editor_qt.h"
#include "editors/numerator_editor_qt.h"
#include "pages/preview_page_qt.h"
#include "render/painter_surface_qt.h"
#include "support/shell_support.h"
#include "support/ui_support.h"
#include "template/marginal_table.h"
#include "template/numerator_table.h"
#include "workspace/workspace_screen_qt.h"

using namespace zirvo;
using namespace zirvo::testing;

namespace {

constexpr auto N = TemplateTable::Numerators;
constexpr auto M = TemplateTable::Marginals;

}  // namespace

class SheetDesignTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WorkspaceScreen> ws_;

  Template& Doc() { return ws_->Logic().Document(); }
  PreviewPage* Preview() { return Child<PreviewPage>(ws_.get(), "FHVista01"); }
  QWidget* Sheet() { return Child<SheetView>(ws_.get(), "ScrollVista")->viewport(); }
  TableEditor* Editor(TemplateTable table) {
    if (table == N) return Child<TableEditor>(ws_.get(), "FHFolio01");
    return Child<TableEditor>(ws_.get(), "FHMarginal01");
  }
  QString Label() { return Child<QLabel>(ws_.get(), "Et_NomPlantilla")->text(); }
  QString Cell(ItemRef item, bool vertical) {
    const TextTable& t = Doc().Table(item.table);
    const int cell = vertical ? t.Layout().verticalCell : t.Layout().horizontalCell;
    return QString::fromStdString(t.Cell(item.row, cell));
  }
  double At(ItemRef item, bool vertical) { return Cell(item, vertical).toDouble(); }
  void Click(WorkspaceCommand command) {
    QTest::mouseClick(ws_->CommandIcon(command), Qt::LeftButton);
  }
  // Types a row's position into its grid, as a user edits the cells.
  void Place(ItemRef item, const char* h, const char* v) {
    TableEditor* editor = Editor(item.table);
    Click(item.table == N ? WorkspaceCommand::Numerators : WorkspaceCommand::MarginalTexts);
    while (editor->Table().RowCount() <= item.row)
      QTest::mouseClick(editor->CommandButton(EditorCommand::Add), Qt::LeftButton);
    const TableLayout& layout = editor->Table().Layout();
    if (item.table == M) {
      ClickCell(editor->Grid(), item.row, MarginalTable::kText);
      TypeText("Copia");
      PressKey(Qt::Key_Return);
    }
    for (auto [cell, text] : {std::pair{layout.horizontalCell, h}, {layout.verticalCell, v}}) {
      ClickCell(editor->Grid(), item.row, cell);
      TypeText(text);
      PressKey(Qt::Key_Return);
    }
  }
  void ShowPreviewAt(int zoom) {
    Click(WorkspaceCommand::Preview);
    QTest::mouseClick(Child<QComboBox>(Preview(), "Ed_Zoom")->lineEdit(), Qt::LeftButton);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeText(QString::number(zoom));
    PressKey(Qt::Key_Return);
    QCOMPARE(Preview()->Zoom(), zoom);
  }
  // Where an item is drawn, in the sheet viewport's coordinates.
  QRect Drawn(ItemRef item) {
    for (const auto& [ref, r] : Preview()->Designer().ItemRects())
      if (ref == item)
        return QRect(r.left, r.top, r.width, r.height)
            .translated(Child<SheetView>(ws_.get(), "ScrollVista")->PanelOrigin());
    return {};
  }
  void Drag(QPoint from, QPoint by, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mousePress(Sheet(), Qt::LeftButton, modifiers, from);
    for (int step = 1; step <= 4; ++step) QTest::mouseMove(Sheet(), from + by * step / 4);
    QTest::mouseRelease(Sheet(), Qt::LeftButton, modifiers, from + by);
  }
  double PixelsPerCm() {
    return Preview()->Zoom() / 100.0 * Preview()->ScreenPixelsPerInch() / 2.54;
  }

 private slots:
  void initTestCase() { PrepareCatalog(1); }

  void init() {
    ws_ = std::make_unique<WorkspaceScreen>();
    ws_->resize(1000, 700);
    ws_->InitWorkspace();
    ws_->StartTemplate();
    QVERIFY(ShowActive(ws_.get()));
  }
  void cleanup() { ws_.reset(); }

  // A drag moves the item by the distance dragged and shows the new cells;
  // Ctrl+Z puts them back, Ctrl+Shift+Z and Ctrl+Y make the move again.
  void dragUndoRedo_data() {
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("by");
    QTest::newRow("50 %") << 50 << QPoint(37, -23);
    QTest::newRow("100 %") << 100 << QPoint(-61, 44);
    QTest::newRow("200 %") << 200 << QPoint(150, 91);
  }
  void dragUndoRedo() {
    QFETCH(int, zoom);
    QFETCH(QPoint, by);
    const ItemRef item{N, 0};
    Place(item, "5", "8");
    ShowPreviewAt(zoom);
    Drag(Drawn(item).center(), by);
    const double perCm = PixelsPerCm();
    QVERIFY(std::abs((At(item, false) - 5.0) * perCm - by.x()) <= 0.5);
    QVERIFY(std::abs((At(item, true) - 8.0) * perCm - by.y()) <= 0.5);
    const QString moved[] = {Cell(item, false), Cell(item, true)};
    QCOMPARE(Editor(N)->Grid()->CurrentRow(), 0);
    QVERIFY(Label().endsWith(" *"));

    const struct {
      int key;
      Qt::KeyboardModifiers modifiers;
      bool back;
    } steps[] = {{Qt::Key_Z, Qt::ControlModifier, true},
                 {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, false},
                 {Qt::Key_Z, Qt::ControlModifier, true},
                 {Qt::Key_Y, Qt::ControlModifier, false}};
    for (const auto& step : steps) {
      QTest::keyClick(Sheet(), static_cast<Qt::Key>(step.key), step.modifiers);
      QCOMPARE(Cell(item, false), step.back ? QString("5.00") : moved[0]);
      QCOMPARE(Cell(item, true), step.back ? QString("8.00") : moved[1]);
    }
  }

  // Arrow keys nudge the selection; each press is one step.
  void nudges_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("h");
    QTest::addColumn<QString>("v");
    QTest::newRow("right") << int(Qt::Key_Right) << 0 << "5.01"
                           << "8.00";
    QTest::newRow("shift+left") << int(Qt::Key_Left) << int(Qt::ShiftModifier) << "4.90"
                                << "8.00";
    QTest::newRow("up") << int(Qt::Key_Up) << 0 << "5.00"
                        << "7.99";
    QTest::newRow("shift+down") << int(Qt::Key_Down) << int(Qt::ShiftModifier) << "5.00"
                                << "8.10";
  }
  void nudges() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, h);
    QFETCH(QString, v);
    const ItemRef item{N, 0};
    Place(item, "5", "8");
    ShowPreviewAt(100);
    QTest::mouseClick(Sheet(), Qt::LeftButton, {}, Drawn(item).center());
    for (int press = 0; press < 2; ++press)
      QTest::keyClick(Sheet(), static_cast<Qt::Key>(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(Cell(item, false), QString::number((h.toDouble() - 5.0) * 2 + 5.0, 'f', 2));
    QCOMPARE(Cell(item, true), QString::number((v.toDouble() - 8.0) * 2 + 8.0, 'f', 2));
    QTest::keyClick(Sheet(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Cell(item, false), h);
    QCOMPARE(Cell(item, true), v);
  }

  // Ctrl+click and a rubber band pick a group; a drag moves it together as
  // one step; a drag that would leave the sheet stops at its edge.
  void groupsAndTheSheetsEdge() {
    const ItemRef a{N, 0}, b{N, 1}, c{M, 0};
    Place(a, "3", "4");
    Place(b, "9", "6");
    Place(c, "15", "20");
    ShowPreviewAt(100);
    SheetSelection& selection = *Preview()->Designer().Selection();

    QTest::mouseClick(Sheet(), Qt::LeftButton, {}, Drawn(a).center());
    QTest::mouseClick(Sheet(), Qt::LeftButton, Qt::ControlModifier, Drawn(c).center());
    QCOMPARE(selection.Items(), (std::vector<ItemRef>{a, c}));
    Drag(Drawn(c).center(), QPoint(38, 0));
    QCOMPARE(Cell(a, false), QString("4.01"));
    QCOMPARE(Cell(c, false), QString("16.01"));
    QCOMPARE(Cell(b, false), QString("9.00"));
    QTest::keyClick(Sheet(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Cell(a, false), QString("3.00"));
    QCOMPARE(Cell(c, false), QString("15.00"));

    // A band over a and b, from an empty spot above them.
    const QRect both = Drawn(a).united(Drawn(b)).adjusted(-8, -8, 8, 8);
    Drag(both.topLeft(), both.bottomRight() - both.topLeft());
    QCOMPARE(selection.Items(), (std::vector<ItemRef>{a, b}));

    // Far to the left and up: a, the leftmost, stops at the sheet's corner.
    Drag(Drawn(b).center(), QPoint(-400, -400));
    QCOMPARE(Drawn(a).topLeft() - Child<SheetView>(ws_.get(), "ScrollVista")->PanelOrigin(),
             QPoint(0, 0));
    QCOMPARE(Cell(a, false), QString("0.00"));
    QCOMPARE(Cell(b, false), QString("6.00"));
    QCOMPARE(Cell(a, true), QString("0.00"));
    QCOMPARE(Cell(b, true), QString("2.00"));
  }

  // Selecting a row selects its item and the other way round.
  void selectionFollowsBetweenGridAndPreview() {
    const ItemRef a{N, 0}, b{N, 1}, c{M, 0};
    Place(a, "3", "4");
    Place(b, "9", "6");
    Place(c, "15", "20");
    ShowPreviewAt(100);
    QTest::mouseClick(Sheet(), Qt::LeftButton, {}, Drawn(b).center());
    QCOMPARE(Editor(N)->Grid()->CurrentRow(), 1);
    Click(WorkspaceCommand::Numerators);
    ClickCell(Editor(N)->Grid(), 0, 1);
    QCOMPARE(Preview()->Designer().Selection()->Items(), std::vector<ItemRef>{a});
    PressKey(Qt::Key_Down);
    QCOMPARE(Preview()->Designer().Selection()->Items(), std::vector<ItemRef>{b});
  }

  // The snap grid catches the item dragged; the alignment commands line up
  // the selection's edges, each as one step.
  void snapAndAlign() {
    const ItemRef a{N, 0}, b{M, 0};
    Place(a, "3.13", "4");
    Place(b, "6", "5.27");
    ShowPreviewAt(100);
    auto* snap = Child<QComboBox>(Preview(), "Ed_Rejilla");
    QTest::keyClick(snap, Qt::Key_End);
    QCOMPARE(Preview()->Designer().Snap(), 0.5);
    Drag(Drawn(a).center(), QPoint(30, 22));
    QCOMPARE(Cell(a, false), QString("4.00"));
    QCOMPARE(Cell(a, true), QString("4.50"));

    QTest::mouseClick(Sheet(), Qt::LeftButton, {}, Drawn(a).center());
    QTest::mouseClick(Sheet(), Qt::LeftButton, Qt::ControlModifier, Drawn(b).center());
    QTest::mouseClick(Child<QWidget>(Preview(), "Bt_AlinIzq"), Qt::LeftButton);
    QCOMPARE(Drawn(a).left(), Drawn(b).left());
    QTest::mouseClick(Child<QWidget>(Preview(), "Bt_AlinArr"), Qt::LeftButton);
    QCOMPARE(Drawn(a).top(), Drawn(b).top());
    QTest::mouseClick(Child<QWidget>(Preview(), "Bt_AlinCentro"), Qt::LeftButton);
    QVERIFY(std::abs(Drawn(a).center().x() - Drawn(b).center().x()) <= 1);
    for (int undo = 0; undo < 3; ++undo)
      QTest::mouseClick(ws_->CommandIcon(WorkspaceCommand::Undo), Qt::LeftButton);
    QCOMPARE(Cell(a, false), QString("4.00"));
    QCOMPARE(Cell(b, true), QString("5.27"));
    uitest::SaveScreenshot(ws_.get(), "sheet_design");
  }

  // The two icons: disabled with nothing to undo or redo, hints in both languages.
  void undoIcons() {
    QToolButton* undo = ws_->CommandIcon(WorkspaceCommand::Undo);
    QToolButton* redo = ws_->CommandIcon(WorkspaceCommand::Redo);
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    QVERIFY(undo->toolTip().startsWith("Deshacer") && redo->toolTip().startsWith("Rehacer"));
    Place({N, 0}, "2", "2");
    QVERIFY(undo->isEnabled() && !redo->isEnabled());
    QTest::mouseClick(undo, Qt::LeftButton);
    QTest::mouseClick(undo, Qt::LeftButton);
    QVERIFY(!undo->isEnabled() && redo->isEnabled());
    QCOMPARE(Cell({N, 0}, false), QString("0.00"));
    ProgramCatalog().LoadTable(2);
    ws_->InitWorkspace();
    QVERIFY(ws_->CommandIcon(WorkspaceCommand::Undo)->toolTip().startsWith("Undo"));
    QVERIFY(ws_->CommandIcon(WorkspaceCommand::Redo)->toolTip().startsWith("Redo"));
    ProgramCatalog().LoadTable(1);
  }

  // A scan with a 1 cm margin at 150 dpi, its box at (8, 12)-(11, 13) cm of
  // the form: stretched, the box misses that point of the sheet; aligned by
  // two points, it covers it. Ctrl+Z drops the alignment again.
  void alignmentByTwoPoints() {
    const auto scanPixels = [](double formCm) { return (formCm + 1.0) / 2.54 * 150.0; };
    QImage scan(qRound(scanPixels(22)), qRound(scanPixels(30.7)), QImage::Format_RGB32);
    scan.fill(Qt::white);
    QPainter(&scan).fillRect(
        QRectF(QPointF(scanPixels(8), scanPixels(12)), QPointF(scanPixels(11), scanPixels(13))),
        Qt::black);
    uitest::AppFolder folder;
    const QString path = folder.DataPath("scan.jpg");
    QVERIFY(scan.save(path, "JPEG", 95));
    ShowPreviewAt(50);
    uitest::AnswerNextModal([path](QWidget* dialog) {
      auto* name = Child<QLineEdit>(dialog, "fileNameEdit");
      name->setText(path);
      QTest::keyClick(name, Qt::Key_Return);
    });
    QTest::mouseClick(Child<QWidget>(Preview(), "Bt_ImaFondo"), Qt::LeftButton);
    QVERIFY(uitest::AllModalsAnswered());
    Reactivate();
    const QPoint inBox = Child<SheetView>(ws_.get(), "ScrollVista")->PanelOrigin() +
                         QPointF(8.5 * PixelsPerCm(), 12.5 * PixelsPerCm()).toPoint();
    const auto dark = [&] { return qGray(Sheet()->grab().toImage().pixel(inBox)) < 80; };
    QVERIFY(!dark());

    uitest::AnswerNextModal([&](QWidget* modal) {
      QTabBar* ways = Child<QTabWidget>(modal, "AlignmentWays")->tabBar();
      QTest::mouseClick(ways, Qt::LeftButton, {}, ways->tabRect(1).center());
      const std::pair<const char*, double> typed[] = {{"Ed_Imagen1X", scanPixels(1)},
                                                      {"Ed_Imagen1Y", scanPixels(1)},
                                                      {"Ed_Hoja1X", 1},
                                                      {"Ed_Hoja1Y", 1},
                                                      {"Ed_Imagen2X", scanPixels(20)},
                                                      {"Ed_Imagen2Y", scanPixels(28)},
                                                      {"Ed_Hoja2X", 20},
                                                      {"Ed_Hoja2Y", 28}};
      for (const auto& [name, value] : typed)
        Retype(Child<QLineEdit>(modal, name), QString::number(value, 'f', 3));
      QTest::mouseClick(Child<QPushButton>(modal, "Bt_Aceptar"), Qt::LeftButton);
    });
    QTest::mouseClick(Child<QWidget>(Preview(), "Bt_AlinFondo"), Qt::LeftButton);
    QVERIFY(uitest::AllModalsAnswered());
    Reactivate();
    QVERIFY(std::abs(Doc().Alignment()->dpiX - 150.0) < 0.01);
    QVERIFY(std::abs(Doc().Alignment()->left + 1.0) < 0.001);
    QVERIFY(dark());
    uitest::SaveScreenshot(ws_.get(), "sheet_design_aligned");
    QVERIFY(Label().endsWith(" *"));
    QTest::keyClick(Sheet(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!Doc().Alignment().has_value());
    QVERIFY(!dark());
    // The image is no part of the file: back where the template started.
    QVERIFY(!Label().endsWith(" *"));
  }
};

QTEST_MAIN(SheetDesignTest)
#include "sheet_design_test.moc"
