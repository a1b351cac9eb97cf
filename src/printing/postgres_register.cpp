#include "printing/postgres_register.h"

#include <libpq-fe.h>

#include <map>

#include "base/messages.h"

namespace zirvo {
namespace {

// The advisory locks of the register: one per series (its hash), and one
// for making the tables. Other programs sharing the database use other keys.
constexpr int64_t kSeriesLocks = 0x5A52;  // "ZR"
constexpr int64_t kSchemaLock = 0x5A53;
constexpr const char* kLockNotAvailable = "55P03";

// libpq's message on one line: its lines joined, trimmed, as valid UTF-8.
std::string OneLine(const char* message) {
  std::string line;
  std::string_view rest = message != nullptr ? message : "";
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string part = Trim(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (part.empty()) continue;
    if (!line.empty()) line += ' ';
    line += part;
  }
  return ValidUtf8(line);
}

// FNV-1a: a series' lock, the same on every station.
int64_t SeriesKey(const std::string& series) {
  uint32_t hash = 2166136261u;
  for (const char c : series) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return static_cast<int32_t>(hash);
}

}  // namespace

std::unique_ptr<NumberRegister> PostgresRegister::Open(const std::string& connection,
                                                       const RegisterOptions& options) {
  return std::unique_ptr<NumberRegister>(new PostgresRegister(connection, options));
}

std::string PostgresRegister::Describe(const std::string& connection) {
  std::map<std::string, std::string, std::less<>> words;
  const bool structured = connection.find('=') != std::string::npos ||
                          connection.starts_with("postgresql://") ||
                          connection.starts_with("postgres://");
  if (!structured) {
    words["dbname"] = connection;  // a plain database name
  } else {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(connection.c_str(), &error);
    if (error != nullptr) PQfreemem(error);
    if (options == nullptr) return "PostgreSQL: ?";
    for (const PQconninfoOption* o = options; o->keyword != nullptr; ++o)
      if (o->val != nullptr && *o->val != '\0') words[o->keyword] = o->val;
    PQconninfoFree(options);
  }
  const auto word = [&](const char* key, std::string fallback = {}) {
    const auto found = words.find(key);
    return found != words.end() ? found->second : fallback;
  };
  const std::string user = word("user");
  std::string text = "PostgreSQL: ";
  if (!user.empty()) text += user + "@";
  text += word("host", word("hostaddr", "localhost"));
  const std::string port = word("port");
  if (!port.empty()) text += ":" + port;
  return text + "/" + word("dbname", user);
}

PostgresRegister::PostgresRegister(const std::string& connection, const RegisterOptions& options)
    : NumberRegister(Describe(connection)), options_(options) {
  try {
    Connect(connection);
    PrepareSchema();
  } catch (const Failure& failure) {
    PQfinish(connection_);
    connection_ = nullptr;
    throw OpenError(Description(), failure);
  }
}

PostgresRegister::~PostgresRegister() { PQfinish(connection_); }

void PostgresRegister::Connect(const std::string& connection) {
  // Words before the connection string are defaults it may change. A
  // server that stops answering in the middle of a run is given up after
  // about half a minute, not waited for.
  const char* keywords[] = {"connect_timeout",
                            "application_name",
                            "client_encoding",
                            "keepalives_idle",
                            "keepalives_interval",
                            "keepalives_count",
                            "tcp_user_timeout",
                            "dbname",
                            nullptr};
  const char* values[] = {"10",   "zirvo", "UTF8", "10", "5", "3", "30000", connection.c_str(),
                          nullptr};
  connection_ = PQconnectdbParams(keywords, values, 1);
  if (connection_ == nullptr || PQstatus(connection_) != CONNECTION_OK) throw ConnectionFailure();
}

NumberRegister::Failure PostgresRegister::ConnectionFailure() const {
  return {RegisterFault::Unusable, connection_ == nullptr ? std::string("out of memory")
                                                          : OneLine(PQerrorMessage(connection_))};
}

void PostgresRegister::PrepareSchema() {
  Begin(true);
  try {
    Query("SELECT pg_advisory_xact_lock($1::integer, 0)", {kSchemaLock});
    const auto made = Query("SELECT to_regclass('zirvo_schema') IS NOT NULL", {});
    if (made.size() == 1 && made[0][0] == "f") {
      for (const std::string& statement : SchemaStatements("BIGSERIAL PRIMARY KEY"))
        Query(statement, {});
    }
    RequireKnownVersion(Query("SELECT version FROM zirvo_schema", {}));
    Commit();
  } catch (...) {
    Rollback();
    throw;
  }
}

void PostgresRegister::Begin(bool write) {
  // A connection the server closed (a restart) is made again once.
  if (PQstatus(connection_) != CONNECTION_OK) {
    PQreset(connection_);
    if (PQstatus(connection_) != CONNECTION_OK) throw ConnectionFailure();
  }
  Query(write ? "BEGIN" : "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", {});
  const int timeout = options_.busyTimeoutMs > 0 ? options_.busyTimeoutMs : 1;
  Query("SET LOCAL lock_timeout = " + FormatInt(timeout), {});
}

void PostgresRegister::LockSeries(const std::string& series) {
  Query("SELECT pg_advisory_xact_lock($1::integer, $2::integer)",
        {kSeriesLocks, SeriesKey(series)});
}

void PostgresRegister::Commit() { Query("COMMIT", {}); }

void PostgresRegister::Rollback() noexcept {
  if (connection_ != nullptr && PQtransactionStatus(connection_) != PQTRANS_IDLE)
    PQclear(PQexec(connection_, "ROLLBACK"));
}

std::vector<NumberRegister::Row> PostgresRegister::Query(const std::string& sql,
                                                         const std::vector<Param>& params) {
  std::vector<std::string> numbers(params.size());
  std::vector<const char*> values(params.size());
  for (std::size_t i = 0; i < params.size(); ++i) {
    if (!params[i].isText) numbers[i] = FormatInt(params[i].number);
    values[i] = params[i].isText ? params[i].text.c_str() : numbers[i].c_str();
  }
  PGresult* result = PQexecParams(connection_, sql.c_str(), static_cast<int>(params.size()),
                                  nullptr, values.data(), nullptr, nullptr, 0);
  const ExecStatusType status = PQresultStatus(result);
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    Failure failure{
        RegisterFault::Unusable,
        OneLine(result != nullptr ? PQresultErrorMessage(result) : PQerrorMessage(connection_))};
    if (state != nullptr && std::string_view(state) == kLockNotAvailable)
      failure = {RegisterFault::Busy, BusyCause(options_.busyTimeoutMs)};
    else if (failure.cause.empty())
      failure = ConnectionFailure();
    PQclear(result);
    throw failure;
  }
  std::vector<Row> rows;
  const int count = PQntuples(result), columns = PQnfields(result);
  rows.reserve(static_cast<std::size_t>(count));
  for (int r = 0; r < count; ++r) {
    Row row(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c)
      if (!PQgetisnull(result, r, c))
        row[static_cast<std::size_t>(c)] = std::string(
            PQgetvalue(result, r, c), static_cast<std::size_t>(PQgetlength(result, r, c)));
    rows.push_back(std::move(row));
  }
  PQclear(result);
  return rows;
}

}  // namespace zirvo
