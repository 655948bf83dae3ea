#!/usr/bin/env bash
# A gentle start under Wine: 30 s chosen in the Options window by clicks is stored, and the
# ring's sound itself rises: the loudest 100 ms of its first 3 s is at most a quarter of the
# loudest 100 ms between its 27th and 33rd second. The ramp is MCI's "setaudio volume" on
# the digital-video device, which Wine's mciqtz32 passes to its DirectShow audio renderer
# (the session volume the program used before is ignored by Wine 8's PulseAudio driver).
# e2e: alone (it records sound, or measures CPU or time)
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
# "Options…" is the fifth item from the bottom of the menu.
e2e_pet_menu "$pid" "$main" || e2e_fail "the pet's menu opens" "no menu"
xdotool key Up Up Up Up Up Return
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
# 34 s of the ring on the recording: nothing on screen tells how far the ramp is. The
# recording is read as it grows (its header is finished only at the end).
PYTHON_ONSET='
import sys
import numpy as np
raw = open(sys.argv[1], "rb").read()[44:]
a = np.frombuffer(raw[: len(raw) // 4 * 4], dtype=np.int16).reshape(-1, 2)[:, 0] / 32768.0
on = np.flatnonzero(np.abs(a) > 0.005)
sys.exit(0 if len(on) and len(a) - on[0] > 34 * 44100 else 1)'
heard34() { $PYTHON -c "$PYTHON_ONSET" "$rec"; }
e2e_wait_until 60 heard34 || e2e_fail "34 s of the ring are recorded" "the recording holds less"
read -r rx ry _ _ <<<"$(e2e_window_geometry "$main")"
e2e_click $(( rx + 70 )) $(( ry + 136 + 52 )) 1      # stop
e2e_record_stop
cp "$rec" "$E2E_REPO_DIR/build/e2e-gentle-start.wav" 2>/dev/null || true
# The loudest 100 ms (RMS, in steps of 10 ms) of the first 3 s from the sound's start, and
# of 27 to 33 s.
read -r first late <<<"$($PYTHON - "$rec" <<'PY'
import sys, wave
import numpy as np
w = wave.open(sys.argv[1]); rate = w.getframerate()
a = np.frombuffer(w.readframes(w.getnframes()), dtype=np.int16).reshape(-1, w.getnchannels())[:, 0] / 32768.0
on = np.flatnonzero(np.abs(a) > 0.005)
if len(on) == 0 or on[0] + 33 * rate > len(a): print("0 0"); sys.exit()
s, win, hop = on[0], rate // 10, rate // 100
def loudest(t0, t1):
    starts = range(s + int(t0 * rate), s + int(t1 * rate) - win + 1, hop)
    return max(float(np.sqrt(np.mean(a[k:k + win] ** 2))) for k in starts)
print(f"{loudest(0, 3):.4f} {loudest(27, 33):.4f}")
PY
)"
echo "figure: gentle start, loudest 100 ms RMS: first 3 s $first, 27-33 s $late"
if $PYTHON -c "import sys; sys.exit(0 if $late > 0.05 and $first <= $late / 4 else 1)"; then
  e2e_pass "the ring rises: the first 3 s at most a quarter of 27-33 s ($first, $late RMS)"
else
  e2e_fail "the ring rises: the first 3 s at most a quarter of 27-33 s" "$first, $late RMS"
fi
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request ends with 1" || e2e_fail "a close request ends with 1" "exit $rc"
