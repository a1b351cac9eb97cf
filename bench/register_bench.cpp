// The numbering register on SQLite (a file in a temporary folder) and on a
// local PostgreSQL (a private server, writing to disk as a real one does):
// a reservation plus its end record, on an empty register and on one of
// 100,000 runs; and reading those runs for the journal screen, its first
// page and all of them.
//
// On the 2-core build machine, reservation plus end record, median (mean):
//
//                          load about 2          load about 6 (other builds)
//   SQLite, empty          0.6 ms (0.6)          8.4 ms (16, p95 76)
//   SQLite, 100,000 runs   0.7 ms (0.7)          7.9 ms (9.7)
//   PostgreSQL, empty      1.8 ms (1.9)          15.9 ms (15.9)
//   PostgreSQL, 100,000    1.7 ms (1.8)          7.9 ms (9.1)
//
// The first page of 200 runs reads in 1-2 ms on SQLite and 2-5 ms on
// PostgreSQL; all 100,000 runs in 0.7-1.3 s on either. Under load the
// figures follow the disk's flushes, which other builds share.
//
//   register_bench [RUNS] [ROUNDS] [POSTGRESQL_CONNECTION]
//     (defaults 100000 and 200; without a connection a private server is
//     started when PostgreSQL is installed)
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "core/temp_dir.h"
#include "printing/postgres_register.h"
#include "printing/sqlite_register.h"
#include "support/postgres_server.h"

namespace {

using namespace zirvo;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Runs of 50 sheets one after the other on two numerators, one counting
// down; every tenth one cancelled after 20 sheets. `rows` is "SELECT i"
// of the numbers 0 to runs - 1 in the database's own words.
std::vector<std::string> History(const std::string& rows, const std::string& hexId) {
  // Run keys go on from those of the runs deleted before.
  const std::string kFirst = "(SELECT MIN(seq) FROM zirvo_runs)";
  return {
      "INSERT INTO zirvo_runs (id, series, kind, template, target, user_name, station, started, "
      "sheets, copies, increment) SELECT " +
          hexId +
          ", 'Facturas', 'run', 'Facturas.pla', '/home/operador/Facturas.pdf', 'operador', "
          "'caja-1', '2026-12-09T20:15:03+01:00', 50, 1, 1 FROM (" +
          rows + ") AS numbers",
      "INSERT INTO zirvo_numbers SELECT seq, 0, 0, series, 1, 100 + 50 * (seq - " + kFirst +
          "), 149 + 50 * (seq - " + kFirst + "), 1 FROM zirvo_runs",
      "INSERT INTO zirvo_numbers SELECT seq, 0, 1, series, 2, 9000000 - 50 * (seq - " + kFirst +
          "), 8999951 - 50 * (seq - " + kFirst + "), -1 FROM zirvo_runs",
      "INSERT INTO zirvo_ends SELECT seq, CASE WHEN seq % 10 = 0 THEN 'cancelled' ELSE "
      "'completed' END, '2026-12-09T20:16:00+01:00', CASE WHEN seq % 10 = 0 THEN 20 ELSE 50 END "
      "FROM zirvo_runs",
      "INSERT INTO zirvo_numbers SELECT n.run_seq, 1, n.ord, n.series, n.position, "
      "n.first_number, CASE WHEN e.completed_sheets = 50 THEN n.last_number ELSE n.first_number + "
      "19 * n.step END, n.step FROM zirvo_numbers n JOIN zirvo_ends e ON e.run_seq = n.run_seq",
  };
}

struct Backend {
  const char* name;
  std::function<std::unique_ptr<NumberRegister>()> open;
  std::function<void(const std::string&)> sql;
  std::string rows, hexId;
};

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  double sum = 0;
  for (const double m : ms) sum += m;
  std::printf("  %-44s mean %7.2f ms  median %7.2f  p95 %7.2f  max %7.2f\n", what,
              sum / static_cast<double>(ms.size()), ms[ms.size() / 2], ms[ms.size() * 95 / 100],
              ms.back());
}

