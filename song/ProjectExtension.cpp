#include "song/ProjectExtension.h"

#include "song/ByteReader.h"
#include "song/Crc32.h"
#include "song/ProjectLayout.h"

#include <cstring>

namespace vantreel {

namespace {

constexpr char kHeaderTag[kExtensionTagSize] = {'V', 'N', 'T', 'R', 'L', 'E', 'X', 'T'};
constexpr char kFooterTag[kExtensionTagSize] = {'V', 'N', 'T', 'R', 'L', 'E', 'N', 'D'};
constexpr std::size_t kLineRecordSize = 2 + kArrangementLineSize;

bool LineIsEmpty(const Arrangement& arrangement, int line) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!(arrangement.Get(line, slot) == ArrangementEntry{})) {
            return false;
        }
    }
    return true;
}

void WritePluginRecords(ByteWriter& out, const ExtensionSlot slots[kSlotCount]) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const ExtensionSlot& s = slots[slot];
        out.U8(s.hasRecord ? 1 : 0);
        if (s.hasRecord) {
            out.I32(s.record.uniqueId);
            out.I32(s.record.numPrograms);
            out.I32(s.record.numParams);
            out.U8(s.record.programChunks ? 1 : 0);
            out.U64(s.record.recordSize);
        }
    }
}

void WriteArrangementLines(ByteWriter& out, const Arrangement& arrangement) {
    const std::size_t countAt = out.Size();
    out.U32(0);
    uint32_t count = 0;
    for (int line = kArrangementHeadLines; line < kArrangementLines; ++line) {
        if (LineIsEmpty(arrangement, line)) {
            continue;
        }
        out.U16(uint16_t(line));
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const ArrangementEntry e = arrangement.Get(line, slot);
            out.U8(e.patternCode);
            out.U8(e.aux);
        }
        ++count;
    }
    out.PatchU32(countAt, count);
}

bool HasLongNames(const ExtensionSlot slots[kSlotCount]) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (slots[slot].hasRecord && !slots[slot].longName.empty()) {
            return true;
        }
    }
    return false;
}

void WriteLongNames(ByteWriter& out, const ExtensionSlot slots[kSlotCount]) {
    const std::size_t countAt = out.Size();
    out.U32(0);
    uint32_t count = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const ExtensionSlot& s = slots[slot];
        if (s.hasRecord && !s.longName.empty()) {
            out.U8(uint8_t(slot));
            out.U32(uint32_t(s.longName.size()));
            out.Bytes(s.longName.data(), s.longName.size());
            ++count;
        }
    }
    out.PatchU32(countAt, count);
}

// A section is written with a length placeholder filled in afterwards.
template <typename Body> void WriteSection(ByteWriter& out, uint32_t id, Body body) {
    out.U32(id);
    const std::size_t lengthAt = out.Size();
    out.U32(0);
    body();
    out.PatchU32(lengthAt, uint32_t(out.Size() - lengthAt - 4));
}

bool ParsePluginRecords(ByteReader in, ProjectExtension& extension) {
    for (ExtensionSlot& s : extension.slots) {
        const uint8_t flag = in.U8();
        if (flag > 1) {
            return false;
        }
        s.hasRecord = flag == 1;
        if (!s.hasRecord) {
            continue;
        }
        s.record.uniqueId = in.I32();
        s.record.numPrograms = in.I32();
        s.record.numParams = in.I32();
        const uint8_t chunks = in.U8();
        s.record.recordSize = in.U64();
        if (!in.Ok() || chunks > 1 || s.record.numPrograms < 0 || s.record.numParams < 0) {
            return false;
        }
        s.record.programChunks = chunks == 1;
        if (s.record.recordSize < s.record.FixedSize() ||
            (!s.record.programChunks && s.record.recordSize != s.record.FixedSize())) {
            return false;
        }
    }
    return in.Ok() && in.Remaining() == 0;
}

bool ParseArrangementLines(ByteReader in, ProjectExtension& extension) {
    const uint32_t count = in.U32();
    if (!in.Ok() || in.Remaining() != uint64_t(count) * kLineRecordSize) {
        return false;
    }
    extension.lines.resize(count);
    int previous = kArrangementHeadLines - 1;
    for (ArrangementLineRecord& record : extension.lines) {
        record.line = in.U16();
        if (record.line <= previous || record.line >= kArrangementLines) {
            return false;
        }
        previous = record.line;
        for (ArrangementEntry& e : record.entries) {
            e.patternCode = in.U8();
            e.aux = in.U8();
        }
    }
    return in.Ok();
}

// Needs the plug-in records first: a long name belongs to a slot with a record.
bool ParseLongNames(ByteReader in, ProjectExtension& extension) {
    const uint32_t count = in.U32();
    if (!in.Ok() || count > uint32_t(kSlotCount)) {
        return false;
    }
    for (uint32_t n = 0; n < count; ++n) {
        const uint8_t slot = in.U8();
        const uint32_t length = in.U32();
        const uint8_t* bytes = length <= kMaxLongPluginName ? in.Bytes(length) : nullptr;
        if (!in.Ok() || bytes == nullptr || slot >= kSlotCount || length == 0) {
            return false;
        }
        ExtensionSlot& s = extension.slots[slot];
        if (!s.hasRecord || !s.longName.empty()) {
            return false;
        }
        s.longName.assign(reinterpret_cast<const char*>(bytes), length);
    }
    return in.Remaining() == 0;
}

