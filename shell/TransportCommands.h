#pragma once
// Play pattern (F4), Play song (F5) and Stop (F8): they start and stop the
// sequencer, and their buttons show which mode plays.

namespace vantreel {

class AudioEngine;
class CommandSet;
class EditorView;

class TransportCommands {
public:
    TransportCommands(AudioEngine& engine, EditorView& view, CommandSet& commands);

    // Play pattern is checked while a pattern plays, Play song while the song plays.
    void UpdateChecks();

private:
    void PlayPattern();
    void PlaySong();
    void Stop();

    AudioEngine& engine;
    EditorView& view;
    CommandSet& commands;
};

} // namespace vantreel
