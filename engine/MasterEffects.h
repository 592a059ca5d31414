#pragma once
// The master section after the plug-ins: the three send effects and their returns,
// the equalizer, the compressor and the peak meter. Audio thread only, except the
// meter readings and switching the meter.

#include "effects/Chorus.h"
#include "effects/Compressor.h"
#include "effects/Equalizer.h"
#include "effects/ReverbModel.h"
#include "effects/StereoDelay.h"
#include "engine/AudioConstants.h"
#include "song/SongSettings.h"

#include <atomic>

namespace vantreel {

using SendBuffers = float[kSendCount][kBlockFrames];

constexpr int kVuBarMax = 128;  // VU bars range 0..128
constexpr int kCpuBarMax = 100; // the CPU bar ranges 0..100 %

class MasterEffects {
public:
    MasterEffects();
    MasterEffects(const MasterEffects&) = delete;
    MasterEffects& operator=(const MasterEffects&) = delete;

    // Runs on one block: the sends are processed in place and added to the mix, then
    // the mix is equalised, compressed and metered. `reverbActive` is true when some
    // slot sends to the reverb; otherwise the reverb neither runs nor changes, and its
    // send buffers return unprocessed. Audio thread.
    void Process(const SongSettings& settings, bool reverbActive, SendBuffers& sendLeft,
                 SendBuffers& sendRight, float* mixLeft, float* mixRight);

    // Whether Process measures the peaks (on at first). Off where nobody reads them,
    // as in an export; the output is the same either way. Any thread.
    void SetMetering(bool on) { metering.store(on, std::memory_order_relaxed); }

    // Any thread: the peak meters, nominal full scale 1.0.
    float PeakLeft() const { return peakLeft.load(std::memory_order_relaxed); }
    float PeakRight() const { return peakRight.load(std::memory_order_relaxed); }

    // Effect state, for inspection. Audio thread, or any thread while none renders.
    double LfoPhase() const { return chorus.LfoPhase(); }
    float CompEnvelope() const { return compressor.Envelope(); }
    const ReverbModel& Reverb() const { return reverb; }

private:
    void ApplyReverbParams(const ReverbParams& params);

    StereoDelay delay;
    Chorus chorus;
    ReverbModel reverb;
    Equalizer equalizer;
    Compressor compressor;
    std::atomic<float> peakLeft{0.0f};
    std::atomic<float> peakRight{0.0f};
    std::atomic<bool> metering{true};
};

// Any thread: the VU bar position, 0..128, for a peak at a master volume.
int VuBarPosition(int masterVolume, float peak);
// Any thread: the CPU bar reading, a usage in percent truncated to a whole 0..100.
int CpuPercent(double usage);

} // namespace vantreel
