#include "plugins/Lv2Catalog.h"

#include "plugins/Lv2Features.h"
#include "plugins/Lv2Ports.h"
#include "plugins/Lv2World.h"

#include <algorithm>

namespace vantreel {

namespace {

bool IsUsableInstrument(const Lv2World& world, const LilvPlugin* plugin) {
    if (!MissingInstanceFeature(plugin).empty()) {
        return false;
    }
    const Lv2PortLayout layout = DescribePorts(world, plugin);
    return layout.eventInput >= 0 && !layout.audioOutputs.empty();
}

} // namespace

std::vector<Lv2Listing> ListLv2Instruments() {
    const Lv2World& world = Lv2World::Current();
    std::vector<Lv2Listing> found;
    const LilvPlugins* plugins = lilv_world_get_all_plugins(world.World());
    LILV_FOREACH(plugins, i, plugins) {
        const LilvPlugin* plugin = lilv_plugins_get(plugins, i);
        if (!IsUsableInstrument(world, plugin)) {
            continue;
        }
        LilvNode* name = lilv_plugin_get_name(plugin);
        Lv2Listing listing{NodeText(lilv_plugin_get_uri(plugin)), NodeText(name)};
        lilv_node_free(name);
        if (listing.name.empty()) {
            listing.name = listing.uri;
        }
        found.push_back(std::move(listing));
    }
    std::sort(found.begin(), found.end(), [](const Lv2Listing& a, const Lv2Listing& b) {
        return a.name != b.name ? a.name < b.name : a.uri < b.uri;
    });
    return found;
}

} // namespace vantreel
