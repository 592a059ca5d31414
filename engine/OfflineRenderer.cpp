#include "engine/OfflineRenderer.h"

#include <algorithm>
#include <cstring>

namespace vantreel {

void OfflineRenderer::Render(int16_t* out, int64_t frames) {
    while (frames > 0) {
        if (stagedFrames == 0) {
            engine.StreamCallback(staging, false);
            stagedFrames = kCallbackFrames;
        }
        const int take = static_cast<int>(std::min<int64_t>(frames, stagedFrames));
        std::memcpy(out, staging + 2 * (kCallbackFrames - stagedFrames),
                    sizeof(int16_t) * 2 * take);
        out += 2 * take;
        frames -= take;
        stagedFrames -= take;
    }
}

} // namespace vantreel
