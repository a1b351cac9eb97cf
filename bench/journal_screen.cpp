// Opening the journal screen on a SQLite register of 100,000 runs of one
// series (two numerators each, every tenth run cancelled part-way): the time
// to build the dialog (it reads the newest page of runs) and the time until
// it is shown and painted, over a few rounds; then the time to read every
// run, which the screen never waits for (Exportar does).
//
// On the 2-core build machine (load about 1.3 from other builds), 100,000
// runs: the first opening 16-18 ms (build 9 ms, show and paint 8 ms), later
// ones 13-14 ms; the next page 1 ms; a first dialog of the process without a
// register 19-20 ms, which the program has paid before its print page shows;
// every run read 1.0 s. Filling the register takes about 10 s.
//
//   journal_screen [RUNS] [ROUNDS]   (defaults 100000 and 5)
#include <QApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "base/qtext_qt.h"
#include "base/text.h"
#include "pages/journal_screen_qt.h"
#include "printing/sqlite_register.h"

namespace {

using namespace zirvo;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The runs go into the register as an old journal imported, in one
// transaction: reserving them one by one would take most of an hour.
void WriteJournal(const std::string& path, int runs) {
  std::ofstream file(path, std::ios::binary);
  file << kJournalHeader << "\n";
  int64_t first = 100;
  for (int r = 0; r < runs; ++r) {
    JournalRecord record;
    record.run = "run-" + FormatInt(r);
    record.time = "2026-12-09T20:15:03+01:00";
    record.user = "operador";
    record.templateName = "Facturas.pla";
    record.target = "/home/operador/Facturas.pdf";
    record.sheets = 50;
    record.ranges = {{1, first, first + 49}, {2, 9000000 - first, 9000000 - first - 49}};
    file << FormatJournalRecord(record);
    const bool cancelled = r % 10 == 9;
    record.event = cancelled ? RunEvent::Cancelled : RunEvent::Completed;
    record.completedSheets = cancelled ? 20 : 50;
    if (cancelled)
      record.ranges = {{1, first, first + 19}, {2, 9000000 - first, 9000000 - first - 19}};
    file << FormatJournalRecord(record);
    first += *record.completedSheets;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::string series = "5e1e5000000000000000000000000001";

  QTemporaryDir dir;
  const std::string journal = FromQString(dir.filePath("Facturas.journal.csv"));
  WriteJournal(journal, runs);
  const Clock::time_point fillStart = Clock::now();
  const auto reg = SqliteRegister::Open(FromQString(dir.filePath("Registro.sqlite")));
  const int32_t imported = reg->ImportJournal(series, journal).runs;
  std::printf("register of %d runs filled in %.0f ms\n", imported, Ms(Clock::now() - fillStart));
  // In the program the print page is on screen before its journal opens:
  // the fonts and styles a first dialog loads are loaded already. A dialog
  // without a register pays for them here, and its time is shown apart.
  {
    const Clock::time_point start = Clock::now();
    JournalScreen empty(nullptr, "", "");
    empty.show();
    QApplication::processEvents();
    std::printf("first dialog of the process, no register: %.1f ms\n", Ms(Clock::now() - start));
  }
  std::printf("round   build (first page + dialog)   show + paint   total\n");
  for (int round = 1; round <= rounds; ++round) {
    const Clock::time_point start = Clock::now();
    JournalScreen dialog(reg.get(), series, "");
    const Clock::time_point built = Clock::now();
    dialog.show();
    dialog.findChild<QTableView*>("Tb_Diario")->repaint();
    QApplication::processEvents();
    const Clock::time_point shown = Clock::now();
    if (dialog.Model()->rowCount() != static_cast<int>(JournalModel::kPageRuns)) {
      std::fprintf(stderr, "expected a page of rows, got %d\n", dialog.Model()->rowCount());
      return 1;
    }
    std::printf("%5d   %10.1f ms                 %8.1f ms    %6.1f ms\n", round, Ms(built - start),
                Ms(shown - built), Ms(shown - start));
    if (round < rounds) continue;
    const Clock::time_point fetchStart = Clock::now();
    dialog.Model()->fetchMore({});
    std::printf("the next page, as the table scrolls to its end: %.1f ms\n",
                Ms(Clock::now() - fetchStart));
  }
  const Clock::time_point allStart = Clock::now();
  const std::size_t all = reg->Runs(series).runs.size();
  std::printf("every run read (%zu), as an export does: %.0f ms\n", all,
              Ms(Clock::now() - allStart));
  return 0;
}
