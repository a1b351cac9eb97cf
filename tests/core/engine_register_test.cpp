// The print engine and the numbering register: every run reserves its exact
// numbers before its document begins and records what it completed; the
// user is asked before numbers are printed again or records that do not
// read are passed over; a register that cannot be used prints nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>

#include "base/platform.h"
#include "print_fixtures.h"
#include "printing/register_settings.h"
#include "printing/sqlite_register.h"
#include "support/register_support.h"
#include "temp_dir.h"

namespace zirvo {
namespace {

using namespace testing::print;
using testing::SqliteWriteLock;
using testing::TempDir;
using testing::WriteBytes;

// A page whose user gives the answers in `answers`, in turn, and No after them.
struct ScriptedPage : PageState {
  std::deque<bool> answers;
  bool ConfirmReprint(const std::string& facts, const std::string& question) override {
    reprintQuestions.push_back(facts + "\n" + question);
    if (answers.empty()) return false;
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
  }
};

class RegisterEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterPlace place = PlaceIn(dir);
    place.options.busyTimeoutMs = 300;
    engine.SetRegisterPlace(place);
    Load(100);
    engine.SelectPrinter(PrinterSetting::Queue("Oficina"), "Oficina");
  }
  // The saved template Facturas.pla, numerator 1 from `first` up, numerator 2 from 50 down.
  void Load(int32_t first) {
    PrintJob job = Job({MakeNumerator(1, first), MakeNumerator(2, 50, true)});
    job.TemplateFile = dir.Path("Facturas.pla");
    engine.LoadPrintJob(job);
  }
  bool Run(const char* sheets, const char* increment = "1") {
    engine.SetRunSettings(increment, "2", sheets);
    return engine.PrintAll();
  }
  std::string RegisterFile() const { return dir.Path("Registro.sqlite"); }
  RunList Runs() const { return SqliteRegister::Open(RegisterFile())->Runs(engine.Series()); }
  bool Began() const { return std::count(device.events.begin(), device.events.end(), "begin") > 0; }

  TempDir dir;
  RecordingDevice device;
  ScriptedPage page;
  PrintEngine engine{device, &page};
};

TEST_F(RegisterEngine, EachRunRecordsItsExactPlanAndWhatWasCompleted) {
  ASSERT_TRUE(Run("50", "3"));
  // Cancelled at sheet 8, CUPS having completed 5 sheets and printing the
  // job of sheets 6 and 7 when it was recalled: asked, printed again.
  page.answers = {true};
  device.completedSheets = 5;
  device.reachedSheets = 7;
  device.SetPageSpooledHook([&] {
    if (device.pages.size() == 16) engine.CancelRun();
  });
  ASSERT_TRUE(Run("50", "3"));
  EXPECT_EQ(page.statuses.back(), OwnText(OwnMessage::CompletedUpTo, "5") + " " +
                                      OwnText(OwnMessage::SheetsMayBeOnPaper, "6", "7"));
  device.SetPageSpooledHook({});
  device.completedSheets.reset();
  device.reachedSheets.reset();
  device.failBegin = true;
  page.answers = {true};
  EXPECT_THROW(Run("3", "3"), ZirvoError);
  EXPECT_EQ(engine.LastOutcome()->event, RunEvent::Failed);

  const RunList list = Runs();
  ASSERT_EQ(list.runs.size(), 3u);
  const std::vector<Progression> plan = {Progression::Of(1, 100, 50, 3),
                                         Progression::Of(2, 50, 50, -3)};
  const struct {
    RunEvent event;
    int32_t completed;
    std::vector<Progression> printed;
  } ends[] = {
      {RunEvent::Failed, 0, {}},
      {RunEvent::Cancelled, 7, {Progression::Of(1, 100, 7, 3), Progression::Of(2, 50, 7, -3)}},
      {RunEvent::Completed, 50, plan},
  };
  for (std::size_t i = 0; i < 3; ++i) {
    const RunRecord& run = list.runs[i];
    ASSERT_TRUE(run.end) << i;
    EXPECT_EQ(run.end->event, ends[i].event) << i;
    EXPECT_EQ(run.end->completedSheets, ends[i].completed) << i;
    EXPECT_EQ(run.end->completed, ends[i].printed) << i;
  }
  const RunRecord& first = list.runs[2];
  EXPECT_EQ(first.planned, plan);
  EXPECT_EQ(first.sheets, 50);
  EXPECT_EQ(first.copies, 2);
  EXPECT_EQ(first.increment, 3);
  EXPECT_EQ(first.templateName, "Facturas.pla");
  EXPECT_EQ(first.target, "Oficina");
  EXPECT_EQ(first.user, platform::AccountName());
  EXPECT_EQ(first.station, platform::HostName());
}

