#pragma once
// The float-to-integer conversion of output samples and meter positions.

namespace vantreel {

// floor(x) for every value that occurs: 2x - 0.5 rounded to nearest, shifted right once.
// Any thread.
int FloorToInt(double x);

} // namespace vantreel
