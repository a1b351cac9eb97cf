// The workspace's decisions with a recording host: states, questions, the
// deferred save, open failures and what reaches the editors and the preview.
#include "template/editing_session.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>

#include "base/text.h"
#include "catalog/catalog.h"
#include "support/fake_workspace_host.h"
#include "support/template_lines.h"
#include "temp_dir.h"
#include "template/series.h"
#include "template/template_codec.h"
#include "template/template_file.h"

namespace zirvo {
namespace {

using Q = ConfirmQuestion;

using testing::FakeHost;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

class FakeBitmap : public Bitmap {
 public:
  int Width() const override { return 4; }
  int Height() const override { return 3; }
};

const std::string kNoTemplate = "-- VACIO --";
const std::string kUnnamed = "- PLANILLA SIN NOMBRE -";

class EditingSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProgramCatalog().LoadTable(1);
    workspace.InitWorkspace();
  }

  void Run(WorkspaceCommand command) { workspace.RunCommand(command); }
  // Lets the timer fire while it is armed, as the event loop would.
  void RunTimer() {
    while (host.timerArmed) workspace.TimerFired();
  }
  // Fires the timer once: the step pending now.
  void Tick() {
    ASSERT_TRUE(host.timerArmed);
    ASSERT_EQ(host.timerInterval, 1000);
    workspace.TimerFired();
  }
  std::string SaveAsNew(const std::string& path) {
    host.savePaths.push_back(path);
    Run(WorkspaceCommand::Save);
    RunTimer();
    return ReadBytes(path);
  }
  Template& Doc() { return workspace.Document(); }
  // The last line of a saved template: its numbering series.
  std::string SeriesLine() { return "|SER|" + Doc().Series() + "|\r\n"; }
  const NumeratorTable& Numerators() { return Doc().Numerators(); }
  const MarginalTable& Marginals() { return Doc().Marginals(); }
  // The sheet as the editors last read it on a change of the document.
  const SheetHeader& Shown() const { return views.shownSheet; }

  TempDir dir;
  FakeHost host;
  EditingSession workspace{host};
  ChangeRecorder views{workspace.Document()};
};

TEST_F(EditingSessionTest, StartsWithNoTemplate) {
  EXPECT_FALSE(host.allCommands);
  EXPECT_EQ(host.label, kNoTemplate);
  EXPECT_FALSE(host.labelBusy);
  EXPECT_EQ(host.page, WorkspacePage::Presentation);
  EXPECT_EQ(workspace.Header().Name, kNoTemplate);
  EXPECT_FALSE(workspace.HasFile());
  EXPECT_FALSE(host.timerArmed);
}

TEST_F(EditingSessionTest, StartLabelGivesTheStartUpTemplate) {
  workspace.StartTemplate();
  const SheetHeader& header = workspace.Header();
  EXPECT_EQ(header.Width, 21.5);
  EXPECT_EQ(header.Height, 28.0);
  EXPECT_EQ(header.Kind, "IMP100");
  EXPECT_EQ(header.Color1, 15723990);
  EXPECT_EQ(header.Color2, 9715751);
  EXPECT_EQ(header.Name, kUnnamed);
  EXPECT_EQ(Numerators().RowCount(), 1);
  EXPECT_EQ(Marginals().RowCount(), 0);
  EXPECT_TRUE(host.allCommands);
  EXPECT_EQ(host.label, kUnnamed);
  EXPECT_EQ(host.page, WorkspacePage::Numerators);
  EXPECT_EQ(Shown(), header);
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(host.previewResets, 1);
  EXPECT_EQ(host.printerResets, 1);
}

TEST_F(EditingSessionTest, NewAsksThenMakesAnEmptyTemplateOfTheChosenSize) {
  workspace.StartTemplate();
  Doc().AddRow(TemplateTable::Marginals);

  host.confirmAnswers = {ConfirmAnswer::Cancel};  // Cancel: nothing changes
  Run(WorkspaceCommand::New);
  EXPECT_EQ(Numerators().RowCount(), 1);
  EXPECT_TRUE(host.sheetSizesAsked.empty());

  Run(WorkspaceCommand::New);  // accepted, but the sheet-size dialog is cancelled
  EXPECT_EQ(Numerators().RowCount(), 1);
  ASSERT_EQ(host.sheetSizesAsked.size(), 1u);
  EXPECT_EQ(host.sheetSizesAsked[0], std::make_pair(0.0, 0.0));

  host.sheetSizes = {{21.6, 28.0}};
  Run(WorkspaceCommand::New);
  // The added row is a change not yet saved: the unsaved-changes question
  // (discard by default) instead of the plain one.
  EXPECT_EQ(host.questions,
            (std::vector<Q>{Q::UnsavedChanges, Q::UnsavedChanges, Q::UnsavedChanges}));
  EXPECT_EQ(workspace.Header().Width, 21.6);
  EXPECT_EQ(workspace.Header().Height, 28.0);
  EXPECT_EQ(Numerators().RowCount(), 0);
  EXPECT_EQ(Marginals().RowCount(), 0);
  EXPECT_EQ(host.page, WorkspacePage::Presentation);
  EXPECT_EQ(host.label, kUnnamed);
  EXPECT_FALSE(workspace.HasFile());
}

