// The device feed: what each device callback renders, at the device's buffer size
// and rate, and what a callback that cannot get the lock leaves behind.

#include "EngineFixture.h"
#include "engine/CallbackMeter.h"
#include "support/AllocationCounter.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace vantreel::test {
namespace {

using namespace std::chrono_literals;

constexpr int kRate = 44100;

// A ramp from a fake plug-in through the delay: lost, repeated or reordered frames
// all show in the samples.
void PlayRamp(AudioEngine& engine, FakePlugin& fake) {
    fake.outputLeft = 0.05f;
    fake.outputRight = -0.05f;
    fake.rampPerFrame = 0.0001f;
    engine.song.slots[0].sendDelay = 60;
    engine.PlayPattern();
}

class DeviceFeedTest : public EngineFixture {
protected:
    FakePlugin* fake = nullptr;

    void SetUp() override {
        fake = &Install(0);
        PlayRamp(*engine, *fake);
    }

    // A fresh engine playing the same song from its start.
    void Restart() {
        engine->song.slots[0].instanced = 0; // the fake is not closed with the engine
        engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
        SetUp();
    }

    // The stream as the caller-driven callback renders it, from a second engine
    // playing the same song.
    std::vector<int16_t> Reference(int64_t frames) {
        auto other = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
        FakePlugin same;
        other->effect[0] = &same.effect;
        other->song.slots[0].instanced = 1;
        PlayRamp(*other, same);
        const int64_t callbacks = (frames + kCallbackFrames - 1) / kCallbackFrames;
        std::vector<int16_t> out(size_t(2 * kCallbackFrames * callbacks));
        for (size_t at = 0; at < out.size(); at += 2 * kCallbackFrames) {
            other->StreamCallback(out.data() + at, false);
        }
        other->song.slots[0].instanced = 0;
        out.resize(size_t(2 * frames));
        return out;
    }

    // Device callbacks of `deviceFrames` until `frames` frames were played.
    std::vector<int16_t> Feed(int deviceFrames, int64_t frames) {
        std::vector<int16_t> out(size_t(2 * frames));
        for (int64_t at = 0; at < frames; at += deviceFrames) {
            const int now = int(std::min<int64_t>(deviceFrames, frames - at));
            engine->Feed().Fill(out.data() + 2 * at, now, false);
        }
        return out;
    }
};

TEST_F(DeviceFeedTest, EveryDeviceSizePlaysTheSameStreamRenderingOnlyWhatItNeeds) {
    const int64_t frames = 20 * kBlockFrames;
    const std::vector<int16_t> reference = Reference(frames);
    for (int deviceFrames : {2048, 256, 128, 300, 1000}) {
        SCOPED_TRACE(deviceFrames);
        Restart();
        ASSERT_TRUE(engine->Feed().Prepare(kRate, kRate, deviceFrames));
        EXPECT_EQ(Feed(deviceFrames, frames), reference);
        // Whole blocks as needed, never a burst ahead of the device.
        EXPECT_EQ(fake->blocks, (frames + kBlockFrames - 1) / kBlockFrames);
    }
}

TEST_F(DeviceFeedTest, A256FrameBufferCostsOneBlockPerCallback) {
    ASSERT_TRUE(engine->Feed().Prepare(kRate, kRate, kBlockFrames));
    std::vector<int16_t> buffer(2 * kBlockFrames);
    for (int n = 1; n <= 10; ++n) {
        engine->Feed().Fill(buffer.data(), kBlockFrames, false);
        EXPECT_EQ(fake->blocks, n);
    }
}

TEST(RealtimeLockWaitTest, IsAQuarterOfTheBuffersDuration) {
    EXPECT_EQ(RealtimeLockWait(256, 44100), 1451us);
    EXPECT_EQ(RealtimeLockWait(2048, 44100), 11609us);
    EXPECT_EQ(RealtimeLockWait(256, 48000), 1333us);
    EXPECT_EQ(RealtimeLockWait(256, 0), 0us);
}

// Another thread holds the engine lock for as long as the test says.
class LockHolder {
public:
    explicit LockHolder(EngineLock& lock)
        : thread([this, &lock] {
              EngineLockGuard guard(lock);
              held = true;
              while (!release) {
                  std::this_thread::sleep_for(1ms);
              }
          }) {
        while (!held) {
            std::this_thread::yield();
        }
    }
    ~LockHolder() {
        release = true;
        thread.join();
    }

private:
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::thread thread;
};

class GivenUpCallbackTest : public DeviceFeedTest, public ::testing::WithParamInterface<int> {};

// Device callbacks of 300 frames (so a block is kept over between callbacks), the
// third of which cannot get the lock; at 48000 Hz the stream is converted.
std::vector<int16_t> FeedWithOneGivenUp(AudioEngine& engine, int deviceRate, bool giveUp,
                                        std::chrono::steady_clock::duration* waited) {
    constexpr int kFrames = 300;
    constexpr int kCalls = 8;
    EXPECT_TRUE(engine.Feed().Prepare(kRate, deviceRate, kFrames));
    std::vector<int16_t> out(2 * kFrames * kCalls, 123);
    for (int n = 0; n < kCalls; ++n) {
        int16_t* at = out.data() + 2 * kFrames * n;
        if (giveUp && n == 2) {
            LockHolder holder(engine.lock);
            const auto start = std::chrono::steady_clock::now();
            engine.Feed().Fill(at, kFrames, false);
            *waited = std::chrono::steady_clock::now() - start;
        } else {
            engine.Feed().Fill(at, kFrames, false);
        }
    }
    return out;
}

TEST_P(GivenUpCallbackTest, PlaysSilenceAndTheStreamGoesOnWhereItStood) {
    const int deviceRate = GetParam();
    std::chrono::steady_clock::duration waited{};
    const std::vector<int16_t> heard = FeedWithOneGivenUp(*engine, deviceRate, true, &waited);
    Restart();
    const std::vector<int16_t> plain = FeedWithOneGivenUp(*engine, deviceRate, false, nullptr);

    constexpr size_t kCall = 2 * 300;
    EXPECT_GE(waited, RealtimeLockWait(300, deviceRate));
    for (size_t i = 2 * kCall; i < 3 * kCall; ++i) {
        ASSERT_EQ(heard[i], 0) << "sample " << i;
    }
    // What was played before stays; what follows is what would have followed.
    EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + 2 * kCall, plain.begin()));
    EXPECT_TRUE(std::equal(heard.begin() + 3 * kCall, heard.end(), plain.begin() + 2 * kCall));
}

