#include "editors/SongSetting.h"

#include "song/Song.h"

#include <atomic>

namespace vantreel {

namespace {

// One row per setting, in the enumeration's order.
const char* const kNames[kSongSettingCount] = {
    "Delay send",       "Reverb send",
    "Chorus send",      "Tempo",
    "Master volume",    "Compressor threshold",
    "Compressor ratio", "Compressor smoothness",
    "Low shelf",        "Peaking",
    "High shelf",       "Left delay",
    "Right delay",      "Left feedback",
    "Right feedback",   "Cross delay",
    "Reverb room",      "Reverb damp",
    "Reverb width",     "Reverb mode",
    "Chorus delay",     "Chorus LFO speed",
    "Chorus mod",       "Chorus feedback",
    "Loop start",       "Song end",
};

template <typename T> int32_t Read(const std::atomic<T>& field) {
    return int32_t(field.load());
}

template <typename T> void Store(std::atomic<T>& field, int32_t value) {
    field.store(static_cast<T>(value));
}

// The field behind a setting, handed to `use` with its own type.
template <typename SongType, typename Use>
decltype(auto) WithField(SongType& song, SongSetting setting, int slot, Use use) {
    auto& s = song.settings;
    auto& p = song.slots[slot];
    switch (setting) {
    case SongSetting::DelaySend:
        return use(p.sendDelay);
    case SongSetting::ReverbSend:
        return use(p.sendReverb);
    case SongSetting::ChorusSend:
        return use(p.sendChorus);
    case SongSetting::Tempo:
        return use(s.lineLength);
    case SongSetting::MasterVolume:
        return use(s.masterVolume);
    case SongSetting::CompressorThreshold:
        return use(s.compressor.threshold);
    case SongSetting::CompressorRatio:
        return use(s.compressor.ratio);
    case SongSetting::CompressorSmoothness:
        return use(s.compressor.smoothness);
    case SongSetting::LowShelf:
        return use(s.equalizer.lowGain);
    case SongSetting::Peaking:
        return use(s.equalizer.peakGain);
    case SongSetting::HighShelf:
        return use(s.equalizer.highGain);
    case SongSetting::DelayLeft:
        return use(s.delay.delayLeft);
    case SongSetting::DelayRight:
        return use(s.delay.delayRight);
    case SongSetting::FeedbackLeft:
        return use(s.delay.feedbackLeft);
    case SongSetting::FeedbackRight:
        return use(s.delay.feedbackRight);
    case SongSetting::CrossDelay:
        return use(s.delay.crossDelay);
    case SongSetting::ReverbRoom:
        return use(s.reverb.room);
    case SongSetting::ReverbDamp:
        return use(s.reverb.damp);
    case SongSetting::ReverbWidth:
        return use(s.reverb.width);
    case SongSetting::ReverbMode:
        return use(s.reverb.mode);
    case SongSetting::ChorusDelay:
        return use(s.chorus.chorusDelay);
    case SongSetting::LfoSpeed:
        return use(s.chorus.lfoSpeed);
    case SongSetting::ChorusMod:
        return use(s.chorus.chorusMod);
    case SongSetting::ChorusFeedback:
        return use(s.chorus.chorusFeedback);
    case SongSetting::LoopStart:
        return use(s.loopStart);
    case SongSetting::SongEnd:
        break;
    }
    return use(s.songEnd);
}

int SlotIndex(SongSetting setting, int slot) {
    return IsSlotSetting(setting) && slot >= 0 && slot < kSlotCount ? slot : 0;
}

} // namespace

bool IsSlotSetting(SongSetting setting) {
    return setting == SongSetting::DelaySend || setting == SongSetting::ReverbSend ||
           setting == SongSetting::ChorusSend;
}

int32_t ReadSongSetting(const Song& song, SongSetting setting, int slot) {
    return WithField(song, setting, SlotIndex(setting, slot),
                     [](const auto& field) { return Read(field); });
}

void StoreSongSetting(Song& song, SongSetting setting, int slot, int32_t value) {
    WithField(song, setting, SlotIndex(setting, slot),
              [value](auto& field) { Store(field, value); });
}

const char* SongSettingName(SongSetting setting) {
    const int index = int(setting);
    return index >= 0 && index < kSongSettingCount ? kNames[index] : "Setting";
}

} // namespace vantreel
