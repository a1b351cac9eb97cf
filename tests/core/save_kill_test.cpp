// A save killed at any moment leaves the template file whole: either the
// previous template or the new one, byte for byte. A child process saves and
// reports every stage of the write over a pipe; at the chosen stage it stops
// and the test kills it there, so each moment is reached every time.
#include <gtest/gtest.h>

#ifdef __unix__

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "base/file_io.h"
#include "base/text.h"
#include "printing/printer_calibration.h"
#include "temp_dir.h"
#include "template/template_codec.h"

namespace zirvo {
namespace {

// The largest template there is: 60 numerators and 60 texts of 200 characters.
void Fill(Template& t, char letter) {
  t.StartNew("x", 21.6, 28);
  for (int r = 0; r < TextTable::kMaxRows; ++r) {
    t.AddRow(TemplateTable::Numerators);
    t.CommitCell(TemplateTable::Numerators, r, NumeratorTable::kPrefix, std::string(15, letter));
    t.CommitCell(TemplateTable::Numerators, r, NumeratorTable::kNumber,
                 FormatInt(r * 1000 + letter));
    t.AddRow(TemplateTable::Marginals);
    t.CommitCell(TemplateTable::Marginals, r, MarginalTable::kText, std::string(200, letter));
  }
}

void Save(const std::string& path, const Template& t, const WriteObserver& observer = {}) {
  SaveTemplate(path, t, observer);
}

std::vector<std::filesystem::path> TemporaryFilesIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == ".tmp") found.push_back(entry.path());
  }
  return found;
}

// Forks a child that saves `t` to `path` and stops for good at `stopAt`,
// after telling the parent every stage it reached. Returns once the child
// stands at `stopAt`, or with nothing when it never got there.
std::optional<pid_t> ChildStoppedAt(WriteStage stopAt, const std::string& path, Template& t) {
  int report[2];
  if (pipe(report) != 0) return std::nullopt;
  const pid_t child = fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    close(report[0]);
    const WriteObserver reportAndStop = [&](WriteStage stage, const std::string&) {
      const char byte = static_cast<char>(stage);
      if (write(report[1], &byte, 1) != 1) _exit(3);
      if (stage == stopAt) {
        for (;;) pause();
      }
    };
    try {
      Save(path, t, reportAndStop);
    } catch (...) {
      _exit(2);
    }
    _exit(0);  // saved without stopping: the parent sees the pipe close
  }
  close(report[1]);
  // The stages must come in order, none left out, up to the chosen one.
  int expected = 0;
  char byte = 0;
  bool stopped = false;
  while (!stopped && read(report[0], &byte, 1) == 1) {
    if (byte != expected++) break;
    stopped = byte == static_cast<char>(stopAt);
  }
  close(report[0]);
  if (stopped) return child;
  ::kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return std::nullopt;
}

