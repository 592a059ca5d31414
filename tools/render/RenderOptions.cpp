#include "tools/render/RenderOptions.h"

#include "engine/RenderWorkers.h"
#include "song/SongLimits.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace vantreel::render {

const char* const kUsage =
    "Usage: vantreel-render [OPTIONS] PROJECT.vpf OUTPUT\n"
    "Renders a project to OUTPUT, stereo at the project's sample rate; OUTPUT's\n"
    "extension picks the format: .wav (16-bit PCM) or .flac.\n"
    "  --plugin-dir DIR       folder searched first for the project's plug-ins (default: the "
    "search path alone)\n"
    "  --pattern SLOT:LETTER  play pattern LETTER (A..Z) of slot SLOT (0..15) in pattern mode, "
    "instead of the song\n"
    "  --start LINE           song mode: the arrangement line to start at, as `seqCursorLine` "
    "(default 0)\n"
    "  --lines N              how many lines to render (default: song mode songEnd - start, at "
    "least 1; pattern mode the pattern's length, at least 1)\n"
    "  --seconds S            render S seconds instead (exclusive with --lines)\n"
    "  --tail S               seconds rendered after the last line, for the effects to ring out "
    "(default 0)\n"
    "  --threads N            threads rendering the plug-ins, 1..64 (default: one per core; 1 "
    "renders them one after the other)\n"
    "  -q                     no progress display\n";

namespace {

constexpr int64_t kMaxLines = 100000000; // far beyond any song, well inside 64-bit frames
constexpr double kMaxSeconds = 24 * 3600.0;

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[text.size() - suffix.size() + i]);
        if (std::tolower(c) != suffix[i]) {
            return false;
        }
    }
    return true;
}

bool ParseInteger(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-')) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseSeconds(const std::string& text, double low, bool allowLow, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(parsed) || parsed > kMaxSeconds || parsed < low ||
        (!allowLow && parsed == low)) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParsePattern(const std::string& text, RenderOptions& options) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon + 2 != text.size()) {
        return false;
    }
    int64_t slot = 0;
    if (!ParseInteger(text.substr(0, colon), 0, kSlotCount - 1, slot)) {
        return false;
    }
    const char letter = char(std::toupper(static_cast<unsigned char>(text[colon + 1])));
    if (letter < 'A' || letter >= 'A' + kPatternsPerSlot) {
        return false;
    }
    options.patternMode = true;
    options.slot = int(slot);
    options.pattern = letter - 'A';
    return true;
}

ParsedCommandLine Usage(const std::string& error) {
    ParsedCommandLine result;
    result.outcome = ParseOutcome::UsageError;
    result.error = error;
    return result;
}

} // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    ParsedCommandLine result;
    RenderOptions& o = result.options;
    std::vector<std::string> positional;
    bool sawStart = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        const bool takesValue = arg == "--plugin-dir" || arg == "--pattern" || arg == "--start" ||
                                arg == "--lines" || arg == "--seconds" || arg == "--tail" ||
                                arg == "--threads";
        if (takesValue) {
            if (i + 1 >= args.size()) {
                return Usage(arg + " needs a value");
            }
            value = args[++i];
        }
        int64_t number = 0;
        if (arg == "-h" || arg == "--help") {
            result.outcome = ParseOutcome::Help;
            return result;
        } else if (arg == "-q") {
            o.quiet = true;
        } else if (arg == "--plugin-dir") {
            if (value.empty()) {
                return Usage("--plugin-dir needs a folder");
            }
            o.pluginDir = value;
        } else if (arg == "--pattern") {
            if (!ParsePattern(value, o)) {
                return Usage("--pattern wants SLOT:LETTER, SLOT 0..15 and LETTER A..Z, not " +
                             value);
            }
        } else if (arg == "--start") {
            if (!ParseInteger(value, 0, kArrangementLines - 1, number)) {
                return Usage("--start wants a line 0..32767, not " + value);
            }
            o.start = int(number);
            sawStart = true;
        } else if (arg == "--lines") {
            if (!ParseInteger(value, 1, kMaxLines, number)) {
                return Usage("--lines wants a whole number of lines, at least 1, not " + value);
            }
            o.lines = number;
        } else if (arg == "--seconds") {
            double seconds = 0;
            if (!ParseSeconds(value, 0.0, false, seconds)) {
                return Usage("--seconds wants a number of seconds above 0, not " + value);
            }
            o.seconds = seconds;
        } else if (arg == "--tail") {
            if (!ParseSeconds(value, 0.0, true, o.tail)) {
                return Usage("--tail wants a number of seconds, 0 or more, not " + value);
            }
        } else if (arg == "--threads") {
            if (!ParseInteger(value, 1, kMaxRenderThreads, number)) {
                return Usage("--threads wants a whole number 1.." +
                             std::to_string(kMaxRenderThreads) + ", not " + value);
            }
            o.threads = int(number);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) {
        return Usage("PROJECT and OUTPUT are needed, and nothing else");
    }
    if (o.lines && o.seconds) {
        return Usage("--lines and --seconds exclude each other");
    }
    if (sawStart && o.patternMode) {
        return Usage("--start is for song mode; it cannot go with --pattern");
    }
    o.project = positional[0];
    o.output = positional[1];
    if (EndsWithNoCase(o.output, ".wav")) {
        o.format = OutputFormat::Wav;
    } else if (EndsWithNoCase(o.output, ".flac")) {
        o.format = OutputFormat::Flac;
    } else {
        return Usage("OUTPUT must end in .wav or .flac");
    }
    result.outcome = ParseOutcome::Render;
    return result;
}

} // namespace vantreel::render
