#pragma once
// The files that keep an unsaved song between runs, in $XDG_STATE_HOME/vantreel
// (~/.local/state/vantreel when that is unset or not absolute).
//
// Each running program claims a name of its own: "recovery-<time>-<pid>.lock", held
// with flock for as long as the program lives, and beside it "...vpf", the song. The
// kernel lets go of the lock however the program ends, so a song file whose lock can
// be taken belongs to a program that is gone; one whose lock is held belongs to a
// program still running and is never offered. A start that takes a dead program's
// lock keeps it while it decides, so two starts never offer the same song.
//
// Songs the user chose not to restore, and damaged ones, are kept aside under dated
// names ("unsaved-2026-12-09-140132.vpf"); the newest kKeptAsideSongs stay.
//
// Threads: the user-interface thread, except where a function says otherwise.

#include <ctime>
#include <string>
#include <vector>

namespace vantreel {

constexpr int kKeptAsideSongs = 5;

// The folder, or "" when neither XDG_STATE_HOME nor HOME names one. Any thread.
std::string RecoveryFolder();

// Creates the folder and any missing parents (private to the user); false with the
// system's reason in `error`.
bool MakeRecoveryFolder(const std::string& folder, std::string& error);

// This program's name in the folder, locked while the object lives. Destroying it
// lets go of the lock and removes the lock file; the song file stays unless
// RemoveSong was called.
class RecoveryClaim {
public:
    explicit RecoveryClaim(const std::string& folder);
    ~RecoveryClaim();
    RecoveryClaim(const RecoveryClaim&) = delete;
    RecoveryClaim& operator=(const RecoveryClaim&) = delete;

    bool IsHeld() const { return lockFd >= 0; }
    // Where this program's song goes; "" when no name could be claimed.
    const std::string& SongPath() const { return songPath; }

private:
    std::string lockPath;
    std::string songPath;
    int lockFd = -1;
};

// A song a program that is gone left behind, its lock held by this object until it
// is destroyed (which removes the lock file).
class OrphanedSong {
public:
    OrphanedSong(std::string songPath, std::string lockPath, int lockFd, std::time_t saved);
    ~OrphanedSong();
    OrphanedSong(OrphanedSong&& other) noexcept;
    OrphanedSong& operator=(OrphanedSong&& other) noexcept;
    OrphanedSong(const OrphanedSong&) = delete;
    OrphanedSong& operator=(const OrphanedSong&) = delete;

    const std::string& SongPath() const { return songPath; }
    std::time_t SavedAt() const { return saved; } // when the program last wrote it

private:
    void Release();

    std::string songPath;
    std::string lockPath;
    int lockFd = -1;
    std::time_t saved = 0;
};

// The songs of programs that are gone, newest first, each locked for this program.
// Lock files and half-written temporaries those programs left without a song are
// removed on the way.
std::vector<OrphanedSong> FindOrphanedSongs(const std::string& folder);

// Moves the song to a dated name in its folder, named after `now`, then removes all
// but the newest kKeptAsideSongs kept songs. The new path, or "" with the reason in
// `error`.
std::string KeepAside(const std::string& songPath, std::time_t now, std::string& error);

// The songs kept aside in the folder, oldest first.
std::vector<std::string> KeptAsideSongs(const std::string& folder);

} // namespace vantreel
