#pragma once
// The busy song the render and callback scenarios share: our synthesizer in all 16
// slots, chords on all eight tracks, a new line every 2000 frames, some reverb and
// delay sent. Null when the synthesizer was not built.

#include "engine/AudioEngine.h"

#include <memory>

namespace vantreel::bench {

// `oddLineMark` goes into the fourth byte of every odd line's cells.
std::unique_ptr<AudioEngine> SynthChordSong(int threads, uint8_t oddLineMark);

} // namespace vantreel::bench
