#include "engine/AudioEngine.h"
#include "plugins/PluginFolderNames.h"

#include "plugins/Lv2Instrument.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vantreel {

namespace {
std::atomic<AudioEngine*> currentEngine{nullptr};
constexpr const char* kEmptySlotName = "Not instanced";
} // namespace

AudioEngine::AudioEngine(OutputMode mode, const OutputChoice& choice, int renderThreads) {
    currentEngine.store(this);
    const int threads = std::clamp(renderThreads, 1, kMaxRenderThreads);
    for (int t = 0; t < threads; ++t) {
        scratch.push_back(std::make_unique<SlotScratch>());
    }
    workers = std::make_unique<RenderWorkers>(threads, &AudioEngine::RenderItem, this);
    std::strncpy(pluginFolder, kOwnPluginFolderName, sizeof pluginFolder - 1);
    ClearSlot();
    ResetSequencer();
    PublishTransport(); // plug-ins opened before the first block find a record
    OpenOutput(mode, choice);
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

bool AudioEngine::OpenOutput(OutputMode mode, const OutputChoice& choice) {
    outputProblem.clear();
    if (mode == OutputMode::CallerDriven) {
        return true;
    }
    if (mode == OutputMode::Device && StartOutput(CreateDeviceOutput(), choice)) {
        return true;
    }
    const std::string why = outputProblem;
    StartOutput(CreateNullOutput(), choice);
    outputProblem = why;
    std::fprintf(stderr, "Vantreel: audio output: null output%s%s\n", why.empty() ? "" : ": ",
                 why.c_str());
    return mode != OutputMode::Device;
}

// Opens, prepares the feed for what the device granted, then starts; the feed is
// ready before the first callback.
bool AudioEngine::StartOutput(std::unique_ptr<OutputStream> stream, const OutputChoice& choice) {
    const int songRate = song.settings.sampleRate;
    if (!stream->Open(choice, songRate)) {
        outputProblem = stream->Problem();
        return false;
    }
    const OutputFormat format = stream->Format();
    if (!feed.Prepare(songRate, format.sampleRate, format.bufferFrames)) {
        outputProblem = feed.Problem();
        stream->Stop();
        return false;
    }
    if (!stream->Start(&AudioEngine::OutputCallback, this)) {
        outputProblem = stream->Problem();
        return false;
    }
    output = std::move(stream);
    return true;
}

bool AudioEngine::ReopenOutput(const OutputChoice& choice) {
    EngineLockGuard guard(lock);
    if (output) {
        output->Stop();
        output.reset();
    }
    return OpenOutput(OutputMode::Device, choice);
}

OutputFormat AudioEngine::CurrentOutput() const {
    return output ? output->Format() : OutputFormat{};
}

bool AudioEngine::OutputConverts() const {
    return output != nullptr && feed.Converting();
}

void AudioEngine::OutputCallback(void* user, int16_t* buffer, int frames, bool underflow) {
    static_cast<AudioEngine*>(user)->feed.Fill(buffer, frames, underflow);
}

double AudioEngine::CpuUsage() const {
    return feed.CpuPercent();
}

uint32_t AudioEngine::Dropouts() const {
    return feed.Dropouts();
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
