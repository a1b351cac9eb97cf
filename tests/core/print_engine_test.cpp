#include "printing/print_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "base/text.h"
#include "catalog/catalog.h"
#include "print_fixtures.h"
#include "render/sheet_render.h"
#include "support/recording_device.h"
#include "support/recording_surface.h"
#include "temp_dir.h"

namespace zirvo {
namespace {

using namespace testing::print;
using testing::TempDir;

class PrintEngineTest : public ::testing::Test {
 protected:
  RecordingDevice device;
  PageState page;
  PrintEngine engine{device, &page};

  void Choose() { engine.SelectPrinter(PrinterSetting::Queue("Oficina"), "Oficina"); }
  Pages RunAll(const char* increment, const char* copies, const char* sheets) {
    engine.SetRunSettings(increment, copies, sheets);
    EXPECT_TRUE(engine.PrintAll());
    return PagesOf(device);
  }
};

TEST_F(PrintEngineTest, PrintsEachSheetsCopiesWithTheNumbersOfItsSheet) {
  engine.LoadPrintJob(Job({MakeNumerator(1, 100), MakeNumerator(2, 50, true)}));
  Choose();
  const Pages expected = {{"0100", "0050"}, {"0100", "0050"}, {"0105", "0045"},
                          {"0105", "0045"}, {"0110", "0040"}, {"0110", "0040"}};
  EXPECT_EQ(RunAll("5", "2", "3"), expected);
  EXPECT_EQ(device.title, "Zirvo: Facturas");
  EXPECT_EQ(device.events, (std::vector<std::string>{"printer", "title", "begin", "page", "page",
                                                     "page", "page", "page", "end"}));
  EXPECT_EQ(device.settings.back(), PrinterSetting::Queue("Oficina"));
  // A second run starts again from the stored numbers.
  EXPECT_EQ(RunAll("5", "2", "3"), expected);
  EXPECT_EQ(engine.LoadedJob().Numerators[0].Number, 100);
}

TEST_F(PrintEngineTest, EachPageDrawsWhatItsSheetDrawsAlone) {
  NumeratorList numerators = {MakeNumerator(1, 998), MakeNumerator(2, 3, true, 6)};
  numerators[0].Prefix = "F-";
  numerators[0].Rotation = 90;
  numerators[0].Horizontal = 2.5;
  numerators[1].Font = "Courier";
  numerators[1].Vertical = 4.0;
  MarginalText m;
  m.Text = " Copia ";
  m.Vertical = 20.0;
  PrintJob job = Job(numerators, {m});
  job.Background = std::make_shared<SizedBitmap>(10, 10);
  job.PrintBackground = true;
  device.offsetX = 99;
  device.offsetY = 50;
  engine.LoadPrintJob(job);
  Choose();
  RunAll("3", "2", "4");

  ASSERT_EQ(device.pages.size(), 8u);
  const DeviceMapping mapping = DeviceMapping::Print(600, 99, 50);
  for (size_t page = 0; page < device.pages.size(); ++page) {
    const int32_t k = static_cast<int32_t>(page / 2);  // two copies of each sheet
    NumeratorList sheet = numerators;
    sheet[0].Number = 998 + 3 * k;
    sheet[1].Number = 3 - 3 * k;
    RecordingSurface alone;
    DrawSheet(alone, mapping,
              {&sheet, &job.Marginals, job.Background.get(), {-99, -50, 5100, 6600}});
    EXPECT_EQ(device.pages[page]->Drawn(), alone.Drawn()) << "page " << page + 1;
  }
  EXPECT_EQ(device.TextsOn(7), (std::vector<std::string>{"F-1007", "-000006", "Copia"}));
}

TEST_F(PrintEngineTest, ReadsTheRunSettingsAsThePageDoes) {
  engine.LoadPrintJob(Job({MakeNumerator(1, 1, true), MakeNumerator(2, 7)}));
  Choose();
  const struct {
    const char* increment;
    const char* copies;
    const char* sheets;
    Pages pages;
  } cases[] = {
      {"0", "1", "3", {{"0001", "0007"}, {"0001", "0007"}, {"0001", "0007"}}},
      {"1", "0", "2", {{"0001", "0007"}, {"0000", "0008"}}},
      {"1", "-0", "2", {{"0001", "0007"}, {"0000", "0008"}}},
      {"-2", "1", "3", {{"0001", "0007"}, {"-0001", "0009"}, {"-0003", "0011"}}},
      {"", " ", "", {{"0001", "0007"}}},
      {"1", "-2", "1", {{"0001", "0007"}, {"0001", "0007"}}},
      {"1", "1", "0", {{}}},  // begun and ended, its one page empty
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunAll(c.increment, c.copies, c.sheets), c.pages)
        << c.increment << " / " << c.copies << " / " << c.sheets;
    EXPECT_FALSE(device.DocumentOpen());
  }
}

TEST_F(PrintEngineTest, TestSheetPrintsTheStoredNumbersOncePerCopy) {
  engine.LoadPrintJob(Job({MakeNumerator(1, 100)}));
  Choose();
  engine.SetRunSettings("5", "3", "9");
  EXPECT_TRUE(engine.PrintTestSheet());
  EXPECT_EQ(PagesOf(device), (Pages{{"0100"}, {"0100"}, {"0100"}}));

  // A sheets field that is not a number stops the test sheet too.
  device.events.clear();
  engine.SetRunSettings("5", "3", "x");
  EXPECT_THROW(engine.PrintTestSheet(), ConversionError);
  EXPECT_EQ(device.events, (std::vector<std::string>{"printer"}));
}

TEST_F(PrintEngineTest, DoesNothingBeforeAPrinterIsChosen) {
  engine.LoadPrintJob(Job({MakeNumerator(1, 1)}));
  EXPECT_FALSE(engine.PrintAll());
  EXPECT_FALSE(engine.PrintTestSheet());
  EXPECT_TRUE(device.events.empty());
  Choose();
  engine.ResetPrinters();  // a new template: the choice has to be made again
  EXPECT_EQ(engine.SelectedPrinter(), "");
  EXPECT_EQ(engine.Setting(), device.DefaultSetting());
  EXPECT_FALSE(engine.PrintAll());
}

TEST_F(PrintEngineTest, DrawsAnEmptyTemplateAsBackgroundOnlyOrBlankPages) {
  Choose();
  PrintJob job = Job({});
  EXPECT_TRUE(engine.LoadPrintJob(job));
  RunAll("1", "1", "2");
  ASSERT_EQ(device.pages.size(), 2u);
  EXPECT_EQ(device.pages[0]->calls, "");

  device.offsetX = 99;
  device.offsetY = 40;
  job.Background = std::make_shared<SizedBitmap>(3, 1);
  job.PrintBackground = true;
  engine.LoadPrintJob(job);
  RunAll("1", "1", "2");
  for (const auto& p : device.pages) {
    EXPECT_EQ(p->calls, "I");
    EXPECT_EQ(p->images[0].target, (RectI{-99, -40, 5100, 6600}));
  }
  // An image the preview does not mark for printing is not printed.
  job.PrintBackground = false;
  engine.LoadPrintJob(job);
  RunAll("1", "1", "1");
  EXPECT_EQ(device.pages[0]->calls, "");
}

TEST_F(PrintEngineTest, PlacesItemsFromThePaperEdgeWhateverThePrintableArea) {
  Numerator n = MakeNumerator(1, 5);
  n.Horizontal = 2.00;
  n.Vertical = 2.00;
  engine.LoadPrintJob(Job({n}));
  Choose();
  device.offsetX = 99;
  device.offsetY = 0;
  RunAll("1", "1", "1");
  ASSERT_EQ(device.pages[0]->texts.size(), 1u);
  EXPECT_EQ(device.pages[0]->texts[0].x, 373);
  EXPECT_EQ(device.pages[0]->texts[0].y, 472);
  EXPECT_EQ(device.pages[0]->texts[0].font.pixelsPerInch, 600);
}

TEST_F(PrintEngineTest, CancellingStopsBetweenCopiesThenPassesOverTheRest) {
  engine.LoadPrintJob(Job({MakeNumerator(1, 1)}));
  Choose();
  // The click arrives while page 7 (sheet 4's first copy) is spooled.
  device.SetPageSpooledHook([&] {
    EXPECT_TRUE(page.cancelVisible);
    if (device.pages.size() == 8) engine.CancelRun();
  });
  RunAll("1", "2", "10");
  EXPECT_EQ(device.documentsAborted, 1);
  EXPECT_EQ(device.documentsEnded, 0);
  EXPECT_FALSE(device.DocumentOpen());
  EXPECT_EQ(device.TextsOn(6), (std::vector<std::string>{"0004"}));
  EXPECT_EQ(device.TextsOn(7), (std::vector<std::string>{}));  // its second copy never drawn
  EXPECT_EQ(device.pages.size(), 8u);
  // The bar goes to its end in one step; the status names the last whole sheet.
  EXPECT_EQ(page.positions, (std::vector<int32_t>{1, 2, 3, 4, 10, 0}));
  EXPECT_FALSE(page.progressVisible);
  EXPECT_FALSE(page.cancelVisible);
  EXPECT_TRUE(page.statusVisible);
  EXPECT_EQ(page.statuses.back(), OwnText(OwnMessage::RunCancelled, "3"));

  // A click while idle is cleared by the next run.
  device.SetPageSpooledHook(nullptr);
  engine.CancelRun();
  RunAll("1", "1", "2");
  EXPECT_EQ(device.documentsEnded, 1);
}

// A cancelled run to a PDF file says that it wrote none, and that an earlier
// file of that name was left as it was.
TEST_F(PrintEngineTest, ACancelledRunToAFileSaysItWroteNone) {
  TempDir dir;
  engine.LoadPrintJob(Job({MakeNumerator(1, 1)}));
  engine.SelectPrinter(PrinterSetting::PdfFile(dir.Path("Nº 1.pdf")), "Nº 1.pdf");
  device.SetPageSpooledHook([&] { engine.CancelRun(); });
  for (const OwnMessage said : {OwnMessage::PdfNotWritten, OwnMessage::PdfNotWrittenKept}) {
    RunAll("1", "1", "10");
    EXPECT_EQ(page.statuses.back(),
              OwnText(OwnMessage::RunCancelled, "1") + " " + OwnText(said, "Nº 1.pdf"));
    std::ofstream(dir.Path("Nº 1.pdf")) << "kept";
  }
}

TEST_F(PrintEngineTest, StepsOfARunFollowTheLanguage) {
  engine.LoadPrintJob(Job({MakeNumerator(1, 1)}));
  Choose();
  SetOwnMessagesEnglish(true);
  RunAll("1", "1", "1");
  SetOwnMessagesEnglish(false);
  EXPECT_EQ(page.statuses, (std::vector<std::string>{"Processing the start data ....",
                                                     "Loading the data to print ....",
                                                     "Starting the printer ...."}));
}

TEST_F(PrintEngineTest, ReportsItsProgressAndStatusToThePage) {
  engine.LoadPrintJob(Job({MakeNumerator(1, 1)}));
  Choose();
  int32_t maximumDuringRun = -1;
  device.SetPageSpooledHook([&] {
    maximumDuringRun = page.maximum;
    EXPECT_TRUE(page.progressVisible);
    EXPECT_FALSE(page.statusVisible);
  });
  RunAll("1", "1", "3");
  EXPECT_EQ(maximumDuringRun, 3);
  EXPECT_EQ(page.statuses, (std::vector<std::string>{OwnText(OwnMessage::StatusProcessing),
                                                     OwnText(OwnMessage::StatusLoading),
                                                     OwnText(OwnMessage::StatusStarting)}));
  EXPECT_EQ(page.maximum, 0);
  EXPECT_EQ(page.positions, (std::vector<int32_t>{1, 2, 3, 0}));
}

TEST_F(PrintEngineTest, RefusesRunsThatCannotBePrintedBeforeTheDocumentBegins) {
  engine.LoadPrintJob(Job({MakeNumerator(1, 5), MakeNumerator(2, 2147483640)}));
  Choose();
  engine.SetRunSettings("5", "1", "3");
  try {
    engine.PrintAll();
    FAIL() << "a number past 2147483647 was accepted";
  } catch (const ZirvoError& e) {
    EXPECT_EQ(e.what(), OwnText(OwnMessage::NumberOutOfRange, "2"));
  }
  // Settings no run can print: the step must fit a number, the copies the limit.
  const struct {
    const char *increment, *copies, *sheets;
    std::string refusal;
  } refused[] = {
      {"1", "1", "-3", OwnText(OwnMessage::NegativeSheets, "-3")},
      {"-2147483648", "1", "1", OwnText(OwnMessage::IncrementOutOfRange, "-2147483648")},
      {"1", " -1000 ", "1", OwnText(OwnMessage::CopiesOutOfRange, "-1000", "999")},
  };
  for (const auto& r : refused) {
    engine.SetRunSettings(r.increment, r.copies, r.sheets);
    try {
      engine.PrintAll();
      ADD_FAILURE() << r.refusal;
    } catch (const ZirvoError& e) {
      EXPECT_EQ(e.what(), r.refusal);
    }
  }
  EXPECT_THROW(engine.PrintRun(-1), ZirvoError);
  EXPECT_EQ(device.events, (std::vector<std::string>{"printer", "printer", "printer", "printer"}));
  EXPECT_FALSE(page.statusVisible);
  RunAll("-2147483647", "999", "1");  // the largest of both print
  EXPECT_EQ(device.pages.size(), 999u);

  // The last sheet that still fits prints.
  RunAll("5", "1", "2");
  EXPECT_EQ(device.TextsOn(1)[1], "2147483645");

  // A reverse numerator going below the range is refused the same way.
  engine.LoadPrintJob(Job({MakeNumerator(1, -2147483640, true)}));
  engine.SetRunSettings("999999", "1", "2");
  EXPECT_THROW(engine.PrintAll(), ZirvoError);
}

TEST_F(PrintEngineTest, AnIncrementThatIsNotANumberStopsAfterTheFirstStatus) {
  engine.LoadPrintJob(Job({MakeNumerator(1, 5)}));
  Choose();
  engine.SetRunSettings("-", "1", "1");
  EXPECT_THROW(engine.PrintAll(), ConversionError);
  EXPECT_TRUE(page.statusVisible);
  EXPECT_EQ(page.statuses.back(), OwnText(OwnMessage::StatusProcessing));
  EXPECT_EQ(device.events, (std::vector<std::string>{"printer"}));
}

TEST_F(PrintEngineTest, APrintingFailureAbortsTheDocumentAndIsReported) {
  engine.LoadPrintJob(Job({MakeNumerator(1, 5)}));
  Choose();
  engine.SetRunSettings("1", "1", "5");
  const struct {
    bool begin;
    int32_t page;
    bool end;
  } failures[] = {{true, 0, false}, {false, 3, false}, {false, 0, true}};
  for (const auto& f : failures) {
    device.failBegin = f.begin;
    device.failAtPage = f.page;
    device.failEnd = f.end;
    EXPECT_THROW(engine.PrintAll(), ZirvoError);
    EXPECT_FALSE(device.DocumentOpen());
    EXPECT_FALSE(engine.Running());
    EXPECT_FALSE(page.progressVisible);
    EXPECT_FALSE(page.cancelVisible);
    EXPECT_FALSE(page.statusVisible);
  }
  EXPECT_EQ(device.documentsEnded, 0);
}

TEST_F(PrintEngineTest, OneRunAtATimeOnAnUnchangingJob) {
  engine.LoadPrintJob(Job({MakeNumerator(1, 5)}));
  Choose();
  engine.AddRepositionEntry("9");
  device.SetPageSpooledHook([&] {
    EXPECT_TRUE(engine.Running());
    EXPECT_FALSE(engine.PrintAll());
    EXPECT_FALSE(engine.PrintReposition());
    EXPECT_FALSE(engine.LoadPrintJob(Job({})));
    EXPECT_FALSE(engine.AddRepositionEntry("1"));
    EXPECT_FALSE(engine.ClearRepositionEntries());
  });
  RunAll("1", "1", "3");
  EXPECT_EQ(PagesOf(device), (Pages{{"0005"}, {"0006"}, {"0007"}}));
  EXPECT_EQ(engine.RepositionEntries().size(), 1u);
}

TEST_F(PrintEngineTest, CutsTheDocumentTitle) {
  engine.LoadPrintJob(Job({}, {}, std::string(80, 'n')));
  Choose();
  RunAll("1", "1", "1");
  EXPECT_EQ(device.title.size(), 87u);
  EXPECT_EQ(device.title.substr(0, 7), "Zirvo: ");
}

TEST_F(PrintEngineTest, KeepsTheRepositionListSortedAsTyped) {
  for (const char* entry : {"12", "9", "100", " 12", "12", "-5", "  "})
    engine.AddRepositionEntry(entry);
  EXPECT_EQ(engine.RepositionEntries(),
            (std::vector<std::string>{" 12", "-5", "100", "12", "12", "9"}));
  for (const char* bad : {"abc", "2147483648", "1.5", "12 a", "-"}) {
    EXPECT_THROW(engine.AddRepositionEntry(bad), ZirvoError) << bad;
  }
  EXPECT_EQ(engine.RepositionEntries().size(), 6u);
  EXPECT_TRUE(engine.DeleteRepositionEntry(0));
  EXPECT_FALSE(engine.DeleteRepositionEntry(7));
  EXPECT_EQ(engine.RepositionEntries().front(), "-5");
  EXPECT_TRUE(engine.ClearRepositionEntries());
  EXPECT_TRUE(engine.RepositionEntries().empty());
}

TEST_F(PrintEngineTest, RepositionMovesEveryNumeratorToTheListedNumber) {
  Numerator second = MakeNumerator(2, 5000);
  engine.LoadPrintJob(Job({MakeNumerator(1, 1000), second}));
  for (const char* entry : {"12", "9", "100"}) engine.AddRepositionEntry(entry);
  engine.SetRunSettings("2", "3", "4");  // play no part
  // Like the runs, it prints only on a printer the page shows as chosen.
  EXPECT_FALSE(engine.PrintReposition());
  EXPECT_TRUE(device.events.empty());
  Choose();
  EXPECT_TRUE(engine.PrintReposition());
  EXPECT_EQ(PagesOf(device), (Pages{{"0100", "4100"}, {"0012", "4012"}, {"0009", "4009"}}));

  engine.ClearRepositionEntries();
  engine.AddRepositionEntry("1007");
  engine.AddRepositionEntry("1007");
  engine.PrintReposition();
  EXPECT_EQ(PagesOf(device), (Pages{{"1007", "5007"}, {"1007", "5007"}}));
  EXPECT_TRUE(page.notices.empty());
}

// A reposition prints again the sheet of a run on which numerator 1 showed
// the listed number: a numerator running the other way moves down as far as
// numerator 1 moves up.
TEST_F(PrintEngineTest, RepositionFollowsEachNumeratorsDirection) {
  Choose();
  const struct {
    bool firstReverse;
    bool secondReverse;
    int32_t second;
    const char* entry;
    Pages pages;
  } cases[] = {
      {false, true, 5000, "15", {{"0015", "4986"}}},
      {false, true, 5000, "-3", {{"-0003", "5004"}}},
      {true, false, 5000, "15", {{"0015", "4986"}}},
      {true, true, 5000, "15", {{"0015", "5014"}}},
      {false, false, 5000, "15", {{"0015", "5014"}}},
      {false, true, 2147483647, "2", {{"0002", "2147483646"}}},
  };
  for (const auto& c : cases) {
    Numerator first = MakeNumerator(1, 1, c.firstReverse);
    engine.LoadPrintJob(Job({first, MakeNumerator(2, c.second, c.secondReverse)}));
    engine.ClearRepositionEntries();
    engine.AddRepositionEntry(c.entry);
    engine.PrintReposition();
    EXPECT_EQ(PagesOf(device), c.pages) << c.entry << " " << c.firstReverse << c.secondReverse;
  }
  // The range is checked on the numbers the sheet would carry.
  engine.LoadPrintJob(Job({MakeNumerator(1, 1), MakeNumerator(2, -2147483000, true)}));
  engine.ClearRepositionEntries();
  engine.AddRepositionEntry("1000");
  EXPECT_THROW(engine.PrintReposition(), ZirvoError);
  engine.LoadPrintJob(Job({MakeNumerator(1, 1), MakeNumerator(2, 2147483000, true)}));
  EXPECT_NO_THROW(engine.PrintReposition());
  EXPECT_EQ(PagesOf(device), (Pages{{"1000", "2147482001"}}));
}

// A run that takes a numerator from 0 or more below 0 asks first, naming the
// first numerator to do so and its sheet; "no" prints nothing.
TEST_F(PrintEngineTest, AsksBeforeANumeratorGoesBelowZero) {
  Choose();
  const struct {
    std::vector<Numerator> numerators;
    const char* increment;
    const char* sheets;
    const char* question;  // empty: no question
  } cases[] = {
      {{MakeNumerator(1, 4, true)}, "2", "3", ""},     // 4, 2, 0
      {{MakeNumerator(1, 4, true)}, "2", "4", "1 4"},  // 4, 2, 0, -2
      {{MakeNumerator(1, 5, true)}, "2", "4", "1 4"},  // 5, 3, 1, -1
      {{MakeNumerator(1, 0, true)}, "1", "2", "1 2"},
      {{MakeNumerator(1, -1, true)}, "1", "3", ""},  // already below 0
      {{MakeNumerator(1, 3), MakeNumerator(2, 100, true), MakeNumerator(3, 1, true)},
       "-1",
       "5",
       "3 3"},
      {{MakeNumerator(1, 0)}, "-1", "9", ""},  // the increment's sign plays no part
  };
  for (const auto& c : cases) {
    page.questions.clear();
    engine.LoadPrintJob(Job(c.numerators));
    engine.SetRunSettings(c.increment, "1", c.sheets);
    engine.PrintAll();
    if (*c.question == '\0') {
      EXPECT_TRUE(page.questions.empty()) << c.sheets;
      continue;
    }
    ASSERT_EQ(page.questions.size(), 1u) << c.question;
    const std::string position(c.question, 1), sheet(c.question + 2);
    EXPECT_EQ(page.questions[0], OwnText(OwnMessage::TurnsNegative, position, sheet));
  }
  const int ended = device.documentsEnded;
  page.printNegative = false;
  engine.LoadPrintJob(Job({MakeNumerator(1, 0, true)}));
  EXPECT_FALSE(engine.PrintAll());
  EXPECT_FALSE(device.DocumentOpen());
  EXPECT_EQ(device.documentsEnded, ended);
  EXPECT_EQ(std::count(device.events.begin(), device.events.end(), "begin"), ended);
}

TEST_F(PrintEngineTest, RepositionPrintsFiveAndNamesTheRest) {
  Choose();
  engine.LoadPrintJob(Job({MakeNumerator(1, 0)}));
  for (const char* entry : {"1", "2", "3", "4", "5", "6", "7"}) engine.AddRepositionEntry(entry);
  engine.PrintReposition();
  EXPECT_EQ(PagesOf(device), (Pages{{"0001"}, {"0002"}, {"0003"}, {"0004"}, {"0005"}}));
  EXPECT_EQ(page.positions, (std::vector<int32_t>{1, 2, 3, 4, 5, 0}));
  ASSERT_EQ(page.notices.size(), 1u);
  EXPECT_NE(page.notices[0].find("6, 7"), std::string::npos);
  EXPECT_EQ(engine.RepositionEntries().size(), 7u);  // they stay listed
}

TEST_F(PrintEngineTest, RepositionEdgeCases) {
  Choose();
  // An empty list: begun and ended, nothing drawn.
  engine.LoadPrintJob(Job({MakeNumerator(1, 0)}));
  engine.PrintReposition();
  EXPECT_EQ(PagesOf(device), (Pages{{}}));
  EXPECT_EQ(device.documentsEnded, 1);

  // Numbers leaving the range are refused before the document begins.
  engine.LoadPrintJob(Job({MakeNumerator(1, 0), MakeNumerator(2, 2147483000)}));
  engine.AddRepositionEntry("1000");
  EXPECT_THROW(engine.PrintReposition(), ZirvoError);
  EXPECT_FALSE(device.DocumentOpen());
  EXPECT_EQ(device.documentsEnded, 1);

  // Without numerators the pages carry the marginal texts only.
  MarginalText m;
  m.Text = "Copia";
  engine.LoadPrintJob(Job({}, {m}));
  engine.PrintReposition();
  EXPECT_EQ(PagesOf(device), (Pages{{"Copia"}}));

  // Cancelled: aborted, and no notice about entries left over.
  engine.LoadPrintJob(Job({MakeNumerator(1, 0)}));
  for (const char* entry : {"1", "2", "3", "4", "5", "6"}) engine.AddRepositionEntry(entry);
  device.SetPageSpooledHook([&] { engine.CancelRun(); });
  engine.PrintReposition();
  EXPECT_EQ(device.documentsAborted, 1);
  EXPECT_TRUE(page.notices.empty());
}

TEST(RunSettingValue, BlankIsOneAndAnythingElseMustBeAnInteger) {
  EXPECT_EQ(RunSettingValue(""), 1);
  EXPECT_EQ(RunSettingValue(" \t"), 1);
  EXPECT_EQ(RunSettingValue(" -7 "), -7);
  EXPECT_EQ(RunSettingValue("-0"), 0);
  try {
    RunSettingValue(" - ");
    FAIL();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'-' is not a valid integer value");
  }
}

}  // namespace
}  // namespace zirvo
