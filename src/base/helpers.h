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

// Folder of the running executable, without a trailing separator.
const std::string& ApplicationFolder();

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

// The data folder of this run, chosen once by ChooseDataFolder from the
// machine's state; ends with a separator.
const std::string& DataFolder();
// Creates the data folder and its parents when missing (with the user's
// umask); false when it is not there afterwards. Called once at start-up.
bool PrepareDataFolder();
// For tests and tools that run the program's logic from another folder: the
// data folder becomes `folder` + "/Datos/".
void SetApplicationFolderForTesting(const std::string& folder);

}  // namespace zirvo
