#pragma once
// What the host callback may reach of the engine: the song, the editor state and the
// play mode, plus a repaint hook and the marks of open plug-in editors. The engine
// owns one as a member; constructing it publishes it process-wide and destroying it
// withdraws it, so plug-ins calling back while no engine exists get default answers.

#include "plugins/TransportRecord.h"
#include "plugins/VstAbi.h"
#include "song/EditorState.h"
#include "song/Song.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>

namespace vantreel {

// A plug-in editor's size in pixels, as it asks for it.
struct EditorSize {
    int width;
    int height;
};

// The largest side an editor may ask for; larger requests are refused.
constexpr int kMaxEditorSide = 16384;

// Asks the editor view for a repaint. Called on whatever thread the plug-in calls the
// host from, so the window's hook must only post a request to the user-interface thread.
using RepaintHook = void (*)();

class HostContext {
public:
    HostContext(Song& song, EditorState& editor, std::atomic<int32_t>& playMode);
    ~HostContext();
    HostContext(const HostContext&) = delete;
    HostContext& operator=(const HostContext&) = delete;

    // The published context, or null. Any thread.
    static HostContext* Current();

    // Any thread. A null hook removes it.
    void SetRepaintHook(RepaintHook hook);
    void RequestRepaint() const;

    // User-interface thread: the editor window marks its instance while it is open, so
    // the host forwards editor idling only to an editor that exists.
    void SetEditorOpen(const AEffect* effect, bool open);
    // User-interface thread: marks the instance while its editor is being opened, so
    // the size it asks for meanwhile is noted; idling is forwarded only after
    // SetEditorOpen(effect, true), when the editor exists.
    void SetEditorOpening(const AEffect* effect);
    // Any thread.
    bool IsEditorOpen(const AEffect* effect) const;

    // Any thread: the editor of `effect`, open or opening, asks to be `width` x
    // `height` pixels. The request is only noted; the editor window serves it on the
    // user-interface thread. False without such an editor or for an unusable size.
    bool RequestEditorSize(const AEffect* effect, VstIntPtr width, VstIntPtr height);
    // User-interface thread: the last size the editor of `effect` asked for since the
    // previous call, if it asked.
    std::optional<EditorSize> TakeEditorSizeRequest(const AEffect* effect);

    // --- Idle requests ------------------------------------------------------------
    // A plug-in's dispatcher is not thread-safe, so idling asked for on another thread
    // is only noted here and served on the user-interface thread, and only to an
    // instance that is still open.

    // User-interface thread: `effect` is the open instance of `slot` (null: none).
    // Cleared before an instance is closed; nothing is forwarded to it after that.
    void SetOpenInstance(int slot, const AEffect* effect);
    // Any thread.
    bool IsInstanceOpen(const AEffect* effect) const;
    // Any thread: whether the caller is the user-interface thread (the one that
    // built this context, which is the one that builds the engine).
    bool OnUserInterfaceThread() const;
    // Any thread: notes that `effect` asked for effIdle (`editor` false) or for its
    // editor to be idled (`editor` true). False when it is no open instance.
    bool NoteIdleRequest(const AEffect* effect, bool editor);
    // User-interface thread, from its timer: makes the calls noted since the last time,
    // to instances still open (editor idling only to an open editor).
    void ServeIdleRequests();

    Song& song;
    EditorState& editor;
    std::atomic<int32_t>& playMode;
    // The song position of the block being processed; the engine publishes it.
    TransportRecord transport;

private:
    std::atomic<RepaintHook> repaintHook{nullptr};
    int EditorIndex(const AEffect* effect) const; // -1 when not marked
    int ClaimEditorMark(const AEffect* effect);   // -1 when the table is full

    // One editor per slot at most, so the marks fit a fixed table.
    std::atomic<const AEffect*> openEditors[kSlotCount] = {};
    // Whether each marked editor is open (else still opening).
    std::atomic<bool> editorsReady[kSlotCount] = {};
    // Beside each mark, its editor's pending size request: width in the high half,
    // height in the low half, 0 when none is pending.
    std::atomic<uint64_t> sizeRequests[kSlotCount] = {};

    int InstanceIndex(const AEffect* effect) const; // -1 when not open
    const std::thread::id userInterfaceThread = std::this_thread::get_id();
    std::atomic<const AEffect*> openInstances[kSlotCount] = {};
    // Per slot, the idle calls its instance asked for from other threads (bits).
    std::atomic<uint32_t> idleRequests[kSlotCount] = {};
};

} // namespace vantreel
