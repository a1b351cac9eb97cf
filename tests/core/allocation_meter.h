// How many bytes the test program holds through operator new: the tests
// that bound the memory a task takes read it around the task.
#pragma once

#include <cstddef>

namespace zirvo::testing {

// Bytes held now.
std::size_t HeldBytes();
// The most bytes held at once since the last ResetPeakHeldBytes().
std::size_t PeakHeldBytes();
void ResetPeakHeldBytes();

}  // namespace zirvo::testing
