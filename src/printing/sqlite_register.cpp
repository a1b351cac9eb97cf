#include "printing/sqlite_register.h"

#include <sqlite3.h>

#include "base/messages.h"
#include "base/platform.h"

namespace zirvo {
namespace {

// The companions SQLite keeps beside a database: each is opened by that
// name, so none may be a link or anything but a regular file.
constexpr const char* kCompanions[] = {"", "-wal", "-shm", "-journal"};

bool IsBusy(int code) {
  const int primary = code & 0xFF;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// "$1" as SQLite numbers parameters: "?1".
std::string SqliteParameters(const std::string& sql) {
  std::string out = sql;
  for (std::size_t at = out.find('$'); at != std::string::npos; at = out.find('$', at + 1)) {
    if (at + 1 < out.size() && out[at + 1] >= '0' && out[at + 1] <= '9') out[at] = '?';
  }
  return out;
}

}  // namespace

std::unique_ptr<NumberRegister> SqliteRegister::Open(const std::string& path,
                                                     const RegisterOptions& options) {
  return std::unique_ptr<NumberRegister>(new SqliteRegister(path, options));
}

SqliteRegister::SqliteRegister(const std::string& path, const RegisterOptions& options)
    : NumberRegister("SQLite: " + path), options_(options) {
  try {
    Connect(path);
    PrepareSchema();
  } catch (const Failure& failure) {
    Close();
    throw OpenError(Description(), failure);
  }
}

SqliteRegister::~SqliteRegister() { Close(); }

void SqliteRegister::Close() noexcept {
  for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
  statements_.clear();
  if (db_ != nullptr) sqlite3_close_v2(db_);
  db_ = nullptr;
}

void SqliteRegister::Connect(const std::string& path) {
  const Failure notRegular{RegisterFault::Unusable, OwnText(OwnMessage::RegisterNotRegularFile)};
  for (const char* companion : kCompanions) {
    const platform::PathKind kind = platform::KindOfPath(path + companion);
    if (kind == platform::PathKind::SymbolicLink || kind == platform::PathKind::Other)
      throw notRegular;
  }
  if (platform::KindOfPath(path) == platform::PathKind::Missing) {
    const std::string cause = platform::CreateEmptyFile(path);
    if (!cause.empty()) throw Failure{RegisterFault::Unusable, cause};
  }
  // A path that cannot be examined (no permission) is left to SQLite to tell.
  const auto identity = platform::RegularFileIdentity(path);
  if (!identity && platform::KindOfPath(path) != platform::PathKind::Unreadable) throw notRegular;
  // SQLite refuses a link itself, and opens its companions without
  // following links; the file is checked again afterwards, so that one
  // swapped in meanwhile is not taken.
  const int opened =
      sqlite3_open_v2(path.c_str(), &db_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX, nullptr);
  if (opened != SQLITE_OK) throw FailureOf(opened);
  if (!identity || platform::RegularFileIdentity(path) != identity) throw notRegular;
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, options_.busyTimeoutMs);
}

void SqliteRegister::PrepareSchema() {
  const std::string tables = "SELECT name FROM sqlite_master WHERE type = 'table'";
  const auto isRegister = [](const std::vector<Row>& names) {
    for (const Row& row : names)
      if (row[0] == "zirvo_schema") return true;
    return false;
  };
  std::vector<Row> names = Query(tables, {});
  // A database of something else is left as it is.
  if (!names.empty() && !isRegister(names))
    throw Failure{RegisterFault::Unusable, OwnText(OwnMessage::RegisterNotARegister)};
  Query("PRAGMA journal_mode = WAL", {});
  // Every commit reaches the disk before a run prints.
  Query("PRAGMA synchronous = FULL", {});
  if (names.empty()) {
    // Another station may be making the same new register: the first one
    // to write makes it, the other finds it made.
    Begin(true);
    try {
      names = Query(tables, {});
      if (names.empty()) {
        for (const std::string& statement : SchemaStatements("INTEGER PRIMARY KEY"))
          Query(statement, {});
      } else if (!isRegister(names)) {
        throw Failure{RegisterFault::Unusable, OwnText(OwnMessage::RegisterNotARegister)};
      }
      Commit();
    } catch (...) {
      Rollback();
      throw;
    }
  }
  RequireKnownVersion(Query("SELECT version FROM zirvo_schema", {}));
}

NumberRegister::Failure SqliteRegister::FailureOf(int code) const {
  if (IsBusy(code)) return {RegisterFault::Busy, BusyCause(options_.busyTimeoutMs)};
  if ((code & 0xFF) == SQLITE_NOTADB)
    return {RegisterFault::Unusable, OwnText(OwnMessage::RegisterNotARegister)};
  const char* message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
  return {RegisterFault::Unusable, message != nullptr ? message : "?"};
}

sqlite3_stmt* SqliteRegister::Statement(const std::string& sql) {
  const auto found = statements_.find(sql);
  if (found != statements_.end()) return found->second;
  sqlite3_stmt* statement = nullptr;
  const std::string text = SqliteParameters(sql);
  const int prepared = sqlite3_prepare_v3(db_, text.c_str(), static_cast<int>(text.size()),
                                          SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
  if (prepared != SQLITE_OK) throw FailureOf(prepared);
  statements_.emplace(sql, statement);
  return statement;
}

std::vector<NumberRegister::Row> SqliteRegister::Query(const std::string& sql,
                                                       const std::vector<Param>& params) {
  sqlite3_stmt* statement = Statement(sql);
  int bound = SQLITE_OK;
  for (std::size_t i = 0; i < params.size() && bound == SQLITE_OK; ++i) {
    const int index = static_cast<int>(i) + 1;
    const Param& p = params[i];
    bound = p.isText ? sqlite3_bind_text(statement, index, p.text.data(),
                                         static_cast<int>(p.text.size()), SQLITE_TRANSIENT)
                     : sqlite3_bind_int64(statement, index, p.number);
  }
  std::vector<Row> rows;
  int step = bound;
  if (bound == SQLITE_OK) {
    const int columns = sqlite3_column_count(statement);
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
      Row row(static_cast<std::size_t>(columns));
      for (int c = 0; c < columns; ++c) {
        if (sqlite3_column_type(statement, c) == SQLITE_NULL) continue;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
        row[static_cast<std::size_t>(c)] =
            std::string(text != nullptr ? text : "",
                        static_cast<std::size_t>(sqlite3_column_bytes(statement, c)));
      }
      rows.push_back(std::move(row));
    }
  }
  // The message is taken before the reset.
  const std::optional<Failure> failure =
      step == SQLITE_DONE ? std::nullopt : std::optional<Failure>(FailureOf(step));
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  if (failure) throw *failure;
  return rows;
}

void SqliteRegister::Begin(bool write) { Query(write ? "BEGIN IMMEDIATE" : "BEGIN", {}); }

void SqliteRegister::Commit() { Query("COMMIT", {}); }

void SqliteRegister::Rollback() noexcept {
  if (db_ != nullptr && sqlite3_get_autocommit(db_) == 0)
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace zirvo
