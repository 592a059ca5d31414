#include "midi/MidiInput.h"

#include "midi/ShortMessage.h"

#include <rtmidi/RtMidi.h>

#include <cstdio>
#include <vector>

namespace vantreel {

namespace {

const char* const kClientName = "Vantreel";
const char* const kPortName = "MIDI in";

// One callback for every port. Runs on the driver's thread.
void OnMessage(double /*timeStamp*/, std::vector<unsigned char>* message, void* user) {
    if (message == nullptr) {
        return;
    }
    if (std::optional<uint32_t> packed = PackShortMessage(message->data(), message->size())) {
        static_cast<MidiRecorder*>(user)->Receive(*packed);
    }
}

// The MIDI systems RtMidi was built with, in its own order (ALSA before JACK).
std::vector<RtMidi::Api> InputApis() {
    std::vector<RtMidi::Api> compiled;
    RtMidi::getCompiledApi(compiled);
    std::vector<RtMidi::Api> apis;
    for (RtMidi::Api api : compiled) {
        if (api != RtMidi::RTMIDI_DUMMY) {
            apis.push_back(api);
        }
    }
    return apis;
}

void IgnoreError(RtMidiError::Type, const std::string&, void*) {}

// The ports one system lists; 0 when it is not there (no ALSA sequencer device, no
// JACK server), which RtMidi reports by throwing or by a warning.
unsigned int PortCount(RtMidi::Api api) {
    try {
        RtMidiIn lister(api, kClientName);
        lister.setErrorCallback(&IgnoreError);
        return lister.getPortCount();
    } catch (const RtMidiError&) {
        return 0;
    }
}

std::unique_ptr<RtMidiIn> OpenPort(RtMidi::Api api, unsigned int port, MidiRecorder& recorder) {
    try {
        auto input = std::make_unique<RtMidiIn>(api, kClientName);
        // System-exclusive data is longer than a cell; clocks are recorded.
        input->ignoreTypes(/*midiSysex=*/true, /*midiTime=*/false, /*midiSense=*/true);
        input->setCallback(&OnMessage, &recorder);
        input->openPort(port, kPortName);
        if (input->isPortOpen()) {
            return input;
        }
        std::fprintf(stderr, "Vantreel: MIDI input %s port %u did not open\n",
                     RtMidi::getApiName(api).c_str(), port);
    } catch (const RtMidiError& error) {
        std::fprintf(stderr, "Vantreel: MIDI input %s port %u: %s\n",
                     RtMidi::getApiName(api).c_str(), port, error.getMessage().c_str());
    }
    return nullptr;
}

} // namespace

MidiInput::MidiInput(AudioEngine& engine, MidiRepaintRequest repaint) : recorder(engine, repaint) {}

MidiInput::~MidiInput() {
    CloseAll();
}

void MidiInput::OpenAll(const FailureReport& reportFailure) {
    if (opened) {
        return;
    }
    deviceCount = 0;
    for (RtMidi::Api api : InputApis()) {
        const unsigned int ports = PortCount(api);
        for (unsigned int port = 0; port < ports && deviceCount < kMaxMidiInputs; ++port) {
            const int device = deviceCount++;
            handles[device] = OpenPort(api, port, recorder);
            if (!handles[device] && reportFailure) {
                reportFailure(device);
            }
        }
    }
    opened = deviceCount > 0;
}

void MidiInput::CloseAll() {
    // Destroying an input closes its port and waits for its driver thread.
    for (std::unique_ptr<RtMidiIn>& handle : handles) {
        handle.reset();
    }
    opened = false;
}

} // namespace vantreel
