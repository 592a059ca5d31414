#include "song/RecoveryFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantreel {

namespace {

const char* const kFolderName = "vantreel";
const char* const kClaimPrefix = "recovery-";
const char* const kKeptPrefix = "unsaved-";
const char* const kSongSuffix = ".vpf";
const char* const kLockSuffix = ".lock";
const char* const kTemporaryMark = ".vpf.~"; // AtomicFileWriter's temporaries
constexpr mode_t kFolderMode = 0700;         // unsaved songs are nobody else's business
constexpr mode_t kLockMode = 0600;
constexpr int kClaimAttempts = 100;

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = readdir(dir)) {
        names.emplace_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Stamp(std::time_t when, const char* format) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, format, &local);
    return text;
}

// The lock still guards the file at `path`: a start that removed a dead lock file
// between our open and our flock leaves us holding a lock on nothing.
bool LockIsOnPath(int fd, const std::string& path) {
    struct stat held {};
    struct stat named {};
    return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// The lock of a program that is gone, now ours; -1 while a live program holds it.
int TakeDeadLock(const std::string& lockPath) {
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kLockMode);
    if (fd < 0) {
        return -1;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || !LockIsOnPath(fd, lockPath)) {
        close(fd);
        return -1;
    }
    return fd;
}

// "recovery-...-1234" from "recovery-...-1234.vpf", ".lock" or ".vpf.~1234-0.tmp".
std::string StemOf(const std::string& name) {
    const std::size_t temporary = name.find(kTemporaryMark);
    if (temporary != std::string::npos) {
        return name.substr(0, temporary);
    }
    for (const char* suffix : {kSongSuffix, kLockSuffix}) {
        if (EndsWith(name, suffix)) {
            return name.substr(0, name.size() - std::strlen(suffix));
        }
    }
    return {};
}

// Call with the stem's lock held.
void RemoveTemporaries(const std::string& folder, const std::string& stem,
                       const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (StartsWith(name, stem + kTemporaryMark)) {
            unlink((folder + "/" + name).c_str());
        }
    }
}

// A dead program's lock file with no song, and its temporaries, are removed; the lock
// file goes last, while held, so no one else takes it meanwhile.
void RemoveLeftovers(const std::string& folder, const std::string& stem,
                     const std::vector<std::string>& names) {
    const std::string lockPath = folder + "/" + stem + kLockSuffix;
    const int fd = TakeDeadLock(lockPath);
    if (fd < 0) {
        return;
    }
    RemoveTemporaries(folder, stem, names);
    unlink(lockPath.c_str());
    close(fd);
}

std::time_t ModifiedAt(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mtime : 0;
}

// The newest are kept; names sort by date, a same-second "-2" after its first.
void RemoveOldKeptSongs(const std::string& folder) {
    std::vector<std::string> kept = KeptAsideSongs(folder);
    const std::size_t surplus =
        kept.size() > std::size_t(kKeptAsideSongs) ? kept.size() - kKeptAsideSongs : 0;
    for (std::size_t i = 0; i < surplus; ++i) {
        unlink(kept[i].c_str());
    }
}

} // namespace

std::string RecoveryFolder() {
    std::string base = Environment("XDG_STATE_HOME");
    // Only absolute folders count; a relative one would depend on the working directory.
    if (base.empty() || base.front() != '/') {
        const std::string home = Environment("HOME");
        if (home.empty()) {
            return {};
        }
        base = home + "/.local/state";
    }
    return base + "/" + kFolderName;
}

bool MakeRecoveryFolder(const std::string& folder, std::string& error) {
    if (folder.empty()) {
        error = "no folder for unsaved songs (neither XDG_STATE_HOME nor HOME is set)";
        return false;
    }
    for (std::size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), kFolderMode) != 0 && errno != EEXIST) {
            error = part + ": " + std::strerror(errno);
            return false;
        }
        if (at == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = folder + " is not a folder";
        return false;
    }
    return true;
}

RecoveryClaim::RecoveryClaim(const std::string& folder) {
    const std::string base = folder + "/" + kClaimPrefix +
                             Stamp(std::time(nullptr), "%Y%m%d-%H%M%S") + "-" +
                             std::to_string(getpid());
    for (int attempt = 0; attempt < kClaimAttempts && lockFd < 0; ++attempt) {
        const std::string stem = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        const std::string path = stem + kLockSuffix;
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kLockMode);
        if (fd < 0) {
            if (errno != EEXIST) {
                return;
            }
            continue;
        }
        // A song under the name is a dead program's, whose lock file is gone.
        struct stat existing {};
        if (stat((stem + kSongSuffix).c_str(), &existing) == 0) {
            unlink(path.c_str());
            close(fd);
            continue;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0 || !LockIsOnPath(fd, path)) {
            close(fd);
            continue;
        }
        lockFd = fd;
        lockPath = path;
        songPath = stem + kSongSuffix;
    }
}

