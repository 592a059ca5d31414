#include "engine/Reporter.h"

#include <cstdio>

namespace vantreel {

UserMessage MessageFor(AudioReport report) {
    switch (report) {
    case AudioReport::EventBufferFlood:
        return {"Event buffer flood!", "Fatal error", MessageIcon::Error};
    }
    return {"Unknown report", "Vantreel", MessageIcon::Error};
}

void Reporter::Post(AudioReport report) {
    pending.fetch_or(static_cast<uint32_t>(report), std::memory_order_relaxed);
}

uint32_t Reporter::TakePending() {
    return pending.exchange(0, std::memory_order_relaxed);
}

void Reporter::Show(const UserMessage& message) {
    if (handler) {
        handler(message);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), message.text.c_str());
}

void Reporter::SetHandler(Handler newHandler) {
    handler = std::move(newHandler);
}

void Reporter::ShowPending() {
    uint32_t reports = TakePending();
    for (uint32_t bit = 1; bit != 0 && reports != 0; bit <<= 1) {
        if ((reports & bit) == 0) {
            continue;
        }
        reports &= ~bit;
        if (!handler) {
            if (printed & bit) {
                continue;
            }
            printed |= bit;
        }
        Show(MessageFor(static_cast<AudioReport>(bit)));
    }
}

void Reporter::NoteFailure(const std::string& reason) {
    lastFailure = reason;
    std::fprintf(stderr, "Vantreel: %s\n", reason.c_str());
}

} // namespace vantreel
