#pragma once
// The window a plug-in draws its own editor into: an empty dialog with one native
// child window handed to the plug-in, both sized to the rectangle the plug-in asks
// for, and a 50 ms timer that lets the editor idle. It runs modally; audio goes on
// meanwhile.
//
// Threads: the user-interface thread only; the plug-in's calls back into the host
// arrive on it during opening, idling and its own event handling, except the size
// requests some editors make from threads of their own, which wait for the timer.

#include "plugins/HostContext.h"
#include "plugins/VstAbi.h"

#include <QBasicTimer>
#include <QDialog>

namespace vantreel {

class AudioEngine;

// What "Edit..." says instead of opening an editor on a platform without X11.
constexpr const char* kEditorsNeedX11Text =
    "Plug-in editors need X11. Start Vantreel on an X11 display (or under XWayland) to "
    "open them.";

class PluginEditorWindow : public QDialog {
    Q_OBJECT
public:
    // Whether the current slot holds a plug-in that has an editor.
    static bool CanOpen(const AudioEngine& engine);
    // Plug-in editors on Linux draw into X11 windows: without X11 (offscreen, Wayland
    // without XWayland) there is nothing to hand them.
    static bool PlatformShowsEditors();
    // The size of the window handed to the plug-in for the rectangle it asked for. An
    // empty or inside-out rectangle gets the default editor size.
    static QSize HostSizeFor(const ERect& rect);
    // The same for a size the editor asked for later.
    static QSize HostSizeFor(EditorSize size);

    static constexpr int kIdleMilliseconds = 50;
    // For an editor that names no usable rectangle.
    static constexpr EditorSize kDefaultEditorSize{400, 300};

    // Opens the editor of `effect`, the current slot's instance.
    PluginEditorWindow(AudioEngine& engine, AEffect& effect, QWidget* parent);
    ~PluginEditorWindow() override;

    QWidget& HostWindow() { return *host; }
    void done(int result) override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void OpenEditor();
    void CloseEditor();
    void Resize(QSize size);
    // Applies the size the editor last asked for, if it asked.
    void ServeSizeRequest();

    AudioEngine& engine;
    AEffect& effect;
    QWidget* host;
    QBasicTimer idleTimer;
    bool editorOpen = false;
};

} // namespace vantreel
