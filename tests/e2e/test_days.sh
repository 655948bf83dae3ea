#!/usr/bin/env bash
# The day switches under Wine, chosen only by clicks: with today switched off in the
# simple-mode window an alarm for the next minute does not ring; OK with every day off is
# refused; with today alone on and the minute stepped on by the arrow, it rings. Both alarm
# windows are photographed with their days.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")
SX=242 SY=167             # the simple-mode window's first place
PX=457 PY=100             # the playlist window, centred on the 1280 x 800 display
DAYS_X=32 DAYS_Y=168      # Monday's switch in the simple window; the playlist one's is 24,160
DAY_STEP=44

# The alarm: on, the next whole minute at least 40 s away, time enough for the clicks.
target=$(e2e_set_alarm_soon "$KEY" 40)
today=$(( $(date -d "@$target" +%u) - 1 ))   # Monday 0 ... Sunday 6, as the switches stand
names=(mon tue wed thu fri sat sun)
e2e_log "the alarm's day: ${names[$today]}"

geometry_is() { [[ $(e2e_window_geometry "$1" 2>/dev/null) == "$2" ]]; }
# day_shows STATE X Y : today's switch, with Monday's at X Y, shows its "a" (on) or "i" (off) picture.
day_shows() {
  e2e_screenshot "$E2E_TMP/days.png" &&
    (( $(e2e_shown_share "$E2E_TMP/days.png" "$PROG/Images/AlarmWindow/$1${names[$today]}.bmp" \
      $(( $2 + DAY_STEP * today )) "$3") >= 95 ))
}
click_today() { e2e_click $(( SX + DAYS_X + DAY_STEP * today + 20 )) $(( SY + DAYS_Y + 12 )) 1; }
minute() {  # a digest of the minute field (20 x 24 at 200,128)
  e2e_screenshot "$E2E_TMP/minute.png" &&
    convert "$E2E_TMP/minute.png" -crop 20x24+$(( SX + 200 ))+$(( SY + 128 )) +repage -format '%#' info:
}
changed_from() { [[ $(minute) != "$1" ]]; }
ringing() { [[ $(e2e_window_geometry "$main" | awk '{print $3 "x" $4}') == 460x319 ]]; }
open_simple() {
  e2e_pet_menu "$pid" "$main" || e2e_fail "the pet's menu opens" "no menu"
  xdotool key Down Down Return
  simple=$(e2e_find_window '^Alarm\(simple mode\)$' 10) && e2e_wait_until 10 geometry_is "$simple" "$SX $SY 371 376"
}
stored_days() { [[ $(e2e_reg_value "$KEY" AlarmDays) == "REG_DWORD $1" ]]; }

# Its debug output (the wake timer says when it is set for) is kept.
pid=$(WINEDEBUG=-all,+debugstr e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "window" "none"; exit 1; }

# Today off, by a click, then OK.
open_simple && e2e_pass "the simple-mode window opens 371x376 at $SX,$SY" ||
  { e2e_fail "the simple-mode window opens 371x376 at $SX,$SY" "$(e2e_window_geometry "${simple:-0}")"; exit 1; }
e2e_wait_until 10 day_shows a $(( SX + DAYS_X )) $(( SY + DAYS_Y )) && e2e_pass "every day shows on" ||
  e2e_fail "every day shows on" "today's switch is not drawn on"
click_today
e2e_wait_until 5 day_shows i $(( SX + DAYS_X )) $(( SY + DAYS_Y )) && e2e_pass "a click switches today off" ||
  e2e_fail "a click switches today off" "not drawn off"
cp "$E2E_TMP/days.png" "$E2E_REPO_DIR/build/e2e-simple-days.png" 2>/dev/null || true
[[ $(e2e_pixel_count_of_colour "$E2E_TMP/days.png" 128 0 128) == 0 ]] && e2e_pass "no purple pixel" ||
  e2e_fail "no purple pixel" "$(e2e_pixel_count_of_colour "$E2E_TMP/days.png" 128 0 128) purple pixels"
e2e_click $(( SX + 72 + 36 )) $(( SY + 288 + 13 )) 1     # OK
without_today=$(printf '0x%x' $(( 127 & ~(1 << today) )))
e2e_wait_until 10 stored_days "$without_today" && e2e_pass "OK stores AlarmDays = $without_today" ||
  e2e_fail "OK stores AlarmDays = $without_today" "$(e2e_reg_value "$KEY" AlarmDays)"
# With today off the wake timer points at the same time tomorrow, the next chosen day.
tomorrow=$(date -d "@$(( target + 86400 ))" '+%F %T')
wake_tomorrow() { e2e_exe_output "$pid" | tr -d '\r' | grep 'wake timer set for' | tail -n1 | grep -qF "$tomorrow"; }
e2e_wait_until 10 wake_tomorrow && e2e_pass "the wake timer is set for the next chosen day, $tomorrow" ||
  e2e_fail "the wake timer is set for the next chosen day, $tomorrow" \
    "$(e2e_exe_output "$pid" | grep -F 'wake timer' | tr -d '\r' | tail -n2)"

