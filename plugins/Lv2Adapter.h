#pragma once
// The object behind each LV2 slot (see Lv2Instrument.h for what it presents). Its
// AEffect comes first and points back at it, so the static entry points find it.
//
// Threads: as Lv2Instrument.h says; the fields below say who owns them.

#include "plugins/HostCallback.h"
#include "plugins/Lv2Editor.h"
#include "plugins/Lv2Features.h"
#include "plugins/Lv2Instrument.h"
#include "plugins/Lv2Ports.h"
#include "plugins/Lv2Programs.h"
#include "plugins/Lv2Worker.h"
#include "plugins/MessageRing.h"
#include "plugins/VstAbi.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace vantreel {

class Lv2World;
struct Lv2StateImage;

constexpr int kLv2MidiCapacity = 256;      // MIDI events one block can carry
constexpr uint32_t kLv2AtomBuffer = 16384; // bytes per atom port, unless it asks for more
// An editor message: the port as u32, padding to 8 bytes, then the atom event.
constexpr uint32_t kEditorMessageHead = 8;

class Lv2Adapter {
public:
    AEffect effect{}; // first: the engine holds its address

    static Lv2Adapter* From(const AEffect* effect);
    static Lv2CreateResult Create(const std::string& uri, int sampleRate, audioMasterCallback host);
    ~Lv2Adapter();
    Lv2Adapter(const Lv2Adapter&) = delete;
    Lv2Adapter& operator=(const Lv2Adapter&) = delete;

    const std::string& Name() const { return name; }
    const std::string& EditorProblem() const { return editorChoice.problem; }
    std::chrono::steady_clock::time_point CreatedAt() const { return createdAt; }
    std::vector<std::string> TakeStateNotes();

private:
    Lv2Adapter(const Lv2World& world, const LilvPlugin* plugin, Lv2PortLayout layout,
               int sampleRate, audioMasterCallback host);
    bool Instantiate(std::string& reason);
    void ConnectPorts();
    void SetUpEffect();

    // --- user-interface thread (Lv2Adapter.cpp) ------------------------------------
    static VstIntPtr DispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                   void* ptr, float opt);
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr);
    void SetActive(bool active);
    void SelectProgram(VstIntPtr program);
    std::string ProgramName(VstInt32 program) const;
    std::string ParameterText(VstInt32 opcode, VstInt32 index) const;
    void SetParameter(VstInt32 index, float value);
    float GetParameter(VstInt32 index) const;

    // --- audio thread (Lv2AdapterRun.cpp) ------------------------------------------
    static void ProcessEntry(AEffect* e, float** inputs, float** outputs, VstInt32 frames);
    static void ProcessReplacingEntry(AEffect* e, float** inputs, float** outputs, VstInt32 frames);
    void TakeEvents(const VstEvents* events);
    void Run(float** outputs, int frames);
    void ConnectOutputs(float** outputs);
    void FillInputSequences();
    void ResetOutputSequences();

    // --- state (Lv2AdapterState.cpp) -----------------------------------------------
    VstIntPtr GetChunk(void** data);
    VstIntPtr SetChunk(const void* data, VstIntPtr size);
    void Restore(const Lv2StateImage& image);
    const LV2_Feature* const* StateFeatures();

    // --- editor (Lv2AdapterEditor.cpp) ---------------------------------------------
    VstIntPtr OpenEditor(void* parent);
    void CloseEditor();
    void IdleEditor();
    void WriteFromEditor(uint32_t port, uint32_t size, uint32_t protocol, const void* buffer);
    void EditorResized(int width, int height);

    // Set once when created.
    const Lv2World& world;
    const LilvPlugin* plugin;
    std::string uri;
    std::string name;
    Lv2PortLayout layout;
    int sampleRate;
    audioMasterCallback host;
    LilvInstance* instance = nullptr;
    const LV2_State_Interface* stateInterface = nullptr;
    Lv2EditorChoice editorChoice;
    std::chrono::steady_clock::time_point createdAt;

    // Features handed to the instance; they live as long as it.
    Lv2Worker worker;
    Lv2PathFeatures paths;
    float optionSampleRate;
    int32_t optionBlockLength = kHostBlockSize;
    int32_t optionSequenceSize;
    std::vector<LV2_Options_Option> options;
    std::vector<LV2_Feature> features;
    std::vector<const LV2_Feature*> featureList;
    std::vector<LV2_Feature> stateFeatures;
    std::vector<const LV2_Feature*> stateFeatureList;

    // Control values by port index: the user interface writes the inputs and reads
    // the outputs; the audio thread copies them to and from the port buffers.
    std::unique_ptr<std::atomic<float>[]> controls;
    std::vector<float> controlBuffers;              // the ports' own buffers; audio thread
    std::vector<std::vector<float>> scratch;        // unread audio and CV buffers, by port
    std::vector<float> silentInput;                 // every audio input; cleared each block
    std::vector<float> accumulated[2];              // process(): rendered here, then added
    std::vector<std::vector<uint64_t>> atomBuffers; // by port; 8-byte aligned
    uint32_t atomCapacity;
    float* connectedOutputs[2] = {nullptr, nullptr};
    std::atomic<bool> active{false};

    // MIDI of the coming block, as effProcessEvents handed it; audio thread.
    struct PendingMidi {
        int32_t frame;
        uint8_t bytes[3];
        uint8_t size;
    };
    PendingMidi midi[kLv2MidiCapacity];
    int midiCount = 0;
    // Atoms the editor sent to an atom input, delivered at the start of a block.
    MessageRing editorMessages;
    std::vector<uint64_t> editorMessageScratch; // audio thread

    // Programs; user-interface thread.
    std::vector<Lv2Program> programs;
    int currentProgram = 0;

    // Texts and chunk bytes handed out; user-interface thread.
    ERect editorRect{0, 0, 0, 0};
    std::vector<uint8_t> chunk;
    std::vector<std::string> stateNotes;
    std::unique_ptr<Lv2Editor> editor;
    std::vector<float> shownToEditor; // by port: the values the editor last heard
};

} // namespace vantreel
