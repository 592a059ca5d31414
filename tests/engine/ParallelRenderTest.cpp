// Slots rendered on several threads: the output must be the serial render's, sample
// for sample, every instance must see the same events at the same offsets, nothing
// may allocate on any render thread, and one slow slot must not hold up the others.

#include "engine/OfflineRenderer.h"
#include "engine/RenderWorkers.h"
#include "support/AllocationCounter.h"
#include "support/ScopedEnvironment.h"
#include "support/ScratchFolder.h"
#include "testplugins/fake/FakePlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

namespace vantreel::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kSynth = "VantreelSynth.so";
const std::string kDemo =
    (std::filesystem::path(__FILE__).parent_path() / "../../examples/demo.vpf").string();

std::unique_ptr<AudioEngine> MakeEngine(int threads) {
    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven, OutputChoice{}, threads);
    std::strncpy(engine->pluginFolder, VANTREEL_PLUGIN_OUTPUT_DIR, kTextSize - 1);
    return engine;
}

std::vector<int16_t> RenderFrames(AudioEngine& engine, int64_t frames) {
    std::vector<int16_t> out(size_t(2 * frames));
    OfflineRenderer(engine).Render(out.data(), frames);
    return out;
}

// Eight-note chords on every track of every slot, a new line every 1500 frames, with
// all three sends in use.
void SixteenSynthSong(AudioEngine& engine) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        ASSERT_TRUE(engine.LoadPlugin(slot, kSynth)) << engine.LastPluginError();
        Pattern& pattern = engine.song.slots[slot].patterns[0];
        pattern.SetLength(32);
        for (int line = 0; line < 32; ++line) {
            for (int track = 0; track < kTracks; ++track) {
                const uint8_t note = uint8_t(36 + (line * 5 + track * 7 + slot) % 48);
                pattern.SetCell(line, track, {0x90, note, 90, uint8_t(line % 2)});
            }
        }
        engine.song.arrangement.Set(0, slot, {0, 0});
        engine.song.slots[slot].sendDelay = uint8_t(slot * 3);
        engine.song.slots[slot].sendReverb = uint8_t(40 - slot);
        engine.song.slots[slot].sendChorus = uint8_t(slot % 4 * 10);
    }
    engine.song.settings.masterVolume = 6000; // 16 slots of chords: keep it unclipped
    engine.song.settings.lineLength = 1500;
    engine.song.settings.songEnd = 32;
    engine.PlaySong();
}

TEST(ParallelRenderTest, TheDemoSongRendersTheSameOnOneTwoAndFourThreads) {
    if (!std::filesystem::exists(kDemo)) {
        GTEST_SKIP() << "no demo song at " << kDemo;
    }
    std::vector<int16_t> serial;
    for (int threads : {1, 2, 4}) {
        auto engine = MakeEngine(threads);
        ASSERT_EQ(engine->RenderThreads(), threads);
        ASSERT_TRUE(engine->LoadProject(kDemo.c_str()));
        engine->PlaySong();
        const std::vector<int16_t> out = RenderFrames(*engine, 8 * 44100);
        if (threads == 1) {
            serial = out;
            continue;
        }
        ASSERT_EQ(out.size(), serial.size());
        EXPECT_TRUE(out == serial) << threads << " threads differ from the serial render";
    }
    EXPECT_NE(std::count(serial.begin(), serial.end(), int16_t(0)), int64_t(serial.size()));
}

TEST(ParallelRenderTest, SixteenSynthesizersRenderTheSameOnOneTwoAndFourThreads) {
    std::vector<int16_t> serial;
    for (int threads : {1, 2, 4}) {
        auto engine = MakeEngine(threads);
        SixteenSynthSong(*engine);
        const std::vector<int16_t> out = RenderFrames(*engine, 4 * 44100);
        if (threads == 1) {
            serial = out;
            continue;
        }
        EXPECT_TRUE(out == serial) << threads << " threads differ from the serial render";
    }
}