// Which commands ask, in which mode, from each state: without a template
// New and Open close nothing and ask nothing.
TEST_F(EditingSessionTest, QuestionsFollowTheOpenTemplate) {
  const struct {
    const char* state;
    WorkspaceCommand command;
    std::vector<Q> modes;
  } cases[] = {
      {"no template", WorkspaceCommand::New, {}},
      {"no template", WorkspaceCommand::Open, {}},
      {"start-up template", WorkspaceCommand::New, {Q::NewTemplate}},
      {"start-up template", WorkspaceCommand::Open, {Q::OpenTemplate}},
      {"start-up template", WorkspaceCommand::Close, {Q::CloseTemplate}},
      {"first save cancelled", WorkspaceCommand::New, {}},
      {"first save cancelled", WorkspaceCommand::Open, {}},
      {"first save cancelled", WorkspaceCommand::Close, {Q::CloseTemplate}},
  };
  for (const auto& c : cases) {
    FakeHost fresh;
    EditingSession ws(fresh);
    ws.InitWorkspace();
    if (std::string(c.state) != "no template") ws.StartTemplate();
    if (std::string(c.state) == "first save cancelled") {
      ws.RunCommand(WorkspaceCommand::Save);  // no path: the dialog is cancelled
      EXPECT_EQ(ws.Header().Name, "");
      EXPECT_EQ(fresh.label, kUnnamed) << "the label keeps its text";
    }
    fresh.confirmAnswers = {ConfirmAnswer::Cancel};
    ws.RunCommand(c.command);
    EXPECT_EQ(fresh.questions, c.modes) << c.state << " " << static_cast<int>(c.command);
  }
}

TEST_F(EditingSessionTest, SaveWritesOneSecondLaterAndEndsTheBusyLabelASecondAfter) {
  workspace.StartTemplate();
  Doc().CommitCell(TemplateTable::Numerators, 0, NumeratorTable::kPrefix, "No. ");
  Doc().AddRow(TemplateTable::Marginals);
  Doc().CommitCell(TemplateTable::Marginals, 0, MarginalTable::kText, "Factura");
  const std::string path = dir.Path("Plantilla.pla");
  host.savePaths = {path};
  Run(WorkspaceCommand::Save);

  EXPECT_EQ(host.saveTitles, (std::vector<std::string>{"Guardar"}));
  EXPECT_EQ(workspace.Pending(), 4);
  EXPECT_TRUE(host.labelBusy);
  EXPECT_EQ(host.label, "Guardando plantilla. Espere unos momentos...");
  EXPECT_FALSE(std::filesystem::exists(path)) << "nothing is written before the timer";

  Tick();
  const std::string expected = "|HJA|IMP100|Plantilla.pla|" + dir.Path() +
                               "|0|0|0|0|0|0|21.50|28.00|0|15723990|0|0|0|0|F|F|\r\n" +
                               Numerators().LineOf(0) + "\r\n" + Marginals().LineOf(0) + "\r\n" +
                               SeriesLine();
  EXPECT_EQ(ReadBytes(path), expected);
  EXPECT_EQ(Numerators().LineOf(0).substr(0, 5), "|FOL|");
  EXPECT_EQ(Marginals().LineOf(0).substr(0, 5), "|MAR|");
  EXPECT_TRUE(host.labelBusy) << "the busy label stays a second after the write";
  EXPECT_EQ(workspace.Pending(), 12);
  EXPECT_FALSE(host.waitCursor);

  Tick();
  EXPECT_FALSE(host.labelBusy);
  EXPECT_EQ(host.label, "Plantilla");
  EXPECT_FALSE(host.timerArmed);
  EXPECT_EQ(workspace.Pending(), 0);
  EXPECT_TRUE(workspace.HasFile());
  EXPECT_EQ(workspace.Header().Name, "Plantilla");
  EXPECT_EQ(workspace.Header().Folder, dir.Path());
}

TEST_F(EditingSessionTest, SaveStoresTheTablesAsTheyWereAtTheRequest) {
  workspace.StartTemplate();
  const std::string path = dir.Path("Caja.pla");
  host.savePaths = {path};
  Run(WorkspaceCommand::Save);
  const std::string numeratorLine = Numerators().LineOf(0);
  // Within the second before the write the user goes on working.
  Doc().AddRow(TemplateTable::Numerators);
  Doc().AddRow(TemplateTable::Marginals);
  host.sheetSizes = {{10.0, 12.0}};
  Run(WorkspaceCommand::SheetSize);
  Run(WorkspaceCommand::Close);
  RunTimer();
  const std::string written = ReadBytes(path);
  EXPECT_NE(written.find("|21.50|28.00|"), std::string::npos);
  EXPECT_NE(written.find(numeratorLine + "\r\n"), std::string::npos);
  EXPECT_EQ(written.find("|MAR|"), std::string::npos);
  // The closed workspace is not renamed by the write it asked for before.
  EXPECT_EQ(host.label, kNoTemplate);
  EXPECT_FALSE(host.labelBusy);
  EXPECT_FALSE(workspace.HasFile());
  EXPECT_FALSE(host.allCommands);
}

TEST_F(EditingSessionTest, SaveWritesBackToTheOpenedFile) {
  for (const char* file : {"Caja.2024.pla", "Caja.PLA", "Caja.pla"}) {
    const std::string path = dir.Path(file);
    WriteBytes(path, "|HJA|IMP100|x|y|0|0|0|0|0|0|12.00|18.00|0|15723990|0|0|0|0|F|F|\r\n");
    host.openPaths = {path};
    Run(WorkspaceCommand::Open);
    ASSERT_TRUE(workspace.HasFile()) << file;
    EXPECT_EQ(host.label, "Caja");
    Doc().AddRow(TemplateTable::Numerators);
    const auto before = std::filesystem::directory_iterator(dir.Root());
    Run(WorkspaceCommand::Save);
    RunTimer();
    EXPECT_TRUE(host.saveTitles.empty()) << "no dialog for a template with a file";
    EXPECT_NE(ReadBytes(path).find("|FOL|"), std::string::npos) << file;
    EXPECT_EQ(workspace.FilePath(), path);
    EXPECT_EQ(host.label, "Caja");
    std::filesystem::remove(path);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Root())) << "no other file was written for " << file;
  }
}

