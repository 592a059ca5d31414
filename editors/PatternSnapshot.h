#pragma once
// A slot's patterns as they were before a command, so that what the command changed
// can be recorded as differences afterwards. Copying a pattern's 2048 cells costs a
// few microseconds; a command records only the patterns it may touch.
//
// Threads: user-interface thread.

#include "editors/EditStep.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vantreel {

class AudioEngine;

class PatternSnapshot {
public:
    // Patterns `first` to `last` of `slot`, both inside the slot's bank.
    PatternSnapshot(const AudioEngine& engine, int slot, int first, int last);

    // Adds every cell, name and length that differs now to `step`, whose slot it sets.
    void AddChanges(const AudioEngine& engine, EditStep& step) const;

private:
    int slot;
    int first;
    std::vector<uint32_t> cells; // packed, pattern by pattern
    std::vector<std::array<char, kTextSize>> names;
    std::vector<uint16_t> lengths;
};

} // namespace vantreel
