#include "engine/SlotMix.h"

#include "plugins/PluginCalls.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>

namespace vantreel {
namespace {

// The slots' outputs, the sends and the mix of one block, and the same mixed one slot
// after the other as the readable reference.
struct MixCase {
    float outputs[kSlotCount][2][kBlockFrames];
    MixSources sources;

    MixCase(std::mt19937& random, int count, bool sends) {
        std::uniform_real_distribution<float> sample(-2.0f, 2.0f);
        sources.count = count;
        for (int n = 0; n < count; ++n) {
            for (int c = 0; c < 2; ++c) {
                for (float& x : outputs[n][c]) {
                    x = sample(random);
                }
            }
            sources.left[n] = outputs[n][0];
            sources.right[n] = outputs[n][1];
            for (int k = 0; k < kSendCount; ++k) {
                // Some gains are 0: those sends must not be touched by that slot.
                const int level = sends && random() % 3 != 0 ? int(random() % 128) : 0;
                sources.gains[n][k] = float(level) / 127.0f;
                sources.anySend = sources.anySend || level > 0;
            }
        }
    }
};

struct MixResult {
    SendBuffers sendLeft;
    SendBuffers sendRight;
    float mixLeft[kBlockFrames];
    float mixRight[kBlockFrames];
    bool clean = false;

    MixResult() { StartMix(sendLeft, sendRight, mixLeft, mixRight); }

    bool operator==(const MixResult& other) const {
        return std::memcmp(sendLeft, other.sendLeft, sizeof sendLeft) == 0 &&
               std::memcmp(sendRight, other.sendRight, sizeof sendRight) == 0 &&
               std::memcmp(mixLeft, other.mixLeft, sizeof mixLeft) == 0 &&
               std::memcmp(mixRight, other.mixRight, sizeof mixRight) == 0 && clean == other.clean;
    }
};

bool InRange(float x) {
    return (std::bit_cast<int32_t>(x) & INT32_MAX) <= plugin::kMaxRenderedSampleBits;
}

void MixOneSlotAfterTheOther(const MixSources& s, MixResult& r) {
    r.clean = true;
    for (int n = 0; n < s.count; ++n) {
        for (int i = 0; i < kBlockFrames; ++i) {
            const float l = s.left[n][i];
            const float rt = s.right[n][i];
            r.clean = r.clean && InRange(l) && InRange(rt);
            for (int k = 0; k < kSendCount; ++k) {
                if (s.gains[n][k] > 0) {
                    r.sendLeft[k][i] += s.gains[n][k] * l;
                    r.sendRight[k][i] += s.gains[n][k] * rt;
                }
            }
            r.mixLeft[i] += l;
            r.mixRight[i] += rt;
        }
    }
}

void ExpectBothWidthsMixAsTheReference(const MixCase& c, const char* what) {
    auto expected = std::make_unique<MixResult>();
    auto wide = std::make_unique<MixResult>();
    auto narrow = std::make_unique<MixResult>();
    MixOneSlotAfterTheOther(c.sources, *expected);
    wide->clean =
        MixSlots(c.sources, wide->sendLeft, wide->sendRight, wide->mixLeft, wide->mixRight);
    narrow->clean = MixSlotsOnFourLanes(c.sources, narrow->sendLeft, narrow->sendRight,
                                        narrow->mixLeft, narrow->mixRight);
    EXPECT_TRUE(*expected == *wide) << what << ", " << c.sources.count << " slots";
    EXPECT_TRUE(*expected == *narrow) << what << ", " << c.sources.count << " slots";
}

TEST(SlotMix, SumsAsOneSlotAfterTheOtherOnEveryWidth) {
    std::mt19937 random(11);
    for (int count = 0; count <= kSlotCount; ++count) {
        for (bool sends : {false, true}) {
            auto c = std::make_unique<MixCase>(random, count, sends);
            ExpectBothWidthsMixAsTheReference(*c, sends ? "with sends" : "without sends");
        }
    }
}

// One bad sample anywhere in any slot's channel is found by both widths; the limit
// itself is still a good sample.
TEST(SlotMix, FindsEveryBadSample) {
    std::mt19937 random(12);
    const float limit = std::bit_cast<float>(plugin::kMaxRenderedSampleBits);
    const float values[] = {std::numeric_limits<float>::quiet_NaN(),
                            -std::numeric_limits<float>::infinity(),
                            std::nextafter(limit, 1e9f),
                            -std::nextafter(limit, 1e9f),
                            limit,
                            -limit};
    for (float bad : values) {
        for (int trial = 0; trial < 24; ++trial) {
            auto c = std::make_unique<MixCase>(random, 1 + int(random() % kSlotCount), trial % 2);
            const int n = int(random() % c->sources.count);
            const int channel = int(random() % 2);
            c->outputs[n][channel][random() % kBlockFrames] = bad;
            ExpectBothWidthsMixAsTheReference(*c, "one odd sample");
        }
    }
}

} // namespace
} // namespace vantreel
