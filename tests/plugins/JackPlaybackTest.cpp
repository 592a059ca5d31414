// Playing through a real JACK server (the dummy driver, started by the test): what a
// JACK client records from the program's ports is, sample for sample, what the
// offline render of the same song gives, except in periods the server reports as
// xruns. At 48000 Hz the song still renders at 44100 and the reference is converted
// the same way.

#include "JackRecorder.h"
#include "PluginTestSupport.h"
#include "support/JackServer.h"

#include <chrono>
#include <cstring>
#include <set>
#include <thread>

namespace vantreel::test {
namespace {

using namespace std::chrono_literals;

constexpr int kPeriod = 256;
constexpr auto kRecording = 3s;
// Cycles either side of an xrun that may differ: reports arrive late.
constexpr int kXrunSlack = 16;
// After an xrun the stream may have skipped or repeated a few callbacks.
constexpr int kResyncBack = 8;
constexpr int kResyncAhead = 16;

// A busy, changing song for the synthesizer: notes of several pitches on four
// tracks, fast lines, so any lost or repeated period shows.
void SetUpSong(AudioEngine& engine) {
    ASSERT_TRUE(engine.LoadPlugin(0, kSynthName)) << engine.LastPluginError();
    Pattern& pattern = engine.song.slots[0].patterns[0];
    pattern.SetLength(64);
    for (int line = 0; line < 64; line += 2) {
        for (int track = 0; track < 4; ++track) {
            const uint8_t note = uint8_t(40 + (line * 7 + track * 5) % 36);
            pattern.SetCell(line, track, {0x90, note, uint8_t(60 + track * 15), 1});
        }
    }
    engine.song.settings.lineLength = 2205;
    engine.PlayPattern();
}

class JackPlaybackTest : public PluginHostTest, public ::testing::WithParamInterface<int> {
protected:
    // The offline render: the same song through the same feed, device period by
    // device period.
    std::vector<int16_t> Reference(int deviceRate, int64_t periods) {
        engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
        SetFolder(*engine, kOwnPluginDir);
        SetUpSong(*engine);
        EXPECT_TRUE(engine->Feed().Prepare(kDefaultSampleRate, deviceRate, kPeriod));
        std::vector<int16_t> out(size_t(2 * kPeriod * periods));
        for (int64_t p = 0; p < periods; ++p) {
            engine->Feed().Fill(out.data() + 2 * kPeriod * p, kPeriod, false);
        }
        return out;
    }
};

bool SameCycle(const std::vector<int16_t>& reference, int64_t period,
               const std::vector<int16_t>& heard) {
    const size_t at = size_t(2 * kPeriod * period);
    return period >= 0 && at + heard.size() <= reference.size() &&
           std::memcmp(reference.data() + at, heard.data(), heard.size() * sizeof(int16_t)) == 0;
}

bool Silent(const std::vector<int16_t>& frames) {
    for (int16_t s : frames) {
        if (s != 0) {
            return false;
        }
    }
    return true;
}

// Cycles near a change of the xrun count, or near a cycle the server skipped.
std::set<int> ExcusedCycles(const JackRecorder& recorder) {
    std::set<int> excused;
    for (int n = 1; n < recorder.CycleCount(); ++n) {
        const JackRecorder::Cycle& now = recorder.CycleAt(n);
        const JackRecorder::Cycle& before = recorder.CycleAt(n - 1);
        if (now.xruns != before.xruns || now.frameTime - before.frameTime != kPeriod) {
            for (int k = n - kXrunSlack; k <= n + kXrunSlack; ++k) {
                excused.insert(k);
            }
        }
    }
    return excused;
}

int64_t FindPeriod(const std::vector<int16_t>& reference, int64_t from, int64_t to,
                   const std::vector<int16_t>& heard) {
    for (int64_t p = std::max<int64_t>(from, 0); p < to; ++p) {
        if (SameCycle(reference, p, heard)) {
            return p;
        }
    }
    return -1;
}

TEST_P(JackPlaybackTest, RecordingEqualsTheOfflineRender) {
    const int deviceRate = GetParam();
    JackServer jack(deviceRate, kPeriod);
    if (!jack.Running()) {
        GTEST_SKIP() << "no JACK server: " << jack.Problem();
    }
    SetUpSong(*engine);
    const auto opened = std::chrono::steady_clock::now();
    ASSERT_TRUE(engine->ReopenOutput({"jack", "", kPeriod})) << engine->OutputProblem();
    const OutputFormat format = engine->CurrentOutput();
    EXPECT_EQ(format.sampleRate, deviceRate);
    EXPECT_EQ(format.bufferFrames, kPeriod);
    EXPECT_EQ(engine->OutputConverts(), deviceRate != kDefaultSampleRate);

    const int maxCycles = int(deviceRate * 4 / kPeriod);
    JackRecorder recorder(jack.Name(), maxCycles);
    ASSERT_TRUE(recorder.Ok());
    // The program's client carries its name and plays into the system's ports.
    jack_port_t* left = jack_port_by_name(recorder.Client(), "Vantreel:outport 0");
    ASSERT_NE(left, nullptr);
    EXPECT_TRUE(jack_port_connected_to(left, "system:playback_1"));
    ASSERT_TRUE(recorder.ConnectFrom("Vantreel"));
    recorder.Record(true);
    std::this_thread::sleep_for(kRecording);
    recorder.Record(false);
    const double played =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - opened).count();
    engine.reset(); // closes the stream before the reference engine is built

    const int64_t periods = int64_t((played + 1.0) * deviceRate / kPeriod);
    const std::vector<int16_t> reference = Reference(deviceRate, periods);
    const std::set<int> excused = ExcusedCycles(recorder);

    int first = 0;
    while (first < recorder.CycleCount() && Silent(recorder.CycleAt(first).frames)) {
        ++first;
    }
    ASSERT_LT(first, recorder.CycleCount()) << "nothing was heard";
    int64_t expected = -1;
    int matched = 0;
    int mismatched = 0;
    for (int n = first; n < recorder.CycleCount(); ++n) {
        const std::vector<int16_t>& heard = recorder.CycleAt(n).frames;
        if (SameCycle(reference, expected, heard)) {
            ++matched;
            ++expected;
            continue;
        }
        const bool start = expected < 0;
        const int64_t found =
            start ? FindPeriod(reference, 0, periods, heard)
                  : FindPeriod(reference, expected - kResyncBack, expected + kResyncAhead, heard);
        if (found >= 0 && (start || excused.count(n) != 0)) {
            ++matched;
            expected = found + 1;
        } else if (excused.count(n) != 0) {
            ++expected; // an xrun period: the stream carries on after it
        } else {
            ++mismatched;
            ADD_FAILURE() << "cycle " << n << " differs from the offline render";
            if (mismatched > 5) {
                break;
            }
            ++expected;
        }
    }
    const int heardCycles = recorder.CycleCount() - first;
    EXPECT_EQ(mismatched, 0);
    // A loaded machine makes xruns; most of the recording must still be compared.
    EXPECT_GE(matched, heardCycles * 6 / 10)
        << recorder.Xruns() << " xruns in " << heardCycles << " cycles";
    EXPECT_GE(int64_t(matched) * kPeriod, int64_t(deviceRate) * 3 / 2) << "1.5 s at least";
    std::printf("JACK at %d Hz: %d of %d periods equal, %d xruns\n", deviceRate, matched,
                heardCycles, recorder.Xruns());
}

INSTANTIATE_TEST_SUITE_P(SongRateAndConverted, JackPlaybackTest, ::testing::Values(44100, 48000));

} // namespace
} // namespace vantreel::test
