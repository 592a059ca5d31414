#include "engine/AudioEngine.h"
#include "plugins/PluginFolderNames.h"

#include "plugins/Lv2Instrument.h"

#include <cstdio>
#include <cstring>

namespace vantreel {

namespace {
std::atomic<AudioEngine*> currentEngine{nullptr};
constexpr const char* kEmptySlotName = "Not instanced";
} // namespace

AudioEngine::AudioEngine(OutputMode mode) {
    currentEngine.store(this);
    std::strncpy(pluginFolder, kOwnPluginFolderName, sizeof pluginFolder - 1);
    ClearSlot();
    ResetSequencer();
    OpenOutput(mode);
}

AudioEngine::~AudioEngine() {
    // No callback may run while the plug-ins are closed.
    if (output) {
        output->Stop();
        output.reset();
    }
    ClearProject();
    AudioEngine* self = this;
    currentEngine.compare_exchange_strong(self, nullptr);
}

AudioEngine* AudioEngine::Current() {
    return currentEngine.load();
}

void AudioEngine::OpenOutput(OutputMode mode) {
    if (mode == OutputMode::CallerDriven) {
        return;
    }
    if (mode == OutputMode::Device) {
        output = CreateDeviceOutput();
    }
    if (!output) {
        output = CreateNullOutput();
    }
    if (!output->Start(song.settings.sampleRate, &AudioEngine::OutputCallback, this)) {
        output.reset();
        output = CreateNullOutput();
        output->Start(song.settings.sampleRate, &AudioEngine::OutputCallback, this);
    }
    std::fprintf(stderr, "Vantreel: audio output: %s\n", output->Name());
}

void AudioEngine::OutputCallback(void* user, int16_t* buffer) {
    static_cast<AudioEngine*>(user)->StreamCallback(buffer, true);
}

double AudioEngine::CpuUsage() const {
    return output ? output->CpuUsage() : 0.0;
}

void AudioEngine::ClearProject() {
    EngineLockGuard guard(lock);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        UnloadPlugin(slot);
    }
    ClearSlot();
    ResetSequencer();
}

void AudioEngine::ClearSlot() {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        PluginSlot& s = song.slots[slot];
        s.instanced = 0;
        eventLists[slot].numEvents = 0;
        eventLists[slot].reserved = 0;
        s.sendDelay = 0;
        s.sendReverb = 0;
        s.sendChorus = 0;
        for (int p = 0; p < kPatternsPerSlot; ++p) {
            ClearPattern(slot, p);
        }
        for (int t = 0; t < kTracks; ++t) {
            lastData1[slot][t] = kNoNote;
            lastChannel[slot][t] = kNoNote;
        }
    }
}

void AudioEngine::ClearPattern(int slot, int pattern) {
    song.slots[slot].patterns[pattern].Clear();
}

void AudioEngine::GetSlotName(int slot, char text[kTextSize]) const {
    const PluginSlot& s = song.slots[slot];
    // An LV2 slot shows the instrument's name; its URI is for the file.
    const std::string lv2Name = Lv2InstrumentName(LivePlugin(slot));
    const char* name = !s.IsInstanced()  ? kEmptySlotName
                       : lv2Name.empty() ? s.dllName
                                         : lv2Name.c_str();
    std::memset(text, 0, kTextSize);
    std::strncpy(text, name, kTextSize - 1);
}

AEffect* AudioEngine::LivePlugin(int slot) const {
    if (slot < 0 || slot >= kSlotCount || !song.slots[slot].IsInstanced()) {
        return nullptr;
    }
    return effect[slot];
}

AEffect* AudioEngine::CurrentEffect() const {
    return LivePlugin(editor.currentSlot);
}

Pattern& AudioEngine::CurrentPattern() {
    return song.slots[editor.currentSlot].patterns[editor.currentPattern];
}

int AudioEngine::VuPosition(float peak) const {
    return VuBarPosition(song.settings.masterVolume, peak);
}

} // namespace vantreel
