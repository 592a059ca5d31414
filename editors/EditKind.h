#pragma once
// The kinds of change the user can undo, and what the status line calls each.

#include <cstdint>

namespace vantreel {

enum class EditKind : uint8_t {
    NoteEntry,
    NoteOffEntry,
    HexEntry,
    CellDeletion,
    BlockCut,
    BlockPaste,
    PatternCut,
    PatternPaste,
    TrackCut,
    TrackPaste,
    ArrangementEntry,
    ArrangementBreak,
    ArrangementDeletion,
    PatternName,
    PatternLength,
    Setting, // named by its setting (editors/SongSetting.h)
    PluginOpen,
    PluginDelete,
};

// "Block paste", "Note entry": the one table of these names.
const char* EditKindName(EditKind kind);

} // namespace vantreel
