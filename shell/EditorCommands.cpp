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

using ClipboardCommand = ClipboardOutcome (PatternClipboard::*)();

struct ClipboardBinding {
    CommandId id;
    ClipboardCommand command;
};

constexpr ClipboardBinding kClipboardBindings[] = {
    {kCmdBlockCut, &PatternClipboard::BlockCut},
    {kCmdBlockCopy, &PatternClipboard::BlockCopy},
    {kCmdBlockPaste, &PatternClipboard::BlockPaste},
    {kCmdPatternCut, &PatternClipboard::PatternCut},
    {kCmdPatternCopy, &PatternClipboard::PatternCopy},
    {kCmdPatternPaste, &PatternClipboard::PatternPaste},
    {kCmdTrackCut, &PatternClipboard::TrackCut},
    {kCmdTrackCopy, &PatternClipboard::TrackCopy},
    {kCmdTrackPaste, &PatternClipboard::TrackPaste},
};

} // namespace

EditorCommands::EditorCommands(AudioEngine& engine, EditorView& view, CommandSet& commands,
                               StatusText setStatusText)
    : engine(engine), view(view), commands(commands), setStatusText(std::move(setStatusText)) {
    for (const Binding& binding : kBindings) {
        commands.Handle(binding.id, [this, &view, command = binding.command] {
            if ((view.Controller().*command)()) {
                view.Repaint();
            }
            UpdateChecks();
        });
    }
    HandleClipboardCommands(view);
    HandleHistoryCommands(view);
    UpdateChecks();
}

EditorCommands::~EditorCommands() {
    view.Controller().History().changed = {};
}

void EditorCommands::HandleHistoryCommands(EditorView& view) {
    commands.Handle(kCmdUndo,
                    [this, &view] { ShowHistoryOutcome(view, view.Controller().Undo()); });
    commands.Handle(kCmdRedo,
                    [this, &view] { ShowHistoryOutcome(view, view.Controller().Redo()); });
    view.Controller().History().changed = [this] { UpdateUndoCommands(); };
    UpdateUndoCommands();
}

// The cursor, the slot and any setting may have moved: the panel and the view follow.
void EditorCommands::ShowHistoryOutcome(EditorView& view, const std::string& status) {
    if (status.empty()) {
        return;
    }
    EditorController& controller = view.Controller();
    if (controller.refreshControlPanel) {
        controller.refreshControlPanel();
    }
    view.Repaint();
    if (setStatusText) {
        setStatusText(QString::fromLatin1(status.c_str()));
    }
}

void EditorCommands::UpdateUndoCommands() {
    const UndoHistory& history = view.Controller().History();
    commands.SetEnabled(kCmdUndo, history.CanUndo());
    commands.SetEnabled(kCmdRedo, history.CanRedo());
}

void EditorCommands::HandleClipboardCommands(EditorView& view) {
    for (const ClipboardBinding& binding : kClipboardBindings) {
        commands.Handle(binding.id, [this, &view, command = binding.command] {
            const ClipboardOutcome outcome = (view.Controller().Clipboard().*command)();
            if (outcome.repaint) {
                view.Repaint();
            }
            if (setStatusText) {
                setStatusText(outcome.status);
            }
        });
    }
}

void EditorCommands::UpdateChecks() {
    commands.SetChecked(kCmdToggleEditMode, engine.editor.editMode != 0);
    commands.SetChecked(kCmdSlaveCursor, engine.editor.slaveCursor != 0);
}

} // namespace vantreel
