// An output without a device: a thread that pulls buffers at real-time pace, so that
// playback, meters and the CPU figure behave as they do with a sound card.

#include "engine/OutputStream.h"
#include "song/SongSettings.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace vantreel {

namespace {

class NullOutput final : public OutputStream {
public:
    ~NullOutput() override { Stop(); }

    bool Open(const OutputChoice& choice, int songRate) override {
        Stop();
        format.systemName = "null";
        format.system = "null output";
        format.device = "no sound device";
        format.sampleRate = songRate > 0 ? songRate : kDefaultSampleRate;
        format.bufferFrames = UsableBufferFrames(choice.bufferFrames);
        buffer.assign(size_t(kOutputChannels) * format.bufferFrames, 0);
        return true;
    }

    OutputFormat Format() const override { return format; }

    bool Start(Callback callback, void* user) override {
        Stop();
        running = true;
        worker = std::thread([this, callback, user] { Run(callback, user); });
        return true;
    }

    void Stop() override {
        running = false;
        if (worker.joinable()) {
            worker.join();
        }
    }

    const std::string& Problem() const override { return problem; }

private:
    void Run(Callback callback, void* user) {
        const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(double(format.bufferFrames) / format.sampleRate));
        auto next = std::chrono::steady_clock::now();
        while (running) {
            callback(user, buffer.data(), format.bufferFrames, false);
            next += period;
            std::this_thread::sleep_until(next);
        }
    }

    OutputFormat format;
    std::vector<int16_t> buffer; // sized when opened, never on the output's thread
    std::atomic<bool> running{false};
    std::thread worker;
    std::string problem;
};

} // namespace

std::unique_ptr<OutputStream> CreateNullOutput() {
    return std::make_unique<NullOutput>();
}

} // namespace vantreel
