#include "editors/EditStep.h"

namespace vantreel {

bool EditStep::Empty() const {
    return cells.empty() && headers.empty() && entries.empty() && !setting && !recordBefore &&
           !recordAfter;
}

std::size_t EditStep::Bytes() const {
    std::size_t bytes = sizeof *this + cells.capacity() * sizeof(CellChange) +
                        headers.capacity() * sizeof(PatternHeaderChange) +
                        entries.capacity() * sizeof(EntryChange);
    if (recordBefore) {
        bytes += recordBefore->Bytes();
    }
    if (recordAfter) {
        bytes += recordAfter->Bytes();
    }
    return bytes;
}

const char* EditStep::Name() const {
    if (kind == EditKind::Setting && setting) {
        return SongSettingName(setting->setting);
    }
    return EditKindName(kind);
}

} // namespace vantreel
