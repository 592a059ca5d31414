#include "shell/DelayCalculatorDialog.h"

#include "engine/AudioEngine.h"
#include "shell/PanelLogic.h"
#include "shell/UserMessages.h"

namespace vantreel {

void ShowDelayCalculator(const AudioEngine& engine, UserMessages& messages) {
    messages.Show({DelayCalculatorText(engine.song.settings.lineLength), "Delay calculator tool",
                   MessageIcon::Information});
}

} // namespace vantreel
