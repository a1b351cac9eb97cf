// Whole-file reading and crash-safe writing.
#pragma once

#include <functional>
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

// The moments of WriteFileAtomically, in the order they happen.
enum class WriteStage {
  TemporaryCreated,  // the temporary file exists and is empty
  HalfWritten,       // it holds the first half of the bytes
  Written,           // it holds all of them, flushed to disk; the target is untouched
  Renamed,           // it has replaced the target
};

// For the tests that kill a save at each of those moments: the observer is
// called at every stage with the temporary file's path, and the test holds
// the writing process there while it kills it. Normal callers set none; an
// empty function removes it.
using WriteObserver = std::function<void(WriteStage stage, const std::string& temporary)>;
void SetWriteObserverForTesting(WriteObserver observer);

}  // namespace zirvo
