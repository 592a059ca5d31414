#include "testplugins/synth/Programs.h"

#include "testplugins/common/ChunkBytes.h"

#include <algorithm>
#include <cmath>

namespace vantreel::synth {

namespace {

constexpr uint32_t kBankMagic = 0x56745342; // 'VtSB'
constexpr uint32_t kBankVersion = 1;

struct FactoryProgram {
    const char* name;
    float values[kParameterCount]; // in parameter order
};

//   Waveform, Attack, Decay, Sustain, Release, Cutoff, Detune, Volume
constexpr FactoryProgram kFactory[kProgramCount] = {
    {"Init Saw", {0.0f, 0.05f, 0.3f, 0.7f, 0.2f, 1.0f, 0.0f, 0.8f}},
    {"Soft Square", {0.5f, 0.1f, 0.3f, 0.6f, 0.3f, 0.7f, 0.1f, 0.8f}},
    {"Sine Bell", {1.0f, 0.0f, 0.5f, 0.0f, 0.4f, 1.0f, 0.0f, 0.8f}},
    {"Warm Pad", {0.0f, 0.5f, 0.5f, 0.8f, 0.5f, 0.6f, 0.4f, 0.7f}},
    {"Pluck", {0.5f, 0.0f, 0.25f, 0.0f, 0.2f, 0.55f, 0.0f, 0.8f}},
    {"Detuned Lead", {0.0f, 0.02f, 0.2f, 0.8f, 0.2f, 0.8f, 0.6f, 0.75f}},
    {"Organ", {1.0f, 0.02f, 0.1f, 1.0f, 0.1f, 1.0f, 0.2f, 0.7f}},
    {"Dark Bass", {0.0f, 0.0f, 0.3f, 0.6f, 0.1f, 0.4f, 0.1f, 0.85f}},
};

bool ValidParameter(int index) {
    return index >= 0 && index < kParameterCount;
}
bool ValidProgram(int index) {
    return index >= 0 && index < kProgramCount;
}

} // namespace

ProgramBank::ProgramBank() {
    for (int p = 0; p < kProgramCount; ++p) {
        SetName(p, kFactory[p].name);
        for (int k = 0; k < kParameterCount; ++k) {
            programs[p].values[k].store(kFactory[p].values[k], std::memory_order_relaxed);
        }
    }
}

void ProgramBank::Select(int program) {
    if (ValidProgram(program)) {
        current.store(program, std::memory_order_relaxed);
    }
}

float ProgramBank::Value(int parameter) const {
    if (!ValidParameter(parameter)) {
        return 0.0f;
    }
    return programs[Current()].values[parameter].load(std::memory_order_relaxed);
}

void ProgramBank::SetValue(int parameter, float value) {
    if (!ValidParameter(parameter) || std::isnan(value)) {
        return;
    }
    programs[Current()].values[parameter].store(std::clamp(value, 0.0f, 1.0f),
                                                std::memory_order_relaxed);
}

const char* ProgramBank::Name(int program) const {
    return ValidProgram(program) ? programs[program].name : "";
}

void ProgramBank::SetName(int program, const char* name) {
    if (ValidProgram(program) && name != nullptr) {
        plugintext::CopyText(programs[program].name, name, plugintext::kProgramNameLength);
    }
}

std::size_t ProgramBank::SaveBank(const void** data) {
    chunkbytes::ChunkWriter out(chunk.data(), chunk.size());
    out.U32(kBankMagic);
    out.U32(kBankVersion);
    out.U32(kProgramCount);
    out.U32(kParameterCount);
    out.U32(static_cast<uint32_t>(Current()));
    for (const Program& program : programs) {
        out.Text(program.name, plugintext::kProgramNameLength);
        for (const auto& value : program.values) {
            out.F32(value.load(std::memory_order_relaxed));
        }
    }
    *data = chunk.data();
    return out.Size();
}

bool ProgramBank::LoadBank(const void* data, std::size_t size) {
    if (data == nullptr || size != kBankChunkSize) {
        return false;
    }
    chunkbytes::ChunkReader in(static_cast<const uint8_t*>(data), size);
    if (in.U32() != kBankMagic || in.U32() != kBankVersion || in.U32() != kProgramCount ||
        in.U32() != kParameterCount) {
        return false;
    }
    uint32_t savedCurrent = in.U32();
    if (savedCurrent >= kProgramCount) {
        return false;
    }
    // Everything is read and checked before anything changes, so a bad chunk leaves
    // the programs as they were.
    char names[kProgramCount][plugintext::kProgramNameLength + 1];
    float values[kProgramCount][kParameterCount];
    for (int p = 0; p < kProgramCount; ++p) {
        in.Text(names[p], plugintext::kProgramNameLength);
        for (float& value : values[p]) {
            value = in.F32();
            if (!(value >= 0.0f && value <= 1.0f)) {
                return false;
            }
        }
    }
    if (!in.Ok()) {
        return false;
    }
    for (int p = 0; p < kProgramCount; ++p) {
        SetName(p, names[p]);
        for (int k = 0; k < kParameterCount; ++k) {
            programs[p].values[k].store(values[p][k], std::memory_order_relaxed);
        }
    }
    Select(static_cast<int>(savedCurrent));
    return true;
}

} // namespace vantreel::synth
