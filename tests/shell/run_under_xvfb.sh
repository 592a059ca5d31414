#!/usr/bin/env bash
# Runs a command on a private virtual X display: starts Xvfb on a free display
# number (Xvfb picks it and reports it), runs the command with DISPLAY set to it,
# stops Xvfb and returns the command's exit status.
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 command [arguments...]" >&2
    exit 2
fi

workdir=$(mktemp -d)
cleanup() {
    if [ -n "${xvfb_pid:-}" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$workdir"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$workdir/display" 2>"$workdir/xvfb.log" &
xvfb_pid=$!

for _ in $(seq 100); do
    [ -s "$workdir/display" ] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "Xvfb did not start:" >&2
        cat "$workdir/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
if [ ! -s "$workdir/display" ]; then
    echo "Xvfb did not report a display number" >&2
    exit 1
fi

export DISPLAY=":$(head -n1 "$workdir/display")"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
set +e
"$@"
status=$?
set -e
exit $status
