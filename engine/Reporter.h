#pragma once
// Hands reports to the user. The audio thread only raises a flag (no allocation, no
// waiting); the user-interface thread collects the flags on its timer and shows them.
// Messages raised on the user-interface thread go straight to the installed handler,
// which the window fills in with a message box; without one they go to standard error.
// A failed operation that shows no box of its own notes its reason here, for the
// window to show beside its status text.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace vantreel {

enum class MessageIcon { Error, Warning, Information };

struct UserMessage {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::Error;
};

// Reports that can come from the audio or MIDI threads.
enum class AudioReport : uint32_t {
    EventBufferFlood = 1u << 0,
};

UserMessage MessageFor(AudioReport report);

class Reporter {
public:
    using Handler = std::function<void(const UserMessage&)>;

    // Any thread, the audio thread included: never blocks, never allocates.
    void Post(AudioReport report);
    // User-interface thread: the reports raised since the last call, as a bit set.
    uint32_t TakePending();
    // User-interface thread: shows a message now, through the handler or on stderr.
    void Show(const UserMessage& message);
    // User-interface thread: replaces the handler; an empty one means standard error.
    void SetHandler(Handler handler);
    // User-interface thread: shows every pending audio report; headless tools call it
    // after rendering. Without a handler each kind is printed once per process.
    void ShowPending();
    // User-interface thread: why an operation (a save, a plug-in load) failed. It is
    // kept for the window and written to standard error.
    void NoteFailure(const std::string& reason);
    // User-interface thread: the reason last noted, "" before any.
    const std::string& LastFailure() const { return lastFailure; }

private:
    std::atomic<uint32_t> pending{0};
    uint32_t printed = 0;
    Handler handler;
    std::string lastFailure;
};

} // namespace vantreel
