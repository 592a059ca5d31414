#pragma once
// The master effects' settings in a new song: the song's stored settings and the
// effects' own settings records both start from these, each in the width the song
// stores it in.

#include <cstdint>

namespace vantreel {

struct DelayDefaults {
    static constexpr uint16_t time = 15840; // samples, either side
    static constexpr uint8_t feedback = 70;
    static constexpr bool crossDelay = true;
};

struct ChorusDefaults {
    static constexpr uint16_t lfoSpeed = 36;
    static constexpr uint16_t delay = 40;
    static constexpr uint8_t mod = 63;
    static constexpr uint8_t feedback = 0;
};

struct ReverbDefaults {
    static constexpr uint8_t room = 80;
    static constexpr uint8_t damp = 64;
    static constexpr uint8_t width = 128;
    static constexpr uint8_t mode = 0;
};

struct CompressorDefaults {
    static constexpr uint8_t threshold = 100;
    static constexpr uint8_t ratio = 0; // bypassed
    static constexpr uint8_t smoothness = 16;
};

struct EqualizerDefaults {
    static constexpr int8_t gain = 0; // dB, every band
};

} // namespace vantreel
