#pragma once
// Tracks whether a circular line holds one value in every sample: the length of the
// run of bitwise identical values written last. A line in that state, fed a value
// that stores the same value again, would give that value forever, so its effect may
// skip the arithmetic and give the value straight away. Audio thread only.

#include "effects/FloatLanes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace vantreel {

class SteadyRun {
public:
    // A line starts zeroed: it holds 0 throughout.
    explicit SteadyRun(int lineLength) : length(lineLength), run(lineLength) {}

    // Notes `count` values just written to the line, oldest first.
    void Note(const float* written, int count) {
        if (count <= 0) {
            return;
        }
        const uint32_t last = std::bit_cast<uint32_t>(written[count - 1]);
        int first = count - 1;
        while (first > 0 && std::bit_cast<uint32_t>(written[first - 1]) == last) {
            --first;
        }
        const int trailing = count - first;
        run = (first == 0 && last == steady) ? std::min(length, run + trailing) : trailing;
        steady = last;
    }

    // True, with the value, when every sample of the line holds the same value.
    bool Holds(float& value) const {
        value = std::bit_cast<float>(steady);
        return run >= length;
    }

private:
    int length;
    int run;
    uint32_t steady = 0;
};

// True, with the value, when all `frames` samples are bitwise the same. The whole
// block is compared, four lanes at a time: a loop that stopped at the first
// difference would not vectorise, and a steady block is compared to its end anyway.
inline bool ConstantBlock(const float* samples, int frames, float& value) {
    if (frames <= 0) {
        return false;
    }
    const int32_t first = std::bit_cast<int32_t>(samples[0]);
    const BitLanes firstLanes = BitLanes{} + first;
    BitLanes differ = {};
    int i = 0;
    for (; i + kLaneCount <= frames; i += kLaneCount) {
        BitLanes bits;
        std::memcpy(&bits, samples + i, sizeof bits);
        differ |= bits != firstLanes;
    }
    int32_t any = differ[0] | differ[1] | differ[2] | differ[3];
    for (; i < frames; ++i) {
        any |= std::bit_cast<int32_t>(samples[i]) != first;
    }
    if (any != 0) {
        return false;
    }
    value = samples[0];
    return true;
}

} // namespace vantreel
