#include "plugins/PluginLibrary.h"

#include <dlfcn.h>
#include <link.h>

namespace vantreel {

namespace {

// "main" is the classic entry point; some packaged plug-ins export only the newer name.
constexpr const char* kEntryPointNames[] = {"main", "VSTPluginMain"};

// dlsym on a handle also searches the library's dependencies; only a symbol defined
// in the library itself is its entry point.
bool DefinedInLibrary(void* library, void* symbol) {
    link_map* own = nullptr;
    if (dlinfo(library, RTLD_DI_LINKMAP, &own) != 0 || own == nullptr) {
        return true; // cannot tell: trust the lookup
    }
    Dl_info info{};
    link_map* holder = nullptr;
    if (dladdr1(symbol, &info, reinterpret_cast<void**>(&holder), RTLD_DL_LINKMAP) == 0) {
        return true;
    }
    return holder == own;
}

void* FindEntryPoint(void* library) {
    for (const char* name : kEntryPointNames) {
        void* symbol = dlsym(library, name);
        if (symbol != nullptr && DefinedInLibrary(library, symbol)) {
            return symbol;
        }
    }
    return nullptr;
}

} // namespace

PluginInstanceResult CreatePluginInstance(const std::string& path, audioMasterCallback host) {
    PluginInstanceResult result;
    // Resolve every symbol now: a missing one fails here, not in the middle of a block.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* error = dlerror();
        result.reason = error != nullptr ? error : "cannot open " + path;
        return result;
    }
    void* entry = FindEntryPoint(library);
    if (entry == nullptr) {
        result.reason = kNoEntryPoint;
        return result;
    }
    AEffect* effect = reinterpret_cast<VstPluginMainProc>(entry)(host);
    if (effect == nullptr || effect->magic != kEffectMagic) {
        result.reason = kNotAVstPlugin;
        return result;
    }
    result.effect = effect;
    return result;
}

} // namespace vantreel
