#include "base/helpers.h"

#include <gtest/gtest.h>

#ifdef __unix__
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "base/platform.h"
#include "printing/register_settings.h"
#include "support/test_folders.h"
#include "temp_dir.h"

namespace zirvo {
namespace {

struct KeyCase {
  const char* text;
  const char* selected;
  int caret;
  char key;
  bool passes;
};

TEST(IntegerKeyFilter, LetsThroughDigitsAndOneLeadingMinus) {
  const KeyCase cases[] = {
      {"12", "", 0, '-', true},   {"12", "", 1, '-', false},  {"-12", "", 0, '-', false},
      {"-12", "", 2, '-', false}, {"-12", "-", 0, '-', true}, {"", "", 0, '7', true},
      {"-12", "", 0, '5', true},  // a digit in front of the minus still passes
      {"1", "", 1, 'a', false},   {"1", "", 1, ' ', false},   {"1", "", 1, ',', false},
      {"1", "", 1, '.', false},   {"1", "", 1, 3, true},      {"1", "", 1, 22, true},
      {"1", "", 1, 8, true},      {"1", "", 1, 13, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IntegerKeyFilter(c.text, c.selected, c.caret, c.key), c.passes ? c.key : '\0')
        << "'" << c.text << "' caret " << c.caret << " key " << int(c.key);
  }
}

TEST(RealKeyFilter, OnePointNeitherFirstNorAfterTheMinus) {
  const KeyCase cases[] = {
      {"", "", 0, '.', false},     {"-", "", 1, '.', false},   {"-1", "", 2, '.', true},
      {"1", "", 1, '.', true},     {"1.5", "", 3, '.', false}, {"1.5", ".", 1, '.', true},
      {"12", "", 0, '-', true},    {"12", "", 1, '-', false},  {"-12", "", 0, '-', false},
      {"-12", "-1", 0, '-', true}, {"3", "", 1, '9', true},    {"3", "", 1, 'e', false},
      {"3", "", 1, ',', false},    {"3", "", 1, ' ', false},   {"3", "", 1, 8, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RealKeyFilter(c.text, c.selected, c.caret, c.key), c.passes ? c.key : '\0')
        << "'" << c.text << "' caret " << c.caret << " key " << c.key;
  }
}

TEST(ZeroPad, PadsWithoutInterpreting) {
  EXPECT_EQ(ZeroPad("7", 3), "007");
  EXPECT_EQ(ZeroPad("1234", 3), "1234");
  EXPECT_EQ(ZeroPad("", 2), "00");
  EXPECT_EQ(ZeroPad("-5", 4), "00-5");
  EXPECT_EQ(ZeroPad("5", 0), "5");
  EXPECT_EQ(ZeroPad("5", -3), "5");
}

// Which Datos folder is in use depends on this machine (a writable Datos
// beside the test binary or not); the choice itself is tested below. Folders
// put in force answer for the program until they go, and the ones before
// come back.
TEST(Folders, FoldersInForceAnswerUntilTheyGo) {
  const std::string before = ApplicationFolder();
  const std::string dataBefore = DataFolder();
  const std::string settingsBefore = SystemSettingsFolder();
  EXPECT_FALSE(before.empty());
  EXPECT_NE(before.back(), '/');
  EXPECT_EQ(dataBefore.back(), '/');
  {
    const testing::TestFolders folders("/opt/zirvo");
    EXPECT_EQ(ApplicationFolder(), "/opt/zirvo");
    EXPECT_EQ(DataFolder(), "/opt/zirvo/Datos/");
    EXPECT_EQ(SystemSettingsFolder(), "/opt/zirvo/etc");
    EXPECT_EQ(SystemRegisterSettingsFile(),
              "/opt/zirvo/etc/" + std::string(kRegisterSettingsFileName));
    EXPECT_EQ(UserRegisterSettingsFile(),
              "/opt/zirvo/Datos/" + std::string(kRegisterSettingsFileName));
  }
  EXPECT_EQ(ApplicationFolder(), before);
  EXPECT_EQ(DataFolder(), dataBefore);
  EXPECT_EQ(SystemSettingsFolder(), settingsBefore);
}

// With no folders put in force the program runs on the machine's own: the
// executable's folder and the machine's settings folder.
TEST(Folders, WithoutFoldersInForceTheMachinesOwn) {
  const Folders* before = UseFolders(nullptr);
  ASSERT_NE(before, nullptr);
  const std::string exe = platform::ExecutablePath();
  EXPECT_EQ(ApplicationFolder(), exe.substr(0, exe.find_last_of('/')));
  EXPECT_EQ(SystemSettingsFolder(), platform::SystemSettingsFolder());
  UseFolders(before);
}

TEST(Folders, WritableDatosBesideTheProgramElseTheUsersOwnFolder) {
  struct Case {
    const char* what;
    bool writableBeside;
    const char* xdg;
    const char* home;
    const char* expected;
  };
  const Case cases[] = {
      {"build tree or portable copy", true, "/x", "/home/ana", "/opt/z/Datos/"},
      {"installed, default place", false, "", "/home/ana", "/home/ana/.local/share/zirvo/Datos/"},
      {"installed, XDG_DATA_HOME", false, "/data/ana", "/home/ana", "/data/ana/zirvo/Datos/"},
      {"XDG_DATA_HOME with a slash", false, "/data/ana/", "/home/ana", "/data/ana/zirvo/Datos/"},
      {"relative XDG_DATA_HOME ignored", false, "data", "/home/ana",
       "/home/ana/.local/share/zirvo/Datos/"},
      {"relative, dotted", false, "./share", "/home/ana/", "/home/ana/.local/share/zirvo/Datos/"},
      {"home is the root", false, "", "/", "/.local/share/zirvo/Datos/"},
      {"XDG_DATA_HOME without home", false, "/data", "", "/data/zirvo/Datos/"},
      {"no home at all", false, "", "", "/opt/z/Datos/"},
      {"relative home", false, "", "ana", "/opt/z/Datos/"},
  };
  for (const auto& c : cases) {
    DataFolderInputs inputs;
    inputs.applicationFolder = "/opt/z";
    inputs.writableFolderBeside = c.writableBeside;
    inputs.xdgDataHome = c.xdg;
    inputs.home = c.home;
    EXPECT_EQ(ChooseDataFolder(inputs), c.expected) << c.what;
  }
}

#ifdef __unix__
// The checks behind the choice: only a folder closed to other accounts counts
// as the program's own, and the user's folder is made with its parents.
TEST(Folders, OnlyAFolderClosedToOthersCountsAsWritable) {
  testing::TempDir dir;
  const std::string folder = dir.Path("Datos");
  EXPECT_FALSE(platform::IsPrivateWritableFolder(folder)) << "missing";
  testing::WriteBytes(folder, "not a folder");
  EXPECT_FALSE(platform::IsPrivateWritableFolder(folder)) << "a file";
  std::filesystem::remove(folder);
  std::filesystem::create_directory(folder);
  const struct {
    mode_t mode;
    bool counts;
  } cases[] = {{0755, true},  {0700, true},  {0775, false},  {02775, false},
               {0770, false}, {0777, false}, {01777, false}, {0757, false}};
  for (const auto& c : cases) {
    ASSERT_EQ(chmod(folder.c_str(), c.mode), 0);
    EXPECT_EQ(platform::IsPrivateWritableFolder(folder), c.counts) << std::oct << c.mode;
  }
  // Another account's folder is that account's to change, even where root may write it.
  if (geteuid() == 0) {
    ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
    ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0);
    EXPECT_FALSE(platform::IsPrivateWritableFolder(folder)) << "owned by another account";
  }
}

TEST(Folders, DataFolderIsMadeWithItsParentsUnderTheUmask) {
  testing::TempDir dir;
  const std::string folder = dir.Path("share") + "/zirvo/Datos/";
  const mode_t before = umask(027);
  const bool made = platform::MakeFolders(folder);
  umask(before);
  ASSERT_TRUE(made);
  for (const char* part : {"share", "share/zirvo", "share/zirvo/Datos"}) {
    struct stat info {};
    ASSERT_EQ(stat(dir.Path(part).c_str(), &info), 0) << part;
    EXPECT_EQ(info.st_mode & 07777, 0750u) << part;
  }
  EXPECT_TRUE(platform::MakeFolders(folder)) << "an existing folder";
  testing::WriteBytes(dir.Path("file"), "x");
  EXPECT_FALSE(platform::MakeFolders(dir.Path("file") + "/Datos/"));
}
#endif

}  // namespace
}  // namespace zirvo
