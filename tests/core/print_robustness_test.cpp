// Print runs under failure and at the edges of the number range: a run never
// leaves a document open, and every page carries exactly the numbers the run
// rules give.
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "base/text.h"
#include "print_fixtures.h"
#include "template/numerator_table.h"

namespace zirvo {
namespace {

using namespace testing::print;

class FailingPrinter : public ::testing::Test {
 protected:
  RecordingDevice device;
  PageState page;
  PrintEngine engine{device, &page};

  void SetUp() override {
    engine.LoadPrintJob(Job({MakeNumerator(1, 5), MakeNumerator(2, 9, true)}));
    engine.SelectPrinter(PrinterSetting::Queue("Oficina"), "Oficina");
  }
  void ExpectClosedAndTidy(const char* what) {
    EXPECT_FALSE(device.DocumentOpen()) << what;
    EXPECT_FALSE(engine.Running()) << what;
    EXPECT_FALSE(page.progressVisible) << what;
    EXPECT_FALSE(page.cancelVisible) << what;
    EXPECT_FALSE(page.statusVisible) << what;
    EXPECT_EQ(page.maximum, 0) << what;
    EXPECT_EQ(device.documentsEnded, 0) << what;
  }
};

struct Failure {
  const char* what;
  bool begin;
  int32_t page;
  int32_t drawPage;
  bool end;
};

const Failure kFailures[] = {
    {"at begin", true, 0, 0, false},
    {"at the second page", false, 2, 0, false},
    {"at the fourth page", false, 4, 0, false},
    {"drawing the first page", false, 0, 1, false},
    {"drawing the third page", false, 0, 3, false},
    {"at end", false, 0, 0, true},
};

TEST_F(FailingPrinter, EveryFailureAbortsTheRunAndReportsIt) {
  for (const Failure& f : kFailures) {
    device = RecordingDevice();
    device.failBegin = f.begin;
    device.failAtPage = f.page;
    device.failDrawAtPage = f.drawPage;
    device.failEnd = f.end;
    engine.SetRunSettings("1", "2", "3");
    try {
      engine.PrintAll();
      ADD_FAILURE() << "no error " << f.what;
    } catch (const ZirvoError& e) {
      EXPECT_NE(std::string(e.what()).find("failed"), std::string::npos) << e.what();
    }
    ExpectClosedAndTidy(f.what);
    EXPECT_EQ(device.documentsAborted, f.begin ? 0 : 1) << f.what;
  }
}

TEST_F(FailingPrinter, RepositionAndTestSheetFailTheSameWay) {
  engine.AddRepositionEntry("7");
  engine.AddRepositionEntry("8");
  for (const Failure& f : kFailures) {
    for (int command = 0; command < 2; ++command) {
      device = RecordingDevice();
      device.failBegin = f.begin;
      device.failAtPage = f.page;
      device.failDrawAtPage = f.drawPage;
      device.failEnd = f.end;
      engine.SetRunSettings("1", "3", "1");
      const bool reachesFailure = f.begin || f.end || (f.page > 0 && f.page <= (command ? 3 : 2)) ||
                                  (f.drawPage > 0 && f.drawPage <= (command ? 3 : 2));
      bool threw = false;
      try {
        command == 0 ? engine.PrintReposition() : engine.PrintTestSheet();
      } catch (const ZirvoError&) {
        threw = true;
      }
      EXPECT_EQ(threw, reachesFailure) << f.what << " command " << command;
      EXPECT_FALSE(device.DocumentOpen()) << f.what;
      EXPECT_FALSE(engine.Running());
      EXPECT_FALSE(page.progressVisible);
      EXPECT_FALSE(page.cancelVisible);
    }
  }
}

// The numbers of page p, by the run rules: sheet k = p / copies + 1 carries
// N + (k - 1) x d, or N - (k - 1) x d for a reverse numerator.
TEST(RunExactness, RandomTemplatesPrintExactlyTheNumbersOfTheirSheets) {
  std::mt19937_64 random(20261209);
  const auto pick = [&](int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(random);
  };
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  int refused = 0, printed = 0;
  for (int round = 0; round < 400; ++round) {
    NumeratorList numerators;
    const int count = static_cast<int>(pick(1, 60));
    for (int i = 0; i < count; ++i) {
      // Numbers anywhere, but often right at the edges of the range.
      int64_t number = pick(-1000, 1000);
      if (pick(0, 2) == 0) number = pick(0, 1) ? kMax - pick(0, 3000) : kMin + pick(0, 3000);
      numerators.push_back(MakeNumerator(i + 1, static_cast<int32_t>(number), pick(0, 1) == 1,
                                         static_cast<int32_t>(pick(-2, 12))));
    }
    const int64_t increment = pick(-1000, 1000);
    const int64_t copies = pick(0, 3);
    const int64_t sheets = pick(0, 12);

    RecordingDevice device;
    PageState page;
    PrintEngine engine(device, &page);
    engine.LoadPrintJob(Job(numerators));
    engine.SelectPrinter(PrinterSetting::Queue("Q"), "Q");
    engine.SetRunSettings(FormatInt(increment), FormatInt(copies), FormatInt(sheets));

    const int64_t step = increment < 0 ? -increment : increment;
    bool fits = true;
    for (const Numerator& n : numerators) {
      const int64_t last = n.Number + (n.Reverse ? -step : step) * std::max<int64_t>(0, sheets - 1);
      fits = fits && last >= kMin && last <= kMax;
    }
    if (!fits) {
      EXPECT_THROW(engine.PrintAll(), ZirvoError) << "round " << round;
      EXPECT_TRUE(device.events.empty() || device.events == std::vector<std::string>{"printer"});
      EXPECT_TRUE(device.pages.empty());
      ++refused;
      continue;
    }
    ASSERT_TRUE(engine.PrintAll());
    ++printed;
    const int64_t perSheet = std::max<int64_t>(1, copies);
    ASSERT_EQ(device.pages.size(), static_cast<size_t>(sheets == 0 ? 1 : sheets * perSheet));
    for (size_t p = 0; p < device.pages.size() && sheets > 0; ++p) {
      const int64_t sheet = static_cast<int64_t>(p) / perSheet;
      const auto texts = device.TextsOn(p);
      ASSERT_EQ(texts.size(), numerators.size());
      for (size_t i = 0; i < numerators.size(); ++i) {
        const Numerator& n = numerators[i];
        const int64_t number = n.Number + (n.Reverse ? -step : step) * sheet;
        ASSERT_EQ(texts[i], FormatNumeratorText("", static_cast<int32_t>(number), n.Mask, ""))
            << "round " << round << " page " << p;
      }
    }
  }
  // Both outcomes must really have been exercised.
  EXPECT_GT(refused, 40);
  EXPECT_GT(printed, 40);
}

TEST(RunExactness, AMillionSheetsCarryEveryNumberOnce) {
  constexpr int32_t kSheets = 1000000;
  const NumeratorList numerators = {MakeNumerator(1, -500000),
                                    MakeNumerator(2, 2147483647 - kSheets + 1),
                                    MakeNumerator(3, 1000000, true, 7)};
  RecordingDevice device;
  device.keepPages = false;
  int64_t checked = 0;
  device.pageDone = [&](const RecordingSurface& surface, int64_t pageNumber) {
    const int64_t k = pageNumber - 1;
    ASSERT_EQ(surface.texts.size(), 3u);
    ASSERT_EQ(surface.texts[0].text,
              FormatNumeratorText("", static_cast<int32_t>(-500000 + k), 4, ""));
    ASSERT_EQ(surface.texts[1].text, FormatInt(2147483647 - kSheets + 1 + k));
    ASSERT_EQ(surface.texts[2].text,
              FormatNumeratorText("", static_cast<int32_t>(1000000 - k), 7, ""));
    ++checked;
  };
  PrintEngine engine(device);
  engine.LoadPrintJob(Job(numerators));
  engine.SelectPrinter(PrinterSetting::Queue("Q"), "Q");
  engine.SetRunSettings("1", "1", FormatInt(kSheets));
  ASSERT_TRUE(engine.PrintAll());
  EXPECT_EQ(checked, kSheets);
  EXPECT_EQ(device.documentsEnded, 1);
  // One sheet more would carry the second numerator past the range.
  engine.SetRunSettings("1", "1", FormatInt(kSheets + 1));
  EXPECT_THROW(engine.PrintAll(), ZirvoError);
}

}  // namespace
}  // namespace zirvo
