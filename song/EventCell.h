#pragma once
// One pattern cell: four raw bytes sent as a MIDI-style event.

#include <atomic>
#include <cstdint>

namespace vantreel {

constexpr uint8_t kStatusEmpty = 0x00;
constexpr uint8_t kStatusNoteOff = 0xFE; // releases the track's last note
constexpr uint8_t kRsNoteGate = 0x01;    // release this line's note half a line later

// MIDI channel messages as cells hold them: the kind in the high nibble, the
// channel in the low one.
constexpr uint8_t kNoteOnStatus = 0x90;
constexpr uint8_t kNoteOffStatus = 0x80;
constexpr uint8_t kControllerStatus = 0xB0;
constexpr uint8_t kStatusKindMask = 0xF0;
constexpr uint8_t kStatusChannelMask = 0x0F;

struct EventCell {
    uint8_t status = 0; // MS
    uint8_t data1 = 0;  // P0
    uint8_t data2 = 0;  // P1
    uint8_t rs = 0;     // RS

    uint8_t& operator[](int i) { return (&status)[i]; }
    uint8_t operator[](int i) const { return (&status)[i]; }
    bool operator==(const EventCell&) const = default;

    // Packs the bytes in file order (status first) into the low-to-high bytes.
    uint32_t Pack() const {
        return uint32_t(status) | uint32_t(data1) << 8 | uint32_t(data2) << 16 | uint32_t(rs) << 24;
    }
    static EventCell Unpack(uint32_t v) {
        return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    }
};

static_assert(sizeof(EventCell) == 4);

// A cell as stored in a pattern: written by the editors, MIDI input and plug-ins
// without the engine lock while the audio thread reads it, so it is stored whole.
class AtomicCell {
public:
    EventCell Load() const { return EventCell::Unpack(bits.load(std::memory_order_relaxed)); }
    void Store(EventCell cell) { bits.store(cell.Pack(), std::memory_order_relaxed); }

private:
    std::atomic<uint32_t> bits{0};
};

} // namespace vantreel
