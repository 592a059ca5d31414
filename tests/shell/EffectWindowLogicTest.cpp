// The delay, reverb and chorus windows' logic without widgets: value label texts,
// synchro buttons, the ready flag, and which setting each slider stores into.

#include "shell/EffectWindowLogic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <string>

namespace vantreel::test {
namespace {

using Snapshot = std::map<std::string, int>;

// Every field of the settings block, by name.
Snapshot Take(const SongSettings& s) {
    return {
        {"sampleRate", s.sampleRate},
        {"masterVolume", s.masterVolume},
        {"lineLength", s.lineLength},
        {"loopStart", s.loopStart},
        {"songEnd", s.songEnd},
        {"threshold", s.compressor.threshold},
        {"ratio", s.compressor.ratio},
        {"smoothness", s.compressor.smoothness},
        {"lowGain", s.equalizer.lowGain},
        {"peakGain", s.equalizer.peakGain},
        {"highGain", s.equalizer.highGain},
        {"room", s.reverb.room},
        {"damp", s.reverb.damp},
        {"width", s.reverb.width},
        {"mode", s.reverb.mode},
        {"delayLeft", s.delay.delayLeft},
        {"delayRight", s.delay.delayRight},
        {"feedbackLeft", s.delay.feedbackLeft},
        {"feedbackRight", s.delay.feedbackRight},
        {"crossDelay", s.delay.crossDelay},
        {"lfoSpeed", s.chorus.lfoSpeed},
        {"chorusDelay", s.chorus.chorusDelay},
        {"chorusMod", s.chorus.chorusMod},
        {"chorusFeedback", s.chorus.chorusFeedback},
    };
}

// The fields that differ between two snapshots, with their new values.
Snapshot Changes(const Snapshot& before, const Snapshot& after) {
    Snapshot changed;
    for (const auto& [name, value] : after) {
        if (before.at(name) != value) {
            changed[name] = value;
        }
    }
    return changed;
}

std::vector<std::string> Labels(const EffectWindowLogic& logic) {
    std::vector<std::string> labels;
    for (int n = 0; n < int(logic.Table().sliders.size()); ++n) {
        labels.push_back(logic.LabelText(n));
    }
    return labels;
}

EffectWindowLogic ReadyWindow(SongSettings& settings, EffectWindowKind kind) {
    EffectWindowLogic logic(settings, kind);
    logic.SetReady(true);
    return logic;
}

TEST(EffectWindowLabels, DefaultSettingsReadAsTheWindowsShowThem) {
    SongSettings settings;
    EXPECT_EQ(Labels(EffectWindowLogic(settings, EffectWindowKind::Delay)),
              (std::vector<std::string>{"359.2 ms.", "359.2 ms.", "54.7%", "54.7%"}));
    EXPECT_EQ(Labels(EffectWindowLogic(settings, EffectWindowKind::Reverb)),
              (std::vector<std::string>{"62.5%", "50.0%", "100.0%", "Stereo"}));
    EXPECT_EQ(Labels(EffectWindowLogic(settings, EffectWindowKind::Chorus)),
              (std::vector<std::string>{"0.9 ms.", "36", "49.2%", "0.0%"}));
}

TEST(EffectWindowLabels, FormatsAcrossTheRanges) {
    using S = ValueLabelStyle;
    EXPECT_EQ(EffectValueText(S::ReverbMode, 0), "Stereo");
    EXPECT_EQ(EffectValueText(S::ReverbMode, 64), "Stereo"); // although the reverb freezes
    EXPECT_EQ(EffectValueText(S::ReverbMode, 65), "Linked");
    EXPECT_EQ(EffectValueText(S::ReverbMode, 128), "Linked");
    EXPECT_EQ(EffectValueText(S::DelayMilliseconds, 0), "0.0 ms.");
    EXPECT_EQ(EffectValueText(S::DelayMilliseconds, 44100), "1000.0 ms.");
    EXPECT_EQ(EffectValueText(S::ChorusMilliseconds, 4096), "92.9 ms.");
    EXPECT_EQ(EffectValueText(S::Percent, 128), "100.0%");
    EXPECT_EQ(EffectValueText(S::Percent, 1), "0.8%");
    EXPECT_EQ(EffectValueText(S::Number, 0), "0");
    EXPECT_EQ(EffectValueText(S::Number, 256), "256");
}

TEST(EffectWindowLabels, ReverbModeLabelFollowsTheStoredMode) {
    SongSettings settings;
    EffectWindowLogic logic = ReadyWindow(settings, EffectWindowKind::Reverb);
    logic.OnSliderChanged(3, 64);
    EXPECT_EQ(logic.LabelText(3), "Stereo");
    logic.OnSliderChanged(3, 65);
    EXPECT_EQ(logic.LabelText(3), "Linked");
}

TEST(EffectWindowSynchro, SetsWholeLinesClampedToOneSecond) {
    SongSettings settings;
    EffectWindowLogic logic = ReadyWindow(settings, EffectWindowKind::Delay);
    const SynchroRow& left = logic.Table().synchroRows[0];
    const SynchroRow& right = logic.Table().synchroRows[1];

    EXPECT_EQ(logic.OnSynchro(left, 6), 31752);
    EXPECT_EQ(settings.delay.delayLeft, 31752);
    EXPECT_EQ(logic.LabelText(left.sliderIndex), "720.0 ms.");
    EXPECT_EQ(settings.delay.delayRight, 15840) << "the left row set the right delay";

    EXPECT_EQ(logic.OnSynchro(right, 1), 5292);
    EXPECT_EQ(settings.delay.delayRight, 5292);
    EXPECT_EQ(settings.delay.delayLeft, 31752);

    settings.lineLength = 16384;
    EXPECT_EQ(logic.OnSynchro(left, 2), 32768);
    for (int multiple = 3; multiple <= kSynchroButtonCount; ++multiple) {
        EXPECT_EQ(logic.OnSynchro(left, multiple), 44100) << "x" << multiple;
        EXPECT_EQ(settings.delay.delayLeft, 44100);
        EXPECT_EQ(logic.LabelText(left.sliderIndex), "1000.0 ms.");
    }
}

TEST(EffectWindowSynchro, ADamagedTempoCannotWrapIntoAShortDelay) {
    SongSettings settings;
    EffectWindowLogic logic = ReadyWindow(settings, EffectWindowKind::Delay);
    settings.lineLength = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(logic.OnSynchro(logic.Table().synchroRows[0], 6), 44100);
    settings.lineLength = -5;
    EXPECT_EQ(logic.OnSynchro(logic.Table().synchroRows[0], 2), 0);
}

TEST(EffectWindowStores, NothingIsStoredBeforeTheWindowIsReady) {
    for (EffectWindowKind kind :
         {EffectWindowKind::Delay, EffectWindowKind::Reverb, EffectWindowKind::Chorus}) {
        SongSettings settings;
        const Snapshot before = Take(settings);
        EffectWindowLogic logic(settings, kind);
        ASSERT_FALSE(logic.Ready());
        for (int n = 0; n < int(logic.Table().sliders.size()); ++n) {
            const bool refresh = logic.OnSliderChanged(n, 1);
            // Only the reverb window waits for the ready flag with its labels.
            EXPECT_EQ(refresh, kind != EffectWindowKind::Reverb) << logic.Table().title;
        }
        for (const SynchroRow& row : logic.Table().synchroRows) {
            logic.OnSynchro(row, 1);
        }
        EXPECT_EQ(Changes(before, Take(settings)), Snapshot{}) << logic.Table().title;
    }
}

// Each slider of each window, moved to a position no setting holds by default, must
// change its own field to that position and nothing else in the settings block.
TEST(EffectWindowStores, EverySliderWritesItsOwnFieldAndNoOther) {
    const std::map<EffectField, std::string> names = {
        {EffectField::DelayLeft, "delayLeft"},
        {EffectField::DelayRight, "delayRight"},
        {EffectField::FeedbackLeft, "feedbackLeft"},
        {EffectField::FeedbackRight, "feedbackRight"},
        {EffectField::Room, "room"},
        {EffectField::Damp, "damp"},
        {EffectField::Width, "width"},
        {EffectField::Mode, "mode"},
        {EffectField::ChorusDelay, "chorusDelay"},
        {EffectField::LfoSpeed, "lfoSpeed"},
        {EffectField::ChorusMod, "chorusMod"},
        {EffectField::ChorusFeedback, "chorusFeedback"},
    };
    const std::map<EffectWindowKind, std::vector<std::string>> expected = {
        {EffectWindowKind::Delay, {"delayLeft", "delayRight", "feedbackLeft", "feedbackRight"}},
        {EffectWindowKind::Reverb, {"room", "damp", "width", "mode"}},
        {EffectWindowKind::Chorus, {"chorusDelay", "lfoSpeed", "chorusMod", "chorusFeedback"}},
    };
    for (const auto& [kind, fields] : expected) {
        SongSettings settings;
        EffectWindowLogic logic = ReadyWindow(settings, kind);
        ASSERT_EQ(logic.Table().sliders.size(), fields.size());
        for (int n = 0; n < int(fields.size()); ++n) {
            const EffectSlider& slider = logic.Table().sliders[n];
            EXPECT_EQ(names.at(slider.field), fields[n]) << slider.leftText;
            const int position = slider.range.maximum - 1 - n;
            const Snapshot before = Take(settings);
            EXPECT_TRUE(logic.OnSliderChanged(n, position));
            EXPECT_EQ(Changes(before, Take(settings)), (Snapshot{{fields[n], position}}))
                << logic.Table().title << " " << slider.leftText;
            EXPECT_EQ(logic.InitialPosition(n), position);
        }
    }
}

TEST(EffectWindowStores, ByteFieldsTakeTheLowEightBitsAndWordsTheWholePosition) {
    SongSettings settings;
    StoreEffectField(settings, EffectField::FeedbackLeft, 0x1FF);
    EXPECT_EQ(settings.delay.feedbackLeft, 0xFF);
    StoreEffectField(settings, EffectField::Mode, 0x180);
    EXPECT_EQ(settings.reverb.mode, 0x80);
    StoreEffectField(settings, EffectField::DelayRight, 44100);
    EXPECT_EQ(settings.delay.delayRight, 44100);
    StoreEffectField(settings, EffectField::LfoSpeed, 256);
    EXPECT_EQ(settings.chorus.lfoSpeed, 256);
    StoreEffectField(settings, EffectField::ChorusDelay, 4096);
    EXPECT_EQ(settings.chorus.chorusDelay, 4096);
}

TEST(EffectWindowStores, CrossDelayStoresOneOrZeroWithoutWaitingForReady) {
    SongSettings settings;
    EffectWindowLogic logic(settings, EffectWindowKind::Delay);
    EXPECT_TRUE(logic.CrossDelayChecked());
    logic.OnCrossDelay(false);
    EXPECT_EQ(settings.delay.crossDelay, 0);
    EXPECT_FALSE(logic.CrossDelayChecked());
    logic.OnCrossDelay(true);
    EXPECT_EQ(settings.delay.crossDelay, 1);
}

TEST(EffectWindowLayout, RowsSitInTheirColumns) {
    const EffectWindowTable& delay = EffectWindow(EffectWindowKind::Delay);
    EXPECT_STREQ(delay.title, "Delay FX");
    EXPECT_EQ(delay.width, 262);
    EXPECT_EQ(delay.height, 116);
    EXPECT_EQ(EffectWindow(EffectWindowKind::Reverb).height, 68);
    EXPECT_EQ(EffectWindow(EffectWindowKind::Chorus).height, 68);
    const auto same = [](DialogRect a, DialogRect b) {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    };
    EXPECT_TRUE(same(LeftTextRect(20), {4, 20, 64, 12}));
    EXPECT_TRUE(same(EffectSliderRect(36), {68, 36, 128, 12}));
    EXPECT_TRUE(same(ValueLabelRect(52), {196, 52, 64, 12}));
    EXPECT_TRUE(same(SynchroButtonRect(68, 0), {68, 68, 16, 12}));
    EXPECT_TRUE(same(SynchroButtonRect(84, 5), {148, 84, 16, 12}));
    EXPECT_TRUE(same(CrossDelayRect(100), {68, 100, 64, 12}));
    EXPECT_EQ(SynchroButtonText(0), "x1");
    EXPECT_EQ(SynchroButtonText(5), "x6");
}

} // namespace
} // namespace vantreel::test
