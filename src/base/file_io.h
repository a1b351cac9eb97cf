// Whole-file reading and crash-safe writing.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zirvo {

// The bytes of the file. Only a regular file is read: a folder, a FIFO or a
// device is refused at once. Throws ZirvoError naming the file and the cause.
std::string ReadFileBytes(const std::string& path);
// The same, but nothing when there is no file at `path`.
std::optional<std::string> ReadFileIfPresent(const std::string& path);

// The moments of WriteFileAtomically, in the order they happen.
enum class WriteStage {
  TemporaryCreated,  // the temporary file exists and is empty
  HalfWritten,       // it holds the first half of the bytes
  Written,           // it holds all of them, flushed to disk; the target is untouched
  Renamed,           // it has replaced the target
};

// Told each stage of a write as it is reached, with the temporary file's
// path: a caller that must know how far a write came (a test that kills a
// save at each of those moments holds the writing process there). Empty for
// nobody.
using WriteObserver = std::function<void(WriteStage stage, const std::string& temporary)>;

// Replaces the file at `path` by `bytes` so that the previous file survives
// any failure: a temporary file in the same folder is written, flushed to
// disk and renamed over the target, keeping the target's permissions. On
// failure the temporary file is removed and ZirvoError names the file and
// the cause. Saves into one folder take turns under the folder's advisory
// lock, each with a temporary file of its own; temporary files that an
// interrupted earlier save of the same target left behind are removed.
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const WriteObserver& observer = {});
// Replaces the file at `path` by what `change` makes of its present bytes
// (nothing when there is no file yet), reading and writing under the same
// lock: two processes changing different parts of one file both keep their
// change. Throws as ReadFileBytes and WriteFileAtomically do.
void ChangeFileAtomically(
    const std::string& path,
    const std::function<std::string(const std::optional<std::string>& current)>& change,
    const WriteObserver& observer = {});

}  // namespace zirvo
