#pragma once
// Whether the song in memory holds changes no project file has yet. Every change the
// user can undo marks it, and so does a plug-in parameter changed from the control
// panel; a successful save, a new project and an opened project clear it. The
// revision counts the marks, so a background save can tell whether the song changed
// since its last image.
//
// Threads: the user-interface thread only.

#include <cstdint>

namespace vantreel {

class ModifiedFlag {
public:
    void Mark() {
        modified = true;
        ++revision;
    }
    void Clear() { modified = false; }
    bool IsModified() const { return modified; }
    uint64_t Revision() const { return revision; }

private:
    bool modified = false;
    uint64_t revision = 0;
};

} // namespace vantreel
