#pragma once
// The song arrangement: 32768 lines by 16 slot columns of two-byte entries.
//
// Threads: the user-interface thread edits it, the audio thread reads it while playing
// the song, without the lock: every entry is one atomic. Clear is for the
// user-interface thread with the lock held.

#include "song/SongLimits.h"

#include <atomic>
#include <cstdint>

namespace vantreel {

constexpr uint8_t kPatternCodeBreak = 254; // release the slot's notes, slot goes idle
constexpr uint8_t kPatternCodeEmpty = 255; // nothing changes

struct ArrangementEntry {
    uint8_t patternCode = kPatternCodeEmpty;
    uint8_t aux = 0; // kept by files and shown by the editor; playback ignores it
    bool operator==(const ArrangementEntry&) const = default;
};

class Arrangement {
public:
    ArrangementEntry Get(int line, int slot) const {
        uint16_t v = entries[line * kSlotCount + slot].load(std::memory_order_relaxed);
        return {uint8_t(v), uint8_t(v >> 8)};
    }
    void Set(int line, int slot, ArrangementEntry e) {
        entries[line * kSlotCount + slot].store(uint16_t(e.patternCode | e.aux << 8),
                                                std::memory_order_relaxed);
    }
    uint8_t PatternCode(int line, int slot) const { return Get(line, slot).patternCode; }

    void Clear(); // every entry {255, 0}

private:
    std::atomic<uint16_t> entries[kArrangementLines * kSlotCount];
};

} // namespace vantreel
