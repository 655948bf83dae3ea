#!/usr/bin/env bash
# Held up across its alarm time, as on a computer that sleeps: Ravilo is stopped (SIGSTOP)
# from 20 s before its alarm minute to 50 s after, then goes on and is told of the resume
# (WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC). It rings at once, late, with sound, although
# the 30-second ring window is long over. Then the sound server dies mid-ring: the stop
# button, the menu and Exit still work.
# e2e: alone (it records sound, or measures CPU or time)
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")
HELPER=$(e2e__helper) || { e2e_fail "helper" "e2ehelp.exe did not build"; exit 1; }
WM_POWERBROADCAST=0x218 PBT_APMRESUMEAUTOMATIC=0x12

# The alarm: the next whole minute at least 35 s away, time enough to start.
target=$(e2e_set_alarm_soon "$KEY" 35)

# Waits until the given epoch second.
until_second() { while (( $(date +%s) < $1 )); do sleep 0.1; done; }
ringing() { [[ $(e2e_window_geometry "$wid" | awk '{print $3 "x" $4}') == 460x319 ]]; }

# Its debug output (the wake timer says when it is set for) is kept.
pid=$(WINEDEBUG=-all,+debugstr e2e_start_exe "$PROG/Ravilo.exe")
wid=$(e2e_find_window '^Ravilo$' 30) || { e2e_fail "window" "none"; exit 1; }
lpid=$(e2e_exe_pid "$pid") || { e2e_fail "process" "no pid"; exit 1; }
if (( $(date +%s) > target - 21 )); then
  e2e_fail "started before the freeze" "the window came at $(date +%T), alarm $(date -d "@$target" +%T)"; exit 1
fi

until_second $(( target - 20 ))
kill -STOP "$lpid"
e2e_log "stopped at $(date +%T)"
ringing && e2e_fail "not ringing before the alarm minute" "rang early" || e2e_pass "not ringing before the alarm minute"
# The recording starts while the program is held, so that it holds only what comes after.
until_second $(( target + 44 ))
e2e_record_start "$E2E_TMP/ring.wav"
recorded=$(date +%s.%N)
until_second $(( target + 50 ))
kill -CONT "$lpid"
resumed=$(date +%s.%N)
wine "$HELPER" send Ravilo $WM_POWERBROADCAST $PBT_APMRESUMEAUTOMATIC 0 >"$E2E_TMP/send.out" 2>&1 ||
  e2e_log "the resume message reached no window: $(tr -d '\r' <"$E2E_TMP/send.out")"
e2e_log "resume sent $(awk -v a="$resumed" -v b="$(date +%s.%N)" 'BEGIN{printf "%.1f", b-a}') s after SIGCONT"

rang=""
deadline=$(( ${resumed%.*} + 30 ))
while (( $(date +%s) < deadline )); do
  if ringing; then rang=$(date +%s.%N); break; fi
  sleep 0.1
done
if [[ -z $rang ]]; then
  e2e_fail "rings within a few seconds of going on" "no ringing layout within 30 s"
else
  delay=$(awk -v a="$resumed" -v b="$rang" 'BEGIN{printf "%.1f", b-a}')
  e2e_log "ringing layout ${delay} s after SIGCONT, $(awk -v t="$target" -v b="$rang" 'BEGIN{printf "%.0f", b-t}') s after the alarm time"
  awk -v d="$delay" 'BEGIN{exit !(d <= 6)}' && e2e_pass "rings within a few seconds of going on" ||
    e2e_fail "rings within a few seconds of going on" "after $delay s"
fi

# Sound: the alarm is heard for the seconds after the ring began.
rang=${rang:-$resumed}
until_second $(( ${rang%.*} + 4 ))
e2e_record_stop
segments=$(e2e_sound_segments "$E2E_TMP/ring.wav")
echo "$segments" | sed 's/^/  sound: /'
total=$(echo "$segments" | sed -n 's/^total=\([0-9.]*\).*/\1/p')
first=$(echo "$segments" | grep -v total= | head -n1 | awk '{print $1}')
[[ -n $first ]] && e2e_log "sound from $(awk -v r="$recorded" -v f="$first" -v c="$resumed" 'BEGIN{printf "%.1f", r + f - c}') s after SIGCONT"
awk -v t="${total:-0}" 'BEGIN{exit !(t > 2)}' && e2e_pass "the late ring sounds" ||
  e2e_fail "the late ring sounds" "non-silent ${total:-0} s"

# The wake timer: set for the alarm time at the start, and for the same time the next day
# once it rang.
for when in "$target" $(( target + 86400 )); do
  name="the wake timer is set for $(date -d "@$when" '+%F %T')"
  e2e_exe_output "$pid" | grep -qF "wake timer set for $(date -d "@$when" '+%F %T')" && e2e_pass "$name" ||
    e2e_fail "$name" "$(e2e_exe_output "$pid" | grep -F 'wake timer' | tr -d '\r' | tail -n3)"
done

# The sound server dies mid-ring (under Wine 8 the wave device's stop then waits for good
# for buffers that never come back): the stop button, the pet's menu and Exit still answer.
ringing || e2e_fail "still ringing before the server dies" "not ringing"
kill -KILL "$E2E_PULSE_PID"
e2e_wait_until 10 bash -c "! kill -0 $E2E_PULSE_PID 2>/dev/null"
sleep 1  # the device notices its server is gone while it plays
read -r rx ry rw rh <<<"$(e2e_window_geometry "$wid")"
pressed=$(date +%s.%N)
e2e_click $(( rx + 70 )) $(( ry + 186 )) 1
normal() { [[ $(e2e_window_geometry "$wid" | awk '{print $3 "x" $4}') == 319x170 ]]; }
e2e_wait_until 10 normal && e2e_pass "the server gone: the stop button puts the pet back" ||
  e2e_fail "the server gone: the stop button puts the pet back" "$(e2e_window_geometry "$wid")"
# The stop that found no device to answer it is reported ("blin"); the box is answered.
if box=$(e2e_find_window 'error' 10); then
  e2e_log "the failed stop reported $(awk -v a="$pressed" -v b="$(date +%s.%N)" 'BEGIN{printf "%.1f", b-a}') s after the press"
  xdotool windowfocus --sync "$box"; xdotool key Return
  gone() { ! xdotool search --onlyvisible --name '^error$' >/dev/null 2>&1; }
  e2e_wait_until 10 gone || e2e_fail "the server gone: the box about the stop is answered" "still shown"
fi
if e2e_pet_menu "$pid" "$wid"; then
  e2e_pass "the server gone: the pet's menu opens"
  xdotool key Up Return
  rc=$(e2e_wait_exit "$pid" 20)
  [[ $rc == 1 ]] && e2e_pass "the server gone: Exit ends the program (exit 1)" ||
    e2e_fail "the server gone: Exit ends the program (exit 1)" "exit $rc"
else
  e2e_fail "the server gone: the pet's menu opens" "no menu"
fi
e2e_exe_output "$pid" | tr -d '\r' | grep -F 'Ravilo: sound:' | sed 's/^/  debug: /'