# The playlist window shows the stored days too; Cancel leaves it.
open_simple || e2e_fail "the simple-mode window opens again" "not shown"
e2e_click $(( SX + 104 + 75 )) $(( SY + 328 + 13 )) 1    # "Playlist mode"
if pl=$(e2e_find_window '^Alarm\(playlist mode\)$' 20) && e2e_wait_until 10 geometry_is "$pl" "$PX $PY 365 599"; then
  e2e_pass "the playlist window opens 365x599 at $PX,$PY"
  e2e_wait_until 10 day_shows i $(( PX + 24 )) $(( PY + 160 )) && e2e_pass "the playlist window shows today off" ||
    e2e_fail "the playlist window shows today off" "not drawn off"
  cp "$E2E_TMP/days.png" "$E2E_REPO_DIR/build/e2e-playlist-days.png" 2>/dev/null || true
  e2e_click $(( PX + 208 + 36 )) $(( PY + 504 + 13 )) 1  # Cancel
  gone() { ! xdotool search --onlyvisible --name '^Alarm\(playlist mode\)$' >/dev/null 2>&1; }
  e2e_wait_until 5 gone || e2e_fail "Cancel hides the playlist window" "still shown"
else
  e2e_fail "the playlist window opens 365x599 at $PX,$PY" "$(e2e_window_geometry "${pl:-0}" 2>/dev/null)"
fi

# The minute comes and goes without a ring.
if e2e_wait_until $(( target - $(date +%s) + 20 )) ringing; then
  e2e_fail "no ring at $(date -d "@$target" +%R) with today off" "it rang"
  e2e_click $(( $(e2e_window_geometry "$main" | awk '{print $1}') + 70 )) \
    $(( $(e2e_window_geometry "$main" | awk '{print $2}') + 136 + 52 )) 1
else
  [[ $(e2e_window_geometry "$main" | awk '{print $3 "x" $4}') == 319x170 ]] &&
    e2e_pass "no ring at $(date -d "@$target" +%R) with today off" ||
    e2e_fail "no ring at $(date -d "@$target" +%R) with today off" "main window $(e2e_window_geometry "$main")"
fi

# Every day off: OK is refused with a message, and the window stays open.
open_simple || e2e_fail "the simple-mode window opens a third time" "not shown"
for (( d = 0; d < 7; ++d )); do
  (( d == today )) && continue
  e2e_click $(( SX + DAYS_X + DAY_STEP * d + 20 )) $(( SY + DAYS_Y + 12 )) 1
done
e2e_click $(( SX + 72 + 36 )) $(( SY + 288 + 13 )) 1     # OK
hidden() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
if box=$(e2e_find_window 'FormMyMessageBox' 20); then
  read -r bx by _ _ <<<"$(e2e_window_geometry "$box")"
  written() {  # the message's text (at 128,48 of the box) is drawn
    e2e_screenshot "$E2E_TMP/refused.png" &&
      (( $(e2e_pixel_count_of_colour "$E2E_TMP/refused.png" 0 0 0 $(( bx + 128 )) $(( by + 48 )) 226 13) > 40 ))
  }
  e2e_wait_until 5 written && e2e_pass "OK with no day says so" || e2e_fail "OK with no day says so" "no text"
  cp "$E2E_TMP/refused.png" "$E2E_REPO_DIR/build/e2e-days-refused.png" 2>/dev/null || true
  xdotool key Return
  e2e_wait_until 10 hidden FormMyMessageBox || e2e_fail "Enter closes the message" "still shown"
else
  e2e_fail "OK with no day says so" "no message box"
fi
e2e_wait_until 2 hidden 'Alarm\(simple mode\)' && e2e_fail "the window stays open after the refusal" "hidden" ||
  e2e_pass "the window stays open after the refusal"
stored_days "$without_today" && e2e_pass "nothing is stored" || e2e_fail "nothing is stored" "$(e2e_reg_value "$KEY" AlarmDays)"

# Today alone on, the minute stepped on to the next whole minute at least 20 s away, OK.
click_today
e2e_wait_until 5 day_shows a $(( SX + DAYS_X )) $(( SY + DAYS_Y )) && e2e_pass "a click switches today on" ||
  e2e_fail "a click switches today on" "not drawn on"
next=$(( ($(date +%s) + 20 + 59) / 60 * 60 ))
for (( t = target; t < next; t += 60 )); do
  before=$(minute)
  e2e_click $(( SX + 234 + 7 )) $(( SY + 123 + 6 )) 1    # minute up
  e2e_wait_until 5 changed_from "$before" || e2e_fail "the minute steps" "unchanged"
done
if [[ $(date -d "@$next" +%H) != $(date -d "@$target" +%H) ]]; then
  e2e_click $(( SX + 138 + 7 )) $(( SY + 123 + 6 )) 1    # hour up
fi
e2e_click $(( SX + 72 + 36 )) $(( SY + 288 + 13 )) 1     # OK
minute_stored() { [[ $(e2e_reg_value "$KEY" AlarmMin) == "REG_DWORD $(printf '0x%x' "$(date -d "@$next" +%-M)")" ]]; }
only_today=$(printf '0x%x' $(( 1 << today )))
e2e_wait_until 10 minute_stored && stored_days "$only_today" &&
  e2e_pass "OK stores AlarmDays = $only_today and the next minute" ||
  e2e_fail "OK stores AlarmDays = $only_today and the next minute" \
    "$(e2e_reg_value "$KEY" AlarmDays), $(e2e_reg_value "$KEY" AlarmHour):$(e2e_reg_value "$KEY" AlarmMin)"
if e2e_wait_until $(( next - $(date +%s) + 30 )) ringing; then
  e2e_pass "with today on it rings at $(date -d "@$next" +%R)"
  read -r rx ry _ _ <<<"$(e2e_window_geometry "$main")"
  e2e_click $(( rx + 70 )) $(( ry + 136 + 52 )) 1        # stop
else
  e2e_fail "with today on it rings at $(date -d "@$next" +%R)" "no ringing layout"
fi

e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request still ends with 1" || e2e_fail "a close request still ends with 1" "exit $rc"
