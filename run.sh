#!/usr/bin/env bash
# Builds Ravilo.exe and starts it under Wine. Without a display it runs on a virtual one
# (Xvfb) and leaves a screenshot at build/run-screenshot.png.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2
dist="$PWD/build/win/dist/Ravilo"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-ravilo}"

if [[ -n "${DISPLAY:-}" ]]; then
  [[ -d "$WINEPREFIX" ]] || wineboot -i >/dev/null 2>&1
  cd "$dist" && exec wine Ravilo.exe
fi

started=()
cleanup() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
}
trap cleanup EXIT INT TERM
display=99
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
started+=($!)
export DISPLAY=":$display"
sleep 1
[[ -d "$WINEPREFIX" ]] || wineboot -i >/dev/null 2>&1
(cd "$dist" && wine Ravilo.exe) &
started+=($!)
sleep 8
import -window root "$PWD/build/run-screenshot.png"
echo "Ravilo runs on virtual display $DISPLAY; screenshot: build/run-screenshot.png (Ctrl-C ends it)"
wait "${started[1]}"
