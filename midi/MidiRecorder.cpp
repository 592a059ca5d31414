#include "midi/MidiRecorder.h"

#include "engine/AudioEngine.h"
#include "midi/ShortMessage.h"
#include "song/CursorCell.h"

namespace vantreel {

MidiRecorder::MidiRecorder(AudioEngine& engine, MidiRepaintRequest repaint)
    : engine(engine), repaint(repaint) {}

void MidiRecorder::Receive(uint32_t packedMessage) {
    const EventCell cell = EventCell::Unpack(packedMessage);
    if (cell.status == kActiveSensing) {
        return; // a keyboard's keep-alive, several times a second
    }
    // Outside edit mode nothing is stored at all: the message only sounds.
    if (engine.editor.editMode.load() != 0) {
        StoreAtPatternCursor(engine.song, engine.editor, cell);
    }
    const uint8_t bytes[4] = {cell.status, cell.data1, cell.data2, cell.rs};
    engine.QueueMidiEvent(engine.editor.currentSlot.load(), bytes);
    // While the player runs, the refresh timer repaints anyway.
    if (engine.playMode.load() == kStopped && repaint != nullptr) {
        repaint();
    }
}

} // namespace vantreel
