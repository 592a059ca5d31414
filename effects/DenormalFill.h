#pragma once
// A tiny constant added where a recursive path would otherwise decay into denormal
// numbers, which the CPU handles many times slower: the send buffers start from it
// and the equalizer's filters add it.

namespace vantreel {

constexpr float kDenormalFill = 1.0e-25f;

} // namespace vantreel
