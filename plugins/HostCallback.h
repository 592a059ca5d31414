#pragma once
// The function every plug-in calls the host through. It reaches the song only through
// the published HostContext; without one it gives the answers of a default song.

#include "plugins/VstAbi.h"

namespace vantreel {

// 'VNTR': the host's identifier for audioMasterCurrentId.
constexpr VstInt32 kHostId = ('V' << 24) | ('N' << 16) | ('T' << 8) | 'R';
constexpr VstInt32 kHostVersion = 7;
constexpr VstInt32 kHostVendorVersion = 5000;
constexpr VstInt32 kHostBlockSize = 256;
constexpr const char* kHostVendor = "Steinberg";
constexpr const char* kHostProduct = "Cubase VST";

// Any thread: plug-ins call it from the user-interface thread, the audio thread or
// threads of their own, and from inside their entry point with a null instance.
// Takes no lock; its only writes are one pattern cell, an editor's size request and
// idle requests, which wait for the user-interface thread when made on another.
VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt);

} // namespace vantreel
