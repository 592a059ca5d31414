// The chorus and the delay skip their arithmetic on a steady send: the samples must be
// exactly those the full arithmetic gives, through signal, long steady stretches,
// setting changes while steady, and signal again.

#include "effects/Chorus.h"
#include "effects/DenormalFill.h"
#include "effects/StereoDelay.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vantreel {
namespace {

constexpr int kFrames = 256;

// Block n of a send: a tone for a while, then the fill value (an unused send) for
// long enough that both effects' lines settle, a second tone, then the fill again.
void SendBlock(int n, float* left, float* right) {
    const bool tone = n < 20 || (n >= 420 && n < 430);
    for (int i = 0; i < kFrames; ++i) {
        const float x = tone ? 0.3f * std::sin(0.01f * float(n * kFrames + i)) : kDenormalFill;
        left[i] = x;
        right[i] = tone ? -0.5f * x : kDenormalFill;
    }
}

bool SameBits(float a, float b) {
    return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b);
}

// Runs `process` on a resting and a full instance for `blocks` blocks; every sample
// must match bit for bit.
template <typename Effect, typename Process>
void ExpectRestingMatchesFull(int blocks, Process process, long& rested) {
    auto resting = std::make_unique<Effect>();
    auto full = std::make_unique<Effect>();
    full->SetResting(false);
    float l1[kFrames], r1[kFrames], l2[kFrames], r2[kFrames];
    for (int n = 0; n < blocks; ++n) {
        SendBlock(n, l1, r1);
        SendBlock(n, l2, r2);
        process(*resting, l1, r1, n);
        process(*full, l2, r2, n);
        for (int i = 0; i < kFrames; ++i) {
            ASSERT_TRUE(SameBits(l1[i], l2[i]) && SameBits(r1[i], r2[i]))
                << "block " << n << " frame " << i << ": " << l1[i] << " vs " << l2[i];
        }
    }
    rested = resting->RestedBlocks();
    EXPECT_EQ(full->RestedBlocks(), 0);
}

TEST(RestingEffects, ChorusOnASteadySendGivesTheFullArithmeticsSamplesAndPhase) {
    for (int feedback : {0, 60, 128}) {
        long rested = 0;
        auto process = [&](Chorus& chorus, float* l, float* r, int n) {
            ChorusSettings s;
            s.lfoSpeed = 700;
            s.chorusMod = 90;
            s.chorusFeedback = n < 300 ? feedback : feedback / 2; // changed while steady
            s.chorusDelay = n < 350 ? 300 : 1200;
            chorus.Process(l, r, kFrames, s);
        };
        ExpectRestingMatchesFull<Chorus>(500, process, rested);
        // Full feedback keeps adding the fill and never settles; the others do.
        if (feedback < 128) {
            EXPECT_GT(rested, 50) << "feedback " << feedback << ": the shortcut never took over";
        }
        // The phase moves on while resting exactly as it does in full.
        auto a = std::make_unique<Chorus>();
        auto b = std::make_unique<Chorus>();
        b->SetResting(false);
        float l[kFrames], r[kFrames];
        for (int n = 0; n < 300; ++n) {
            ChorusSettings s;
            s.lfoSpeed = 700;
            s.chorusFeedback = feedback;
            SendBlock(n, l, r);
            a->Process(l, r, kFrames, s);
            SendBlock(n, l, r);
            b->Process(l, r, kFrames, s);
        }
        EXPECT_EQ(a->LfoPhase(), b->LfoPhase());
        if (feedback < 128) {
            EXPECT_GT(a->RestedBlocks(), 0);
        }
    }
}

TEST(RestingEffects, DelayOnASteadySendGivesTheFullArithmeticsSamples) {
    for (bool cross : {false, true}) {
        for (int feedback : {0, 100, 128}) {
            long rested = 0;
            auto process = [&](StereoDelay& delay, float* l, float* r, int n) {
                DelaySettings s;
                s.delayLeft = n < 330 ? 700 : 20000; // a new time while steady
                s.delayRight = 450;
                s.feedbackLeft = feedback;
                s.feedbackRight = n < 360 ? feedback : 30;
                s.crossDelay = cross;
                delay.Process(l, r, kFrames, s);
            };
            ExpectRestingMatchesFull<StereoDelay>(700, process, rested);
            // With feedback the echoes of the fill take longer to settle than this runs.
            if (feedback == 0) {
                EXPECT_GT(rested, 50) << "cross " << cross;
            }
        }
    }
}

TEST(RestingEffects, AConstantThatIsNotWhatTheLinesHoldIsProcessedInFull) {
    // A constant input into lines still holding zeros must fill the lines first: the
    // output stays at the old value until the new one has travelled through.
    StereoDelay delay;
    DelaySettings s;
    s.delayLeft = s.delayRight = 300;
    s.feedbackLeft = s.feedbackRight = 0;
    s.crossDelay = false;
    float l[kFrames], r[kFrames];
    std::vector<float> out;
    for (int n = 0; n < 3; ++n) {
        std::fill(l, l + kFrames, 0.5f);
        std::fill(r, r + kFrames, 0.5f);
        delay.Process(l, r, kFrames, s);
        out.insert(out.end(), l, l + kFrames);
    }
    EXPECT_EQ(out[299], 0.0f);
    EXPECT_EQ(out[300], 0.5f);
    EXPECT_EQ(delay.RestedBlocks(), 0);
}

} // namespace
} // namespace vantreel
