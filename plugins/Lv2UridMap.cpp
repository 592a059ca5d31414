#include "plugins/Lv2UridMap.h"

namespace vantreel {

Lv2UridMap::Lv2UridMap() {
    mapFeature.handle = this;
    mapFeature.map = [](LV2_URID_Map_Handle handle, const char* uri) {
        return static_cast<Lv2UridMap*>(handle)->Map(uri);
    };
    unmapFeature.handle = this;
    unmapFeature.unmap = [](LV2_URID_Unmap_Handle handle, LV2_URID urid) {
        return static_cast<Lv2UridMap*>(handle)->Unmap(urid);
    };
}

LV2_URID Lv2UridMap::Map(const char* uri) {
    if (uri == nullptr) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(mutex);
    const auto found = numbers.find(uri);
    if (found != numbers.end()) {
        return found->second;
    }
    uris.emplace_back(uri);
    const LV2_URID number = LV2_URID(uris.size());
    numbers.emplace(uris.back(), number);
    return number;
}

const char* Lv2UridMap::Unmap(LV2_URID urid) {
    std::lock_guard<std::mutex> guard(mutex);
    if (urid == 0 || urid > uris.size()) {
        return nullptr;
    }
    return uris[urid - 1].c_str();
}

Lv2UridMap& SharedUridMap() {
    static Lv2UridMap map;
    return map;
}

} // namespace vantreel
