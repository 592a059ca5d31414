#pragma once
// The engine side of the plug-in commands: the control panel's "Open..." and "Delete",
// and the plug-in browser's folder lookup, listing and folder change. The windows ask
// the questions and show the texts; nothing here knows a window.
//
// Threads: user-interface thread.

#include "engine/AudioEngine.h"
#include "engine/Reporter.h"
#include "plugins/PluginFolderNames.h"

#include <functional>
#include <string>
#include <vector>

namespace vantreel {

constexpr const char* kNoSelection = "none"; // what the browser confirms with nothing picked
constexpr const char* kClearPatternBankQuestion = "Clear pattern bank of this VST?";

struct PluginOpenResult {
    bool loaded = false;
    std::string statusText; // for SetStatusText
};

// "Open..." after the browser ended with OK: loads `name` into the current slot.
// On failure the reason is also shown through engine.reporter.
PluginOpenResult OpenPluginCommand(AudioEngine& engine, const std::string& name);

// "Delete": closes the current slot's plug-in, then asks `askClearPatternBank` (the
// window's Yes/No question, asked also when the slot was already empty) and on Yes
// resets the slot's 26 patterns.
void DeletePluginCommand(AudioEngine& engine, const std::function<bool()>& askClearPatternBank);

// Opening the browser: sets engine.pluginFolder to the first existing folder of the
// search path (PluginSearchPath() unless given) that fits; when none does, to "VST"
// with the fallback message through engine.reporter. Returns whether one was found.
bool LocatePluginFolder(AudioEngine& engine);
bool LocatePluginFolder(AudioEngine& engine, const std::vector<std::string>& searchPath);

// The browser's list: the plug-in files of engine.pluginFolder, then those of the
// rest of the search path.
std::vector<std::string> ListPlugins(const AudioEngine& engine);

// One line of the browser: what it shows, and the name LoadPlugin takes for it.
struct PluginEntry {
    std::string shown;
    std::string name;
};

// Marks an LV2 instrument's name in the browser, beside the VST 2 file names.
constexpr const char* kLv2Mark = " [LV2]";

// The VST 2 `files`, shown by their names, then the LV2 instruments on the LV2 path,
// shown by their own names with the mark.
std::vector<PluginEntry> PluginEntriesWith(const std::vector<std::string>& files);
// PluginEntriesWith the files of ListPlugins.
std::vector<PluginEntry> ListPluginEntries(const AudioEngine& engine);

// "Refresh" and "Browse...": makes `folder` the plug-in folder. A folder of 64
// characters or more does not fit and is refused (false, folder unchanged) rather
// than cut to a different folder.
bool SetPluginFolder(AudioEngine& engine, const std::string& folder);

// The messages around plug-in folders and loading, with their captions and icons.
UserMessage FallbackFolderMessage();
UserMessage FolderChangeNotice();
UserMessage PluginLoadFailedMessage(const std::string& name, const std::string& reason);
UserMessage MissingPluginMessage(const std::string& name); // project loading

} // namespace vantreel
