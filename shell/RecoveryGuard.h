#pragma once
// Keeps an unsaved song safe across a crash: at start it offers the songs that
// programs which are gone left behind, then it autosaves the song on a timer while
// it holds unsaved changes, and at exit it writes the last of them (or removes the
// file when nothing is unsaved). The files are song/RecoveryFiles.h's.
//
// Threads: the user-interface thread only.

#include "engine/Autosave.h"
#include "song/RecoveryFiles.h"

#include <QBasicTimer>
#include <QObject>

#include <memory>

namespace vantreel {

class CMainFrame;

class RecoveryGuard : public QObject {
    Q_OBJECT
public:
    explicit RecoveryGuard(CMainFrame& frame);
    ~RecoveryGuard() override; // the window's close was confirmed: see the class comment

    // Asks about each song left behind, newest first, until one is restored; the
    // rest, and those refused, are kept aside. Call once the window shows.
    void OfferOrphanedSongs();

    static constexpr const char* kRestoreQuestion =
        "Vantreel found a song that was not saved when it last closed. Restore it?";
    static constexpr const char* kRestoredText = "Project restored...";

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    bool AskToRestore();
    bool Restore(OrphanedSong& song);
    void KeepAsideAndSay(const OrphanedSong& song, const QString& why);

    CMainFrame& frame;
    const std::string folder;
    std::unique_ptr<RecoveryClaim> claim;
    std::unique_ptr<Autosave> autosave; // null when the folder cannot be used
    QBasicTimer timer;
};

} // namespace vantreel
