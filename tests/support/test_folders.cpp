#include "support/test_folders.h"

#include <utility>

namespace zirvo::testing {

TestFolders::TestFolders(std::string root) : root_(std::move(root)), previous_(UseFolders(this)) {}

TestFolders::~TestFolders() { UseFolders(previous_); }

}  // namespace zirvo::testing
