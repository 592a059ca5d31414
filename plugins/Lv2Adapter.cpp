// Creating an LV2 instrument behind its AEffect, and the dispatcher calls made on
// the user-interface thread.

#include "plugins/Lv2Adapter.h"

#include "plugins/Lv2UridMap.h"
#include "plugins/Lv2World.h"
#include "plugins/PluginText.h"
#include "song/Crc32.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/parameters/parameters.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

namespace vantreel {

namespace {

constexpr VstInt32 kAdapterVersion = 1;
constexpr VstIntPtr kPlugCategorySynth = 2;
constexpr uint32_t kEditorMessageBytes = 1u << 16;
// Texts handed to the host: the host's buffers are far larger, but VST 2 texts are
// short, and the panel shows at most this much.
constexpr std::size_t kTextLimit = kShownPluginTextLength;
constexpr const char* kMidiCapabilities[] = {"receiveVstEvents", "receiveVstMidiEvent"};

void CopyText(void* ptr, const std::string& text) {
    if (ptr == nullptr) {
        return;
    }
    const std::size_t length = std::min(text.size(), kTextLimit);
    std::memcpy(ptr, text.data(), length);
    static_cast<char*>(ptr)[length] = '\0';
}

int32_t UniqueIdOf(const std::string& uri) {
    return int32_t(Crc32(reinterpret_cast<const uint8_t*>(uri.data()), uri.size()));
}

// lilv closes a plug-in's library with its last instance. Like every plug-in library
// here it stays loaded instead: a closed instance may leave threads or callbacks in
// its code (synthv1 and drumkv1 run Qt's), and reloading it would start them anew.
void KeepLibraryLoaded(const LilvPlugin* plugin) {
    const std::string path = TakeLilvString(
        lilv_file_uri_parse(lilv_node_as_uri(lilv_plugin_get_library_uri(plugin)), nullptr));
    if (!path.empty()) {
        dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
}

uint32_t AtomCapacityFor(const Lv2PortLayout& layout) {
    const uint32_t wanted = std::max(kLv2AtomBuffer, layout.largestAtomBuffer);
    return (wanted + 7u) & ~7u;
}

} // namespace

VstIntPtr Lv2Adapter::DispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                    void* ptr, float) {
    return From(e)->Dispatch(opcode, index, value, ptr);
}

// The dispatcher is what marks an adapter: no other instance has this one.
Lv2Adapter* Lv2Adapter::From(const AEffect* e) {
    return e != nullptr && e->dispatcher == &DispatchEntry ? static_cast<Lv2Adapter*>(e->object)
                                                           : nullptr;
}

Lv2CreateResult Lv2Adapter::Create(const std::string& uri, int sampleRate,
                                   audioMasterCallback host) {
    Lv2CreateResult result;
    const Lv2World& world = Lv2World::Current();
    const LilvPlugin* plugin = world.FindPlugin(uri);
    if (plugin == nullptr) {
        result.reason = "no LV2 plug-in " + uri + " on the LV2 path";
        return result;
    }
    const std::string missing = MissingInstanceFeature(plugin);
    if (!missing.empty()) {
        result.reason = "it needs the LV2 feature " + missing + ", which Vantreel does not offer";
        return result;
    }
    Lv2PortLayout layout = DescribePorts(world, plugin);
    if (layout.eventInput < 0) {
        result.reason = "it has no MIDI input: it is not an instrument";
        return result;
    }
    std::unique_ptr<Lv2Adapter> adapter(
        new Lv2Adapter(world, plugin, std::move(layout), sampleRate, host));
    if (!adapter->Instantiate(result.reason)) {
        return result;
    }
    result.effect = &adapter.release()->effect;
    return result;
}

Lv2Adapter::Lv2Adapter(const Lv2World& w, const LilvPlugin* p, Lv2PortLayout ports, int rate,
                       audioMasterCallback hostCallback)
    : world(w), plugin(p), uri(NodeText(lilv_plugin_get_uri(p))), layout(std::move(ports)),
      sampleRate(rate), host(hostCallback), paths(uri), optionSampleRate(float(rate)),
      atomCapacity(AtomCapacityFor(layout)), editorMessages(kEditorMessageBytes),
      editorMessageScratch(kEditorMessageBytes / sizeof(uint64_t)) {
    LilvNode* pluginName = lilv_plugin_get_name(plugin);
    name = NodeText(pluginName);
    lilv_node_free(pluginName);
    if (name.empty()) {
        name = uri;
    }
    optionSequenceSize = int32_t(atomCapacity);
    programs = ReadPrograms(world, plugin, layout.parameters);
    editorChoice = ChooseEditor(world, plugin, name);
}

Lv2Adapter::~Lv2Adapter() {
    CloseEditor();
    worker.Stop();
    if (instance != nullptr) {
        SetActive(false);
        lilv_instance_free(instance);
    }
}

bool Lv2Adapter::Instantiate(std::string& reason) {
    Lv2UridMap& map = SharedUridMap();
    const LV2_URID intType = map.Map(LV2_ATOM__Int);
    options = {
        {LV2_OPTIONS_INSTANCE, 0, map.Map(LV2_PARAMETERS__sampleRate), sizeof(float),
         map.Map(LV2_ATOM__Float), &optionSampleRate},
        {LV2_OPTIONS_INSTANCE, 0, map.Map(LV2_BUF_SIZE__minBlockLength), sizeof(int32_t), intType,
         &optionBlockLength},
        {LV2_OPTIONS_INSTANCE, 0, map.Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), intType,
         &optionBlockLength},
        {LV2_OPTIONS_INSTANCE, 0, map.Map(LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t),
         intType, &optionBlockLength},
        {LV2_OPTIONS_INSTANCE, 0, map.Map(LV2_BUF_SIZE__sequenceSize), sizeof(int32_t), intType,
         &optionSequenceSize},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr},
    };
    features = {
        {LV2_URID__map, map.MapFeature()},         {LV2_URID__unmap, map.UnmapFeature()},
        {LV2_OPTIONS__options, options.data()},    {LV2_BUF_SIZE__boundedBlockLength, nullptr},
        {LV2_BUF_SIZE__fixedBlockLength, nullptr}, {LV2_BUF_SIZE__powerOf2BlockLength, nullptr},
        {LV2_WORKER__schedule, worker.Feature()},  {LV2_STATE__mapPath, paths.MapPath()},
        {LV2_STATE__makePath, paths.MakePath()},   {LV2_STATE__freePath, paths.FreePath()},
    };
    for (const LV2_Feature& feature : features) {
        featureList.push_back(&feature);
    }
    featureList.push_back(nullptr);
    instance = lilv_plugin_instantiate(plugin, double(sampleRate), featureList.data());
    if (instance == nullptr) {
        reason = "the LV2 plug-in " + uri + " did not start";
        return false;
    }
    createdAt = std::chrono::steady_clock::now();
    KeepLibraryLoaded(plugin);
    worker.Start(static_cast<const LV2_Worker_Interface*>(
                     lilv_instance_get_extension_data(instance, LV2_WORKER__interface)),
                 lilv_instance_get_handle(instance));
    stateInterface = static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(instance, LV2_STATE__interface));
    ConnectPorts();
    SetUpEffect();
    return true;
}

