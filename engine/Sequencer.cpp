// Turns patterns and the arrangement into timed events, sample by sample, at the start
// of every block. Timing is an integer number of samples per line.

#include "engine/AudioEngine.h"

#include <algorithm>
#include <cstdint>

namespace vantreel {

namespace {

// A damaged file may hold any line length; a line is at least one sample long.
int SafeLineLength(int lineLength) {
    return std::max(lineLength, 1);
}

int ClampInt(int value, int low, int high) {
    return std::min(std::max(value, low), high);
}

} // namespace

void AudioEngine::SetTempo(double bpm) {
    song.settings.lineLength =
        static_cast<int32_t>(song.settings.sampleRate * double(kLineSecondsAtOneBpm) / bpm);
}

double AudioEngine::GetTempo() const {
    const int lineLength = song.settings.lineLength;
    if (lineLength <= 0) {
        return 0.0;
    }
    return song.settings.sampleRate * double(kLineSecondsAtOneBpm) / lineLength;
}

void AudioEngine::ResetSequencer() {
    SetTempo(kDefaultBpm);
    lineCounter = 0;
    playMode = kStopped;
    song.arrangement.Clear();
}

void AudioEngine::ResetSongState() {
    songPosition = 0;
    std::fill(std::begin(slotLine), std::end(slotLine), 0);
    std::fill(std::begin(slotPattern), std::end(slotPattern), kNoPattern);
}

// The play commands set the counters under the lock, so the audio thread never sees
// half a restart in the middle of a block.
void AudioEngine::PlayPattern() {
    EngineLockGuard guard(lock);
    lineCounter = 0;
    patternLine = 0;
    playMode = kPlayingPattern;
    transportRestart = true;
}

void AudioEngine::PlaySong() {
    EngineLockGuard guard(lock);
    lineCounter = 0;
    ResetSongState();
    songPosition = ClampInt(editor.seqCursorLine, 0, kArrangementLines - 1);
    playMode = kPlayingSong;
    transportRestart = true;
}

void AudioEngine::StopPlayback() {
    EngineLockGuard guard(lock);
    playMode = kStopped;
    patternLine = 0;
    lineCounter = 0;
    transportRestart = true;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        AllNotesOff(slot);
    }
}

void AudioEngine::SetLoopStartAtCursor() {
    song.settings.loopStart = editor.seqCursorLine.load();
}

void AudioEngine::SetSongEndAtCursor() {
    song.settings.songEnd = editor.seqCursorLine.load();
}

int AudioEngine::SongTimeSeconds() const {
    const int64_t rate = song.settings.sampleRate;
    if (rate <= 0) {
        return 0;
    }
    return static_cast<int>(int64_t(songPosition) * song.settings.lineLength / rate);
}

int32_t AudioEngine::LineCounter() const {
    return lineCounter.load();
}

void AudioEngine::AdvanceSequencer() {
    switch (playMode.load(std::memory_order_relaxed)) {
    case kPlayingPattern:
        AdvancePatternMode();
        break;
    case kPlayingSong:
        AdvanceSongMode();
        break;
    default:
        break;
    }
}

void AudioEngine::AdvancePatternMode() {
    const int slot = ClampInt(editor.currentSlot, 0, kSlotCount - 1);
    const Pattern& pattern =
        song.slots[slot].patterns[ClampInt(editor.currentPattern, 0, kPatternsPerSlot - 1)];
    const int lineLength = SafeLineLength(song.settings.lineLength);
    const int half = lineLength / 2;
    const bool slave = editor.slaveCursor != 0;
    int counter = lineCounter.load(std::memory_order_relaxed);
    int line = ClampInt(patternLine.load(std::memory_order_relaxed), 0, kPatternLines - 1);

    for (int i = 0; i < kBlockFrames; ++i) {
        if (counter == 0) {
            for (int t = 0; t < kTracks; ++t) {
                PlayCell(slot, t, pattern.Cell(line, t), i);
            }
        }
        if (counter == half) {
            for (int t = 0; t < kTracks; ++t) {
                if (pattern.Cell(line, t).rs == kRsNoteGate) {
                    ReleaseTrackNote(slot, t, i);
                }
            }
        }
        if (++counter >= lineLength) {
            counter = 0;
            if (++line >= pattern.PlayedLength()) {
                line = 0;
            }
            if (slave) {
                editor.cursorLine = line;
            }
        }
    }
    lineCounter.store(counter, std::memory_order_relaxed);
    patternLine.store(line, std::memory_order_relaxed);
}

void AudioEngine::StartSongLine(int slot, int offset) {
    const int position = songPosition.load(std::memory_order_relaxed);
    uint8_t code = kPatternCodeEmpty;
    if (position >= 0 && position < kArrangementLines) {
        code = song.arrangement.PatternCode(position, slot);
    }
    if (code == kPatternCodeBreak) {
        for (int t = 0; t < kTracks; ++t) {
            ReleaseTrackNote(slot, t, offset);
        }
        slotPattern[slot] = kNoPattern;
        slotLine[slot] = 0;
    } else if (code < kPatternsPerSlot) {
        // Codes 26..253 only come from damaged files and change nothing.
        slotPattern[slot] = code;
        slotLine[slot] = 0;
    }
}

void AudioEngine::PlaySongSlotLine(int slot, bool lineStart, int offset) {
    if (slotPattern[slot] == kNoPattern) {
        return;
    }
    const Pattern& pattern = song.slots[slot].patterns[slotPattern[slot]];
    const int line = slotLine[slot];
    for (int t = 0; t < kTracks; ++t) {
        const EventCell cell = pattern.Cell(line, t);
        if (lineStart) {
            PlayCell(slot, t, cell, offset);
        } else if (cell.rs == kRsNoteGate) {
            ReleaseTrackNote(slot, t, offset);
        }
    }
}

void AudioEngine::AdvanceSongMode() {
    const int lineLength = SafeLineLength(song.settings.lineLength);
    const int half = lineLength / 2;
    int counter = lineCounter.load(std::memory_order_relaxed);

    // From one line start or half line to the next in one step: nothing happens in
    // the frames between (a counter beyond a shortened line ends it at the next frame).
    for (int i = 0; i < kBlockFrames;) {
        if (counter == 0 || counter == half) {
            for (int j = 0; j < kSlotCount; ++j) {
                if (counter == 0) {
                    StartSongLine(j, i);
                    PlaySongSlotLine(j, true, i);
                }
                if (counter == half) {
                    PlaySongSlotLine(j, false, i);
                }
            }
        }
        const int next = counter < 0 ? 0 : (counter < half ? half : lineLength);
        const int frames = std::clamp(next - counter, 1, kBlockFrames - i);
        i += frames;
        counter += frames;
        if (counter >= lineLength) {
            for (int j = 0; j < kSlotCount; ++j) {
                if (slotPattern[j] == kNoPattern) {
                    continue;
                }
                if (++slotLine[j] >= song.slots[j].patterns[slotPattern[j]].PlayedLength()) {
                    slotLine[j] = 0;
                    slotPattern[j] = kNoPattern;
                }
            }
            counter = 0;
            int position = songPosition.load(std::memory_order_relaxed) + 1;
            if (position >= song.settings.songEnd || position >= kArrangementLines) {
                position = ClampInt(song.settings.loopStart, 0, kArrangementLines - 1);
            }
            songPosition.store(position, std::memory_order_relaxed);
        }
    }
    lineCounter.store(counter, std::memory_order_relaxed);
}

} // namespace vantreel
