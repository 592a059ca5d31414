#include "testplugins/probe/ProbePlugin.h"

#include "testplugins/common/ChunkBytes.h"
#include "testplugins/probe/ProbeLogStore.h"

#include <cstdio>
#include <cstring>

namespace vantreel::probe {

namespace {

constexpr VstInt32 kVersion = 1000;
constexpr VstInt32 kVstVersion = 2400;
constexpr VstIntPtr kPlugCategorySynth = 2;
constexpr uint32_t kChunkMagic = 0x56745063; // 'VtPc'
constexpr uint32_t kChunkVersion = 1;
constexpr int kBankChunkIndex = 0;
constexpr const char* kEffectName = "VantreelProbe";
constexpr const char* kVendor = "Vantreel";
constexpr const char* kProduct = "Vantreel Probe";
constexpr const char* kProgramNames[kProbeProgramCount] = {"Probe A", "Probe B", "Probe C"};
constexpr const char* kParameterNames[kProbeParameterCount] = {"Level", "Alpha", "Beta", "Gamma"};
constexpr const char* kCapabilities[] = {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents",
                                         "sendVstMidiEvent"};

static_assert(kProbeChunkSize ==
              2 * 4 + kProbeProgramCount * static_cast<int>(plugintext::kProgramNameLength));

// Distinct per program and parameter, so a test sees which program's values it got.
// Level starts at 0 everywhere: a fresh probe is silent.
float DefaultValue(int program, int parameter) {
    return parameter == kProbeLevelParameter ? 0.0f : 0.1f * (program + 1) + 0.01f * parameter;
}

bool ReadsText(VstInt32 opcode) {
    return opcode == effSetProgramName || opcode == effCanDo;
}

bool WritesText(VstInt32 opcode) {
    switch (opcode) {
    case effGetProgramName:
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
    case effGetProgramNameIndexed:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
        return true;
    default:
        return false;
    }
}

void KeepText(char (&record)[kProbeTextLength], const void* text) {
    plugintext::CopyText(record, static_cast<const char*>(text), kProbeTextLength - 1);
}

bool ValidParameter(VstInt32 index) {
    return index >= 0 && index < kProbeParameterCount;
}

} // namespace

ProbePlugin::ProbePlugin(audioMasterCallback host, ProbeLog* log)
    : host(host), log(log), editor([this](int width, int height) {
          return CallHost(true, audioMasterSizeWindow, width, height, nullptr, 0.0f);
      }) {
    effect.magic = kEffectMagic;
    effect.dispatcher = &ProbePlugin::Dispatch;
    effect.process = &ProbePlugin::Process;
    effect.processReplacing = &ProbePlugin::ProcessReplacing;
    effect.setParameter = &ProbePlugin::SetParameter;
    effect.getParameter = &ProbePlugin::GetParameter;
    effect.numPrograms = kProbeProgramCount;
    effect.numParams = kProbeParameterCount;
    effect.numInputs = 0;
    effect.numOutputs = 2;
    effect.flags =
        effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth;
    effect.ioRatio = 1.0f;
    effect.object = this;
    effect.uniqueID = kProbeUniqueId;
    effect.version = kVersion;
    for (int p = 0; p < kProbeProgramCount; ++p) {
        plugintext::CopyText(names[p], kProgramNames[p], plugintext::kProgramNameLength);
        for (int k = 0; k < kProbeParameterCount; ++k) {
            Value(p, k).store(DefaultValue(p, k), std::memory_order_relaxed);
        }
    }
    // Many plug-ins ask these before the host holds their instance.
    CallHost(false, audioMasterVersion, 0, 0, nullptr, 0.0f);
    CallHost(false, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
    CallHost(false, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f);
}

ProbePlugin* ProbePlugin::From(AEffect* effect) {
    if (effect == nullptr || effect->magic != kEffectMagic || effect->uniqueID != kProbeUniqueId ||
        effect->dispatcher != &ProbePlugin::Dispatch) {
        return nullptr;
    }
    return static_cast<ProbePlugin*>(effect->object);
}

VstIntPtr ProbePlugin::CallHost(bool withInstance, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt) {
    HostCallRecord record;
    record.hasInstance = withInstance;
    record.opcode = opcode;
    record.index = index;
    record.value = value;
    record.hasPtr = ptr != nullptr;
    record.opt = opt;
    if (opcode == audioMasterCanDo && ptr != nullptr) {
        KeepText(record.text, ptr);
    }
    record.result = host(withInstance ? &effect : nullptr, opcode, index, value, ptr, opt);
    if ((opcode == audioMasterGetVendorString || opcode == audioMasterGetProductString) &&
        ptr != nullptr) {
        KeepText(record.text, ptr);
    }
    log->hostCalls.Add(record);
    return record.result;
}

VstIntPtr ProbePlugin::Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt) {
    ProbePlugin* self = static_cast<ProbePlugin*>(effect->object);
    DispatchRecord record;
    record.opcode = opcode;
    record.index = index;
    record.value = value;
    record.hasPtr = ptr != nullptr;
    record.ptr = ptr;
    record.opt = opt;
    if (ReadsText(opcode) && ptr != nullptr) {
        KeepText(record.text, ptr);
    }
    if (opcode == effClose) {
        ProbeLog* log = self->log;
        log->dispatches.Add(record);
        delete self;
        RetireProbeLog(log);
        return 0;
    }
    record.result = self->Answer(opcode, index, value, ptr, opt);
    if (WritesText(opcode) && ptr != nullptr) {
        KeepText(record.text, ptr);
    }
    self->log->dispatches.Add(record);
    return record.result;
}

VstIntPtr ProbePlugin::Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float /*opt*/) {
    switch (opcode) {
    case effSetProgram:
        if (value >= 0 && value < kProbeProgramCount) {
            program.store(static_cast<int>(value), std::memory_order_relaxed);
        }
        return 0;
    case effGetProgram:
        return program.load(std::memory_order_relaxed);
    case effSetProgramName:
        if (ptr != nullptr) {
            plugintext::CopyText(names[program.load(std::memory_order_relaxed)],
                                 static_cast<const char*>(ptr), plugintext::kProgramNameLength);
        }
        return 0;
    case effEditGetRect:
        if (ptr == nullptr) {
            return 0;
        }
        *static_cast<ERect**>(ptr) = &editorRect;
        return 1;
    case effEditOpen:
        return OpenEditor(ptr);
    case effEditIdle:
        IdleEditor();
        return 0;
    case effEditClose:
        editor.Close();
        return 0;
    case effGetChunk: {
        VstIntPtr size = 0;
        if (index != kBankChunkIndex || ptr == nullptr ||
            !SaveChunk(static_cast<const void**>(ptr), &size)) {
            return 0;
        }
        return size;
    }
    case effSetChunk:
        return index == kBankChunkIndex && LoadChunk(ptr, value) ? 1 : 0;
    case effProcessEvents:
        RecordEvents(static_cast<const VstEvents*>(ptr));
        return 1;
    case effCanBeAutomated:
        return ValidParameter(index) ? 1 : 0;
    case effGetPlugCategory:
        return kPlugCategorySynth;
    case effGetVendorVersion:
        return kVersion;
    case effGetVstVersion:
        return kVstVersion;
    case effCanDo:
        return plugintext::CanDo(ptr, kCapabilities);
    default:
        return AnswerText(opcode, index, ptr);
    }
}

