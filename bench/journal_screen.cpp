// Opening the journal screen on a journal of 10,000 records (5,000 runs of
// two numerators each): the time to read and pair the file and build the
// dialog, and the time until it is shown and painted, over a few rounds.
//
// On the 2-core build machine (load about 4 from other builds), 10,000
// records: the first opening 100-104 ms (read and pair 72-89 ms of it),
// later ones 38-69 ms; a first dialog of the process without a journal
// 57-60 ms, which the program has paid before its print page shows. With
// the machine idle (load below 1): first opening 45 ms, later ones 17-26 ms.
//
//   journal_screen [RUNS] [ROUNDS]   (defaults 5000 and 5)
#include <QApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "base/qtext_qt.h"
#include "base/text.h"
#include "pages/journal_dialog_qt.h"
#include "printing/run_journal.h"

namespace {

using namespace zirvo;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Runs of 50 sheets one after the other; every tenth one cancelled part-way.
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
    record.ranges = {{1, first, first + 49}, {2, 9000 - first, 9000 - first - 49}};
    file << FormatJournalRecord(record);
    const bool cancelled = r % 10 == 9;
    record.event = cancelled ? RunEvent::Cancelled : RunEvent::Completed;
    record.completedSheets = cancelled ? 20 : 50;
    if (cancelled) record.ranges = {{1, first, first + 19}, {2, 9000 - first, 9000 - first - 19}};
    file << FormatJournalRecord(record);
    first += *record.completedSheets;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 5000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;

  QTemporaryDir dir;
  const std::string path = FromQString(dir.filePath("Facturas.journal.csv"));
  WriteJournal(path, runs);
  // In the program the print page is on screen before its journal opens:
  // the fonts and styles a first dialog loads are loaded already. A dialog
  // without a journal pays for them here, and its time is shown apart.
  {
    const Clock::time_point start = Clock::now();
    TFDiario empty("");
    empty.show();
    QApplication::processEvents();
    std::printf("first dialog of the process, no journal: %.1f ms\n", Ms(Clock::now() - start));
  }
  std::printf("journal of %d records (%d runs)\n", 2 * runs, runs);
  std::printf(
      "round   build (read + pair + dialog)   show + paint   total      read + pair alone\n");
  for (int round = 1; round <= rounds; ++round) {
    const Clock::time_point start = Clock::now();
    TFDiario dialog(path);
    const Clock::time_point built = Clock::now();
    dialog.show();
    dialog.Tb_Diario->repaint();
    QApplication::processEvents();
    const Clock::time_point shown = Clock::now();
    if (dialog.Model()->rowCount() != runs) {
      std::fprintf(stderr, "expected %d rows, got %d\n", runs, dialog.Model()->rowCount());
      return 1;
    }
    dialog.hide();
    // The file alone, after the dialog: the first round's dialog pays for
    // the first reading.
    const Clock::time_point readStart = Clock::now();
    const size_t paired = PairJournalRuns(ReadJournal(path).records).size();
    const Clock::time_point readEnd = Clock::now();
    if (paired != static_cast<size_t>(runs)) return 1;
    std::printf("%5d   %10.1f ms                  %8.1f ms    %6.1f ms   %8.1f ms\n", round,
                Ms(built - start), Ms(shown - built), Ms(shown - start), Ms(readEnd - readStart));
  }
  return 0;
}
