// A save killed at any moment leaves the template file whole: either the
// previous template or the new one, byte for byte.
#include <gtest/gtest.h>

#ifdef __unix__

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "base/text.h"
#include "template/marginal_table.h"
#include "template/numerator_table.h"
#include "temp_dir.h"
#include "template/template_file.h"

namespace zirvo {
namespace {

struct Template {
  SheetHeader header;
  NumeratorTable numerators;
  MarginalTable marginals;
};

// The largest template there is: 60 numerators and 60 texts of 200 characters.
void Fill(Template& t, char letter) {
  StartNewSheetHeader(t.header, "x", 21.6, 28);
  for (int r = 0; r < TextTable::kMaxRows; ++r) {
    t.numerators.AddRow();
    t.numerators.CommitCell(r, NumeratorTable::kPrefix, std::string(15, letter));
    t.numerators.CommitCell(r, NumeratorTable::kNumber, FormatInt(r * 1000 + letter));
    t.marginals.AddRow();
    t.marginals.CommitCell(r, MarginalTable::kText, std::string(200, letter));
  }
}

int TemporaryFilesIn(const std::filesystem::path& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == ".tmp") ++count;
  }
  return count;
}

TEST(SaveKill, AKilledSaveLeavesTheOldOrTheNewTemplate) {
  testing::TempDir dir;
  const std::string path = dir.Path("Grande.pla");
  Template a, b;
  Fill(a, 'a');
  Fill(b, 'b');
  SaveTemplateFile(path, a.header, a.numerators, a.marginals);
  const std::string bytesA = testing::ReadBytes(path);
  SaveTemplateFile(path, b.header, b.numerators, b.marginals);
  const std::string bytesB = testing::ReadBytes(path);
  ASSERT_NE(bytesA, bytesB);
  ASSERT_GT(bytesA.size(), 15000u);

  std::mt19937 random(7);
  int killedMidWrite = 0;
  for (int kill = 0; kill < 200; ++kill) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) {
        SaveTemplateFile(path, a.header, a.numerators, a.marginals);
        SaveTemplateFile(path, b.header, b.numerators, b.marginals);
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 8000));
    ::kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    const std::string onDisk = testing::ReadBytes(path);
    ASSERT_TRUE(onDisk == bytesA || onDisk == bytesB) << "kill " << kill << ": torn file of "
                                                      << onDisk.size() << " bytes";
    killedMidWrite += TemporaryFilesIn(dir.Root()) > 0;

    SaveTemplateFile(path, a.header, a.numerators, a.marginals);
    ASSERT_EQ(TemporaryFilesIn(dir.Root()), 0) << "kill " << kill;
    ASSERT_EQ(testing::ReadBytes(path), bytesA);
  }
  // The kills must really have hit saves in progress, or the test proves nothing.
  EXPECT_GT(killedMidWrite, 10);
  std::printf("[          ] %d of 200 kills left an unfinished temporary file\n", killedMidWrite);
}

}  // namespace
}  // namespace zirvo

#endif  // __unix__
