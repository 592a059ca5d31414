#include "song/Pattern.h"

#include <algorithm>
#include <cstring>

namespace vantreel {

int Pattern::PlayedLength() const {
    return std::min<int>(Length(), kPatternLines);
}

void Pattern::Clear() {
    SetName("Untitled");
    SetLength(kDefaultPatternLength);
    for (auto& cell : cells) {
        cell.Store({});
    }
}

void Pattern::CopyFrom(const Pattern& other) {
    std::memcpy(name, other.name, sizeof name);
    for (int i = 0; i < kCellsPerPattern; ++i) {
        cells[i].Store(other.cells[i].Load());
    }
    SetLength(other.Length());
}

void Pattern::SetName(const char* text) {
    std::memset(name, 0, sizeof name);
    std::strncpy(name, text, sizeof name - 1);
}

} // namespace vantreel
