#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Safe to run again: apt skips what is already there.
set -euo pipefail

packages=(
    build-essential g++ clang cmake ninja-build pkg-config git
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    libclang-rt-14-dev
    librtaudio-dev librtmidi-dev libsndfile1-dev
    qt6-base-dev libgl-dev
    xvfb xauth fonts-dejavu-core
    dpf-plugins-vst dpf-plugins-lv2 synthv1-lv2 drumkv1-lv2
    liblilv-dev lv2-dev libsamplerate0-dev libx11-dev
    xdotool x11-utils
    # jackd2 alone would replace the JACK headers RtAudio and RtMidi build against;
    # together with libjack-jackd2-dev apt keeps both.
    jackd2 libjack-jackd2-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
echo "Installing: ${missing[*]}" >&2
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
