#!/usr/bin/env bash
# Out of the way of full-screen work, under Wine: another program's window covering the
# primary display, in front, hides the pet within a second, and its end brings the pet back
# within a second; an alarm due while such a window is in front rings anyway, over it, with
# its layout and its sound, and the pet gives way again once that window is in front again.
# e2e: alone (it records sound, or measures CPU or time)
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")
helper=$(e2e__helper) || { e2e_fail setup "e2ehelp"; exit 1; }

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# The pet's window is mapped; the pet is seen on screen (over the black full-screen window too).
# While it rings the title names the alarms ("Ravilo: 08:00").
pet_shown() { xdotool search --onlyvisible --name '^Ravilo(: .*)?$' >/dev/null 2>&1; }
pet_seen() {
  local at
  at=$(e2e_window_geometry "$main") || return 1
  # shellcheck disable=SC2086
  pet_shown && e2e_screenshot "$E2E_TMP/seen.png" && e2e_pet_point "$E2E_TMP/seen.png" ${at% * *} >/dev/null
}
pet_unseen() { ! pet_seen; }
pet_hidden() { ! pet_shown; }
cover_shown() { xdotool search --onlyvisible --name '^e2ehelp fullscreen$' >/dev/null 2>&1; }
# ms_until SECONDS CMD... : polls CMD every 20 ms; prints the milliseconds it took, or fails
# when SECONDS passed first.
ms_until() {
  local t0 deadline
  t0=$(now_ms) deadline=$(( $(now_ms) + $1 * 1000 ))
  shift
  until "$@"; do
    (( $(now_ms) >= deadline )) && return 1
    sleep 0.02
  done
  echo $(( $(now_ms) - t0 ))
}
within_second() { # NAME MS : passes when MS is a figure of at most 1000
  [[ -n $2 ]] && (( $2 <= 1000 )) && e2e_pass "$1 ($2 ms)" || e2e_fail "$1" "${2:-not within 5 s}"
}

# The alarm first, read at start: the next whole minute at least 45 s away, after the first part.
target=$(e2e_set_alarm_soon "$KEY" 45)
pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "window" "none"; exit 1; }
e2e_wait_pet "$main" 20 >/dev/null || e2e_fail "the pet shows" "not drawn"
read -r x y _ _ <<<"$(e2e_window_geometry "$main")"

# A full-screen window comes and goes. The pet is out of sight at once; its window is unmapped
# later, as Wine waits up to two seconds for a window manager (there is none here) to withdraw
# a window that was once active.
cover=$(e2e_start_exe "$helper" fullscreen 6000)
ms_until 10 cover_shown >/dev/null || e2e_fail "the full-screen window shows" "none"
within_second "the pet hides within a second of a full-screen window" "$(ms_until 5 pet_unseen)"
echo "figure: its window unmapped after $(ms_until 5 pet_hidden) ms more"
e2e_wait_until 15 pet_seen
back_at=$(now_ms)
e2e_wait_exit "$cover" 10 >/dev/null
told=$(e2e_exe_output "$cover" | tr -d '\r')
echo "$told" | sed 's/^/  e2ehelp: /'
ended=$(echo "$told" | sed -n 's/^end \([0-9]*\)$/\1/p')
within_second "the pet comes back within a second of its end" "${ended:+$(( back_at - ended ))}"
[[ $told == *"rect 0 0 1280 800"* ]] && e2e_pass "Wine gives the foreground window's rectangle as the display's" ||
  e2e_fail "Wine gives the foreground window's rectangle as the display's" "$told"
[[ $told == *"foreground yes"* ]] && e2e_pass "the full-screen window is in front" ||
  e2e_fail "the full-screen window is in front" "$told"
read -r nx ny _ _ <<<"$(e2e_window_geometry "$main")"
[[ "$nx $ny" == "$x $y" ]] && e2e_pass "back in its place" || e2e_fail "back in its place" "at $nx $ny, was $x $y"

# A ring while a full-screen window is in front: the window stays until it is closed.
e2e_record_start "$E2E_TMP/ring.wav" || e2e_fail "recording" "no samples"
cover=$(e2e_start_exe "$helper" fullscreen 600000)
ms_until 10 cover_shown >/dev/null || e2e_fail "the full-screen window shows" "none"
ms_until 5 pet_unseen >/dev/null || e2e_fail "the pet hides before the ring" "still seen"
ringing() { pet_shown && [[ $(e2e_window_geometry "$main" | awk '{print $3 "x" $4}') == 460x319 ]]; }
if e2e_wait_until $(( target - $(date +%s) + 30 )) ringing; then
  echo "figure: rang $(( $(date +%s) - target )) s after the minute"
  read -r rx ry _ _ <<<"$(e2e_window_geometry "$main")"
  stop_shown() {
    e2e_screenshot "$E2E_TMP/ring.png" &&
      (( $(e2e_shown_share "$E2E_TMP/ring.png" "$PROG/Images/MainWindow/istopalarm.bmp" "$rx" $(( ry + 136 ))) >= 95 ))
  }
  e2e_wait_until 5 stop_shown
  cp "$E2E_TMP/ring.png" "$E2E_REPO_DIR/build/e2e-fullscreen-ring.png" 2>/dev/null || true
  stop_shown && e2e_pass "the ringing layout shows over the full-screen window" ||
    e2e_fail "the ringing layout shows over the full-screen window" "see build/e2e-fullscreen-ring.png"
  sleep 3  # three seconds of ringing on the recording
  e2e_click $(( rx + 70 )) $(( ry + 136 + 52 )) 1  # stop
  not_ringing() { ! ringing; }
  e2e_wait_until 10 not_ringing || e2e_fail "the stop button ends the ring" "still ringing"
  e2e_record_stop
  segments=$(e2e_sound_segments "$E2E_TMP/ring.wav")
  total=$(echo "$segments" | sed -n 's/^total=\([0-9.]*\).*/\1/p')
  echo "figure: ${total:-0} s of sound recorded"
  awk -v t="${total:-0}" 'BEGIN{exit !(t > 2)}' && e2e_pass "the alarm sounds over the full-screen window" ||
    e2e_fail "the alarm sounds over the full-screen window" "non-silent ${total:-0} s"
  # The click on the pet made it the foreground window; the user goes back to the
  # full-screen program, and the pet gives way again.
  if gone=$(ms_until 2 pet_unseen); then
    echo "figure: out of sight again ${gone} ms after the stop, without a click"
  else
    e2e_click 40 40 1
  fi
  within_second "the pet gives way again after the ring" "$(ms_until 5 pet_unseen)"
else
  e2e_fail "the alarm rings over the full-screen window" "no ringing layout by $(date +%T)"
fi
# The pet's window, active since the click, is unmapped only after Wine's wait for a window
# manager (above); the GUI thread waits in that hide, so the return is timed from after it.
echo "figure: its window unmapped after $(ms_until 5 pet_hidden) ms more"
e2e_close_request "e2ehelp fullscreen"
e2e_wait_until 15 pet_seen
back_at=$(now_ms)
rc=$(e2e_wait_exit "$cover" 10)
[[ $rc == 0 ]] || e2e_fail "the full-screen window closes" "exit $rc"
ended=$(e2e_exe_output "$cover" | tr -d '\r' | sed -n 's/^end \([0-9]*\)$/\1/p')
within_second "the pet comes back when the full-screen window is closed" "${ended:+$(( back_at - ended ))}"
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request still ends with 1" || e2e_fail "a close request still ends with 1" "exit $rc"
