#pragma once
// The command line of vantreel-render. Scripts rely on it: keep it as it is.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantreel::render {

extern const char* const kUsage;

enum class OutputFormat { Wav, Flac };

struct RenderOptions {
    std::string project;
    std::string output;
    OutputFormat format = OutputFormat::Wav;
    std::string pluginDir; // empty: the search path alone
    bool patternMode = false;
    int slot = 0;
    int pattern = 0;
    int start = 0;                // song mode: the first arrangement line
    std::optional<int64_t> lines; // exclusive with seconds
    std::optional<double> seconds;
    double tail = 0.0;
    bool quiet = false;
    std::optional<int> threads; // render threads; unset: one per core
};

enum class ParseOutcome { Render, Help, UsageError };

struct ParsedCommandLine {
    ParseOutcome outcome = ParseOutcome::UsageError;
    RenderOptions options;
    std::string error; // for UsageError
};

// `args` without the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

} // namespace vantreel::render
