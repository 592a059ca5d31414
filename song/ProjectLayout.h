#pragma once
// The fixed part of the project file: sizes of its fields and the encoding of the
// song's own records (patterns, arrangement head, settings). The plug-in records
// between them are written by the engine, which talks to the plug-ins.
//
// All of these run on the user-interface thread with the engine lock held.

#include "song/Arrangement.h"
#include "song/ByteReader.h"
#include "song/ByteWriter.h"
#include "song/Pattern.h"
#include "song/PluginSlot.h"
#include "song/SongSettings.h"

#include <cstddef>
#include <cstdint>

namespace vantreel {

constexpr int kSongHeadSize = 16; // fields 1-4: loopStart, songEnd, sampleRate, masterVolume
constexpr int kPluginNameSize = kTextSize;
constexpr int kSendLevelsSize = 3;
constexpr int kPatternBankSize = kPatternsPerSlot * kPatternRecordSize;
constexpr int kArrangementHeadLines = 26; // the only lines the original layout holds
constexpr int kArrangementEntrySize = 2;
constexpr int kArrangementLineSize = kSlotCount * kArrangementEntrySize;
constexpr int kArrangementHeadSize = kArrangementHeadLines * kArrangementLineSize;
constexpr int kSettingsTailSize = 28; // fields 7-12: delay, reverb, chorus, compressor, EQ, tempo
// A slot record without a plug-in: the flag, the sends and the pattern bank.
constexpr int kEmptySlotRecordSize = 1 + kSendLevelsSize + kPatternBankSize;
// Fields 1 to 12 of a project in which no slot holds a plug-in.
constexpr int64_t kEmptyProjectSize = kSongHeadSize + int64_t(kSlotCount) * kEmptySlotRecordSize +
                                      kArrangementHeadSize + kSettingsTailSize;
static_assert(kPatternBankSize == 214708);
static_assert(kArrangementHeadSize == 832);
static_assert(kEmptyProjectSize == 3436268);

// Offsets inside one pattern record.
constexpr int kPatternCellsOffset = kTextSize;
constexpr int kPatternLengthOffset = kPatternCellsOffset + kCellsPerPattern * 4;
static_assert(kPatternLengthOffset + 2 == kPatternRecordSize);

// Sample rates a plug-in and the engine can be started with; a file outside this
// range is damaged and falls back to the default.
constexpr int kMinUsableSampleRate = 8000;
constexpr int kMaxUsableSampleRate = 384000;

void WritePattern(ByteWriter& out, const Pattern& pattern);
void WritePatternBank(ByteWriter& out, const PluginSlot& slot);
// Decodes a whole pattern bank from exactly kPatternBankSize bytes.
void ReadPatternBank(const uint8_t* bytes, PluginSlot& slot);
// Applies the first `available` bytes of a pattern bank over what the slot holds,
// byte for byte: a file that ends inside the bank changes only what it still holds.
void ReadPartialPatternBank(const uint8_t* bytes, std::size_t available, PluginSlot& slot);

void WriteArrangementHead(ByteWriter& out, const Arrangement& arrangement);
// Same byte-for-byte rule as the pattern bank: entries the bytes do not reach stay.
void ReadArrangementHead(const uint8_t* bytes, std::size_t available, Arrangement& arrangement);

// Fields 1, 2 and 4 go through these two together with field 3, the sample rate.
void WriteSongHead(ByteWriter& out, const SongSettings& settings);
void WriteSettingsTail(ByteWriter& out, const SongSettings& settings);
// Reads fields 7 to 12 value by value; a value the bytes do not hold whole is left
// as it was. The delay's pad byte is ignored.
void ReadSettingsTail(ByteReader& in, SongSettings& settings);

} // namespace vantreel
