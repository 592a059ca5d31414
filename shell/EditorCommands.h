#pragma once
// The menu commands that act on the editors: next and previous pattern and octave,
// edit/record mode, the slave cursor, and the block (or song loop) marks.

namespace vantreel {

class AudioEngine;
class CommandSet;
class EditorView;

class EditorCommands {
public:
    EditorCommands(AudioEngine& engine, EditorView& view, CommandSet& commands);

    // Toggle edit/record and Slave cursor are checked while their mode is set.
    void UpdateChecks();

private:
    AudioEngine& engine;
    CommandSet& commands;
};

} // namespace vantreel
