// Threads meeting in the engine: the audio callback, MIDI input threads and the
// user interface. Run under ThreadSanitizer in CI.

#include "EngineFixture.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace vantreel::test {
namespace {

using namespace std::chrono_literals;

class EngineConcurrencyTest : public EngineFixture {
protected:
    std::atomic<bool> running{true};

    std::thread AudioThread(std::atomic<int>& callbacks) {
        return std::thread([this, &callbacks] {
            std::vector<int16_t> buffer(2 * kCallbackFrames);
            while (running) {
                engine->StreamCallback(buffer.data(), true);
                ++callbacks;
            }
        });
    }
};

TEST_F(EngineConcurrencyTest, MidiUserInterfaceAndAudioThreadsShareTheEngine) {
    FakePlugin& fake = Install(0);
    Install(1);
    std::atomic<int> callbacks{0};
    std::atomic<int> midiSent{0};
    std::thread audio = AudioThread(callbacks);
    std::vector<std::thread> midi;
    for (int id = 0; id < 2; ++id) {
        midi.emplace_back([&, id] {
            for (int n = 0; n < 2000 && running; ++n) {
                const uint8_t bytes[4] = {uint8_t(0x90 + id), uint8_t(n % 128), 1, 0};
                engine->QueueMidiEvent(0, bytes);
                engine->CurrentPattern().SetCell(engine->editor.cursorLine, id, {0x90, 1, 2, 0});
                ++midiSent;
                if (n % 50 == 0) {
                    std::this_thread::sleep_for(100us);
                }
            }
        });
    }
    // The user interface: edits, settings, transport.
    for (int n = 0; n < 300; ++n) {
        engine->song.slots[0].patterns[0].SetCell(n % 64, 3, {0x91, uint8_t(n % 100), 3, 1});
        engine->song.arrangement.Set(n % 32, 1, {uint8_t(n % 3), 0});
        engine->song.settings.lineLength = 2000 + n;
        engine->song.settings.masterVolume = n * 10;
        engine->song.slots[1].sendReverb = uint8_t(n % 128);
        engine->song.settings.delay.feedbackLeft = uint8_t(n % 128);
        engine->editor.cursorLine = n % 64;
        if (n % 100 == 10) {
            engine->PlayPattern();
        } else if (n % 100 == 50) {
            engine->PlaySong();
        } else if (n % 100 == 90) {
            engine->StopPlayback();
        }
        (void)engine->patternLine.load();
        (void)engine->SongTimeSeconds();
        std::this_thread::sleep_for(200us);
    }
    for (auto& t : midi) {
        t.join();
    }
    std::this_thread::sleep_for(20ms);
    running = false;
    audio.join();
    EXPECT_GT(callbacks, 0);
    EXPECT_EQ(midiSent, 4000);
    EXPECT_GT(fake.eventCount, 0);
}

TEST_F(EngineConcurrencyTest, RealtimeCallbackGivesUpABufferRatherThanWaitForTheLock) {
    FakePlugin& fake = Install(0);
    fake.outputLeft = fake.outputRight = 0.5f;
    engine->PlayPattern();
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::thread ui([&] {
        EngineLockGuard guard(engine->lock);
        held = true;
        while (!release) {
            std::this_thread::sleep_for(1ms);
        }
    });
    while (!held) {
        std::this_thread::yield();
    }
    std::vector<int16_t> buffer(2 * kCallbackFrames, 123);
    const int blocksBefore = fake.blocks;
    const auto start = std::chrono::steady_clock::now();
    engine->StreamCallback(buffer.data(), true);
    const auto waited = std::chrono::steady_clock::now() - start;
    release = true;
    ui.join();

    EXPECT_LT(waited, 40ms); // well inside the 46 ms a buffer lasts
    EXPECT_EQ(fake.blocks, blocksBefore);
    EXPECT_EQ(engine->LineCounter(), 0); // the sequencer stood still
    for (int16_t s : buffer) {
        ASSERT_EQ(s, 0);
    }
    engine->StreamCallback(buffer.data(), true);
    EXPECT_EQ(buffer[0], 16000);
}

TEST(OutputConcurrencyTest, NullOutputCallsBackAtRealTimePaceUntilStopped) {
    auto output = CreateNullOutput();
    std::atomic<int> calls{0};
    auto callback = [](void* user, int16_t* buffer, int frames, bool) {
        buffer[2 * frames - 1] = 1;
        ++*static_cast<std::atomic<int>*>(user);
    };
    ASSERT_TRUE(output->Open({}, 44100));
    EXPECT_EQ(output->Format().bufferFrames, kCallbackFrames);
    ASSERT_TRUE(output->Start(callback, &calls));
    std::this_thread::sleep_for(300ms);
    output->Stop();
    const int seen = calls;
    // 300 ms hold about six buffers of 46 ms; allow a loaded machine its slack.
    EXPECT_GE(seen, 2);
    EXPECT_LE(seen, 9);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(calls, seen);
}

TEST(MidiQueueConcurrencyTest, TwoProducersLoseNothingWhileTheConsumerDrains) {
    MidiEventQueue queue;
    std::atomic<bool> done{false};
    long popped = 0;
    long sum = 0;
    std::thread consumer([&] {
        QueuedMidiEvent e;
        for (;;) {
            const bool finished = done; // read before popping, so nothing is left behind
            if (queue.Pop(e)) {
                ++popped;
                sum += e.bytes[1];
            } else if (finished) {
                break;
            }
        }
    });
    std::vector<std::thread> producers;
    std::atomic<long> pushed{0};
    std::atomic<long> pushedSum{0};
    for (int id = 0; id < 2; ++id) {
        producers.emplace_back([&] {
            for (int n = 0; n < 20000; ++n) {
                QueuedMidiEvent e;
                e.bytes[1] = uint8_t(n % 100);
                if (queue.Push(e)) {
                    ++pushed;
                    pushedSum += n % 100;
                }
            }
        });
    }
    for (auto& p : producers) {
        p.join();
    }
    done = true;
    consumer.join();
    EXPECT_EQ(popped, pushed);
    EXPECT_EQ(sum, pushedSum);
}

} // namespace
} // namespace vantreel::test
