#!/usr/bin/env bash
# A gentle start under Wine: 30 s chosen in the Options window by a click is stored, and the
# ring is heard from its first second to its thirtieth. The rise itself is the program's
# audio-session volume, which Wine 8's PulseAudio driver ignores ("PulseAudio does not
# support session volume control" in its +pulse trace): the loudness of the two seconds is
# printed as figures, and the rise is tested on the headless desktop.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")
PYTHON=/usr/bin/python3

# A steady tone, so that loudness at two moments compares the volume, not the sound.
e2e_make_tone "$PROG/steady.wav" 2 440 0.5
target=$(e2e_set_alarm_soon "$KEY" 30)
wine reg add "$KEY" /v AlarmSound /t REG_SZ /d "$(e2e_winpath "$PROG/steady.wav")" /f >/dev/null 2>&1

pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "window" "none"; exit 1; }
# "Options…" is the fourth item from the bottom of the menu.
e2e_pet_menu "$pid" "$main" || e2e_fail "the pet's menu opens" "no menu"
xdotool key Up Up Up Up Return
wid=$(e2e_find_window '^Options$' 10) || { e2e_fail "\"Options…\" opens the Options window" "no window"; exit 1; }
read -r x y _ _ <<<"$(e2e_window_geometry "$wid")"
e2e_click $(( x + 248 + 25 )) $(( y + 86 + 12 )) 1   # gentle start: 30 s
chosen() { # the 30-s choice shows green
  e2e_screenshot "$E2E_TMP/options.png" &&
    (( $(e2e_pixel_count_of_colour "$E2E_TMP/options.png" 86 155 68 $(( x + 248 )) $(( y + 86 )) 50 24) > 200 ))
}
e2e_wait_until 5 chosen && e2e_pass "a click chooses a 30-s gentle start" || e2e_fail "a click chooses 30 s" "not green"
e2e_click $(( x + 144 + 36 )) $(( y + 302 + 13 )) 1  # OK
stored() { [[ $(e2e_reg_value "$KEY" RampSeconds) == "REG_DWORD 0x1e" ]]; }
e2e_wait_until 10 stored && e2e_pass "OK stores RampSeconds = 30" ||
  e2e_fail "OK stores RampSeconds = 30" "$(e2e_reg_value "$KEY" RampSeconds)"

rec="$E2E_TMP/ring.wav"
e2e_record_start "$rec" || { e2e_fail "recording" "parecord did not start"; exit 1; }
ringing() { [[ $(e2e_window_geometry "$main" | awk '{print $3 "x" $4}') == 460x319 ]]; }
if ! e2e_wait_until $(( target - $(date +%s) + 30 )) ringing; then
  e2e_fail "the alarm rings" "no ringing layout"
  exit 1
fi
# 32 s of the ring on the recording: nothing on screen tells how far the ramp is.
sleep 32
read -r rx ry _ _ <<<"$(e2e_window_geometry "$main")"
e2e_click $(( rx + 70 )) $(( ry + 136 + 52 )) 1      # stop
e2e_record_stop
cp "$rec" "$E2E_REPO_DIR/build/e2e-gentle-start.wav" 2>/dev/null || true
# RMS of each second from the sound's start.
read -r first thirtieth <<<"$($PYTHON - "$rec" <<'PY'
import sys, wave
import numpy as np
w = wave.open(sys.argv[1]); rate = w.getframerate()
a = np.frombuffer(w.readframes(w.getnframes()), dtype=np.int16).reshape(-1, w.getnchannels())[:, 0] / 32768.0
on = np.flatnonzero(np.abs(a) > 0.005)
if len(on) == 0 or on[0] + 30 * rate > len(a): print("0 0"); sys.exit()
s = on[0]
rms = lambda k: float(np.sqrt(np.mean(a[s + k * rate:s + (k + 1) * rate] ** 2)))
print(f"{rms(0):.4f} {rms(29):.4f}")
PY
)"
echo "figure: gentle start RMS, first second $first, thirtieth second $thirtieth"
if $PYTHON -c "import sys; sys.exit(0 if $first > 0.01 and $thirtieth > 0.05 else 1)"; then
  e2e_pass "the ring is heard from its first second to its thirtieth ($first, $thirtieth RMS)"
else
  e2e_fail "the ring is heard from its first second to its thirtieth" "$first, $thirtieth RMS"
fi
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request ends with 1" || e2e_fail "a close request ends with 1" "exit $rc"
