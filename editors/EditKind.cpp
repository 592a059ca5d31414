#include "editors/EditKind.h"

namespace vantreel {

namespace {

struct KindName {
    EditKind kind;
    const char* name;
};

constexpr KindName kNames[] = {
    {EditKind::NoteEntry, "Note entry"},
    {EditKind::NoteOffEntry, "Note-off entry"},
    {EditKind::HexEntry, "Hex entry"},
    {EditKind::CellDeletion, "Cell deletion"},
    {EditKind::BlockCut, "Block cut"},
    {EditKind::BlockPaste, "Block paste"},
    {EditKind::PatternCut, "Pattern cut"},
    {EditKind::PatternPaste, "Pattern paste"},
    {EditKind::TrackCut, "Track cut"},
    {EditKind::TrackPaste, "Track paste"},
    {EditKind::ArrangementEntry, "Arrangement entry"},
    {EditKind::ArrangementBreak, "Arrangement break"},
    {EditKind::ArrangementDeletion, "Arrangement deletion"},
    {EditKind::PatternName, "Pattern name"},
    {EditKind::PatternLength, "Pattern length"},
    {EditKind::Setting, "Setting"},
    {EditKind::PluginOpen, "Plug-in open"},
    {EditKind::PluginDelete, "Plug-in delete"},
};

} // namespace

const char* EditKindName(EditKind kind) {
    for (const KindName& entry : kNames) {
        if (entry.kind == kind) {
            return entry.name;
        }
    }
    return "Edit";
}

} // namespace vantreel
