// The operating-system services: the files a run writes its document to.
#include "base/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "temp_dir.h"

#ifdef __unix__
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zirvo {
namespace {

#ifdef __unix__
std::vector<std::string> NamesIn(const testing::TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Root()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// A document being written is seen by nobody, takes its name in one step
// with the umask's permissions or those of the file it replaces, and leaves
// nothing behind when it is dropped, whatever a clean-up meanwhile does:
// unnamed, or hidden where the file system has no unnamed files.
class SpoolFileKinds : public ::testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(UnnamedAndHidden, SpoolFileKinds, ::testing::Bool());

TEST_P(SpoolFileKinds, IsPublishedWholeOrLeavesNothing) {
  testing::TempDir dir;
  const std::string pdf = dir.Path("run.pdf");
  const mode_t umaskBefore = umask(027);
  const auto written = [&](const std::string& bytes) {
    auto spool = std::make_unique<platform::SpoolFile>(dir.Path(), GetParam());
    EXPECT_EQ(spool->Error(), "");
    testing::WriteBytes(spool->Path(), bytes);
    platform::RemoveAbandonedSpoolFiles(dir.Path());
    return spool;
  };
  written("dropped");
  EXPECT_EQ(NamesIn(dir), std::vector<std::string>{});
  EXPECT_EQ(written("first")->Publish(pdf), "");
  EXPECT_EQ(ModeOf(pdf), 0640u);
  ASSERT_EQ(chmod(pdf.c_str(), 0604), 0);
  EXPECT_EQ(written("second")->Publish(pdf), "");
  umask(umaskBefore);
  EXPECT_EQ(testing::ReadBytes(pdf), "second");
  EXPECT_EQ(ModeOf(pdf), 0604u);
  EXPECT_EQ(NamesIn(dir), std::vector<std::string>{"run.pdf"});
  EXPECT_NE(platform::SpoolFile(dir.Path("none")).Error(), "");
}

// What a killed run left goes; a file a run still holds, or any other, stays.
TEST(SpoolFile, ACleanUpRemovesOnlyAbandonedSpoolFiles) {
  testing::TempDir dir;
  for (const char* name : {".zirvo-Ab12cd.pdf", ".zirvo-Held01.pdf", ".zirvo-toolong.pdf",
                           "run.pdf", ".zirvo-Ab12cd.pdf.tmp"})
    testing::WriteBytes(dir.Path(name), "numbered sheets");
  std::filesystem::create_symlink("run.pdf", dir.Path(".zirvo-Link01.pdf"));
  const int held = open(dir.Path(".zirvo-Held01.pdf").c_str(), O_RDONLY);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  platform::RemoveAbandonedSpoolFiles(dir.Path());
  close(held);
  EXPECT_EQ(NamesIn(dir),
            (std::vector<std::string>{".zirvo-Ab12cd.pdf.tmp", ".zirvo-Held01.pdf",
                                      ".zirvo-Link01.pdf", ".zirvo-toolong.pdf", "run.pdf"}));
}
#endif

}  // namespace
}  // namespace zirvo
