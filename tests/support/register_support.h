// Helpers of the numbering register's tests in the register, core and engine
// programs: the two kinds of register, SQL run past a SQLite register as
// another program would, and the counts of the stress tests.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <string>

namespace zirvo::testing {

enum class Backend { Sqlite, Postgres };

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::Sqlite ? "SQLite" : "PostgreSQL";
}

// `quick` in make test, `full` with ZIRVO_REGISTER_STRESS=full.
inline int StressCount(int quick, int full) {
  const char* stress = std::getenv("ZIRVO_REGISTER_STRESS");
  return stress != nullptr && std::string(stress) == "full" ? full : quick;
}

// Runs `sql` on the SQLite file `file` and closes it again (folding its log
// into the file); returns the error, "" when there is none.
inline std::string SqliteExec(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  char* error = nullptr;
  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  const std::string message = error != nullptr ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  return message;
}

// Another connection that holds the write lock of the SQLite file `file`
// while it lives, as a run of another station does in its reservation.
class SqliteWriteLock {
 public:
  explicit SqliteWriteLock(const std::string& file) {
    sqlite3_open(file.c_str(), &db_);
    sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  }
  SqliteWriteLock(const SqliteWriteLock&) = delete;
  SqliteWriteLock& operator=(const SqliteWriteLock&) = delete;
  ~SqliteWriteLock() { sqlite3_close_v2(db_); }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace zirvo::testing
