#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Ravilo needs.
# Idempotent: asks apt only when something is missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ make libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis
  wine wine64 xvfb xdotool x11-utils imagemagick
  pulseaudio pulseaudio-utils sox procps
  libgif-dev gifsicle clang libclang-rt-14-dev
  python3 python3-pil python3-numpy fonts-dejavu-core
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# What Wine, the virtual display and the sound server need for the end-to-end tests.
"$(dirname "$0")/e2e/install-deps.sh"