// A front end that leaves the engine's questions unanswered (a new one that
// forgets them) is taken to say No: nothing is printed again, nothing below zero.
TEST_F(RegisterEngine, AnObserverThatAnswersNoQuestionSaysNo) {
  ASSERT_TRUE(Run("50"));
  RunObserver silent;
  PrintEngine quiet(device, &silent);
  quiet.SetRegisterPlace(engine.Place());
  quiet.SelectPrinter(PrinterSetting::Queue("Oficina"), "Oficina");
  device.pages.clear();
  const struct {
    const char* what;
    Numerator numerator;
    const char* sheets;
  } cases[] = {
      {"numbers printed already", MakeNumerator(1, 100), "10"},
      {"numbers below zero", MakeNumerator(3, 0, true), "2"},
  };
  for (const auto& c : cases) {
    PrintJob job = Job({c.numerator});
    job.TemplateFile = dir.Path("Facturas.pla");
    quiet.LoadPrintJob(job);
    quiet.SetRunSettings("1", "1", c.sheets);
    EXPECT_FALSE(quiet.PrintAll()) << c.what;
    EXPECT_TRUE(device.pages.empty()) << c.what;
  }
}

TEST_F(RegisterEngine, NumbersPrintedAlreadyAreAskedAboutBeforeARunOnly) {
  ASSERT_TRUE(Run("50"));
  device.pages.clear();
  ASSERT_FALSE(Run("10"));  // asked, and No
  ASSERT_EQ(page.reprintQuestions.size(), 1u);
  for (const char* part : {"01 ", "100..109", "Oficina", "2026-", "?"})
    EXPECT_NE(page.reprintQuestions[0].find(part), std::string::npos) << part;
  EXPECT_NE(page.reprintQuestions[0].find(platform::AccountName()), std::string::npos);
  EXPECT_TRUE(device.pages.empty());
  EXPECT_FALSE(engine.LastOutcome());
  EXPECT_EQ(Runs().runs.size(), 1u);

  // A test sheet and a reposition print known numbers on purpose; the
  // reposition is recorded number by number.
  ASSERT_TRUE(engine.PrintTestSheet());
  ASSERT_TRUE(engine.AddRepositionEntry("120"));
  ASSERT_TRUE(engine.PrintReposition());
  EXPECT_EQ(page.reprintQuestions.size(), 1u);
  const RunRecord reposition = Runs().runs.front();
  EXPECT_EQ(reposition.kind, RunKind::Reposition);
  EXPECT_EQ(reposition.planned,
            (std::vector<Progression>{Progression::Single(1, 120), Progression::Single(2, 30)}));
  EXPECT_EQ(reposition.listed, std::vector<int32_t>{120});

  page.answers = {true};
  ASSERT_TRUE(Run("10"));
  EXPECT_EQ(engine.LastOutcome()->completedSheets, 10);
  EXPECT_EQ(Runs().runs.size(), 4u);

  // Nobody to ask: nothing is printed.
  PrintEngine silent(device);
  silent.SetRegisterPlace(engine.Place());
  silent.LoadPrintJob(engine.LoadedJob());
  silent.SelectPrinter(PrinterSetting::Queue("Oficina"), "Oficina");
  EXPECT_FALSE(silent.PrintAll());
}

// Records that do not read are asked about on their own; leave to pass them
// over is no leave to print numbers the readable records hold.
TEST_F(RegisterEngine, RecordsThatDoNotReadAreAskedAboutApart) {
  ASSERT_TRUE(Run("50"));  // 100..149
  Load(200);
  page.answers = {true};   // numerator 2 prints 50..1 again
  ASSERT_TRUE(Run("50"));  // 200..249, damaged below
  ASSERT_EQ(testing::SqliteExec(RegisterFile(), "UPDATE zirvo_runs SET kind = 'x' WHERE seq = 2"),
            "");
  Load(100);
  const struct {
    std::deque<bool> answers;
    std::size_t questions;
    bool printed;
  } cases[] = {
      {{false}, 1, false},
      {{true, false}, 2, false},
      {{true, true}, 2, true},
  };
  for (const auto& c : cases) {
    page.reprintQuestions.clear();
    page.answers = c.answers;
    device.pages.clear();
    EXPECT_EQ(Run("150"), c.printed);
    ASSERT_EQ(page.reprintQuestions.size(), c.questions);
    EXPECT_NE(page.reprintQuestions[0].find("registros que no se pudieron leer"), std::string::npos)
        << page.reprintQuestions[0];
    if (c.questions == 2) {
      EXPECT_NE(page.reprintQuestions[1].find("100..149"), std::string::npos);
    }
    EXPECT_EQ(device.pages.empty(), !c.printed);
  }
}

