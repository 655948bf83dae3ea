#!/usr/bin/env bash
# A playlist whose only entry's open never returns (a file that gives no data: here a FIFO
# held open by a process that never writes, so that Wine's open succeeds and the wave
# device's read of the header waits for good) rings the program's own alarm0.wav within
# 20 s of the ring, and the program still answers afterwards.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")

mkfifo "$PROG/hang.wav"
sleep 100000 <>"$PROG/hang.wav" &  # holds the FIFO open, writes nothing
e2e__track $!
printf '1\r\n%s\r\n' "$(e2e_winpath "$PROG/hang.wav")" >"$PROG/Playlist.txt"
target=$(e2e_set_alarm_soon "$KEY" 20)
wine reg add "$KEY" /v UsePlayist /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$KEY" /v hidden /t REG_DWORD /d 1 /f >/dev/null 2>&1  # rings at the first tick

pid=$(WINEDEBUG=-all,+debugstr e2e_start_exe "$PROG/Ravilo.exe")
sounding() { pactl list short sink-inputs 2>/dev/null | grep -q .; }
past() { (( $(date +%s) >= $1 )); }
e2e_wait_until $(( target - $(date +%s) + 5 )) past "$target"
rec="$E2E_TMP/ring.wav"
e2e_record_start "$rec" || { e2e_fail "recording" "parecord did not start"; exit 1; }
# The ring starts at the first 3-s tick at or after the alarm time.
if e2e_wait_until 30 sounding; then
  after=$(( $(date +%s) - target ))
  (( after <= 23 )) && e2e_pass "the program's own sound rings ${after} s after the alarm time" ||
    e2e_fail "the program's own sound rings within 20 s of the ring" "${after} s after the alarm time"
else
  e2e_fail "the program's own sound rings" "no stream on the sink 30 s after the alarm time"
fi
heard=$(( $(date +%s) + 3 ))
e2e_wait_until 5 past "$heard"
e2e_record_stop
total=$(e2e_sound_segments "$rec" | sed -n 's/^total=\([0-9.]*\).*/\1/p')
awk -v t="${total:-0}" 'BEGIN{exit !(t > 2)}' && e2e_pass "alarm0.wav is heard (${total} s sounding)" ||
  e2e_fail "alarm0.wav is heard" "${total:-0} s sounding"
e2e_exe_output "$pid" | tr -d '\r' | grep -F 'Ravilo: sound:' | sed 's/^/  debug: /'
e2e_exe_output "$pid" | tr -d '\r' | grep -qF 'gave no answer' && e2e_pass "the hanging open is given up" ||
  e2e_fail "the hanging open is given up" "nothing in the log"
# The program answers: the stop button ends the ring, and a close request the program.
ringing() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Ravilo$' 2>/dev/null); do
    [[ $(e2e_window_geometry "$w" | awk '{print $3 "x" $4}') == 460x319 ]] && { main=$w; return 0; }
  done
  return 1
}
main=
if e2e_wait_until 10 ringing; then
  read -r rx ry _ _ <<<"$(e2e_window_geometry "$main")"
  e2e_click $(( rx + 70 )) $(( ry + 186 )) 1
  e2e_wait_until 10 bash -c "! pactl list short sink-inputs 2>/dev/null | grep -q ." &&
    e2e_pass "the stop button silences the ring" || e2e_fail "the stop button silences the ring" "still a stream"
else
  e2e_fail "the ringing layout shows" "none"
fi
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request ends with 1" || e2e_fail "a close request ends with 1" "exit $rc"
