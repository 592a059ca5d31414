#include "plugins/Lv2World.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/port-props/port-props.h>
#include <lv2/presets/presets.h>
#include <lv2/resize-port/resize-port.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/units/units.h>
#include <lv2/worker/worker.h>

#include <cstdlib>
#include <map>

namespace vantreel {

namespace {

constexpr const char* kLv2PathVariable = "LV2_PATH";
constexpr const char* kRdfsLabel = "http://www.w3.org/2000/01/rdf-schema#label";
constexpr const char* kDoapName = "http://usefulinc.com/ns/doap#name";

std::string CurrentPath() {
    const char* path = std::getenv(kLv2PathVariable);
    return path != nullptr ? path : "";
}

} // namespace

Lv2World& Lv2World::Current() {
    // Worlds of earlier paths stay: instances made from them still use them. Never
    // destroyed, so they stay reachable to the very end.
    static auto* worlds = new std::map<std::string, Lv2World*>();
    Lv2World*& world = (*worlds)[CurrentPath()];
    if (world == nullptr) {
        world = new Lv2World();
    }
    return *world;
}

Lv2World::Lv2World() : world(lilv_world_new()) {
    lilv_world_load_all(world);
    auto uri = [this](const char* text) { return lilv_new_uri(world, text); };
    nodes.audioPort = uri(LV2_CORE__AudioPort);
    nodes.controlPort = uri(LV2_CORE__ControlPort);
    nodes.cvPort = uri(LV2_CORE__CVPort);
    nodes.atomPort = uri(LV2_ATOM__AtomPort);
    nodes.inputPort = uri(LV2_CORE__InputPort);
    nodes.outputPort = uri(LV2_CORE__OutputPort);
    nodes.midiEvent = uri(LV2_MIDI__MidiEvent);
    nodes.integer = uri(LV2_CORE__integer);
    nodes.toggled = uri(LV2_CORE__toggled);
    nodes.connectionOptional = uri(LV2_CORE__connectionOptional);
    nodes.unit = uri(LV2_UNITS__unit);
    nodes.unitSymbol = uri(LV2_UNITS__symbol);
    nodes.minimumSize = uri(LV2_RESIZE_PORT__minimumSize);
    nodes.preset = uri(LV2_PRESETS__Preset);
    nodes.label = uri(kRdfsLabel);
    nodes.name = uri(kDoapName);
    nodes.x11Ui = uri(LV2_UI__X11UI);
    nodes.stateInterface = uri(LV2_STATE__interface);
    nodes.workerInterface = uri(LV2_WORKER__interface);
}

const LilvPlugin* Lv2World::FindPlugin(const std::string& uri) const {
    LilvNode* node = lilv_new_uri(world, uri.c_str());
    const LilvPlugin* plugin =
        node != nullptr ? lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), node)
                        : nullptr;
    lilv_node_free(node);
    return plugin;
}

std::string TakeLilvString(char* text) {
    if (text == nullptr) {
        return {};
    }
    std::string result(text);
    lilv_free(text);
    return result;
}

std::string NodeText(const LilvNode* node) {
    if (node == nullptr) {
        return {};
    }
    const char* text = lilv_node_as_string(node);
    return text != nullptr ? text : "";
}

} // namespace vantreel
