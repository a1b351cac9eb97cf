// A private PostgreSQL server for the tests and benches of one process:
// initdb in a temporary folder, listening on a Unix socket in that folder
// only, run by an unprivileged account ("nobody") when the process runs as
// root, since the server refuses root. A keeper process stops the server
// and removes the folder when the process that started it ends, however it
// ends (a failed assertion, a crash, kill -9).
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace zirvo::testing {

class PostgresServer {
 public:
  // `durable`: the server writes to disk as a real one does (fsync); the
  // tests run without, being thrown away anyway.
  explicit PostgresServer(bool durable = false);
  ~PostgresServer();
  PostgresServer(const PostgresServer&) = delete;
  PostgresServer& operator=(const PostgresServer&) = delete;

  // The server of the tests, started on first use.
  static PostgresServer& Shared();

  // Empty while the server runs; otherwise why it does not, in one line.
  const std::string& Unavailable() const { return unavailable_; }
  // A fresh, empty database on the server, as a connection string.
  std::string NewDatabase();

  // Runs `sql` on the database `connection` names; the rows' values, row by
  // row. A failure is thrown as std::runtime_error with the server's message.
  static std::vector<std::vector<std::string>> Sql(const std::string& connection,
                                                   const std::string& sql);

  // `given` when a connection was named (a bench's argument); otherwise a
  // fresh database on a durable private server kept in `server`. Empty, with
  // the reason printed, when no server can be started.
  static std::string ConnectionOrPrivate(const std::string& given,
                                         std::unique_ptr<PostgresServer>& server);

 private:
  void Start(bool durable);
  std::string ConnectionTo(const std::string& database) const;

  std::string unavailable_;
  std::string folder_;
  int keeperPipe_ = -1;
  int keeper_ = -1;
  int databases_ = 0;
};

}  // namespace zirvo::testing
