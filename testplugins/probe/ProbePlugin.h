#pragma once
// A plug-in that records everything a host does to it, for tests. It plays a
// constant (its Level parameter) on both outputs, so mixing can be checked exactly.

#include "plugins/VstAbi.h"
#include "testplugins/common/PluginExport.h"
#include "testplugins/probe/ProbeEditor.h"
#include "testplugins/probe/ProbeLog.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace vantreel::probe {

class ProbePlugin {
public:
    // Asks the host the questions plug-ins typically ask from their entry point.
    ProbePlugin(audioMasterCallback host, ProbeLog* log);
    ProbePlugin(const ProbePlugin&) = delete;
    ProbePlugin& operator=(const ProbePlugin&) = delete;

    AEffect* Effect() { return &effect; }
    ProbeLog* Log() { return log; }
    // The instance behind `effect`, or null when it is not one of ours.
    static ProbePlugin* From(AEffect* effect);
    // Calls the host with this instance (or none) and records the call.
    VstIntPtr CallHost(bool withInstance, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                       void* ptr, float opt);

private:
    static VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);
    static void Process(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
    static void ProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
    static void SetParameter(AEffect* effect, VstInt32 index, float value);
    static float GetParameter(AEffect* effect, VstInt32 index);

    VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    VstIntPtr AnswerText(VstInt32 opcode, VstInt32 index, void* ptr);
    void RecordEvents(const VstEvents* events);
    void Render(float** outputs, VstInt32 frames, bool replacing);
    void RecordTime(VstInt32 block);
    bool SaveChunk(const void** data, VstIntPtr* size);
    bool LoadChunk(const void* data, VstIntPtr size);
    VstIntPtr OpenEditor(void* parent);
    void IdleEditor();
    void SetEditorRect(int width, int height);
    std::atomic<float>& Value(int program, int parameter) { return values[program][parameter]; }

    AEffect effect{};
    audioMasterCallback host;
    ProbeLog* log;
    std::array<std::array<std::atomic<float>, kProbeParameterCount>, kProbeProgramCount> values{};
    std::array<char[plugintext::kProgramNameLength + 1], kProbeProgramCount> names{};
    std::atomic<int> program{0};
    ERect editorRect{0, 0, kProbeEditorHeight, kProbeEditorWidth};
    std::array<uint8_t, kProbeChunkSize> chunk{};
    ProbeEditor editor;
};

} // namespace vantreel::probe
