#pragma once
// The whole song in memory: 16 slots with their pattern banks, the arrangement and
// the song settings. Fixed size, never reallocated.
//
// Threads: see the parts; every field another thread reads without the lock is atomic.

#include "song/Arrangement.h"
#include "song/PluginSlot.h"
#include "song/SongSettings.h"

namespace vantreel {

struct Song {
    PluginSlot slots[kSlotCount];
    Arrangement arrangement;
    SongSettings settings;
};

} // namespace vantreel
