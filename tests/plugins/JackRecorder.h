#pragma once
// A small JACK client of the tests: two input ports that record, cycle by cycle, what
// other clients play into them, noting the server's xrun count at every cycle.
// Everything is allocated before it records.

#include <jack/jack.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace vantreel::test {

class JackRecorder {
public:
    struct Cycle {
        std::vector<int16_t> frames;  // interleaved, as the player's 16-bit samples
        int xruns = 0;                // xruns the server had reported by then
        jack_nframes_t frameTime = 0; // the server's frame count at the cycle's start
    };

    JackRecorder(const std::string& serverName, int maxCycles)
        : maxCycles(maxCycles), cycles(size_t(maxCycles)) {
        jack_status_t status;
        client =
            jack_client_open("vantreel-recorder", JackOptions(JackNoStartServer | JackServerName),
                             &status, serverName.c_str());
        if (client == nullptr) {
            return;
        }
        period = int(jack_get_buffer_size(client));
        for (Cycle& cycle : cycles) {
            cycle.frames.assign(size_t(2 * period), 0);
        }
        const char* names[2] = {"in_left", "in_right"};
        for (int c = 0; c < 2; ++c) {
            ports[c] =
                jack_port_register(client, names[c], JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        }
        jack_set_process_callback(client, &JackRecorder::Process, this);
        jack_set_xrun_callback(client, &JackRecorder::Xrun, this);
        active = jack_activate(client) == 0;
    }

    ~JackRecorder() {
        if (client != nullptr) {
            jack_deactivate(client);
            jack_client_close(client);
        }
    }

    bool Ok() const { return active; }
    jack_client_t* Client() const { return client; }
    int Period() const { return period; }

    // Connects the output ports of `player` (in name order) to ours.
    bool ConnectFrom(const std::string& player) {
        const char** found = jack_get_ports(client, (player + ":").c_str(), JACK_DEFAULT_AUDIO_TYPE,
                                            JackPortIsOutput);
        bool ok = found != nullptr && found[0] != nullptr && found[1] != nullptr;
        for (int c = 0; ok && c < 2; ++c) {
            ok = jack_connect(client, found[c], jack_port_name(ports[c])) == 0;
        }
        jack_free(found);
        return ok;
    }

    void Record(bool on) { recording.store(on); }
    int CycleCount() const { return std::min(recorded.load(), maxCycles); }
    const Cycle& CycleAt(int n) const { return cycles[size_t(n)]; }
    int Xruns() const { return xruns.load(); }

private:
    // RtAudio hands JACK a 16-bit sample s as s / 32768.
    static int16_t ToSample(float x) { return int16_t(std::lround(x * 32768.0)); }

    static int Process(jack_nframes_t frames, void* self) {
        auto* recorder = static_cast<JackRecorder*>(self);
        if (!recorder->recording.load() || int(frames) != recorder->period) {
            return 0;
        }
        const int n = recorder->recorded.load();
        if (n >= recorder->maxCycles) {
            return 0;
        }
        Cycle& cycle = recorder->cycles[size_t(n)];
        for (int c = 0; c < 2; ++c) {
            const auto* in =
                static_cast<const float*>(jack_port_get_buffer(recorder->ports[c], frames));
            for (jack_nframes_t i = 0; i < frames; ++i) {
                cycle.frames[2 * i + c] = ToSample(in[i]);
            }
        }
        cycle.xruns = recorder->xruns.load();
        cycle.frameTime = jack_last_frame_time(recorder->client);
        recorder->recorded.store(n + 1);
        return 0;
    }

    static int Xrun(void* self) {
        ++static_cast<JackRecorder*>(self)->xruns;
        return 0;
    }

    jack_client_t* client = nullptr;
    jack_port_t* ports[2] = {};
    int period = 0;
    bool active = false;
    const int maxCycles;
    std::vector<Cycle> cycles;
    std::atomic<bool> recording{false};
    std::atomic<int> recorded{0};
    std::atomic<int> xruns{0};
};

} // namespace vantreel::test
