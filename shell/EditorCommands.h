#pragma once
// The menu commands that act on the editors: next and previous pattern and octave,
// edit/record mode, the slave cursor, the block (or song loop) marks, and the block,
// pattern and track clipboard, whose commands report on the status line.

#include <QString>

#include <functional>

namespace vantreel {

class AudioEngine;
class CommandSet;
class EditorView;

class EditorCommands {
public:
    using StatusText = std::function<void(const QString&)>;

    EditorCommands(AudioEngine& engine, EditorView& view, CommandSet& commands,
                   StatusText setStatusText);

    // Toggle edit/record and Slave cursor are checked while their mode is set.
    void UpdateChecks();

private:
    void HandleClipboardCommands(EditorView& view);

    AudioEngine& engine;
    CommandSet& commands;
    StatusText setStatusText;
};

} // namespace vantreel
