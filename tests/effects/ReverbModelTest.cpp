#include "effects/ReverbModel.h"

#include "SignalHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace vantreel {
namespace {

constexpr int kBlock = 256;
constexpr float kUnit = 1.0f / 128;

// What the engine writes into the model before each block it processes.
void Apply(ReverbModel& model, int room, int damp, int width, int mode) {
    model.SetRoomSize(room * kUnit);
    model.SetDamp(damp * kUnit);
    model.SetWidth(width * kUnit);
    model.SetMode(mode * kUnit);
}

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

Stereo RunReverb(ReverbModel& model, std::vector<float> left, std::vector<float> right) {
    test::InBlocks(left, right, kBlock,
                   [&](float* l, float* r, int frames) { model.Process(l, r, l, r, frames); });
    return {left, right};
}

int FirstNonZero(const std::vector<float>& v) {
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] != 0.0f) {
            return int(i);
        }
    }
    return -1;
}

TEST(ReverbModel, ConstructionDefaults) {
    auto model = std::make_unique<ReverbModel>();
    EXPECT_EQ(model->Wet(), 1.0f);
    EXPECT_EQ(model->Wet1(), 1.0f);
    EXPECT_EQ(model->Wet2(), 0.0f);
    EXPECT_FLOAT_EQ(model->RoomSize(), 0.84f);
    EXPECT_FLOAT_EQ(model->DampValue(), 0.2f);
    EXPECT_EQ(model->Mode(), 0.0f);
}

// With the default parameters each output hears only its own network, and an
// impulse on the left alone reaches both, since the networks are fed the sum.
TEST(ReverbModel, DefaultsKeepTheNetworksApart) {
    auto model = std::make_unique<ReverbModel>();
    Apply(*model, 80, 64, 128, 0);
    EXPECT_FLOAT_EQ(model->RoomSize(), 0.875f);
    EXPECT_FLOAT_EQ(model->DampValue(), 0.2f);
    EXPECT_EQ(model->Width(), 1.0f);
    EXPECT_EQ(model->Wet1(), 1.0f);
    EXPECT_EQ(model->Wet2(), 0.0f);

    const int frames = 8 * kBlock;
    std::vector<float> impulse(frames);
    impulse[0] = 1.0f;
    const Stereo out = RunReverb(*model, impulse, std::vector<float>(frames));
    // The shortest comb of each side sets when its output starts.
    EXPECT_EQ(FirstNonZero(out.left), reverb::CombLength(0, 0));
    EXPECT_EQ(FirstNonZero(out.right), reverb::CombLength(1, 0));
}

TEST(ReverbModel, ZeroWidthGivesIdenticalChannels) {
    auto model = std::make_unique<ReverbModel>();
    Apply(*model, 80, 64, 0, 0);
    EXPECT_EQ(model->Wet1(), 0.5f);
    EXPECT_EQ(model->Wet2(), 0.5f);
    test::Noise noise(3);
    const int frames = 16 * kBlock;
    std::vector<float> left(frames), right(frames);
    for (int i = 0; i < frames; ++i) {
        left[i] = noise.Next();
        right[i] = noise.Next() * 0.3f;
    }
    const Stereo out = RunReverb(*model, left, right);
    EXPECT_EQ(out.left, out.right);
    EXPECT_GT(test::Rms(out.left, 0, frames), 0.01);
}

// Mode 64 (0.5) freezes: new input is ignored, the tail circulates without loss,
// and muting leaves it alone.
TEST(ReverbModel, HalfModeFreezesTheTail) {
    const int frames = 200 * kBlock;
    test::Noise noise(11);
    std::vector<float> burst(frames);
    for (int i = 0; i < 4 * kBlock; ++i) {
        burst[i] = noise.Next();
    }

    auto quiet = std::make_unique<ReverbModel>();
    auto loud = std::make_unique<ReverbModel>();
    for (ReverbModel* model : {quiet.get(), loud.get()}) {
        Apply(*model, 80, 64, 128, 0);
        RunReverb(*model, burst, burst);
        Apply(*model, 80, 64, 128, 64);
        EXPECT_EQ(model->Mode(), 1.0f);
        model->Mute();
    }
    std::vector<float> more(frames);
    for (float& v : more) {
        v = noise.Next();
    }
    const Stereo a = RunReverb(*quiet, std::vector<float>(frames), std::vector<float>(frames));
    const Stereo b = RunReverb(*loud, more, more);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);

    const double early = test::Rms(a.left, 0, 8 * kBlock);
    const double late = test::Rms(a.left, frames - 8 * kBlock, frames);
    EXPECT_GT(early, 1e-4);
    EXPECT_NEAR(test::Decibels(late / early), 0.0, 2.0);

    auto unfrozen = std::make_unique<ReverbModel>();
    Apply(*unfrozen, 80, 64, 128, 63);
    EXPECT_EQ(unfrozen->Mode(), 0.0f);
}

// A tail left to die away in true silence (no fill) must not circulate as denormal
// numbers: the flushes keep them to stray outputs of the allpass chain (without
// them, most of the late tail is denormal), and the tail ends in exact zeros.
TEST(ReverbModel, DecayingTailNeverTurnsDenormal) {
    auto model = std::make_unique<ReverbModel>();
    Apply(*model, 0, 128, 128, 0);
    const int frames = 4000 * kBlock;
    std::vector<float> left(frames), right(frames);
    left[0] = 1.0f;
    const Stereo out = RunReverb(*model, left, right);
    int denormal = 0;
    for (int i = 0; i < frames; ++i) {
        denormal += std::fpclassify(out.left[i]) == FP_SUBNORMAL;
        denormal += std::fpclassify(out.right[i]) == FP_SUBNORMAL;
    }
    EXPECT_LT(denormal, frames / 100);
    EXPECT_EQ(out.left.back(), 0.0f);
    EXPECT_EQ(out.right.back(), 0.0f);
}

} // namespace
} // namespace vantreel