RecoveryClaim::~RecoveryClaim() {
    if (lockFd >= 0) {
        unlink(lockPath.c_str());
        close(lockFd);
    }
}

OrphanedSong::OrphanedSong(std::string songPath, std::string lockPath, int lockFd,
                           std::time_t saved)
    : songPath(std::move(songPath)), lockPath(std::move(lockPath)), lockFd(lockFd), saved(saved) {}

OrphanedSong::~OrphanedSong() {
    Release();
}

OrphanedSong::OrphanedSong(OrphanedSong&& other) noexcept
    : songPath(std::move(other.songPath)), lockPath(std::move(other.lockPath)),
      lockFd(other.lockFd), saved(other.saved) {
    other.lockFd = -1;
}

OrphanedSong& OrphanedSong::operator=(OrphanedSong&& other) noexcept {
    if (this != &other) {
        Release();
        songPath = std::move(other.songPath);
        lockPath = std::move(other.lockPath);
        lockFd = other.lockFd;
        saved = other.saved;
        other.lockFd = -1;
    }
    return *this;
}

void OrphanedSong::Release() {
    if (lockFd >= 0) {
        unlink(lockPath.c_str());
        close(lockFd);
        lockFd = -1;
    }
}

std::vector<OrphanedSong> FindOrphanedSongs(const std::string& folder) {
    std::vector<OrphanedSong> songs;
    const std::vector<std::string> names = FolderEntries(folder);
    std::vector<std::string> stemsWithSongs;
    for (const std::string& name : names) {
        if (!StartsWith(name, kClaimPrefix) || !EndsWith(name, kSongSuffix)) {
            continue;
        }
        const std::string stem = StemOf(name);
        stemsWithSongs.push_back(stem);
        const std::string lockPath = folder + "/" + stem + kLockSuffix;
        const int fd = TakeDeadLock(lockPath);
        if (fd >= 0) {
            RemoveTemporaries(folder, stem, names);
            const std::string songPath = folder + "/" + name;
            songs.emplace_back(songPath, lockPath, fd, ModifiedAt(songPath));
        }
    }
    for (const std::string& name : names) {
        const std::string stem = StemOf(name);
        if (StartsWith(name, kClaimPrefix) && !EndsWith(name, kSongSuffix) && !stem.empty() &&
            std::find(stemsWithSongs.begin(), stemsWithSongs.end(), stem) == stemsWithSongs.end()) {
            RemoveLeftovers(folder, stem, names);
        }
    }
    std::stable_sort(songs.begin(), songs.end(), [](const OrphanedSong& a, const OrphanedSong& b) {
        return a.SavedAt() > b.SavedAt();
    });
    return songs;
}

std::string KeepAside(const std::string& songPath, std::time_t now, std::string& error) {
    const std::size_t slash = songPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : songPath.substr(0, slash);
    const std::string base = folder + "/" + kKeptPrefix + Stamp(now, "%Y-%m-%d-%H%M%S");
    for (int attempt = 1; attempt <= kClaimAttempts; ++attempt) {
        const std::string target =
            (attempt == 1 ? base : base + "-" + std::to_string(attempt)) + kSongSuffix;
        // A hard link never replaces what is there; the old name goes once it holds.
        bool moved = link(songPath.c_str(), target.c_str()) == 0;
        if (moved) {
            unlink(songPath.c_str());
        } else if (errno == EPERM || errno == EOPNOTSUPP) {
            // A file system without hard links: a rename, after looking first.
            struct stat existing {};
            if (stat(target.c_str(), &existing) == 0) {
                continue;
            }
            moved = rename(songPath.c_str(), target.c_str()) == 0;
        }
        if (moved) {
            RemoveOldKeptSongs(folder);
            return target;
        }
        if (errno != EEXIST) {
            error = std::strerror(errno);
            return {};
        }
    }
    error = "no free name to keep it under";
    return {};
}

std::vector<std::string> KeptAsideSongs(const std::string& folder) {
    std::vector<std::string> stems;
    for (const std::string& name : FolderEntries(folder)) {
        if (StartsWith(name, kKeptPrefix) && EndsWith(name, kSongSuffix)) {
            stems.push_back(name.substr(0, name.size() - std::strlen(kSongSuffix)));
        }
    }
    std::sort(stems.begin(), stems.end());
    std::vector<std::string> paths;
    for (const std::string& stem : stems) {
        paths.push_back(folder + "/" + stem + kSongSuffix);
    }
    return paths;
}

} // namespace vantreel
