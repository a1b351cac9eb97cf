// Entry point of the gtest binaries that paint or print through Qt.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "support/test_folders.h"

int main(int argc, char** argv) {
  // Test discovery runs this binary at build time, where no display exists.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The registers of templates never saved, and the settings that could name
  // another register, in a folder of the tests' own.
  QTemporaryDir folders;
  zirvo::testing::TestFolders inForce(folders.path().toStdString());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
