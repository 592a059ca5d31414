#pragma once
// Every call the host makes into a plug-in, one named function each. The raw
// dispatcher is reached from here only, so each call's arguments are written once and
// a check against a misbehaving plug-in has one place to go.
//
// Threads: the caller's. An instance is called on the user-interface thread, or for
// processing on the audio thread or one of its render workers, never on two at once:
// the EngineLock keeps the user interface out while a block renders, and a block
// hands each slot to one render thread.

#include "plugins/VstAbi.h"
#include "song/ProjectExtension.h"

#include <bit>
#include <cstdint>
#include <string>

namespace vantreel::plugin {

// The index of the bank in effGetChunk and effSetChunk, as against a single program.
constexpr VstInt32 kBankChunk = 0;

// The most input or output channels a plug-in may have: the host hands it one pointer
// per channel from arrays of this size. 32-output samplers are common; this is far
// above any real instrument.
constexpr int kMaxPluginChannels = 128;
// Rendered samples beyond this (36 dB over full scale) are garbage, not music, and
// would only drive the effects' state out of range.
constexpr float kMaxRenderedSample = 64.0f;
// A float's magnitude bits, read as an integer, order like the magnitudes, and NaN's
// lie above infinity's: a sample needs cleaning exactly when (bits & INT32_MAX) is
// above this.
constexpr int32_t kMaxRenderedSampleBits = std::bit_cast<int32_t>(kMaxRenderedSample);

// The one raw call; the functions below are made of it.
VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                   void* ptr = nullptr, float opt = 0.0f);

// --- Life of an instance ------------------------------------------------------------
void Open(AEffect* effect);
void Close(AEffect* effect); // the instance must not be called again
void SetSampleRate(AEffect* effect, float sampleRate);
void SetBlockSize(AEffect* effect, VstIntPtr frames);
void Resume(AEffect* effect);  // switched on: processing may start
void Suspend(AEffect* effect); // switched off: no processing until resumed

// --- Programs, parameters and state -------------------------------------------------
void SetProgram(AEffect* effect, VstIntPtr program);
VstIntPtr GetProgram(AEffect* effect);
float GetParameter(AEffect* effect, VstInt32 index);
void SetParameter(AEffect* effect, VstInt32 index, float value);
// The bank chunk: its size, with `data` pointing into the plug-in's own memory.
VstIntPtr GetChunk(AEffect* effect, void** data);
void SetChunk(AEffect* effect, void* data, VstIntPtr size);
// Asks one of the effGet... text calls to write into `buffer`.
void GetText(AEffect* effect, VstInt32 opcode, VstInt32 index, char* buffer);

// --- What an instance says of itself ------------------------------------------------
int32_t ProgramCount(const AEffect* effect); // never negative
// Never negative; 0 for a plug-in without both parameter calls.
int32_t ParameterCount(const AEffect* effect);
bool HasChunks(const AEffect* effect);
bool HasEditor(const AEffect* effect);
// The channel pointers the instance needs: max(numInputs, numOutputs), never negative.
int32_t ChannelCount(const AEffect* effect);
// Why the host cannot run the instance ("" when it can): more channels than the
// host's pointer arrays hold, or no processing function at all.
std::string RunProblem(const AEffect* effect);
// What a project file records of the instance to read its settings back.
PluginRecordInfo ShapeOf(const AEffect* effect);

// --- Processing (a render thread, or any thread while none renders) -----------------
void ProcessEvents(AEffect* effect, void* events);
// Renders `frames` frames from `inputs` into `outputs`, each holding at least two and
// at least ChannelCount pointers. The caller clears the outputs first, so an
// accumulating plug-in gives the same result. Uses whichever of processReplacing and
// process the instance really has, preferring the one its flags name; an instance
// that grew beyond the pointer arrays since it was loaded is not called. Afterwards
// the first two outputs hold only finite samples within +-kMaxRenderedSample.
// Returns false when nothing was rendered.
bool Render(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
// Render without the cleaning, for a caller that checks the outputs as it reads them
// and cleans them (CleanSamples) before anything else reads them.
bool RenderUnchecked(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
// Replaces non-finite samples by 0 and limits the rest to +-kMaxRenderedSample.
void CleanSamples(float* samples, VstInt32 frames);

// --- The editor (user-interface thread) ----------------------------------------------
void EditOpen(AEffect* effect, void* window); // on X11, the parent window's id
void EditClose(AEffect* effect);
ERect* EditGetRect(AEffect* effect); // null when the editor names none
void EditTop(AEffect* effect);
void EditIdle(AEffect* effect);
void Idle(AEffect* effect); // the idle the plug-in asked for with audioMasterNeedIdle

} // namespace vantreel::plugin
