#include "plugins/PluginLibrary.h"

#include <dlfcn.h>

namespace vantreel {

PluginInstanceResult CreatePluginInstance(const std::string& path, audioMasterCallback host) {
    PluginInstanceResult result;
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* error = dlerror();
        result.reason = error ? error : "cannot open " + path;
        return result;
    }
    void* entry = dlsym(library, "main");
    if (!entry) {
        entry = dlsym(library, "VSTPluginMain");
    }
    if (!entry) {
        result.reason = "no entry point";
        return result;
    }
    AEffect* effect = reinterpret_cast<VstPluginMainProc>(entry)(host);
    if (!effect || effect->magic != kEffectMagic) {
        result.reason = "not a VST 2 plug-in";
        return result;
    }
    result.effect = effect;
    return result;
}

} // namespace vantreel
