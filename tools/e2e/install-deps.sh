#!/usr/bin/env bash
# Installs what the end-to-end tests (tests/e2e) need on Debian 12, as root.
# Idempotent: only missing packages are installed, and `apt-get update` runs
# only when something is missing.
set -euo pipefail

packages=(
    wine wine64                       # Wine 8 (64-bit only; wine32 is not needed)
    xvfb xdotool x11-utils            # X server, input/window tools, xdpyinfo/xwininfo/xprop
    imagemagick                       # import (screenshots), convert (pixel counts)
    pulseaudio pulseaudio-utils       # private sound server with a null sink, parecord/pactl
    sox libsox-fmt-base               # WAV generation and statistics
    python3-numpy python3-pil         # a recording's pitch (FFT), points in screenshots
    python3-tk                        # a clipboard holder: Cyrillic cannot be typed into Wine under Xvfb
    procps util-linux coreutils       # ps/pgrep, flock
    g++-mingw-w64-x86-64-posix        # builds the probe and helper exes
    binutils-mingw-w64-x86-64         # windres (probe manifest)
    # Wine's X11/GL/sound libraries it only recommends; this set is what the
    # tests were verified with (installed without other recommends).
    libxrender1 libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxxf86vm1
    libgl1 libgl1-mesa-dri libdbus-1-3 libgnutls30 libasound2-plugins libcups2
    # Wine 8's DirectShow parses and decodes through GStreamer: without these its MCI
    # digital-video device opens no WAV ("failed to create wavparse"), and the gentle
    # start, which sets that device's volume, can't be heard.
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$p")
done

if [[ ${#missing[@]} -eq 0 ]]; then
    echo "e2e deps: all present"
    exit 0
fi
if [[ $(id -u) -ne 0 ]]; then
    echo "e2e deps: missing ${missing[*]} and not root" >&2
    exit 1
fi
echo "e2e deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
