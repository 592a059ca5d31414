#pragma once
// The master section after the plug-ins: the three send effects and their returns,
// the equalizer, the compressor and the peak meter. Audio thread only, except the
// meter readings.

#include "engine/AudioConstants.h"
#include "song/SongSettings.h"

#include <atomic>

namespace vantreel {

using SendBuffers = float[kSendCount][kBlockFrames];

class MasterEffects {
public:
    MasterEffects();

    // Runs on one block: the sends are processed in place and added to the mix, then
    // the mix is equalised, compressed and metered. `reverbActive` is true when some
    // slot sends to the reverb.
    void Process(const SongSettings& settings, bool reverbActive, SendBuffers& sendLeft,
                 SendBuffers& sendRight, float* mixLeft, float* mixRight);

    // Any thread: the peak meters, nominal full scale 1.0.
    float PeakLeft() const { return peakLeft.load(std::memory_order_relaxed); }
    float PeakRight() const { return peakRight.load(std::memory_order_relaxed); }

private:
    std::atomic<float> peakLeft{0.0f};
    std::atomic<float> peakRight{0.0f};
};

} // namespace vantreel