TEST_F(EditingSessionTest, SaveAsCancelAndOverwritePaths) {
  workspace.StartTemplate();
  const std::string first = dir.Path("Uno.pla");
  SaveAsNew(first);
  const std::string other = dir.Path("Otro.pla");
  WriteBytes(other, "keep me");

  Run(WorkspaceCommand::SaveAs);  // dialog cancelled
  host.savePaths = {other};
  host.overwriteAnswers = {false};
  Run(WorkspaceCommand::SaveAs);  // overwrite refused
  EXPECT_EQ(host.overwriteAtMainWindow, (std::vector<bool>{false}));
  EXPECT_EQ(host.saveTitles,
            (std::vector<std::string>{"Guardar", "Guardar como ...", "Guardar como ..."}));
  EXPECT_FALSE(host.timerArmed);
  EXPECT_EQ(ReadBytes(other), "keep me");
  EXPECT_EQ(workspace.FilePath(), first);
  EXPECT_EQ(host.label, "Uno");

  // A following Save still writes to the first file.
  Doc().AddRow(TemplateTable::Numerators);
  Run(WorkspaceCommand::Save);
  RunTimer();
  EXPECT_EQ(ReadBytes(first), "|HJA|IMP100|Uno.pla|" + dir.Path() +
                                  "|0|0|0|0|0|0|21.50|28.00|0|15723990|0|0|0|0|F|F|\r\n" +
                                  Numerators().LineOf(0) + "\r\n" + Numerators().LineOf(1) +
                                  "\r\n" + SeriesLine());

  host.savePaths = {other};
  host.overwriteAnswers = {true};
  Run(WorkspaceCommand::SaveAs);
  RunTimer();
  EXPECT_NE(ReadBytes(other).find("|HJA|IMP100|Otro.pla|"), std::string::npos);
  EXPECT_EQ(workspace.FilePath(), other);
  EXPECT_EQ(host.label, "Otro");
}

TEST_F(EditingSessionTest, SaveAsOfANeverSavedTemplateIsSave) {
  workspace.StartTemplate();
  const std::string existing = dir.Path("Plantilla.pla");
  WriteBytes(existing, "old");
  host.savePaths = {existing};
  host.overwriteAnswers = {false};
  Run(WorkspaceCommand::SaveAs);
  EXPECT_EQ(host.saveTitles, (std::vector<std::string>{"Guardar"}));
  EXPECT_EQ(host.overwriteAtMainWindow, (std::vector<bool>{true}));
  // Refusing the overwrite of a first save forgets the name, as a cancel does.
  EXPECT_EQ(workspace.Header().Name, "");
  EXPECT_EQ(ReadBytes(existing), "old");
}

TEST_F(EditingSessionTest, FailedWriteIsReportedAndChangesNoIdentity) {
  workspace.StartTemplate();
  const std::string good = dir.Path("Bien.pla");
  SaveAsNew(good);
  const std::string bad = dir.Path("missing-folder/Mal.pla");
  const std::string series = Doc().Series();
  host.savePaths = {bad};
  host.confirmAnswers = {ConfirmAnswer::No};  // a numbering of its own for the copy
  Run(WorkspaceCommand::SaveAs);
  RunTimer();
  EXPECT_EQ(Doc().Series(), series);
  EXPECT_FALSE(workspace.Modified());
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find(bad), std::string::npos) << host.errors[0];
  EXPECT_EQ(workspace.FilePath(), good);
  EXPECT_EQ(workspace.Header().Name, "Bien");
  EXPECT_EQ(workspace.Header().Folder, dir.Path());
  EXPECT_TRUE(workspace.HasFile());
  EXPECT_EQ(host.label, "Bien");
  EXPECT_FALSE(host.labelBusy);
  EXPECT_FALSE(host.waitCursor);
  EXPECT_EQ(workspace.Pending(), 0);
  EXPECT_FALSE(host.timerArmed);

  // A first save that fails leaves the template without a file.
  FakeHost fresh;
  EditingSession ws(fresh);
  ws.InitWorkspace();
  ws.StartTemplate();
  fresh.savePaths = {bad};
  ws.RunCommand(WorkspaceCommand::Save);
  while (fresh.timerArmed) ws.TimerFired();
  EXPECT_FALSE(ws.HasFile());
  EXPECT_EQ(ws.Header().Name, kUnnamed);
  EXPECT_EQ(fresh.label, kUnnamed);
}

TEST_F(EditingSessionTest, OpenRestoresTheSavedTemplate) {
  workspace.StartTemplate();
  host.sheetSizes = {{10.5, 15.0}};
  Run(WorkspaceCommand::SheetSize);
  Doc().CommitCell(TemplateTable::Numerators, 0, NumeratorTable::kNumber, "1500");
  Doc().AddRow(TemplateTable::Marginals);
  Doc().CommitCell(TemplateTable::Marginals, 0, MarginalTable::kText, "Copia cliente");
  const std::string path = dir.Path("Talonario.pla");
  const std::string saved = SaveAsNew(path);
  const auto savedNumerators = Numerators().ExportRecords();
  const auto savedMarginals = Marginals().ExportRecords();

  Run(WorkspaceCommand::Close);
  EXPECT_EQ(Numerators().RowCount(), 0);
  host.openPaths = {path};
  Run(WorkspaceCommand::Open);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_TRUE(host.allCommands);
  EXPECT_TRUE(workspace.HasFile());
  EXPECT_EQ(host.label, "Talonario");
  EXPECT_FALSE(host.labelBusy);
  EXPECT_EQ(host.page, WorkspacePage::Numerators);
  EXPECT_EQ(workspace.Header().Width, 10.5);
  EXPECT_EQ(workspace.Header().Height, 15.0);
  EXPECT_EQ(Shown().Width, 10.5);
  EXPECT_EQ(Numerators().ExportRecords(), savedNumerators);
  EXPECT_EQ(Marginals().ExportRecords(), savedMarginals);
  // Saving it again gives the same bytes.
  Run(WorkspaceCommand::Save);
  RunTimer();
  EXPECT_EQ(ReadBytes(path), saved);
}

