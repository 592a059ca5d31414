#include "engine/MasterEffects.h"

#include "effects/ParameterUnit.h"
#include "engine/FloorToInt.h"

#include <algorithm>
#include <cmath>

namespace vantreel {

namespace {

// Every setting is read once per block and held to the range its window sets, so a
// damaged project cannot drive a feedback path above unity or a read outside a line.
template <typename T> int Read(const std::atomic<T>& value, int low, int high) {
    return std::clamp<int>(value.load(std::memory_order_relaxed), low, high);
}

constexpr double kVuScale = 0.00390625; // 1/256: volume 32768 at peak 1.0 fills the bar

DelaySettings ReadDelay(const DelayParams& p) {
    return {Read(p.delayLeft, 0, kMaxDelayTime), Read(p.delayRight, 0, kMaxDelayTime),
            Read(p.feedbackLeft, 0, kParameterMax), Read(p.feedbackRight, 0, kParameterMax),
            p.crossDelay.load(std::memory_order_relaxed) != 0};
}

ChorusSettings ReadChorus(const ChorusParams& p) {
    return {Read(p.lfoSpeed, 0, kMaxLfoSpeed), Read(p.chorusDelay, 0, kMaxChorusDelay),
            Read(p.chorusMod, 0, kParameterMax), Read(p.chorusFeedback, 0, kParameterMax)};
}

EqualizerSettings ReadEqualizer(const EqualizerParams& p) {
    return {Read(p.lowGain, -kMaxEqualizerGain, kMaxEqualizerGain),
            Read(p.peakGain, -kMaxEqualizerGain, kMaxEqualizerGain),
            Read(p.highGain, -kMaxEqualizerGain, kMaxEqualizerGain)};
}

CompressorSettings ReadCompressor(const CompressorParams& p) {
    return {Read(p.threshold, 0, kParameterMax), Read(p.ratio, 0, kLimitingRatio),
            Read(p.smoothness, 0, kParameterMax)};
}

} // namespace

MasterEffects::MasterEffects() = default;

void MasterEffects::ApplyReverbParams(const ReverbParams& params) {
    reverb.SetRoomSize(Read(params.room, 0, kParameterMax) * kParameterUnit);
    reverb.SetDamp(Read(params.damp, 0, kParameterMax) * kParameterUnit);
    reverb.SetWidth(Read(params.width, 0, kParameterMax) * kParameterUnit);
    reverb.SetMode(Read(params.mode, 0, kParameterMax) * kParameterUnit);
}

void MasterEffects::Process(const SongSettings& settings, bool reverbActive, SendBuffers& sendLeft,
                            SendBuffers& sendRight, float* mixLeft, float* mixRight) {
    delay.Process(sendLeft[kSendDelay], sendRight[kSendDelay], kBlockFrames,
                  ReadDelay(settings.delay));
    if (reverbActive) {
        ApplyReverbParams(settings.reverb);
        reverb.Process(sendLeft[kSendReverb], sendRight[kSendReverb], sendLeft[kSendReverb],
                       sendRight[kSendReverb], kBlockFrames);
    }
    chorus.Process(sendLeft[kSendChorus], sendRight[kSendChorus], kBlockFrames,
                   ReadChorus(settings.chorus));
    for (int i = 0; i < kBlockFrames; ++i) {
        mixLeft[i] += sendLeft[kSendDelay][i] + sendLeft[kSendReverb][i] + sendLeft[kSendChorus][i];
        mixRight[i] +=
            sendRight[kSendDelay][i] + sendRight[kSendReverb][i] + sendRight[kSendChorus][i];
    }

    equalizer.Process(mixLeft, mixRight, kBlockFrames, ReadEqualizer(settings.equalizer),
                      settings.sampleRate.load(std::memory_order_relaxed));
    compressor.Process(mixLeft, mixRight, kBlockFrames, ReadCompressor(settings.compressor));

    if (!metering.load(std::memory_order_relaxed)) {
        return;
    }
    // Only this thread writes the meters.
    FallingPeak left = FallingPeak::Unpacked(meterLeft.load(std::memory_order_relaxed));
    FallingPeak right = FallingPeak::Unpacked(meterRight.load(std::memory_order_relaxed));
    PeakMeter::MeasureStereo(left, right, mixLeft, mixRight, kBlockFrames);
    meterLeft.store(left.Packed(), std::memory_order_relaxed);
    meterRight.store(right.Packed(), std::memory_order_relaxed);
}

int VuBarPosition(int masterVolume, float peak) {
    const double x = masterVolume * double(peak) * kVuScale;
    if (std::isnan(x) || x <= 0) {
        return 0;
    }
    if (x >= kVuBarMax) {
        return kVuBarMax;
    }
    return FloorToInt(x);
}

int CpuPercent(double usage) {
    if (std::isnan(usage) || usage <= 0) {
        return 0;
    }
    return usage >= kCpuBarMax ? kCpuBarMax : static_cast<int>(usage);
}

} // namespace vantreel
