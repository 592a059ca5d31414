#pragma once
// What the settings file says about rendering: how many threads render the slots,
// and which plug-in libraries must run on the audio thread alone.
//
//   [HKEY_CURRENT_USER\Software\Local AppWizard-Generated Applications\Vantreel\Render]
//   Threads=2
//   [HKEY_CURRENT_USER\Software\Local AppWizard-Generated Applications\Vantreel\RunOnAudioThread]
//   SomeSynth.so=1
//
// Threads: user-interface thread (the store reads the file).

#include "settings/RegistryStore.h"

#include <string>

namespace vantreel {

// Every core but one, at least 1: the window's default, leaving a core to the
// user interface and everything else the desktop runs.
int DefaultWindowRenderThreads();
// Every core: the default of the offline render, which has nothing else to do.
int AllCoresRenderThreads();
// The Threads setting (1..kMaxRenderThreads) when it is there and a whole number in
// range, otherwise `fallback`.
int StoredRenderThreads(RegistryStore& store, int fallback);
// True when the settings name `library` (the slot's library name, as saved in the
// project) with a value of 1, yes, true or on: its instances then run one after the
// other on the audio thread, never beside each other on the workers.
bool StoredRunOnAudioThread(RegistryStore& store, const std::string& library);

} // namespace vantreel