bool ChecksumMatches(const uint8_t* bytes, std::size_t size, uint32_t stored) {
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Lets the fuzzer reach the parser behind the checksum.
    (void)bytes;
    (void)size;
    (void)stored;
    return true;
#else
    return Crc32(bytes, size) == stored;
#endif
}

} // namespace

uint64_t PluginRecordInfo::FixedSize() const {
    // Counts come from files: saturate rather than wrap, so a huge product is too big
    // for any file instead of looking small.
    const uint64_t values = uint64_t(numPrograms) * uint64_t(numParams);
    if (numPrograms < 0 || numParams < 0 || values > (uint64_t(1) << 60)) {
        return UINT64_MAX;
    }
    return kPluginNameSize + 4 + 4 * values + (programChunks ? 4 : 0);
}

void WriteExtension(ByteWriter& out, uint64_t baseSize, const ExtensionSlot slots[kSlotCount],
                    const Arrangement& arrangement) {
    const std::size_t start = out.Size();
    out.Bytes(kHeaderTag, sizeof kHeaderTag);
    out.U32(kExtensionVersion);
    out.U64(baseSize);
    WriteSection(out, kSectionPluginRecords, [&] { WritePluginRecords(out, slots); });
    WriteSection(out, kSectionArrangementLines, [&] { WriteArrangementLines(out, arrangement); });
    if (HasLongNames(slots)) {
        WriteSection(out, kSectionLongPluginNames, [&] { WriteLongNames(out, slots); });
    }
    const std::size_t bodySize = out.Size() - start;
    out.U32(uint32_t(bodySize + kExtensionFooterSize));
    out.U32(Crc32(out.Data() + start, bodySize));
    out.Bytes(kFooterTag, sizeof kFooterTag);
}

uint32_t ExtensionSizeFromFooter(const uint8_t* footer) {
    if (std::memcmp(footer + 8, kFooterTag, kExtensionTagSize) != 0) {
        return 0;
    }
    ByteReader in(footer, kExtensionFooterSize);
    return in.U32();
}

ExtensionParse ParseExtension(const uint8_t* bytes, std::size_t size, uint64_t fileSize) {
    ExtensionParse result;
    result.status = ExtensionStatus::Damaged;
    if (size < kExtensionHeaderSize + kExtensionFooterSize ||
        std::memcmp(bytes, kHeaderTag, kExtensionTagSize) != 0) {
        return result;
    }
    ByteReader footer(bytes + size - kExtensionFooterSize, kExtensionFooterSize);
    const uint32_t claimedSize = footer.U32();
    const uint32_t checksum = footer.U32();
    const std::size_t bodySize = size - kExtensionFooterSize;
    if (claimedSize != size || !ChecksumMatches(bytes, bodySize, checksum)) {
        return result;
    }
    ByteReader in(bytes, bodySize);
    in.Bytes(kExtensionTagSize);
    const uint32_t version = in.U32();
    if (version > kExtensionVersion) {
        result.status = ExtensionStatus::Newer;
        return result;
    }
    ProjectExtension& extension = result.extension;
    extension.baseSize = in.U64();
    if (version == 0 || extension.baseSize + size != fileSize) {
        return result;
    }
    bool sawPluginRecords = false;
    while (in.Remaining() > 0) {
        const uint32_t id = in.U32();
        const uint32_t length = in.U32();
        const uint8_t* payload = in.Bytes(length);
        if (!in.Ok()) {
            return result;
        }
        ByteReader section(payload, length);
        if (id == kSectionPluginRecords) {
            if (sawPluginRecords || !ParsePluginRecords(section, extension)) {
                return result;
            }
            sawPluginRecords = true;
        } else if (id == kSectionArrangementLines) {
            if (!ParseArrangementLines(section, extension)) {
                return result;
            }
        } else if (id == kSectionLongPluginNames) {
            if (!sawPluginRecords || !ParseLongNames(section, extension)) {
                return result;
            }
        }
    }
    if (sawPluginRecords && BaseSizeFor(extension.slots, fileSize) == extension.baseSize) {
        result.status = ExtensionStatus::Valid;
    }
    return result;
}

uint64_t BaseSizeFor(const ExtensionSlot slots[kSlotCount], uint64_t fileSize) {
    uint64_t total = uint64_t(kEmptyProjectSize);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!slots[slot].hasRecord) {
            continue;
        }
        // Each term is checked against the file, so the sum cannot wrap.
        if (slots[slot].record.recordSize > fileSize) {
            return 0;
        }
        total += slots[slot].record.recordSize;
    }
    return total;
}

void ApplyArrangementLines(const ProjectExtension& extension, Arrangement& arrangement) {
    for (const ArrangementLineRecord& record : extension.lines) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            arrangement.Set(record.line, slot, record.entries[slot]);
        }
    }
}

} // namespace vantreel
