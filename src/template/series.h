// The numbering series of a template: the identity under which the
// numbering register keeps its runs. A template carries it in its file; every
// copy saved to go on with the same numbering carries the same one, so the
// register's guard sees the runs of all of them.
#pragma once

#include <string>
#include <string_view>

namespace zirvo {

// A series is 32 lowercase hexadecimal digits (128 bits).
inline constexpr std::size_t kSeriesDigits = 32;

// True for 32 hexadecimal digits (either case).
bool IsSeriesText(std::string_view text);

// A fresh series from the system's random source, for a new template.
std::string NewSeries();

// The series of a template file that carries none, derived from its
// canonical path (symbolic links resolved): the same file always has the
// same one, so the first save that writes it into the file keeps the
// register's history of that file.
std::string SeriesOfPath(const std::string& templatePath);

// The canonical path of `path` (symbolic links resolved, as far as they
// exist); the path made absolute when it cannot be resolved.
std::string CanonicalPath(const std::string& path);

}  // namespace zirvo
