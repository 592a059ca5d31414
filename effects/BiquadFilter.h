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
    // Process on two filters and their buffers at once.
    static void ProcessStereo(BiquadFilter& leftFilter, BiquadFilter& rightFilter, float* left,
                              float* right, int frames);

private:
    // The history, held in locals over a block.
    struct State {
        double x1, x2, y1, y2;

        double Step(const BiquadFilter& f, double x) {
            const double y = f.b0 * x + f.b1 * x1 + f.b2 * x2 - f.a1 * y1 - f.a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            return y;
        }
    };
    State Load() const { return {x1, x2, y1, y2}; }
    void Save(const State& s) {
        x1 = s.x1;
        x2 = s.x2;
        y1 = s.y1;
        y2 = s.y2;
    }

    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    // Matches no real design, so the first use designs.
    BiquadDesign last{0.5, 0.5, 0.0, BiquadType::Peaking, 0.0};
};

} // namespace vantreel
