// The two kinds of register under one test: each test of a RegisterTest runs
// on a SQLite file in a fresh folder and on a fresh database of the private
// PostgreSQL server.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>

#include "core/temp_dir.h"
#include "printing/number_register.h"
#include "printing/postgres_register.h"
#include "printing/sqlite_register.h"
#include "support/postgres_server.h"
#include "support/register_support.h"

namespace zirvo::testing {

// A run of `kind` in `series` planning `planned`.
inline RunRecord PlannedRun(const std::string& series, RunKind kind,
                            std::vector<Progression> planned) {
  RunRecord run = NewRun(series, kind);
  run.templateName = "Facturas.pla";
  run.target = "Oficina";
  run.sheets = planned.empty() ? 1 : static_cast<int32_t>(planned.front().Count());
  run.increment = planned.empty() ? 0 : static_cast<int32_t>(std::abs(planned.front().step));
  run.planned = std::move(planned);
  return run;
}

// Another connection that holds the register's write lock while it lives,
// as a run of another station does in the middle of its reservation.
class WriteLockHolder {
 public:
  WriteLockHolder(Backend backend, const std::string& where) {
    if (backend == Backend::Sqlite) {
      sqlite_.emplace(where);
      return;
    }
    pg_ = PQconnectdb(where.c_str());
    PQclear(PQexec(pg_, "BEGIN; LOCK TABLE zirvo_runs IN EXCLUSIVE MODE"));
  }
  ~WriteLockHolder() {
    if (pg_ != nullptr) PQfinish(pg_);
  }

 private:
  std::optional<SqliteWriteLock> sqlite_;
  PGconn* pg_ = nullptr;
};

class RegisterTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    if (GetParam() == Backend::Postgres) {
      PostgresServer& server = PostgresServer::Shared();
      if (!server.Unavailable().empty()) GTEST_SKIP() << server.Unavailable();
      connection_ = server.NewDatabase();
    }
  }

  // The file, or the connection string, of this test's register.
  std::string Where() const {
    return GetParam() == Backend::Sqlite ? dir_.Path("Registro.sqlite") : connection_;
  }
  std::unique_ptr<NumberRegister> Open(int busyTimeoutMs = 5000) const {
    const RegisterOptions options{busyTimeoutMs};
    return GetParam() == Backend::Sqlite ? SqliteRegister::Open(Where(), options)
                                         : PostgresRegister::Open(Where(), options);
  }
  // SQL run past the register, as a damaged file or another program would.
  void Sql(const std::string& sql) const {
    if (GetParam() == Backend::Postgres)
      PostgresServer::Sql(connection_, sql);
    else
      ASSERT_EQ(SqliteExec(Where(), sql), "") << sql;
  }

  TempDir dir_;
  std::string connection_;
};

}  // namespace zirvo::testing
