#pragma once
// Every MIDI input port present when it opens: the ports the ALSA sequencer lists and,
// where a JACK server runs, JACK's MIDI ports, each opened through RtMidi with its own
// input object, all delivering to one MidiRecorder. Device numbers count on across
// the systems. There is no reopening: a port that appears later is not seen.
//
// Threads: OpenAll, CloseAll and DeviceCount on the user-interface thread. Messages
// arrive on the drivers' own threads (one per ALSA input, JACK's process thread).

#include "engine/Reporter.h"
#include "midi/MidiRecorder.h"

#include <functional>
#include <memory>
#include <vector>

class RtMidiIn;

namespace vantreel {

constexpr int kMaxMidiInputs = 32; // ports beyond these are neither opened nor counted

enum class MidiSystem { AlsaSequencer, Jack };

// The input ports one system lists, numbered 0 to count - 1 within it.
struct MidiPortList {
    MidiSystem system;
    unsigned int count = 0;
};

// "ERROR: Failed to open midi device #N", caption "Error", for device number N.
UserMessage MidiOpenFailureMessage(int device);

class MidiInput {
public:
    // Shows one message for each port that fails to open.
    using FailureReport = std::function<void(const UserMessage&)>;

    MidiInput(AudioEngine& engine, MidiRepaintRequest repaint);
    ~MidiInput(); // closes every port
    MidiInput(const MidiInput&) = delete;
    MidiInput& operator=(const MidiInput&) = delete;

    // Opens every port once; does nothing when already open. A port that fails is
    // reported and skipped, and still counted. Without any MIDI system there are no
    // ports, no report and no error.
    void OpenAll(const FailureReport& reportFailure);
    // Opens the listed ports as given, whether or not they exist (OpenAll's second half).
    void OpenPorts(const std::vector<MidiPortList>& lists, const FailureReport& reportFailure);
    // Every system present, with the input ports it lists now; an absent system (no
    // ALSA sequencer device, no JACK server) is left out.
    static std::vector<MidiPortList> ListPorts();
    // Closes every open port; no message arrives after it returns.
    void CloseAll();

    // The ports found when they were opened, failed ones included; 0 before.
    int DeviceCount() const { return deviceCount; }
    bool IsOpen() const { return opened; }

private:
    MidiRecorder recorder; // declared first: it outlives every handle calling it
    std::unique_ptr<RtMidiIn> handles[kMaxMidiInputs];
    int deviceCount = 0;
    bool opened = false;
};

} // namespace vantreel
