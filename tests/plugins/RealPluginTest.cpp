// Third-party plug-ins as a user has them (Debian's dpf-plugins-vst), played through
// the sequencer: they load, sound while a note is held, fall silent after its
// release, and close cleanly; and the same while the audio runs on its own thread.

#include "PluginTestSupport.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>

namespace vantreel::test {
namespace {

constexpr const char* kKars = "Kars-vst.so";
constexpr const char* kNekobi = "Nekobi-vst.so";
constexpr uint8_t kNote = 48;
constexpr int kNoteOffLine = 2;
constexpr int kQuietSample = 2; // what rounding leaves of silence

class RealPluginTest : public PluginHostTest {
protected:
    void SetUp() override {
        PluginHostTest::SetUp();
        if (!IsInstalled(kKars) || !IsInstalled(kNekobi)) {
            GTEST_SKIP() << "dpf-plugins-vst is not installed in " << kSystemPluginDir;
        }
        SetFolder(*engine, kSystemPluginDir);
    }

    static bool IsInstalled(const char* name) {
        return std::filesystem::exists(kSystemPluginDir + "/" + name);
    }

    // A note on line 0 of the slot's first pattern, released on kNoteOffLine, played
    // as the current pattern.
    void PlayOneNote(int slot) {
        engine->editor.currentSlot = slot;
        engine->editor.currentPattern = 0;
        Pattern& pattern = engine->song.slots[slot].patterns[0];
        pattern.SetCell(0, 0, {0x90, kNote, 100, 0});
        pattern.SetCell(kNoteOffLine, 0, {kStatusNoteOff, 0, 0, 0});
        engine->PlayPattern();
    }

    static int Peak(const std::vector<int16_t>& samples, size_t firstFrame, size_t lastFrame) {
        int peak = 0;
        for (size_t i = firstFrame * 2; i < std::min(lastFrame * 2, samples.size()); ++i) {
            peak = std::max(peak, std::abs(int(samples[i])));
        }
        return peak;
    }

    // Plays one note on the slot for three seconds and checks that it sounds before
    // its note-off and is silent once its release is over.
    void ExpectNoteSoundsThenStops(int slot) {
        PlayOneNote(slot);
        const int callbacks = 3 * kDefaultSampleRate / kCallbackFrames;
        const std::vector<int16_t> out = Render(callbacks);
        const size_t noteOff = size_t(kNoteOffLine) * engine->song.settings.lineLength;
        const size_t lastFrame = size_t(callbacks) * kCallbackFrames;
        EXPECT_GT(Peak(out, 0, noteOff), 1000) << "the held note is silent";
        EXPECT_LE(Peak(out, lastFrame - kDefaultSampleRate / 2, lastFrame), kQuietSample)
            << "the note still sounds two seconds after its release";
        engine->StopPlayback();
    }
};

TEST_F(RealPluginTest, KarsAndNekobiPlayTheirNotesAndStop) {
    ASSERT_TRUE(engine->LoadPlugin(0, kKars)) << engine->LastPluginError();
    ASSERT_TRUE(engine->LoadPlugin(1, kNekobi)) << engine->LastPluginError();
    EXPECT_EQ(engine->effect[0]->magic, kEffectMagic);

    ExpectNoteSoundsThenStops(0);
    ExpectNoteSoundsThenStops(1);

    engine->UnloadPlugin(0);
    engine->UnloadPlugin(1);
    EXPECT_EQ(SlotName(*engine, 0), "Not instanced");
    for (int16_t sample : Render(2)) {
        ASSERT_EQ(sample, 0);
    }
}

TEST_F(RealPluginTest, TheSameRealPluginInTwoSlotsPlaysTwice) {
    ASSERT_TRUE(engine->LoadPlugin(0, kKars));
    ASSERT_TRUE(engine->LoadPlugin(1, kKars));
    ASSERT_NE(engine->effect[0], engine->effect[1]);
    ExpectNoteSoundsThenStops(1);
    ExpectNoteSoundsThenStops(0);
}

// The audio thread renders without pause while the user-interface thread loads,
// plays, closes and reloads plug-ins: the lock and the instanced flag must keep the
// two apart (the thread sanitizer checks what the assertions cannot).
TEST_F(RealPluginTest, ConcurrencyLoadingWhileTheAudioThreadRenders) {
    ASSERT_TRUE(engine->LoadPlugin(0, kNekobi));
    PlayOneNote(0);
    std::atomic<bool> stop{false};
    std::atomic<int> rendered{0};
    std::thread audio([&] {
        std::vector<int16_t> buffer(2 * kCallbackFrames);
        while (!stop) {
            engine->StreamCallback(buffer.data(), true);
            ++rendered;
        }
    });
    for (int round = 0; round < 6; ++round) {
        ASSERT_TRUE(engine->LoadPlugin(1, round % 2 ? kKars : kNekobi));
        engine->song.slots[1].patterns[0].SetCell(1, 0, {0x90, uint8_t(kNote + round), 90, 0});
        const int seen = rendered;
        while (rendered < seen + 2) {
            std::this_thread::yield();
        }
        engine->UnloadPlugin(1);
    }
    stop = true;
    audio.join();
    engine->StopPlayback();
    EXPECT_FALSE(engine->song.slots[1].IsInstanced());
    EXPECT_TRUE(engine->song.slots[0].IsInstanced());
}

} // namespace
} // namespace vantreel::test
