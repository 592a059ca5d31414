#pragma once
// The saved part of one plug-in slot: its flag, library name, sends and pattern bank.
// The live instance and its event list belong to the engine.

#include "song/Pattern.h"
#include "song/SongLimits.h"

#include <atomic>
#include <cstdint>

namespace vantreel {

constexpr uint8_t kMaxSendLevel = 128;

struct PluginSlot {
    // 1 while an instance lives in the slot; set last when loading, cleared first
    // when closing, so the audio thread only ever sees a started instance.
    std::atomic<uint8_t> instanced{0};
    char dllName[kTextSize] = {};
    std::atomic<uint8_t> sendDelay{0};
    std::atomic<uint8_t> sendReverb{0};
    std::atomic<uint8_t> sendChorus{0};
    Pattern patterns[kPatternsPerSlot];

    bool IsInstanced() const { return instanced.load() != 0; }
};

} // namespace vantreel
