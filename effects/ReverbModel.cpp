#include "effects/ReverbModel.h"

#include <algorithm>

namespace vantreel {

using namespace reverb;

namespace {
constexpr int kLeft = 0;
constexpr int kRight = 1;
} // namespace

ReverbModel::ReverbModel() {
    float* next = memory.data();
    for (int channel = kLeft; channel <= kRight; ++channel) {
        for (int k = 0; k < kCombCount; ++k) {
            combs[channel][k].SetBuffer(next, CombLength(channel, k));
            next += CombLength(channel, k);
        }
        for (int k = 0; k < kAllpassCount; ++k) {
            allpasses[channel][k].SetBuffer(next, AllpassLength(channel, k));
            allpasses[channel][k].SetFeedback(kAllpassFeedback);
            next += AllpassLength(channel, k);
        }
    }
    SetWet(kInitialWet);
    SetRoomSize(kInitialRoom);
    SetDamp(kInitialDamp);
    SetWidth(kInitialWidth);
    SetMode(kInitialMode);
    Mute();
}

void ReverbModel::SetWet(float value) {
    wet = value * kScaleWet;
    Update();
}

void ReverbModel::SetRoomSize(float value) {
    roomsize = value * kScaleRoom + kOffsetRoom;
    Update();
}

void ReverbModel::SetDamp(float value) {
    damp = value * kScaleDamp;
    Update();
}

void ReverbModel::SetWidth(float value) {
    width = value;
    Update();
}

void ReverbModel::SetMode(float value) {
    mode = value;
    Update();
}

float ReverbModel::Mode() const {
    return mode >= kFreezeMode ? 1.0f : 0.0f;
}

void ReverbModel::Mute() {
    if (Mode() >= kFreezeMode) {
        return;
    }
    memory.fill(0.0f);
}

void ReverbModel::Update() {
    wet1 = wet * (0.5f + 0.5f * width);
    wet2 = wet * 0.5f * (1.0f - width);
    if (mode >= kFreezeMode) {
        // Frozen: no new input, and the combs recirculate without loss.
        roomsize1 = 1.0f;
        damp1 = 0.0f;
        gain = kMuted;
    } else {
        roomsize1 = roomsize;
        damp1 = damp;
        gain = kFixedGain;
    }
    for (auto& channel : combs) {
        for (CombFilter& comb : channel) {
            comb.SetFeedback(roomsize1);
            comb.SetDamp(damp1);
        }
    }
}

void ReverbModel::Process(const float* inputLeft, const float* inputRight, float* outputLeft,
                          float* outputRight, int frames) {
    for (int start = 0; start < frames; start += kChunkFrames) {
        ProcessChunk(inputLeft + start, inputRight + start, outputLeft + start, outputRight + start,
                     std::min(kChunkFrames, frames - start));
    }
}

// The per-sample model, reordered: every filter line is longer than a chunk, so the
// line reads and writes of a whole chunk run as plain loops, and only the combs'
// damping remains a recursion, run for all sixteen combs side by side. Each sample
// sees the same operations in the same order as in CombFilter::Process and
// AllpassFilter::Process.
void ReverbModel::ProcessChunk(const float* inputLeft, const float* inputRight, float* outputLeft,
                               float* outputRight, int frames) {
    constexpr int kCombs = 2 * kCombCount;
    // The combs of both channels as one list, left first.
    CombFilter* flatCombs[kCombs];
    for (int k = 0; k < kCombs; ++k) {
        flatCombs[k] = &combs[k / kCombCount][k % kCombCount];
    }
    alignas(FloatLanes) float input[kChunkFrames];
    for (int i = 0; i < frames; ++i) {
        // Both networks hear the sum of the channels.
        input[i] = (inputLeft[i] + inputRight[i]) * gain;
    }
    std::fill(input + frames, input + kChunkFrames, 0.0f);

    // The chunk rounded up to whole vectors; the extra frames are zeros, computed
    // and never stored.
    const int padded = (frames + kLaneCount - 1) / kLaneCount * kLaneCount;
    alignas(FloatLanes) float outputs[kCombs][kChunkFrames];
    alignas(FloatLanes) float store[kCombs];
    alignas(FloatLanes) float damp1s[kCombs];
    alignas(FloatLanes) float damp2s[kCombs];
    for (int k = 0; k < kCombs; ++k) {
        const CombFilter& comb = *flatCombs[k];
        comb.ReadBlock(outputs[k], frames);
        std::fill(outputs[k] + frames, outputs[k] + padded, 0.0f);
        store[k] = comb.FilterStore();
        damp1s[k] = comb.Damp();
        damp2s[k] = comb.Damp2();
    }
    // The damping runs four combs to a vector, so it needs the outputs by frame:
    // rows[i][g] holds frame i of combs 4g..4g+3, first the damped output, then the
    // new filter state.
    constexpr int kGroups = kCombs / kLaneCount;
    FloatLanes rows[kChunkFrames][kGroups];
    for (int g = 0; g < kGroups; ++g) {
        const int k = g * kLaneCount;
        for (int i = 0; i < padded; i += kLaneCount) {
            FloatLanes r0 = LoadLanes(&outputs[k][i]) * damp2s[k];
            FloatLanes r1 = LoadLanes(&outputs[k + 1][i]) * damp2s[k + 1];
            FloatLanes r2 = LoadLanes(&outputs[k + 2][i]) * damp2s[k + 2];
            FloatLanes r3 = LoadLanes(&outputs[k + 3][i]) * damp2s[k + 3];
            Transpose(r0, r1, r2, r3);
            rows[i][g] = r0;
            rows[i + 1][g] = r1;
            rows[i + 2][g] = r2;
            rows[i + 3][g] = r3;
        }
    }
    FloatLanes state[kGroups];
    FloatLanes damp1[kGroups];
    for (int g = 0; g < kGroups; ++g) {
        state[g] = LoadLanes(&store[kLaneCount * g]);
        damp1[g] = LoadLanes(&damp1s[kLaneCount * g]);
    }
    for (int i = 0; i < frames; ++i) {
        for (int g = 0; g < kGroups; ++g) {
            state[g] = FlushDenormalLanes(rows[i][g] + state[g] * damp1[g]);
            rows[i][g] = state[g];
        }
    }
    for (int g = 0; g < kGroups; ++g) {
        StoreLanes(&store[kLaneCount * g], state[g]);
    }
    // Back to one line per comb: what each writes is the input plus its fed-back state.
    alignas(FloatLanes) float line[kLaneCount][kChunkFrames];
    for (int g = 0; g < kGroups; ++g) {
        const int k = g * kLaneCount;
        for (int i = 0; i < padded; i += kLaneCount) {
            FloatLanes r0 = rows[i][g];
            FloatLanes r1 = rows[i + 1][g];
            FloatLanes r2 = rows[i + 2][g];
            FloatLanes r3 = rows[i + 3][g];
            Transpose(r0, r1, r2, r3);
            const FloatLanes in = LoadLanes(&input[i]);
            StoreLanes(&line[0][i], in + r0 * flatCombs[k]->Feedback());
            StoreLanes(&line[1][i], in + r1 * flatCombs[k + 1]->Feedback());
            StoreLanes(&line[2][i], in + r2 * flatCombs[k + 2]->Feedback());
            StoreLanes(&line[3][i], in + r3 * flatCombs[k + 3]->Feedback());
        }
        for (int j = 0; j < kLaneCount; ++j) {
            flatCombs[k + j]->WriteBlock(line[j], frames, store[k + j]);
        }
    }

    float acc[2][kChunkFrames];
    for (int channel = kLeft; channel <= kRight; ++channel) {
        float* sum = acc[channel];
        const float(*out)[kChunkFrames] = &outputs[channel * kCombCount];
        for (int i = 0; i < frames; ++i) {
            float value = 0.0f;
            for (int k = 0; k < kCombCount; ++k) {
                value += out[k][i];
            }
            sum[i] = value;
        }
        for (int k = 0; k < kAllpassCount; ++k) {
            allpasses[channel][k].ProcessBlock(sum, frames);
        }
    }
    for (int i = 0; i < frames; ++i) {
        outputLeft[i] = acc[kLeft][i] * wet1 + acc[kRight][i] * wet2;
        outputRight[i] = acc[kLeft][i] * wet2 + acc[kRight][i] * wet1;
    }
}

} // namespace vantreel
