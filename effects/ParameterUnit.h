#pragma once
// Effect, send and compressor settings are small integers on a 0..128 scale.

namespace vantreel {

constexpr float kParameterUnit = 0.0078125f; // 1/128: a setting of 128 means 1.0
constexpr int kParameterMax = 128;

} // namespace vantreel
