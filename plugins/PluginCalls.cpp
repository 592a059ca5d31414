#include "plugins/PluginCalls.h"

#include <algorithm>

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

void Render(AEffect* effect, float** channels, VstInt32 frames) {
    if (effect->flags & effFlagsCanReplacing) {
        effect->processReplacing(effect, channels, channels, frames);
    } else {
        effect->process(effect, channels, channels, frames);
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
