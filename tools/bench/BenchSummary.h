#pragma once
// Scenarios record one figure each; after Google Benchmark's own output the bench
// prints them as "NAME: VALUE UNIT" lines for scripts to read.

#include <string>

namespace vantreel::bench {

// Records (or replaces) the summary figure of a scenario.
void RecordSummary(const std::string& name, double value, const std::string& unit);
void PrintSummaries();

} // namespace vantreel::bench
