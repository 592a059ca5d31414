#include "engine/OutputChoice.h"

#include <algorithm>
#include <iterator>

namespace vantreel {

int UsableBufferFrames(int frames) {
    const bool offered = std::find(std::begin(kDeviceBufferSizes), std::end(kDeviceBufferSizes),
                                   frames) != std::end(kDeviceBufferSizes);
    return offered ? frames : kDefaultDeviceFrames;
}

double BufferMilliseconds(int frames, int rate) {
    constexpr double kMillisecondsPerSecond = 1000.0;
    return rate > 0 ? kMillisecondsPerSecond * frames / rate : 0.0;
}

} // namespace vantreel
