// The audio thread's side of an LV2 instrument: the block's MIDI and the editor's
// messages become atom sequences, the control values are copied in, the instrument
// runs, and its worker's responses are delivered first. Nothing here allocates,
// locks or waits.

#include "plugins/Lv2Adapter.h"

#include "plugins/Lv2UridMap.h"

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>

#include <algorithm>
#include <cstring>

namespace vantreel {

namespace {

constexpr uint8_t kStatusBit = 0x80;
constexpr uint8_t kDataMask = 0x7F;
constexpr uint8_t kSystemStatus = 0xF0;
constexpr uint8_t kProgramChangeNibble = 0xC0;
constexpr uint8_t kChannelPressureNibble = 0xD0;

// The size of a channel message by its status; 0 for anything else, which an LV2
// instrument would not take as MIDI.
uint8_t ChannelMessageSize(uint8_t status) {
    if ((status & kStatusBit) == 0 || status >= kSystemStatus) {
        return 0;
    }
    const uint8_t nibble = status & kSystemStatus;
    return nibble == kProgramChangeNibble || nibble == kChannelPressureNibble ? 2 : 3;
}

// The URIDs the audio thread uses, mapped once before any block runs.
struct AtomTypes {
    LV2_URID sequence;
    LV2_URID chunk;
    LV2_URID midiEvent;
};

const AtomTypes& Types() {
    static const AtomTypes types{SharedUridMap().Map(LV2_ATOM__Sequence),
                                 SharedUridMap().Map(LV2_ATOM__Chunk),
                                 SharedUridMap().Map(LV2_MIDI__MidiEvent)};
    return types;
}

[[maybe_unused]] const AtomTypes& typesMappedEarly = Types();

LV2_Atom_Sequence* SequenceIn(std::vector<uint64_t>& buffer) {
    return reinterpret_cast<LV2_Atom_Sequence*>(buffer.data());
}

} // namespace

void Lv2Adapter::ProcessReplacingEntry(AEffect* e, float**, float** outputs, VstInt32 frames) {
    From(e)->Run(outputs, frames);
}

// VST 2's accumulating call: the block is rendered aside and added to the outputs.
void Lv2Adapter::ProcessEntry(AEffect* e, float**, float** outputs, VstInt32 frames) {
    Lv2Adapter* self = From(e);
    float* own[2] = {self->accumulated[0].data(), self->accumulated[1].data()};
    const int n = std::clamp<int>(frames, 0, kHostBlockSize);
    self->Run(own, n);
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < n; ++i) {
            outputs[c][i] += own[c][i];
        }
    }
}

void Lv2Adapter::TakeEvents(const VstEvents* events) {
    if (events == nullptr) {
        return;
    }
    for (VstInt32 n = 0; n < events->numEvents && midiCount < kLv2MidiCapacity; ++n) {
        const VstEvent* event = events->events[n];
        if (event == nullptr || event->type != kVstMidiType) {
            continue;
        }
        const auto* m = reinterpret_cast<const VstMidiEvent*>(event);
        const uint8_t status = uint8_t(m->midiData[0]);
        const uint8_t size = ChannelMessageSize(status);
        if (size == 0) {
            continue;
        }
        PendingMidi& pending = midi[midiCount++];
        pending.frame = std::clamp<int32_t>(m->deltaFrames, 0, kHostBlockSize - 1);
        pending.bytes[0] = status;
        pending.bytes[1] = uint8_t(m->midiData[1]) & kDataMask;
        pending.bytes[2] = uint8_t(m->midiData[2]) & kDataMask;
        pending.size = size;
    }
}

void Lv2Adapter::Run(float** outputs, int frames) {
    frames = std::clamp(frames, 0, kHostBlockSize);
    if (!active.load(std::memory_order_acquire)) {
        std::fill(outputs[0], outputs[0] + frames, 0.0f);
        std::fill(outputs[1], outputs[1] + frames, 0.0f);
        midiCount = 0;
        return;
    }
    for (const Lv2Parameter& p : layout.parameters) {
        controlBuffers[p.port] = controls[p.port].load(std::memory_order_relaxed);
    }
    std::fill(silentInput.begin(), silentInput.end(), 0.0f);
    ConnectOutputs(outputs);
    FillInputSequences();
    ResetOutputSequences();
    worker.DeliverResponses();
    lilv_instance_run(instance, uint32_t(frames));
    worker.EndRun();
    for (uint32_t port = 0; port < layout.kinds.size(); ++port) {
        if (layout.kinds[port] == Lv2PortKind::ControlOut) {
            controls[port].store(controlBuffers[port], std::memory_order_relaxed);
        }
    }
    if (layout.audioOutputs.size() == 1) {
        std::copy(outputs[0], outputs[0] + frames, outputs[1]); // a mono instrument
    } else if (layout.audioOutputs.empty()) {
        std::fill(outputs[0], outputs[0] + frames, 0.0f);
        std::fill(outputs[1], outputs[1] + frames, 0.0f);
    }
    midiCount = 0;
}

