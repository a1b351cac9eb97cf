// Processes against one register: two that reserve the same numbers at the
// same moment, and one killed with SIGKILL at any moment of its work.
//
// ZIRVO_REGISTER_STRESS=full runs the full counts (200 pairs, 50 kills);
// make test runs fewer.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <set>
#include <thread>

#include "register_backends.h"

namespace zirvo {
namespace {

using testing::Backend;
using testing::PlannedRun;
using testing::StressCount;

// A child process at the other end of two pipes.
struct Child {
  pid_t pid = -1;
  int to = -1;    // the child reads what is written here
  int from = -1;  // and writes here
};

// Forks a child that runs `work(in, out)` and ends; it is killed by the
// alarm if the test leaves it waiting.
Child Fork(const std::function<void(int in, int out)>& work) {
  int down[2], up[2];
  if (pipe(down) != 0 || pipe(up) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    alarm(120);
    close(down[1]);
    close(up[0]);
    try {
      work(down[0], up[1]);
    } catch (...) {
    }
    _exit(0);  // no destructors of the parent's objects
  }
  close(down[0]);
  close(up[1]);
  return {pid, down[1], up[0]};
}

void Reap(Child& child) {
  if (child.to >= 0) close(child.to);
  if (child.from >= 0) close(child.from);
  waitpid(child.pid, nullptr, 0);
}

char ReadByte(int fd) {
  char byte = 0;
  return read(fd, &byte, 1) == 1 ? byte : '\0';
}

class RegisterStressTest : public testing::RegisterTest {};

TEST_P(RegisterStressTest, OfTwoRunsOverTheSameNumbersStartedTogetherExactlyOneReserves) {
  const int pairs = StressCount(60, 200);
  // Each child reserves, for pair i, numbers that meet the other's in part.
  // The first pair opens the register too: both make its tables at once.
  const auto racer = [&](int shift) {
    return [&, shift](int in, int out) {
      if (ReadByte(in) != 'g') return;
      const auto reg = Open(20000);
      for (int i = 0; i == 0 || ReadByte(in) == 'g'; ++i) {
        const RunRecord run =
            PlannedRun("F", RunKind::Run, {Progression::Of(1, i * 100 + shift, 10, 1)});
        char result = 'e';
        try {
          result = reg->Reserve(run, false).reserved ? 'y' : 'n';
        } catch (const RegisterError&) {
        }
        if (write(out, &result, 1) != 1) return;
      }
    };
  };
  Child a = Fork(racer(0)), b = Fork(racer(5));
  ASSERT_GT(a.pid, 0);
  ASSERT_GT(b.pid, 0);
  int bothOrNeither = 0, errors = 0, firstWon = 0;
  const char go = 'g', stop = 's';
  for (int i = 0; i < pairs; ++i) {
    // Neither child is always the first to hear.
    ASSERT_EQ(write(i % 2 == 0 ? a.to : b.to, &go, 1), 1);
    ASSERT_EQ(write(i % 2 == 0 ? b.to : a.to, &go, 1), 1);
    const char ra = ReadByte(a.from), rb = ReadByte(b.from);
    if (ra == 'e' || rb == 'e' || ra == '\0' || rb == '\0')
      ++errors;
    else if ((ra == 'y') == (rb == 'y'))
      ++bothOrNeither;
    firstWon += ra == 'y';
  }
  // Each child holds a copy of the other's pipe: told to stop, not left to see it close.
  for (const Child* c : {&a, &b}) ASSERT_EQ(write(c->to, &stop, 1), 1);
  Reap(a);
  Reap(b);
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(bothOrNeither, 0);
  EXPECT_EQ(Open()->Runs("F").runs.size(), static_cast<std::size_t>(pairs));
  std::printf("%d pairs: the first process reserved %d, the second %d\n", pairs, firstWon,
              pairs - firstWon);
}

TEST_P(RegisterStressTest, AProcessKilledAtAnyMomentLosesNoStoredRecord) {
  Open();
  const int kills = StressCount(12, 50);
  std::mt19937 random(std::random_device{}());
  std::set<std::string> reserved, finished;
  int64_t lastReserved = -1;  // the first number of the last run told reserved
  for (int k = 0; k < kills; ++k) {
    // The child reserves and ends runs one after the other and tells each
    // step once it is stored: "r" + id, then "f" + id.
    Child child = Fork([&, k](int, int out) {
      const auto reg = Open(20000);
      for (int j = 0;; ++j) {
        const Progression numbers = Progression::Of(1, k * 100000 + j * 10, 10, 1);
        const RunRecord run = PlannedRun("F", RunKind::Run, {numbers});
        if (!reg->Reserve(run, false).reserved) return;
        const std::string stored = "r" + run.id + FormatInt(numbers.first) + "\n";
        if (write(out, stored.data(), stored.size()) < 0) return;
        reg->Finish(run.id, RunEvent::Completed, 10, {numbers});
        const std::string ended = "f" + run.id + FormatInt(numbers.first) + "\n";
        if (write(out, ended.data(), ended.size()) < 0) return;
      }
    });
    ASSERT_GT(child.pid, 0);
    // Once the child is at work, it is killed after a random moment.
    ASSERT_NE(ReadByte(child.from), '\0');
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    ::kill(child.pid, SIGKILL);
    std::string told = "r";
    for (char c; (c = ReadByte(child.from)) != '\0';) told += c;
    Reap(child);
    // Whole lines only: a line cut by the kill tells nothing.
    for (std::size_t at = 0, end; (end = told.find('\n', at)) != std::string::npos; at = end + 1) {
      const std::string line = told.substr(at, end - at);
      const std::string id = line.substr(1, 16);
      (line[0] == 'r' ? reserved : finished).insert(id);
      if (line[0] == 'r') lastReserved = std::stoll(line.substr(17));
    }
  }
  const auto reg = Open();  // it opens after every kill
  const RunList list = reg->Runs("F");
  EXPECT_TRUE(list.damaged.empty());
  std::set<std::string> stored, ended;
  for (const RunRecord& run : list.runs) {
    stored.insert(run.id);
    if (run.end) ended.insert(run.id);
  }
  for (const std::string& id : reserved) EXPECT_EQ(stored.count(id), 1u) << id;
  for (const std::string& id : finished) EXPECT_EQ(ended.count(id), 1u) << id;
  // The last run told reserved guards all its numbers, ended or killed first.
  ASSERT_GE(lastReserved, 0);
  EXPECT_FALSE(
      reg->Reserve(PlannedRun("F", RunKind::Run, {Progression::Single(1, lastReserved + 9)}), false)
          .reserved);
  if (GetParam() == Backend::Sqlite) {
    sqlite3* db = nullptr;
    sqlite3_open(Where().c_str(), &db);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
  }
  std::printf("%d kills: %zu runs stored, %zu told reserved, %zu told ended\n", kills,
              list.runs.size(), reserved.size(), finished.size());
}

INSTANTIATE_TEST_SUITE_P(Backends, RegisterStressTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         testing::BackendName);

}  // namespace
}  // namespace zirvo
