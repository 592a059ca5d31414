#include "plugins/Lv2Ports.h"

#include "plugins/Lv2World.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantreel {

namespace {

constexpr float kToggleThreshold = 0.5f;
constexpr const char* kOn = "On";
constexpr const char* kOff = "Off";

bool Is(const LilvPlugin* plugin, const LilvPort* port, const LilvNode* type) {
    return lilv_port_is_a(plugin, port, type);
}

Lv2PortKind KindOf(const Lv2Nodes& n, const LilvPlugin* plugin, const LilvPort* port) {
    const bool input = Is(plugin, port, n.inputPort);
    if (Is(plugin, port, n.audioPort)) {
        return input ? Lv2PortKind::AudioIn : Lv2PortKind::AudioOut;
    }
    if (Is(plugin, port, n.controlPort)) {
        return input ? Lv2PortKind::ControlIn : Lv2PortKind::ControlOut;
    }
    if (Is(plugin, port, n.atomPort)) {
        return input ? Lv2PortKind::EventIn : Lv2PortKind::EventOut;
    }
    return Lv2PortKind::Other;
}

std::string UnitSymbol(const Lv2World& world, const LilvPlugin* plugin, const LilvPort* port) {
    LilvNodes* units = lilv_port_get_value(plugin, port, world.Nodes().unit);
    std::string symbol;
    if (units != nullptr && lilv_nodes_size(units) > 0) {
        const LilvNode* unit = lilv_nodes_get(units, lilv_nodes_begin(units));
        LilvNode* found = lilv_world_get(world.World(), unit, world.Nodes().unitSymbol, nullptr);
        symbol = NodeText(found);
        lilv_node_free(found);
    }
    lilv_nodes_free(units);
    return symbol;
}

std::vector<Lv2ScalePoint> ScalePoints(const LilvPlugin* plugin, const LilvPort* port) {
    std::vector<Lv2ScalePoint> points;
    LilvScalePoints* all = lilv_port_get_scale_points(plugin, port);
    LILV_FOREACH(scale_points, i, all) {
        const LilvScalePoint* point = lilv_scale_points_get(all, i);
        points.push_back({lilv_node_as_float(lilv_scale_point_get_value(point)),
                          NodeText(lilv_scale_point_get_label(point))});
    }
    lilv_scale_points_free(all);
    return points;
}

float AsFloat(const LilvNode* node, float fallback) {
    return node != nullptr && (lilv_node_is_float(node) || lilv_node_is_int(node))
               ? lilv_node_as_float(node)
               : fallback;
}

Lv2Parameter DescribeParameter(const Lv2World& world, const LilvPlugin* plugin,
                               const LilvPort* port, uint32_t index) {
    const Lv2Nodes& n = world.Nodes();
    Lv2Parameter p;
    p.port = index;
    p.symbol = NodeText(lilv_port_get_symbol(plugin, port));
    LilvNode* name = lilv_port_get_name(plugin, port);
    p.name = NodeText(name);
    lilv_node_free(name);
    LilvNode* def = nullptr;
    LilvNode* min = nullptr;
    LilvNode* max = nullptr;
    lilv_port_get_range(plugin, port, &def, &min, &max);
    p.toggled = lilv_port_has_property(plugin, port, n.toggled);
    p.integer = lilv_port_has_property(plugin, port, n.integer);
    p.minimum = AsFloat(min, 0.0f);
    p.maximum = AsFloat(max, p.toggled ? 1.0f : std::max(p.minimum, 1.0f));
    if (!(p.maximum > p.minimum)) {
        p.maximum = p.minimum + 1.0f; // a port without a usable range still moves
    }
    p.defaultValue = std::clamp(AsFloat(def, p.minimum), p.minimum, p.maximum);
    lilv_node_free(def);
    lilv_node_free(min);
    lilv_node_free(max);
    p.unit = UnitSymbol(world, plugin, port);
    p.scalePoints = ScalePoints(plugin, port);
    return p;
}

uint32_t MinimumSize(const Lv2World& world, const LilvPlugin* plugin, const LilvPort* port) {
    LilvNodes* sizes = lilv_port_get_value(plugin, port, world.Nodes().minimumSize);
    uint32_t size = 0;
    if (sizes != nullptr && lilv_nodes_size(sizes) > 0) {
        const LilvNode* node = lilv_nodes_get(sizes, lilv_nodes_begin(sizes));
        if (lilv_node_is_int(node) && lilv_node_as_int(node) > 0) {
            size = uint32_t(lilv_node_as_int(node));
        }
    }
    lilv_nodes_free(sizes);
    return size;
}

} // namespace

float Lv2Parameter::FromNormalized(float normalized) const {
    const float v = std::isnan(normalized) ? 0.0f : std::clamp(normalized, 0.0f, 1.0f);
    if (toggled) {
        return v >= kToggleThreshold ? maximum : minimum;
    }
    const float value = minimum + v * (maximum - minimum);
    return integer ? std::clamp(std::round(value), minimum, maximum) : value;
}

float Lv2Parameter::ToNormalized(float value) const {
    if (std::isnan(value)) {
        return 0.0f;
    }
    return std::clamp((value - minimum) / (maximum - minimum), 0.0f, 1.0f);
}

std::string Lv2Parameter::Display(float value) const {
    for (const Lv2ScalePoint& point : scalePoints) {
        if (point.value == value && !point.label.empty()) {
            return point.label;
        }
    }
    if (toggled) {
        return value > minimum ? kOn : kOff;
    }
    char text[32];
    if (integer) {
        std::snprintf(text, sizeof text, "%d", int(std::lround(value)));
    } else {
        std::snprintf(text, sizeof text, "%.2f", double(value));
    }
    return text;
}

Lv2PortLayout DescribePorts(const Lv2World& world, const LilvPlugin* plugin) {
    const Lv2Nodes& n = world.Nodes();
    Lv2PortLayout layout;
    const uint32_t count = lilv_plugin_get_num_ports(plugin);
    layout.kinds.resize(count);
    layout.defaults.assign(count, 0.0f);
    for (uint32_t index = 0; index < count; ++index) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, index);
        const Lv2PortKind kind = KindOf(n, plugin, port);
        layout.kinds[index] = kind;
        switch (kind) {
        case Lv2PortKind::AudioOut:
            layout.audioOutputs.push_back(index);
            break;
        case Lv2PortKind::ControlIn:
            layout.parameters.push_back(DescribeParameter(world, plugin, port, index));
            layout.defaults[index] = layout.parameters.back().defaultValue;
            break;
        case Lv2PortKind::EventIn:
            // MIDI goes to the first atom input that takes it.
            if (layout.eventInput < 0 && lilv_port_supports_event(plugin, port, n.midiEvent)) {
                layout.eventInput = index;
            }
            [[fallthrough]];
        case Lv2PortKind::EventOut:
            layout.largestAtomBuffer =
                std::max(layout.largestAtomBuffer, MinimumSize(world, plugin, port));
            break;
        default:
            break;
        }
    }
    return layout;
}

} // namespace vantreel