TEST_F(EditingSessionTest, OpenTellsWhichBarcodeLinesItSkipped) {
  const std::string path = dir.Path("Codigos.pla");
  WriteBytes(path,
             "|HJA|IMP100|x|y|0|0|0|0|0|0|21.60|28.00|0|0|0|0|0|0|F|F|\r\n"
             "|FOL|01||7||1.00|1.00|0|12|Arial|12|0|A||\r\n"
             "|COD|F|01|2|2|1.50|4.00|\r\n"
             "|COD|F|02|1|2|1.50|4.00|\r\n"
             "|COD|M|01|3|2|2.00|0.00|\r\n");
  host.openPaths = {path};
  Run(WorkspaceCommand::Open);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(host.label, "Codigos");
  ASSERT_TRUE(Numerators().Barcode(0).has_value());
  EXPECT_EQ(Numerators().Barcode(0)->kind, BarcodeKind::Ean13);
  ASSERT_EQ(host.informations.size(), 1u);
  EXPECT_EQ(host.informations[0], SkippedLinesMessage({{4, "|COD|F|02|1|2|1.50|4.00|"},
                                                       {5, "|COD|M|01|3|2|2.00|0.00|"}}));
  // Saved again, the template keeps the barcode it read and none of the skipped lines.
  Run(WorkspaceCommand::Save);
  RunTimer();
  const std::string saved = ReadBytes(path);
  EXPECT_NE(saved.find("|COD|F|01|2|2|1.50|4.00|\r\n"), std::string::npos);
  EXPECT_EQ(saved.find("|COD|F|02|"), std::string::npos);
}

TEST_F(EditingSessionTest, FailedOpenKeepsTheCurrentTemplate) {
  const struct {
    const char* name;
    const char* content;  // nullptr: the file does not exist
    bool notice;          // the "not compatible" notice rather than an error
  } cases[] = {
      {"empty file", "", true},
      {"no header line", "|FOL|1||1||1.00|1.00|000|04|Arial|12|0|A||\r\n", true},
      {"width not a number", "|HJA|IMP100|x|y|0|0|0|0|0|0|abc|28.00|0|0|0|0|0|0|F|F|\r\n", false},
      {"short header", "|HJA|IMP100|x|\r\n", false},
      {"missing file", nullptr, false},
  };
  for (const auto& c : cases) {
    FakeHost fresh;
    EditingSession ws(fresh);
    ws.InitWorkspace();
    ws.StartTemplate();
    const std::string saved = dir.Path("Mia.pla");
    fresh.savePaths = {saved};
    ws.RunCommand(WorkspaceCommand::Save);
    while (fresh.timerArmed) ws.TimerFired();
    const std::string savedBytes = ReadBytes(saved);
    const std::string label = fresh.label;
    const int rows = ws.Document().Numerators().RowCount();
    const WorkspacePage page = fresh.page;
    const bool hasFile = ws.HasFile();
    const std::string filePath = ws.FilePath();

    const std::string path = dir.Path(std::string("bad-") + std::to_string(&c - cases) + ".pla");
    if (c.content != nullptr) WriteBytes(path, c.content);
    fresh.openPaths = {path};
    ws.RunCommand(WorkspaceCommand::Open);

    EXPECT_EQ(fresh.informations.size(), c.notice ? 1u : 0u) << c.name;
    EXPECT_EQ(fresh.errors.size(), c.notice ? 0u : 1u) << c.name;
    const std::string shown = c.notice ? fresh.informations[0] : fresh.errors[0];
    if (c.notice) {
      EXPECT_EQ(shown.rfind("El formato no es compatible y no pudo ser leido.", 0), 0u);
    }
    EXPECT_NE(shown.find(FileNameOf(path)), std::string::npos) << shown;
    // Nothing was closed: the template, its name and its file stay.
    EXPECT_TRUE(fresh.allCommands) << c.name;
    EXPECT_EQ(fresh.label, label) << c.name;
    EXPECT_FALSE(fresh.labelBusy) << c.name;
    EXPECT_FALSE(fresh.waitCursor) << c.name;
    EXPECT_EQ(ws.HasFile(), hasFile) << c.name;
    EXPECT_EQ(ws.FilePath(), filePath) << c.name;
    EXPECT_EQ(fresh.page, page) << c.name;
    EXPECT_EQ(ws.Document().Numerators().RowCount(), rows) << c.name;
    ws.RunCommand(WorkspaceCommand::Save);
    while (fresh.timerArmed) ws.TimerFired();
    EXPECT_EQ(ReadBytes(saved), savedBytes) << c.name;
  }
}

TEST_F(EditingSessionTest, SheetSizeReachesTheEditorsAndRebuildsThePreview) {
  workspace.StartTemplate();
  host.sheetSizes = {{30.0, 40.0}};
  Run(WorkspaceCommand::Preview);
  ASSERT_EQ(host.previews.size(), 1u);
  EXPECT_EQ(host.previews[0].Sheet.Width, 21.5);
  Run(WorkspaceCommand::SheetSize);
  EXPECT_EQ(host.sheetSizesAsked.back(), std::make_pair(21.5, 28.0));
  EXPECT_EQ(Shown().Width, 30.0);
  EXPECT_EQ(Shown().Height, 40.0);
  ASSERT_EQ(host.previews.size(), 2u);
  EXPECT_EQ(host.previews[1].Sheet.Width, 30.0);
  EXPECT_EQ(host.page, WorkspacePage::Preview);

  // A cancelled dialog changes nothing.
  Run(WorkspaceCommand::SheetSize);
  EXPECT_EQ(workspace.Header().Width, 30.0);
  EXPECT_EQ(host.previews.size(), 2u);
}

