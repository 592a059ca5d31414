#pragma once
// Second-order filter in direct form I with the shelving and peaking designs of the
// Audio EQ Cookbook. Double precision throughout; the buffers it filters are float.

namespace vantreel {

enum class BiquadType { Peaking = 0, LowShelf = 1, HighShelf = 2 };

struct BiquadDesign {
    double frequency; // Hz
    double q;         // Q for the peaking filter, slope for the shelves
    double gain;      // dB
    BiquadType type;
    double sampleRate;

    bool operator==(const BiquadDesign&) const = default;
};

class BiquadFilter {
  public:
    // Computes the coefficients, only if the design differs from the last one.
    void Design(const BiquadDesign& design);
    // Filters `frames` samples in place.
    void Process(float* samples, int frames);

  private:
    double Step(double x);

    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    // Matches no real design, so the first use designs.
    BiquadDesign last{0.5, 0.5, 0.0, BiquadType::Peaking, 0.0};
};

} // namespace vantreel
