#include "engine/MasterEffects.h"

#include "SignalHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace vantreel {
namespace {

// One block's buffers as the engine hands them over: sends carrying the fill.
struct BlockBuffers {
    SendBuffers sendLeft;
    SendBuffers sendRight;
    float mixLeft[kBlockFrames] = {};
    float mixRight[kBlockFrames] = {};

    BlockBuffers() {
        for (int k = 0; k < kSendCount; ++k) {
            std::fill(std::begin(sendLeft[k]), std::end(sendLeft[k]), kDenormalFill);
            std::fill(std::begin(sendRight[k]), std::end(sendRight[k]), kDenormalFill);
        }
    }
    void Process(MasterEffects& fx, const SongSettings& s, bool reverbActive) {
        fx.Process(s, reverbActive, sendLeft, sendRight, mixLeft, mixRight);
    }
};

// Feeds `blocks` blocks of noise into the reverb send, returning the reverb's output
// of the last block.
std::vector<float> ReverbBlocks(MasterEffects& fx, const SongSettings& s, test::Noise& noise,
                                int blocks, bool active) {
    std::vector<float> out;
    for (int b = 0; b < blocks; ++b) {
        BlockBuffers buffers;
        for (int i = 0; i < kBlockFrames; ++i) {
            buffers.sendLeft[kSendReverb][i] += noise.Next() * 0.2f;
        }
        buffers.Process(fx, s, active);
        out.assign(std::begin(buffers.sendLeft[kSendReverb]),
                   std::end(buffers.sendLeft[kSendReverb]));
    }
    return out;
}

// Blocks without a reverb send neither run the reverb nor touch its memory: the
// tail resumes exactly where it stopped, and the send comes back as it went in.
TEST(MasterEffects, ReverbRestsWhileNoSlotSendsToIt) {
    SongSettings s;
    auto resting = std::make_unique<MasterEffects>();
    auto straight = std::make_unique<MasterEffects>();
    test::Noise noiseA(1), noiseB(1);
    ReverbBlocks(*resting, s, noiseA, 10, true);
    ReverbBlocks(*straight, s, noiseB, 10, true);

    s.reverb.room = 20; // parameters are applied only to blocks the reverb processes
    BlockBuffers idle;
    for (int b = 0; b < 5; ++b) {
        idle = BlockBuffers();
        idle.Process(*resting, s, false);
    }
    EXPECT_FLOAT_EQ(resting->Reverb().RoomSize(), 0.875f);
    for (int i = 0; i < kBlockFrames; ++i) {
        ASSERT_EQ(idle.sendLeft[kSendReverb][i], kDenormalFill);
        ASSERT_EQ(idle.sendRight[kSendReverb][i], kDenormalFill);
    }
    s.reverb.room = 80;
    test::Noise again(9);
    const std::vector<float> resumed = ReverbBlocks(*resting, s, again, 1, true);
    test::Noise same(9);
    EXPECT_EQ(resumed, ReverbBlocks(*straight, s, same, 1, true));
}

TEST(MasterEffects, ReverbParametersReachTheModel) {
    SongSettings s;
    s.reverb.room = 128;
    s.reverb.damp = 0;
    s.reverb.width = 0;
    s.reverb.mode = 64;
    auto fx = std::make_unique<MasterEffects>();
    BlockBuffers buffers;
    buffers.Process(*fx, s, true);
    EXPECT_FLOAT_EQ(fx->Reverb().RoomSize(), 0.98f);
    EXPECT_EQ(fx->Reverb().DampValue(), 0.0f);
    EXPECT_EQ(fx->Reverb().Width(), 0.0f);
    EXPECT_EQ(fx->Reverb().Mode(), 1.0f);
    EXPECT_EQ(fx->Reverb().Wet(), 1.0f);
}

// A constant 0.5 dry signal with default settings and no sends reaches the output
// as 0.5: the effect returns of the fill are far below the output's resolution.
TEST(MasterEffects, DefaultChainPassesTheDrySignal) {
    SongSettings s;
    auto fx = std::make_unique<MasterEffects>();
    for (int b = 0; b < 50; ++b) {
        BlockBuffers buffers;
        std::fill(std::begin(buffers.mixLeft), std::end(buffers.mixLeft), 0.5f);
        std::fill(std::begin(buffers.mixRight), std::end(buffers.mixRight), 0.5f);
        buffers.Process(*fx, s, false);
        for (int i = 0; i < kBlockFrames; ++i) {
            ASSERT_NEAR(buffers.mixLeft[i], 0.5f, 1e-20);
            ASSERT_NEAR(buffers.mixRight[i], 0.5f, 1e-20);
        }
    }
    EXPECT_NEAR(fx->PeakLeft(), 0.5f, 1e-6);
    EXPECT_EQ(VuBarPosition(s.masterVolume, fx->PeakLeft()), 62);
}

// The meter reads the mix after the compressor and the equalizer.
TEST(MasterEffects, MeterMeasuresAfterTheCompressor) {
    SongSettings s;
    s.compressor.ratio = 16;
    s.compressor.threshold = 32;
    s.compressor.smoothness = 0;
    auto fx = std::make_unique<MasterEffects>();
    for (int b = 0; b < 2000; ++b) {
        BlockBuffers buffers;
        std::fill(std::begin(buffers.mixLeft), std::end(buffers.mixLeft), 0.9f);
        std::fill(std::begin(buffers.mixRight), std::end(buffers.mixRight), -0.3f);
        buffers.Process(*fx, s, false);
    }
    EXPECT_NEAR(fx->CompEnvelope(), 0.25f / 0.9f, 1e-4);
    EXPECT_NEAR(fx->PeakLeft(), 0.25f, 1e-4);
    EXPECT_NEAR(fx->PeakRight(), 0.3f * 0.25f / 0.9f, 1e-4);
}

// Notes that strike and die away, with pauses, through the equalizer and compressor:
// after every block the meters read exactly what measuring the finished mix one
// sample after another gives, so a shortcut in the meter can never show.
TEST(MasterEffects, MetersReadTheFinishedMixSampleBySample) {
    SongSettings s;
    s.equalizer.lowGain = 5;
    s.compressor.ratio = 6;
    s.compressor.threshold = 40;
    auto fx = std::make_unique<MasterEffects>();
    float expectedLeft = 0.0f;
    float expectedRight = 0.0f;
    double phase = 0.0;
    for (int b = 0; b < 3000; ++b) {
        BlockBuffers buffers;
        const int note = b % 200;
        // A strike every 200 blocks, some louder than others, then 60 blocks of rest.
        const double level =
            note < 140 ? (0.2 + 0.1 * (b / 200 % 5)) * std::exp(-note / 25.0) : 0.0;
        for (int i = 0; i < kBlockFrames; ++i) {
            phase += 0.03 + 0.0001 * (b % 7);
            buffers.mixLeft[i] = float(level * std::sin(phase));
            buffers.mixRight[i] = float(0.7 * level * std::sin(1.5 * phase));
        }
        buffers.Process(*fx, s, false);
        expectedLeft = PeakMeter::MeasureBySample(expectedLeft, buffers.mixLeft, kBlockFrames);
        expectedRight = PeakMeter::MeasureBySample(expectedRight, buffers.mixRight, kBlockFrames);
        ASSERT_EQ(expectedLeft, fx->PeakLeft()) << "block " << b;
        ASSERT_EQ(expectedRight, fx->PeakRight()) << "block " << b;
    }
}

// A damaged project can hold any byte or word; the chain must stay finite and keep
// every read inside its lines (the sanitizer build checks the latter).
TEST(MasterEffects, OutOfRangeSettingsStayFinite) {
    SongSettings s;
    s.delay.delayLeft = 65535;
    s.delay.delayRight = 50000;
    s.delay.feedbackLeft = 255;
    s.delay.feedbackRight = 255;
    s.chorus.chorusDelay = 65535;
    s.chorus.chorusMod = 255;
    s.chorus.chorusFeedback = 255;
    s.chorus.lfoSpeed = 65535;
    s.reverb.room = 255;
    s.reverb.damp = 255;
    s.equalizer.lowGain = 127;
    s.equalizer.highGain = -128;
    s.compressor.ratio = 255;
    s.sampleRate = 0;
    auto fx = std::make_unique<MasterEffects>();
    test::Noise noise(4);
    for (int b = 0; b < 1500; ++b) {
        BlockBuffers buffers;
        for (int k = 0; k < kSendCount; ++k) {
            for (int i = 0; i < kBlockFrames; ++i) {
                buffers.sendLeft[k][i] = 0.1f * noise.Next();
                buffers.sendRight[k][i] = 0.1f * noise.Next();
            }
        }
        buffers.Process(*fx, s, true);
        for (int i = 0; i < kBlockFrames; ++i) {
            ASSERT_TRUE(std::isfinite(buffers.mixLeft[i])) << b << " " << i;
            ASSERT_TRUE(std::isfinite(buffers.mixRight[i])) << b << " " << i;
        }
    }
}

TEST(MasterEffects, MeterReadings) {
    EXPECT_EQ(VuBarPosition(32768, 1.0f), 128);
    EXPECT_EQ(VuBarPosition(32000, 1.0f), 125);
    EXPECT_EQ(VuBarPosition(32000, 0.0001f), 0);
    EXPECT_EQ(VuBarPosition(0, 0.7f), 0);
    EXPECT_EQ(VuBarPosition(32768, 3.0f), 128); // a clipping mix still fits the bar
    EXPECT_EQ(VuBarPosition(32768, NAN), 0);
    EXPECT_EQ(CpuPercent(12.99), 12);
    EXPECT_EQ(CpuPercent(0.5), 0);
    EXPECT_EQ(CpuPercent(250.0), 100);
    EXPECT_EQ(CpuPercent(-1.0), 0);
}

} // namespace
} // namespace vantreel
