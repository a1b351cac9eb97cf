// A wait that keeps the windows alive.
#pragma once

#include <cstdint>

namespace zirvo {

// Handles pending window events until at least `milliseconds` have passed;
// events are handled at least once, even for 0.
void WaitMs(uint32_t milliseconds);

}  // namespace zirvo
