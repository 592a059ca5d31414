#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the whole suite, then the
# concurrency tests under ThreadSanitizer and the core tests under AddressSanitizer
# and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
configure() { # folder, extra options...
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

echo "== Build and run the whole suite"
configure build
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 600

echo "== ThreadSanitizer: threads meeting in the engine, the device feed, the plug-ins' time"
echo "   record, the LV2 workers, the render workers, MIDI input and the autosave writer"
configure build-tsan -DVANTREEL_SANITIZE=thread -DVANTREEL_WINDOWS=OFF
cmake --build build-tsan -j"$jobs" --target vantreel_engine_tests vantreel_plugins_tests \
    vantreel_midi_tests vantreel_song_tests VantreelSynth VantreelProbe
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp" \
    ctest --test-dir build-tsan --output-on-failure -j"$jobs" --timeout 600 \
    -R 'Concurrency|RealPlugin|DeviceFeed|GivenUpCallback|Transport|LiveOutput|Lv2ProbeTest|ParallelRender|AutosaveTest|RecoveryFilesTest'

echo "== AddressSanitizer and UndefinedBehaviorSanitizer: the core"
configure build-asan -DVANTREEL_SANITIZE=address,undefined -DVANTREEL_WINDOWS=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
    ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 900
