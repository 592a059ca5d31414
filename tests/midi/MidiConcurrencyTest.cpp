// Two MIDI input threads feeding the recorder while the audio thread renders and the
// user interface edits the same pattern: run under ThreadSanitizer in CI. Nothing may
// be lost while fewer events wait than one block can take.

#include "editors/PatternClipboard.h"
#include "engine/EngineFixture.h"
#include "midi/MidiRecorder.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace vantreel::test {
namespace {

using namespace std::chrono_literals;

std::atomic<int> repaints{0};
void CountRepaint() {
    repaints.fetch_add(1, std::memory_order_relaxed);
}

class MidiConcurrencyTest : public EngineFixture {};

TEST_F(MidiConcurrencyTest, TwoInputsRecordWhileTheEngineRendersAndTheUserEdits) {
    constexpr int kInputs = 2;
    constexpr int kRounds = 40;
    constexpr int kPerRound = 16; // both inputs' rounds together stay below 64 per block
    FakePlugin& fake = Install(0);
    engine->editor.editMode = 1;
    MidiRecorder recorder(*engine, &CountRepaint);
    PatternClipboard clipboard(*engine);

    std::atomic<bool> running{true};
    std::atomic<int> delivered{0};
    std::thread audio([&] {
        std::vector<int16_t> buffer(2 * kCallbackFrames);
        while (running) {
            engine->StreamCallback(buffer.data(), false);
            delivered.store(fake.eventCount); // the fake's log is the audio thread's own
        }
    });

    std::atomic<bool> stalled{false};
    std::vector<std::thread> inputs;
    for (int input = 0; input < kInputs; ++input) {
        inputs.emplace_back([&, input] {
            for (int round = 0; round < kRounds && !stalled; ++round) {
                for (int n = 0; n < kPerRound; ++n) {
                    const uint8_t note = uint8_t((round * kPerRound + n) % 128);
                    recorder.Receive(EventCell{uint8_t(0x90 + input), note, 100, 0}.Pack());
                }
                // Wait for the block that takes both inputs' round.
                const int expected = (round + 1) * kPerRound * kInputs;
                const auto deadline = std::chrono::steady_clock::now() + 10s;
                while (delivered.load() < expected && !stalled) {
                    if (std::chrono::steady_clock::now() > deadline) {
                        stalled = true;
                    }
                    std::this_thread::yield();
                }
            }
        });
    }

    // The user interface: moves the cursor, types into cells, pastes under the lock.
    clipboard.PatternCopy();
    for (int n = 0; n < 200 && !stalled; ++n) {
        engine->editor.cursorLine = n % 64;
        engine->editor.cursorTrack = n % kTracks;
        engine->CurrentPattern().SetCell(n % 64, (n + 1) % kTracks, {0x91, uint8_t(n % 100), 3, 0});
        if (n % 20 == 0) {
            clipboard.PatternPaste();
        }
        (void)engine->CurrentPattern().Cell(n % 64, n % kTracks);
        std::this_thread::sleep_for(100us);
    }
    for (std::thread& input : inputs) {
        input.join();
    }
    running = false;
    audio.join();

    ASSERT_FALSE(stalled) << "events were lost: " << delivered << " delivered";
    EXPECT_EQ(fake.eventCount, kInputs * kRounds * kPerRound);
    int perInput[kInputs] = {};
    for (int n = 0; n < fake.eventCount; ++n) {
        const int input = fake.events[n].bytes[0] - 0x90;
        ASSERT_TRUE(input >= 0 && input < kInputs);
        ++perInput[input];
        EXPECT_EQ(fake.events[n].deltaFrames, 0);
    }
    EXPECT_EQ(perInput[0], kRounds * kPerRound);
    EXPECT_EQ(perInput[1], kRounds * kPerRound);
    EXPECT_GT(repaints.load(), 0);
}

} // namespace
} // namespace vantreel::test
