#include "effects/Equalizer.h"

namespace vantreel {

void Equalizer::Process(float* left, float* right, int frames, const EqualizerSettings& settings,
                        int sampleRate) {
    if (settings.lowGain == 0 && settings.peakGain == 0 && settings.highGain == 0) {
        return;
    }
    for (int i = 0; i < frames; ++i) {
        left[i] += kDenormalFill; // keeps the filters' histories out of denormals
        right[i] += kDenormalFill;
    }
    const double rate = sampleRate;
    ProcessBand(low,
                {kLowShelfFrequency, kBandQ, double(settings.lowGain), BiquadType::LowShelf, rate},
                left, right, frames);
    ProcessBand(peak,
                {kPeakFrequency, kBandQ, double(settings.peakGain), BiquadType::Peaking, rate},
                left, right, frames);
    ProcessBand(
        high, {kHighShelfFrequency, kBandQ, double(settings.highGain), BiquadType::HighShelf, rate},
        left, right, frames);
}

void Equalizer::ProcessBand(Band& band, const BiquadDesign& design, float* left, float* right,
                            int frames) {
    // A band at or above the Nyquist frequency has no stable design: leave it out.
    if (design.gain == 0 || 2 * design.frequency >= design.sampleRate) {
        return;
    }
    band.left.Design(design);
    band.right.Design(design);
    BiquadFilter::ProcessStereo(band.left, band.right, left, right, frames);
}

} // namespace vantreel