// A library the settings keep on the audio thread renders there, with the same result.
TEST(ParallelRenderTest, SlotsKeptOnTheAudioThreadRenderTheSame) {
    ScratchFolder config;
    config.WriteFile("vantreel/settings.ini",
                 "[HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated "
                 "Applications\\Vantreel\\RunOnAudioThread]\nVantreelSynth.so=1\n");
    std::vector<int16_t> serial;
    {
        auto engine = MakeEngine(1);
        SixteenSynthSong(*engine);
        serial = RenderFrames(*engine, 44100);
    }
    ScopedEnvironment home("XDG_CONFIG_HOME", config.Path());
    auto engine = MakeEngine(2);
    SixteenSynthSong(*engine);
    EXPECT_TRUE(RenderFrames(*engine, 44100) == serial);
}

// In-process plug-ins in every slot, each a different ramp, playing cells at many
// offsets: each instance must receive the same events at the same offsets, and the
// mix must be the same, whichever thread runs it.
TEST(ParallelRenderTest, EveryInstanceSeesTheSameEventsAtTheSameOffsetsOnAnyThreadCount) {
    std::vector<std::vector<FakePlugin::Event>> serialEvents(kSlotCount);
    std::vector<int16_t> serialOut;
    for (int threads : {1, 2, 4}) {
        auto engine = MakeEngine(threads);
        std::array<std::unique_ptr<FakePlugin>, kSlotCount> fakes;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            fakes[slot] = std::make_unique<FakePlugin>(slot % 3 != 0);
            fakes[slot]->outputLeft = 0.01f * float(slot) - 0.08f;
            fakes[slot]->rampPerFrame = 1e-5f * float(slot + 1);
            engine->effect[slot] = &fakes[slot]->effect;
            std::strcpy(engine->song.slots[slot].dllName, "fake.so");
            engine->song.slots[slot].instanced = 1;
            engine->song.slots[slot].sendChorus = uint8_t(slot * 4);
            Pattern& pattern = engine->song.slots[slot].patterns[0];
            pattern.SetLength(64);
            for (int line = 0; line < 64; ++line) {
                pattern.SetCell(line, slot % kTracks,
                                {uint8_t(0x90 + slot), uint8_t(30 + line), 100, 0});
            }
            engine->song.arrangement.Set(0, slot, {0, 0});
        }
        engine->song.settings.lineLength = 777; // line starts at ever-changing offsets
        engine->song.settings.songEnd = 64;
        engine->PlaySong();
        const std::vector<int16_t> out = RenderFrames(*engine, 2 * 44100);
        for (auto& slot : engine->song.slots) {
            slot.instanced = 0;
        }
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const FakePlugin& fake = *fakes[slot];
            std::vector<FakePlugin::Event> events(fake.events.begin(),
                                                  fake.events.begin() + fake.eventCount);
            if (threads == 1) {
                ASSERT_GT(events.size(), 50u) << "slot " << slot;
                serialEvents[slot] = events;
                continue;
            }
            ASSERT_EQ(events.size(), serialEvents[slot].size()) << "slot " << slot;
            for (size_t n = 0; n < events.size(); ++n) {
                EXPECT_EQ(events[n].Sample(), serialEvents[slot][n].Sample())
                    << "slot " << slot << " event " << n;
                EXPECT_EQ(0, std::memcmp(events[n].bytes, serialEvents[slot][n].bytes, 4));
            }
        }
        if (threads == 1) {
            serialOut = out;
        } else {
            EXPECT_TRUE(out == serialOut) << threads << " threads";
        }
    }
}

TEST(ParallelRenderTest, NoRenderThreadAllocates) {
    for (int threads : {2, 4}) {
        auto engine = MakeEngine(threads);
        SixteenSynthSong(*engine);
        std::vector<int16_t> buffer(2 * kCallbackFrames);
        engine->StreamCallback(buffer.data(), false); // the plug-ins' first blocks
        AllocationCounter counter;
        for (int c = 0; c < 20; ++c) {
            const uint8_t note[4] = {0x90, uint8_t(40 + c), 64, 0};
            engine->QueueMidiEvent(c % kSlotCount, note);
            engine->StreamCallback(buffer.data(), c % 2 == 0);
        }
        EXPECT_EQ(counter.Count(), 0) << threads << " threads";
    }
}

