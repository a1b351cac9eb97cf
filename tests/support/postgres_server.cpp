#include "support/postgres_server.h"

#include <fcntl.h>
#include <grp.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>

namespace zirvo::testing {
namespace {

namespace fs = std::filesystem;

struct Account {
  uid_t uid;
  gid_t gid;
};

// The newest installed initdb; "" when PostgreSQL is not installed.
std::string ServerPrograms() {
  std::error_code error;
  std::string best;
  int bestVersion = -1;
  for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", error)) {
    const fs::path bin = entry.path() / "bin";
    const int version = std::atoi(entry.path().filename().c_str());
    if (fs::exists(bin / "initdb", error) && version > bestVersion) {
      bestVersion = version;
      best = bin.string();
    }
  }
  return best;
}

// Runs a program, as `account` when given, its output appended to `log`;
// its exit status (-1 when it could not run).
int Run(const std::vector<std::string>& argv, const std::optional<Account>& account,
        const std::string& log) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (account &&
        (setgroups(0, nullptr) != 0 || setgid(account->gid) != 0 || setuid(account->uid) != 0))
      _exit(126);
    // Opened by the account, so that the server it starts may write to it too.
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (out >= 0) {
      dup2(out, STDOUT_FILENO);
      dup2(out, STDERR_FILENO);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Why a program stopped, by its log: the last line naming an error, else
// the last line.
std::string ReasonIn(const std::string& path) {
  std::ifstream in(path);
  std::string line, last, error;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    last = line;
    if (line.find("FATAL") != std::string::npos || line.find("ERROR") != std::string::npos ||
        line.find("denied") != std::string::npos)
      error = line;
  }
  return error.empty() ? last : error;
}

}  // namespace

PostgresServer::PostgresServer(bool durable) { Start(durable); }

PostgresServer& PostgresServer::Shared() {
  static PostgresServer server;
  return server;
}

void PostgresServer::Start(bool durable) {
  const std::string programs = ServerPrograms();
  if (programs.empty()) {
    unavailable_ = "PostgreSQL is not installed (no /usr/lib/postgresql/*/bin/initdb)";
    return;
  }
  std::optional<Account> account;
  if (geteuid() == 0) {
    const struct passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr) {
      unavailable_ = "running as root and there is no account \"nobody\" to run PostgreSQL";
      return;
    }
    account = Account{nobody->pw_uid, nobody->pw_gid};
  }
  char pattern[] = "/tmp/zirvo-pg-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    unavailable_ = "no temporary folder for PostgreSQL";
    return;
  }
  folder_ = pattern;
  if (account && chown(folder_.c_str(), account->uid, account->gid) != 0) {
    unavailable_ = "the temporary folder could not be given to \"nobody\"";
    fs::remove_all(folder_);
    return;
  }
  const std::string data = folder_ + "/data", log = folder_ + "/log";

  // The keeper: when every copy of the pipe's write end is closed (this
  // process and its forks have ended), it stops the server and removes the
  // folder. In its own session, a signal to the tests' group spares it.
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) {
    unavailable_ = "no pipe for the PostgreSQL keeper";
    return;
  }
  const std::string pgCtl = programs + "/pg_ctl";
  const pid_t keeper = fork();
  if (keeper == 0) {
    setsid();
    close(pipeEnds[1]);
    char byte = 0;
    for (;;) {
      const ssize_t n = read(pipeEnds[0], &byte, 1);
      if (n == 0 || (n < 0 && errno != EINTR)) break;
    }
    if (fs::exists(data + "/postmaster.pid"))
      Run({pgCtl, "stop", "-D", data, "-m", "immediate", "-w", "-t", "60"}, account, log);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
    _exit(0);
  }
  close(pipeEnds[0]);
  fcntl(pipeEnds[1], F_SETFD, FD_CLOEXEC);  // the server's processes hold no copy
  keeperPipe_ = pipeEnds[1];
  keeper_ = keeper;

  if (Run({programs + "/initdb", "-D", data, "-U", "zirvo", "--auth=trust", "-E", "UTF8",
           "--locale=C", "-N"},
          account, log) != 0) {
    unavailable_ = "initdb failed: " + ReasonIn(log);
    return;
  }
  std::string options = "-k " + folder_ + " -c listen_addresses='' -c max_connections=60";
  if (!durable) options += " -c fsync=off -c full_page_writes=off";
  if (Run({pgCtl, "start", "-D", data, "-l", log, "-w", "-t", "60", "-o", options}, account, log) !=
      0) {
    unavailable_ = "PostgreSQL did not start: " + ReasonIn(log);
  }
}

PostgresServer::~PostgresServer() {
  if (keeperPipe_ >= 0) close(keeperPipe_);
  if (keeper_ > 0) {
    while (waitpid(keeper_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
}

std::string PostgresServer::ConnectionTo(const std::string& database) const {
  return "host=" + folder_ + " port=5432 user=zirvo dbname=" + database;
}

std::string PostgresServer::NewDatabase() {
  const std::string name = "test_" + std::to_string(getpid()) + "_" + std::to_string(++databases_);
  Sql(ConnectionTo("postgres"), "CREATE DATABASE " + name);
  return ConnectionTo(name);
}

std::vector<std::vector<std::string>> PostgresServer::Sql(const std::string& connection,
                                                          const std::string& sql) {
  PGconn* db = PQconnectdb(connection.c_str());
  if (PQstatus(db) != CONNECTION_OK) {
    const std::string message = PQerrorMessage(db);
    PQfinish(db);
    throw std::runtime_error(message);
  }
  PGresult* result = PQexec(db, sql.c_str());
  const ExecStatusType status = PQresultStatus(result);
  std::vector<std::vector<std::string>> rows;
  std::string failure;
  if (status == PGRES_TUPLES_OK) {
    for (int r = 0; r < PQntuples(result); ++r) {
      rows.emplace_back();
      for (int c = 0; c < PQnfields(result); ++c) rows.back().push_back(PQgetvalue(result, r, c));
    }
  } else if (status != PGRES_COMMAND_OK) {
    failure = PQresultErrorMessage(result);
  }
  PQclear(result);
  PQfinish(db);
  if (!failure.empty()) throw std::runtime_error(failure);
  return rows;
}

std::string PostgresServer::ConnectionOrPrivate(const std::string& given,
                                                std::unique_ptr<PostgresServer>& server) {
  if (!given.empty()) return given;
  server = std::make_unique<PostgresServer>(true);
  if (!server->Unavailable().empty()) {
    std::printf("PostgreSQL: %s\n", server->Unavailable().c_str());
    return {};
  }
  return server->NewDatabase();
}

}  // namespace zirvo::testing
