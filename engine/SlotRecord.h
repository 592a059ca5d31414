#pragma once
// A slot's plug-in record kept in memory, written and read by the same code that
// writes and reads it in project files: the library name, the current program, every
// program's parameters and the chunk, with the shape the file's extension keeps.
// Undoing "Open..." or "Delete" puts a slot back from one of these.
//
// Threads: user-interface thread; both take the engine lock.

#include "song/MissingPluginRecord.h"
#include "song/ProjectExtension.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantreel {

class AudioEngine;

struct SlotRecordImage {
    // The instanced byte, then the record as a project file holds it; a slot that
    // holds the kept record of a missing plug-in leaves it empty and keeps `missing`.
    std::vector<uint8_t> bytes;
    ExtensionSlot extension; // the record's shape and whole name
    MissingPluginRecord missing;

    bool Instanced() const { return !bytes.empty() && bytes[0] != 0; }
    std::size_t Bytes() const {
        return sizeof *this + bytes.capacity() + missing.bytes.capacity() +
               extension.longName.capacity() + missing.longName.capacity();
    }
};

// What `slot` holds now. False, with `problem` saying why, when its plug-in's state
// cannot be written (the project could not be saved either).
bool CaptureSlotRecord(AudioEngine& engine, int slot, SlotRecordImage& image, std::string& problem);

// Closes the slot's plug-in and puts `image` in its place: the plug-in loaded again
// with its programs, parameters and chunk, as opening a project does, or the kept
// record of a missing one, or nothing. False when the plug-in could not be loaded or
// its state not applied; the reporter tells the user. Sends and patterns stay.
bool RestoreSlotRecord(AudioEngine& engine, int slot, const SlotRecordImage& image);

} // namespace vantreel