TEST_F(EditingSessionTest, PreviewAndPrintPageReceiveTheCurrentTables) {
  workspace.StartTemplate();
  Doc().AddRow(TemplateTable::Numerators);
  Doc().CommitCell(TemplateTable::Numerators, 1, NumeratorTable::kNumber, "1500");
  Doc().AddRow(TemplateTable::Marginals);
  Doc().CommitCell(TemplateTable::Marginals, 0, MarginalTable::kText, "Original");

  Run(WorkspaceCommand::Preview);
  ASSERT_EQ(host.previews.size(), 1u);
  EXPECT_EQ(host.page, WorkspacePage::Preview);
  const PrintJob& preview = host.previews[0];
  EXPECT_EQ(preview.Sheet, workspace.Header());
  EXPECT_EQ(preview.NumeratorCount, 2);
  ASSERT_EQ(preview.Numerators.size(), 2u);
  EXPECT_EQ(preview.Numerators[1].Number, 1500);
  EXPECT_EQ(preview.MarginalCount, 1);
  ASSERT_EQ(preview.Marginals.size(), 1u);
  EXPECT_EQ(preview.Marginals[0].Text, "Original");
  EXPECT_FALSE(preview.PrintBackground);
  EXPECT_EQ(preview.Background, nullptr);

  // An edit after the preview reaches the print page, with the preview's
  // image to print.
  Doc().CommitCell(TemplateTable::Numerators, 1, NumeratorTable::kNumber, "1501");
  const auto image = std::make_shared<FakeBitmap>();
  Doc().SetBackground("/img/fondo.jpg", image);
  Doc().SetPrintBackground(true);
  Run(WorkspaceCommand::PrintPage);
  ASSERT_EQ(host.printJobs.size(), 1u);
  EXPECT_EQ(host.page, WorkspacePage::PrintPage);
  const PrintJob& job = host.printJobs[0];
  EXPECT_EQ(job.Sheet, workspace.Header());
  EXPECT_EQ(job.NumeratorCount, 2);
  EXPECT_EQ(job.Numerators[1].Number, 1501);
  EXPECT_EQ(job.MarginalCount, 1);
  EXPECT_TRUE(job.PrintBackground);
  EXPECT_EQ(job.Background, image);
  EXPECT_EQ(host.previews.size(), 1u) << "the print page does not feed the preview";

  Run(WorkspaceCommand::Numerators);
  EXPECT_EQ(host.page, WorkspacePage::Numerators);
  Run(WorkspaceCommand::MarginalTexts);
  EXPECT_EQ(host.page, WorkspacePage::MarginalTexts);
}

// A table cell that does not convert (from a hand-edited file): the message,
// nothing handed over, the page stays.
TEST_F(EditingSessionTest, ExportThatDoesNotConvertHandsNothingOver) {
  const struct {
    const char* line;
    const char* message;
  } cases[] = {
      {"|FOL|01||big||0.00|0.00|0.00|04|Arial|12|0|A||", "'big' is not a valid integer value"},
      {"|MAR|01|Texto|1,5|2.00|0|Arial|10|0||", "'1,5' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    FakeHost fresh;
    EditingSession ws(fresh);
    ws.InitWorkspace();
    ws.StartTemplate();
    ws.Document().Replace(testing::DecodeLines({c.line}, ws.Header()));
    for (WorkspaceCommand command : {WorkspaceCommand::Preview, WorkspaceCommand::PrintPage}) {
      fresh.errors.clear();
      ws.RunCommand(command);
      EXPECT_EQ(fresh.errors, std::vector<std::string>{c.message}) << c.line;
      EXPECT_EQ(fresh.page, WorkspacePage::Numerators) << c.line;
    }
    EXPECT_TRUE(fresh.previews.empty());
    EXPECT_TRUE(fresh.printJobs.empty());
  }
}

// While a print runs no command changes the template, the printer, the job
// or the page; the deferred write of a save asked for before still happens.
TEST_F(EditingSessionTest, NothingRunsWhileAPrintIsInProgress) {
  workspace.StartTemplate();
  host.savePaths.push_back(dir.Path("Corriendo.pla"));
  Run(WorkspaceCommand::Save);
  Run(WorkspaceCommand::PrintPage);
  ASSERT_EQ(host.printJobs.size(), 1u);
  const int printerResets = host.printerResets;
  const SheetHeader header = workspace.Header();

  host.printRunning = true;
  host.sheetSizes = {{30.0, 40.0}};
  host.openPaths = {dir.Path("Corriendo.pla")};
  for (WorkspaceCommand command :
       {WorkspaceCommand::New, WorkspaceCommand::Open, WorkspaceCommand::Close,
        WorkspaceCommand::Save, WorkspaceCommand::SaveAs, WorkspaceCommand::Numerators,
        WorkspaceCommand::MarginalTexts, WorkspaceCommand::SheetSize, WorkspaceCommand::Preview,
        WorkspaceCommand::PrintPage}) {
    Run(command);
    EXPECT_EQ(host.page, WorkspacePage::PrintPage) << static_cast<int>(command);
  }
  EXPECT_TRUE(host.questions.empty());
  EXPECT_TRUE(host.sheetSizesAsked.empty());
  EXPECT_EQ(host.saveTitles.size(), 1u);
  EXPECT_EQ(host.printJobs.size(), 1u);
  EXPECT_TRUE(host.previews.empty());
  EXPECT_EQ(host.printerResets, printerResets);
  EXPECT_EQ(workspace.Header().Width, header.Width);
  RunTimer();
  EXPECT_FALSE(ReadBytes(dir.Path("Corriendo.pla")).empty());
  EXPECT_EQ(host.label, "Corriendo");

  host.printRunning = false;
  Run(WorkspaceCommand::Numerators);
  EXPECT_EQ(host.page, WorkspacePage::Numerators);
}

// The background image belongs to the template: replacing the template in
// any way drops it, and the views hear one notice per document operation.
TEST_F(EditingSessionTest, ReplacingTheTemplateDropsTheBackground) {
  const std::string path = dir.Path("Fondo.pla");
  const struct {
    const char* name;
    WorkspaceCommand command;
  } cases[] = {
      {"new", WorkspaceCommand::New},
      {"open", WorkspaceCommand::Open},
      {"close", WorkspaceCommand::Close},
  };
  workspace.StartTemplate();
  SaveAsNew(path);
  for (const auto& c : cases) {
    if (!workspace.TemplateOpen()) workspace.StartTemplate();
    Doc().SetBackground("/img/fondo.jpg", std::make_shared<FakeBitmap>());
    Doc().SetPrintBackground(true);
    host.sheetSizes = {{21.0, 29.7}};
    host.openPaths = {path};
    Run(c.command);
    EXPECT_FALSE(Doc().Background().Present()) << c.name;
    EXPECT_EQ(Doc().ToPrintJob().Background, nullptr) << c.name;
  }

  workspace.StartTemplate();
  views.changes.clear();
  host.sheetSizes = {{30.0, 40.0}};
  Run(WorkspaceCommand::SheetSize);
  EXPECT_EQ(views.changes, std::vector<TemplateChange>{TemplateChange::Header});
}

TEST_F(EditingSessionTest, HiddenCommandsDoNothing) {
  for (WorkspaceCommand command : {WorkspaceCommand::Save, WorkspaceCommand::Close,
                                   WorkspaceCommand::Preview, WorkspaceCommand::StepAndRepeat}) {
    workspace.RunCommand(command);
  }
  EXPECT_EQ(host.stepAndRepeatAsked, 0);
  EXPECT_TRUE(host.questions.empty());
  EXPECT_TRUE(host.saveTitles.empty());
  EXPECT_TRUE(host.previews.empty());
  EXPECT_EQ(host.label, kNoTemplate);
}

TEST_F(EditingSessionTest, LabelsFollowTheLanguageOfTheCatalog) {
  ProgramCatalog().LoadTable(2);
  FakeHost fresh;
  EditingSession ws(fresh);
  ws.InitWorkspace();
  EXPECT_EQ(fresh.label, "-- Empty --");
  ws.StartTemplate();
  EXPECT_EQ(fresh.label, "- FORM NO NAME -");
  ProgramCatalog().LoadTable(1);
}

}  // namespace
}  // namespace zirvo

