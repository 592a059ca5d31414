// The whole master chain against a reference rendering checked in beside the tests.
// Any change in the order of operations, a constant or a precision shows up here.
// To accept a deliberate change, run this test with VANTREEL_REGENERATE_GOLDEN=1 and
// commit the new data file.

#include "engine/MasterEffects.h"

#include "SignalHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

namespace vantreel {
namespace {

constexpr int kBlocks = 24;
constexpr int kFrames = kBlocks * kBlockFrames;
constexpr double kScale = 16384.0; // headroom for a mix up to 2.0
const char* const kReferenceFile = VANTREEL_TEST_DATA_DIR "/MasterChainReference.s16";

void ApplySettings(SongSettings& s, int block) {
    s.delay.delayLeft = 700;
    s.delay.delayRight = 450;
    s.delay.feedbackLeft = 100;
    s.delay.feedbackRight = 80;
    s.delay.crossDelay = block < 16 ? 1 : 0;
    s.chorus.lfoSpeed = 256;
    s.chorus.chorusDelay = block < 12 ? 300 : 4096; // the second half sweeps past the line
    s.chorus.chorusMod = 100;
    s.chorus.chorusFeedback = 60;
    s.reverb.room = 110;
    s.reverb.damp = 40;
    s.reverb.width = 90;
    s.reverb.mode = 0;
    s.equalizer.lowGain = 5;
    s.equalizer.peakGain = block < 8 ? -7 : 9;
    s.equalizer.highGain = 4;
    s.compressor.threshold = 40;
    s.compressor.ratio = 3;
    s.compressor.smoothness = 6;
}

// Dry signal: a decaying 440 Hz tone, a few clicks and quiet noise. The slots send
// it to the three effects at fixed levels, as the engine would.
std::vector<int16_t> Render() {
    auto fx = std::make_unique<MasterEffects>();
    SongSettings s;
    test::Noise noise(2024);
    const float sendLevels[kSendCount] = {0.5f, 0.7f, 0.6f};
    std::vector<int16_t> out;
    out.reserve(2 * kFrames);
    for (int block = 0; block < kBlocks; ++block) {
        ApplySettings(s, block);
        SendBuffers sendLeft, sendRight;
        float mixLeft[kBlockFrames], mixRight[kBlockFrames];
        for (int i = 0; i < kBlockFrames; ++i) {
            const int t = block * kBlockFrames + i;
            const float tone = static_cast<float>(0.6 * std::exp(-t / 3000.0) *
                                                  std::sin(2 * std::numbers::pi * 440 * t / 44100));
            const float click = (t % 1500 == 0) ? 0.8f : 0.0f;
            mixLeft[i] = tone + click + 0.05f * noise.Next();
            mixRight[i] = 0.7f * tone + 0.05f * noise.Next();
            for (int k = 0; k < kSendCount; ++k) {
                sendLeft[k][i] = kDenormalFill + sendLevels[k] * mixLeft[i];
                sendRight[k][i] = kDenormalFill + sendLevels[k] * mixRight[i];
            }
        }
        const bool reverbActive = block < 18 || block > 20; // rests for three blocks
        fx->Process(s, reverbActive, sendLeft, sendRight, mixLeft, mixRight);
        for (int i = 0; i < kBlockFrames; ++i) {
            for (float v : {mixLeft[i], mixRight[i]}) {
                const long q = std::lrint(std::clamp(v * kScale, -32768.0, 32767.0));
                out.push_back(static_cast<int16_t>(q));
            }
        }
    }
    return out;
}

// The file holds little-endian signed 16-bit samples, interleaved left then right.
void Write(const std::vector<int16_t>& samples) {
    std::ofstream file(kReferenceFile, std::ios::binary);
    for (int16_t v : samples) {
        const uint16_t u = static_cast<uint16_t>(v);
        const char bytes[2] = {char(u & 0xff), char(u >> 8)};
        file.write(bytes, 2);
    }
    ASSERT_TRUE(file.good()) << kReferenceFile;
}

std::vector<int16_t> Read() {
    std::ifstream file(kReferenceFile, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    }
    return samples;
}

TEST(MasterChainGolden, MatchesTheReferenceRendering) {
    const std::vector<int16_t> rendered = Render();
    if (const char* regenerate = std::getenv("VANTREEL_REGENERATE_GOLDEN");
        regenerate && *regenerate == '1') {
        Write(rendered);
        GTEST_SKIP() << "reference written to " << kReferenceFile;
    }
    const std::vector<int16_t> reference = Read();
    ASSERT_EQ(reference.size(), rendered.size()) << "missing or truncated " << kReferenceFile;
    int mismatches = 0;
    for (size_t i = 0; i < rendered.size() && mismatches < 10; ++i) {
        if (rendered[i] != reference[i]) {
            ADD_FAILURE() << "frame " << i / 2 << (i % 2 ? " right: " : " left: ") << rendered[i]
                          << " != " << reference[i];
            ++mismatches;
        }
    }

    // A reference of silence or of clipping would prove little.
    int loud = 0, clipped = 0;
    for (int16_t v : rendered) {
        loud += std::abs(v) > 1000;
        clipped += v == 32767 || v == -32768;
    }
    EXPECT_GT(loud, kFrames / 2);
    EXPECT_EQ(clipped, 0);
}

} // namespace
} // namespace vantreel
