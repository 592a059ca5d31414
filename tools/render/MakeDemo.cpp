// vantreel-make-demo: writes the demonstration song examples/demo.vpf from code, so it
// can be made again whenever the file format or the synthesizer changes:
//
//     vantreel-make-demo examples/demo.vpf [PLUGIN_DIR]
//
// Three slots of our synthesizer (bass, lead, pad) play four sections of 16 lines at
// 120 BPM, with the delay, reverb and chorus sends, the equalizer and the compressor
// in use.

#include "engine/AudioEngine.h"
#include "plugins/PluginCalls.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>

namespace {

using namespace vantreel;

constexpr const char* kSynth = "VantreelSynth.so";
constexpr int kBass = 0, kLead = 1, kPad = 2;
constexpr int kDarkBass = 7, kDetunedLead = 5, kWarmPad = 3; // the synthesizer's programs
constexpr int kSectionLines = 16;

struct Note {
    int line;
    int note;
    int velocity;
    bool gate;
};

void WritePattern(Pattern& pattern, const char* name, int track,
                  std::initializer_list<Note> notes) {
    pattern.SetName(name);
    pattern.SetLength(kSectionLines);
    for (const Note& n : notes) {
        pattern.SetCell(n.line, track,
                        {kNoteOnStatus, uint8_t(n.note), uint8_t(n.velocity),
                         uint8_t(n.gate ? kRsNoteGate : 0)});
    }
}

void WriteChord(Pattern& pattern, const char* name, std::initializer_list<int> notes) {
    pattern.SetName(name);
    pattern.SetLength(kSectionLines);
    int track = 0;
    for (int note : notes) {
        pattern.SetCell(0, track, {kNoteOnStatus, uint8_t(note), 70, 0});
        pattern.SetCell(14, track, {kStatusNoteOff, 0, 0, 0});
        ++track;
    }
}

void WritePatterns(Song& song) {
    Pattern* bass = song.slots[kBass].patterns;
    WritePattern(bass[0], "Bass A", 0,
                 {{0, 36, 110, true},
                  {3, 36, 80, true},
                  {4, 48, 100, true},
                  {8, 31, 110, true},
                  {11, 31, 80, true},
                  {12, 43, 100, true},
                  {14, 34, 90, true}});
    WritePattern(bass[1], "Bass B", 0,
                 {{0, 33, 110, true},
                  {3, 33, 80, true},
                  {4, 45, 100, true},
                  {8, 29, 110, true},
                  {10, 41, 90, true},
                  {12, 31, 110, true},
                  {14, 43, 90, true}});
    Pattern* lead = song.slots[kLead].patterns;
    WritePattern(lead[0], "Lead A", 0,
                 {{0, 72, 100, false},
                  {2, 75, 90, false},
                  {4, 79, 100, false},
                  {7, 77, 90, true},
                  {8, 75, 100, false},
                  {10, 72, 90, false},
                  {12, 70, 100, false}});
    lead[0].SetCell(15, 0, {kStatusNoteOff, 0, 0, 0});
    WritePattern(lead[1], "Lead B", 0,
                 {{0, 81, 100, false},
                  {3, 79, 90, true},
                  {4, 77, 100, false},
                  {6, 75, 90, true},
                  {8, 74, 100, false},
                  {12, 72, 110, false}});
    lead[1].SetCell(15, 0, {kStatusNoteOff, 0, 0, 0});
    WriteChord(song.slots[kPad].patterns[0], "Pad Cm", {60, 63, 67});
    WriteChord(song.slots[kPad].patterns[1], "Pad Ab", {56, 60, 63});
}

void WriteArrangement(Song& song) {
    const int sections[4][3] = {{0, 255, 0}, {1, 0, 1}, {0, 1, 0}, {1, 0, 1}}; // bass, lead, pad
    for (int s = 0; s < 4; ++s) {
        const int line = s * kSectionLines;
        for (int slot = 0; slot < 3; ++slot) {
            if (sections[s][slot] != 255) {
                song.arrangement.Set(line, slot, {uint8_t(sections[s][slot]), 0});
            }
        }
    }
    song.settings.loopStart = 0;
    song.settings.songEnd = 4 * kSectionLines;
}

void SetMix(Song& song) {
    PluginSlot* slots = song.slots;
    slots[kBass].sendChorus = 20;
    slots[kLead].sendDelay = 45;
    slots[kLead].sendReverb = 50;
    slots[kPad].sendReverb = 80;
    slots[kPad].sendChorus = 60;
    SongSettings& s = song.settings;
    s.masterVolume = 30000;
    s.delay.delayLeft = 3 * 5512; // three lines at 120 BPM
    s.delay.delayRight = 2 * 5512;
    s.delay.feedbackLeft = 50;
    s.delay.feedbackRight = 45;
    s.reverb.room = 85;
    s.reverb.damp = 50;
    s.equalizer.lowGain = 3;
    s.equalizer.highGain = 2;
    s.compressor.threshold = 90;
    s.compressor.ratio = 2;
}

bool LoadSynth(AudioEngine& engine, int slot, int program) {
    if (!engine.LoadPlugin(slot, kSynth)) {
        std::fprintf(stderr, "vantreel-make-demo: cannot load %s: %s\n", kSynth,
                     engine.LastPluginError().c_str());
        return false;
    }
    plugin::SetProgram(engine.LivePlugin(slot), program);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    constexpr const char* kUsage = "Usage: vantreel-make-demo OUTPUT.vpf [PLUGIN_DIR]\n";
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // An option it does not know is a mistake, not the name of the file to write.
    if (argc < 2 || argc > 3 || argv[1][0] == '-') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    if (argc == 3) {
        if (std::strlen(argv[2]) >= std::size_t(kTextSize)) {
            std::fprintf(stderr, "vantreel-make-demo: plug-in folder name too long\n");
            return 2;
        }
        std::strcpy(engine->pluginFolder, argv[2]);
    }
    engine->SetTempo(120.0);
    if (!LoadSynth(*engine, kBass, kDarkBass) || !LoadSynth(*engine, kLead, kDetunedLead) ||
        !LoadSynth(*engine, kPad, kWarmPad)) {
        return 1;
    }
    WritePatterns(engine->song);
    WriteArrangement(engine->song);
    SetMix(engine->song);
    if (!engine->SaveProject(argv[1])) {
        std::fprintf(stderr, "vantreel-make-demo: cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
