#!/usr/bin/env bash
# Builds Ravilo.exe and starts it under Wine. Without a display it runs on a virtual one
# (Xvfb) and leaves a screenshot at build/run-screenshot.png. Without a sound server its
# sound goes to a silent one of its own (a PulseAudio null sink, as in the tests).
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2
dist="$PWD/build/win/dist/Ravilo"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-ravilo}"

started=()
scratch=""
cleanup() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
  [[ -z $scratch ]] || rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if ! pactl info >/dev/null 2>&1; then
  scratch=$(mktemp -d /tmp/ravilo-run.XXXXXX)
  mkdir -m 700 "$scratch/runtime"
  cat >"$scratch/default.pa" <<PA
load-module module-null-sink sink_name=ravilo_sink sink_properties=device.description=RaviloNullSink
load-module module-native-protocol-unix auth-anonymous=1 socket=$scratch/native
set-default-sink ravilo_sink
PA
  printf 'autospawn = no\nenable-shm = no\n' >"$scratch/client.conf"
  export PULSE_RUNTIME_PATH="$scratch/runtime" PULSE_CLIENTCONFIG="$scratch/client.conf"
  export PULSE_SERVER="unix:$scratch/native"
  pulseaudio -n -F "$scratch/default.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --disallow-exit --disable-shm --log-target=stderr >"$scratch/pulse.log" 2>&1 &
  started+=($!)
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  echo "run.sh: no sound server here, so Ravilo's sound goes to a silent one of its own"
fi

if [[ -n "${DISPLAY:-}" ]]; then
  [[ -d "$WINEPREFIX" ]] || wineboot -i >/dev/null 2>&1
  cd "$dist"
  wine Ravilo.exe
  exit
fi

display=99
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
started+=($!)
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
[[ -d "$WINEPREFIX" ]] || wineboot -i >/dev/null 2>&1
(cd "$dist" && exec wine Ravilo.exe) &
ravilo=$!
started+=($ravilo)
# The pet is on screen once the program has a visible window.
for _ in $(seq 150); do xdotool search --onlyvisible --name '^Ravilo$' >/dev/null 2>&1 && break; sleep 0.2; done
sleep 1 # its first movie frame
import -window root "$PWD/build/run-screenshot.png"
echo "Ravilo runs on virtual display $DISPLAY; screenshot: build/run-screenshot.png (Ctrl-C ends it)"
wait "$ravilo"
