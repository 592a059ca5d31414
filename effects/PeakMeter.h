#pragma once
// Peak meter with a slow exponential fall: about 2.1 s from full scale to its floor
// at 44100 Hz.

namespace vantreel {

constexpr double kPeakFloor = 0.0001;
constexpr double kPeakFall = 0.9999; // per sample

class PeakMeter {
public:
    // Runs `peak` over `frames` samples of one channel and returns the new peak.
    static float Measure(float peak, const float* samples, int frames);
    // The same, one sample after another: the readable reference for Measure.
    static float MeasureBySample(float peak, const float* samples, int frames);
    // Measure on both channels at once.
    static void MeasureStereo(float& peakLeft, float& peakRight, const float* left,
                              const float* right, int frames);
};

} // namespace vantreel
