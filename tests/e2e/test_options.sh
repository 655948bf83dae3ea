#!/usr/bin/env bash
# The Options window under Wine: opened from the pet's menu, a 5-minute snooze and the start
# at log-on chosen by clicks, confirmed with OK, and stored; then the alarm rings, its
# snooze button says 5 minutes, and a press on it sets the next ring for 300 s after the
# press (the moment the wake timer is set for: that the moment comes is shown headless).
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
PROG=$(e2e_stage "$RAVILO_DIST")

# The alarm: the next whole minute at least 30 s away, time enough to set the options first.
target=$(e2e_set_alarm_soon "$KEY" 30)


# Its debug output (the wake timer says when it is set for) is kept.
pid=$(WINEDEBUG=-all,+debugstr e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "window" "none"; exit 1; }
# The menu ends with "Options…", "Timer…", "Hide", "Funny eyes", "Exit": five up from the bottom.
e2e_pet_menu "$pid" "$main" || e2e_fail "the pet's menu opens" "no menu"
xdotool key Up Up Up Up Up Return
wid=$(e2e_find_window '^Options$' 10) || { e2e_fail "\"Options…\" opens the Options window" "no window"; exit 1; }
e2e_pass "\"Options…\" opens the Options window"
read -r x y w h <<<"$(e2e_window_geometry "$wid")"
# Centred on the free area of the only display (Wine's desktop has no taskbar here).
[[ "$w $h" == "480 340" ]] && e2e_pass "480x340" || e2e_fail "480x340" "$w x $h"
# Drawn: the chosen 10-minute choice (green) in the snooze row.
chosen_at() { # X : the choice at column X of the snooze row shows green
  e2e_screenshot "$E2E_TMP/options.png" &&
    (( $(e2e_pixel_count_of_colour "$E2E_TMP/options.png" 86 155 68 $(( x + $1 )) $(( y + 52 )) 50 24) > 200 ))
}
e2e_wait_until 5 chosen_at 194
chosen_at 194 && e2e_pass "the stored 10 minutes show chosen" || e2e_fail "the stored 10 minutes show chosen" "not green"
e2e_click $(( x + 140 + 25 )) $(( y + 52 + 12 )) 1     # 5 min
e2e_click $(( x + 24 + 10 )) $(( y + 202 + 10 )) 1     # start at log-on
e2e_wait_until 5 chosen_at 140
chosen_at 140 && e2e_pass "a click chooses 5 minutes" || e2e_fail "a click chooses 5 minutes" "not green"
cp "$E2E_TMP/options.png" "$E2E_REPO_DIR/build/e2e-options.png" 2>/dev/null || true
[[ $(e2e_pixel_count_of_colour "$E2E_TMP/options.png" 128 0 128) == 0 ]] && e2e_pass "no purple pixel" ||
  e2e_fail "no purple pixel" "$(e2e_pixel_count_of_colour "$E2E_TMP/options.png" 128 0 128) purple pixels"
e2e_click $(( x + 144 + 36 )) $(( y + 302 + 13 )) 1    # OK
stored() { [[ $(e2e_reg_value "$KEY" SnoozeMinutes) == "REG_DWORD 0x5" ]]; }
e2e_wait_until 10 stored
stored && e2e_pass "OK stores SnoozeMinutes = 5" || e2e_fail "OK stores SnoozeMinutes = 5" "$(e2e_reg_value "$KEY" SnoozeMinutes)"
# The Run value is written after the alarm's settings: waited for on its own.
run_written() { [[ -n $(e2e_reg_value "$RUN_KEY" Ravilo) ]]; }
e2e_wait_until 10 run_written
run=$(e2e_reg_value "$RUN_KEY" Ravilo)
[[ $run == REG_SZ\ \"*'\Ravilo.exe"' ]] && e2e_pass "OK writes the Run value ($run)" ||
  e2e_fail "OK writes the Run value" "got '$run'"
hidden() { ! xdotool search --onlyvisible --name '^Options$' >/dev/null 2>&1; }
e2e_wait_until 5 hidden && e2e_pass "OK hides the window" || e2e_fail "OK hides the window" "still shown"

# The ring: the snooze button at (312,136) of the ringing layout shows 5 minutes.
ringing() { [[ $(e2e_window_geometry "$main" | awk '{print $3 "x" $4}') == 460x319 ]]; }
if e2e_wait_until $(( target - $(date +%s) + 30 )) ringing; then
  read -r rx ry _ _ <<<"$(e2e_window_geometry "$main")"
  five() {
    e2e_screenshot "$E2E_TMP/ring.png" &&
      (( $(e2e_shown_share "$E2E_TMP/ring.png" "$PROG/Images/MainWindow/i5minmore.bmp" $(( rx + 312 )) $(( ry + 136 ))) >= 95 ))
  }
  e2e_wait_until 5 five
  cp "$E2E_TMP/ring.png" "$E2E_REPO_DIR/build/e2e-ringing-5min.png" 2>/dev/null || true
  five && e2e_pass "the ringing snooze button shows 5 minutes" ||
    e2e_fail "the ringing snooze button shows 5 minutes" "see build/e2e-ringing-5min.png"
  # The 5-minute snooze: the next ring is the moment 300 s after the press.
  snoozed_at=$(date +%s)
  e2e_click $(( rx + 312 + 70 )) $(( ry + 136 + 52 )) 1  # snooze
  not_ringing() { ! ringing; }
  e2e_wait_until 10 not_ringing || e2e_fail "the snooze button ends the ring" "still ringing"
  # The program takes the press within a second or two of the click.
  wake_in_five() { e2e_wake_timer_within "$pid" $(( snoozed_at + 300 )); }
  e2e_wait_until 10 wake_in_five
  wake_in_five && e2e_pass "a 5-minute snooze sets the next ring for 300 s after the press" ||
    e2e_fail "a 5-minute snooze sets the next ring for 300 s after the press" \
      "pressed at $(date -d "@$snoozed_at" +%T); $(e2e_wake_timer_log "$pid")"
else
  e2e_fail "the alarm rings" "no ringing layout"
fi
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request still ends with 1" || e2e_fail "a close request still ends with 1" "exit $rc"
