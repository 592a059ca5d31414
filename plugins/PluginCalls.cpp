#include "plugins/PluginCalls.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace vantreel::plugin {

VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                   float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void Open(AEffect* effect) {
    Dispatch(effect, effOpen);
}

void Close(AEffect* effect) {
    Dispatch(effect, effClose);
}

void SetSampleRate(AEffect* effect, float sampleRate) {
    Dispatch(effect, effSetSampleRate, 0, 0, nullptr, sampleRate);
}

void SetBlockSize(AEffect* effect, VstIntPtr frames) {
    Dispatch(effect, effSetBlockSize, 0, frames);
}

void Resume(AEffect* effect) {
    Dispatch(effect, effMainsChanged, 0, 1);
}

void Suspend(AEffect* effect) {
    Dispatch(effect, effMainsChanged, 0, 0);
}

void SetProgram(AEffect* effect, VstIntPtr program) {
    Dispatch(effect, effSetProgram, 0, program);
}

VstIntPtr GetProgram(AEffect* effect) {
    return Dispatch(effect, effGetProgram);
}

float GetParameter(AEffect* effect, VstInt32 index) {
    return effect->getParameter(effect, index);
}

void SetParameter(AEffect* effect, VstInt32 index, float value) {
    effect->setParameter(effect, index, value);
}

VstIntPtr GetChunk(AEffect* effect, void** data) {
    return Dispatch(effect, effGetChunk, kBankChunk, 0, data);
}

void SetChunk(AEffect* effect, void* data, VstIntPtr size) {
    Dispatch(effect, effSetChunk, kBankChunk, size, data);
}

void GetText(AEffect* effect, VstInt32 opcode, VstInt32 index, char* buffer) {
    Dispatch(effect, opcode, index, 0, buffer);
}

int32_t ProgramCount(const AEffect* effect) {
    return std::max<int32_t>(effect->numPrograms, 0);
}

int32_t ParameterCount(const AEffect* effect) {
    if (!effect->getParameter || !effect->setParameter) {
        return 0;
    }
    return std::max<int32_t>(effect->numParams, 0);
}

bool HasChunks(const AEffect* effect) {
    return (effect->flags & effFlagsProgramChunks) != 0;
}

bool HasEditor(const AEffect* effect) {
    return (effect->flags & effFlagsHasEditor) != 0;
}

int32_t ChannelCount(const AEffect* effect) {
    return std::max<int32_t>({effect->numInputs, effect->numOutputs, 0});
}

std::string RunProblem(const AEffect* effect) {
    if (effect->numInputs > kMaxPluginChannels || effect->numOutputs > kMaxPluginChannels) {
        return "the plug-in has " + std::to_string(effect->numInputs) + " inputs and " +
               std::to_string(effect->numOutputs) + " outputs; at most " +
               std::to_string(kMaxPluginChannels) + " of each are supported";
    }
    if (effect->processReplacing == nullptr && effect->process == nullptr) {
        return "the plug-in has no processing function";
    }
    return {};
}

PluginRecordInfo ShapeOf(const AEffect* effect) {
    PluginRecordInfo info;
    info.uniqueId = effect->uniqueID;
    info.numPrograms = ProgramCount(effect);
    info.numParams = ParameterCount(effect);
    info.programChunks = HasChunks(effect);
    return info;
}

void ProcessEvents(AEffect* effect, void* events) {
    Dispatch(effect, effProcessEvents, 0, 0, events);
}

namespace {

// The flag says which function to call, but plug-ins in the wild set it with a null
// processReplacing or leave it off with a null process: call the one that exists.
AEffectProcessProc ProcessFunction(const AEffect* effect) {
    const bool replacing = (effect->flags & effFlagsCanReplacing) != 0;
    AEffectProcessProc preferred = replacing ? effect->processReplacing : effect->process;
    return preferred != nullptr ? preferred
                                : (replacing ? effect->process : effect->processReplacing);
}

} // namespace

bool RenderUnchecked(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    AEffectProcessProc process = ProcessFunction(effect);
    if (process == nullptr || ChannelCount(effect) > kMaxPluginChannels) {
        return false;
    }
    process(effect, inputs, outputs, frames);
    return true;
}

bool Render(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    if (!RenderUnchecked(effect, inputs, outputs, frames)) {
        return false;
    }
    CleanSamples(outputs[0], frames);
    CleanSamples(outputs[1], frames);
    return true;
}

namespace {

// True when no sample needs cleaning; the loop vectorises.
bool InRange(const float* samples, VstInt32 frames) {
    int32_t outside = 0;
    for (VstInt32 i = 0; i < frames; ++i) {
        outside |=
            int32_t((std::bit_cast<int32_t>(samples[i]) & INT32_MAX) > kMaxRenderedSampleBits);
    }
    return outside == 0;
}

} // namespace

void CleanSamples(float* samples, VstInt32 frames) {
    // Nearly every block of nearly every plug-in is in range: only reading it is cheaper.
    if (InRange(samples, frames)) {
        return;
    }
    for (VstInt32 i = 0; i < frames; ++i) {
        const float x = samples[i];
        // fabs of NaN compares false, so NaN and both infinities become 0.
        samples[i] = std::fabs(x) <= FLT_MAX
                         ? std::min(std::max(x, -kMaxRenderedSample), kMaxRenderedSample)
                         : 0.0f;
    }
}

void EditOpen(AEffect* effect, void* window) {
    Dispatch(effect, effEditOpen, 0, 0, window);
}

void EditClose(AEffect* effect) {
    Dispatch(effect, effEditClose);
}

ERect* EditGetRect(AEffect* effect) {
    ERect* rect = nullptr;
    Dispatch(effect, effEditGetRect, 0, 0, &rect);
    return rect;
}

void EditTop(AEffect* effect) {
    Dispatch(effect, effEditTop);
}

void EditIdle(AEffect* effect) {
    Dispatch(effect, effEditIdle);
}

void Idle(AEffect* effect) {
    Dispatch(effect, effIdle);
}

} // namespace vantreel::plugin
