// Whole-file reading and crash-safe writing.
#pragma once

#include <string>
#include <string_view>

namespace zirvo {

// The bytes of the file. Throws ZirvoError naming the file and the cause.
std::string ReadFileBytes(const std::string& path);

// Replaces the file at `path` by `bytes` so that the previous file survives
// any failure: a temporary file in the same folder is written, flushed to
// disk and renamed over the target, keeping the target's permissions. On
// failure the temporary file is removed and ZirvoError names the file and
// the cause. Temporary files that an interrupted earlier save of the same
// target left behind are removed.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace zirvo
