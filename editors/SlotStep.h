#pragma once
// Stepping the current slot, shared by the arrangement's keys and the control panel's
// buttons. Threads: user-interface thread.

#include "song/SongLimits.h"

#include <algorithm>

namespace vantreel {

// The slot `delta` steps from `current`, wrapping around the slots. A damaged current
// index is first held inside them, so the step always lands on a slot.
inline int SteppedSlot(int current, int delta) {
    const int from = std::clamp(current, 0, kSlotCount - 1);
    return ((from + delta) % kSlotCount + kSlotCount) % kSlotCount;
}

} // namespace vantreel
