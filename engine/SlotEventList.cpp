#include "engine/SlotEventList.h"

#include <cstring>

namespace vantreel {

SlotEventList::SlotEventList() {
    for (int n = 0; n < kEventListCapacity; ++n) {
        events[n] = reinterpret_cast<VstEvent*>(&storage[n]);
    }
}

bool SlotEventList::Append(const uint8_t bytes[4], int offset) {
    if (numEvents >= kEventListCapacity) {
        return false;
    }
    VstMidiEvent& e = storage[numEvents];
    e = {};
    e.type = kVstMidiType;
    e.byteSize = sizeof(VstMidiEvent) - 2 * sizeof(VstInt32);
    e.deltaFrames = offset;
    std::memcpy(e.midiData, bytes, 4);
    events[numEvents] = reinterpret_cast<VstEvent*>(&e);
    ++numEvents;
    return true;
}

} // namespace vantreel
