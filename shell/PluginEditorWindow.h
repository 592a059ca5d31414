#pragma once
// The window a plug-in draws its own editor into: an empty dialog with one native
// child window handed to the plug-in, both sized to the rectangle the plug-in asks
// for, and a 50 ms timer that lets the editor idle. It runs modally; audio goes on
// meanwhile.
//
// Threads: the user-interface thread only; the plug-in's calls back into the host
// arrive on it during opening, idling and its own event handling.

#include "plugins/VstAbi.h"

#include <QBasicTimer>
#include <QDialog>

namespace vantreel {

class AudioEngine;

class PluginEditorWindow : public QDialog {
    Q_OBJECT
public:
    // Whether the current slot holds a plug-in that has an editor.
    static bool CanOpen(const AudioEngine& engine);
    // The size of the window handed to the plug-in for the rectangle it asked for.
    static QSize HostSizeFor(const ERect& rect);

    static constexpr int kIdleMilliseconds = 50;

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
    VstIntPtr Dispatch(VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr);

    AudioEngine& engine;
    AEffect& effect;
    QWidget* host;
    QBasicTimer idleTimer;
    bool editorOpen = false;
};

} // namespace vantreel