void Lv2Adapter::ConnectPorts() {
    const std::size_t count = layout.kinds.size();
    controls.reset(new std::atomic<float>[count]);
    controlBuffers.assign(count, 0.0f);
    shownToEditor.assign(count, 0.0f);
    scratch.resize(count);
    atomBuffers.resize(count);
    silentInput.assign(kHostBlockSize, 0.0f);
    accumulated[0].assign(kHostBlockSize, 0.0f);
    accumulated[1].assign(kHostBlockSize, 0.0f);
    for (uint32_t port = 0; port < count; ++port) {
        controls[port].store(layout.defaults[port]);
        controlBuffers[port] = layout.defaults[port];
        void* buffer = nullptr;
        switch (layout.kinds[port]) {
        case Lv2PortKind::ControlIn:
        case Lv2PortKind::ControlOut:
            buffer = &controlBuffers[port];
            break;
        case Lv2PortKind::AudioIn:
            buffer = silentInput.data();
            break;
        case Lv2PortKind::EventIn:
        case Lv2PortKind::EventOut:
            atomBuffers[port].assign(atomCapacity / sizeof(uint64_t), 0);
            buffer = atomBuffers[port].data();
            break;
        default:
            scratch[port].assign(kHostBlockSize, 0.0f);
            buffer = scratch[port].data();
            break;
        }
        lilv_instance_connect_port(instance, port, buffer);
    }
    // The instance starts on program 0's values, as a VST 2 bank starts on its first.
    const std::vector<Lv2Parameter>& parameters = layout.parameters;
    for (std::size_t k = 0; k < parameters.size(); ++k) {
        controls[parameters[k].port].store(programs[0].values[k]);
        controlBuffers[parameters[k].port] = programs[0].values[k];
    }
    // The first two outputs are connected to the slot's buffers at each block.
    for (uint32_t port : layout.audioOutputs) {
        scratch[port].assign(kHostBlockSize, 0.0f);
        lilv_instance_connect_port(instance, port, scratch[port].data());
    }
    FillInputSequences();
}