// Nothing is printed, and nobody asked, when the register cannot be used:
// no fallback to another one.
TEST_F(RegisterEngine, ARegisterThatCannotBeUsedPrintsNothing) {
  namespace fs = std::filesystem;
  const struct {
    const char* name;
    std::function<void()> make;
    const char* message;
  } cases[] = {
      {"a link", [&] { fs::create_symlink(dir.Path("other.sqlite"), RegisterFile()); },
       "enlace simb"},
      {"a folder", [&] { fs::create_directory(RegisterFile()); }, "Registro.sqlite"},
      {"busy", [] {}, "ocupado"},
      {"settings that do not read", [&] { fs::create_directory(dir.Path("user.ini")); },
       "user.ini"},
      {"a server that does not answer",
       [&] {
         WriteBytes(dir.Path("system.ini"),
                    "[Register]\nConnection=postgresql://nadie@127.0.0.1:1/zirvo\n");
       },
       "PostgreSQL: nadie@127.0.0.1:1/zirvo"},
  };
  for (const auto& c : cases) {
    std::error_code ignored;
    for (const char* file : {"Registro.sqlite", "user.ini", "system.ini"})
      fs::remove_all(dir.Path(file), ignored);
    std::unique_ptr<SqliteWriteLock> lock;
    if (std::string(c.name) == "busy") {
      ASSERT_TRUE(SqliteRegister::Open(RegisterFile()));
      lock = std::make_unique<SqliteWriteLock>(RegisterFile());
    }
    c.make();
    device.events.clear();
    page.answers = {true, true};
    try {
      Run("5");
      ADD_FAILURE() << c.name << ": printed";
    } catch (const ZirvoError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
    EXPECT_FALSE(Began()) << c.name;
    EXPECT_TRUE(page.reprintQuestions.empty()) << c.name;
    EXPECT_FALSE(page.statusVisible) << c.name;
  }
  EXPECT_EQ(engine.RegisterDescription(), "PostgreSQL: nadie@127.0.0.1:1/zirvo");
}

TEST_F(RegisterEngine, AnEndThatCannotBeStoredIsToldAndTheRunStaysInterrupted) {
  std::unique_ptr<SqliteWriteLock> lock;
  device.SetPageSpooledHook([&] {
    if (!lock) lock = std::make_unique<SqliteWriteLock>(RegisterFile());
  });
  ASSERT_TRUE(Run("3"));
  lock.reset();
  ASSERT_EQ(page.notices.size(), 1u);
  EXPECT_NE(page.notices[0].find("interrumpida"), std::string::npos) << page.notices[0];
  const RunList list = Runs();
  ASSERT_EQ(list.runs.size(), 1u);
  EXPECT_FALSE(list.runs[0].end);
  EXPECT_EQ(list.runs[0].PrintedNumbers(), list.runs[0].planned);
}

// Which register a job's runs use: the one beside its real file, the data
// folder's for a template never saved, or the one the settings name.
TEST_F(RegisterEngine, TheRegisterIsTheTemplatesFoldersUnlessTheSettingsNameOne) {
  namespace fs = std::filesystem;
  const std::string real = fs::canonical(dir.Path()).string();
  fs::create_directory(dir.Path("real"));
  fs::create_directory_symlink(dir.Path("real"), dir.Path("linked"));
  PrintJob job = Job({MakeNumerator(1, 100)});
  job.TemplateFile = dir.Path("linked/Recibos.pla");
  engine.LoadPrintJob(job);
  EXPECT_EQ(engine.RegisterDescription(), "SQLite: " + real + "/real/Registro.sqlite");

  job.TemplateFile.clear();
  engine.LoadPrintJob(job);
  const std::string unsaved = engine.Series();
  EXPECT_EQ(engine.RegisterDescription(), "SQLite: " + real + "/Datos/Registro.sqlite");
  ASSERT_TRUE(Run("2"));  // the data folder is made for it
  EXPECT_TRUE(fs::exists(dir.Path("Datos/Registro.sqlite")));
  engine.LoadPrintJob(job);
  EXPECT_NE(engine.Series(), unsaved) << "a template without series or file is a new one";
  job.Series = "0123456789abcdef0123456789abcdef";
  engine.LoadPrintJob(job);
  EXPECT_EQ(engine.Series(), job.Series);

  WriteBytes(dir.Path("user.ini"), "[Register]\nConnection=postgresql://sala@servidor/zirvo\n");
  EXPECT_EQ(engine.RegisterDescription(), "PostgreSQL: sala@servidor/zirvo");
}

}  // namespace
}  // namespace zirvo