void Lv2Adapter::ConnectOutputs(float** outputs) {
    const std::size_t count = std::min<std::size_t>(layout.audioOutputs.size(), 2);
    for (std::size_t c = 0; c < count; ++c) {
        if (connectedOutputs[c] != outputs[c]) {
            lilv_instance_connect_port(instance, layout.audioOutputs[c], outputs[c]);
            connectedOutputs[c] = outputs[c];
        }
    }
}

void Lv2Adapter::FillInputSequences() {
    const AtomTypes& types = Types();
    for (uint32_t port = 0; port < layout.kinds.size(); ++port) {
        if (layout.kinds[port] == Lv2PortKind::EventIn) {
            LV2_Atom_Sequence* sequence = SequenceIn(atomBuffers[port]);
            sequence->atom.type = types.sequence;
            sequence->body.unit = 0;
            sequence->body.pad = 0;
            lv2_atom_sequence_clear(sequence);
        }
    }
    // The editor's messages come first, at frame 0: a sequence runs forward in time.
    // Each is the port (padded to 8 bytes) and the event, ready to append.
    while (!editorMessages.Empty()) {
        auto* message = reinterpret_cast<uint8_t*>(editorMessageScratch.data());
        const uint32_t room = uint32_t(editorMessageScratch.size() * sizeof(uint64_t));
        const uint32_t size = editorMessages.Pop(message, room);
        if (size < kEditorMessageHead + sizeof(LV2_Atom_Event)) {
            continue;
        }
        uint32_t port = 0;
        std::memcpy(&port, message, sizeof port);
        const auto* event = reinterpret_cast<const LV2_Atom_Event*>(message + kEditorMessageHead);
        if (port < layout.kinds.size() && layout.kinds[port] == Lv2PortKind::EventIn &&
            kEditorMessageHead + sizeof(LV2_Atom_Event) + event->body.size <= size) {
            lv2_atom_sequence_append_event(SequenceIn(atomBuffers[port]),
                                           atomCapacity - sizeof(LV2_Atom), event);
        }
    }
    if (layout.eventInput < 0) {
        return;
    }
    // Lists arrive in the order events were queued; the sequence wants time order,
    // and equal times keep their order. An insertion sort: std::stable_sort may
    // allocate, and the lists are short and nearly sorted.
    for (int n = 1; n < midiCount; ++n) {
        const PendingMidi moving = midi[n];
        int at = n;
        while (at > 0 && midi[at - 1].frame > moving.frame) {
            midi[at] = midi[at - 1];
            --at;
        }
        midi[at] = moving;
    }
    LV2_Atom_Sequence* sequence = SequenceIn(atomBuffers[uint32_t(layout.eventInput)]);
    for (int n = 0; n < midiCount; ++n) {
        struct {
            LV2_Atom_Event header;
            uint8_t bytes[3];
        } event{};
        event.header.time.frames = midi[n].frame;
        event.header.body.size = midi[n].size;
        event.header.body.type = types.midiEvent;
        std::memcpy(event.bytes, midi[n].bytes, sizeof event.bytes);
        if (lv2_atom_sequence_append_event(sequence, atomCapacity - sizeof(LV2_Atom),
                                           &event.header) == nullptr) {
            break; // full: the rest of this block's MIDI is dropped
        }
    }
}

void Lv2Adapter::ResetOutputSequences() {
    const AtomTypes& types = Types();
    for (uint32_t port = 0; port < layout.kinds.size(); ++port) {
        if (layout.kinds[port] == Lv2PortKind::EventOut) {
            // An output sequence starts as a chunk announcing the room it may fill.
            auto* atom = reinterpret_cast<LV2_Atom*>(atomBuffers[port].data());
            atom->type = types.chunk;
            atom->size = atomCapacity - sizeof(LV2_Atom);
        }
    }
}

} // namespace vantreel
