#include "engine/ProcessorFeatures.h"

namespace vantreel {

namespace {

#if defined(__x86_64__)
const bool hasAvx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();
#else
const bool hasAvx2 = false;
#endif

} // namespace

bool ProcessorHasAvx2() {
    return hasAvx2;
}

} // namespace vantreel
