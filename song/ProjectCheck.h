#pragma once
// Whether a file can be a project at all, judged from its fixed part before anything
// of the song in memory is touched: a text file or a file cut short must not empty
// the song first and fail afterwards.
//
// User-interface thread.

#include "song/FileReader.h"
#include "song/ProjectExtension.h"

namespace vantreel {

// Checks the song head (sample rate and master volume in range), every slot flag
// (0 or 1), every library name (non-empty, terminated within its 64 bytes) and that
// the fixed part fits in the file. With a valid `extension` the record sizes are
// known and the whole fixed part is walked; without one the walk stops at the first
// plug-in record, whose size only the plug-in knows, and the rest of the file must
// still hold the smallest song that could follow. Leaves the reader at the start.
bool IsPlausibleProject(FileReader& file, const ExtensionParse& extension);

} // namespace vantreel
