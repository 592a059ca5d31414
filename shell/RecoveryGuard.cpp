#include "shell/RecoveryGuard.h"

#include "shell/BusyCursor.h"
#include "shell/MainFrame.h"
#include "shell/ScriptedRun.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimerEvent>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace vantreel {

namespace {

const char* const kCaption = "Vantreel";
const char* const kRestoreErrorText = "Project restore error...";
constexpr int kTickMilliseconds = 1000; // how soon a due autosave is noticed

// Time the timer's ticks waste against the due time stays below one tick.
int TickMilliseconds(std::chrono::seconds interval) {
    return int(std::min<int64_t>(kTickMilliseconds, int64_t(interval.count()) * 1000));
}

} // namespace

RecoveryGuard::RecoveryGuard(CMainFrame& frame) : frame(frame), folder(RecoveryFolder()) {
    std::string error;
    if (!MakeRecoveryFolder(folder, error)) {
        std::fprintf(stderr, "Vantreel: unsaved songs cannot be kept: %s\n", error.c_str());
        return;
    }
    claim = std::make_unique<RecoveryClaim>(folder);
    if (!claim->IsHeld()) {
        std::fprintf(stderr, "Vantreel: unsaved songs cannot be kept: no file in %s\n",
                     folder.c_str());
        return;
    }
    const std::chrono::seconds interval = AutosaveInterval();
    autosave = std::make_unique<Autosave>(frame.Engine(), claim->SongPath(), interval);
    timer.start(TickMilliseconds(interval), this);
}

RecoveryGuard::~RecoveryGuard() {
    timer.stop();
    if (autosave) {
        autosave->Close();
    }
}

void RecoveryGuard::timerEvent(QTimerEvent* event) {
    // A dialog may be changing the plug-ins or the song; its result is saved once it
    // closes.
    if (event->timerId() != timer.timerId() || QApplication::activeModalWidget() != nullptr) {
        return;
    }
    autosave->Tick(AutosaveClock::now());
}

void RecoveryGuard::OfferOrphanedSongs() {
    if (!autosave) {
        return;
    }
    std::vector<OrphanedSong> songs = FindOrphanedSongs(folder);
    bool restored = false;
    for (OrphanedSong& song : songs) {
        if (restored) {
            KeepAsideAndSay(song, {});
        } else if (AskToRestore()) {
            restored = Restore(song);
        } else {
            KeepAsideAndSay(song, {});
        }
    }
}

bool RecoveryGuard::AskToRestore() {
    QMessageBox box(QMessageBox::Question, kCaption, kRestoreQuestion,
                    QMessageBox::Yes | QMessageBox::No, &frame);
    box.setObjectName("RestoreQuestion");
    box.setDefaultButton(QMessageBox::Yes);
    if (const std::optional<QMessageBox::StandardButton> answer = ScriptedRestoreAnswer()) {
        AnswerNextMessageBox(kRestoreQuestion, *answer);
    }
    return frame.Messages().Exec(box) == QMessageBox::Yes;
}

// A restored song has no project file yet, so it counts as unsaved: the exit keeps
// it and the autosave goes on protecting it. Its file becomes this program's own, so
// a crash before the next autosave still finds it.
bool RecoveryGuard::Restore(OrphanedSong& song) {
    AudioEngine& engine = frame.Engine();
    std::string problem;
    if (!engine.CheckProjectFile(song.SongPath().c_str(), problem)) {
        KeepAsideAndSay(song, QString::fromStdString(problem));
        return false;
    }
    bool whole = false;
    {
        BusyCursor busy;
        frame.SetStatusText("Loading project...");
        whole = engine.LoadProject(song.SongPath().c_str());
        engine.modified.Clear();
        engine.modified.Mark();
    }
    if (whole && std::rename(song.SongPath().c_str(), claim->SongPath().c_str()) == 0) {
        autosave->Adopted();
    } else {
        // What could not be loaded is still in the file; it stays for another try.
        std::string error;
        KeepAside(song.SongPath(), std::time(nullptr), error);
    }
    frame.SetStatusText(whole ? kRestoredText : kRestoreErrorText);
    frame.RefreshControlPanel();
    return true;
}

// With a reason the user is told; a refused song is kept aside without a word.
void RecoveryGuard::KeepAsideAndSay(const OrphanedSong& song, const QString& why) {
    std::string error;
    const std::string kept = KeepAside(song.SongPath(), std::time(nullptr), error);
    if (why.isEmpty()) {
        return;
    }
    const QString where =
        kept.empty()
            ? QString("It stays in %1 (%2).")
                  .arg(QString::fromStdString(song.SongPath()), QString::fromStdString(error))
            : QString("It was kept as %1.").arg(QString::fromStdString(kept));
    frame.Messages().Show(
        {("The unsaved song could not be restored: " + why + "\n" + where).toStdString(), kCaption,
         MessageIcon::Error});
}

} // namespace vantreel
