#include "editors/PatternSnapshot.h"

#include "engine/AudioEngine.h"

#include <cstring>

namespace vantreel {

PatternSnapshot::PatternSnapshot(const AudioEngine& engine, int slot, int first, int last)
    : slot(slot), first(first) {
    const int count = last - first + 1;
    cells.reserve(std::size_t(count) * kCellsPerPattern);
    names.resize(std::size_t(count));
    lengths.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const Pattern& pattern = engine.song.slots[slot].patterns[first + i];
        for (int line = 0; line < kPatternLines; ++line) {
            for (int track = 0; track < kTracks; ++track) {
                cells.push_back(pattern.Cell(line, track).Pack());
            }
        }
        std::memcpy(names[std::size_t(i)].data(), pattern.name, kTextSize);
        lengths.push_back(pattern.Length());
    }
}

void PatternSnapshot::AddChanges(const AudioEngine& engine, EditStep& step) const {
    step.slot = slot;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        const int index = first + int(i);
        const Pattern& pattern = engine.song.slots[slot].patterns[index];
        const uint32_t* before = cells.data() + i * kCellsPerPattern;
        for (int cell = 0; cell < kCellsPerPattern; ++cell) {
            const uint32_t after = pattern.Cell(cell / kTracks, cell % kTracks).Pack();
            if (after != before[cell]) {
                step.cells.push_back(
                    {uint32_t(index * kCellsPerPattern + cell), before[cell], after});
            }
        }
        if (pattern.Length() != lengths[i] ||
            std::memcmp(pattern.name, names[i].data(), kTextSize) != 0) {
            PatternHeaderChange header{};
            header.pattern = uint8_t(index);
            header.lengthBefore = lengths[i];
            header.lengthAfter = pattern.Length();
            std::memcpy(header.nameBefore, names[i].data(), kTextSize);
            std::memcpy(header.nameAfter, pattern.name, kTextSize);
            step.headers.push_back(header);
        }
    }
    step.cells.shrink_to_fit();
}

} // namespace vantreel
