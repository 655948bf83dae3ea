#!/usr/bin/env bash
# A ring that ends by itself under Wine: with "AutoStopMinutes" 1 in the registry, a ring
# nobody answers goes quiet and back to the normal layout after a minute; the tray's tip then
# tells it (a screenshot of the tip is kept: Wine's tooltip text can't be read from outside).
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")

target=$(e2e_set_alarm_soon "$KEY" 20)
wine reg add "$KEY" /v AutoStopMinutes /t REG_DWORD /d 1 /f >/dev/null 2>&1
pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "window" "none"; exit 1; }
ringing() { [[ $(e2e_window_geometry "$main" | awk '{print $3 "x" $4}') == 460x319 ]]; }
normal() { [[ $(e2e_window_geometry "$main" | awk '{print $3 "x" $4}') == 319x170 ]]; }
if ! e2e_wait_until $(( target - $(date +%s) + 30 )) ringing; then
  e2e_fail "the alarm rings" "no ringing layout"
  exit 1
fi
rang_at=$(date +%s)
e2e_pass "the alarm rings"
rec="$E2E_TMP/end.wav"
e2e_record_start "$rec" || { e2e_fail "recording" "parecord did not start"; exit 1; }
if e2e_wait_until 80 normal; then
  ended=$(( $(date +%s) - rang_at ))
  echo "figure: the unanswered ring ended after ${ended} s"
  (( ended >= 58 && ended <= 66 )) && e2e_pass "an unanswered ring ends after a minute (${ended} s)" ||
    e2e_fail "an unanswered ring ends after a minute" "after ${ended} s"
else
  e2e_fail "an unanswered ring ends after a minute" "still ringing"
fi
# The recording goes on for four seconds after the end; the last two must be silent (Wine
# plays out what it had queued, longer on a busy machine).
sleep 4
e2e_record_stop
tail_rms=$(sox "$rec" -n trim -2 stat 2>&1 | awk -F: '/^RMS +amplitude/ { gsub(/ /, "", $2); print $2 }')
echo "figure: RMS after the end ${tail_rms}"
/usr/bin/python3 -c "import sys; sys.exit(0 if float('${tail_rms:-1}') < 0.005 else 1)" &&
  e2e_pass "the sound stops with it" || e2e_fail "the sound stops with it" "RMS ${tail_rms}"
# The tip: the pointer rests on the icon (the first cell of Wine's tray window, top left).
tray=$(xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n1)
if [[ -n $tray ]]; then
  read -r tx ty _ th <<<"$(e2e_window_geometry "$tray")"
  xdotool mousemove $(( tx + 10 )) $(( ty + th / 2 ))
  tip_shown() { [[ -n $(xdotool search --onlyvisible --class 'tooltips_class32' 2>/dev/null) ]]; }
  e2e_wait_until 5 tip_shown || true
  e2e_screenshot "$E2E_REPO_DIR/build/e2e-auto-stop-tip.png"
fi
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request ends with 1" || e2e_fail "a close request ends with 1" "exit $rc"
