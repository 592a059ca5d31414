#pragma once
// The main window. It owns, in this order, the audio engine (with the song), the
// status bar, the tool bar, the control panel's dock and the editor view; it builds
// them in that order and tears them down in reverse, so the engine is built first
// and destroyed last. It routes menu and key commands, runs the refresh and status
// timers, and asks before it closes.
//
// Threads: the user-interface thread only.

#include "engine/AudioEngine.h"
#include "midi/MidiInput.h"
#include "shell/CommandSet.h"
#include "shell/UserMessages.h"

#include <QBasicTimer>
#include <QMainWindow>

#include <memory>
#include <optional>

namespace vantreel {

class ControlPanel;
class DialogCommands;
class EditorCommands;
class EditorView;
class KeypadAccelerators;
class StatusBar;
class ToolBar;
class TransportCommands;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(OutputMode output = OutputMode::Device);
    ~CMainFrame() override;

    // Puts a text into the status bar's message pane; the status timer puts "Ready"
    // back within two seconds.
    void SetStatusText(const QString& text);
    // Copies the model into the control panel and repaints the editors.
    void RefreshControlPanel();

    AudioEngine& Engine() { return *engine; }
    EditorView& View() { return *view; }
    CommandSet& Commands() { return commands; }
    StatusBar& Status() { return *frameStatusBar; }
    ToolBar& Tools() { return *frameToolBar; }
    UserMessages& Messages() { return messages; }
    ControlPanel& Panel() { return *controlPanel; }
    const MidiInput& Midi() const { return midiInput; }
    // False while the panel is being filled or a plug-in's editor is open.
    bool PanelReady() const;

    static constexpr int kRefreshMilliseconds = 50;
    static constexpr int kStatusMilliseconds = 2000;

protected:
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CreateWindowContents();
    void OpenMidiInput();
    void HandleFrameCommands();
    bool ConfirmExit();
    void OnRefreshTimer();
    void UpdateMeters();
    void UpdateCommandChecks();
    void ReportOutputAtStart();
    void ShowDropouts();

    // The output chosen in an earlier session's audio setup, for the device output.
    const std::optional<OutputChoice> storedOutput;
    std::unique_ptr<AudioEngine> engine;
    CommandSet commands;
    UserMessages messages;
    std::unique_ptr<StatusBar> frameStatusBar;
    std::unique_ptr<ToolBar> frameToolBar;
    std::unique_ptr<ControlPanel> controlPanel; // holds the panelReady flag
    std::unique_ptr<EditorView> view;
    MidiInput midiInput; // opened right after the view is built, closed before it goes
    std::unique_ptr<TransportCommands> transport;
    std::unique_ptr<EditorCommands> editorCommands;
    std::unique_ptr<DialogCommands> dialogCommands;
    std::unique_ptr<KeypadAccelerators> keypadAccelerators;
    QBasicTimer refreshTimer;
    QBasicTimer statusTimer;
    int lastPlayMode = kStopped;
    uint32_t shownDropouts = 0;
    bool busyCursorShown = false; // from the confirmed close until the window is gone
};

} // namespace vantreel
