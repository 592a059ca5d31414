#include "shell/EditorCommands.h"

#include "engine/AudioEngine.h"
#include "shell/CommandSet.h"
#include "shell/EditorView.h"

namespace vantreel {

namespace {

using ControllerCommand = bool (EditorController::*)();

struct Binding {
    CommandId id;
    ControllerCommand command;
};

constexpr Binding kBindings[] = {
    {kCmdNextPattern, &EditorController::NextPattern},
    {kCmdPreviousPattern, &EditorController::PreviousPattern},
    {kCmdNextOctave, &EditorController::NextOctave},
    {kCmdPreviousOctave, &EditorController::PreviousOctave},
    {kCmdToggleEditMode, &EditorController::ToggleEditMode},
    {kCmdSlaveCursor, &EditorController::ToggleSlaveCursor},
    {kCmdBlockStart, &EditorController::BlockStart},
    {kCmdBlockEnd, &EditorController::BlockEnd},
};

} // namespace

EditorCommands::EditorCommands(AudioEngine& engine, EditorView& view, CommandSet& commands)
    : engine(engine), commands(commands) {
    for (const Binding& binding : kBindings) {
        commands.Handle(binding.id, [this, &view, command = binding.command] {
            if ((view.Controller().*command)()) {
                view.Repaint();
            }
            UpdateChecks();
        });
    }
    UpdateChecks();
}

void EditorCommands::UpdateChecks() {
    commands.SetChecked(kCmdToggleEditMode, engine.editor.editMode != 0);
    commands.SetChecked(kCmdSlaveCursor, engine.editor.slaveCursor != 0);
}

} // namespace vantreel
