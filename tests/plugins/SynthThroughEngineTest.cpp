// Our synthesizer hosted like any plug-in: loaded from our plug-in folder, driven by
// the sequencer, it sounds at the pitch of the MIDI note in the pattern.

#include "PluginTestSupport.h"

#include <cmath>

namespace vantreel::test {
namespace {

// The lag (in frames) at which the left channel best matches itself, searched over
// the periods of 50 Hz to 2 kHz: the period of the note.
double PeriodFrames(const std::vector<int16_t>& interleaved, size_t first, size_t count,
                    int sampleRate) {
    std::vector<double> x(count);
    for (size_t i = 0; i < count; ++i) {
        x[i] = interleaved[(first + i) * 2];
    }
    const size_t shortest = size_t(sampleRate / 2000);
    const size_t longest = size_t(sampleRate / 50);
    std::vector<double> score(longest + 2, 0.0);
    for (size_t lag = shortest; lag <= longest + 1; ++lag) {
        double sum = 0.0;
        double energy = 0.0;
        for (size_t i = 0; i + lag < count; ++i) {
            sum += x[i] * x[i + lag];
            energy += 0.5 * (x[i] * x[i] + x[i + lag] * x[i + lag]);
        }
        score[lag] = energy > 0.0 ? sum / energy : 0.0;
    }
    // The first lag close to the best one: a multiple of the period scores as well.
    double best = 0.0;
    for (size_t lag = shortest; lag <= longest; ++lag) {
        best = std::max(best, score[lag]);
    }
    for (size_t lag = shortest + 1; lag <= longest; ++lag) {
        if (score[lag] >= 0.9 * best && score[lag] >= score[lag - 1] &&
            score[lag] >= score[lag + 1]) {
            // Parabolic interpolation between the neighbouring lags.
            const double a = score[lag - 1], b = score[lag], c = score[lag + 1];
            const double denominator = a - 2 * b + c;
            return lag + (denominator != 0.0 ? 0.5 * (a - c) / denominator : 0.0);
        }
    }
    return 0.0;
}

using SynthThroughEngineTest = PluginHostTest;

TEST_F(SynthThroughEngineTest, RenderedNotesHaveThePitchOfTheirMidiNote) {
    ASSERT_TRUE(engine->LoadPlugin(0, kSynthName)) << engine->LastPluginError();
    const int rate = engine->song.settings.sampleRate;
    for (uint8_t note : {45, 57, 69, 76}) {
        SCOPED_TRACE(int(note));
        engine->StopPlayback();
        Render(4); // let the previous note die away
        engine->song.slots[0].patterns[0].SetCell(0, 0, {0x90, note, 110, 0});
        engine->PlayPattern();
        const std::vector<int16_t> out = Render(4);
        // Well inside the first line, past the attack.
        const double period = PeriodFrames(out, 2048, 2048, rate);
        ASSERT_GT(period, 0.0) << "no pitch found";
        const double expected = 440.0 * std::pow(2.0, (note - 69) / 12.0);
        EXPECT_NEAR(rate / period, expected, expected * 0.01);
    }
}

} // namespace
} // namespace vantreel::test
