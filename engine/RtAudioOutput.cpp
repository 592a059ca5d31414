// The sound card through RtAudio: the system's default output device, 16-bit stereo.
// The device may ask for buffers of another size than ours; a staging buffer bridges.

#include "engine/AudioConstants.h"
#include "engine/CpuMeter.h"
#include "engine/OutputStream.h"

#include <rtaudio/RtAudio.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace vantreel {

namespace {

constexpr unsigned int kOutputChannels = 2;

class RtAudioOutput final : public OutputStream {
public:
    RtAudioOutput() : audio(std::make_unique<RtAudio>()) { audio->showWarnings(false); }
    ~RtAudioOutput() override { Stop(); }

    bool Start(int sampleRate, Callback cb, void* userData) override {
        callback = cb;
        user = userData;
        try {
            if (audio->getDeviceCount() == 0) {
                return false;
            }
            RtAudio::StreamParameters parameters;
            parameters.deviceId = audio->getDefaultOutputDevice();
            parameters.nChannels = kOutputChannels;
            unsigned int frames = kCallbackFrames;
            audio->openStream(&parameters, nullptr, RTAUDIO_SINT16, unsigned(sampleRate), &frames,
                              &RtAudioOutput::DeviceCallback, this);
            meter.SetBufferDuration(double(kCallbackFrames) / sampleRate);
            audio->startStream();
            return true;
        } catch (const RtAudioError& error) {
            std::fprintf(stderr, "Vantreel: sound device: %s\n", error.getMessage().c_str());
            Close();
            return false;
        }
    }

    void Stop() override { Close(); }
    double CpuUsage() const override { return meter.Percent(); }
    const char* Name() const override { return "RtAudio default output device"; }

private:
    void Close() {
        try {
            if (audio->isStreamRunning()) {
                audio->stopStream();
            }
            if (audio->isStreamOpen()) {
                audio->closeStream();
            }
        } catch (const RtAudioError&) {
        }
    }

    static int DeviceCallback(void* out, void*, unsigned int frames, double, RtAudioStreamStatus,
                              void* self) {
        static_cast<RtAudioOutput*>(self)->Fill(static_cast<int16_t*>(out), frames);
        return 0;
    }

    void Fill(int16_t* out, unsigned int frames) {
        while (frames > 0) {
            if (stagedFrames == 0) {
                const auto start = CpuMeter::Clock::now();
                callback(user, staging);
                meter.Measure(start);
                stagedFrames = kCallbackFrames;
            }
            const unsigned int take = std::min<unsigned int>(frames, stagedFrames);
            const int16_t* from = staging + 2 * (kCallbackFrames - stagedFrames);
            std::memcpy(out, from, take * kOutputChannels * sizeof(int16_t));
            out += take * kOutputChannels;
            frames -= take;
            stagedFrames -= take;
        }
    }

    std::unique_ptr<RtAudio> audio;
    Callback callback = nullptr;
    void* user = nullptr;
    int16_t staging[2 * kCallbackFrames] = {};
    unsigned int stagedFrames = 0;
    CpuMeter meter;
};

} // namespace

std::unique_ptr<OutputStream> CreateDeviceOutput() {
    try {
        auto output = std::make_unique<RtAudioOutput>();
        return output;
    } catch (const RtAudioError&) {
        return nullptr;
    }
}

} // namespace vantreel
