#pragma once
// What happens to each short MIDI message from an input device: it is played on the
// current slot's plug-in and, in edit mode, stored into the cell under the pattern
// cursor, exactly as received (channel included); the cursor never moves.

#include <cstdint>

namespace vantreel {

class AudioEngine;

// Asks the editor view for a repaint. Called on the MIDI driver's thread, so it may
// only post a request that the user-interface thread picks up later.
using MidiRepaintRequest = void (*)();

class MidiRecorder {
public:
    // `repaint` may be null (nothing to repaint).
    MidiRecorder(AudioEngine& engine, MidiRepaintRequest repaint);

    // One packed short message. Any thread, several at once included (the MIDI
    // drivers' threads): no lock, no allocation, no waiting. The cell is one 4-byte
    // store and the event goes through the engine's lock-free MIDI queue.
    void Receive(uint32_t packedMessage);

private:
    AudioEngine& engine;
    MidiRepaintRequest repaint;
};

} // namespace vantreel
