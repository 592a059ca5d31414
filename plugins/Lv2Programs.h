#pragma once
// An LV2 instrument's presets as the slot's programs. As with a VST 2 bank, every
// program keeps its own parameter values: selecting one stores the current values
// into the program left and takes up the values of the program chosen, so edits
// stay with their program and a project stores each program's values. A plug-in
// without presets has one program, "Default", its ports' defaults.
//
// Threads: user-interface thread.

#include "plugins/Lv2Ports.h"

#include <lilv/lilv.h>

#include <string>
#include <vector>

namespace vantreel {

class Lv2World;

constexpr const char* kDefaultProgramName = "Default";

struct Lv2Program {
    std::string name;
    std::vector<float> values; // by parameter, in port units
};

// Sorted by name, so a project's program numbers mean the same presets next time.
std::vector<Lv2Program> ReadPrograms(const Lv2World& world, const LilvPlugin* plugin,
                                     const std::vector<Lv2Parameter>& parameters);

} // namespace vantreel
