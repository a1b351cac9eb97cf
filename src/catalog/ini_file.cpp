#include "catalog/ini_file.h"

#include <algorithm>
#include <vector>

#include "base/text.h"

namespace zirvo {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) {
             return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
           };
           return lower(x) == lower(y);
         });
}

// One line of an INI file, with the line end it had, so that a rewrite keeps
// every other line byte for byte.
struct IniLine {
  std::string text;
  std::string end;
};

std::vector<IniLine> SplitIni(std::string_view bytes) {
  std::vector<IniLine> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    std::size_t endLength =
        (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
    lines.push_back(
        {std::string(bytes.substr(start, i - start)), std::string(bytes.substr(i, endLength))});
    i += endLength - 1;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back({std::string(bytes.substr(start)), ""});
  return lines;
}

std::string JoinIni(const std::vector<IniLine>& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line.text + line.end;
  return bytes;
}

// "[name]" -> name; empty for a line that is no section header.
std::string SectionName(const std::string& line) {
  const std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') return {};
  return Trim(std::string_view(trimmed).substr(1, trimmed.size() - 2));
}

bool IsKeyLine(const std::string& line, std::string_view key, std::string* value = nullptr) {
  const auto equals = line.find('=');
  if (equals == std::string::npos) return false;
  if (!EqualNoCase(Trim(std::string_view(line).substr(0, equals)), key)) return false;
  if (value != nullptr) *value = Trim(std::string_view(line).substr(equals + 1));
  return true;
}

}  // namespace

bool ReadIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                  std::string& value) {
  const std::vector<IniLine> lines = SplitIni(bytes);
  bool inSection = false;
  for (const auto& line : lines) {
    const std::string name = SectionName(line.text);
    if (!name.empty()) {
      inSection = EqualNoCase(name, section);
    } else if (inSection && IsKeyLine(line.text, key, &value)) {
      return true;
    }
  }
  return false;
}

std::string WithIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                         std::string_view value) {
  std::vector<IniLine> lines = SplitIni(bytes);
  const std::string entry = std::string(key) + "=" + std::string(value);
  const std::string newline =
      !lines.empty() && !lines.front().end.empty() ? lines.front().end : std::string("\r\n");
  int sectionAt = -1;
  int lastEntryAt = -1;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    const std::string name = SectionName(lines[i].text);
    if (!name.empty()) {
      if (sectionAt >= 0) break;
      if (EqualNoCase(name, section)) sectionAt = lastEntryAt = i;
    } else if (sectionAt >= 0) {
      if (IsKeyLine(lines[i].text, key)) {
        lines[i].text = entry;
        return JoinIni(lines);
      }
      if (!Trim(lines[i].text).empty()) lastEntryAt = i;
    }
  }
  if (!lines.empty() && lines.back().end.empty()) lines.back().end = newline;
  if (sectionAt < 0) {
    lines.push_back({"[" + std::string(section) + "]", newline});
    lines.push_back({entry, newline});
  } else {
    lines.insert(lines.begin() + lastEntryAt + 1, IniLine{entry, newline});
  }
  return JoinIni(lines);
}

}  // namespace zirvo
