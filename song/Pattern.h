#pragma once
// A pattern: a name, 256 lines by 8 tracks of cells, and the number of lines played.
//
// Threads: the user-interface thread edits it; the audio thread reads cells and the
// length while playing, and MIDI input and plug-ins store cells, all without the lock:
// each cell and the length are single atomics. The name, Clear and CopyFrom are for
// the user-interface thread only.

#include "song/EventCell.h"
#include "song/SongLimits.h"

#include <atomic>
#include <cstdint>

namespace vantreel {

constexpr int kPatternRecordSize = 8258; // name, cells, length as stored in project files

class Pattern {
public:
    char name[kTextSize] = {};

    EventCell Cell(int line, int track) const { return cells[line * kTracks + track].Load(); }
    void SetCell(int line, int track, EventCell cell) { cells[line * kTracks + track].Store(cell); }

    // The stored length, kept as it is even when it exceeds the storage.
    uint16_t Length() const { return length.load(std::memory_order_relaxed); }
    void SetLength(uint16_t lines) { length.store(lines, std::memory_order_relaxed); }
    // The number of lines that can be played or shown: never beyond the storage.
    int PlayedLength() const;

    void Clear();                        // "Untitled", 64 lines, empty cells
    void CopyFrom(const Pattern& other); // whole record, cell by cell
    void SetName(const char* text);      // at most 63 characters kept

private:
    AtomicCell cells[kCellsPerPattern];
    std::atomic<uint16_t> length{kDefaultPatternLength};
};

} // namespace vantreel
