#pragma once
// The slots' outputs summed into the master mix and the effect sends, in slot order.
// Audio thread only.

#include "engine/AudioConstants.h"
#include "engine/MasterEffects.h"
#include "song/SongLimits.h"

namespace vantreel {

// The slots that take part in a block's mix, in slot order, with their send gains.
struct MixSources {
    float* left[kSlotCount];
    float* right[kSlotCount];
    float gains[kSlotCount][kSendCount];
    int count = 0;
    bool anySend = false; // some gain is above 0
};

// The mix starts silent; the sends hold the fill that keeps their effects' lines
// out of denormals.
void StartMix(SendBuffers& sendLeft, SendBuffers& sendRight, float* mixLeft, float* mixRight);

// Adds both channels of every source to the sends (where its gain is above 0) and to
// the mix; per frame the additions keep the slot order, so the sums are those of
// adding one slot after the other. Without any send gain the sends are left as they
// are, which is what adding nothing to them would give.
//
// The outputs are checked on the way, as they are read anyway: false when some
// sample is NaN, infinite or beyond the limit (see plugin::kMaxRenderedSampleBits),
// and the sums must be redone from cleaned outputs.
bool MixSlots(const MixSources& sources, SendBuffers& sendLeft, SendBuffers& sendRight,
              float* mixLeft, float* mixRight);

// MixSlots as it runs where the processor lacks AVX2, four lanes at a time; it must
// give the same sums, which the tests check on processors that have it.
bool MixSlotsOnFourLanes(const MixSources& sources, SendBuffers& sendLeft, SendBuffers& sendRight,
                         float* mixLeft, float* mixRight);

} // namespace vantreel
