// Folders of a test's own in place of the machine's: the program's folder
// `root`, the data folder root/Datos/ and the machine's shared settings in
// root/etc, so that no test reads or writes the user's or the machine's
// settings, registers or templates. In force while the object lives; the
// folders in force before come back when it goes.
#pragma once

#include <string>

#include "base/helpers.h"

namespace zirvo::testing {

class TestFolders final : public Folders {
 public:
  explicit TestFolders(std::string root);
  ~TestFolders() override;
  TestFolders(const TestFolders&) = delete;
  TestFolders& operator=(const TestFolders&) = delete;

  std::string Application() const override { return root_; }
  std::string Data() const override { return root_ + "/Datos/"; }
  std::string SystemSettings() const override { return root_ + "/etc"; }

 private:
  std::string root_;
  const Folders* previous_;
};

}  // namespace zirvo::testing
