#pragma once
// The menu commands that act on the editors: next and previous pattern and octave,
// edit/record mode, the slave cursor, the block (or song loop) marks, and the block,
// pattern and track clipboard, whose commands report on the status line, and Undo
// and Redo, enabled only while there is something to undo or redo.

#include <QString>

#include <functional>
#include <string>

namespace vantreel {

class AudioEngine;
class CommandSet;
class EditorView;

class EditorCommands {
public:
    using StatusText = std::function<void(const QString&)>;

    EditorCommands(AudioEngine& engine, EditorView& view, CommandSet& commands,
                   StatusText setStatusText);
    ~EditorCommands();
    EditorCommands(const EditorCommands&) = delete;
    EditorCommands& operator=(const EditorCommands&) = delete;

    // Toggle edit/record and Slave cursor are checked while their mode is set.
    void UpdateChecks();
    // Undo and Redo are enabled while the history has a step for them.
    void UpdateUndoCommands();

private:
    void HandleClipboardCommands(EditorView& view);
    void HandleHistoryCommands(EditorView& view);
    void ShowHistoryOutcome(EditorView& view, const std::string& status);

    AudioEngine& engine;
    EditorView& view;
    CommandSet& commands;
    StatusText setStatusText;
};

} // namespace vantreel
