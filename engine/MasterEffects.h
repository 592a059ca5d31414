#pragma once
// The master section after the plug-ins: the three send effects and their returns,
// the equalizer, the compressor and the peak meter. Audio thread only, except the
// meter readings and switching the meter.

#include "effects/Chorus.h"
#include "effects/Compressor.h"
#include "effects/Equalizer.h"
#include "effects/PeakMeter.h"
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

    // Any thread: the peak meters, nominal full scale 1.0. A reading works out the
    // falls the meter still owes (at most kMaxOwedFalls, some microseconds).
    float PeakLeft() const { return Reading(meterLeft); }
    float PeakRight() const { return Reading(meterRight); }

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
    static float Reading(const std::atomic<uint64_t>& meter) {
        return FallingPeak::Unpacked(meter.load(std::memory_order_relaxed)).Reading();
    }

    // FallingPeak packed: the peak and its owed falls change together.
    std::atomic<uint64_t> meterLeft{FallingPeak{}.Packed()};
    std::atomic<uint64_t> meterRight{FallingPeak{}.Packed()};
    std::atomic<bool> metering{true};
};

// Any thread: the VU bar position, 0..128, for a peak at a master volume.
int VuBarPosition(int masterVolume, float peak);
// Any thread: the CPU bar reading, a usage in percent truncated to a whole 0..100.
int CpuPercent(double usage);

} // namespace vantreel
