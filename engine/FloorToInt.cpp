#include "engine/FloorToInt.h"

#include <cmath>

namespace vantreel {

int FloorToInt(double x) {
    return static_cast<int>(std::lrint(2.0 * x - 0.5)) >> 1;
}

} // namespace vantreel
