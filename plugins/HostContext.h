#pragma once
// What the host callback may reach of the engine: the song, the editor state and the
// play mode, plus a repaint hook and the marks of open plug-in editors. The engine
// owns one as a member; constructing it publishes it process-wide and destroying it
// withdraws it, so plug-ins calling back while no engine exists get default answers.

#include "plugins/VstAbi.h"
#include "song/EditorState.h"
#include "song/Song.h"

#include <atomic>
#include <cstdint>

namespace vantreel {

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
    // Any thread.
    bool IsEditorOpen(const AEffect* effect) const;

    Song& song;
    EditorState& editor;
    std::atomic<int32_t>& playMode;

private:
    std::atomic<RepaintHook> repaintHook{nullptr};
    // One editor per slot at most, so the marks fit a fixed table.
    std::atomic<const AEffect*> openEditors[kSlotCount] = {};
};

} // namespace vantreel
