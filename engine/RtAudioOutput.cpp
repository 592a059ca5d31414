// A sound device through RtAudio: the chosen output system and device, 16-bit stereo,
// at the song's rate when the device offers it. Under JACK the client is named after
// the program and its ports are connected to the system's playback ports.

#include "engine/AudioConstants.h"
#include "engine/OutputStream.h"

#include <rtaudio/RtAudio.h>

#include <algorithm>
#include <memory>

namespace vantreel {

namespace {

constexpr const char* kClientName = "Vantreel";

// The song's rate if the device offers it; else the device's preferred rate.
unsigned int DeviceRate(const RtAudio::DeviceInfo& info, int songRate) {
    const auto& rates = info.sampleRates;
    if (rates.empty() || std::find(rates.begin(), rates.end(), unsigned(songRate)) != rates.end()) {
        return unsigned(songRate);
    }
    return info.preferredSampleRate > 0 ? info.preferredSampleRate : rates.front();
}

class RtAudioOutput final : public OutputStream {
public:
    ~RtAudioOutput() override { Stop(); }

    bool Open(const OutputChoice& choice, int songRate) override {
        Stop();
        problem.clear();
        try {
            if (!MakeAudio(choice.system)) {
                return false;
            }
            unsigned int device = 0;
            if (!FindDevice(choice.device, device)) {
                return false;
            }
            const RtAudio::DeviceInfo info = audio->getDeviceInfo(device);
            RtAudio::StreamParameters parameters;
            parameters.deviceId = device;
            parameters.nChannels = unsigned(kOutputChannels);
            RtAudio::StreamOptions options;
            options.streamName = kClientName;
            unsigned int frames = unsigned(UsableBufferFrames(choice.bufferFrames));
            const unsigned int rate = DeviceRate(info, songRate);
            audio->openStream(&parameters, nullptr, RTAUDIO_SINT16, rate, &frames,
                              &RtAudioOutput::DeviceCallback, this, &options);
            format.systemName = RtAudio::getApiName(audio->getCurrentApi());
            format.system = RtAudio::getApiDisplayName(audio->getCurrentApi());
            format.device = info.name;
            format.sampleRate = int(audio->getStreamSampleRate());
            format.bufferFrames = int(frames);
            return true;
        } catch (const RtAudioError& error) {
            problem = error.getMessage();
            Stop();
            return false;
        }
    }

    OutputFormat Format() const override { return format; }

    bool Start(Callback cb, void* userData) override {
        callback = cb;
        user = userData;
        try {
            audio->startStream();
            return true;
        } catch (const RtAudioError& error) {
            problem = error.getMessage();
            Stop();
            return false;
        }
    }

    void Stop() override {
        if (!audio) {
            return;
        }
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

    const std::string& Problem() const override { return problem; }

private:
    bool MakeAudio(const std::string& system) {
        RtAudio::Api api = RtAudio::UNSPECIFIED;
        if (!system.empty()) {
            api = RtAudio::getCompiledApiByName(system);
            if (api == RtAudio::UNSPECIFIED) {
                problem = "the output system \"" + system + "\" is not available";
                return false;
            }
        }
        audio = std::make_unique<RtAudio>(api);
        audio->showWarnings(false);
        return true;
    }

    bool FindDevice(const std::string& name, unsigned int& device) {
        const unsigned int count = audio->getDeviceCount();
        if (count == 0) {
            problem =
                RtAudio::getApiDisplayName(audio->getCurrentApi()) + " finds no output device";
            return false;
        }
        if (name.empty()) {
            device = audio->getDefaultOutputDevice();
            return true;
        }
        for (unsigned int n = 0; n < count; ++n) {
            const RtAudio::DeviceInfo info = audio->getDeviceInfo(n);
            if (info.probed && info.name == name &&
                info.outputChannels >= unsigned(kOutputChannels)) {
                device = n;
                return true;
            }
        }
        problem = "the output device \"" + name + "\" is not there";
        return false;
    }

    static int DeviceCallback(void* out, void*, unsigned int frames, double,
                              RtAudioStreamStatus status, void* self) {
        auto* output = static_cast<RtAudioOutput*>(self);
        output->callback(output->user, static_cast<int16_t*>(out), int(frames),
                         (status & RTAUDIO_OUTPUT_UNDERFLOW) != 0);
        return 0;
    }

    std::unique_ptr<RtAudio> audio;
    OutputFormat format;
    Callback callback = nullptr;
    void* user = nullptr;
    std::string problem;
};

} // namespace

std::unique_ptr<OutputStream> CreateDeviceOutput() {
    return std::make_unique<RtAudioOutput>();
}

} // namespace vantreel
