// Plug-ins and the host's threads: idle asked for on a plug-in's own thread is made on
// the user-interface thread, never after the instance is closed; and a plug-in that
// takes long per block cannot keep a user-interface operation from the lock.

#include "MisbehavingPluginSupport.h"
#include "plugins/HostCallback.h"

#include <chrono>
#include <thread>

namespace vantreel::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class PluginConcurrencyTest : public MisbehavingPluginTest {
protected:
    // Waits until the slot's instance has asked for idle `more` more times.
    void WaitForRequests(const AEffect* effect, int more) {
        const int target = api.counters(effect).hostRequests + more;
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (api.counters(effect).hostRequests < target && Clock::now() < deadline) {
            std::this_thread::sleep_for(milliseconds(1));
        }
        ASSERT_GE(api.counters(effect).hostRequests, target);
    }
};

TEST_F(PluginConcurrencyTest, IdleAskedForOnAPluginsThreadIsMadeOnTheUserInterfaceThreadWhileOpen) {
    misbehaving::Config config;
    config.idleThread = true;
    config.hasEditor = true;
    ASSERT_TRUE(Load(0, config));
    const AEffect* effect = engine->effect[0];
    engine->hostContext.SetEditorOpen(effect, true);
    WaitForRequests(effect, 20);
    EXPECT_EQ(0, api.counters(effect).idleCalls) << "forwarded on the plug-in's thread";
    EXPECT_EQ(0, api.counters(effect).editIdleCalls);

    // The user-interface timer serves what was asked, once however often it was asked.
    engine->hostContext.ServeIdleRequests();
    EXPECT_EQ(1, api.counters(effect).idleCalls);
    EXPECT_EQ(1, api.counters(effect).editIdleCalls);

    engine->hostContext.SetEditorOpen(effect, false);
    WaitForRequests(effect, 10);
    engine->hostContext.ServeIdleRequests();
    EXPECT_EQ(2, api.counters(effect).idleCalls);
    EXPECT_EQ(1, api.counters(effect).editIdleCalls) << "an editor that is closed was idled";

    // Closed: it keeps asking, and nothing reaches it any more.
    engine->UnloadPlugin(0);
    WaitForRequests(effect, 20);
    engine->hostContext.ServeIdleRequests();
    api.stopThreads();
    const misbehaving::Counters seen = api.counters(effect);
    EXPECT_TRUE(seen.closed);
    EXPECT_EQ(0, seen.dispatchesAfterClose);
    EXPECT_EQ(0, seen.dispatchesOnOwnThread);
    EXPECT_EQ(2, seen.idleCalls);
}

// Whatever a closed instance asks, from this thread or another, nothing reaches it.
TEST_F(PluginConcurrencyTest, NothingIsForwardedToAClosedInstance) {
    misbehaving::Config config;
    config.hasEditor = true;
    ASSERT_TRUE(Load(0, config));
    AEffect* effect = engine->effect[0];
    engine->hostContext.SetEditorOpen(effect, true);
    engine->UnloadPlugin(0);
    for (VstInt32 opcode : {audioMasterNeedIdle, audioMasterIdle, audioMasterUpdateDisplay}) {
        HostCallback(effect, opcode, 0, 0, nullptr, 0.0f);
        std::thread([&] { HostCallback(effect, opcode, 0, 0, nullptr, 0.0f); }).join();
    }
    engine->hostContext.ServeIdleRequests();
    const misbehaving::Counters seen = api.counters(effect);
    EXPECT_TRUE(seen.closed);
    EXPECT_EQ(0, seen.dispatchesAfterClose);
    EXPECT_EQ(0, seen.idleCalls);
}

TEST_F(PluginConcurrencyTest, StopGetsTheLockWithinOneCallbackHoweverLongThePluginTakes) {
    constexpr int kMillisecondsPerBlock = 200;
    constexpr int kStops = 2;
    misbehaving::Config slow;
    slow.millisecondsPerBlock = kMillisecondsPerBlock;
    ASSERT_TRUE(Load(0, slow));
    const AEffect* effect = engine->effect[0];
    engine->PlayPattern();

    // The output layer's thread: callback after callback, as a device that has fallen
    // behind asks for them.
    std::atomic<bool> running{true};
    std::atomic<int64_t> longestCallback{0}; // microseconds
    std::thread audio([&] {
        std::vector<int16_t> buffer(2 * kCallbackFrames);
        while (running.load()) {
            const auto start = Clock::now();
            engine->StreamCallback(buffer.data(), true);
            const int64_t took =
                std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
            longestCallback.store(std::max(longestCallback.load(), took));
        }
    });
    int64_t longestStop = 0;
    for (int stop = 0; stop < kStops; ++stop) {
        std::this_thread::sleep_for(milliseconds(3 * kMillisecondsPerBlock / 2)); // mid-callback
        const int blocksBefore = api.counters(effect).blocks;
        const auto start = Clock::now();
        engine->StopPlayback();
        const int64_t took =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        // Only the callback already running finished before Stop had the lock.
        EXPECT_LE(api.counters(effect).blocks - blocksBefore, kBlocksPerCallback) << stop;
        longestStop = std::max(longestStop, took);
        engine->PlayPattern();
    }
    running.store(false);
    audio.join();
    EXPECT_GE(longestCallback.load(), int64_t(kBlocksPerCallback) * kMillisecondsPerBlock * 1000);
    EXPECT_LE(longestStop, longestCallback.load() + 50 * 1000);
}

} // namespace
} // namespace vantreel::test
