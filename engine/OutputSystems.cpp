#include "engine/OutputSystems.h"

#include "engine/AudioConstants.h"

#include <rtaudio/RtAudio.h>

#include <memory>

namespace vantreel {

namespace {

constexpr RtAudio::Api kOfferedSystems[] = {RtAudio::UNIX_JACK, RtAudio::LINUX_ALSA,
                                            RtAudio::LINUX_PULSE};

bool Compiled(RtAudio::Api api) {
    std::vector<RtAudio::Api> compiled;
    RtAudio::getCompiledApi(compiled);
    for (RtAudio::Api candidate : compiled) {
        if (candidate == api) {
            return true;
        }
    }
    return false;
}

OutputSystemInfo Probe(RtAudio::Api api) {
    OutputSystemInfo system{RtAudio::getApiName(api), RtAudio::getApiDisplayName(api), {}, {}};
    try {
        RtAudio audio(api);
        audio.showWarnings(false);
        const unsigned int count = audio.getDeviceCount();
        for (unsigned int n = 0; n < count; ++n) {
            const RtAudio::DeviceInfo info = audio.getDeviceInfo(n);
            if (info.probed && info.outputChannels >= unsigned(kOutputChannels)) {
                system.devices.push_back(info.name);
                if (info.isDefaultOutput) {
                    system.defaultDevice = info.name;
                }
            }
        }
    } catch (const RtAudioError&) {
        system.devices.clear();
    }
    return system;
}

} // namespace

std::vector<OutputSystemInfo> ListOutputSystems() {
    std::vector<OutputSystemInfo> systems;
    for (RtAudio::Api api : kOfferedSystems) {
        if (!Compiled(api)) {
            continue;
        }
        OutputSystemInfo system = Probe(api);
        if (!system.devices.empty()) {
            systems.push_back(std::move(system));
        }
    }
    return systems;
}

} // namespace vantreel
