#include "engine/RateConverter.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vantreel {

namespace {

constexpr float kSampleScale = 32768.0f;
// Sinc quality that stays well under the budget of a 128-frame buffer.
constexpr int kConverterType = SRC_SINC_MEDIUM_QUALITY;

int16_t ToSample(float x) {
    const float scaled = std::nearbyint(x * kSampleScale);
    if (std::isnan(scaled)) {
        return 0;
    }
    return int16_t(std::clamp(scaled, float(-kMaxSample), float(kMaxSample)));
}

} // namespace

RateConverter::RateConverter(BlockSource& blocks, int songRate, int deviceRate) : source(blocks) {
    int error = 0;
    ratio = double(deviceRate) / songRate;
    if (songRate <= 0 || deviceRate <= 0 || !src_is_valid_ratio(ratio)) {
        problem = "the device's sample rate cannot be converted to";
        return;
    }
    state = src_callback_new(&RateConverter::Pull, kConverterType, kOutputChannels, &error, this);
    if (state == nullptr) {
        problem = src_strerror(error);
    }
}

RateConverter::~RateConverter() {
    if (state != nullptr) {
        src_delete(state);
    }
}

long RateConverter::Pull(void* self, float** data) {
    auto* converter = static_cast<RateConverter*>(self);
    converter->source.RenderOutputBlock(converter->block);
    for (int i = 0; i < kOutputChannels * kBlockFrames; ++i) {
        converter->input[i] = converter->block[i] / kSampleScale;
    }
    *data = converter->input;
    return kBlockFrames;
}

void RateConverter::Read(int16_t* out, int frames) {
    while (frames > 0) {
        const int wanted = std::min(frames, kChunkFrames);
        const long got = state != nullptr ? src_callback_read(state, ratio, wanted, output) : 0;
        if (got <= 0) {
            // The converter failed: silence rather than garbage.
            std::memset(out, 0, sizeof(int16_t) * kOutputChannels * frames);
            return;
        }
        for (long i = 0; i < kOutputChannels * got; ++i) {
            out[i] = ToSample(output[i]);
        }
        out += kOutputChannels * got;
        frames -= int(got);
    }
}

} // namespace vantreel
