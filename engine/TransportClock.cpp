// The song position plug-ins read through audioMasterGetTime, published at the start
// of every block from the sequencer's counters, so tempo-synced plug-ins follow the
// song, its tempo changes and its loop.

#include "engine/AudioEngine.h"

#include <algorithm>
#include <cmath>

namespace vantreel {

namespace {

constexpr VstInt32 kFilledFields =
    kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;

constexpr VstInt32 kBeatNote = 4; // the beat is a quarter note

} // namespace

// Lines from the start of the pattern (pattern mode) or of the song (song mode). A
// tempo change can leave the counter beyond the new line's end, where the line ends
// at the next frame: the position stays inside the line, so it never runs backwards.
double AudioEngine::TransportLine(int mode, int lineLength) const {
    const int counter = std::min(lineCounter.load(std::memory_order_relaxed), lineLength - 1);
    const double withinLine = double(counter) / lineLength;
    switch (mode) {
    case kPlayingPattern:
        return patternLine.load(std::memory_order_relaxed) + withinLine;
    case kPlayingSong:
        return songPosition.load(std::memory_order_relaxed) + withinLine;
    default:
        return 0.0;
    }
}

// The pattern loops over its length; the song from loopStart to songEnd.
void AudioEngine::LoopRange(int mode, VstTimeInfo& info) const {
    double start = song.settings.loopStart;
    double end = song.settings.songEnd;
    if (mode == kPlayingPattern) {
        const int slot = std::clamp(editor.currentSlot.load(), 0, kSlotCount - 1);
        const int pattern = std::clamp(editor.currentPattern.load(), 0, kPatternsPerSlot - 1);
        start = 0.0;
        end = song.slots[slot].patterns[pattern].PlayedLength();
    }
    info.cycleStartPos = start / kLinesPerBeat;
    info.cycleEndPos = end / kLinesPerBeat;
}

// Lock held (or during construction). Also counts the block's frames.
void AudioEngine::PublishTransport() {
    const int mode = playMode.load(std::memory_order_relaxed);
    const int lineLength = std::max(song.settings.lineLength.load(), 1);
    const double line = TransportLine(mode, lineLength);
    if (transportRestart || mode != transportMode) {
        transportChanged = true;
        transportFrames = 0;
    } else if (mode != kStopped && line < transportLine) {
        transportChanged = true; // the loop jumped back
    }
    transportRestart = false;
    transportMode = mode;
    transportLine = line;

    VstTimeInfo info{};
    info.samplePos = double(transportFrames);
    info.sampleRate = song.settings.sampleRate;
    info.ppqPos = line / kLinesPerBeat;
    info.tempo = GetTempo();
    info.barStartPos = std::floor(info.ppqPos / kBeatsPerBar) * kBeatsPerBar;
    LoopRange(mode, info);
    info.timeSigNumerator = kBeatsPerBar;
    info.timeSigDenominator = kBeatNote;
    info.flags = kFilledFields;
    if (mode != kStopped) {
        info.flags |= kVstTransportPlaying | kVstTransportCycleActive;
        transportFrames += kBlockFrames;
    }
    if (transportChanged) {
        info.flags |= kVstTransportChanged;
        transportChanged = false;
    }
    hostContext.transport.Publish(info);
}

} // namespace vantreel
