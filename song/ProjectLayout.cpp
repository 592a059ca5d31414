#include "song/ProjectLayout.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vantreel {

namespace {

// Reads one value of type T when the reader still holds it whole.
template <typename T, typename Read> void ReadWhole(ByteReader& in, Shared<T>& field, Read read) {
    if (in.Remaining() >= sizeof(T)) {
        field.store(static_cast<T>((in.*read)()), std::memory_order_relaxed);
    } else {
        in.Bytes(in.Remaining()); // a value cut in two is not read, nor anything after it
    }
}

// `record` holds kPatternRecordSize bytes. Cells are taken straight from the bytes:
// this runs for every cell of a project, so it stays a plain loop.
void ReadPattern(const uint8_t* record, Pattern& pattern) {
    std::memcpy(pattern.name, record, kTextSize);
    const uint8_t* cell = record + kPatternCellsOffset;
    for (int line = 0; line < kPatternLines; ++line) {
        for (int track = 0; track < kTracks; ++track, cell += 4) {
            pattern.SetCell(line, track, {cell[0], cell[1], cell[2], cell[3]});
        }
    }
    pattern.SetLength(
        uint16_t(record[kPatternLengthOffset] | record[kPatternLengthOffset + 1] << 8));
}

} // namespace

void WritePattern(ByteWriter& out, const Pattern& pattern) {
    out.Bytes(pattern.name, kTextSize);
    // Line by line, track by track, status byte first.
    out.U32s(std::size_t(kCellsPerPattern), [&](std::size_t i) {
        return pattern.Cell(int(i) / kTracks, int(i) % kTracks).Pack();
    });
    out.U16(pattern.Length());
}

void WritePatternBank(ByteWriter& out, const PluginSlot& slot) {
    for (const Pattern& pattern : slot.patterns) {
        WritePattern(out, pattern);
    }
}

void ReadPatternBank(const uint8_t* bytes, PluginSlot& slot) {
    for (Pattern& pattern : slot.patterns) {
        ReadPattern(bytes, pattern);
        bytes += kPatternRecordSize;
    }
}

void ReadPartialPatternBank(const uint8_t* bytes, std::size_t available, PluginSlot& slot) {
    for (int p = 0; p < kPatternsPerSlot; ++p) {
        const std::size_t start = std::size_t(p) * kPatternRecordSize;
        if (available <= start) {
            return;
        }
        if (available >= start + kPatternRecordSize) {
            ReadPattern(bytes + start, slot.patterns[p]);
            continue;
        }
        // The pattern the file ends in (damaged files only): its stored bytes over
        // the pattern as it is.
        std::vector<uint8_t> image;
        image.reserve(kPatternRecordSize);
        ByteWriter current(image);
        WritePattern(current, slot.patterns[p]);
        std::memcpy(image.data(), bytes + start, available - start);
        ReadPattern(image.data(), slot.patterns[p]);
        return;
    }
}

void WriteArrangementHead(ByteWriter& out, const Arrangement& arrangement) {
    for (int line = 0; line < kArrangementHeadLines; ++line) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const ArrangementEntry entry = arrangement.Get(line, slot);
            out.U8(entry.patternCode);
            out.U8(entry.aux);
        }
    }
}

void ReadArrangementHead(const uint8_t* bytes, std::size_t available, Arrangement& arrangement) {
    available = std::min<std::size_t>(available, kArrangementHeadSize);
    for (int i = 0; i < kArrangementHeadLines * kSlotCount; ++i) {
        const std::size_t at = std::size_t(i) * kArrangementEntrySize;
        if (at >= available) {
            return;
        }
        const int line = i / kSlotCount;
        const int slot = i % kSlotCount;
        ArrangementEntry entry = arrangement.Get(line, slot);
        entry.patternCode = bytes[at];
        if (at + 1 < available) {
            entry.aux = bytes[at + 1];
        }
        arrangement.Set(line, slot, entry);
    }
}

void WriteSongHead(ByteWriter& out, const SongSettings& settings) {
    out.I32(settings.loopStart);
    out.I32(settings.songEnd);
    out.I32(settings.sampleRate);
    out.I32(settings.masterVolume);
}

void WriteSettingsTail(ByteWriter& out, const SongSettings& s) {
    out.U16(s.delay.delayLeft);
    out.U16(s.delay.delayRight);
    out.U8(s.delay.feedbackLeft);
    out.U8(s.delay.feedbackRight);
    out.U8(s.delay.crossDelay);
    out.U8(0); // pad
    out.U8(s.reverb.room);
    out.U8(s.reverb.damp);
    out.U8(s.reverb.width);
    out.U8(s.reverb.mode);
    out.U16(s.chorus.lfoSpeed);
    out.U16(s.chorus.chorusDelay);
    out.U8(s.chorus.chorusMod);
    out.U8(s.chorus.chorusFeedback);
    out.U8(s.compressor.threshold);
    out.U8(s.compressor.ratio);
    out.U8(s.compressor.smoothness);
    out.I8(s.equalizer.lowGain);
    out.I8(s.equalizer.peakGain);
    out.I8(s.equalizer.highGain);
    out.I32(s.lineLength);
}

void ReadSettingsTail(ByteReader& in, SongSettings& s) {
    ReadWhole(in, s.delay.delayLeft, &ByteReader::U16);
    ReadWhole(in, s.delay.delayRight, &ByteReader::U16);
    ReadWhole(in, s.delay.feedbackLeft, &ByteReader::U8);
    ReadWhole(in, s.delay.feedbackRight, &ByteReader::U8);
    ReadWhole(in, s.delay.crossDelay, &ByteReader::U8);
    in.Bytes(std::min<std::size_t>(1, in.Remaining())); // pad
    ReadWhole(in, s.reverb.room, &ByteReader::U8);
    ReadWhole(in, s.reverb.damp, &ByteReader::U8);
    ReadWhole(in, s.reverb.width, &ByteReader::U8);
    ReadWhole(in, s.reverb.mode, &ByteReader::U8);
    ReadWhole(in, s.chorus.lfoSpeed, &ByteReader::U16);
    ReadWhole(in, s.chorus.chorusDelay, &ByteReader::U16);
    ReadWhole(in, s.chorus.chorusMod, &ByteReader::U8);
    ReadWhole(in, s.chorus.chorusFeedback, &ByteReader::U8);
    ReadWhole(in, s.compressor.threshold, &ByteReader::U8);
    ReadWhole(in, s.compressor.ratio, &ByteReader::U8);
    ReadWhole(in, s.compressor.smoothness, &ByteReader::U8);
    ReadWhole(in, s.equalizer.lowGain, &ByteReader::I8);
    ReadWhole(in, s.equalizer.peakGain, &ByteReader::I8);
    ReadWhole(in, s.equalizer.highGain, &ByteReader::I8);
    ReadWhole(in, s.lineLength, &ByteReader::I32);
}

} // namespace vantreel
