// Design on the sheet, the core: the undo history of a template, moves as
// typed values are stored, the background's alignment (its mapping, its
// two-point form and its template line) and the bounds of a drawn item.
#include <gtest/gtest.h>

#include <functional>

#include "render/sheet_render.h"
#include "support/fake_workspace_host.h"
#include "support/recording_surface.h"
#include "support/template_lines.h"
#include "temp_dir.h"
#include "template/template_codec.h"
#include "template/template_history.h"

namespace zirvo {
namespace {

using N = NumeratorTable;
using M = MarginalTable;
constexpr auto kN = TemplateTable::Numerators;
constexpr auto kM = TemplateTable::Marginals;

Template TwoRows() {
  Template doc;
  doc.StartNew("Caja", 21.0, 29.7);
  doc.AddRow(kN);
  doc.AddRow(kM);
  return doc;
}

// Each operation is one step; undo gives the content before it back, redo
// the content after it; what names the file is no step and stays.
TEST(TemplateHistory, EveryOperationIsOneStepAndComesBack) {
  const struct {
    const char* name;
    std::function<void(Template&)> operation;
    int steps;
  } cases[] = {
      {"cell", [](Template& d) { d.CommitCell(kN, 0, N::kNumber, "41"); }, 1},
      {"add", [](Template& d) { d.AddRow(kN); }, 1},
      {"delete", [](Template& d) { d.DeleteRow(kM, 0); }, 1},
      {"increment", [](Template& d) { d.ApplyIncrement(5); }, 1},
      {"displacement", [](Template& d) { d.ApplyDisplacement(kM, 1, 2); }, 1},
      {"sheet size", [](Template& d) { d.SetSheetSize(10, 12); }, 1},
      {"barcode", [](Template& d) { d.SetBarcode(kN, 0, BarcodeSetting{}); }, 1},
      {"alignment",
       [](Template& d) {
         d.SetAlignment(BackgroundAlignment{-1, -1, 150, 150});
       },
       1},
      {"a move of both tables",
       [](Template& d) {
         d.MoveItems({{{kN, 0}, 1, 2}, {{kM, 0}, 3, 4}});
       },
       1},
      {"a grouped pair",
       [](Template& d) {
         const Template::Step step(d);
         d.AddRow(kN);
         d.CommitCell(kM, 0, M::kText, "Copia");
       },
       1},
      {"two operations",
       [](Template& d) {
         d.AddRow(kN);
         d.AddRow(kN);
       },
       2},
      {"a move to where it is",
       [](Template& d) {
         d.MoveItems({{{kN, 0}, 0, 0}});
       },
       0},
      {"identity and series",
       [](Template& d) {
         d.SetIdentity("Otra", "/tmp");
         d.SetSeries("0123456789abcdef0123456789abcdef");
       },
       0},
  };
  for (const auto& c : cases) {
    Template doc = TwoRows();
    TemplateHistory history(doc);
    const Template before = doc;
    c.operation(doc);
    const Template after = doc;
    int undone = 0;
    while (history.Undo()) ++undone;
    EXPECT_EQ(undone, c.steps) << c.name;
    EXPECT_TRUE(doc.SameEdits(before)) << c.name;
    EXPECT_EQ(doc.Header().Name, after.Header().Name) << c.name;
    EXPECT_EQ(doc.Series(), after.Series()) << c.name;
    while (history.Redo()) {
    }
    EXPECT_EQ(doc, after) << c.name;
  }
}

TEST(TemplateHistory, ANewChangeDropsTheRedoneAndClearForgets) {
  Template doc = TwoRows();
  TemplateHistory history(doc);
  int told = 0;
  history.SetAvailabilityListener([&told] { ++told; });
  doc.AddRow(kN);
  doc.AddRow(kN);
  history.Undo();
  EXPECT_TRUE(history.CanRedo());
  doc.DeleteRow(kN, 0);
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(doc.Numerators().RowCount(), 1);
  history.Clear();
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(told, 5);
  for (std::size_t i = 0; i < TemplateHistory::kMaxSteps + 5; ++i)
    doc.CommitCell(kN, 0, N::kNumber, std::to_string(i));
  int undone = 0;
  while (history.Undo()) ++undone;
  EXPECT_EQ(undone, static_cast<int>(TemplateHistory::kMaxSteps));
}

// The workspace's Undo and Redo; New, Open and Close start the history again.
TEST(EditingSession, UndoRedoAndTheCommandsThatForget) {
  testing::TempDir dir;
  const std::string file = dir.Path("Caja.pla");
  SaveTemplate(file, TwoRows());
  const struct {
    const char* name;
    WorkspaceCommand command;
  } cases[] = {{"new", WorkspaceCommand::New},
               {"open", WorkspaceCommand::Open},
               {"close", WorkspaceCommand::Close}};
  for (const auto& c : cases) {
    testing::FakeHost host;
    EditingSession session(host);
    session.InitWorkspace();
    session.StartTemplate();
    session.Document().AddRow(kN);
    session.Document().AddRow(kN);
    session.RunCommand(WorkspaceCommand::Undo);
    EXPECT_EQ(session.Document().Numerators().RowCount(), 2) << c.name;
    EXPECT_TRUE(session.History().CanRedo()) << c.name;
    session.RunCommand(WorkspaceCommand::Undo);
    EXPECT_FALSE(session.Modified()) << c.name;
    session.RunCommand(WorkspaceCommand::Redo);
    EXPECT_TRUE(session.Modified()) << c.name;
    host.confirmAnswers = {ConfirmAnswer::Yes, ConfirmAnswer::Yes};
    host.sheetSizes = {{20, 30}};
    host.openPaths = {file};
    session.RunCommand(c.command);
    EXPECT_FALSE(session.History().CanUndo() || session.History().CanRedo()) << c.name;
  }
}

// A move stores what a typed value would: the cell's rule, its refusal.
TEST(Template, MovesAreStoredAsTypedValues) {
  const struct {
    double h, v;
    const char* cellH;
    const char* cellV;
  } cases[] = {{3.14159, 2.005001, "3.14", "2.01"},
               {-0.004, 1e-9, "0.00", "0.00"},
               {12.5, -3.25, "12.50", "-3.25"}};
  for (const auto& c : cases) {
    Template doc = TwoRows();
    doc.MoveItems({{{kM, 0}, c.h, c.v}});
    EXPECT_EQ(doc.Marginals().Cell(0, M::kHorizontal), c.cellH) << c.h;
    EXPECT_EQ(doc.Marginals().Cell(0, M::kVertical), c.cellV) << c.v;
  }
  Template doc = TwoRows();
  const Template before = doc;
  EXPECT_THROW(doc.MoveItems({{{kN, 0}, 1, 1}, {{kM, 3}, 1, 1}}), std::exception);
  EXPECT_EQ(doc, before);
}

// The scan of a form with a 1 cm margin at 150 dpi and other scans.
TEST(BackgroundAlignment, TwoPointsPlaceTheScan) {
  const struct {
    const char* name;
    ImagePoint a;
    PointCm sheetA;
    ImagePoint b;
    PointCm sheetB;
    BackgroundAlignment expected;
  } cases[] = {
      {"150 dpi, 1 cm margin",
       {118.11, 118.11},
       {1, 1},
       {1240.16, 1712.6},
       {20, 28},
       {-1, -1, 150, 150}},
      {"200 x 100 dpi, cropped", {0, 0}, {2, 3}, {787.4, 393.7}, {12, 13}, {2, 3, 200, 100}},
      {"points one above the other", {50, 0}, {0, 0}, {50, 300}, {0, 2.54}, {-0.423, 0, 300, 300}},
  };
  for (const auto& c : cases) {
    const BackgroundAlignment a = AlignByPoints(c.a, c.sheetA, c.b, c.sheetB);
    EXPECT_NEAR(a.left, c.expected.left, 0.001) << c.name;
    EXPECT_NEAR(a.top, c.expected.top, 0.001) << c.name;
    EXPECT_NEAR(a.dpiX, c.expected.dpiX, 0.01) << c.name;
    EXPECT_NEAR(a.dpiY, c.expected.dpiY, 0.01) << c.name;
    const PointCm back = SheetPointOf(a, ImagePointOf(a, {7.5, 9.25}));
    EXPECT_NEAR(back.x, 7.5, 1e-9) << c.name;
    EXPECT_NEAR(back.y, 9.25, 1e-9) << c.name;
  }
  const RectCm place = ImagePlace({-1, -1, 150, 150}, 1358, 1870);
  EXPECT_NEAR(place.width, 22.996, 0.001);
  EXPECT_NEAR(place.height, 31.665, 0.001);
  // The same point twice, a mirrored scan, a resolution out of range.
  EXPECT_THROW(AlignByPoints({5, 5}, {1, 1}, {5, 5}, {1, 1}), ZirvoError);
  EXPECT_THROW(AlignByPoints({0, 0}, {5, 1}, {100, 100}, {1, 5}), ZirvoError);
  EXPECT_THROW(AlignByPoints({0, 0}, {0, 0}, {1, 1}, {20, 20}), ZirvoError);
}

// The "|FON|" line: last, read back, skipped and listed when it does not read.
TEST(BackgroundAlignment, TemplateLine) {
  Template doc = TwoRows();
  const std::string plain = EncodeTemplate(doc, "/t/Caja.pla");
  doc.SetAlignment(BackgroundAlignment{-1, -0.5, 150, 299.99});
  const std::string aligned = EncodeTemplate(doc, "/t/Caja.pla");
  EXPECT_EQ(aligned, plain + "|FON|-1.000|-0.500|150.0000|299.9900|\r\n");
  EXPECT_EQ(DecodeTemplate(aligned, "/t/Caja.pla")->Alignment(), doc.Alignment());

  const struct {
    std::string line;
    bool taken;
  } lines[] = {{"|FON|1|2|300|300|", true},
               {"|FON|1|2|300|", false},
               {"|FON|1|x|300|300|", false},
               {"|FON|1|2|0|300|", false},
               {"|FON|2000|2|300|300|", false}};
  for (const auto& c : lines) {
    SkippedLines skipped;
    const auto read =
        DecodeTemplate(plain + c.line + "\r\n|FON|0|0|72|72|\r\n", "/t/C.pla", {}, &skipped);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->Alignment().has_value(), true) << c.line;
    EXPECT_EQ(read->Alignment()->dpiX, c.taken ? 300 : 72) << c.line;
    EXPECT_EQ(skipped.size(), 1u) << c.line;
  }
  EXPECT_THROW(doc.SetAlignment(BackgroundAlignment{0, 0, 0.5, 150}), ZirvoError);
}

// The bounds a preview picks an item by, turned as the item is drawn: a
// "0000" of 12 points at 96 ppi is 32 x 20 units on the recording surface.
TEST(ItemBounds, FollowTheTurnedText) {
  const struct {
    double rotation;
    RectI expected;
  } cases[] = {{0, {100, 200, 32, 20}},
               {90, {100, 168, 20, 32}},
               {180, {68, 180, 32, 20}},
               {270, {80, 200, 20, 32}}};
  RecordingSurface surface;
  for (const auto& c : cases) {
    Numerator n;
    n.Mask = 4;
    n.Rotation = c.rotation;
    DrawRecord record = ComposeNumerator(n, 0, DeviceMapping::Print(96, 0, 0), surface);
    record.X = 100;
    record.Y = 200;
    EXPECT_EQ(ItemBounds(record), c.expected) << c.rotation;
  }
}

}  // namespace
}  // namespace zirvo
