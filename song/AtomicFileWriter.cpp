#include "song/AtomicFileWriter.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantreel {

namespace {

constexpr int kTemporaryNameAttempts = 100;
constexpr mode_t kNewFileMode = 0666; // narrowed by the umask, as for any new file

// The system's own words for the failure ("Permission denied"), for the user; the
// step that failed and its file go to standard error.
std::string Reason(const std::string& what, const std::string& path) {
    const int cause = errno;
    std::fprintf(stderr, "Vantreel: %s %s: %s\n", what.c_str(), path.c_str(), std::strerror(cause));
    return std::strerror(cause);
}

// Saving through a symbolic link replaces the file it points to, not the link.
std::string ResolveTarget(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* real = realpath(path.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

int CreateTemporary(const std::string& target, std::string& name) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        name = target + ".~" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        size -= std::size_t(written);
    }
    return true;
}

// Durability of the rename itself; some file systems cannot sync a folder, and the
// new file is in place either way, so this is best effort.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

bool WriteFileAtomically(const std::string& path, const uint8_t* data, std::size_t size,
                         std::string& error) {
    const std::string target = ResolveTarget(path);
    std::string temporary;
    const int fd = CreateTemporary(target, temporary);
    if (fd < 0) {
        error = Reason("cannot create", temporary);
        return false;
    }
    struct stat existing {};
    if (stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        fchmod(fd, existing.st_mode & 07777); // keep the old file's permissions
    }
    bool ok = WriteAll(fd, data, size);
    if (!ok) {
        error = Reason("cannot write", temporary);
    } else if (fsync(fd) != 0) {
        ok = false;
        error = Reason("cannot flush", temporary);
    }
    if (close(fd) != 0 && ok) {
        ok = false;
        error = Reason("cannot close", temporary);
    }
    if (ok && rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        error = Reason("cannot replace", target);
    }
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    SyncFolder(FolderOf(target));
    return true;
}

} // namespace vantreel
