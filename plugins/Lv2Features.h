#pragma once
// The LV2 features this host gives, and the check that a plug-in or an editor needs
// none beyond them.
//
// Threads: user-interface thread.

#include <lilv/lilv.h>
#include <lv2/state/state.h>

#include <string>

namespace vantreel {

// The first feature `plugin` requires that instances here do not get; "" when none.
std::string MissingInstanceFeature(const LilvPlugin* plugin);
// The same for an editor, whose features are looked up by its URI.
std::string MissingUiFeature(LilvWorld* world, const LilvNode* ui);

// state:mapPath, state:makePath and state:freePath for one instance. Paths are kept
// as the plug-in gives them, so state that refers to files stores their paths; files
// a plug-in makes go to a folder of their own under the user's data folder.
class Lv2PathFeatures {
public:
    explicit Lv2PathFeatures(const std::string& pluginUri);
    Lv2PathFeatures(const Lv2PathFeatures&) = delete;
    Lv2PathFeatures& operator=(const Lv2PathFeatures&) = delete;

    LV2_State_Map_Path* MapPath() { return &mapPath; }
    LV2_State_Make_Path* MakePath() { return &makePath; }
    LV2_State_Free_Path* FreePath() { return &freePath; }

private:
    char* Make(const char* path);

    std::string folder;
    LV2_State_Map_Path mapPath;
    LV2_State_Make_Path makePath;
    LV2_State_Free_Path freePath;
};

} // namespace vantreel
