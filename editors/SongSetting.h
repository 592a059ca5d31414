#pragma once
// Every setting of the song a slider, box or key edits: the slots' send levels, the
// tempo and master volume, the compressor, the equalizer, the three effects and the
// loop range. One id names each, so a change can be recorded, told and put back the
// same way whichever window made it.
//
// Threads: user-interface thread. Every store is one atomic store the audio thread
// picks up at its next block.

#include <cstdint>

namespace vantreel {

struct Song;

enum class SongSetting : uint8_t {
    DelaySend, // the three sends belong to a slot
    ReverbSend,
    ChorusSend,
    Tempo, // samples per line
    MasterVolume,
    CompressorThreshold,
    CompressorRatio,
    CompressorSmoothness,
    LowShelf,
    Peaking,
    HighShelf,
    DelayLeft,
    DelayRight,
    FeedbackLeft,
    FeedbackRight,
    CrossDelay,
    ReverbRoom,
    ReverbDamp,
    ReverbWidth,
    ReverbMode,
    ChorusDelay,
    LfoSpeed,
    ChorusMod,
    ChorusFeedback,
    LoopStart,
    SongEnd,
};

constexpr int kSongSettingCount = int(SongSetting::SongEnd) + 1;

// True for the settings that belong to one slot rather than to the song.
bool IsSlotSetting(SongSetting setting);
// `slot` is used only by slot settings and must then name a slot.
int32_t ReadSongSetting(const Song& song, SongSetting setting, int slot);
// Narrower fields take the value's low bits, as the sliders always stored them.
void StoreSongSetting(Song& song, SongSetting setting, int slot, int32_t value);
// What the status line calls a change of it ("Tempo", "Reverb room").
const char* SongSettingName(SongSetting setting);

} // namespace vantreel