VstIntPtr ProbePlugin::AnswerText(VstInt32 opcode, VstInt32 index, void* ptr) {
    if (ptr == nullptr) {
        return 0;
    }
    using namespace plugintext;
    int current = program.load(std::memory_order_relaxed);
    switch (opcode) {
    case effGetProgramName:
        CopyText(ptr, names[current], kProgramNameLength);
        return 0;
    case effGetProgramNameIndexed:
        if (index < 0 || index >= kProbeProgramCount) {
            return 0;
        }
        CopyText(ptr, names[index], kProgramNameLength);
        return 1;
    case effGetParamLabel:
        CopyText(ptr, index == kProbeLevelParameter ? "amp" : "", kParamTextLength);
        return 0;
    case effGetParamDisplay: {
        char text[kParamTextLength + 1] = "";
        if (ValidParameter(index)) {
            std::snprintf(text, sizeof text, "%.3f",
                          Value(current, index).load(std::memory_order_relaxed));
        }
        CopyText(ptr, text, kParamTextLength);
        return 0;
    }
    case effGetParamName:
        CopyText(ptr, ValidParameter(index) ? kParameterNames[index] : "", kParamTextLength);
        return 0;
    case effGetEffectName:
        CopyText(ptr, kEffectName, kEffectNameLength);
        return 1;
    case effGetVendorString:
        CopyText(ptr, kVendor, kVendorTextLength);
        return 1;
    case effGetProductString:
        CopyText(ptr, kProduct, kVendorTextLength);
        return 1;
    default:
        return 0;
    }
}

void ProbePlugin::RecordEvents(const VstEvents* events) {
    if (events == nullptr) {
        return;
    }
    int block = log->processCount.load(std::memory_order_relaxed);
    for (int n = 0; n < events->numEvents; ++n) {
        const VstEvent* event = events->events[n];
        if (event == nullptr) {
            continue;
        }
        EventRecord record;
        record.block = block;
        record.type = event->type;
        record.deltaFrames = event->deltaFrames;
        if (event->type == kVstMidiType) {
            std::memcpy(record.midiData, reinterpret_cast<const VstMidiEvent*>(event)->midiData,
                        sizeof record.midiData);
        }
        log->events.Add(record);
    }
}

