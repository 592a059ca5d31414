#include "BenchSummary.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <utility>

namespace vantreel::bench {

namespace {
std::map<std::string, std::pair<double, std::string>>& Summaries() {
    static std::map<std::string, std::pair<double, std::string>> summaries;
    return summaries;
}
} // namespace

void RecordSummary(const std::string& name, double value, const std::string& unit) {
    Summaries()[name] = {value, unit};
}

void PrintSummaries() {
    for (const auto& [name, figure] : Summaries()) {
        std::printf("%s: %.2f %s\n", name.c_str(), figure.first, figure.second.c_str());
    }
}

} // namespace vantreel::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    vantreel::bench::PrintSummaries();
    return 0;
}
