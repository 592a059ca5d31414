#include "shell/TransportCommands.h"

#include "engine/AudioEngine.h"
#include "shell/CommandSet.h"
#include "shell/EditorView.h"

namespace vantreel {

TransportCommands::TransportCommands(AudioEngine& engine, EditorView& view, CommandSet& commands)
    : engine(engine), view(view), commands(commands) {
    commands.Handle(kCmdPlayPattern, [this] { PlayPattern(); });
    commands.Handle(kCmdPlaySong, [this] { PlaySong(); });
    commands.Handle(kCmdStop, [this] { Stop(); });
    UpdateChecks();
}

void TransportCommands::UpdateChecks() {
    const int mode = engine.playMode.load();
    commands.SetChecked(kCmdPlayPattern, mode == kPlayingPattern);
    commands.SetChecked(kCmdPlaySong, mode == kPlayingSong);
}

void TransportCommands::PlayPattern() {
    engine.PlayPattern();
    UpdateChecks();
    view.Repaint();
}

void TransportCommands::PlaySong() {
    engine.PlaySong();
    UpdateChecks();
    view.Repaint();
}

void TransportCommands::Stop() {
    engine.StopPlayback();
    UpdateChecks();
    view.Repaint();
}

} // namespace vantreel
