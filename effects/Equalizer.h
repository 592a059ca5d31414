#pragma once
// Three-band equalizer: a low shelf, a peaking band and a high shelf, one filter per
// band and channel. Audio thread only.

#include "effects/BiquadFilter.h"
#include "effects/DenormalFill.h"
#include "effects/EffectDefaults.h"

namespace vantreel {

struct EqualizerSettings {
    int lowGain = EqualizerDefaults::gain; // dB, -16..16
    int peakGain = EqualizerDefaults::gain;
    int highGain = EqualizerDefaults::gain;
};

constexpr double kLowShelfFrequency = 150.0; // Hz
constexpr double kPeakFrequency = 1500.0;
constexpr double kHighShelfFrequency = 5000.0;
constexpr double kBandQ = 1.0; // Q of the peak, slope of the shelves

class Equalizer {
public:
    // Filters both buffers in place. With every gain 0 it leaves them untouched and
    // the filters keep their state; so does each band whose own gain is 0.
    void Process(float* left, float* right, int frames, const EqualizerSettings& settings,
                 int sampleRate);

private:
    struct Band {
        BiquadFilter left;
        BiquadFilter right;
    };

    void ProcessBand(Band& band, const BiquadDesign& design, float* left, float* right, int frames);

    Band low;
    Band peak;
    Band high;
};

} // namespace vantreel
