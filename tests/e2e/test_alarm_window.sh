#!/usr/bin/env bash
# The simple-mode alarm window under Wine: opened from the pet's menu, the alarm switched
# on and its hour stepped, confirmed with OK, and stored. A button-up with no press on the
# window does nothing, and a held arrow stops stepping when the window loses the mouse.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")
geometry_is() { [[ $(e2e_window_geometry "$1" 2>/dev/null) == "$2" ]]; }
pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "window" "none"; exit 1; }
# The menu from a right click on the pet: About, separator, Alarm, ...
e2e_pet_menu "$pid" "$main" || e2e_fail "the pet's menu opens" "no menu"
xdotool key Down Down Return
if wid=$(e2e_find_window '^Alarm\(simple mode\)$' 10); then
  e2e_wait_until 5 geometry_is "$wid" "242 167 371 376"
  read -r x y w h <<<"$(e2e_window_geometry "$wid")"
  [[ "$x $y $w $h" == "242 167 371 376" ]] && e2e_pass "\"Alarm\" opens the simple-mode window at 242,167" ||
    e2e_fail "\"Alarm\" opens the simple-mode window at 242,167" "at $x $y $w $h"
else
  e2e_fail "\"Alarm\" opens the simple-mode window at 242,167" "no window"; exit 1
fi
# Drawn: the white of its hours field (20 x 24 at 104,128) is on screen.
drawn() {
  e2e_screenshot "$E2E_TMP/alarm.png" &&
    (( $(e2e_pixel_count_of_colour "$E2E_TMP/alarm.png" 255 255 255 $(( 242 + 104 )) $(( 167 + 128 )) 20 24) > 100 ))
}
e2e_wait_until 5 drawn
cp "$E2E_TMP/alarm.png" "$E2E_REPO_DIR/build/e2e-alarm-window.png" 2>/dev/null || true
[[ $(e2e_pixel_count_of_colour "$E2E_TMP/alarm.png" 128 0 128) == 0 ]] && e2e_pass "no purple pixel" ||
  e2e_fail "no purple pixel" "$(e2e_pixel_count_of_colour "$E2E_TMP/alarm.png" 128 0 128) purple pixels"
# A button-up with no press here, over the on/off switch, as the double-click that closes the
# open-file dialog lets its release fall. The X server drops a button-up while no button is
# down (xdotool mouseup alone), so it comes as the window message itself. The switch must not
# flip, or the click below would switch the alarm back off.
HELPER=$(e2e__helper) || { e2e_fail "helper" "e2ehelp.exe did not build"; exit 1; }
WM_LBUTTONUP=0x202 WM_CANCELMODE=0x1F
e2e_mousemove $(( 242 + 24 + 29 )) $(( 167 + 56 + 15 ))
wine "$HELPER" send 'Alarm(simple mode)' $WM_LBUTTONUP 0 $(( (56 + 15) << 16 | (24 + 29) )) >"$E2E_TMP/send.out" 2>&1 ||
  e2e_fail "a lone button-up reaches the window" "$(tr -d '\r' <"$E2E_TMP/send.out")"
e2e_click $(( 242 + 24 + 29 )) $(( 167 + 56 + 15 )) 1      # on/off
e2e_click $(( 242 + 138 + 7 )) $(( 167 + 123 + 6 )) 1      # hour up: 08 -> 09
e2e_click $(( 242 + 72 + 36 )) $(( 167 + 288 + 13 )) 1     # OK
stored() { [[ $(e2e_reg_value "$KEY" AlarmHour) == "REG_DWORD 0x9" ]]; }
e2e_wait_until 10 stored
for v in "AlarmIsOn:REG_DWORD 0x1" "AlarmHour:REG_DWORD 0x9" "AlarmMin:REG_DWORD 0x0" "UsePlayist:REG_DWORD 0x0"; do
  name=${v%%:*} want=${v#*:}
  got=$(e2e_reg_value "$KEY" "$name")
  [[ $got == "$want" ]] && e2e_pass "OK stores $name" || e2e_fail "OK stores $name" "got '$got', want '$want'"
done

# An arrow held down while the window loses the mouse: the field must stop stepping, and the
# release that comes at last must not step it either.
e2e_pet_menu "$pid" "$main" || e2e_fail "the pet's menu opens again" "no menu"
xdotool key Down Down Return
e2e_wait_until 10 geometry_is "$wid" "242 167 371 376" && e2e_wait_until 5 drawn ||
  e2e_fail "\"Alarm\" opens the window again" "not shown"
minute() {  # a digest of the minute field (20 x 24 at 200,128)
  e2e_screenshot "$E2E_TMP/minute.png" &&
    convert "$E2E_TMP/minute.png" -crop 20x24+$(( 242 + 200 ))+$(( 167 + 128 )) +repage -format '%#' info:
}
changed_from() { [[ $(minute) != "$1" ]]; }
holds_still() { local a; a=$(minute); sleep 0.3; [[ $(minute) == "$a" ]]; }
hold_and_lose() {  # NAME, then the command that takes the mouse away
  local name=$1 before
  shift
  e2e_mousemove $(( 242 + 234 + 7 )) $(( 167 + 123 + 6 ))   # minute up
  before=$(minute)
  xdotool mousedown 1
  # Held: it steps at once, then again and again.
  if e2e_wait_until 5 changed_from "$before" && before=$(minute) && e2e_wait_until 5 changed_from "$before"; then
    "$@"
    # A step drawn just before may still reach the screen: first the field holds still.
    e2e_wait_until 3 holds_still
    before=$(minute)
    if e2e_wait_until 2 changed_from "$before"; then
      e2e_fail "a held arrow stops when $name" "the minute field kept changing"
    else
      e2e_pass "a held arrow stops when $name"
    fi
  else
    e2e_fail "a held arrow stops when $name" "the arrow did not repeat"
  fi
  before=$(minute)
  xdotool mouseup 1
  e2e_wait_until 1 changed_from "$before" && e2e_fail "the release after $name steps nothing" "it stepped" ||
    e2e_pass "the release after $name steps nothing"
}
cancel_mode() { wine "$HELPER" send 'Alarm(simple mode)' $WM_CANCELMODE 0 0 >"$E2E_TMP/send.out" 2>&1; }
hold_and_lose "the system cancels the mouse mode" cancel_mode
# Another program comes to the front (as after Alt+Tab): the alarm window is deactivated.
other_program() {
  wine "$HELPER" foreground 500 >"$E2E_TMP/foreground.out" 2>&1 ||
    e2e_log "the other window did not come to the front: $(tr -d '\r' <"$E2E_TMP/foreground.out")"
}
hold_and_lose "another program comes to the front" other_program

e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request still ends with 1" || e2e_fail "a close request still ends with 1" "exit $rc"
