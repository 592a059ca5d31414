#pragma once
// The synthesizer's programs: eight named sets of parameter values, one of them
// current, and the bank chunk that saves and restores them all.

#include "testplugins/common/PluginExport.h"
#include "testplugins/synth/SynthParameters.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace vantreel::synth {

constexpr int kProgramCount = 8;
// Magic, version, program count, parameter count, current program; then per program
// its name and its values as float32.
constexpr std::size_t kBankChunkSize =
    5 * 4 + kProgramCount * (plugintext::kProgramNameLength + kParameterCount * 4);

// Values are atomics because the audio thread reads them while the user interface
// sets them; names and the chunk buffer belong to the user-interface thread alone.
class ProgramBank {
public:
    ProgramBank(); // the factory programs, program 0 current

    int Current() const { return current.load(std::memory_order_relaxed); }
    void Select(int program); // out-of-range numbers are ignored

    // Parameters of the current program. Any thread.
    float Value(int parameter) const;
    void SetValue(int parameter, float value);

    const char* Name(int program) const; // "" out of range
    void SetName(int program, const char* name);
    const char* CurrentName() const { return Name(Current()); }

    // The bank as a chunk; the pointer stays valid until the next call.
    std::size_t SaveBank(const void** data);
    // Restores a bank chunk; one of another size or shape is ignored: false.
    bool LoadBank(const void* data, std::size_t size);

private:
    struct Program {
        char name[plugintext::kProgramNameLength + 1] = {};
        std::array<std::atomic<float>, kParameterCount> values{};
    };
    std::array<Program, kProgramCount> programs;
    std::atomic<int> current{0};
    std::array<uint8_t, kBankChunkSize> chunk{};
};

} // namespace vantreel::synth
