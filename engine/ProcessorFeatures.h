#pragma once
// What the processor offers beyond the x86-64 baseline, for the loops that have a
// wider version. Asked once, before main; any thread.

namespace vantreel {

// True where AVX2 runs (false on other architectures, and if asked before main).
bool ProcessorHasAvx2();

} // namespace vantreel
