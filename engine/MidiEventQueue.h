#pragma once
// Events from MIDI input threads on their way to the audio thread. Any number of
// producers push without a lock; the audio thread alone pops, at the start of each
// block. Bounded, allocation-free (a ring of sequence-numbered cells).

#include <array>
#include <atomic>
#include <cstdint>

namespace vantreel {

struct QueuedMidiEvent {
    uint8_t slot = 0;
    uint8_t bytes[4] = {};
};

class MidiEventQueue {
public:
    static constexpr uint32_t kCapacity = 1024; // a power of two

    MidiEventQueue();

    // Any thread. False when the queue is full (the event is dropped).
    bool Push(const QueuedMidiEvent& event);
    // Audio thread only. False when empty.
    bool Pop(QueuedMidiEvent& event);

private:
    struct Cell {
        std::atomic<uint32_t> sequence;
        QueuedMidiEvent event;
    };
    std::array<Cell, kCapacity> cells;
    alignas(64) std::atomic<uint32_t> pushPosition{0};
    alignas(64) std::atomic<uint32_t> popPosition{0};
};

} // namespace vantreel
