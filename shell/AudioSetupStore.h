#pragma once
// Where the audio setup is remembered: the system, device and buffer size under the
// program's key of the current user in the settings store.
//
// Threads: user-interface thread.

#include "engine/OutputChoice.h"
#include "settings/RegistryStore.h"

#include <optional>

namespace vantreel {

// The stored choice; nullopt when none was stored.
std::optional<OutputChoice> LoadOutputChoice(RegistryStore& store);
// False when the settings file cannot be written.
bool StoreOutputChoice(RegistryStore& store, const OutputChoice& choice);

} // namespace vantreel
