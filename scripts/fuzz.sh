#!/usr/bin/env bash
# Builds the project file fuzzer with clang, AddressSanitizer, UndefinedBehaviorSanitizer
# and libFuzzer in build-fuzz, and runs it for SECONDS (default 600) from the seed
# corpus in tools/fuzz/corpus. Inputs it finds go to a temporary folder; a crash is
# written to build-fuzz/crash-* and ends the run with a non-zero status.
#
#     bash scripts/fuzz.sh [SECONDS] [libFuzzer options...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVANTREEL_FUZZ=ON -DVANTREEL_SANITIZE=address,undefined \
    -DVANTREEL_WINDOWS=OFF -DVANTREEL_TESTS=OFF \
    "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -DFUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION -Wno-error=unused-private-field" \
    >/dev/null
cmake --build build-fuzz -j2 --target vantreel-fuzz-project VantreelSynth VantreelProbe

found=$(mktemp -d)
trap 'rm -rf "$found"' EXIT
ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
    ./build-fuzz/vantreel-fuzz-project -max_total_time="$seconds" -max_len=4096 \
    -rss_limit_mb=4096 -close_fd_mask=3 -artifact_prefix=build-fuzz/ -print_final_stats=1 \
    "$found" tools/fuzz/corpus "$@"
