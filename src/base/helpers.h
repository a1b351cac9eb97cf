// Helpers every screen shares: keystroke filters of numeric fields, zero
// padding, the application and data folders.
#pragma once

#include <string>
#include <string_view>

namespace zirvo {

// Keystroke filters: return the key when it may enter the field, or '\0' when
// it is rejected. `caret` counts the characters before the caret, from 0.
// Ctrl+C (3), Ctrl+V (22) and Backspace (8) always pass.
char IntegerKeyFilter(std::string_view text, std::string_view selected, int caret, char key);
char RealKeyFilter(std::string_view text, std::string_view selected, int caret, char key);

// Puts "0" in front of the text until it is `width` characters long.
std::string ZeroPad(std::string_view text, int width);

// The folders the program's own files live in. A running program uses the
// machine's; tests install folders of their own with UseFolders.
class Folders {
 public:
  virtual ~Folders() = default;
  // Folder of the running executable, without a trailing separator.
  virtual std::string Application() const = 0;
  // The templates, DatosLoc.ini and the user's settings; ends with a separator.
  virtual std::string Data() const = 0;
  // The settings every user of the machine shares.
  virtual std::string SystemSettings() const = 0;
};
// Makes `folders` the ones every later call below answers from, nullptr the
// machine's own again; returns the ones in force before. The caller keeps
// `folders` alive while they are in force.
const Folders* UseFolders(const Folders* folders);

// Folder of the running executable, without a trailing separator.
std::string ApplicationFolder();

// What decides where the templates and DatosLoc.ini live.
struct DataFolderInputs {
  std::string applicationFolder;  // without a trailing separator
  // `Datos` beside the executable is a folder this user may write and that
  // is not open to every account (see platform::IsPrivateWritableFolder).
  bool writableFolderBeside = false;
  std::string xdgDataHome;  // $XDG_DATA_HOME, empty when unset
  std::string home;         // the user's home folder, empty when unknown
};
// The data folder, with a trailing separator: `Datos` beside the executable
// when that folder is writable (the build tree, a portable copy), otherwise
// the user's own $XDG_DATA_HOME/zirvo/Datos/ (~/.local/share when
// XDG_DATA_HOME is unset or relative). Without a home folder it falls back
// to `Datos` beside the executable.
std::string ChooseDataFolder(const DataFolderInputs& inputs);

// The data folder of this run; on the machine's folders, chosen once by
// ChooseDataFolder from the machine's state. Ends with a separator.
std::string DataFolder();
// Creates the data folder and its parents when missing (with the user's
// umask); false when it is not there afterwards. Called once at start-up.
bool PrepareDataFolder();
// The folder of the settings every user of the machine shares.
std::string SystemSettingsFolder();

}  // namespace zirvo
