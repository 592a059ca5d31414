#include "ProjectTestSupport.h"

#include "plugins/PluginCalls.h"

#include <random>

namespace vantreel::test {

void SetPluginValues(AudioEngine& engine, int slot, int seed) {
    AEffect* e = engine.LivePlugin(slot);
    for (int p = 0; p < e->numPrograms; ++p) {
        plugin::SetProgram(e, p);
        for (int k = 0; k < e->numParams; ++k) {
            e->setParameter(e, k, float((seed * 7 + p * 13 + k * 3) % 17) / 16.0f);
        }
    }
    plugin::SetProgram(e, e->numPrograms > 1 ? 1 : 0);
}

void FillSong(AudioEngine& engine, uint32_t seed) {
    std::mt19937 random(seed);
    Song& song = engine.song;
    for (int slot = 0; slot < kSlotCount; slot += 3) {
        PluginSlot& s = song.slots[slot];
        s.sendDelay = uint8_t(10 + slot);
        s.sendReverb = uint8_t(128 - slot);
        s.sendChorus = uint8_t(slot * 5);
        for (int p = 0; p < kPatternsPerSlot; p += 5) {
            Pattern& pattern = s.patterns[p];
            pattern.SetName(("Pattern " + std::to_string(slot) + "/" + std::to_string(p)).c_str());
            pattern.name[kTextSize - 1] = char(p); // bytes after the terminator are kept too
            pattern.SetLength(uint16_t(p == 5 ? 300 : 16 + p * 8)); // 300: only from files
            for (int line = 0; line < kPatternLines; line += 1 + int(random() % 3)) {
                const int track = int(random() % kTracks);
                pattern.SetCell(line, track,
                                {uint8_t(0x90 | (random() % 16)), uint8_t(random() % 128),
                                 uint8_t(random() % 128), uint8_t(random() % 2)});
            }
            pattern.SetCell(kPatternLines - 1, kTracks - 1, {0xFE, 1, 2, 3});
        }
    }
    for (int line = 0; line < kArrangementLines; line += 16) {
        const int slot = int(random() % kSlotCount);
        song.arrangement.Set(line, slot, {uint8_t(random() % kPatternsPerSlot), uint8_t(line % 7)});
    }
    song.arrangement.Set(3, 1, {kPatternCodeBreak, 0});
    song.arrangement.Set(30, 4, {200, 9}); // codes 26..253 only come from files
    song.arrangement.Set(kArrangementLines - 1, kSlotCount - 1, {7, 255});

    SongSettings& st = song.settings;
    st.loopStart = 32;
    st.songEnd = 4096;
    st.masterVolume = 25000;
    st.lineLength = 4410;
    st.compressor.threshold = 90;
    st.compressor.ratio = 3;
    st.compressor.smoothness = 20;
    st.equalizer.lowGain = -5;
    st.equalizer.peakGain = 7;
    st.equalizer.highGain = -16;
    st.reverb.room = 70;
    st.reverb.damp = 30;
    st.reverb.width = 100;
    st.reverb.mode = 1;
    st.delay.delayLeft = 11025;
    st.delay.delayRight = 22050;
    st.delay.feedbackLeft = 40;
    st.delay.feedbackRight = 50;
    st.delay.crossDelay = 0;
    st.chorus.lfoSpeed = 50;
    st.chorus.chorusDelay = 60;
    st.chorus.chorusMod = 33;
    st.chorus.chorusFeedback = 12;
}

namespace {

void ExpectSamePattern(const Pattern& a, const Pattern& b, int slot, int p) {
    ASSERT_EQ(0, std::memcmp(a.name, b.name, kTextSize)) << "slot " << slot << " pattern " << p;
    ASSERT_EQ(a.Length(), b.Length()) << "slot " << slot << " pattern " << p;
    for (int line = 0; line < kPatternLines; ++line) {
        for (int track = 0; track < kTracks; ++track) {
            ASSERT_EQ(a.Cell(line, track), b.Cell(line, track))
                << "slot " << slot << " pattern " << p << " line " << line << " track " << track;
        }
    }
}

} // namespace

void ExpectSameSong(const AudioEngine& expected, const AudioEngine& actual) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const PluginSlot& a = expected.song.slots[slot];
        const PluginSlot& b = actual.song.slots[slot];
        ASSERT_EQ(a.IsInstanced(), b.IsInstanced()) << "slot " << slot;
        if (a.IsInstanced()) {
            EXPECT_STREQ(a.dllName, b.dllName);
        }
        EXPECT_EQ(a.sendDelay, b.sendDelay);
        EXPECT_EQ(a.sendReverb, b.sendReverb);
        EXPECT_EQ(a.sendChorus, b.sendChorus);
        for (int p = 0; p < kPatternsPerSlot; ++p) {
            ExpectSamePattern(a.patterns[p], b.patterns[p], slot, p);
        }
    }
    for (int line = 0; line < kArrangementLines; ++line) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            ASSERT_EQ(expected.song.arrangement.Get(line, slot),
                      actual.song.arrangement.Get(line, slot))
                << "line " << line << " slot " << slot;
        }
    }
    const SongSettings& x = expected.song.settings;
    const SongSettings& y = actual.song.settings;
    EXPECT_EQ(x.loopStart, y.loopStart);
    EXPECT_EQ(x.songEnd, y.songEnd);
    EXPECT_EQ(x.sampleRate, y.sampleRate);
    EXPECT_EQ(x.masterVolume, y.masterVolume);
    EXPECT_EQ(x.lineLength, y.lineLength);
    EXPECT_EQ(x.compressor.threshold, y.compressor.threshold);
    EXPECT_EQ(x.compressor.ratio, y.compressor.ratio);
    EXPECT_EQ(x.compressor.smoothness, y.compressor.smoothness);
    EXPECT_EQ(x.equalizer.lowGain, y.equalizer.lowGain);
    EXPECT_EQ(x.equalizer.peakGain, y.equalizer.peakGain);
    EXPECT_EQ(x.equalizer.highGain, y.equalizer.highGain);
    EXPECT_EQ(x.reverb.room, y.reverb.room);
    EXPECT_EQ(x.reverb.damp, y.reverb.damp);
    EXPECT_EQ(x.reverb.width, y.reverb.width);
    EXPECT_EQ(x.reverb.mode, y.reverb.mode);
    EXPECT_EQ(x.delay.delayLeft, y.delay.delayLeft);
    EXPECT_EQ(x.delay.delayRight, y.delay.delayRight);
    EXPECT_EQ(x.delay.feedbackLeft, y.delay.feedbackLeft);
    EXPECT_EQ(x.delay.feedbackRight, y.delay.feedbackRight);
    EXPECT_EQ(x.delay.crossDelay, y.delay.crossDelay);
    EXPECT_EQ(x.chorus.lfoSpeed, y.chorus.lfoSpeed);
    EXPECT_EQ(x.chorus.chorusDelay, y.chorus.chorusDelay);
    EXPECT_EQ(x.chorus.chorusMod, y.chorus.chorusMod);
    EXPECT_EQ(x.chorus.chorusFeedback, y.chorus.chorusFeedback);
}

} // namespace vantreel::test
