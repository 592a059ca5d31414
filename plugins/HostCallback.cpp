#include "plugins/HostCallback.h"

#include "plugins/HostContext.h"
#include "plugins/PluginCalls.h"
#include "song/CursorCell.h"
#include "song/SongSettings.h"

#include <cstring>

namespace vantreel {

namespace {

constexpr int64_t kTempoScale = 10000;

VstIntPtr SampleRate(const HostContext* context) {
    return context ? context->song.settings.sampleRate.load() : kDefaultSampleRate;
}

// BPM x 10000, rounded down, in integers so that exact tempos stay exact.
VstIntPtr TempoAnswer(const HostContext* context) {
    const int64_t rate = SampleRate(context);
    const int64_t lineLength = context ? context->song.settings.lineLength.load()
                                       : int64_t(rate * kLineSecondsAtOneBpm / kDefaultBpm);
    if (lineLength <= 0 || rate <= 0) {
        return 0;
    }
    return static_cast<VstIntPtr>(rate * kLineSecondsAtOneBpm * kTempoScale / lineLength);
}

void CopyAnswer(void* ptr, const char* text) {
    if (ptr != nullptr) {
        std::memcpy(ptr, text, std::strlen(text) + 1);
    }
}

// Editor idling reaches only an editor that is open: some plug-ins crash when asked
// to idle an editor they never created. Asked on another thread, it waits for the
// user-interface timer: the dispatcher must not be entered from two threads.
void ForwardEditorIdle(AEffect* effect, HostContext* context) {
    if (effect == nullptr || context == nullptr) {
        return;
    }
    if (!context->OnUserInterfaceThread()) {
        context->NoteIdleRequest(effect, true);
    } else if (context->IsEditorOpen(effect)) {
        plugin::EditIdle(effect);
    }
}

// effIdle the same way, to an instance that is still open.
void ForwardIdle(AEffect* effect, HostContext* context) {
    if (effect == nullptr || context == nullptr) {
        return;
    }
    if (!context->OnUserInterfaceThread()) {
        context->NoteIdleRequest(effect, false);
    } else if (context->IsInstanceOpen(effect)) {
        plugin::Idle(effect);
    }
}

// MIDI a plug-in emits (from its on-screen keyboard, say) is recorded into the cell
// under the pattern cursor in edit mode; it is never played.
void RecordEvents(HostContext* context, const VstEvents* list) {
    if (context == nullptr || list == nullptr || context->editor.editMode.load() == 0) {
        return;
    }
    bool recorded = false;
    for (VstInt32 n = 0; n < list->numEvents; ++n) {
        const VstEvent* event = list->events[n];
        if (event == nullptr || event->type != kVstMidiType) {
            continue;
        }
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        recorded |= StoreAtPatternCursor(context->song, context->editor,
                                         {uint8_t(midi->midiData[0]), uint8_t(midi->midiData[1]),
                                          uint8_t(midi->midiData[2]), uint8_t(midi->midiData[3])});
    }
    if (recorded && context->playMode.load() == 0) {
        context->RequestRepaint();
    }
}

// An editor that grows after opening (index the width, value the height) would be
// cut off by a window of its first size. The request is noted for the editor window,
// which resizes on the user-interface thread: the plug-in may ask from any thread.
VstIntPtr RequestEditorSize(AEffect* effect, HostContext* context, VstInt32 width,
                            VstIntPtr height) {
    return context != nullptr && context->RequestEditorSize(effect, width, height) ? 1 : 0;
}

// The record stays valid for the calling thread until its next call: each thread
// gets a copy of its own, so the audio thread's next block never changes a record a
// plug-in is reading on its editor's thread.
VstIntPtr TimeAnswer(const HostContext* context) {
    if (context == nullptr) {
        return 0;
    }
    thread_local VstTimeInfo answer;
    answer = context->transport.Read();
    return reinterpret_cast<VstIntPtr>(&answer);
}

} // namespace

VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float) {
    HostContext* context = HostContext::Current();
    switch (opcode) {
    case audioMasterVersion:
        return kHostVersion;
    case audioMasterCurrentId:
        return kHostId;
    case audioMasterIdle:
    case audioMasterUpdateDisplay:
        ForwardEditorIdle(effect, context);
        return 0;
    case audioMasterPinConnected:
        return 1;
    case audioMasterProcessEvents:
        RecordEvents(context, static_cast<const VstEvents*>(ptr));
        return 1;
    case audioMasterGetTime:
        return TimeAnswer(context);
    case audioMasterTempoAt:
        return TempoAnswer(context);
    case audioMasterSizeWindow:
        return RequestEditorSize(effect, context, index, value);
    case audioMasterNeedIdle:
        ForwardIdle(effect, context);
        return 1;
    case audioMasterGetSampleRate:
        return SampleRate(context);
    case audioMasterGetBlockSize:
        return kHostBlockSize;
    case audioMasterGetVendorString:
        CopyAnswer(ptr, kHostVendor);
        return 0;
    case audioMasterGetProductString:
        CopyAnswer(ptr, kHostProduct);
        return 0;
    case audioMasterGetVendorVersion:
        return kHostVendorVersion;
    case audioMasterGetLanguage:
        return kVstLangEnglish;
    default:
        // Everything else, capabilities included, is answered "no" with nothing done.
        return 0;
    }
}

} // namespace vantreel
