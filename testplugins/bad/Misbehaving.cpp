// A plug-in that does what plug-ins in the wild do to hosts, each behaviour switched
// on by the tests (MisbehavingControl.h): garbage samples, many or few channels,
// flags that do not match its functions, slow blocks, idle requests from a thread of
// its own, a huge editor, absurd program counts. Instances live in a fixed pool and
// are never freed, so a host that calls one after closing it is caught, not crashed.

#include "testplugins/bad/MisbehavingControl.h"
#include "testplugins/common/PluginExport.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

namespace {

using vantreel::misbehaving::Config;
using vantreel::misbehaving::Counters;

constexpr int kPoolSize = 256;              // every instance a test binary makes, never reused
constexpr double kTonePeriodFrames = 100.0; // 441 Hz at 44100 Hz, exactly periodic
constexpr double kTwoPi = 6.283185307179586;
constexpr auto kIdleRequestInterval = std::chrono::milliseconds(1);

thread_local bool onOwnThread = false;

struct Instance {
    AEffect effect{};
    Config config;
    audioMasterCallback host = nullptr;
    int64_t frame = 0;
    VstIntPtr program = 0;
    std::atomic<int> blocks{0};
    std::atomic<int> nonSilentAuxInputs{0};
    std::atomic<int> dispatchesAfterClose{0};
    std::atomic<int> dispatchesOnOwnThread{0};
    std::atomic<int> idleCalls{0};
    std::atomic<int> editIdleCalls{0};
    std::atomic<int> hostRequests{0};
    std::atomic<int> setProgramCalls{0};
    std::atomic<bool> closed{false};
    std::atomic<bool> stopThread{false};
    std::thread idleThread;
};

std::array<Instance, kPoolSize> pool;
std::atomic<int> used{0};
std::mutex configMutex;
Config nextConfig;

Instance& Self(AEffect* effect) {
    return *static_cast<Instance*>(effect->object);
}

void RunIdleThread(Instance* self) {
    onOwnThread = true;
    while (!self->stopThread.load()) {
        self->host(&self->effect, audioMasterIdle, 0, 0, nullptr, 0.0f);
        self->host(&self->effect, audioMasterNeedIdle, 0, 0, nullptr, 0.0f);
        self->host(&self->effect, audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f);
        ++self->hostRequests;
        std::this_thread::sleep_for(kIdleRequestInterval);
    }
}

VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr value, void* ptr, float) {
    Instance& self = Self(effect);
    if (self.closed.load()) {
        ++self.dispatchesAfterClose;
    }
    if (onOwnThread) {
        ++self.dispatchesOnOwnThread;
    }
    switch (opcode) {
    case effOpen:
        if (self.config.idleThread && !self.idleThread.joinable()) {
            self.idleThread = std::thread(RunIdleThread, &self);
        }
        return 0;
    case effClose:
        self.closed.store(true);
        return 0;
    case effSetProgram:
        ++self.setProgramCalls;
        self.program = value;
        return 0;
    case effGetProgram:
        return self.program;
    case effIdle:
        ++self.idleCalls;
        return 0;
    case effEditIdle:
        ++self.editIdleCalls;
        return 0;
    case effEditGetRect:
        if (ptr != nullptr) {
            *static_cast<ERect**>(ptr) = &self.config.editorRect;
        }
        return 1;
    case effEditOpen:
    case effEditClose:
        return 1;
    default:
        return 0;
    }
}

float Tone(const Instance& self, int64_t frame) {
    const double phase = double(frame % int64_t(kTonePeriodFrames)) / kTonePeriodFrames;
    return self.config.level * float(std::sin(kTwoPi * phase));
}

void Render(AEffect* effect, float** inputs, float** outputs, VstInt32 frames, bool add) {
    Instance& self = Self(effect);
    const Config& c = self.config;
    for (int in = 2; in < c.numInputs; ++in) {
        for (VstInt32 i = 0; i < frames; ++i) {
            if (inputs[in][i] != 0.0f) {
                ++self.nonSilentAuxInputs;
                break;
            }
        }
    }
    const int block = self.blocks.load();
    const bool burst =
        c.burstBlock >= 0 && block >= c.burstBlock && block < c.burstBlock + c.burstBlocks;
    for (VstInt32 i = 0; i < frames; ++i) {
        const float value = burst ? c.burstValue : Tone(self, self.frame + i);
        for (int out = 0; out < c.numOutputs; ++out) {
            const float sample = out < 2 ? value : c.auxLevel;
            outputs[out][i] = add ? outputs[out][i] + sample : sample;
        }
    }
    self.frame += frames;
    if (c.millisecondsPerBlock > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(c.millisecondsPerBlock));
    }
    ++self.blocks;
}

void Replace(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    Render(effect, inputs, outputs, frames, false);
}

void Accumulate(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    Render(effect, inputs, outputs, frames, true);
}

void SetParameter(AEffect*, VstInt32, float) {}

float GetParameter(AEffect*, VstInt32) {
    return 0.0f;
}

AEffect* Create(audioMasterCallback host) {
    const int index = used.fetch_add(1);
    if (index >= kPoolSize) {
        return nullptr;
    }
    Instance& self = pool[std::size_t(index)];
    {
        std::lock_guard<std::mutex> guard(configMutex);
        self.config = nextConfig;
    }
    const Config& c = self.config;
    self.host = host;
    AEffect& e = self.effect;
    e.magic = kEffectMagic;
    e.dispatcher = &Dispatch;
    e.process = c.withProcess ? &Accumulate : nullptr;
    e.processReplacing = c.withReplacing ? &Replace : nullptr;
    e.setParameter = &SetParameter;
    e.getParameter = &GetParameter;
    e.numPrograms = c.numPrograms;
    e.numParams = c.numParams;
    e.numInputs = c.numInputs;
    e.numOutputs = c.numOutputs;
    e.flags = c.flags | (c.hasEditor ? effFlagsHasEditor : 0);
    e.uniqueID = vantreel::plugintext::FourCharCode("Mbhv");
    e.object = &self;
    return &e;
}

} // namespace

VANTREEL_PLUGIN_ENTRY_POINTS(Create)

VANTREEL_PLUGIN_EXPORT void VantreelMisbehavingConfigure(const Config* config) {
    std::lock_guard<std::mutex> guard(configMutex);
    nextConfig = config != nullptr ? *config : Config{};
}

VANTREEL_PLUGIN_EXPORT Counters VantreelMisbehavingCounters(const AEffect* effect) {
    Counters counters;
    if (effect == nullptr || effect->object == nullptr) {
        return counters;
    }
    const Instance& self = *static_cast<const Instance*>(effect->object);
    counters.blocks = self.blocks.load();
    counters.nonSilentAuxInputs = self.nonSilentAuxInputs.load();
    counters.dispatchesAfterClose = self.dispatchesAfterClose.load();
    counters.dispatchesOnOwnThread = self.dispatchesOnOwnThread.load();
    counters.idleCalls = self.idleCalls.load();
    counters.editIdleCalls = self.editIdleCalls.load();
    counters.hostRequests = self.hostRequests.load();
    counters.setProgramCalls = self.setProgramCalls.load();
    counters.closed = self.closed.load();
    return counters;
}

VANTREEL_PLUGIN_EXPORT void VantreelMisbehavingStopThreads() {
    const int count = std::min(used.load(), kPoolSize);
    for (int i = 0; i < count; ++i) {
        Instance& self = pool[std::size_t(i)];
        self.stopThread.store(true);
        if (self.idleThread.joinable()) {
            self.idleThread.join();
        }
    }
}
