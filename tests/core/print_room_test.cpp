// A run to a queue as jobs: their options and names, the calibration store,
// the calibration sheet, and the following of jobs against a fake spooler.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>

#include "base/messages.h"
#include "base/text.h"
#include "print_fixtures.h"
#include "printing/batch_options.h"
#include "printing/print_spooler.h"
#include "printing/printer_calibration.h"
#include "printing/spool_run.h"
#include "temp_dir.h"

namespace zirvo {
namespace {

using testing::ReadBytes;
using testing::TempDir;

TEST(JobOptions, EveryJobAsksForNoScalingBesideItsChoices) {
  PrinterSetting chosen = PrinterSetting::Queue("Oficina");
  chosen.duplex = DuplexMode::LongEdge;
  chosen.colour = ColourMode::GrayScale;
  chosen.paper = PaperKind::Custom;
  chosen.paperWidthCm = 21.6;
  chosen.paperHeightCm = 27.94;
  const JobOptionList plain = JobOptions(PrinterSetting::Queue("Oficina"));
  EXPECT_EQ(plain, (JobOptionList{{"print-scaling", "none"}}));
  EXPECT_EQ(JobOptions(chosen), (JobOptionList{{"print-scaling", "none"},
                                               {"media", "Custom.216x279mm"},
                                               {"sides", "two-sided-long-edge"},
                                               {"print-color-mode", "monochrome"}}));
}

TEST(JobName, NamesTheSheetsAndNumeratorOnesRange) {
  const struct {
    int32_t first, last;
    const char *from, *to, *name;
  } cases[] = {
      {501, 1000, "N-0600", "N-1099", "Facturas 501-1000 (N-0600-N-1099)"},
      {1, 1, "0007", "0007", "Facturas 1 (0007)"},
      {1, 500, "", "", "Facturas 1-500"},
  };
  for (const auto& c : cases) EXPECT_EQ(JobName("Facturas", c.first, c.last, c.from, c.to), c.name);
  EXPECT_EQ(JobName("", 1, 2, "", ""), "Zirvo 1-2");
}

TEST(PrinterOffsets, ParsesMillimetresInRangeOnly) {
  const struct {
    const char* text;
    bool ok;
    double mm;
  } cases[] = {{"1.5", true, 1.5},   {" -0,8 ", true, -0.8}, {"10", true, 10.0},
               {"-10.0", true, -10}, {"-0", true, 0.0},      {"10.01", false, 0},
               {"-11", false, 0},    {"", false, 0},         {"nan", false, 0},
               {"1e9", false, 0},    {"1.5mm", false, 0},    {"1,5,0", false, 0}};
  for (const auto& c : cases) {
    double mm = 99;
    EXPECT_EQ(ParseOffsetMm(c.text, mm), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(mm, c.mm) << c.text;
    }
  }
  EXPECT_EQ(FormatOffsetMm(1.5), "1.5");
  EXPECT_EQ(FormatOffsetMm(-0.25), "-0.25");
  EXPECT_EQ(FormatOffsetMm(2), "2.0");
}

TEST(PrinterOffsets, StoresOneSectionPerQueueAndKeepsTheRestOfTheFile) {
  TempDir dir;
  const std::string file = dir.Path("Impresoras.ini");
  EXPECT_EQ(ReadPrinterOffsets(file, "Oficina"), PrinterOffsets{});  // no file yet
  StorePrinterOffsets(file, "Oficina", {1.5, -0.8});
  StorePrinterOffsets(file, "Sala_2", {-10, 10});
  StorePrinterOffsets(file, "oficina", {0.25, 0});  // queue names ignore case
  EXPECT_EQ(ReadBytes(file), "[Oficina]\r\nX=0.25\r\nY=0.0\r\n[Sala_2]\r\nX=-10.0\r\nY=10.0\r\n");
  EXPECT_EQ(ReadPrinterOffsets(file, "OFICINA"), (PrinterOffsets{0.25, 0}));
  EXPECT_EQ(ReadPrinterOffsets(file, "Sala_2"), (PrinterOffsets{-10, 10}));
  EXPECT_EQ(ReadPrinterOffsets(file, "Otra"), PrinterOffsets{});

  // A hand-edited value out of range or not a number moves nothing.
  {
    std::ofstream out(file, std::ios::app | std::ios::binary);
    out << "[Mala]\r\nX=25\r\nY=abc\r\n";
  }
  EXPECT_EQ(ReadPrinterOffsets(file, "Mala"), PrinterOffsets{});

  // Refused: offsets out of range, names a section cannot hold; the file stays.
  const std::string before = ReadBytes(file);
  EXPECT_THROW(StorePrinterOffsets(file, "Oficina", {10.5, 0}), ZirvoError);
  EXPECT_THROW(StorePrinterOffsets(file, "Oficina", {0, std::nan("")}), ZirvoError);
  for (const char* queue : {"", "a]b", "[x", " Oficina"})
    EXPECT_THROW(StorePrinterOffsets(file, queue, {1, 1}), ZirvoError) << queue;
  EXPECT_EQ(ReadBytes(file), before);
}

TEST(BatchOptions, CalibrateStoresOffsetsOrPrintsTheSheetOfOneQueue) {
  const BatchOptions set =
      ParseBatchArguments({"calibrate", "--printer", "Q", "--x", "1.5", "--y", "-0.8"});
  EXPECT_EQ(set.command, BatchOptions::Command::Calibrate);
  EXPECT_EQ(set.printer, "Q");
  EXPECT_EQ(set.offsetX, 1.5);
  EXPECT_EQ(set.offsetY, -0.8);
  EXPECT_FALSE(set.calibrationSheet);
  EXPECT_TRUE(ParseBatchArguments({"calibrate", "--printer", "Q", "--sheet"}).calibrationSheet);

  const BatchOptions print =
      ParseBatchArguments({"print", "a.pla", "--printer", "Q", "--chunk", "250"});
  EXPECT_EQ(BatchPrinterSetting(print, {}).chunkSheets, 250);
  EXPECT_EQ(BatchPrinterSetting(ParseBatchArguments({"print", "a.pla", "--printer", "Q"}), {})
                .chunkSheets,
            500);

  const std::vector<std::vector<std::string>> bad = {
      {"calibrate", "--x", "1"},
      {"calibrate", "--printer", "Q"},
      {"calibrate", "a.pla", "--printer", "Q", "--sheet"},
      {"print", "a.pla", "--printer", "Q", "--chunk", "0"},
      {"info", "a.pla", "--chunk", "5"},
  };
  for (const auto& args : bad) EXPECT_THROW(ParseBatchArguments(args), UsageError) << args.back();
  // An offset the calibration cannot hold is a bad value, not a usage error.
  for (const char* mm : {"10.5", "uno"})
    EXPECT_THROW(ParseBatchArguments({"calibrate", "--printer", "Q", "--x", mm}), ZirvoError) << mm;
}

// The sheet a user measures: the cross centred at 2.00 x 2.00 cm, rulers on
// every edge, the queue's name and the offsets in force.
TEST(CalibrationSheet, DrawsTheCrossRulersQueueAndOffsets) {
  RecordingDevice device;  // Letter at 600 dpi
  PrintCalibrationSheet(device, "Sala_2", {1.5, -0.8});
  ASSERT_EQ(device.pages.size(), 1u);
  EXPECT_EQ(device.documentsEnded, 1);
  const auto& page = *device.pages[0];
  const int32_t cross = 472;  // 20 mm at 600 dpi
  int crossBars = 0, edgeTicks[4] = {};
  for (const auto& call : page.rects) {
    const RectI r = call.DeviceRect();
    if (r.left + r.width / 2 == cross && r.top + r.height / 2 == cross) ++crossBars;
    if (r.top == 0) ++edgeTicks[0];
    if (r.left == 0) ++edgeTicks[1];
    if (r.top + r.height == device.physicalHeight) ++edgeTicks[2];
    if (r.left + r.width == device.physicalWidth) ++edgeTicks[3];
  }
  EXPECT_EQ(crossBars, 2);
  EXPECT_EQ(edgeTicks[0], 215);  // every millimetre of 215.9
  EXPECT_EQ(edgeTicks[2], 215);
  EXPECT_EQ(edgeTicks[1], 279);  // of 279.4
  EXPECT_EQ(edgeTicks[3], 279);
  std::string text;
  for (const auto& t : device.TextsOn(0)) text += t + "\n";
  EXPECT_NE(text.find("Sala_2"), std::string::npos) << text;
  EXPECT_NE(text.find("X = 1.5 mm, Y = -0.8 mm"), std::string::npos) << text;
}

// The engine names the run and tells the device each sheet with numerator
// 1's text; a device that follows its jobs reports the sheets completed.
TEST(PrintRoomEngine, TellsEachSheetAndReportsTheSheetsCompletedOnCancel) {
  using namespace testing::print;
  RecordingDevice device;
  PageState page;
  PrintEngine engine(device, &page);
  NumeratorList numerators = {MakeNumerator(1, 600), MakeNumerator(2, 9, true)};
  numerators[0].Prefix = "N-";
  engine.LoadPrintJob(Job(numerators));
  engine.SelectPrinter(PrinterSetting::Queue("Sala"), "Sala");
  engine.SetRunSettings("1", "2", "3");
  ASSERT_TRUE(engine.PrintAll());
  EXPECT_EQ(device.runName, "Facturas");
  EXPECT_EQ(device.sheetsStarted, (std::vector<std::pair<int32_t, std::string>>{
                                      {1, "N-0600"}, {2, "N-0601"}, {3, "N-0602"}}));

  device.completedSheets = 1000;
  device.SetPageSpooledHook([&] { engine.CancelRun(); });
  ASSERT_TRUE(engine.PrintAll());
  EXPECT_EQ(page.statuses.back(), OwnText(OwnMessage::CompletedUpTo, "1000"));
}

// A spooler whose jobs end when the test says so.
class FakeSpooler : public PrintSpooler {
 public:
  int32_t SubmitJob(const std::string& queue, const std::string& title, const JobOptionList&,
                    const std::string& file) override {
    std::lock_guard lock(mutex);
    if (failSubmit) throw ZirvoError("refused: " + queue);
    titles.push_back(title);
    contents.push_back(ReadBytes(file));
    const int32_t id = static_cast<int32_t>(titles.size());
    states[id] = {autoComplete ? JobState::Completed : JobState::Pending, {}};
    submitted.notify_all();
    return id;
  }
  JobStatus StatusOfJob(int32_t job) override {
    std::lock_guard lock(mutex);
    return states.at(job);
  }
  PrinterStatus StatusOfPrinter(const std::string&) override {
    std::lock_guard lock(mutex);
    if (onPrinterLook) onPrinterLook();
    return printer;
  }
  bool CancelJob(const std::string&, int32_t job) override {
    std::lock_guard lock(mutex);
    cancelled.push_back(job);
    if (JobEnded(states[job].state)) return false;
    states[job].state = JobState::Cancelled;
    return true;
  }
  // Waits until the run's thread has submitted `count` jobs; false when it
  // has not within a minute, however busy the machine.
  bool WaitForSubmitted(size_t count) {
    std::unique_lock lock(mutex);
    return submitted.wait_for(lock, std::chrono::minutes(1),
                              [&] { return titles.size() >= count; });
  }

