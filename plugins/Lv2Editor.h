#pragma once
// An LV2 instrument's own editor, embedded in the host's editor window: an X11 UI
// (ui:X11UI) given the window to draw in (ui:parent), which tells its size through
// ui:resize, is idled through ui:idleInterface and hears of value changes through
// port_event. What it writes goes back through the instrument, the same way as the
// control panel's changes.
//
// Threads: user-interface thread only.

#include <lilv/lilv.h>
#include <lv2/core/lv2.h>
#include <lv2/data-access/data-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>

#include <string>
#include <vector>

namespace vantreel {

class Lv2World;

// The editor an instrument can show here, or why it cannot show one.
struct Lv2EditorChoice {
    std::string uri;        // "" when there is none
    std::string binaryPath; // the editor's library
    std::string bundlePath; // its bundle folder, ending in '/'
    std::string problem;    // for "Edit..." when there is none
};

Lv2EditorChoice ChooseEditor(const Lv2World& world, const LilvPlugin* plugin,
                             const std::string& pluginName);

// What the editor reaches of its instrument.
struct Lv2EditorHost {
    void* owner = nullptr;
    LV2UI_Write_Function write = nullptr; // called with `owner` as the controller
    void (*resized)(void* owner, int width, int height) = nullptr;
    LV2_Handle instance = nullptr;
    const void* (*extensionData)(const char* uri) = nullptr;
    float sampleRate = 0.0f;
};

class Lv2Editor {
public:
    Lv2Editor(const Lv2EditorChoice& choice, const std::string& pluginUri,
              const Lv2EditorHost& host);
    ~Lv2Editor(); // closes the editor
    Lv2Editor(const Lv2Editor&) = delete;
    Lv2Editor& operator=(const Lv2Editor&) = delete;

    // Creates the editor inside the X11 window `parent`; false (and `problem` set)
    // when its library or its descriptor cannot be found or it refuses.
    bool Open(void* parent, std::string& problem);
    // False once the editor has asked to be closed.
    bool Idle();
    void PortEvent(uint32_t port, float value);

private:
    std::vector<LV2_Feature> Features(void* parent);

    Lv2EditorChoice choice;
    std::string pluginUri;
    Lv2EditorHost host;
    const LV2UI_Descriptor* descriptor = nullptr;
    LV2UI_Handle handle = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    LV2UI_Resize resize{};
    LV2_Extension_Data_Feature dataAccess{};
    float sampleRate = 0.0f;
    std::vector<LV2_Options_Option> options;
    std::vector<LV2_Feature> features;
    std::vector<const LV2_Feature*> featureList;
};

} // namespace vantreel
