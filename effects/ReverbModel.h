#pragma once
// Stereo reverberator: per channel, eight parallel damped combs feed four allpasses
// in series; a width control cross-mixes the two networks. No dry path. All filter
// memory lives inside the object. Audio thread only.

#include "effects/AllpassFilter.h"
#include "effects/CombFilter.h"
#include "effects/ReverbTuning.h"

#include <array>

namespace vantreel {

class ReverbModel {
public:
    ReverbModel();
    // The filters point into this object's own memory.
    ReverbModel(const ReverbModel&) = delete;
    ReverbModel& operator=(const ReverbModel&) = delete;

    // Values on a 0..1 scale; each setter recomputes the derived values.
    void SetWet(float value);
    void SetRoomSize(float value);
    void SetDamp(float value);
    void SetWidth(float value);
    void SetMode(float value); // 0.5 or more freezes the tail

    float Wet() const { return wet; }
    float Wet1() const { return wet1; }
    float Wet2() const { return wet2; }
    float RoomSize() const { return roomsize; }
    float DampValue() const { return damp; }
    float Width() const { return width; }
    float Mode() const; // 1.0 when frozen, else 0.0

    // Clears the tail, unless frozen.
    void Mute();

    // The inputs and outputs may be the same buffers.
    void Process(const float* inputLeft, const float* inputRight, float* outputLeft,
                 float* outputRight, int frames);

private:
    // Process works in chunks no longer than the shortest filter line.
    static constexpr int kChunkFrames = 128;
    static_assert(kChunkFrames <= reverb::kAllpassTuningLeft[reverb::kAllpassCount - 1] &&
                  kChunkFrames <= reverb::kCombTuningLeft[0]);

    void Update();
    void ProcessChunk(const float* inputLeft, const float* inputRight, float* outputLeft,
                      float* outputRight, int frames);

    float gain = 0.0f;
    float roomsize = 0.0f;
    float roomsize1 = 0.0f;
    float damp = 0.0f;
    float damp1 = 0.0f;
    float wet = 0.0f;
    float wet1 = 0.0f;
    float wet2 = 0.0f;
    float width = 0.0f;
    float mode = 0.0f;
    CombFilter combs[2][reverb::kCombCount];
    AllpassFilter allpasses[2][reverb::kAllpassCount];
    std::array<float, reverb::MemorySize()> memory{};
};

} // namespace vantreel
