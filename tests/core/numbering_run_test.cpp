// Runs of tickets, books and stubs: the engine prints each numerator by its
// numbering rule, in either order, and the register guards exactly the
// numbers that must never come twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "print_fixtures.h"
#include "printing/register_settings.h"
#include "printing/sqlite_register.h"
#include "temp_dir.h"
#include "template/numerator_table.h"

namespace zirvo {
namespace {

using namespace testing::print;
using testing::TempDir;

Numerator Ruled(int32_t position, int32_t number, NumberingRule rule) {
  Numerator n = MakeNumerator(position, number);
  n.Rule = rule;
  return n;
}

class NumberingRun : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.SetRegisterPlace(PlaceIn(dir));
    engine.SelectPrinter(PrinterSetting::Queue("Oficina"), "Oficina");
  }
  void Load(const NumeratorList& numerators) {
    PrintJob job = Job(numerators);
    job.TemplateFile = dir.Path("Boletos.pla");
    engine.LoadPrintJob(job);
  }
  Pages Run(const char* sheets, const char* copies = "1", const char* increment = "1") {
    device.pages.clear();
    engine.SetRunSettings(increment, copies, sheets);
    EXPECT_TRUE(engine.PrintAll());
    return PagesOf(device);
  }
  Pages Reprint(std::vector<const char*> entries) {
    device.pages.clear();
    engine.ClearRepositionEntries();
    for (const char* entry : entries) engine.AddRepositionEntry(entry);
    engine.PrintReposition();
    return PagesOf(device);
  }

  TempDir dir;
  RecordingDevice device;
  PageState page;
  PrintEngine engine{device, &page};
};

TEST_F(NumberingRun, CutAndStackPilesAreConsecutiveInEitherOrder) {
  // 1,000 tickets 4-up: each position starts its pile of 250.
  Load({MakeNumerator(1, 1), MakeNumerator(2, 251), MakeNumerator(3, 501), MakeNumerator(4, 751)});
  for (bool lastFirst : {false, true}) {
    engine.SetLastFirst(lastFirst);
    const Pages pages = Run("250");
    ASSERT_EQ(pages.size(), 250u);
    const std::vector<std::string> first = {"0001", "0251", "0501", "0751"};
    const std::vector<std::string> last = {"0250", "0500", "0750", "1000"};
    EXPECT_EQ(pages.front(), lastFirst ? last : first);
    EXPECT_EQ(pages.back(), lastFirst ? first : last);
    std::set<std::string> seen;
    for (const auto& sheet : pages) seen.insert(sheet.begin(), sheet.end());
    EXPECT_EQ(seen.size(), 1000u);
    EXPECT_EQ(*seen.begin(), "0001");
    EXPECT_EQ(*seen.rbegin(), "1000");
  }
}

TEST_F(NumberingRun, RafflesAcrossTheSheetCarryTheirNumberOnTheirStub) {
  NumeratorList tickets;
  for (int32_t p = 1; p <= 5; ++p) tickets.push_back(Ruled(p, p, {5, 1, 0, {}, 0}));
  for (int32_t p = 1; p <= 5; ++p) tickets.push_back(Ruled(p + 5, 9999, {1, 1, 0, {}, p}));
  Load(tickets);
  const Pages pages = Run("3");
  const Pages expected = {
      {"0001", "0002", "0003", "0004", "0005", "0001", "0002", "0003", "0004", "0005"},
      {"0006", "0007", "0008", "0009", "0010", "0006", "0007", "0008", "0009", "0010"},
      {"0011", "0012", "0013", "0014", "0015", "0011", "0012", "0013", "0014", "0015"}};
  EXPECT_EQ(pages, expected);
}

