#pragma once
// New, Open and Save project (File menu). They ask, pick the file and report in the
// status line; the engine does the work. No file name is kept between commands:
// every Open asks whether to discard the song, every Save asks for a name.
//
// Threads: user-interface thread.

#include <QString>

#include <functional>

class QWidget;

namespace vantreel {

class AudioEngine;
class UndoHistory;
class UserMessages;

class ProjectCommands {
public:
    ProjectCommands(AudioEngine& engine, UserMessages& messages, QWidget& owner);

    void New();
    void Open();
    void Save();

    std::function<void(const QString&)> setStatusText;
    std::function<void()> refreshControlPanel;
    // Emptied by New and Open: nothing of the song before them can be undone.
    UndoHistory* history = nullptr;

    static constexpr const char* kDiscardQuestion = "You will lose project changes, continue?";
    static constexpr const char* kSaveWarning =
        "WARNING: Alpha version, you can save temporally your projects, but this doesnt mean "
        "that in future versions this current format will be supported.";

private:
    bool ConfirmDiscard();
    QString ChooseFile(bool save);
    void SetStatus(const QString& text);
    void RefreshPanel();
    void ClearHistory();

    AudioEngine& engine;
    UserMessages& messages;
    QWidget& owner;
};

} // namespace vantreel