void ReserveAndFinish(NumberRegister& reg, int rounds, int64_t from, const char* what) {
  std::vector<double> ms;
  for (int r = 0; r < rounds; ++r) {
    RunRecord run = NewRun("Facturas", RunKind::Run);
    run.sheets = 50;
    run.increment = 1;
    run.planned = {Progression::Of(1, from + 50 * r, 50, 1),
                   Progression::Of(2, 1000000 - 50 * r, 50, -1)};
    const Clock::time_point start = Clock::now();
    if (!reg.Reserve(run, false).reserved) std::printf("  (refused: %s)\n", FormatInt(r).c_str());
    reg.Finish(run.id, RunEvent::Completed, 50, run.planned);
    ms.push_back(Ms(Clock::now() - start));
  }
  Report(what, ms);
}

void Measure(const Backend& b, int runs, int rounds) {
  std::printf("%s\n", b.name);
  {
    const auto reg = b.open();
    ReserveAndFinish(*reg, rounds, 100, "reservation + end, empty register");
  }
  b.sql("DELETE FROM zirvo_numbers");
  b.sql("DELETE FROM zirvo_ends");
  b.sql("DELETE FROM zirvo_runs");
  const Clock::time_point fill = Clock::now();
  for (const std::string& statement : History(b.rows, b.hexId)) b.sql(statement);
  // What autovacuum does on a server after such growth: the planner learns
  // that one series holds most runs.
  b.sql("ANALYZE");
  std::printf("  %d runs written in %.0f ms\n", runs, Ms(Clock::now() - fill));
  const auto reg = b.open();
  ReserveAndFinish(*reg, rounds, 100 + 50 * int64_t{runs}, "reservation + end, after them");
  for (const std::size_t page : {std::size_t{200}, std::size_t{0}}) {
    std::vector<double> ms;
    std::size_t read = 0;
    for (int round = 0; round < 5; ++round) {
      const Clock::time_point start = Clock::now();
      read = reg->Runs("Facturas", {page}).runs.size();
      ms.push_back(Ms(Clock::now() - start));
    }
    const std::string what = "reading " + FormatInt(static_cast<int64_t>(read)) + " runs" +
                             (page > 0 ? " (the screen's first page)" : "");
    Report(what.c_str(), ms);
  }
}

}  // namespace

int main(int argc, char** argv) try {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 200;

  testing::TempDir dir;
  const std::string file = dir.Path("Registro.sqlite");
  const Backend sqlite{"SQLite (a file on the build machine's disk)",
                       [&] { return SqliteRegister::Open(file); },
                       [&](const std::string& sql) {
                         sqlite3* db = nullptr;
                         sqlite3_open(file.c_str(), &db);
                         char* error = nullptr;
                         if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
                           std::printf("  %s\n", error);
                         sqlite3_free(error);
                         sqlite3_close(db);
                       },
                       "WITH RECURSIVE c(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM c WHERE i < " +
                           FormatInt(runs - 1) + ") SELECT i FROM c",
                       "printf('%016x', i)"};
  Measure(sqlite, runs, rounds);

  std::unique_ptr<testing::PostgresServer> server;
  const std::string connection =
      testing::PostgresServer::ConnectionOrPrivate(argc > 3 ? argv[3] : "", server);
  if (connection.empty()) return 0;
  const Backend postgres{"PostgreSQL (a local server on a Unix socket)",
                         [&] { return PostgresRegister::Open(connection); },
                         [&](const std::string& sql) {
                           try {
                             testing::PostgresServer::Sql(connection, sql);
                           } catch (const std::exception& e) {
                             std::printf("  %s\n", e.what());
                           }
                         },
                         "SELECT generate_series(0, " + FormatInt(runs - 1) + ") AS i",
                         "lpad(to_hex(i), 16, '0')"};
  Measure(postgres, runs, rounds);
  return 0;
} catch (const std::exception& e) {
  std::printf("%s\n", e.what());
  return 1;
}
