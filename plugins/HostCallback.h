#pragma once
// The function every plug-in calls the host through.

#include "plugins/VstAbi.h"

namespace vantreel {

// Any thread: plug-ins call it from the user-interface thread, the audio thread or
// threads of their own.
VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                       void* ptr, float opt);

} // namespace vantreel