INSTANTIATE_TEST_SUITE_P(SameAndConvertedRate, GivenUpCallbackTest,
                         ::testing::Values(kRate, 48000));

TEST_F(DeviceFeedTest, AConvertedStreamRendersTheSongAtItsOwnRate) {
    ASSERT_TRUE(engine->Feed().Prepare(kRate, 48000, 256));
    EXPECT_TRUE(engine->Feed().Converting());
    const int seconds = 2;
    std::vector<int16_t> out = Feed(256, int64_t(48000) * seconds);
    // Song time runs at 44100 frames per second; the converter reads a little ahead.
    const int64_t songFrames = int64_t(fake->blocks) * kBlockFrames;
    EXPECT_NEAR(double(songFrames), 44100.0 * seconds, 2.0 * kBlockFrames);
    // The plug-in's constant level comes through at its level.
    const int16_t mid = out[2 * 48000];
    EXPECT_NE(mid, 0);
}

TEST_F(DeviceFeedTest, DropoutsTheDeviceReportsAreCounted) {
    ASSERT_TRUE(engine->Feed().Prepare(kRate, kRate, 256));
    std::vector<int16_t> buffer(2 * 256);
    engine->Feed().Fill(buffer.data(), 256, false);
    engine->Feed().Fill(buffer.data(), 256, true);
    engine->Feed().Fill(buffer.data(), 256, true);
    EXPECT_EQ(engine->Dropouts(), 2u);
}

TEST_F(DeviceFeedTest, FeedingAllocatesNothingAtAnySizeOrRate) {
    std::vector<int16_t> buffer(2 * 2048);
    for (int rate : {kRate, 48000, 22050}) {
        for (int frames : {128, 300, 2048}) {
            ASSERT_TRUE(engine->Feed().Prepare(kRate, rate, frames));
            AllocationCounter counter;
            for (int n = 0; n < 20; ++n) {
                const uint8_t note[4] = {0x90, uint8_t(40 + n), 100, 0};
                engine->QueueMidiEvent(0, note);
                engine->Feed().Fill(buffer.data(), frames, n % 5 == 0);
            }
            EXPECT_EQ(counter.Count(), 0) << rate << " Hz, " << frames << " frames";
        }
    }
}

TEST(CallbackMeterTest, ShowsTheWorstCallbackOfTheWindowNotTheAverage) {
    CallbackMeter meter;
    meter.SetRate(kRate);
    const double budget = 256.0 / kRate; // 5.8 ms
    // A window is 50 ms: nine callbacks of 256 frames close it.
    for (int n = 0; n < 9; ++n) {
        meter.Note(n == 4 ? 0.9 * budget : 0.1 * budget, 256);
    }
    EXPECT_NEAR(meter.Percent(), 90.0, 0.01);
    for (int n = 0; n < 8; ++n) {
        meter.Note(0.2 * budget, 256);
    }
    EXPECT_NEAR(meter.Percent(), 90.0, 0.01) << "the next window is not whole yet";
    meter.Note(0.3 * budget, 256);
    EXPECT_NEAR(meter.Percent(), 30.0, 0.01);
    // A 2048-frame callback lasts 46 ms: two make a window.
    meter.SetRate(kRate);
    meter.Note(0.5 * 2048.0 / kRate, 2048);
    meter.Note(0.25 * 2048.0 / kRate, 2048);
    EXPECT_NEAR(meter.Percent(), 50.0, 0.01);
}

} // namespace
} // namespace vantreel::test
