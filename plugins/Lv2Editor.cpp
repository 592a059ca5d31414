#include "plugins/Lv2Editor.h"

#include "plugins/Lv2Features.h"
#include "plugins/Lv2UridMap.h"
#include "plugins/Lv2World.h"

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/parameters/parameters.h>
#include <lv2/urid/urid.h>

#include <dlfcn.h>

namespace vantreel {

namespace {

constexpr const char* kDescriptorEntry = "lv2ui_descriptor";
constexpr uint32_t kFloatProtocol = 0;

std::string FilePath(const LilvNode* uri) {
    return uri != nullptr ? TakeLilvString(lilv_file_uri_parse(lilv_node_as_uri(uri), nullptr))
                          : std::string();
}

std::string ClassNames(const LilvUI* ui) {
    std::string names;
    const LilvNodes* classes = lilv_ui_get_classes(ui);
    LILV_FOREACH(nodes, i, classes) {
        std::string uri = NodeText(lilv_nodes_get(classes, i));
        const std::size_t cut = uri.find_last_of("#/");
        names += (names.empty() ? "" : ", ") + uri.substr(cut == std::string::npos ? 0 : cut + 1);
    }
    return names;
}

using DescriptorEntry = const LV2UI_Descriptor* (*)(uint32_t index);

const LV2UI_Descriptor* FindDescriptor(void* library, const std::string& uri) {
    auto entry = reinterpret_cast<DescriptorEntry>(dlsym(library, kDescriptorEntry));
    if (entry == nullptr) {
        return nullptr;
    }
    for (uint32_t index = 0;; ++index) {
        const LV2UI_Descriptor* descriptor = entry(index);
        if (descriptor == nullptr || uri == descriptor->URI) {
            return descriptor;
        }
    }
}

} // namespace

Lv2EditorChoice ChooseEditor(const Lv2World& world, const LilvPlugin* plugin,
                             const std::string& pluginName) {
    Lv2EditorChoice choice;
    LilvUIs* uis = lilv_plugin_get_uis(plugin);
    std::string others;
    LILV_FOREACH(uis, i, uis) {
        const LilvUI* ui = lilv_uis_get(uis, i);
        const LilvNode* uri = lilv_ui_get_uri(ui);
        lilv_world_load_resource(world.World(), uri);
        if (!lilv_ui_is_a(ui, world.Nodes().x11Ui)) {
            others += (others.empty() ? "" : ", ") + ClassNames(ui);
            continue;
        }
        const std::string missing = MissingUiFeature(world.World(), uri);
        if (!missing.empty()) {
            choice.problem = "The editor of " + pluginName + " needs the LV2 feature " + missing +
                             ", which Vantreel does not offer.";
            continue;
        }
        choice.uri = NodeText(uri);
        choice.binaryPath = FilePath(lilv_ui_get_binary_uri(ui));
        choice.bundlePath = FilePath(lilv_ui_get_bundle_uri(ui));
        choice.problem.clear();
        break;
    }
    lilv_uis_free(uis);
    if (choice.uri.empty() && choice.problem.empty()) {
        choice.problem = others.empty() ? pluginName + " has no editor of its own."
                                        : "The editor of " + pluginName + " (" + others +
                                              ") cannot be shown inside Vantreel's editor window.";
    }
    return choice;
}

Lv2Editor::Lv2Editor(const Lv2EditorChoice& c, const std::string& uri, const Lv2EditorHost& h)
    : choice(c), pluginUri(uri), host(h), sampleRate(h.sampleRate) {}

Lv2Editor::~Lv2Editor() {
    if (descriptor != nullptr && handle != nullptr && descriptor->cleanup != nullptr) {
        descriptor->cleanup(handle);
    }
}

std::vector<LV2_Feature> Lv2Editor::Features(void* parent) {
    Lv2UridMap& map = SharedUridMap();
    resize.handle = this;
    resize.ui_resize = [](LV2UI_Feature_Handle self, int width, int height) {
        const Lv2EditorHost& h = static_cast<Lv2Editor*>(self)->host;
        if (h.resized != nullptr) {
            h.resized(h.owner, width, height);
        }
        return 0;
    };
    dataAccess.data_access = host.extensionData;
    options = {
        {LV2_OPTIONS_INSTANCE, 0, map.Map(LV2_PARAMETERS__sampleRate), sizeof(float),
         map.Map(LV2_ATOM__Float), &sampleRate},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr},
    };
    return {
        {LV2_UI__parent, parent},
        {LV2_UI__resize, &resize},
        {LV2_UI__idleInterface, nullptr},
        {LV2_URID__map, map.MapFeature()},
        {LV2_URID__unmap, map.UnmapFeature()},
        {LV2_OPTIONS__options, options.data()},
        {LV2_INSTANCE_ACCESS_URI, host.instance},
        {LV2_DATA_ACCESS_URI, &dataAccess},
    };
}

bool Lv2Editor::Open(void* parent, std::string& problem) {
    // Editor libraries stay loaded, like plug-in libraries: the editor's toolkit may
    // keep threads or callbacks inside them after it is closed.
    void* library = dlopen(choice.binaryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* error = dlerror();
        problem = error != nullptr ? error : "cannot open " + choice.binaryPath;
        return false;
    }
    descriptor = FindDescriptor(library, choice.uri);
    if (descriptor == nullptr || descriptor->instantiate == nullptr) {
        problem = choice.binaryPath + " does not hold the editor " + choice.uri;
        descriptor = nullptr;
        return false;
    }
    features = Features(parent);
    featureList.clear();
    for (const LV2_Feature& feature : features) {
        featureList.push_back(&feature);
    }
    featureList.push_back(nullptr);
    LV2UI_Widget widget = nullptr;
    handle = descriptor->instantiate(descriptor, pluginUri.c_str(), choice.bundlePath.c_str(),
                                     host.write, host.owner, &widget, featureList.data());
    if (handle == nullptr) {
        problem = "the editor " + choice.uri + " did not start";
        return false;
    }
    if (descriptor->extension_data != nullptr) {
        idle = static_cast<const LV2UI_Idle_Interface*>(
            descriptor->extension_data(LV2_UI__idleInterface));
    }
    return true;
}

bool Lv2Editor::Idle() {
    if (handle == nullptr) {
        return false;
    }
    return idle == nullptr || idle->idle(handle) == 0;
}

void Lv2Editor::PortEvent(uint32_t port, float value) {
    if (handle != nullptr && descriptor->port_event != nullptr) {
        descriptor->port_event(handle, port, sizeof value, kFloatProtocol, &value);
    }
}

} // namespace vantreel