void ProbePlugin::Process(AEffect* effect, float** /*inputs*/, float** outputs, VstInt32 frames) {
    static_cast<ProbePlugin*>(effect->object)->Render(outputs, frames, false);
}

void ProbePlugin::ProcessReplacing(AEffect* effect, float** /*inputs*/, float** outputs,
                                   VstInt32 frames) {
    static_cast<ProbePlugin*>(effect->object)->Render(outputs, frames, true);
}

void ProbePlugin::Render(float** outputs, VstInt32 frames, bool replacing) {
    ProcessRecord record;
    record.block = log->processCount.fetch_add(1, std::memory_order_relaxed);
    record.frames = frames;
    record.replacing = replacing;
    log->processCalls.Add(record);
    RecordTime(record.block);
    if (outputs == nullptr) {
        return;
    }
    float level = Value(program.load(std::memory_order_relaxed), kProbeLevelParameter)
                      .load(std::memory_order_relaxed);
    for (int channel = 0; channel < effect.numOutputs; ++channel) {
        float* out = outputs[channel];
        for (int frame = 0; out != nullptr && frame < frames; ++frame) {
            out[frame] = replacing ? level : out[frame] + level;
        }
    }
}

// Like a tempo-synced plug-in, the probe asks where the song is at every block.
void ProbePlugin::RecordTime(VstInt32 block) {
    constexpr VstIntPtr kWanted =
        kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
    const auto* info = reinterpret_cast<const VstTimeInfo*>(
        host(&effect, audioMasterGetTime, 0, kWanted, nullptr, 0.0f));
    TimeRecord time;
    time.block = block;
    time.answered = info != nullptr;
    if (info != nullptr) {
        time.info = *info;
    }
    log->times.Add(time);
}

void ProbePlugin::SetParameter(AEffect* effect, VstInt32 index, float value) {
    auto* self = static_cast<ProbePlugin*>(effect->object);
    self->log->parameters.Add({true, index, value});
    if (ValidParameter(index)) {
        self->Value(self->program.load(std::memory_order_relaxed), index)
            .store(value, std::memory_order_relaxed);
    }
}

float ProbePlugin::GetParameter(AEffect* effect, VstInt32 index) {
    auto* self = static_cast<ProbePlugin*>(effect->object);
    float value = 0.0f;
    if (ValidParameter(index)) {
        value = self->Value(self->program.load(std::memory_order_relaxed), index)
                    .load(std::memory_order_relaxed);
    }
    self->log->parameters.Add({false, index, value});
    return value;
}

// On X11 the pointer is the id of the window to draw into.
VstIntPtr ProbePlugin::OpenEditor(void* parent) {
    SetEditorRect(kProbeEditorWidth, kProbeEditorHeight);
    editor.Open(reinterpret_cast<uintptr_t>(parent), kProbeEditorWidth, kProbeEditorHeight);
    log->editorWindow.store(editor.Window());
    return 1;
}

void ProbePlugin::IdleEditor() {
    editor.Idle(kProbeEditorGrownWidth, kProbeEditorGrownHeight);
    if (editor.IsOpen()) {
        SetEditorRect(editor.Width(), editor.Height());
    }
}

void ProbePlugin::SetEditorRect(int width, int height) {
    editorRect = {0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
}

// The chunk carries the program names, the one state parameters cannot restore.
bool ProbePlugin::SaveChunk(const void** data, VstIntPtr* size) {
    chunkbytes::ChunkWriter out(chunk.data(), chunk.size());
    out.U32(kChunkMagic);
    out.U32(kChunkVersion);
    for (const auto& name : names) {
        out.Text(name, plugintext::kProgramNameLength);
    }
    *data = chunk.data();
    *size = static_cast<VstIntPtr>(out.Size());
    return out.Ok();
}

bool ProbePlugin::LoadChunk(const void* data, VstIntPtr size) {
    if (data == nullptr || size != kProbeChunkSize) {
        return false;
    }
    chunkbytes::ChunkReader in(static_cast<const uint8_t*>(data), static_cast<std::size_t>(size));
    if (in.U32() != kChunkMagic || in.U32() != kChunkVersion) {
        return false;
    }
    char loaded[kProbeProgramCount][plugintext::kProgramNameLength + 1];
    for (auto& name : loaded) {
        in.Text(name, plugintext::kProgramNameLength);
    }
    if (!in.Ok()) {
        return false;
    }
    for (int p = 0; p < kProbeProgramCount; ++p) {
        plugintext::CopyText(names[p], loaded[p], plugintext::kProgramNameLength);
    }
    return true;
}

} // namespace vantreel::probe