void Lv2Adapter::SetUpEffect() {
    effect.magic = kEffectMagic;
    effect.dispatcher = &DispatchEntry;
    effect.process = &ProcessEntry;
    effect.processReplacing = &ProcessReplacingEntry;
    effect.setParameter = [](AEffect* e, VstInt32 index, float value) {
        From(e)->SetParameter(index, value);
    };
    effect.getParameter = [](AEffect* e, VstInt32 index) { return From(e)->GetParameter(index); };
    effect.numPrograms = VstInt32(programs.size());
    effect.numParams = VstInt32(layout.parameters.size());
    effect.numInputs = 0;
    effect.numOutputs = 2;
    effect.flags = effFlagsCanReplacing | effFlagsIsSynth;
    if (stateInterface != nullptr) {
        effect.flags |= effFlagsProgramChunks;
    }
    if (!editorChoice.uri.empty()) {
        effect.flags |= effFlagsHasEditor;
    }
    effect.object = this;
    effect.uniqueID = UniqueIdOf(uri);
    effect.version = kAdapterVersion;
}

VstIntPtr Lv2Adapter::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) {
    switch (opcode) {
    case effClose:
        CloseEditor();
        SetActive(false);
        return 0;
    case effSetProgram:
        SelectProgram(value);
        return 0;
    case effGetProgram:
        return currentProgram;
    case effGetProgramName:
        CopyText(ptr, ProgramName(currentProgram));
        return 0;
    case effGetProgramNameIndexed:
        CopyText(ptr, ProgramName(index));
        return index >= 0 && index < VstInt32(programs.size()) ? 1 : 0;
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
        CopyText(ptr, ParameterText(opcode, index));
        return 0;
    case effMainsChanged:
        SetActive(value != 0);
        return 0;
    case effEditGetRect:
        if (ptr != nullptr) {
            *static_cast<ERect**>(ptr) = &editorRect;
        }
        return 1;
    case effEditOpen:
        return OpenEditor(ptr);
    case effEditClose:
        CloseEditor();
        return 0;
    case effEditIdle:
        IdleEditor();
        return 0;
    case effGetChunk:
        return GetChunk(static_cast<void**>(ptr));
    case effSetChunk:
        return SetChunk(ptr, value);
    case effProcessEvents:
        TakeEvents(static_cast<const VstEvents*>(ptr));
        return 1;
    case effGetEffectName:
    case effGetProductString:
        CopyText(ptr, name);
        return 1;
    case effGetPlugCategory:
        return kPlugCategorySynth;
    case effCanDo:
        for (const char* capability : kMidiCapabilities) {
            if (ptr != nullptr && std::strcmp(static_cast<const char*>(ptr), capability) == 0) {
                return 1;
            }
        }
        return 0;
    default:
        // effOpen, the sample rate (given at creation), the block size (always 256).
        return 0;
    }
}

void Lv2Adapter::SetActive(bool on) {
    if (on == active.load()) {
        return;
    }
    if (on) {
        lilv_instance_activate(instance);
    } else {
        lilv_instance_deactivate(instance);
    }
    active.store(on);
}

void Lv2Adapter::SelectProgram(VstIntPtr program) {
    // As plug-ins index their tables with it, a number outside the bank is ignored.
    if (program < 0 || program >= VstIntPtr(programs.size())) {
        return;
    }
    const std::vector<Lv2Parameter>& parameters = layout.parameters;
    std::vector<float>& leaving = programs[currentProgram].values;
    for (std::size_t k = 0; k < parameters.size(); ++k) {
        leaving[k] = controls[parameters[k].port].load();
    }
    currentProgram = int(program);
    const std::vector<float>& chosen = programs[currentProgram].values;
    for (std::size_t k = 0; k < parameters.size(); ++k) {
        controls[parameters[k].port].store(chosen[k]);
    }
}

std::string Lv2Adapter::ProgramName(VstInt32 program) const {
    return program >= 0 && program < VstInt32(programs.size()) ? programs[program].name : "";
}

std::string Lv2Adapter::ParameterText(VstInt32 opcode, VstInt32 index) const {
    if (index < 0 || index >= VstInt32(layout.parameters.size())) {
        return {};
    }
    const Lv2Parameter& p = layout.parameters[index];
    switch (opcode) {
    case effGetParamName:
        return p.name;
    case effGetParamLabel:
        return p.unit;
    default:
        return p.Display(controls[p.port].load());
    }
}

void Lv2Adapter::SetParameter(VstInt32 index, float value) {
    if (index >= 0 && index < VstInt32(layout.parameters.size())) {
        const Lv2Parameter& p = layout.parameters[index];
        controls[p.port].store(p.FromNormalized(value));
    }
}

float Lv2Adapter::GetParameter(VstInt32 index) const {
    if (index < 0 || index >= VstInt32(layout.parameters.size())) {
        return 0.0f;
    }
    const Lv2Parameter& p = layout.parameters[index];
    return p.ToNormalized(controls[p.port].load());
}

std::vector<std::string> Lv2Adapter::TakeStateNotes() {
    std::vector<std::string> notes;
    notes.swap(stateNotes);
    return notes;
}

} // namespace vantreel