TEST_F(NumberingRun, BooksOfFiftySetsInThreePartsWithMod11Invoices) {
  Load({Ruled(1, 1, {1, 50, 0, {}, 0}), Ruled(2, 1, {1, 1, 50, {}, 0}),
        Ruled(3, 1001, {1, 1, 0, CheckDigit::Mod11, 0})});
  for (int run = 0; run < 2; ++run) {
    const Pages pages = Run("150", "3");
    ASSERT_EQ(pages.size(), 450u);
    for (int32_t sheet = 0; sheet < 150; ++sheet) {
      const int32_t book = 1 + sheet / 50 + 3 * run;
      const int32_t invoice = 1001 + sheet + 150 * run;
      const std::vector<std::string> expected = {
          FormatNumeratorText("", book, 4, ""), FormatNumeratorText("", 1 + sheet % 50, 4, ""),
          FormatNumeratorText("", invoice, 4, "", CheckDigit::Mod11)};
      for (int copy = 0; copy < 3; ++copy)
        ASSERT_EQ(pages[static_cast<std::size_t>(sheet * 3 + copy)], expected) << "sheet " << sheet;
    }
    // The next run goes on past the books and invoices printed.
    PrintJob next = engine.LoadedJob();
    next.Numerators[0].Number = 4;
    next.Numerators[2].Number = 1151;
    next.TemplateFile = dir.Path("Boletos.pla");
    engine.LoadPrintJob(next);
  }
  EXPECT_TRUE(page.reprintQuestions.empty());  // pages in book repeat by design
}

TEST_F(NumberingRun, TheRegisterGuardsRepeatedRunsButNotCyclesOrStubs) {
  struct Case {
    const char* what;
    NumeratorList numerators;
    bool asked;  // the second identical run meets numbers printed already
  } cases[] = {
      {"plain", {MakeNumerator(1, 1)}, true},
      {"book numbers", {Ruled(1, 1, {1, 50, 0, {}, 0})}, true},
      {"page in book", {Ruled(1, 1, {1, 1, 50, {}, 0})}, false},
      {"a stub of a cycle", {Ruled(1, 1, {1, 1, 10, {}, 0}), Ruled(2, 7, {1, 1, 0, {}, 1})}, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Load(c.numerators);
    page.reprintQuestions.clear();
    page.reprint = false;
    engine.SetRunSettings("1", "1", "100");
    EXPECT_TRUE(engine.PrintAll()) << c.what;
    EXPECT_EQ(engine.PrintAll(), !c.asked) << c.what;
    EXPECT_EQ(!page.reprintQuestions.empty(), c.asked) << c.what;
    const RunList runs = SqliteRegister::Open(dir.Path("Registro.sqlite"))->Runs(engine.Series());
    ASSERT_FALSE(runs.runs.empty()) << c.what;
    EXPECT_EQ(runs.runs.front().planned.size(), c.numerators.size()) << c.what;
    std::filesystem::remove(dir.Path("Registro.sqlite"));
  }
}

TEST_F(NumberingRun, RepositionsFindTheSheetOfANumberOrTakeTheSheet) {
  Load({Ruled(1, 100, {2, 1, 0, CheckDigit::Luhn, 0}), Ruled(2, 1, {1, 10, 0, {}, 0})});
  engine.SetRunSettings("5", "1", "1");
  // Numerator 1 prints 100, 110, 120 ...: 130 is sheet 4, book 1; 240 is sheet 15, book 2.
  EXPECT_EQ(Reprint({"130", "240"}),
            (Pages{{FormatNumeratorText("", 130, 4, "", CheckDigit::Luhn), "0001"},
                   {FormatNumeratorText("", 240, 4, "", CheckDigit::Luhn), "0006"}}));
  EXPECT_THROW(Reprint({"135"}), ZirvoError);  // not a number numerator 1 prints

  Load({Ruled(1, 1, {1, 50, 0, {}, 0}), MakeNumerator(2, 1)});
  try {
    Reprint({"2"});
    ADD_FAILURE() << "a book number names fifty sheets";
  } catch (const ZirvoError& e) {
    EXPECT_EQ(std::string(e.what()), OwnText(OwnMessage::RepeatsNumbers, "1"));
  }
  engine.SetRepositionBySheet(true);
  engine.SetRunSettings("1", "1", "1");
  EXPECT_EQ(Reprint({"51", "1"}), (Pages{{"0001", "0001"}, {"0002", "0051"}}));
  EXPECT_THROW(Reprint({"0"}), ZirvoError);
}

}  // namespace
}  // namespace zirvo
