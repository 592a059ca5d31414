#include "midi/MidiInput.h"

#include "midi/ShortMessage.h"

#include <rtmidi/RtMidi.h>

#include <cstdio>
#include <string>
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

const char* const kOpenFailure = "ERROR: Failed to open midi device #%d";
const char* const kOpenFailureCaption = "Error";

RtMidi::Api ApiOf(MidiSystem system) {
    return system == MidiSystem::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
}

bool Compiled(RtMidi::Api api) {
    std::vector<RtMidi::Api> compiled;
    RtMidi::getCompiledApi(compiled);
    for (RtMidi::Api each : compiled) {
        if (each == api) {
            return true;
        }
    }
    return false;
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

void KeepError(RtMidiError::Type, const std::string& text, void* problem) {
    *static_cast<std::string*>(problem) = text;
}

// RtMidi reports some failures to open only as warnings (with JACK, a port that is no
// longer there still "opens", unconnected), so any complaint while opening counts.
std::unique_ptr<RtMidiIn> OpenPort(RtMidi::Api api, unsigned int port, MidiRecorder& recorder) {
    std::string problem;
    try {
        auto input = std::make_unique<RtMidiIn>(api, kClientName);
        // System-exclusive data is longer than a cell; clocks are recorded.
        input->ignoreTypes(/*midiSysex=*/true, /*midiTime=*/false, /*midiSense=*/true);
        input->setCallback(&OnMessage, &recorder);
        input->setErrorCallback(&KeepError, &problem);
        input->openPort(port, kPortName);
        input->setErrorCallback(&IgnoreError, nullptr);
        if (problem.empty() && input->isPortOpen()) {
            return input;
        }
    } catch (const RtMidiError& error) {
        problem = error.getMessage();
    }
    std::fprintf(stderr, "Vantreel: MIDI input %s port %u did not open: %s\n",
                 RtMidi::getApiName(api).c_str(), port, problem.c_str());
    return nullptr;
}

} // namespace

UserMessage MidiOpenFailureMessage(int device) {
    char text[64];
    std::snprintf(text, sizeof text, kOpenFailure, device);
    return {text, kOpenFailureCaption, MessageIcon::Error};
}

std::vector<MidiPortList> MidiInput::ListPorts() {
    std::vector<MidiPortList> lists;
    for (MidiSystem system : {MidiSystem::AlsaSequencer, MidiSystem::Jack}) {
        if (Compiled(ApiOf(system))) {
            if (const unsigned int count = PortCount(ApiOf(system))) {
                lists.push_back({system, count});
            }
        }
    }
    return lists;
}

MidiInput::MidiInput(AudioEngine& engine, MidiRepaintRequest repaint) : recorder(engine, repaint) {}

MidiInput::~MidiInput() {
    CloseAll();
}

void MidiInput::OpenAll(const FailureReport& reportFailure) {
    if (!opened) {
        OpenPorts(ListPorts(), reportFailure);
    }
}

void MidiInput::OpenPorts(const std::vector<MidiPortList>& lists,
                          const FailureReport& reportFailure) {
    if (opened) {
        return;
    }
    deviceCount = 0;
    for (const MidiPortList& list : lists) {
        for (unsigned int port = 0; port < list.count && deviceCount < kMaxMidiInputs; ++port) {
            const int device = deviceCount++;
            handles[device] = OpenPort(ApiOf(list.system), port, recorder);
            if (!handles[device] && reportFailure) {
                reportFailure(MidiOpenFailureMessage(device));
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
