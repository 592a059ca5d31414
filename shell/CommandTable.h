#pragma once
// Every command of the main window: its id, where it sits in the menu, its keys and
// its status-line prompt. The menu, the accelerators and the tool bar are built
// from this one table so their texts and keys never drift apart.

#include <QKeySequence>
#include <QList>
#include <QString>

#include <vector>

namespace vantreel {

enum CommandId : int {
    kCmdNewProject = 32800,
    kCmdOpenProject = 32799,
    kCmdSaveProject = 32798,
    kCmdAudioSetup = 32801,
    kCmdExit = 57665,
    kCmdUndo = 57643,
    kCmdRedo = 57644,
    kCmdBlockStart = 32780,
    kCmdBlockEnd = 32781,
    kCmdBlockCut = 57635,
    kCmdBlockCopy = 57634,
    kCmdBlockPaste = 57637,
    kCmdPatternCut = 32792,
    kCmdPatternCopy = 32793,
    kCmdPatternPaste = 32794,
    kCmdTrackCut = 32795,
    kCmdTrackCopy = 32796,
    kCmdTrackPaste = 32797,
    kCmdToggleEditMode = 32778,
    kCmdSlaveCursor = 32790,
    kCmdNextPattern = 32786,
    kCmdPreviousPattern = 32788,
    kCmdNextOctave = 32784,
    kCmdPreviousOctave = 32785,
    kCmdPatternProperties = 32789,
    kCmdPlayPattern = 32771,
    kCmdPlaySong = 32772,
    kCmdStop = 32773,
    kCmdViewToolBar = 59392,
    kCmdViewStatusBar = 59393,
    kCmdAbout = 57664,
    kCmdQuickHelp = 32783,
    kCmdNextPane = 57680,
    kCmdPreviousPane = 57681,
    kCmdPrint = 57607,
};

enum class MenuName { None, File, Edit, Transport, View, Help };

struct CommandInfo {
    CommandId id;
    MenuName menu;
    QString text; // menu text; the part after a tab shows the keys
    QList<QKeySequence> keys;
    QString prompt; // status-line prompt, then after a line break the tool tip
    bool separatorBefore = false;
    bool checkable = false;
};

// In menu order: File, Edit, Transport, View, Help, then the commands without a
// menu entry.
const std::vector<CommandInfo>& CommandTable();
const CommandInfo* FindCommand(CommandId id); // null for an id not in the table

// The status-line part and the tool-tip part of a prompt.
QString StatusPromptOf(const CommandInfo& command);
QString ToolTipOf(const CommandInfo& command);

QString MenuTitle(MenuName menu);

} // namespace vantreel
