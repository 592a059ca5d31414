// The engine behind a running output: how soon a key is heard, and what happens when
// the chosen output cannot be opened.

#include "PluginTestSupport.h"

#include <chrono>
#include <thread>

namespace vantreel::test {
namespace {

using namespace std::chrono_literals;

class LiveOutputTest : public PluginHostTest {
protected:
    probe::ProbeLog* log = nullptr;

    void SetUp() override {
        PluginHostTest::SetUp();
        EngineLockGuard guard(engine->lock); // nothing renders a half-loaded slot
        ASSERT_TRUE(engine->LoadPlugin(0, kProbeName)) << engine->LastPluginError();
        log = LogOf(0);
    }

    // Waits until the probe has processed `count` more blocks.
    bool WaitForBlocks(int count) {
        const int target = log->processCount.load() + count;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (log->processCount.load() < target) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
};

TEST_F(LiveOutputTest, AKeyIsHeardInTheFirstBlockOfTheNextCallback) {
    engine.reset();
    // A fresh engine with a 256-frame stream running, the probe loaded meanwhile.
    engine = std::make_unique<AudioEngine>(OutputMode::Paced, OutputChoice{"", "", 256});
    SetFolder(*engine, kOwnPluginDir);
    {
        EngineLockGuard guard(engine->lock);
        ASSERT_TRUE(engine->LoadPlugin(0, kProbeName)) << engine->LastPluginError();
    }
    log = LogOf(0);
    EXPECT_EQ(engine->CurrentOutput().bufferFrames, 256);
    ASSERT_TRUE(WaitForBlocks(4));
    for (int key = 0; key < 5; ++key) {
        const int before = log->processCount.load();
        const uint8_t note[4] = {0x90, uint8_t(60 + key), 100, 0};
        engine->QueueMidiEvent(0, note);
        const int after = log->processCount.load();
        ASSERT_TRUE(WaitForBlocks(3));
        const std::vector<probe::EventRecord> events = log->events.Snapshot();
        ASSERT_EQ(events.size(), size_t(key + 1));
        const probe::EventRecord& heard = events.back();
        // One block per callback: the block after the one under way at the most.
        EXPECT_GE(heard.block, before);
        EXPECT_LE(heard.block, after + 1);
        EXPECT_EQ(heard.deltaFrames, 0);
        EXPECT_EQ(uint8_t(heard.midiData[1]), 60 + key);
    }
}

TEST_F(LiveOutputTest, AnOutputThatCannotOpenSaysWhyAndTheNullOutputPlays) {
    engine->song.slots[0].patterns[0].SetCell(0, 0, {0x90, 60, 100, 0});
    engine->PlayPattern();
    EXPECT_FALSE(engine->ReopenOutput({"no-such-system", "", 512}));
    EXPECT_NE(engine->OutputProblem().find("no-such-system"), std::string::npos)
        << engine->OutputProblem();
    EXPECT_EQ(engine->CurrentOutput().system, "null output");
    EXPECT_EQ(engine->CurrentOutput().bufferFrames, 512);
    // The plug-in stays loaded and the song goes on.
    ASSERT_TRUE(engine->song.slots[0].IsInstanced());
    ASSERT_TRUE(WaitForBlocks(4));
    EXPECT_FALSE(log->events.Snapshot().empty());

    EXPECT_FALSE(engine->ReopenOutput({"alsa", "no such device", 256}));
    EXPECT_FALSE(engine->OutputProblem().empty());
    EXPECT_EQ(engine->CurrentOutput().bufferFrames, 256);
    ASSERT_TRUE(WaitForBlocks(4));
}

} // namespace
} // namespace vantreel::test
