#include "engine/PluginCommands.h"

#include "plugins/Lv2Catalog.h"
#include "plugins/Lv2Name.h"
#include "plugins/PluginListing.h"
#include "plugins/PluginSearchPath.h"

#include <cstring>

namespace vantreel {

namespace {

constexpr const char* kProductName = "Vantreel";

bool FitsFolderText(const std::string& folder) {
    return folder.size() < size_t(kTextSize);
}

void CopyFolder(AudioEngine& engine, const std::string& folder) {
    std::memset(engine.pluginFolder, 0, sizeof engine.pluginFolder);
    std::memcpy(engine.pluginFolder, folder.data(), folder.size());
}

} // namespace

PluginOpenResult OpenPluginCommand(AudioEngine& engine, const std::string& name) {
    PluginOpenResult result;
    result.loaded = engine.LoadPlugin(engine.editor.currentSlot, name.c_str());
    result.statusText =
        result.loaded ? "Plugin " + name + " instanced ok" : "Error creating " + name + " plugin";
    if (!result.loaded) {
        // The status line is gone in two seconds; the reason must stay until read.
        engine.reporter.Show(PluginLoadFailedMessage(name, engine.LastPluginError()));
    }
    return result;
}

void DeletePluginCommand(AudioEngine& engine, const std::function<bool()>& askClearPatternBank) {
    const int slot = engine.editor.currentSlot;
    engine.UnloadPlugin(slot);
    if (!askClearPatternBank || !askClearPatternBank()) {
        return;
    }
    // Under the lock, so playback never plays a bank half cleared.
    EngineLockGuard guard(engine.lock);
    for (int pattern = 0; pattern < kPatternsPerSlot; ++pattern) {
        engine.ClearPattern(slot, pattern);
    }
}

bool LocatePluginFolder(AudioEngine& engine, const std::vector<std::string>& searchPath) {
    // A folder too long for the text is skipped here but stays on the search path,
    // so its plug-ins are still listed and loaded.
    for (const std::string& folder : searchPath) {
        if (FitsFolderText(folder) && IsFolder(folder)) {
            CopyFolder(engine, folder);
            return true;
        }
    }
    CopyFolder(engine, kFallbackPluginFolder);
    engine.reporter.Show(FallbackFolderMessage());
    return false;
}

bool LocatePluginFolder(AudioEngine& engine) {
    return LocatePluginFolder(engine, PluginSearchPath());
}

std::vector<std::string> ListPlugins(const AudioEngine& engine) {
    return ListPluginFiles(engine.pluginFolder, PluginSearchPath());
}

std::vector<PluginEntry> ListPluginEntries(const AudioEngine& engine) {
    return PluginEntriesWith(ListPlugins(engine));
}

std::vector<PluginEntry> PluginEntriesWith(const std::vector<std::string>& files) {
    std::vector<PluginEntry> entries;
    for (const std::string& file : files) {
        entries.push_back({file, file});
    }
    for (const Lv2Listing& instrument : ListLv2Instruments()) {
        entries.push_back({instrument.name + kLv2Mark, Lv2NameFor(instrument.uri)});
    }
    return entries;
}

bool SetPluginFolder(AudioEngine& engine, const std::string& folder) {
    if (!FitsFolderText(folder)) {
        return false;
    }
    CopyFolder(engine, folder);
    return true;
}

UserMessage FallbackFolderMessage() {
    return {"Failed to locate VST directory from the registry, using \\VST from running path "
            "directory by default",
            kProductName, MessageIcon::Error};
}

UserMessage FolderChangeNotice() {
    return {"Notice: you must have copy any plugins you already used to new path, in order to "
            "be able load your song later.",
            "Kelvo - VST", MessageIcon::Warning};
}

UserMessage PluginLoadFailedMessage(const std::string& name, const std::string& reason) {
    return {"Could not load the plug-in " + name + ": " + reason, kProductName, MessageIcon::Error};
}

UserMessage MissingPluginMessage(const std::string& name) {
    return {name, "Vantreel - Missing DLL", MessageIcon::Error};
}

} // namespace vantreel
