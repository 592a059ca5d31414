// A shared library that is no plug-in: it exports a function, but no entry point.

#include "testplugins/common/PluginExport.h"

VANTREEL_PLUGIN_EXPORT int VantreelNotAPlugin() {
    return 42;
}
