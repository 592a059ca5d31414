#pragma once
// One undoable change as the differences it made: the cells, pattern names and
// lengths, arrangement entries, the setting or the slot's plug-in record, each with
// its value before and after, and where the cursor was when it was made. Never a
// copy of the whole song.
//
// Threads: user-interface thread.

#include "editors/EditKind.h"
#include "editors/SongSetting.h"
#include "engine/SlotRecord.h"
#include "song/Arrangement.h"
#include "song/EventCell.h"
#include "song/SongLimits.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace vantreel {

// The editors' cursor where a change was made, put back by its undo and redo.
struct EditPlace {
    int32_t slot = 0;
    int32_t pattern = 0;
    int32_t line = 0;
    int32_t track = 0;
    int32_t column = 0;
    int32_t focus = 1; // 1 the pattern editor, 0 the arrangement
    int32_t seqLine = 0;
    bool operator==(const EditPlace&) const = default;
};

struct CellChange {
    uint32_t where;  // pattern * kCellsPerPattern + line * kTracks + track, in the step's slot
    uint32_t before; // packed cells (EventCell::Pack)
    uint32_t after;
};

struct PatternHeaderChange {
    uint8_t pattern;
    uint16_t lengthBefore;
    uint16_t lengthAfter;
    char nameBefore[kTextSize];
    char nameAfter[kTextSize];
};

struct EntryChange {
    int32_t line;
    int32_t slot;
    ArrangementEntry before;
    ArrangementEntry after;
};

struct SettingChange {
    SongSetting setting;
    int32_t slot;
    int32_t before;
    int32_t after;
};

struct EditStep {
    EditKind kind = EditKind::NoteEntry;
    EditPlace place;
    int32_t slot = 0; // whose patterns `cells` and `headers` are in
    std::vector<CellChange> cells;
    std::vector<PatternHeaderChange> headers;
    std::vector<EntryChange> entries;
    std::optional<SettingChange> setting;
    // The slot's plug-in record before and after (Open..., Delete).
    std::shared_ptr<const SlotRecordImage> recordBefore;
    std::shared_ptr<const SlotRecordImage> recordAfter;
    // A setting step a continuing drag may still extend.
    bool open = false;

    bool Empty() const;
    // What the step holds, for the history's bound.
    std::size_t Bytes() const;
    // "Block paste", or the setting's name.
    const char* Name() const;
};

} // namespace vantreel
