// A run to a CUPS queue as jobs: the time from Print to the first job CUPS
// accepted, the time until CUPS reported every job completed, and the peak
// resident memory. Run it once per length (peak memory is per process);
// bench/print_room.sh starts a private scheduler with a file-backed queue
// and runs it for 1,000, 10,000 and 100,000 sheets.
//
//   print_room QUEUE [SHEETS] [SHEETS_PER_JOB]   (defaults 10000 and 500)
//
// On the 2-core build machine (shared with two compilers), a queue on the
// generic PDF driver writing to /dev/null, jobs of 500 sheets:
//
//   sheets    print to first job    print to all completed    peak RSS
//   1,000     0.55 s                3.8 s                     28.3 MB
//   10,000    0.51 s                42.4 s                    28.7 MB
//   100,000   0.56 s                890.6 s                   28.5 MB
//
// The first job does not wait for the run's length, memory stays flat, and
// the total is the pace of the CUPS filters, which drawing keeps ahead of
// by at most four jobs.
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/platform.h"
#include "base/text.h"
#include "bench_sheet.h"
#include "printing/print_engine.h"
#include "printing/qprinter_device_qt.h"

namespace {

using namespace zirvo;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The print benches' sheet of 8 numerators and 4 marginal texts, on A4.
PrintJob RoomJob() {
  PrintJob job = bench::PrintBenchJob();
  job.Sheet.Width = 21.0;
  job.Sheet.Height = 29.7;
  return job;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: print_room QUEUE [SHEETS] [SHEETS_PER_JOB]\n");
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const std::string queue = argv[1];
  const int sheets = argc > 2 ? std::atoi(argv[2]) : 10000;
  const int chunk = argc > 3 ? std::atoi(argv[3]) : PrinterSetting::kDefaultChunkSheets;

  QPrinterDevice device;
  // Numerators counting down below 0 print: nobody is there to confirm it.
  struct Unattended : RunObserver {
    bool ConfirmNegative(const std::string&) override { return true; }
  } unattended;
  PrintEngine engine(device, &unattended);
  engine.LoadPrintJob(RoomJob());
  PrinterSetting setting = PrinterSetting::Queue(queue);
  setting.paper = PaperKind::A4;
  setting.chunkSheets = chunk;
  engine.SelectPrinter(setting, queue);
  engine.SetRunSettings("1", "1", std::to_string(sheets));

  const Clock::time_point start = Clock::now();
  Clock::time_point firstAccepted{};
  device.SetPageSpooledHook([&] {
    if (firstAccepted == Clock::time_point{} && device.JobsAccepted() > 0)
      firstAccepted = Clock::now();
  });
  try {
    engine.PrintAll();
  } catch (const ZirvoError& e) {
    std::fprintf(stderr, "print_room: %s\n", e.what());
    return 1;
  }
  const Clock::time_point end = Clock::now();
  std::printf("sheets:                 %d (jobs of %d)\n", sheets, chunk);
  std::printf("print to first job:     %.2f s\n",
              firstAccepted == Clock::time_point{} ? -1.0 : Seconds(firstAccepted - start));
  std::printf("print to all completed: %.2f s\n", Seconds(end - start));
  std::printf("peak RSS:               %.1f MB\n", platform::PeakResidentBytes() / 1048576.0);
  return 0;
}
