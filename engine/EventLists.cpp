// The per-slot event lists and the note bookkeeping that lets a new note, a note-off
// cell, a note gate or a break release the note a track last started.

#include "engine/AudioEngine.h"

namespace vantreel {

namespace {
constexpr uint8_t kAllNotesOffController = 123;
constexpr int kMidiChannels = 16;
} // namespace

void AudioEngine::AppendEvent(int slot, const uint8_t bytes[4], int offset, bool& dropped) {
    dropped = !eventLists[slot].Append(bytes, offset);
    if (dropped) {
        reporter.Post(AudioReport::EventBufferFlood);
    }
}

void AudioEngine::PlayCell(int slot, int track, EventCell cell, int offset) {
    if (cell.status == kStatusEmpty) {
        return;
    }
    if (cell.status == kStatusNoteOff) {
        ReleaseTrackNote(slot, track, offset);
        return;
    }
    if ((cell.status & kStatusKindMask) == kNoteOnStatus) {
        ReleaseTrackNote(slot, track, offset);
    }
    const uint8_t bytes[4] = {cell.status, cell.data1, cell.data2, cell.rs};
    bool dropped = false;
    AppendEvent(slot, bytes, offset, dropped);
    if (dropped) {
        return;
    }
    lastData1[slot][track] = cell.data1;
    lastChannel[slot][track] = cell.status & kStatusChannelMask;
}

int AudioEngine::ReleaseTrackNote(int slot, int track, int offset) {
    if (lastData1[slot][track] == kNoNote) {
        return 0;
    }
    const EventCell noteOff{uint8_t(kNoteOffStatus + lastChannel[slot][track]),
                            uint8_t(lastData1[slot][track]), 0, 0};
    PlayCell(slot, track, noteOff, offset);
    lastData1[slot][track] = kNoNote;
    lastChannel[slot][track] = kNoNote;
    return 1;
}

void AudioEngine::AllNotesOff(int slot) {
    if (!song.slots[slot].IsInstanced()) {
        return;
    }
    for (int channel = 0; channel < kMidiChannels; ++channel) {
        PlayCell(slot, 0, {uint8_t(kControllerStatus + channel), kAllNotesOffController, 0, 0}, 0);
    }
    for (int t = 0; t < kTracks; ++t) {
        lastData1[slot][t] = kNoNote;
        lastChannel[slot][t] = kNoNote;
    }
}

void AudioEngine::QueueMidiEvent(int slot, const uint8_t bytes[4]) {
    QueuedMidiEvent event;
    event.slot = static_cast<uint8_t>(slot & (kSlotCount - 1));
    for (int i = 0; i < 4; ++i) {
        event.bytes[i] = bytes[i];
    }
    if (!midiQueue.Push(event)) {
        reporter.Post(AudioReport::EventBufferFlood);
    }
}

void AudioEngine::DrainMidiQueue() {
    QueuedMidiEvent event;
    while (midiQueue.Pop(event)) {
        bool dropped = false;
        AppendEvent(event.slot, event.bytes, 0, dropped);
    }
}

} // namespace vantreel
