#include "effects/ChorusLine.h"

#include <cmath>

namespace vantreel {

float ChorusLine::Process(float in, double distance, double feedback) {
    double p = writePosition - distance;
    if (p < 0) {
        p += kChorusLineLength;
    }
    const int n = static_cast<int>(std::floor(p));
    const double x = p - n;
    const double y0 = Tap(n - 1);
    const double y1 = Tap(n);
    const double y2 = Tap(n + 1);
    const double y3 = Tap(n + 2);
    // Catmull-Rom: passes through y1 at x = 0 and y2 at x = 1.
    const double y = y1 + x * (0.5 * (y2 - y0) + x * (y0 - 2.5 * y1 + 2 * y2 - 0.5 * y3 +
                                                      x * (1.5 * (y1 - y2) + 0.5 * (y3 - y0))));
    buffer[writePosition] = static_cast<float>(in + feedback * y);
    writePosition = (writePosition + 1) & (kChorusLineLength - 1);
    return static_cast<float>(y);
}

} // namespace vantreel
