#include "plugins/HostContext.h"

#include "plugins/PluginCalls.h"

namespace vantreel {

namespace {

std::atomic<HostContext*> publishedContext{nullptr};

constexpr int kHalfBits = 32;
constexpr uint64_t kHalfMask = 0xFFFFFFFFu;

uint64_t PackSize(int width, int height) {
    return (uint64_t(width) << kHalfBits) | uint64_t(height);
}

EditorSize UnpackSize(uint64_t packed) {
    return {int(packed >> kHalfBits), int(packed & kHalfMask)};
}

constexpr uint32_t kIdleRequested = 1u << 0;       // effIdle
constexpr uint32_t kEditorIdleRequested = 1u << 1; // effEditIdle

bool UsableSide(VstIntPtr side) {
    return side > 0 && side <= kMaxEditorSide;
}

} // namespace

HostContext::HostContext(Song& s, EditorState& e, std::atomic<int32_t>& mode)
    : song(s), editor(e), playMode(mode) {
    publishedContext.store(this);
}

HostContext::~HostContext() {
    HostContext* self = this;
    publishedContext.compare_exchange_strong(self, nullptr);
}

HostContext* HostContext::Current() {
    return publishedContext.load();
}

void HostContext::SetRepaintHook(RepaintHook hook) {
    repaintHook.store(hook);
}

void HostContext::RequestRepaint() const {
    if (RepaintHook hook = repaintHook.load()) {
        hook();
    }
}

void HostContext::SetEditorOpen(const AEffect* effect, bool open) {
    if (effect == nullptr) {
        return;
    }
    if (!open) {
        const int index = EditorIndex(effect);
        if (index >= 0) {
            editorsReady[index].store(false);
            sizeRequests[index].store(0);
            openEditors[index].store(nullptr);
        }
        return;
    }
    const int index = ClaimEditorMark(effect);
    if (index >= 0) {
        editorsReady[index].store(true);
    }
}

void HostContext::SetEditorOpening(const AEffect* effect) {
    if (effect != nullptr) {
        ClaimEditorMark(effect);
    }
}

bool HostContext::IsEditorOpen(const AEffect* effect) const {
    const int index = EditorIndex(effect);
    return index >= 0 && editorsReady[index].load();
}

int HostContext::EditorIndex(const AEffect* effect) const {
    if (effect == nullptr) {
        return -1;
    }
    for (int index = 0; index < kSlotCount; ++index) {
        if (openEditors[index].load() == effect) {
            return index;
        }
    }
    return -1;
}

int HostContext::ClaimEditorMark(const AEffect* effect) {
    const int marked = EditorIndex(effect);
    if (marked >= 0) {
        return marked;
    }
    for (int index = 0; index < kSlotCount; ++index) {
        const AEffect* empty = nullptr;
        if (openEditors[index].compare_exchange_strong(empty, effect)) {
            return index;
        }
    }
    return -1;
}

bool HostContext::RequestEditorSize(const AEffect* effect, VstIntPtr width, VstIntPtr height) {
    if (!UsableSide(width) || !UsableSide(height)) {
        return false;
    }
    const int index = EditorIndex(effect);
    if (index < 0) {
        return false;
    }
    sizeRequests[index].store(PackSize(int(width), int(height)));
    return true;
}

std::optional<EditorSize> HostContext::TakeEditorSizeRequest(const AEffect* effect) {
    const int index = EditorIndex(effect);
    if (index < 0) {
        return std::nullopt;
    }
    const uint64_t packed = sizeRequests[index].exchange(0);
    if (packed == 0) {
        return std::nullopt;
    }
    return UnpackSize(packed);
}

void HostContext::SetOpenInstance(int slot, const AEffect* effect) {
    if (slot < 0 || slot >= kSlotCount) {
        return;
    }
    openInstances[slot].store(effect);
    idleRequests[slot].store(0); // a request of the one before is not this one's
}

bool HostContext::IsInstanceOpen(const AEffect* effect) const {
    return InstanceIndex(effect) >= 0;
}

bool HostContext::OnUserInterfaceThread() const {
    return std::this_thread::get_id() == userInterfaceThread;
}

int HostContext::InstanceIndex(const AEffect* effect) const {
    if (effect == nullptr) {
        return -1;
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (openInstances[slot].load() == effect) {
            return slot;
        }
    }
    return -1;
}

bool HostContext::NoteIdleRequest(const AEffect* effect, bool editor) {
    const int slot = InstanceIndex(effect);
    if (slot < 0) {
        return false;
    }
    idleRequests[slot].fetch_or(editor ? kEditorIdleRequested : kIdleRequested);
    return true;
}

void HostContext::ServeIdleRequests() {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const uint32_t requests = idleRequests[slot].exchange(0);
        // Only this thread changes the open instances, so this one stays open meanwhile.
        AEffect* effect = const_cast<AEffect*>(openInstances[slot].load());
        if (requests == 0 || effect == nullptr) {
            continue;
        }
        if (requests & kIdleRequested) {
            plugin::Idle(effect);
        }
        if ((requests & kEditorIdleRequested) && IsEditorOpen(effect)) {
            plugin::EditIdle(effect);
        }
    }
}

} // namespace vantreel
