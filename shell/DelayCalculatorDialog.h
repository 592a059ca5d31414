#pragma once
// The delay calculator: the current tempo as delay times of one to six lines, for
// setting the delay by hand.

namespace vantreel {

class AudioEngine;
class UserMessages;

// User-interface thread: shows the times in a message box; changes nothing.
void ShowDelayCalculator(const AudioEngine& engine, UserMessages& messages);

} // namespace vantreel
