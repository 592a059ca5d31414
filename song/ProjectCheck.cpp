#include "song/ProjectCheck.h"

#include "song/ByteReader.h"
#include "song/ProjectLayout.h"

#include <cstring>

namespace vantreel {

namespace {

constexpr uint8_t kNoPluginRecord = 0;
constexpr uint8_t kPluginRecord = 1;
// A plug-in record holds at least its name and its current program.
constexpr uint64_t kSmallestPluginRecord = kPluginNameSize + 4;

bool PlausibleHead(FileReader& file) {
    uint8_t head[kSongHeadSize];
    if (file.Read(head, sizeof head) != sizeof head) {
        return false;
    }
    ByteReader in(head, sizeof head);
    in.I32(); // loopStart: any value plays (the sequencer limits it)
    in.I32(); // songEnd: limited when read
    const int32_t sampleRate = in.I32();
    const int32_t masterVolume = in.I32();
    return sampleRate >= kMinUsableSampleRate && sampleRate <= kMaxUsableSampleRate &&
           masterVolume >= 0 && masterVolume <= kMaxMasterVolume;
}

bool PlausibleName(FileReader& file) {
    char name[kPluginNameSize];
    return file.Read(name, sizeof name) == sizeof name && name[0] != '\0' &&
           std::memchr(name, '\0', sizeof name) != nullptr;
}

} // namespace

bool IsPlausibleProject(FileReader& file, const ExtensionParse& extension) {
    const bool sized = extension.status == ExtensionStatus::Valid;
    bool plausible = file.Seek(0) && PlausibleHead(file);
    uint64_t at = kSongHeadSize;
    bool walking = true; // false once a record of unknown size was passed
    for (int slot = 0; slot < kSlotCount && plausible; ++slot) {
        if (!walking) {
            at += kEmptySlotRecordSize; // the least any later slot takes
            continue;
        }
        uint8_t flag = 0;
        plausible = file.Seek(at) && file.Read(&flag, 1) == 1 &&
                    (flag == kNoPluginRecord || flag == kPluginRecord);
        if (!plausible || flag == kNoPluginRecord) {
            at += kEmptySlotRecordSize;
            continue;
        }
        plausible = PlausibleName(file);
        if (sized) {
            at += kEmptySlotRecordSize + extension.extension.slots[slot].record.recordSize;
        } else {
            at += kEmptySlotRecordSize + kSmallestPluginRecord;
            walking = false;
        }
    }
    at += kArrangementHeadSize + kSettingsTailSize;
    plausible = plausible && at <= file.Size();
    file.Seek(0);
    return plausible;
}

} // namespace vantreel
