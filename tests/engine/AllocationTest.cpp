// The audio thread must never allocate. This binary replaces the global allocation
// functions so that any allocation made while a test is counting shows up.

#include "EngineFixture.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* CountedAllocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) {
    return CountedAllocate(size);
}
void* operator new[](std::size_t size) {
    return CountedAllocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace vantreel::testing {
namespace {

class AllocationTest : public EngineFixture {
protected:
    void SetUp() override {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            FakePlugin& fake = Install(slot);
            fake.outputLeft = 0.1f;
            engine->song.slots[slot].sendDelay = 30;
            engine->song.slots[slot].sendReverb = 40;
            engine->song.slots[slot].sendChorus = 50;
            Pattern& pattern = engine->song.slots[slot].patterns[0];
            pattern.SetLength(16);
            for (int line = 0; line < 16; ++line) {
                for (int t = 0; t < kTracks; ++t) {
                    pattern.SetCell(line, t, {uint8_t(0x90 + t), uint8_t(40 + line), 100,
                                              uint8_t(line % 2)});
                }
            }
            engine->song.arrangement.Set(0, slot, {0, 0});
            engine->song.arrangement.Set(20, slot, {kPatternCodeBreak, 0});
        }
        engine->song.settings.lineLength = 1000; // many lines per callback
        engine->song.settings.songEnd = 40;
        engine->song.settings.compressor.ratio = 8;
        engine->song.settings.equalizer.peakGain = 6;
    }

    long CountWhileRendering(int callbacks) {
        std::vector<int16_t> buffer(2 * kCallbackFrames);
        allocations = 0;
        counting = true;
        for (int c = 0; c < callbacks; ++c) {
            const uint8_t note[4] = {0x90, uint8_t(c % 128), 64, 0};
            engine->QueueMidiEvent(c % kSlotCount, note);
            engine->StreamCallback(buffer.data(), c % 2 == 0);
        }
        counting = false;
        return allocations;
    }
};

TEST_F(AllocationTest, StreamCallbackAllocatesNothingPlayingAPattern) {
    engine->PlayPattern();
    EXPECT_EQ(CountWhileRendering(40), 0);
}

TEST_F(AllocationTest, StreamCallbackAllocatesNothingPlayingTheSong) {
    engine->PlaySong();
    EXPECT_EQ(CountWhileRendering(40), 0);
}

TEST_F(AllocationTest, StreamCallbackAllocatesNothingWhenEventListsFlood) {
    engine->song.settings.lineLength = 1; // a line every sample floods every list
    engine->PlaySong();
    EXPECT_EQ(CountWhileRendering(4), 0);
    EXPECT_NE(engine->reporter.TakePending(), 0u);
}

} // namespace
} // namespace vantreel::testing
