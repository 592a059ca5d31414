#pragma once
// One slot's events for the coming block, laid out so that its address can be
// handed to a plug-in as the VST 2 event list without copying.
//
// Threads: the audio thread fills and empties it each block; the user-interface thread
// appends to it only with the engine lock held (notes played from the keyboard).

#include "plugins/VstAbi.h"

#include <cstddef>
#include <cstdint>

namespace vantreel {

constexpr int kEventListCapacity = 64;

struct SlotEventList {
    // These three fields are the VstEvents header a plug-in reads.
    VstInt32 numEvents = 0;
    VstIntPtr reserved = 0;
    VstEvent* events[kEventListCapacity] = {};
    VstMidiEvent storage[kEventListCapacity] = {};

    SlotEventList();
    SlotEventList(const SlotEventList&) = delete;
    SlotEventList& operator=(const SlotEventList&) = delete;

    // Fills the next record; false when the list is full and the event was dropped.
    bool Append(const uint8_t bytes[4], int offset);
    void* AsVstEvents() { return this; }
};

static_assert(offsetof(SlotEventList, numEvents) == offsetof(VstEvents, numEvents));
static_assert(offsetof(SlotEventList, reserved) == offsetof(VstEvents, reserved));
static_assert(offsetof(SlotEventList, events) == offsetof(VstEvents, events));

} // namespace vantreel
