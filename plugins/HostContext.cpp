#include "plugins/HostContext.h"

namespace vantreel {

namespace {
std::atomic<HostContext*> publishedContext{nullptr};
}

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
    for (auto& mark : openEditors) {
        if (mark.load() == effect) {
            if (!open) {
                mark.store(nullptr);
            }
            return;
        }
    }
    if (!open) {
        return;
    }
    for (auto& mark : openEditors) {
        const AEffect* empty = nullptr;
        if (mark.compare_exchange_strong(empty, effect)) {
            return;
        }
    }
}

bool HostContext::IsEditorOpen(const AEffect* effect) const {
    if (effect == nullptr) {
        return false;
    }
    for (const auto& mark : openEditors) {
        if (mark.load() == effect) {
            return true;
        }
    }
    return false;
}

} // namespace vantreel