namespace zirvo {
namespace {

// Every change a file holds marks the template unsaved, in the label too,
// until a save; the background and an edit undone by hand do not.
TEST_F(EditingSessionTest, ContentChangesAreUnsavedUntilTheSave) {
  const std::string path = dir.Path("Marca.pla");
  const struct {
    const char* name;
    std::function<void(Template&)> change;
    bool unsaved;
  } cases[] = {
      {"cell",
       [](Template& d) {
         d.CommitCell(TemplateTable::Numerators, 0, NumeratorTable::kNumber, "77");
       },
       true},
      {"increment", [](Template& d) { d.ApplyIncrement(5); }, true},
      {"displacement",
       [](Template& d) { d.ApplyDisplacement(TemplateTable::Numerators, 1.0, 0.5); }, true},
      {"sheet size", [](Template& d) { d.SetSheetSize(10.0, 12.0); }, true},
      {"add", [](Template& d) { d.AddRow(TemplateTable::Marginals); }, true},
      {"delete", [](Template& d) { d.DeleteRow(TemplateTable::Numerators, 0); }, true},
      {"background",
       [](Template& d) {
         d.SetBackground("/img/fondo.jpg", std::make_shared<FakeBitmap>());
         d.SetPrintBackground(true);
       },
       false},
      {"same value again",
       [](Template& d) {
         const std::string number = d.Numerators().Cell(0, NumeratorTable::kNumber);
         d.CommitCell(TemplateTable::Numerators, 0, NumeratorTable::kNumber, number);
       },
       false},
      {"undone by hand",
       [](Template& d) {
         d.SetSheetSize(10.0, 12.0);
         d.SetSheetSize(21.5, 28.0);
       },
       false},
  };
  for (const auto& c : cases) {
    FakeHost fresh;
    EditingSession ws(fresh);
    ws.InitWorkspace();
    ws.StartTemplate();
    EXPECT_FALSE(ws.Modified()) << c.name << ": the start-up template";
    c.change(ws.Document());
    EXPECT_EQ(ws.Modified(), c.unsaved) << c.name;
    EXPECT_EQ(fresh.label, c.unsaved ? kUnnamed + " *" : kUnnamed) << c.name;
    fresh.savePaths = {path};
    fresh.overwriteAnswers = {true};
    ws.RunCommand(WorkspaceCommand::Save);
    while (fresh.timerArmed) ws.TimerFired();
    EXPECT_FALSE(ws.Modified()) << c.name;
    EXPECT_EQ(fresh.label, "Marca") << c.name;
  }
}

// New, Open, Close and quitting with unsaved changes: cancel keeps
// everything, "do not save" goes on without writing, "save" writes first.
TEST_F(EditingSessionTest, UnsavedChangesAreSavedDiscardedOrKept) {
  constexpr ConfirmAnswer kStay = ConfirmAnswer::Cancel, kDiscard = ConfirmAnswer::Yes,
                          kSave = ConfirmAnswer::Save;
  const std::string path = dir.Path("Cambios.pla");
  const struct {
    const char* command;
    ConfirmAnswer answer;
    bool goesOn;
    bool written;
  } cases[] = {
      {"new", kStay, false, false},    {"new", kDiscard, true, false},
      {"new", kSave, true, true},      {"open", kStay, false, false},
      {"open", kDiscard, true, false}, {"open", kSave, true, true},
      {"close", kStay, false, false},  {"close", kDiscard, true, false},
      {"close", kSave, true, true},    {"quit", kStay, false, false},
      {"quit", kDiscard, true, false}, {"quit", kSave, true, true},
  };
  for (const auto& c : cases) {
    const std::string label =
        std::string(c.command) + " " + std::to_string(static_cast<int>(c.answer));
    FakeHost fresh;
    EditingSession ws(fresh);
    ws.InitWorkspace();
    ws.StartTemplate();
    fresh.savePaths = {path};
    fresh.overwriteAnswers = {true};
    ws.RunCommand(WorkspaceCommand::Save);
    while (fresh.timerArmed) ws.TimerFired();
    const std::string saved = ReadBytes(path);
    ws.Document().CommitCell(TemplateTable::Numerators, 0, NumeratorTable::kNumber, "4321");
    const std::string edited = EncodeTemplate(ws.Document(), path);

    fresh.confirmAnswers = {c.answer};
    fresh.sheetSizes = {{10.0, 10.0}};
    fresh.openPaths = {path};
    bool wentOn = false;
    if (std::string(c.command) == "quit") {
      wentOn = ws.SettleUnsaved() == EditingSession::Unsaved::Settled;
    } else {
      const std::string command = c.command;
      ws.RunCommand(command == "new"    ? WorkspaceCommand::New
                    : command == "open" ? WorkspaceCommand::Open
                                        : WorkspaceCommand::Close);
      wentOn = command == "new"    ? !fresh.sheetSizesAsked.empty()
               : command == "open" ? fresh.openPaths.empty()
                                   : !ws.TemplateOpen();
    }
    EXPECT_EQ(fresh.questions, std::vector<Q>{Q::UnsavedChanges})
        << label << ": one question, no other";
    EXPECT_EQ(wentOn, c.goesOn) << label;
    EXPECT_EQ(ReadBytes(path), c.written ? edited : saved) << label;
    if (!c.goesOn) {
      EXPECT_TRUE(ws.Modified()) << label;
      EXPECT_EQ(fresh.label, "Cambios *") << label;
    }
  }
}

// Saving from the question: a template without a file asks for one, and a
// save that is given up or fails gives the command up too.
TEST_F(EditingSessionTest, ASaveFromTheQuestionThatDoesNotHappenStopsTheCommand) {
  const struct {
    const char* name;
    std::deque<std::string> savePaths;
    bool goesOn;
  } cases[] = {
      {"file chosen", {dir.Path("Nueva.pla")}, true},
      {"file dialog cancelled", {}, false},
      {"write fails", {dir.Path("missing-folder/Mal.pla")}, false},
  };
  for (const auto& c : cases) {
    FakeHost fresh;
    EditingSession ws(fresh);
    ws.InitWorkspace();
    ws.StartTemplate();
    ws.Document().AddRow(TemplateTable::Marginals);
    fresh.confirmAnswers = {ConfirmAnswer::Save};
    fresh.savePaths = c.savePaths;
    ws.RunCommand(WorkspaceCommand::Close);
    EXPECT_EQ(ws.TemplateOpen(), !c.goesOn) << c.name;
    EXPECT_EQ(fresh.saveTitles.size(), 1u) << c.name;
    EXPECT_EQ(fresh.errors.size(), std::string(c.name) == "write fails" ? 1u : 0u) << c.name;
    if (c.goesOn) {
      EXPECT_TRUE(std::filesystem::exists(c.savePaths.front())) << c.name;
    } else {
      EXPECT_EQ(ws.Document().Marginals().RowCount(), 1) << c.name;
    }
  }
}

// A save still waiting for its timer is written before Close goes on, and
// what it holds is not asked about again.
TEST_F(EditingSessionTest, APendingSaveIsWrittenBeforeCloseAndNotAskedAbout) {
  workspace.StartTemplate();
  const std::string path = dir.Path("Pendiente.pla");
  SaveAsNew(path);
  Doc().AddRow(TemplateTable::Marginals);
  Run(WorkspaceCommand::Save);
  ASSERT_EQ(workspace.Pending(), 4);
  const std::string expected = EncodeTemplate(Doc(), path);
  host.confirmAnswers = {ConfirmAnswer::Cancel};
  Run(WorkspaceCommand::Close);
  EXPECT_EQ(host.questions, std::vector<Q>{Q::CloseTemplate}) << "the plain question";
  EXPECT_EQ(ReadBytes(path), expected);
  EXPECT_TRUE(workspace.TemplateOpen());
  EXPECT_FALSE(workspace.Modified());
}

// Continuing after a run: the numbers move on in the document and in the
// file at once, the print page gets them; a refusal changes neither.
TEST_F(EditingSessionTest, ContinueNumberingSavesTheNextNumbersOrChangesNothing) {
  const struct {
    const char* name;
    const char* first;  // numerator 1's number; numerator 2 counts down from 500
    int32_t sheets;
    int32_t increment;
    bool saved;       // the template has a file
    bool folderGone;  // its folder vanished since: the write fails
    bool ok;
    int32_t nextFirst;
    int32_t nextSecond;
    const char* error;  // part of the message shown
  } cases[] = {
      {"after 50 sheets", "100", 50, 1, true, false, true, 150, 450, ""},
      {"increment 3", "100", 10, 3, true, false, true, 130, 470, ""},
      {"nothing printed", "100", 0, 1, true, false, true, 100, 500, ""},
      {"out of range", "2147483600", 100, 1, true, false, false, 0, 0, "no se pudo continuar"},
      {"never saved", "100", 50, 1, false, false, false, 0, 0, "no se ha guardado"},
      {"write fails", "100", 50, 1, true, true, false, 0, 0, "no se pudo continuar"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost caseHost;
    EditingSession ws(caseHost);
    ws.InitWorkspace();
    ws.StartTemplate();
    Template& doc = ws.Document();
    doc.AddRow(TemplateTable::Numerators);
    doc.CommitCell(TemplateTable::Numerators, 0, NumeratorTable::kNumber, c.first);
    doc.CommitCell(TemplateTable::Numerators, 1, NumeratorTable::kNumber, "500");
    doc.CommitCell(TemplateTable::Numerators, 1, NumeratorTable::kDirection, "R");
    const std::string folder = dir.Path(c.name);
    const std::string path = folder + "/Facturas.pla";
    if (c.saved) {
      std::filesystem::create_directories(folder);
      caseHost.savePaths = {path};
      ws.RunCommand(WorkspaceCommand::Save);
      while (caseHost.timerArmed) ws.TimerFired();
      ASSERT_TRUE(ws.HasFile());
      if (c.folderGone) std::filesystem::remove_all(folder);
    }
    const std::string fileBefore = c.saved && !c.folderGone ? ReadBytes(path) : "";
    const std::vector<std::string> rowsBefore = {doc.Numerators().LineOf(0),
                                                 doc.Numerators().LineOf(1)};

    EXPECT_EQ(ws.ContinueNumbering(c.sheets, c.increment), c.ok);
    if (!c.ok) {
      ASSERT_EQ(caseHost.errors.size(), 1u);
      EXPECT_NE(caseHost.errors[0].find(c.error), std::string::npos) << caseHost.errors[0];
      EXPECT_EQ(doc.Numerators().LineOf(0), rowsBefore[0]);
      EXPECT_EQ(doc.Numerators().LineOf(1), rowsBefore[1]);
      if (!fileBefore.empty()) {
        EXPECT_EQ(ReadBytes(path), fileBefore);
      }
      if (c.folderGone) {
        EXPECT_FALSE(std::filesystem::exists(path));
      }
      EXPECT_TRUE(caseHost.printJobs.empty());
      continue;
    }
    EXPECT_TRUE(caseHost.errors.empty());
    EXPECT_FALSE(ws.Modified());
    const std::optional<Template> onDisk = LoadTemplate(path);
    ASSERT_TRUE(onDisk);
    const NumeratorList stored = onDisk->Numerators().ExportRecords();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].Number, c.nextFirst);
    EXPECT_EQ(stored[1].Number, c.nextSecond);
    EXPECT_TRUE(stored[1].Reverse);
    ASSERT_EQ(caseHost.printJobs.size(), 1u);
    EXPECT_EQ(caseHost.printJobs[0].Numerators[0].Number, c.nextFirst);
    EXPECT_EQ(caseHost.printJobs[0].Numerators[1].Number, c.nextSecond);
    EXPECT_EQ(caseHost.printJobs[0].TemplateFile, path);
  }
}

// A file without a series is known by its canonical path: saves write that
// series (through links too), Save as a new one when the copy does not
// continue the numbering (3). A print page on screen takes what was written.
TEST_F(EditingSessionTest, SavesOfATemplateWithoutASeriesWriteTheOneOfItsFile) {
  enum Act { Save, Continue, SaveAs };
  const struct {
    Act act;
    const char* target;
    int answer;  // 0: not asked, -1: yes, 3: no
  } cases[] = {
      {Save, "Enlace.pla", 0},  {Continue, "Enlace.pla", 0}, {SaveAs, "Copia.pla", -1},
      {SaveAs, "Copia.pla", 3}, {SaveAs, "Enlace.pla", 0},
  };
  const std::string original = "|HJA|IMP100|x|y|0|0|0|0|0|0|12.00|18.00|0|0|0|0|0|0|F|F|\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.act) + c.target + std::to_string(c.answer));
    TempDir folder;
    const std::string real = folder.Path("Original.pla"), link = folder.Path("Enlace.pla");
    const std::string target = folder.Path(c.target);
    WriteBytes(real, original);
    std::filesystem::create_symlink(real, link);
    FakeHost fresh;
    EditingSession ws(fresh);
    ws.InitWorkspace();
    fresh.openPaths = {c.act == SaveAs ? real : link};
    ws.RunCommand(WorkspaceCommand::Open);
    ws.RunCommand(WorkspaceCommand::PrintPage);
    fresh.savePaths = {target};
    fresh.overwriteAnswers = {true};
    fresh.confirmAnswers = {c.answer == 3 ? ConfirmAnswer::No : ConfirmAnswer::Yes};
    if (c.act == Continue) {
      EXPECT_TRUE(ws.ContinueNumbering(3, 1));
    } else {
      ws.RunCommand(c.act == Save ? WorkspaceCommand::Save : WorkspaceCommand::SaveAs);
    }
    while (fresh.timerArmed) ws.TimerFired();

    EXPECT_EQ(fresh.questions, c.answer ? std::vector<Q>{Q::CopyNumbering} : std::vector<Q>{});
    const std::string written = LoadTemplate(target)->Series();
    EXPECT_TRUE(IsSeriesText(written)) << written;
    EXPECT_EQ(written != SeriesOfPath(real), c.answer == 3);
    EXPECT_EQ(ws.Document().Series(), written);
    EXPECT_FALSE(ws.Modified());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(fresh.printJobs.back().Series, written);
    EXPECT_EQ(fresh.printJobs.back().TemplateFile, target);
    EXPECT_TRUE(!c.answer || ReadBytes(real) == original) << "the original stays";
  }
}

}  // namespace
}  // namespace zirvo
