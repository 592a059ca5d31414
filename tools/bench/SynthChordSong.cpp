#include "SynthChordSong.h"

#include <cstring>

namespace vantreel::bench {

std::unique_ptr<AudioEngine> SynthChordSong(int threads, uint8_t oddLineMark) {
    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven, OutputChoice{}, threads);
    std::strncpy(engine->pluginFolder, VANTREEL_PLUGIN_OUTPUT_DIR, kTextSize - 1);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!engine->LoadPlugin(slot, "VantreelSynth.so")) {
            return nullptr;
        }
        Pattern& pattern = engine->song.slots[slot].patterns[0];
        for (int line = 0; line < 64; ++line) {
            for (int track = 0; track < kTracks; ++track) {
                const uint8_t note = uint8_t(36 + (line * 5 + track * 7 + slot) % 48);
                const uint8_t mark = line % 2 != 0 ? oddLineMark : 0;
                pattern.SetCell(line, track, {0x90, note, 100, mark});
            }
        }
        for (int line = 0; line < 1024; line += 64) {
            engine->song.arrangement.Set(line, slot, {0, 0});
        }
        engine->song.slots[slot].sendReverb = 20;
        engine->song.slots[slot].sendDelay = 20;
    }
    engine->song.settings.songEnd = 1024;
    engine->song.settings.lineLength = 2000;
    engine->PlaySong();
    return engine;
}

} // namespace vantreel::bench