// --- The pool itself --------------------------------------------------------------

struct CountingJob {
    std::array<std::atomic<int>, 64> runs{};
    std::array<std::atomic<int>, kMaxRenderThreads> byThread{};
    static void Run(void* self, int index, int thread) {
        auto* job = static_cast<CountingJob*>(self);
        job->runs[index].fetch_add(1, std::memory_order_relaxed);
        job->byThread[thread].fetch_add(1, std::memory_order_relaxed);
    }
};

TEST(RenderWorkersConcurrencyTest, EveryItemRunsOncePerBlockOnAnyThreadCount) {
    for (int threads : {1, 2, 4}) {
        CountingJob job;
        RenderWorkers workers(threads, &CountingJob::Run, &job);
        ASSERT_EQ(workers.Threads(), threads);
        constexpr int kBlocks = 2000;
        int expected[64] = {};
        for (int block = 0; block < kBlocks; ++block) {
            const int count = block % 17; // empty blocks too
            workers.Begin(count);
            workers.Join();
            for (int i = 0; i < count; ++i) {
                ++expected[i];
            }
            // Everything the block ran is finished and visible once Join returns.
            ASSERT_EQ(job.runs[0].load(), expected[0]) << "block " << block;
        }
        for (int i = 0; i < 64; ++i) {
            EXPECT_EQ(job.runs[i].load(), expected[i]) << threads << " threads, item " << i;
        }
    }
}

TEST(RenderWorkersConcurrencyTest, APoolStoppedBeforeItsThreadsStartStillStops) {
    // A stop handed out before a worker first waits must not be slept through.
    for (int round = 0; round < 200; ++round) {
        CountingJob job;
        RenderWorkers workers(4, &CountingJob::Run, &job);
    }
    SUCCEED();
}

// A plug-in that takes 200 ms in one block; the others note when they finished.
std::array<std::atomic<int64_t>, kSlotCount> finishedAt{};
void SlowProcess(AEffect*, float**, float** outputs, VstInt32 frames) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::fill(outputs[0], outputs[0] + frames, 0.1f);
}
void QuickProcess(AEffect* effect, float**, float** outputs, VstInt32 frames) {
    std::fill(outputs[0], outputs[0] + frames, 0.01f);
    finishedAt[size_t(effect->user)].store(Clock::now().time_since_epoch().count());
}

TEST(RenderWorkersConcurrencyTest, ASlowSlotDoesNotKeepTheOtherSlotsFromFinishing) {
    auto engine = MakeEngine(2);
    std::array<std::unique_ptr<FakePlugin>, kSlotCount> fakes;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        fakes[slot] = std::make_unique<FakePlugin>();
        fakes[slot]->effect.processReplacing = slot == 0 ? &SlowProcess : &QuickProcess;
        fakes[slot]->effect.user = reinterpret_cast<void*>(intptr_t(slot));
        engine->effect[slot] = &fakes[slot]->effect;
        std::strcpy(engine->song.slots[slot].dllName, "fake.so");
        engine->song.slots[slot].instanced = 1;
        finishedAt[slot] = 0;
    }
    std::vector<int16_t> buffer(2 * kBlockFrames);
    const Clock::time_point start = Clock::now();
    engine->Feed().Prepare(44100, 44100, kBlockFrames);
    engine->Feed().Fill(buffer.data(), kBlockFrames, false); // one block
    const auto took = Clock::now() - start;
    for (auto& slot : engine->song.slots) {
        slot.instanced = 0;
    }
    EXPECT_GE(took, std::chrono::milliseconds(200)); // the block waits for all its slots
    for (int slot = 1; slot < kSlotCount; ++slot) {
        const Clock::time_point done{Clock::duration(finishedAt[slot].load())};
        EXPECT_LT(done - start, std::chrono::milliseconds(100)) << "slot " << slot;
    }
}

} // namespace
} // namespace vantreel::test
