// Creating, starting, stopping and closing the plug-in instances of the slots.

#include "engine/AudioEngine.h"
#include "engine/RenderSettings.h"
#include "plugins/HostCallback.h"
#include "plugins/Lv2Instrument.h"
#include "plugins/Lv2Name.h"
#include "plugins/PluginCalls.h"
#include "plugins/PluginLibrary.h"
#include "plugins/PluginSearchPath.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace vantreel {

namespace {

constexpr int kProcessBlockSize = kBlockFrames;
constexpr int kFirstProgram = 0;

// Why `name` cannot be loaded before the library is even looked for, or "".
std::string NameProblem(const char* name) {
    if (name == nullptr) {
        return "no library name";
    }
    // An LV2 URI names no file; one too long for the name field is kept beside it.
    if (IsLv2Name(name)) {
        return Lv2UriOf(name).empty() ? "no LV2 plug-in URI" : "";
    }
    // A longer name would be saved cut short, naming a different file.
    if (std::strlen(name) >= size_t(kTextSize)) {
        return "library name longer than " + std::to_string(kTextSize - 1) + " characters";
    }
    return PluginNameProblem(name);
}

void StartInstance(AEffect* e, int sampleRate) {
    plugin::Open(e);
    plugin::SetProgram(e, kFirstProgram);
    plugin::SetSampleRate(e, float(sampleRate));
    plugin::SetBlockSize(e, kProcessBlockSize);
    plugin::Resume(e);
}

} // namespace

bool AudioEngine::LoadPlugin(int slot, const char* name) {
    if (slot < 0 || slot >= kSlotCount) {
        return false;
    }
    editor.currentParameter = 0;
    UnloadPlugin(slot);
    PluginSlot& s = song.slots[slot];
    s.instanced = 0;
    effect[slot] = nullptr;

    lastPluginError = NameProblem(name);
    if (!lastPluginError.empty()) {
        reporter.NoteFailure("cannot load plug-in \"" + std::string(name ? name : "") +
                             "\": " + lastPluginError);
        return false;
    }
    AEffect* created = CreateInstance(name);
    if (created == nullptr) {
        return false;
    }
    effect[slot] = created;
    hostContext.SetOpenInstance(slot, created);
    StartInstance(created, song.settings.sampleRate);

    // A name too long for the field (only an LV2 URI can be) is kept whole beside its
    // first 63 characters.
    const std::size_t kept = std::min(std::strlen(name), std::size_t(kTextSize - 1));
    std::memset(s.dllName, 0, kTextSize);
    std::memcpy(s.dllName, name, kept);
    pluginNames[slot] = name;
    RegistryStore store;
    audioThreadOnly[slot].store(StoredRunOnAudioThread(store, name) ? 1 : 0,
                                std::memory_order_relaxed);
    // Last: the audio thread uses the slot only once the instance is fully started.
    s.instanced = 1;
    return true;
}

AEffect* AudioEngine::CreateInstance(const char* name) {
    if (IsLv2Name(name)) {
        Lv2CreateResult created =
            CreateLv2Instrument(Lv2UriOf(name), song.settings.sampleRate, &HostCallback);
        if (created.effect == nullptr) {
            lastPluginError = created.reason;
            reporter.NoteFailure("cannot load " + std::string(name) + ": " + lastPluginError);
        }
        return created.effect;
    }
    const std::string path = FindPluginLibrary(name, pluginFolder, PluginSearchPath());
    PluginInstanceResult created = CreatePluginInstance(path, &HostCallback);
    if (created.effect == nullptr) {
        lastPluginError = created.reason;
        reporter.NoteFailure("cannot load " + path + ": " + lastPluginError);
        return nullptr;
    }
    lastPluginError = plugin::RunProblem(created.effect);
    if (!lastPluginError.empty()) {
        reporter.NoteFailure("cannot load " + path + ": " + lastPluginError);
        plugin::Close(created.effect); // never opened: this only lets it free itself
        return nullptr;
    }
    return created.effect;
}

void AudioEngine::UnloadPlugin(int slot) {
    if (slot < 0 || slot >= kSlotCount) {
        return;
    }
    AEffect* retired = nullptr;
    {
        EngineLockGuard guard(lock);
        // A kept record of a missing plug-in goes with whatever closes or replaces the slot.
        missingPlugins[slot].Clear();
        PluginSlot& s = song.slots[slot];
        if (!s.IsInstanced()) {
            return;
        }
        editor.currentParameter = 0;
        AEffect* e = LivePlugin(slot);
        s.instanced = 0;
        // Asked before closing: a VST 2 plug-in may free its record there.
        const bool adapter = IsLv2Instrument(e);
        // An editor left marked open would be idled after its instance is gone, and an
        // idle request noted on another thread must not reach it once it is closed.
        hostContext.SetEditorOpen(e, false);
        hostContext.SetOpenInstance(slot, nullptr);
        plugin::Suspend(e);
        plugin::Close(e);
        if (adapter) {
            retired = e;
            effect[slot] = nullptr;
        }
    }
    // The slot no longer reaches it, so it is freed without the lock: freeing may wait
    // for a young instrument, and the other slots keep sounding meanwhile.
    if (retired != nullptr) {
        FreeLv2Instrument(retired);
    }
}

const std::string& AudioEngine::PluginName(int slot) const {
    return pluginNames[slot];
}

const std::string& AudioEngine::LastPluginError() const {
    return lastPluginError;
}

} // namespace vantreel
