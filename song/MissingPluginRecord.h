#pragma once
// The stored plug-in record of a slot whose library was missing when the project
// loaded. It is kept byte for byte so the next save writes it back unchanged and the
// song is whole again on a machine that has the plug-in. Loading a plug-in into the
// slot, closing the slot or a new project discards it.
//
// User-interface thread only; the audio thread never looks at it.

#include "song/ProjectExtension.h"
#include "song/SongLimits.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vantreel {

struct MissingPluginRecord {
    bool kept = false;
    uint8_t instancedByte = 1;  // as stored: any non-zero value
    PluginRecordInfo info;      // the record's shape, as the extension gave it
    std::vector<uint8_t> bytes; // the record after the instanced byte, name first
    std::string longName;       // the whole name when the record's field holds only its start

    // The library name the record asks for, for the slot's display.
    std::string Name() const {
        if (!longName.empty()) {
            return longName;
        }
        if (bytes.size() < std::size_t(kTextSize)) {
            return {};
        }
        const char* text = reinterpret_cast<const char*>(bytes.data());
        return std::string(text, strnlen(text, kTextSize));
    }

    void Clear() {
        kept = false;
        instancedByte = 1;
        info = {};
        longName.clear();
        bytes.clear();
        bytes.shrink_to_fit();
    }
};

} // namespace vantreel
