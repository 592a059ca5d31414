#pragma once
// The lilv world: every LV2 bundle on the LV2 path (LV2_PATH, else ~/.lv2,
// /usr/local/lib/lv2 and /usr/lib/lv2), read once per path and kept for the life of
// the program, since instances keep referring to its descriptions. The nodes the
// host asks about are made here once.
//
// Threads: user-interface thread.

#include <lilv/lilv.h>

#include <string>

namespace vantreel {

struct Lv2Nodes {
    LilvNode* audioPort;
    LilvNode* controlPort;
    LilvNode* cvPort;
    LilvNode* atomPort;
    LilvNode* inputPort;
    LilvNode* outputPort;
    LilvNode* midiEvent;
    LilvNode* integer;
    LilvNode* toggled;
    LilvNode* connectionOptional;
    LilvNode* unit;
    LilvNode* unitSymbol;
    LilvNode* minimumSize;
    LilvNode* preset;
    LilvNode* label;
    LilvNode* name;
    LilvNode* x11Ui;
    LilvNode* stateInterface;
    LilvNode* workerInterface;
};

class Lv2World {
public:
    // The world of the LV2 path as the environment names it now; a changed path gets
    // a world of its own.
    static Lv2World& Current();

    LilvWorld* World() const { return world; }
    const Lv2Nodes& Nodes() const { return nodes; }
    // The plug-in with this URI, or null.
    const LilvPlugin* FindPlugin(const std::string& uri) const;

private:
    Lv2World();
    ~Lv2World() = delete; // lives as long as the program

    LilvWorld* world;
    Lv2Nodes nodes;
};

// A lilv string as a std::string, freeing the lilv one; "" for null.
std::string TakeLilvString(char* text);
// A node's text, "" for null.
std::string NodeText(const LilvNode* node);

} // namespace vantreel
