#include "shell/CommandTable.h"

namespace vantreel {

namespace {

QKeySequence Keypad(Qt::Key key) {
    return QKeySequence(Qt::KeypadModifier | key);
}

std::vector<CommandInfo> BuildTable() {
    using M = MenuName;
    const bool separator = true;
    const bool checkable = true;
    return {
        {kCmdNewProject, M::File, "New project\tCtrl+N", {Qt::CTRL | Qt::Key_N}, "New project"},
        {kCmdOpenProject, M::File, "Open project\tCtrl+O", {Qt::CTRL | Qt::Key_O}, "Open project"},
        {kCmdSaveProject, M::File, "Save project\tCtrl+S", {Qt::CTRL | Qt::Key_S}, "Save project"},
        {kCmdAudioSetup,
         M::File,
         "Audio setup...",
         {},
         "Choose the sound output, its device and buffer size\nAudio setup",
         separator},
        {kCmdExit, M::File, "E&xit", {}, "Quit the application; prompts to save documents\nExit"},

        {kCmdUndo,
         M::Edit,
         "&Undo\tCtrl+Z",
         {Qt::CTRL | Qt::Key_Z, Qt::ALT | Qt::Key_Backspace},
         "Undo the last action\nUndo"},
        {kCmdRedo,
         M::Edit,
         "&Redo\tCtrl+Y",
         {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z},
         "Redo the last undone action\nRedo"},
        {kCmdBlockStart,
         M::Edit,
         "Block start\tCtrl+B",
         {Qt::CTRL | Qt::Key_B},
         "Block start\nBlock start",
         separator},
        {kCmdBlockEnd,
         M::Edit,
         "Block end\tCtrl+E",
         {Qt::CTRL | Qt::Key_E},
         "Block end\nBlock end"},
        {kCmdBlockCut,
         M::Edit,
         "Block cu&t\tCtrl+X",
         {Qt::CTRL | Qt::Key_X, Qt::SHIFT | Qt::Key_Delete},
         "Cut the selection and put it on the Clipboard\nCut",
         separator},
        {kCmdBlockCopy,
         M::Edit,
         "Block &copy\tCtrl+C",
         {Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert},
         "Copy the selection and put it on the Clipboard\nCopy"},
        {kCmdBlockPaste,
         M::Edit,
         "Block &paste\tCtrl+V",
         {Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert},
         "Insert Clipboard contents\nPaste"},
        {kCmdPatternCut,
         M::Edit,
         "Pattern cut\tCtrl+F3",
         {Qt::CTRL | Qt::Key_F3},
         "Cut pattern",
         separator},
        {kCmdPatternCopy,
         M::Edit,
         "Pattern copy\tCtrl+F4",
         {Qt::CTRL | Qt::Key_F4},
         "Copy pattern"},
        {kCmdPatternPaste,
         M::Edit,
         "Pattern paste\tCtrl+F5",
         {Qt::CTRL | Qt::Key_F5},
         "Paste pattern"},
        {kCmdTrackCut,
         M::Edit,
         "Track cut\tShift+F3",
         {Qt::SHIFT | Qt::Key_F3},
         "Cut track",
         separator},
        {kCmdTrackCopy, M::Edit, "Track copy\tShift+F4", {Qt::SHIFT | Qt::Key_F4}, "Copy track"},
        {kCmdTrackPaste, M::Edit, "Track paste\tShift+F5", {Qt::SHIFT | Qt::Key_F5}, "Paste track"},
        {kCmdToggleEditMode,
         M::Edit,
         "Toggle edit/record\tSpace",
         {Qt::Key_Space},
         "Toggle edit/record\nToggle edit/record",
         separator,
         checkable},
        {kCmdSlaveCursor,
         M::Edit,
         "Slave pattern edit cursor to play position\tShift+S",
         {Qt::SHIFT | Qt::Key_S},
         "It locks pattern editor cursor to current player playline\nSlave cursor position to "
         "player line",
         !separator,
         checkable},
        {kCmdNextPattern,
         M::Edit,
         "Next pattern\t+",
         {Keypad(Qt::Key_Plus)},
         "Select next pattern",
         separator},
        {kCmdPreviousPattern,
         M::Edit,
         "Previous pattern\t-",
         {Keypad(Qt::Key_Minus)},
         "Select previous pattern"},
        {kCmdNextOctave,
         M::Edit,
         "Next octave\tNumpad *",
         {Keypad(Qt::Key_Asterisk)},
         "Select next octave for keyboard"},
        {kCmdPreviousOctave,
         M::Edit,
         "Previous octave\tNumpad /",
         {Keypad(Qt::Key_Slash)},
         "Select previous octave for keyboard"},
        {kCmdPatternProperties,
         M::Edit,
         "Pattern properties...\tAlt+Enter",
         {Qt::ALT | Qt::Key_Return,
          QKeyCombination(Qt::AltModifier | Qt::KeypadModifier, Qt::Key_Enter)},
         "Show pattern properties",
         separator},

        {kCmdPlayPattern,
         M::Transport,
         "Play pattern\tF4",
         {Qt::Key_F4},
         "Play current pattern\nPlay pattern",
         !separator,
         checkable},
        {kCmdPlaySong,
         M::Transport,
         "Play song\tF5",
         {Qt::Key_F5},
         "Play song\nPlay song",
         !separator,
         checkable},
        {kCmdStop, M::Transport, "Stop\tF8", {Qt::Key_F8}, "Stop\nStop"},

        {kCmdViewToolBar,
         M::View,
         "&Toolbar",
         {},
         "Show or hide the toolbar\nToggle ToolBar",
         !separator,
         checkable},
        {kCmdViewStatusBar,
         M::View,
         "&Status Bar",
         {},
         "Show or hide the status bar\nToggle StatusBar",
         !separator,
         checkable},

        {kCmdAbout,
         M::Help,
         "&About Vantreel...",
         {},
         "Display program information, version number and copyright\nAbout"},
        {kCmdQuickHelp, M::Help, "Quick help", {}, "Quick help"},

        {kCmdNextPane, M::None, "", {Qt::Key_F6}, "Switch to the next window pane\nNext Pane"},
        {kCmdPreviousPane,
         M::None,
         "",
         {Qt::SHIFT | Qt::Key_F6},
         "Switch back to the previous window pane\nPrevious Pane"},
        {kCmdPrint, M::None, "", {}, ""},
    };
}

} // namespace

const std::vector<CommandInfo>& CommandTable() {
    static const std::vector<CommandInfo> table = BuildTable();
    return table;
}

const CommandInfo* FindCommand(CommandId id) {
    for (const CommandInfo& command : CommandTable()) {
        if (command.id == id) {
            return &command;
        }
    }
    return nullptr;
}

QString StatusPromptOf(const CommandInfo& command) {
    return command.prompt.section('\n', 0, 0);
}

QString ToolTipOf(const CommandInfo& command) {
    return command.prompt.section('\n', 1, 1);
}

QString MenuTitle(MenuName menu) {
    switch (menu) {
    case MenuName::File:
        return "&File";
    case MenuName::Edit:
        return "&Edit";
    case MenuName::Transport:
        return "&Transport";
    case MenuName::View:
        return "&View";
    case MenuName::Help:
        return "&Help";
    case MenuName::None:
        break;
    }
    return {};
}

} // namespace vantreel
