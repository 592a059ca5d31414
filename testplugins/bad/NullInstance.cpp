// A plug-in whose entry point declines to make an instance.

#include "testplugins/common/PluginExport.h"

namespace {
AEffect* CreateNothing(audioMasterCallback /*host*/) {
    return nullptr;
}
} // namespace

VANTREEL_PLUGIN_ENTRY_POINTS(CreateNothing)
