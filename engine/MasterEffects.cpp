#include "engine/MasterEffects.h"

namespace vantreel {

MasterEffects::MasterEffects() = default;

void MasterEffects::Process(const SongSettings&, bool, SendBuffers& sendLeft,
                            SendBuffers& sendRight, float* mixLeft, float* mixRight) {
    // The effects themselves are not wired in yet: the sends return dry.
    for (int i = 0; i < kBlockFrames; ++i) {
        mixLeft[i] += sendLeft[kSendDelay][i] + sendLeft[kSendReverb][i] + sendLeft[kSendChorus][i];
        mixRight[i] +=
            sendRight[kSendDelay][i] + sendRight[kSendReverb][i] + sendRight[kSendChorus][i];
    }
}

} // namespace vantreel
