// The register embedded in a file: one SQLite database (write-ahead log,
// every write transaction BEGIN IMMEDIATE) that everyone printing templates
// from one folder shares.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "printing/number_register.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zirvo {

class SqliteRegister final : public NumberRegister {
 public:
  // Opens the register at `path`, creating it when nothing is there: an
  // empty database file made with the process's umask, so that a folder
  // shared by a group stays shared. Refused (RegisterError Unusable) when
  // the path or its -wal, -shm or -journal companion is a symbolic link or
  // anything but a regular file, when the file is damaged or a database of
  // something else, or was written by a newer version; Busy when another
  // process holds it past the timeout. The file is never rewritten to mend
  // it.
  static std::unique_ptr<NumberRegister> Open(const std::string& path,
                                              const RegisterOptions& options = {});
  ~SqliteRegister() override;

 protected:
  void Begin(bool write) override;
  void LockSeries(const std::string&) override {}  // BEGIN IMMEDIATE excludes every writer
  void Commit() override;
  void Rollback() noexcept override;
  std::vector<Row> Query(const std::string& sql, const std::vector<Param>& params) override;

 private:
  SqliteRegister(const std::string& path, const RegisterOptions& options);
  void Connect(const std::string& path);
  void PrepareSchema();
  void Close() noexcept;
  Failure FailureOf(int code) const;
  sqlite3_stmt* Statement(const std::string& sql);

  RegisterOptions options_;
  sqlite3* db_ = nullptr;
  std::map<std::string, sqlite3_stmt*, std::less<>> statements_;
};

}  // namespace zirvo
