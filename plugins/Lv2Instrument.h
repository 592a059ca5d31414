#pragma once
// An LV2 instrument presented to the engine as the VST 2 instance a slot expects:
// one object per slot whose AEffect the engine drives as it drives any other, so
// rendering, event hand-over, mixing and project files stay as they are.
//
//   effProcessEvents    the slot's MIDI becomes an atom sequence with frame times
//   processReplacing    runs the instrument for the block; its first two audio
//                       outputs are the slot's (a mono one is heard on both)
//   parameters          the control inputs, as 0..1 over each port's range
//   programs            its presets (each with its own values, as in a VST 2 bank)
//   chunk               its state, where it has the state extension
//   editor              its X11 editor, embedded in the editor window
//
// Threads: Create and Free on the user-interface thread. The AEffect's calls keep
// the threads VST 2 gives them: processReplacing, process and effProcessEvents on the
// audio thread, which neither allocates, nor locks, nor does I/O for them; the
// others on the user-interface thread, effSetChunk with the engine lock held (LV2
// forbids restoring state while the instance runs).

#include "plugins/VstAbi.h"

#include <string>
#include <vector>

namespace vantreel {

// How long an instance lives at least: some instruments (synthv1, drumkv1) start
// threads of their own and abort when freed before those are running.
constexpr int kLv2MinimumLifetimeMilliseconds = 250;

struct Lv2CreateResult {
    AEffect* effect = nullptr; // null on failure
    std::string reason;        // why it failed, for the user
};

// Creates the instrument with this URI at `sampleRate`; `host` answers it as it
// answers VST 2 plug-ins (the editor's size requests reach the editor window so).
Lv2CreateResult CreateLv2Instrument(const std::string& uri, int sampleRate,
                                    audioMasterCallback host);

// Whether `effect` is one of these adapters. Any thread.
bool IsLv2Instrument(const AEffect* effect);

// Frees an adapter once effClose has been called, waiting first until it is
// kLv2MinimumLifetimeMilliseconds old. No block may run it any more.
void FreeLv2Instrument(AEffect* effect);

// The instrument's own name ("" for anything else), shown where a VST 2 slot shows
// its library name.
std::string Lv2InstrumentName(const AEffect* effect);

// Why "Edit..." cannot open an editor for it ("" when it can, or for anything else).
std::string Lv2EditorProblem(const AEffect* effect);

// What the last chunk handed to it left to say (damaged state, files that are
// missing), emptied by the call.
std::vector<std::string> TakeLv2StateNotes(AEffect* effect);

} // namespace vantreel
