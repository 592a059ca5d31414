#include "plugins/HostCallback.h"

namespace vantreel {

VstIntPtr HostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    switch (opcode) {
    case audioMasterVersion:
        return 7;
    case audioMasterGetSampleRate:
        return 44100;
    case audioMasterGetBlockSize:
        return 256;
    default:
        return 0;
    }
}

} // namespace vantreel
