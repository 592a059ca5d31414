// VantreelLv2Probe: an LV2 instrument that records what its host hands it (the MIDI
// of each run with its frame times, its options, its worker's responses) and plays
// a constant, the level control, on both outputs. It keeps a small state (a number
// and, when given one, a file path) and asks its worker for an answer to every
// note-on, so a host's worker and state paths can be watched too.

#include "testplugins/lv2probe/Lv2ProbeLog.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <cstring>
#include <iterator>

namespace vantreel::lv2probe {

namespace {

constexpr int kMaxInstances = 1024;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kStatusMask = 0xF0;
constexpr uint32_t kPortCount = 7;

std::atomic<int> instanceCount{0};
std::atomic<Lv2ProbeLog*> logs[kMaxInstances] = {};

struct Uris {
    LV2_URID midiEvent, atomInt, atomFloat, atomPath, mood, sample;
    LV2_URID nominalBlockLength, maxBlockLength, sampleRate;
};

struct Probe {
    Uris uris{};
    Lv2ProbeLog* log = nullptr;
    LV2_Worker_Schedule* schedule = nullptr;
    const float* ports[kPortCount] = {};
    float* out[2] = {};
    const LV2_Atom_Sequence* events = nullptr;
    int32_t mood = kDefaultMood;
    char sample[kMaxPathLength] = {};
};

const void* Feature(const LV2_Feature* const* features, const char* uri) {
    for (int n = 0; features != nullptr && features[n] != nullptr; ++n) {
        if (std::strcmp(features[n]->URI, uri) == 0) {
            return features[n]->data;
        }
    }
    return nullptr;
}

void ReadOptions(Probe& p, const LV2_Options_Option* options) {
    for (int n = 0; options != nullptr && options[n].key != 0; ++n) {
        const LV2_Options_Option& o = options[n];
        if (o.key == p.uris.nominalBlockLength && o.type == p.uris.atomInt) {
            p.log->nominalBlockLength.store(*static_cast<const int32_t*>(o.value));
        } else if (o.key == p.uris.maxBlockLength && o.type == p.uris.atomInt) {
            p.log->maxBlockLength.store(*static_cast<const int32_t*>(o.value));
        } else if (o.key == p.uris.sampleRate && o.type == p.uris.atomFloat) {
            p.log->sampleRate.store(*static_cast<const float*>(o.value));
        }
    }
}

LV2_Handle Instantiate(const LV2_Descriptor*, double, const char*,
                       const LV2_Feature* const* features) {
    const auto* map = static_cast<const LV2_URID_Map*>(Feature(features, LV2_URID__map));
    const int n = instanceCount.load();
    if (map == nullptr || n >= kMaxInstances) {
        return nullptr;
    }
    auto* p = new Probe();
    auto id = [map](const char* uri) { return map->map(map->handle, uri); };
    p->uris = {id(LV2_MIDI__MidiEvent),
               id(LV2_ATOM__Int),
               id(LV2_ATOM__Float),
               id(LV2_ATOM__Path),
               id(kMoodKey),
               id(kSampleKey),
               id(LV2_BUF_SIZE__nominalBlockLength),
               id(LV2_BUF_SIZE__maxBlockLength),
               id(LV2_PARAMETERS__sampleRate)};
    p->log = new Lv2ProbeLog();
    p->schedule = static_cast<LV2_Worker_Schedule*>(
        const_cast<void*>(Feature(features, LV2_WORKER__schedule)));
    ReadOptions(*p,
                static_cast<const LV2_Options_Option*>(Feature(features, LV2_OPTIONS__options)));
    logs[n].store(p->log);
    instanceCount.store(n + 1);
    return p;
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) {
    auto* p = static_cast<Probe*>(handle);
    if (port == kEventsPort) {
        p->events = static_cast<const LV2_Atom_Sequence*>(data);
    } else if (port == kLeftPort || port == kRightPort) {
        p->out[port - kLeftPort] = static_cast<float*>(data);
    } else if (port < kPortCount) {
        p->ports[port] = static_cast<const float*>(data);
    }
}

void Activate(LV2_Handle handle) {
    static_cast<Probe*>(handle)->log->activations.fetch_add(1);
}

void RecordEvents(Probe& p, int32_t block) {
    LV2_ATOM_SEQUENCE_FOREACH(p.events, event) {
        if (event->body.type != p.uris.midiEvent) {
            continue;
        }
        Lv2EventRecord record;
        record.block = block;
        record.frame = event->time.frames;
        record.size = event->body.size;
        std::memcpy(record.bytes, LV2_ATOM_BODY_CONST(&event->body),
                    event->body.size < 3 ? event->body.size : 3);
        p.log->events.Add(record);
        if ((record.bytes[0] & kStatusMask) == kNoteOn && p.schedule != nullptr) {
            p.schedule->schedule_work(p.schedule->handle, 1, &record.bytes[1]);
        }
    }
}

void Run(LV2_Handle handle, uint32_t frames) {
    auto* p = static_cast<Probe*>(handle);
    const int32_t block = p->log->runs.load();
    if (p->events != nullptr) {
        RecordEvents(*p, block);
    }
    const float level = p->ports[kLevelPort] != nullptr ? *p->ports[kLevelPort] : 0.0f;
    for (float* out : p->out) {
        for (uint32_t i = 0; out != nullptr && i < frames; ++i) {
            out[i] = level;
        }
    }
    p->log->lastFrames.store(int32_t(frames));
    p->log->runs.store(block + 1);
}

void Cleanup(LV2_Handle handle) {
    auto* p = static_cast<Probe*>(handle);
    p->log->freed.store(true);
    delete p;
}

LV2_Worker_Status Work(LV2_Handle, LV2_Worker_Respond_Function respond,
                       LV2_Worker_Respond_Handle handle, uint32_t size, const void* data) {
    return respond(handle, size, data);
}

LV2_Worker_Status WorkResponse(LV2_Handle handle, uint32_t size, const void* data) {
    auto* p = static_cast<Probe*>(handle);
    if (size == 1) {
        p->log->responses.Add({p->log->runs.load(), *static_cast<const uint8_t*>(data)});
    }
    return LV2_WORKER_SUCCESS;
}

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      uint32_t, const LV2_Feature* const*) {
    auto* p = static_cast<Probe*>(handle);
    store(state, p->uris.mood, &p->mood, sizeof p->mood, p->uris.atomInt,
          LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    if (p->sample[0] != '\0') {
        store(state, p->uris.sample, p->sample, std::strlen(p->sample) + 1, p->uris.atomPath,
              LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    }
    return LV2_STATE_SUCCESS;
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, uint32_t, const LV2_Feature* const*) {
    auto* p = static_cast<Probe*>(handle);
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    const void* mood = retrieve(state, p->uris.mood, &size, &type, &flags);
    p->mood = mood != nullptr && size == sizeof(int32_t) && type == p->uris.atomInt
                  ? *static_cast<const int32_t*>(mood)
                  : kDefaultMood;
    const void* sample = retrieve(state, p->uris.sample, &size, &type, &flags);
    p->sample[0] = '\0';
    if (sample != nullptr && type == p->uris.atomPath && size > 0 && size < kMaxPathLength) {
        std::memcpy(p->sample, sample, size);
        p->sample[size - 1] = '\0';
    }
    p->log->restores.fetch_add(1);
    return LV2_STATE_SUCCESS;
}

const void* ExtensionData(const char* uri) {
    static const LV2_Worker_Interface worker{&Work, &WorkResponse, nullptr};
    static const LV2_State_Interface state{&Save, &Restore};
    if (std::strcmp(uri, LV2_WORKER__interface) == 0) {
        return &worker;
    }
    if (std::strcmp(uri, LV2_STATE__interface) == 0) {
        return &state;
    }
    return nullptr;
}

const LV2_Descriptor kDescriptors[] = {
    {kProbeUri, &Instantiate, &ConnectPort, &Activate, &Run, nullptr, &Cleanup, &ExtensionData},
    {kLongProbeUri, &Instantiate, &ConnectPort, &Activate, &Run, nullptr, &Cleanup, &ExtensionData},
};

} // namespace

} // namespace vantreel::lv2probe

extern "C" {

__attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    using vantreel::lv2probe::kDescriptors;
    return index < std::size(kDescriptors) ? &kDescriptors[index] : nullptr;
}

int VantreelLv2ProbeCount() {
    return vantreel::lv2probe::instanceCount.load();
}

vantreel::lv2probe::Lv2ProbeLog* VantreelLv2ProbeLog(int n) {
    if (n < 0 || n >= VantreelLv2ProbeCount()) {
        return nullptr;
    }
    return vantreel::lv2probe::logs[n].load();
}
}
