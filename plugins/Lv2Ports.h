#pragma once
// What the host needs to know of an LV2 plug-in's ports: which are the slot's
// outputs, its event input and its parameters, with each parameter's range, kind and
// unit; everything else gets a buffer nobody reads.
//
// Threads: user-interface thread (reads the plug-in's description).

#include <lilv/lilv.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantreel {

class Lv2World;

enum class Lv2PortKind { AudioIn, AudioOut, ControlIn, ControlOut, EventIn, EventOut, Other };

struct Lv2ScalePoint {
    float value;
    std::string label;
};

// A control input port, seen as a slot parameter.
struct Lv2Parameter {
    uint32_t port = 0;
    std::string symbol;
    std::string name;
    std::string unit; // the unit's symbol ("Hz", "dB"), or ""
    float minimum = 0.0f;
    float maximum = 1.0f;
    float defaultValue = 0.0f;
    bool integer = false;
    bool toggled = false;
    std::vector<Lv2ScalePoint> scalePoints;

    // The port value for a parameter value of 0..1 (outside it is limited to it).
    float FromNormalized(float normalized) const;
    // The parameter value 0..1 of a port value.
    float ToNormalized(float value) const;
    // The value as the control panel shows it, without the unit.
    std::string Display(float value) const;
};

struct Lv2PortLayout {
    std::vector<Lv2PortKind> kinds; // by port index
    std::vector<uint32_t> audioOutputs;
    std::vector<Lv2Parameter> parameters; // control inputs, in port order
    std::vector<float> defaults;          // by port index; 0 for ports without one
    int64_t eventInput = -1;              // the port MIDI goes to, or -1
    uint32_t largestAtomBuffer = 0;       // the largest minimum size an atom port asks for
};

Lv2PortLayout DescribePorts(const Lv2World& world, const LilvPlugin* plugin);

} // namespace vantreel
