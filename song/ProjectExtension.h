#pragma once
// The extension after field 12 of a project file. Readers of the original layout
// stop before it; ours read it first (it ends the file and its footer says how long
// it is) to learn what the original layout leaves out: each saved plug-in's unique
// ID, counts, chunk flag and record size, the arrangement lines after 25, and plug-in
// names too long for their field.
//
//   header   "VNTRLEXT", u32 version, u64 size of fields 1 to 12
//   sections u32 id, u32 length, payload; unknown ids are skipped
//   footer   u32 size of the whole extension, u32 CRC-32 of header and sections,
//            "VNTRLEND"
//
// User-interface thread.

#include "song/Arrangement.h"
#include "song/ByteWriter.h"
#include "song/SongLimits.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantreel {

constexpr uint32_t kExtensionVersion = 1;
constexpr std::size_t kExtensionTagSize = 8;
constexpr std::size_t kExtensionHeaderSize = kExtensionTagSize + 4 + 8;
constexpr std::size_t kExtensionFooterSize = 4 + 4 + kExtensionTagSize;
constexpr uint32_t kMaxExtensionSize = 16u << 20; // far above the largest real one
constexpr uint32_t kSectionPluginRecords = 1;
constexpr uint32_t kSectionArrangementLines = 2;
constexpr uint32_t kSectionLongPluginNames = 3;
constexpr uint32_t kMaxLongPluginName = 1u << 16; // far above any real plug-in URI

// The shape of one slot's plug-in record as it was saved.
struct PluginRecordInfo {
    int32_t uniqueId = 0;
    int32_t numPrograms = 0; // never negative
    int32_t numParams = 0;   // never negative
    bool programChunks = false;
    uint64_t recordSize = 0; // bytes after the instanced byte: name to the end of the chunk

    // The bytes before the chunk: name, current program, the values, the chunk size.
    uint64_t FixedSize() const;
    // Whether a plug-in of this shape reads the stored record the same way.
    bool SameShape(const PluginRecordInfo& other) const {
        return uniqueId == other.uniqueId && numPrograms == other.numPrograms &&
               numParams == other.numParams && programChunks == other.programChunks;
    }
    bool operator==(const PluginRecordInfo&) const = default;
};

struct ExtensionSlot {
    bool hasRecord = false;
    PluginRecordInfo record;
    // The whole plug-in name when it is longer than the record's 64-byte field, which
    // holds its first 63 characters; "" when the name fits.
    std::string longName;
};

struct ArrangementLineRecord {
    uint16_t line = 0;
    ArrangementEntry entries[kSlotCount];
};

struct ProjectExtension {
    uint64_t baseSize = 0; // fields 1 to 12: where the extension starts
    ExtensionSlot slots[kSlotCount];
    std::vector<ArrangementLineRecord> lines; // non-empty lines from 26 on, ascending
};

enum class ExtensionStatus {
    Absent,  // a file in the original layout (or one cut short)
    Damaged, // the footer is there but what it frames does not hold together
    Newer,   // written by a later version in a form this one cannot read
    Valid,
};

struct ExtensionParse {
    ExtensionStatus status = ExtensionStatus::Absent;
    ProjectExtension extension;
};

void WriteExtension(ByteWriter& out, uint64_t baseSize, const ExtensionSlot slots[kSlotCount],
                    const Arrangement& arrangement);

// From the file's last kExtensionFooterSize bytes: the extension's claimed total size,
// or 0 when they are no footer.
uint32_t ExtensionSizeFromFooter(const uint8_t* footer);

// Parses the whole extension (header to footer) of a file of `fileSize` bytes.
ExtensionParse ParseExtension(const uint8_t* bytes, std::size_t size, uint64_t fileSize);

// The size fields 1 to 12 have with these plug-in records; 0 if it cannot be right.
uint64_t BaseSizeFor(const ExtensionSlot slots[kSlotCount], uint64_t fileSize);

void ApplyArrangementLines(const ProjectExtension& extension, Arrangement& arrangement);

} // namespace vantreel
