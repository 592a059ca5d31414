#pragma once
// Plays the song's blocks on a device that runs at another rate: libsamplerate's
// converter pulls blocks from the source as it needs them. Everything it uses is
// allocated when it is made, so reading allocates nothing.

#include "engine/AudioConstants.h"
#include "engine/BlockSource.h"

#include <cstdint>
#include <string>

typedef struct SRC_STATE_tag SRC_STATE;

namespace vantreel {

class RateConverter {
public:
    // User-interface thread (or any thread while no stream runs).
    RateConverter(BlockSource& source, int songRate, int deviceRate);
    ~RateConverter();
    RateConverter(const RateConverter&) = delete;
    RateConverter& operator=(const RateConverter&) = delete;

    // False, with Problem(), when libsamplerate refused the rates.
    bool Ok() const { return state != nullptr; }
    const std::string& Problem() const { return problem; }

    // Audio thread, lock held: `frames` interleaved frames at the device rate.
    void Read(int16_t* out, int frames);

private:
    static constexpr int kChunkFrames = 512; // converted per libsamplerate call
    static long Pull(void* self, float** data);

    BlockSource& source;
    SRC_STATE* state = nullptr;
    double ratio = 1.0;
    std::string problem;
    int16_t block[2 * kBlockFrames] = {};
    float input[2 * kBlockFrames] = {};
    float output[2 * kChunkFrames] = {};
};

} // namespace vantreel
