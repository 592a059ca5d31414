#include "effects/ReverbModel.h"

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
    for (int i = 0; i < frames; ++i) {
        // Both networks hear the sum of the channels.
        const float input = (inputLeft[i] + inputRight[i]) * gain;
        float accLeft = 0.0f;
        float accRight = 0.0f;
        for (int k = 0; k < kCombCount; ++k) {
            accLeft += combs[kLeft][k].Process(input);
            accRight += combs[kRight][k].Process(input);
        }
        for (int k = 0; k < kAllpassCount; ++k) {
            accLeft = allpasses[kLeft][k].Process(accLeft);
            accRight = allpasses[kRight][k].Process(accRight);
        }
        outputLeft[i] = accLeft * wet1 + accRight * wet2;
        outputRight[i] = accLeft * wet2 + accRight * wet1;
    }
}

} // namespace vantreel
