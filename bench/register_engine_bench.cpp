// A run's reservation and end record through the print engine, as a print
// page or zirvo-batch makes them: the register opened, the old journal
// looked for, the numbers reserved, one sheet drawn (on a recording
// device), the end recorded. On the SQLite register beside a template (a
// file in a temporary folder) and on a local PostgreSQL (a private server
// writing to disk as a real one does), each on an empty register and after
// the runs measured before it.
//
//   register_engine_bench [ROUNDS] [POSTGRESQL_CONNECTION]
//     (default 300; without a connection a private server is started when
//     PostgreSQL is installed)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/temp_dir.h"
#include "printing/print_engine.h"
#include "support/postgres_server.h"
#include "support/recording_device.h"

namespace {

using namespace zirvo;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  double sum = 0;
  for (const double m : ms) sum += m;
  std::printf("  %-40s mean %7.2f ms  median %7.2f  p95 %7.2f  max %7.2f\n", what,
              sum / static_cast<double>(ms.size()), ms[ms.size() / 2], ms[ms.size() * 95 / 100],
              ms.back());
}

// `rounds` runs of one sheet, each over numbers of its own, timed whole,
// on an empty register and again after them.
void Measure(const char* name, const std::string& templateFile, const RegisterPlace& place,
             int rounds) {
  std::printf("%s\n", name);
  RecordingDevice device;
  device.keepPages = false;
  PrintEngine engine(device);
  engine.SetRegisterPlace(place);
  engine.SelectPrinter(PrinterSetting::Queue("Oficina"), "Oficina");
  PrintJob job;
  job.Sheet.Name = "Facturas";
  job.TemplateFile = templateFile;
  Numerator n;
  n.Position = 1;
  n.Mask = 6;
  job.Numerators = {n};
  job.NumeratorCount = 1;
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<double> ms;
    for (int r = 0; r < rounds; ++r) {
      job.Numerators[0].Number = 100 + pass * rounds + r;
      engine.LoadPrintJob(job);
      const Clock::time_point start = Clock::now();
      if (!engine.PrintAll()) std::printf("  (refused: round %d)\n", r);
      ms.push_back(Ms(Clock::now() - start));
    }
    Report(pass == 0 ? "one-sheet run, empty register" : "one-sheet run, after those runs", ms);
  }
  // Of which: opening the register, which every run does.
  std::vector<double> ms;
  for (int r = 0; r < rounds; ++r) {
    const Clock::time_point start = Clock::now();
    OpenRegisterOf(place, templateFile);
    ms.push_back(Ms(Clock::now() - start));
  }
  Report("of which opening the register", ms);
  std::printf("  register: %s\n", engine.RegisterDescription().c_str());
}

}  // namespace

int main(int argc, char** argv) try {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  testing::TempDir dir;
  RegisterPlace place;
  place.userSettings = dir.Path("none.ini");
  place.systemSettings = dir.Path("none.ini");
  place.unsavedFolder = dir.Path();
  Measure("SQLite (Registro.sqlite beside the template, on the build machine's disk)",
          dir.Path("Facturas.pla"), place, rounds);

  std::unique_ptr<testing::PostgresServer> server;
  const std::string connection =
      testing::PostgresServer::ConnectionOrPrivate(argc > 2 ? argv[2] : "", server);
  if (connection.empty()) return 0;
  place.connection = connection;
  Measure("PostgreSQL (a local server on a Unix socket, connected once)", dir.Path("Facturas.pla"),
          place, rounds);
  return 0;
} catch (const std::exception& e) {
  std::printf("%s\n", e.what());
  return 1;
}
