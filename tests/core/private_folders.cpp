// The tests of this program keep the registers of templates never saved and
// the settings that could name a register in a folder of their own: no test
// reaches a register the machine's or the user's settings name, and none
// leaves runs behind in the build tree.
#include <gtest/gtest.h>

#include <optional>

#include "support/test_folders.h"
#include "temp_dir.h"

namespace zirvo {
namespace {

class PrivateFolders : public ::testing::Environment {
 public:
  void SetUp() override { folders_.emplace(dir_.Path()); }
  void TearDown() override { folders_.reset(); }

 private:
  testing::TempDir dir_;
  std::optional<testing::TestFolders> folders_;
};

[[maybe_unused]] ::testing::Environment* const privateFolders =
    ::testing::AddGlobalTestEnvironment(new PrivateFolders);

}  // namespace
}  // namespace zirvo
