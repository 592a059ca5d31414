#include "song/EditorState.h"

#include <cstring>

namespace vantreel {

EditorState::EditorState() {
    // The clipboard starts as an all-zero record, not as a cleared pattern.
    std::memset(clipboardPattern.name, 0, sizeof clipboardPattern.name);
    clipboardPattern.SetLength(0);
}

} // namespace vantreel
