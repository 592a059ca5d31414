#include "engine/RenderSettings.h"

#include "engine/RenderWorkers.h"
#include "settings/SettingsFile.h"

#include <algorithm>
#include <charconv>
#include <thread>

namespace vantreel {

namespace {

const char* const kRenderKey = "Software\\Local AppWizard-Generated Applications\\Vantreel\\Render";
const char* const kAudioThreadKey =
    "Software\\Local AppWizard-Generated Applications\\Vantreel\\RunOnAudioThread";
const char* const kThreadsValue = "Threads";

int Cores() {
    return std::clamp(int(std::thread::hardware_concurrency()), 1, kMaxRenderThreads);
}

bool IsOn(const std::string& text) {
    return text == "1" || SameSettingsName(text, "yes") || SameSettingsName(text, "true") ||
           SameSettingsName(text, "on");
}

} // namespace

int DefaultWindowRenderThreads() {
    return std::max(1, Cores() - 1);
}

int AllCoresRenderThreads() {
    return Cores();
}

int StoredRenderThreads(RegistryStore& store, int fallback) {
    if (!store.SetRootKey(RootKey::CurrentUser) || !store.OpenKey(kRenderKey, false)) {
        return fallback;
    }
    const std::string text = store.ReadString(kThreadsValue, "");
    int threads = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), threads);
    const bool whole = !text.empty() && error == std::errc() && end == text.data() + text.size();
    return whole && threads >= 1 && threads <= kMaxRenderThreads ? threads : fallback;
}

bool StoredRunOnAudioThread(RegistryStore& store, const std::string& library) {
    if (library.empty() || !store.SetRootKey(RootKey::CurrentUser) ||
        !store.OpenKey(kAudioThreadKey, false)) {
        return false;
    }
    return IsOn(store.ReadString(library, ""));
}

} // namespace vantreel
