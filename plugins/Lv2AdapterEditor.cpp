// The instrument's side of its editor: opening it in the host's window, telling it
// of value changes when it idles, and taking what it writes.

#include "plugins/Lv2Adapter.h"

#include "plugins/Lv2UridMap.h"

#include <lv2/atom/atom.h>

#include <cstdio>
#include <cstring>

namespace vantreel {

namespace {
constexpr uint32_t kFloatProtocol = 0;
} // namespace

VstIntPtr Lv2Adapter::OpenEditor(void* parent) {
    if (editorChoice.uri.empty() || parent == nullptr) {
        return 0;
    }
    CloseEditor();
    Lv2EditorHost editorHost;
    editorHost.owner = this;
    editorHost.write = [](LV2UI_Controller self, uint32_t port, uint32_t size, uint32_t protocol,
                          const void* buffer) {
        static_cast<Lv2Adapter*>(self)->WriteFromEditor(port, size, protocol, buffer);
    };
    editorHost.resized = [](void* self, int width, int height) {
        static_cast<Lv2Adapter*>(self)->EditorResized(width, height);
    };
    editorHost.instance = lilv_instance_get_handle(instance);
    editorHost.extensionData = lilv_instance_get_descriptor(instance)->extension_data;
    editorHost.sampleRate = float(sampleRate);
    editor = std::make_unique<Lv2Editor>(editorChoice, uri, editorHost);
    std::string problem;
    if (!editor->Open(parent, problem)) {
        std::fprintf(stderr, "Vantreel: the editor of %s did not open: %s\n", name.c_str(),
                     problem.c_str());
        editor.reset();
        return 0;
    }
    // The editor starts from what the instrument holds now.
    for (uint32_t port = 0; port < layout.kinds.size(); ++port) {
        const Lv2PortKind kind = layout.kinds[port];
        if (kind == Lv2PortKind::ControlIn || kind == Lv2PortKind::ControlOut) {
            shownToEditor[port] = controls[port].load();
            editor->PortEvent(port, shownToEditor[port]);
        }
    }
    return 1;
}

void Lv2Adapter::CloseEditor() {
    editor.reset();
}

void Lv2Adapter::IdleEditor() {
    if (!editor) {
        return;
    }
    for (uint32_t port = 0; port < layout.kinds.size(); ++port) {
        const Lv2PortKind kind = layout.kinds[port];
        if (kind != Lv2PortKind::ControlIn && kind != Lv2PortKind::ControlOut) {
            continue;
        }
        const float value = controls[port].load();
        if (value != shownToEditor[port]) {
            shownToEditor[port] = value;
            editor->PortEvent(port, value);
        }
    }
    editor->Idle();
}

// The editor's writes take the control panel's way: a control value is stored for
// the next block; an atom is queued for the next block's sequence.
void Lv2Adapter::WriteFromEditor(uint32_t port, uint32_t size, uint32_t protocol,
                                 const void* buffer) {
    if (port >= layout.kinds.size() || buffer == nullptr) {
        return;
    }
    if (protocol == kFloatProtocol) {
        if (layout.kinds[port] == Lv2PortKind::ControlIn && size == sizeof(float)) {
            float value = 0.0f;
            std::memcpy(&value, buffer, sizeof value);
            controls[port].store(value);
            shownToEditor[port] = value; // the editor knows it already
        }
        return;
    }
    if (protocol != SharedUridMap().Map(LV2_ATOM__eventTransfer) || size < sizeof(LV2_Atom) ||
        layout.kinds[port] != Lv2PortKind::EventIn) {
        return;
    }
    const auto* atom = static_cast<const LV2_Atom*>(buffer);
    if (sizeof(LV2_Atom) + atom->size > size) {
        return;
    }
    std::vector<uint8_t> message(kEditorMessageHead + sizeof(LV2_Atom_Event) + atom->size, 0);
    std::memcpy(message.data(), &port, sizeof port);
    LV2_Atom_Event event{};
    event.time.frames = 0;
    std::memcpy(message.data() + kEditorMessageHead, &event, sizeof event.time);
    std::memcpy(message.data() + kEditorMessageHead + sizeof event.time, atom,
                sizeof(LV2_Atom) + atom->size);
    editorMessages.Push(message.data(), uint32_t(message.size()));
}

void Lv2Adapter::EditorResized(int width, int height) {
    editorRect = {0, 0, int16_t(height), int16_t(width)};
    // The editor window serves it as it serves a VST 2 editor's request.
    if (host != nullptr) {
        host(&effect, audioMasterSizeWindow, width, height, nullptr, 0.0f);
    }
}

} // namespace vantreel
