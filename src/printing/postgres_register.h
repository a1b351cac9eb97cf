// The register of a print room: one PostgreSQL database that every station
// reaches by a connection string. Writers of one series take a
// transaction-level advisory lock on it, so reservations of different
// series do not wait for each other.
#pragma once

#include <memory>
#include <string>

#include "printing/number_register.h"

struct pg_conn;

namespace zirvo {

class PostgresRegister final : public NumberRegister {
 public:
  // Connects to the database that `connection` names (a URL
  // "postgresql://sala@host:5432/zirvo" or "host=... dbname=..." words) and
  // creates the register's tables when the database has none; two stations
  // doing so at once are told apart by a lock. Throws RegisterError
  // (Unusable) with libpq's reason on one line when the server cannot be
  // reached or refuses, or the tables were written by a newer version.
  static std::unique_ptr<NumberRegister> Open(const std::string& connection,
                                              const RegisterOptions& options = {});
  // "PostgreSQL: sala@host:5432/zirvo": the user, host, port and database of
  // the connection string, never its password.
  static std::string Describe(const std::string& connection);
  ~PostgresRegister() override;

 protected:
  void Begin(bool write) override;
  void LockSeries(const std::string& series) override;
  void Commit() override;
  void Rollback() noexcept override;
  std::vector<Row> Query(const std::string& sql, const std::vector<Param>& params) override;

 private:
  PostgresRegister(const std::string& connection, const RegisterOptions& options);
  void Connect(const std::string& connection);
  void PrepareSchema();
  Failure ConnectionFailure() const;

  RegisterOptions options_;
  pg_conn* connection_ = nullptr;
};

}  // namespace zirvo