  std::mutex mutex;
  std::condition_variable submitted;
  bool autoComplete = true, failSubmit = false;
  std::vector<std::string> titles, contents;
  std::map<int32_t, JobStatus> states;
  std::vector<int32_t> cancelled;
  PrinterStatus printer;
  std::function<void()> onPrinterLook;  // called with the mutex held
};

class SpoolRunTest : public ::testing::Test {
 protected:
  SpoolPart Part(int32_t first, int32_t last) {
    const std::string file = dir.Path("part" + std::to_string(first));
    std::ofstream(file, std::ios::binary) << "sheets " << first << "-" << last;
    return {file, "T " + std::to_string(first), first, last};
  }
  SpoolWait Wait() {
    SpoolWait wait;
    wait.cancelled = [this] { return cancel; };
    wait.status = [this](const std::string& text) { statuses.push_back(text); };
    wait.idle = [this] { ++idles; };
    wait.pollMilliseconds = 1;
    return wait;
  }
  TempDir dir;
  FakeSpooler spooler;
  bool cancel = false;
  std::vector<std::string> statuses;
  int idles = 0;
};

TEST_F(SpoolRunTest, SubmitsThePartsInOrderAndRemovesTheirFiles) {
  SpoolRun run(spooler, "Q", {});
  const SpoolPart first = Part(1, 500), second = Part(501, 700);
  run.Hand(first);
  run.Hand(second);
  ASSERT_TRUE(run.WaitUntilAtMost(0, Wait()));
  EXPECT_EQ(spooler.titles, (std::vector<std::string>{"T 1", "T 501"}));
  EXPECT_EQ(spooler.contents, (std::vector<std::string>{"sheets 1-500", "sheets 501-700"}));
  EXPECT_FALSE(std::filesystem::exists(first.file));
  EXPECT_FALSE(std::filesystem::exists(second.file));
  EXPECT_EQ(run.CompletedPrefix(), 700);
}

TEST_F(SpoolRunTest, AStoppedPrinterIsShownUntilItIsBackAndAnAbortedJobEndsTheRun) {
  spooler.autoComplete = false;
  spooler.printer = {true, "media-empty"};
  int looks = 0;
  spooler.onPrinterLook = [&] {
    if (++looks == 3) {  // the paper is loaded; the job prints
      spooler.printer = {};
      spooler.states[1].state = JobState::Completed;
    }
  };
  SpoolRun run(spooler, "Q", {});
  run.Hand(Part(1, 10));
  ASSERT_TRUE(spooler.WaitForSubmitted(1)) << "job 1 was never submitted";
  ASSERT_TRUE(run.WaitUntilAtMost(0, Wait()));
  ASSERT_EQ(statuses.size(), 2u);
  EXPECT_EQ(statuses[0], OwnText(OwnMessage::PrinterStopped, "Q", "media-empty"));
  EXPECT_EQ(statuses[1], "");
  EXPECT_GT(idles, 0);

  run.Hand(Part(11, 20));
  ASSERT_TRUE(spooler.WaitForSubmitted(2)) << "job 2 was never submitted";
  {
    std::lock_guard lock(spooler.mutex);
    spooler.states[2] = {JobState::Aborted, "filter failed"};
  }
  try {
    run.WaitUntilAtMost(0, Wait());
    ADD_FAILURE() << "an aborted job must end the run";
  } catch (const ZirvoError& e) {
    EXPECT_NE(std::string(e.what()).find("filter failed"), std::string::npos) << e.what();
  }
}

TEST_F(SpoolRunTest, CancelRecallsEveryJobNotCompletedAndReportsTheCompletedPrefix) {
  spooler.autoComplete = false;
  SpoolRun run(spooler, "Q", {});
  for (int32_t first : {1, 501, 1001}) run.Hand(Part(first, first + 499));
  ASSERT_TRUE(spooler.WaitForSubmitted(3)) << "job 3 was never submitted";
  {
    std::lock_guard lock(spooler.mutex);
    spooler.states[1].state = JobState::Completed;
    spooler.states[2].state = JobState::Processing;
    spooler.states[3].state = JobState::Completed;  // another printer of a class
  }
  cancel = true;
  EXPECT_FALSE(run.WaitUntilAtMost(0, Wait()));  // a cancel ends the wait
  EXPECT_EQ(run.CancelOutstanding(Wait()), 500);
  EXPECT_EQ(spooler.cancelled, (std::vector<int32_t>{2}));
  // Job 2 was printing when it was recalled: its sheets may be on paper.
  EXPECT_EQ(run.ReachedPrinterUpTo(), 1500);
}

TEST_F(SpoolRunTest, ARefusedSubmissionEndsTheRunAndLaterPartsAreDropped) {
  spooler.failSubmit = true;
  SpoolRun run(spooler, "Q", {});
  run.Hand(Part(1, 5));
  EXPECT_THROW(run.WaitUntilAtMost(0, Wait()), ZirvoError);
  const SpoolPart later = Part(6, 9);
  run.Hand(later);
  EXPECT_EQ(run.CancelOutstanding(Wait()), 0);
  EXPECT_FALSE(std::filesystem::exists(later.file));
}

}  // namespace
}  // namespace zirvo
