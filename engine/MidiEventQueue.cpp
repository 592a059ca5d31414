#include "engine/MidiEventQueue.h"

namespace vantreel {

MidiEventQueue::MidiEventQueue() {
    for (uint32_t i = 0; i < kCapacity; ++i) {
        cells[i].sequence.store(i, std::memory_order_relaxed);
    }
}

bool MidiEventQueue::Push(const QueuedMidiEvent& event) {
    uint32_t position = pushPosition.load(std::memory_order_relaxed);
    for (;;) {
        Cell& cell = cells[position & (kCapacity - 1)];
        uint32_t sequence = cell.sequence.load(std::memory_order_acquire);
        int32_t lag = int32_t(sequence - position);
        if (lag == 0) {
            if (pushPosition.compare_exchange_weak(position, position + 1,
                                                   std::memory_order_relaxed)) {
                cell.event = event;
                cell.sequence.store(position + 1, std::memory_order_release);
                return true;
            }
        } else if (lag < 0) {
            return false; // full
        } else {
            position = pushPosition.load(std::memory_order_relaxed);
        }
    }
}

bool MidiEventQueue::Pop(QueuedMidiEvent& event) {
    uint32_t position = popPosition.load(std::memory_order_relaxed);
    Cell& cell = cells[position & (kCapacity - 1)];
    uint32_t sequence = cell.sequence.load(std::memory_order_acquire);
    if (int32_t(sequence - (position + 1)) < 0) {
        return false; // empty
    }
    event = cell.event;
    cell.sequence.store(position + kCapacity, std::memory_order_release);
    popPosition.store(position + 1, std::memory_order_relaxed);
    return true;
}

} // namespace vantreel
