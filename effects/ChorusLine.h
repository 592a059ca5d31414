#pragma once
// One channel of the chorus: a circular line read behind its write position at a
// fractional distance, with four-point cubic interpolation and a feedback path.

#include <array>

namespace vantreel {

constexpr int kChorusLineLength = 4096; // a power of two: indices wrap by masking
// The farthest distance whose oldest interpolation tap (one sample beyond the read
// position) is still inside the line.
constexpr double kChorusMaxDistance = kChorusLineLength - 1;

class ChorusLine {
  public:
    // Reads the line `distance` samples back, writes `in` plus `feedback` times that
    // reading, advances, and returns the reading.
    float Process(float in, double distance, double feedback);

    int WritePosition() const { return writePosition; }

  private:
    float Tap(int index) const { return buffer[index & (kChorusLineLength - 1)]; }

    std::array<float, kChorusLineLength> buffer{};
    int writePosition = 0;
};

} // namespace vantreel
