#include "plugins/Lv2Features.h"

#include "plugins/Lv2World.h"
#include "song/Crc32.h"

#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/data-access/data-access.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>

namespace vantreel {

namespace {

namespace fs = std::filesystem;

// What instances get (LV2_CORE__hardRTCapable is a promise of the plug-in that some
// list as a requirement; it asks nothing of the host).
constexpr const char* kInstanceFeatures[] = {
    LV2_URID__map,
    LV2_URID__unmap,
    LV2_OPTIONS__options,
    LV2_BUF_SIZE__boundedBlockLength,
    LV2_BUF_SIZE__fixedBlockLength,
    LV2_BUF_SIZE__powerOf2BlockLength,
    LV2_WORKER__schedule,
    LV2_STATE__mapPath,
    LV2_STATE__makePath,
    LV2_STATE__freePath,
    LV2_CORE__hardRTCapable,
    LV2_CORE__isLive,
};

constexpr const char* kUiFeatures[] = {
    LV2_URID__map,           LV2_URID__unmap,     LV2_OPTIONS__options,
    LV2_UI__parent,          LV2_UI__resize,      LV2_UI__idleInterface,
    LV2_INSTANCE_ACCESS_URI, LV2_DATA_ACCESS_URI, LV2_UI__noUserResize,
};

template <std::size_t N> bool Supported(const char* const (&list)[N], const char* uri) {
    for (const char* feature : list) {
        if (std::strcmp(feature, uri) == 0) {
            return true;
        }
    }
    return false;
}

template <std::size_t N>
std::string FirstMissing(const LilvNodes* required, const char* const (&list)[N]) {
    std::string missing;
    LILV_FOREACH(nodes, i, required) {
        const char* uri = lilv_node_as_uri(lilv_nodes_get(required, i));
        if (uri != nullptr && !Supported(list, uri)) {
            missing = uri;
            break;
        }
    }
    return missing;
}

std::string DataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return data;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "/tmp") + "/.local/share";
}

char* Duplicate(const char* text) {
    return text != nullptr ? strdup(text) : nullptr;
}

} // namespace

std::string MissingInstanceFeature(const LilvPlugin* plugin) {
    LilvNodes* required = lilv_plugin_get_required_features(plugin);
    const std::string missing = FirstMissing(required, kInstanceFeatures);
    lilv_nodes_free(required);
    return missing;
}

std::string MissingUiFeature(LilvWorld* world, const LilvNode* ui) {
    LilvNode* predicate = lilv_new_uri(world, LV2_CORE__requiredFeature);
    LilvNodes* required = lilv_world_find_nodes(world, ui, predicate, nullptr);
    const std::string missing = FirstMissing(required, kUiFeatures);
    lilv_nodes_free(required);
    lilv_node_free(predicate);
    return missing;
}

Lv2PathFeatures::Lv2PathFeatures(const std::string& pluginUri) {
    char id[16];
    const auto* bytes = reinterpret_cast<const uint8_t*>(pluginUri.data());
    std::snprintf(id, sizeof id, "%08x", unsigned(Crc32(bytes, pluginUri.size())));
    folder = DataFolder() + "/vantreel/lv2-files/" + id;
    mapPath.handle = this;
    // Paths stay as they are: the project stores the paths the plug-in names.
    mapPath.abstract_path = [](LV2_State_Map_Path_Handle, const char* path) {
        return Duplicate(path);
    };
    mapPath.absolute_path = [](LV2_State_Map_Path_Handle, const char* path) {
        return Duplicate(path);
    };
    makePath.handle = this;
    makePath.path = [](LV2_State_Make_Path_Handle handle, const char* path) {
        return static_cast<Lv2PathFeatures*>(handle)->Make(path);
    };
    freePath.handle = this;
    freePath.free_path = [](LV2_State_Free_Path_Handle, char* path) { std::free(path); };
}

char* Lv2PathFeatures::Make(const char* path) {
    if (path == nullptr) {
        return nullptr;
    }
    const fs::path made = fs::path(folder) / fs::path(path).relative_path();
    std::error_code error;
    fs::create_directories(made.parent_path(), error);
    return Duplicate(made.c_str());
}

} // namespace vantreel
