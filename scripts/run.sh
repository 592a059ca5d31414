#!/usr/bin/env bash
# Installs what is missing, builds the program, its plug-ins and the renderer, and
# starts the program. On a machine without a display it renders the demo song to a
# WAV file instead and says where it is.
#
#   VANTREEL_BUILD_DIR   build folder (default: build)
set -euo pipefail

cd "$(dirname "$0")/.."
build_dir="${VANTREEL_BUILD_DIR:-build}"
demo_song="examples/demo.vpf"
demo_wav="$build_dir/demo.wav"
wanted_targets=(vantreel VantreelSynth VantreelProbe vantreel-render)

bash scripts/install-deps.sh
cmake -S . -B "$build_dir" -G Ninja

cmake --build "$build_dir" --target "${wanted_targets[@]}"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build_dir/vantreel"
fi

echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open."
echo "Rendering the demo song $demo_song instead..."
"$build_dir/vantreel-render" -q --plugin-dir "$build_dir/vst" --tail 2 "$demo_song" "$demo_wav"
echo "The demo song is rendered to $(realpath "$demo_wav")"
echo "Play it with any audio player, e.g.: aplay $demo_wav"
