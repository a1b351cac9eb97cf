// Reading and changing one value of an INI file (sections in square brackets,
// lines of key "=" value) held in memory. Section and key names ignore case,
// as the platform's INI functions do.
#pragma once

#include <string>
#include <string_view>

namespace zirvo {

// The trimmed value of `key` in `section`; false when either is missing.
bool ReadIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                  std::string& value);

// The file with `key` of `section` set to `value`. An existing key line is
// rewritten in place, a missing key is added after the section's last entry,
// and a missing section is appended. Every other line keeps its bytes and its
// own line end.
std::string WithIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                         std::string_view value);

}  // namespace zirvo
