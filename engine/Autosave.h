#pragma once
// Keeps the song in memory on the disk while it holds changes no project file has:
// at most once per interval, and only when it changed since the last image, the
// image SaveProject would write is built (under the engine lock) and handed to the
// background writer. A song with nothing unsaved has no file: it is removed once the
// flag is clear. At exit the last changes are written, waiting for the disk, or the
// file is removed when nothing is unsaved.
//
// Threads: the user-interface thread only; the disk is the writer thread's.

#include "song/AutosaveWriter.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace vantreel {

class AudioEngine;

using AutosaveClock = std::chrono::steady_clock;

constexpr std::chrono::seconds kDefaultAutosaveInterval{30};
// Tests set it to a few seconds; a value that is no whole number of seconds above
// zero keeps the default.
constexpr const char* kAutosaveIntervalVariable = "VANTREEL_AUTOSAVE_SECONDS";

// The interval from kAutosaveIntervalVariable, else the default.
std::chrono::seconds AutosaveInterval();

class Autosave {
public:
    Autosave(AudioEngine& engine, std::string songPath, std::chrono::seconds interval);

    // Hands an image to the writer when one is due; true when it did.
    bool Tick(AutosaveClock::time_point now);
    // The song in memory was just loaded from the file at songPath: it is on the disk.
    void Adopted();
    // At exit: the last changes, or the removal, reach the disk before it returns.
    void Close();

    const std::string& SongPath() const { return songPath; }
    AutosaveWriter& Writer() { return writer; }

private:
    bool WriteImage();

    AudioEngine& engine;
    const std::string songPath;
    const std::chrono::seconds interval;
    AutosaveWriter writer;
    std::optional<AutosaveClock::time_point> lastImage;
    uint64_t imageRevision = 0;
    bool fileOnDisk = false;
};

} // namespace vantreel
