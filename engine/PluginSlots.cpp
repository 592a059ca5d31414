// Creating, starting, stopping and closing the plug-in instances of the slots.

#include "engine/AudioEngine.h"
#include "plugins/HostCallback.h"
#include "plugins/PluginLibrary.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace vantreel {

namespace {
constexpr int kProcessBlockSize = kBlockFrames;
}

bool AudioEngine::LoadPlugin(int slot, const char* name) {
    editor.currentParameter = 0;
    UnloadPlugin(slot);
    song.slots[slot].instanced = 0;

    // A name that does not fit the slot would be saved as a different file.
    if (std::strlen(name) >= kTextSize) {
        effect[slot] = nullptr;
        return false;
    }
    const std::string path = std::string(pluginFolder) + "/" + name;
    PluginInstanceResult created = CreatePluginInstance(path, &HostCallback);
    effect[slot] = created.effect;
    if (!created.effect) {
        std::fprintf(stderr, "Vantreel: cannot load %s: %s\n", path.c_str(),
                     created.reason.c_str());
        return false;
    }
    AEffect* e = created.effect;
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effSetProgram, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, float(song.settings.sampleRate));
    e->dispatcher(e, effSetBlockSize, 0, kProcessBlockSize, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);

    std::memset(song.slots[slot].dllName, 0, kTextSize);
    std::strncpy(song.slots[slot].dllName, name, kTextSize - 1);
    song.slots[slot].instanced = 1;
    return true;
}

void AudioEngine::UnloadPlugin(int slot) {
    EngineLockGuard guard(lock);
    PluginSlot& s = song.slots[slot];
    if (!s.IsInstanced()) {
        return;
    }
    editor.currentParameter = 0;
    s.instanced = 0;
    AEffect* e = effect[slot];
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
}

} // namespace vantreel