TEST(SaveKill, AKilledSaveLeavesTheOldOrTheNewTemplate) {
  Template a, b, c;
  Fill(a, 'a');
  Fill(b, 'b');
  Fill(c, 'c');
  enum Content { None, OldTemplate, NewTemplate, EmptyFile, FirstHalfOfNew };

  // What the folder holds while the save of the new template stands at the
  // stage, and after the kill there: the target, and the one temporary file.
  const struct {
    const char* name;
    bool targetExisted;
    WriteStage stage;
    Content target;
    Content temporary;
  } cases[] = {
      {"created", true, WriteStage::TemporaryCreated, OldTemplate, EmptyFile},
      {"half written", true, WriteStage::HalfWritten, OldTemplate, FirstHalfOfNew},
      {"written, not renamed", true, WriteStage::Written, OldTemplate, NewTemplate},
      {"renamed", true, WriteStage::Renamed, NewTemplate, None},
      {"first save, half written", false, WriteStage::HalfWritten, None, FirstHalfOfNew},
      {"first save, written", false, WriteStage::Written, None, NewTemplate},
      {"first save, renamed", false, WriteStage::Renamed, NewTemplate, None},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    testing::TempDir dir;
    const std::string path = dir.Path("Grande.pla");
    // The header names the file and its folder: each template's bytes at this path.
    const auto bytesAt = [&](Template& t) {
      Save(path, t);
      return testing::ReadBytes(path);
    };
    const std::string bytesB = bytesAt(b), bytesC = bytesAt(c), bytesA = bytesAt(a);
    ASSERT_NE(bytesA, bytesB);
    ASSERT_GT(bytesB.size(), 15000u);
    if (!k.targetExisted) std::filesystem::remove(path);
    const auto bytesOf = [&](Content content) -> std::string {
      switch (content) {
        case OldTemplate:
          return bytesA;
        case NewTemplate:
          return bytesB;
        case FirstHalfOfNew:
          return bytesB.substr(0, bytesB.size() / 2);
        default:
          return "";
      }
    };

    const std::optional<pid_t> child = ChildStoppedAt(k.stage, path, b);
    ASSERT_TRUE(child.has_value()) << "the save never reached the stage";
    const auto expectFolder = [&](const char* when) {
      SCOPED_TRACE(when);
      if (k.target == None) {
        EXPECT_FALSE(std::filesystem::exists(path));
      } else {
        EXPECT_EQ(testing::ReadBytes(path), bytesOf(k.target));
      }
      const auto temporaries = TemporaryFilesIn(dir.Root());
      ASSERT_EQ(temporaries.size(), k.temporary == None ? 0u : 1u);
      if (k.temporary != None) {
        EXPECT_EQ(testing::ReadBytes(temporaries[0].string()), bytesOf(k.temporary));
      }
    };
    expectFolder("while the save stands there");
    ::kill(*child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(*child, &status, 0), *child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    expectFolder("after the kill");

    // The next save replaces the target and removes what the killed one left.
    Save(path, c);
    EXPECT_TRUE(TemporaryFilesIn(dir.Root()).empty());
    EXPECT_EQ(testing::ReadBytes(path), bytesC);
  }
}

// A child that stores one queue's offsets and tells the parent over
// `report` when it reaches `stage`, where it waits for a byte on `goOn`.
pid_t StoringChild(const std::string& file, const char* queue, WriteStage stage, int report,
                   int goOn) {
  const pid_t child = fork();
  if (child != 0) return child;
  const WriteObserver reportAndWait = [&](WriteStage reached, const std::string&) {
    char byte = 1;
    if (reached != stage) return;
    if (write(report, &byte, 1) != 1 || (goOn >= 0 && read(goOn, &byte, 1) != 1)) _exit(3);
  };
  try {
    StorePrinterOffsets(file, queue, {1.5, -0.8}, reportAndWait);
  } catch (...) {
    _exit(2);
  }
  _exit(0);
}

// Two calibrations of different queues at once: the second waits until the
// first has saved, so neither removes the other's temporary file and both
// sections stay. The first stands half written until the second has had
// its chance to pass; the outcome does not depend on how long that is.
TEST(SaveKill, TwoCalibrationsAtOnceKeepBothQueues) {
  testing::TempDir dir;
  const std::string file = dir.Path("Impresoras.ini");
  int first[2], second[2], goOn[2];
  ASSERT_EQ(pipe(first), 0);
  ASSERT_EQ(pipe(second), 0);
  ASSERT_EQ(pipe(goOn), 0);
  const pid_t a = StoringChild(file, "Oficina", WriteStage::HalfWritten, first[1], goOn[0]);
  char byte = 0;
  ASSERT_EQ(read(first[0], &byte, 1), 1) << "the first calibration never got half way";
  const pid_t b = StoringChild(file, "Sala", WriteStage::TemporaryCreated, second[1], -1);
  pollfd passed{second[0], POLLIN, 0};
  poll(&passed, 1, 1000);  // the second may pass only once the first is done
  ASSERT_EQ(write(goOn[1], &byte, 1), 1);
  for (const pid_t child : {a, b}) {
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "calibration " << child;
  }
  for (int fd : {first[0], first[1], second[0], second[1], goOn[0], goOn[1]}) close(fd);
  for (const char* queue : {"Oficina", "Sala"})
    EXPECT_NE(ReadPrinterOffsets(file, queue), PrinterOffsets{}) << queue;
  EXPECT_TRUE(TemporaryFilesIn(dir.Root()).empty());
}

}  // namespace
}  // namespace zirvo

#endif  // __unix__
