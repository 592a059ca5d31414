#include "effects/StereoDelay.h"

#include "SignalHelpers.h"

#include <gtest/gtest.h>

#include <memory>

namespace vantreel {
namespace {

constexpr int kBlock = 256;

struct DelayRun {
    std::vector<float> left;
    std::vector<float> right;
};

// Feeds the given input through a fresh delay in blocks, as the engine does.
DelayRun RunDelay(const DelaySettings& settings, std::vector<float> left,
                  std::vector<float> right) {
    auto delay = std::make_unique<StereoDelay>();
    test::InBlocks(left, right, kBlock,
                   [&](float* l, float* r, int frames) { delay->Process(l, r, frames, settings); });
    return {left, right};
}

std::vector<float> Impulse(int frames, int at, float value = 1.0f) {
    std::vector<float> v(frames);
    v[at] = value;
    return v;
}

TEST(StereoDelay, CrossModeImpulseTravelsLeftRightLeft) {
    DelaySettings s;
    s.delayLeft = 300;
    s.delayRight = 113;
    s.feedbackLeft = 64;  // 0.5
    s.feedbackRight = 96; // 0.75
    s.crossDelay = true;
    const int frames = 4 * kBlock;
    const DelayRun out = RunDelay(s, Impulse(frames, 5), std::vector<float>(frames));

    std::vector<float> wantLeft(frames), wantRight(frames);
    wantLeft[5 + 300] = 1.0f;             // after delayLeft
    wantRight[5 + 300 + 113] = 0.75f;     // after delayLeft + delayRight, times fR
    wantLeft[5 + 2 * 300 + 113] = 0.375f; // after 2 delayLeft + delayRight, times fR fL
    wantRight[5 + 2 * 300 + 2 * 113] = 0.375f * 0.75f;
    EXPECT_EQ(out.left, wantLeft);
    EXPECT_EQ(out.right, wantRight);
}

TEST(StereoDelay, CrossModeIgnoresTheRightInput) {
    DelaySettings s;
    s.delayLeft = 50;
    s.delayRight = 70;
    const int frames = 3 * kBlock;
    const DelayRun out = RunDelay(s, std::vector<float>(frames), Impulse(frames, 0));
    EXPECT_EQ(out.left, std::vector<float>(frames));
    EXPECT_EQ(out.right, std::vector<float>(frames));
}

TEST(StereoDelay, NormalModeKeepsTheChannelsApart) {
    DelaySettings s;
    s.delayLeft = 100;
    s.delayRight = 250;
    s.feedbackLeft = 32; // 0.25
    s.feedbackRight = 0;
    s.crossDelay = false;
    const int frames = 2 * kBlock;
    const DelayRun out = RunDelay(s, Impulse(frames, 0), Impulse(frames, 1, 0.5f));

    std::vector<float> wantLeft(frames), wantRight(frames);
    wantLeft[100] = 1.0f;
    wantLeft[200] = 0.25f;
    wantLeft[300] = 0.0625f;
    wantLeft[400] = 0.015625f;
    wantLeft[500] = 0.00390625f;
    wantRight[251] = 0.5f;
    EXPECT_EQ(out.left, wantLeft);
    EXPECT_EQ(out.right, wantRight);
}

// Times 0 and 44100 both read the slot about to be overwritten: the sample written
// one whole line earlier. A damaged time beyond the line reads no further back.
TEST(StereoDelay, ZeroAndFullTimesReadOneLineBack) {
    for (int time : {0, kDelayLineLength, 65535}) {
        SCOPED_TRACE(time);
        DelaySettings s;
        s.delayLeft = time;
        s.delayRight = time;
        s.feedbackLeft = 0;
        s.feedbackRight = 0;
        s.crossDelay = false;
        const int frames = kDelayLineLength + 2 * kBlock;
        std::vector<float> ramp(frames);
        for (int i = 0; i < frames; ++i) {
            ramp[i] = float(i + 1);
        }
        const DelayRun out = RunDelay(s, ramp, ramp);
        for (int i = 0; i < frames; ++i) {
            const float want = i < kDelayLineLength ? 0.0f : ramp[i - kDelayLineLength];
            ASSERT_EQ(out.left[i], want) << i;
            ASSERT_EQ(out.right[i], want) << i;
        }
    }
}

TEST(StereoDelay, FullFeedbackNeitherGrowsNorDecays) {
    for (bool cross : {false, true}) {
        SCOPED_TRACE(cross);
        DelaySettings s;
        s.delayLeft = 1000;
        s.delayRight = 1000;
        s.feedbackLeft = 128;
        s.feedbackRight = 128;
        s.crossDelay = cross;
        const int frames = 200 * kBlock;
        const DelayRun out = RunDelay(s, Impulse(frames, 0, 0.3f), Impulse(frames, 0, 0.3f));
        const std::vector<float>& channel = cross ? out.right : out.left;
        const int period = cross ? 2000 : 1000;
        const int first = cross ? 2000 : 1000;
        int echoes = 0;
        for (int i = first; i < frames; i += period) {
            ASSERT_EQ(channel[i], 0.3f) << i;
            ++echoes;
        }
        EXPECT_GT(echoes, 20);
    }
}

} // namespace
} // namespace vantreel
