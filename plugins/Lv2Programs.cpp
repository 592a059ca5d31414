#include "plugins/Lv2Programs.h"

#include "plugins/Lv2UridMap.h"
#include "plugins/Lv2World.h"

#include <lv2/atom/atom.h>

#include <algorithm>
#include <cstring>

namespace vantreel {

namespace {

struct PresetReading {
    const std::vector<Lv2Parameter>* parameters;
    std::vector<float>* values;
};

bool NumberOf(const void* value, uint32_t size, uint32_t type, float& number) {
    Lv2UridMap& map = SharedUridMap();
    if (type == map.Map(LV2_ATOM__Float) && size == sizeof(float)) {
        std::memcpy(&number, value, sizeof number);
    } else if (type == map.Map(LV2_ATOM__Double) && size == sizeof(double)) {
        double d = 0;
        std::memcpy(&d, value, sizeof d);
        number = float(d);
    } else if ((type == map.Map(LV2_ATOM__Int) || type == map.Map(LV2_ATOM__Bool)) &&
               size == sizeof(int32_t)) {
        int32_t i = 0;
        std::memcpy(&i, value, sizeof i);
        number = float(i);
    } else {
        return false;
    }
    return true;
}

void TakePortValue(const char* symbol, void* user, const void* value, uint32_t size,
                   uint32_t type) {
    auto* reading = static_cast<PresetReading*>(user);
    float number = 0.0f;
    if (symbol == nullptr || !NumberOf(value, size, type, number)) {
        return;
    }
    const std::vector<Lv2Parameter>& parameters = *reading->parameters;
    for (std::size_t k = 0; k < parameters.size(); ++k) {
        if (parameters[k].symbol == symbol) {
            (*reading->values)[k] =
                std::clamp(number, parameters[k].minimum, parameters[k].maximum);
        }
    }
}

std::vector<float> Defaults(const std::vector<Lv2Parameter>& parameters) {
    std::vector<float> values;
    for (const Lv2Parameter& p : parameters) {
        values.push_back(p.defaultValue);
    }
    return values;
}

Lv2Program ReadPreset(const Lv2World& world, const LilvNode* preset,
                      const std::vector<Lv2Parameter>& parameters) {
    LilvWorld* w = world.World();
    lilv_world_load_resource(w, preset);
    Lv2Program program;
    LilvNode* label = lilv_world_get(w, preset, world.Nodes().label, nullptr);
    program.name = label != nullptr ? NodeText(label) : NodeText(preset);
    lilv_node_free(label);
    program.values = Defaults(parameters);
    LilvState* state = lilv_state_new_from_world(w, SharedUridMap().MapFeature(), preset);
    if (state != nullptr) {
        PresetReading reading{&parameters, &program.values};
        lilv_state_emit_port_values(state, &TakePortValue, &reading);
        lilv_state_free(state);
    }
    return program;
}

} // namespace

std::vector<Lv2Program> ReadPrograms(const Lv2World& world, const LilvPlugin* plugin,
                                     const std::vector<Lv2Parameter>& parameters) {
    std::vector<Lv2Program> programs;
    LilvNodes* presets = lilv_plugin_get_related(plugin, world.Nodes().preset);
    LILV_FOREACH(nodes, i, presets) {
        programs.push_back(ReadPreset(world, lilv_nodes_get(presets, i), parameters));
    }
    lilv_nodes_free(presets);
    std::stable_sort(programs.begin(), programs.end(),
                     [](const Lv2Program& a, const Lv2Program& b) { return a.name < b.name; });
    if (programs.empty()) {
        programs.push_back({kDefaultProgramName, Defaults(parameters)});
    }
    return programs;
}

} // namespace vantreel
