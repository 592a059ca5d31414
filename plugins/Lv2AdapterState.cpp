// An LV2 instrument's state as the slot's chunk: saved through the state extension
// into Lv2StateChunk's bytes, and restored from them.

#include "plugins/Lv2Adapter.h"

#include "plugins/Lv2StateChunk.h"
#include "plugins/Lv2UridMap.h"

#include <lv2/atom/atom.h>
#include <lv2/worker/worker.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace vantreel {

namespace {

constexpr uint32_t kStateFlags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;

std::string UriOf(LV2_URID urid) {
    const char* uri = SharedUridMap().Unmap(urid);
    return uri != nullptr ? uri : "";
}

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                       uint32_t type, uint32_t flags) {
    auto* image = static_cast<Lv2StateImage*>(handle);
    Lv2StateProperty property;
    property.key = UriOf(key);
    property.type = UriOf(type);
    if (property.key.empty() || property.type.empty()) {
        return LV2_STATE_ERR_BAD_TYPE;
    }
    property.flags = flags;
    const auto* bytes = static_cast<const uint8_t*>(value);
    property.value.assign(bytes, bytes + size);
    image->properties.push_back(std::move(property));
    return LV2_STATE_SUCCESS;
}

// What the plug-in retrieves while restoring: the image and its keys, mapped.
struct Retrieval {
    const Lv2StateImage* image;
    std::vector<LV2_URID> keys;
    std::vector<LV2_URID> types;
};

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                     uint32_t* flags) {
    const auto* retrieval = static_cast<const Retrieval*>(handle);
    for (std::size_t n = 0; n < retrieval->keys.size(); ++n) {
        if (retrieval->keys[n] == key) {
            const Lv2StateProperty& property = retrieval->image->properties[n];
            *size = property.value.size();
            *type = retrieval->types[n];
            *flags = property.flags;
            return property.value.data();
        }
    }
    return nullptr;
}

// A path property's file, or "" when the property is no path.
std::string PathIn(const Lv2StateProperty& property) {
    if (property.type != LV2_ATOM__Path || property.value.empty()) {
        return {};
    }
    const char* text = reinterpret_cast<const char*>(property.value.data());
    return std::string(text, strnlen(text, property.value.size()));
}

} // namespace

VstIntPtr Lv2Adapter::GetChunk(void** data) {
    if (data == nullptr) {
        return 0;
    }
    Lv2StateImage image;
    for (const Lv2Parameter& p : layout.parameters) {
        image.ports.push_back({p.symbol, controls[p.port].load()});
    }
    if (stateInterface != nullptr && stateInterface->save != nullptr) {
        stateInterface->save(lilv_instance_get_handle(instance), &Store, &image, kStateFlags,
                             StateFeatures());
    }
    chunk = EncodeStateChunk(image);
    *data = chunk.data();
    return VstIntPtr(chunk.size());
}

VstIntPtr Lv2Adapter::SetChunk(const void* data, VstIntPtr size) {
    Lv2StateImage image;
    if (data == nullptr || size <= 0 ||
        !DecodeStateChunk(static_cast<const uint8_t*>(data), std::size_t(size), image)) {
        stateNotes.push_back("The stored state of " + name +
                             " is damaged and was not applied; it keeps its current settings.");
        return 0;
    }
    Restore(image);
    return 1;
}

void Lv2Adapter::Restore(const Lv2StateImage& image) {
    for (const Lv2PortValue& value : image.ports) {
        for (const Lv2Parameter& p : layout.parameters) {
            if (p.symbol == value.symbol) {
                controls[p.port].store(p.FromNormalized(p.ToNormalized(value.value)));
            }
        }
    }
    for (const Lv2StateProperty& property : image.properties) {
        const std::string path = PathIn(property);
        std::error_code error;
        if (!path.empty() && !std::filesystem::exists(path, error)) {
            // Handed on all the same: the plug-in copes, and the next save keeps it.
            stateNotes.push_back(name + " refers to the file \"" + path + "\", which is missing.");
        }
    }
    if (stateInterface == nullptr || stateInterface->restore == nullptr) {
        return;
    }
    Retrieval retrieval{&image, {}, {}};
    Lv2UridMap& map = SharedUridMap();
    for (const Lv2StateProperty& property : image.properties) {
        retrieval.keys.push_back(map.Map(property.key.c_str()));
        retrieval.types.push_back(map.Map(property.type.c_str()));
    }
    stateInterface->restore(lilv_instance_get_handle(instance), &Retrieve, &retrieval, kStateFlags,
                            StateFeatures());
}

const LV2_Feature* const* Lv2Adapter::StateFeatures() {
    if (stateFeatureList.empty()) {
        stateFeatures = {
            {LV2_STATE__mapPath, paths.MapPath()},
            {LV2_STATE__makePath, paths.MakePath()},
            {LV2_STATE__freePath, paths.FreePath()},
            {LV2_WORKER__schedule, worker.Feature()},
        };
        for (const LV2_Feature& feature : stateFeatures) {
            stateFeatureList.push_back(&feature);
        }
        stateFeatureList.push_back(nullptr);
    }
    return stateFeatureList.data();
}

} // namespace vantreel
