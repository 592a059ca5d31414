#pragma once
// A short MIDI message packed the way the input callback receives it: the status
// byte in the lowest 8 bits, then data byte 1, data byte 2, and a fourth byte on top.

#include "song/EventCell.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vantreel {

constexpr uint8_t kActiveSensing = 0xFE;
constexpr uint8_t kSystemExclusive = 0xF0;

// Packs the bytes a MIDI driver delivered for one message: its first three bytes
// (missing ones zero) and a zero fourth byte, so nothing longer than a cell is kept.
// Empty when there is nothing to pack: no bytes, or a system-exclusive message,
// which is long data rather than a short message. Any thread.
std::optional<uint32_t> PackShortMessage(const unsigned char* bytes, size_t size);

} // namespace vantreel
