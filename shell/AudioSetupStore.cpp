#include "shell/AudioSetupStore.h"

#include <charconv>

namespace vantreel {

namespace {

const char* const kAudioKey = "Software\\Local AppWizard-Generated Applications\\Vantreel\\Audio";
const char* const kSystemValue = "System";
const char* const kDeviceValue = "Device";
const char* const kBufferValue = "BufferFrames";

int ParseFrames(const std::string& text) {
    int frames = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), frames);
    const bool whole = error == std::errc() && end == text.data() + text.size();
    return UsableBufferFrames(whole ? frames : 0);
}

} // namespace

std::optional<OutputChoice> LoadOutputChoice(RegistryStore& store) {
    if (!store.SetRootKey(RootKey::CurrentUser) || !store.OpenKey(kAudioKey, false)) {
        return std::nullopt;
    }
    OutputChoice choice;
    choice.system = store.ReadString(kSystemValue, "");
    choice.device = store.ReadString(kDeviceValue, "");
    choice.bufferFrames = ParseFrames(store.ReadString(kBufferValue, ""));
    return choice;
}

bool StoreOutputChoice(RegistryStore& store, const OutputChoice& choice) {
    return store.SetRootKey(RootKey::CurrentUser) && store.OpenKey(kAudioKey, true) &&
           store.WriteString(kSystemValue, choice.system) &&
           store.WriteString(kDeviceValue, choice.device) &&
           store.WriteString(kBufferValue, std::to_string(choice.bufferFrames));
}

} // namespace vantreel
