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
// ApplicationFolder() + "/Datos/".
const std::string& DataFolder();
// For tests and tools that run the program's logic from another folder.
void SetApplicationFolderForTesting(const std::string& folder);

}  // namespace zirvo
