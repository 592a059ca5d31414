#include "effects/Equalizer.h"

#include "SignalHelpers.h"

#include <gtest/gtest.h>

#include <memory>

namespace vantreel {
namespace {

constexpr int kBlock = 256;
constexpr int kRate = 44100;

// Renders a sine through the equalizer and returns its gain in dB, measured once
// the filters have settled.
double GainAt(Equalizer& eq, const EqualizerSettings& s, double frequency, int rate = kRate) {
    const int frames = rate / 2 / kBlock * kBlock;
    std::vector<float> in = test::Sine(frequency, rate, 0.25f, frames);
    std::vector<float> left = in, right = in;
    test::InBlocks(left, right, kBlock,
                   [&](float* l, float* r, int n) { eq.Process(l, r, n, s, rate); });
    EXPECT_EQ(left, right);
    return test::Decibels(test::Rms(left, frames / 2, frames) / test::Rms(in, frames / 2, frames));
}

TEST(Equalizer, AllGainsZeroLeavesTheSignalBitIdenticalAndTheFiltersAlone) {
    auto eq = std::make_unique<Equalizer>();
    auto fresh = std::make_unique<Equalizer>();
    test::Noise noise(5);
    std::vector<float> left(kBlock), right(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        left[i] = noise.Next();
        right[i] = 1.0e-30f * noise.Next(); // also below the offset's scale
    }
    std::vector<float> l = left, r = right;
    for (int block = 0; block < 10; ++block) {
        eq->Process(l.data(), r.data(), kBlock, {}, kRate);
    }
    EXPECT_EQ(l, left);
    EXPECT_EQ(r, right);

    // Filters that sat out those blocks start from the same state as fresh ones.
    const EqualizerSettings boost{3, -4, 5};
    eq->Process(l.data(), r.data(), kBlock, boost, kRate);
    std::vector<float> fl = left, fr = right;
    fresh->Process(fl.data(), fr.data(), kBlock, boost, kRate);
    EXPECT_EQ(l, fl);
    EXPECT_EQ(r, fr);
}

TEST(Equalizer, PeakingBandLiftsItsCentreBySixDecibels) {
    auto eq = std::make_unique<Equalizer>();
    EXPECT_NEAR(GainAt(*eq, {0, 6, 0}, kPeakFrequency), 6.0, 0.02);
    auto cut = std::make_unique<Equalizer>();
    EXPECT_NEAR(GainAt(*cut, {0, -12, 0}, kPeakFrequency), -12.0, 0.02);
}

// A shelf of slope 1 reaches half its gain at its corner and the full gain far
// inside its band; far outside it leaves the signal nearly alone.
TEST(Equalizer, ShelvesActOnTheirOwnSide) {
    EXPECT_NEAR(GainAt(*std::make_unique<Equalizer>(), {8, 0, 0}, kLowShelfFrequency), 4.0, 0.05);
    EXPECT_NEAR(GainAt(*std::make_unique<Equalizer>(), {8, 0, 0}, 20.0), 8.0, 0.3);
    EXPECT_NEAR(GainAt(*std::make_unique<Equalizer>(), {8, 0, 0}, 8000.0), 0.0, 0.1);
    EXPECT_NEAR(GainAt(*std::make_unique<Equalizer>(), {0, 0, -10}, kHighShelfFrequency), -5.0,
                0.05);
    EXPECT_NEAR(GainAt(*std::make_unique<Equalizer>(), {0, 0, -10}, 60.0), 0.0, 0.1);
}

// A project with another sample rate must move the bands with it, even when the
// gains stay the same.
TEST(Equalizer, RedesignsWhenTheSampleRateChanges) {
    auto eq = std::make_unique<Equalizer>();
    GainAt(*eq, {0, 6, 0}, kPeakFrequency, 22050);
    EXPECT_NEAR(GainAt(*eq, {0, 6, 0}, kPeakFrequency, 48000), 6.0, 0.02);
}

// Below twice a band's frequency there is no stable design: the band sits out.
TEST(Equalizer, BandsAboveNyquistSitOut) {
    auto eq = std::make_unique<Equalizer>();
    const double gain = GainAt(*eq, {0, 0, 12}, 1000.0, 8000);
    EXPECT_NEAR(gain, 0.0, 1e-3);
}

} // namespace
} // namespace vantreel
