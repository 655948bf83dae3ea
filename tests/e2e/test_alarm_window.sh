#!/usr/bin/env bash
# The simple-mode alarm window under Wine: opened from the pet's menu, the alarm switched
# on and its hour stepped, confirmed with OK, and stored.
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
  e2e_wait_until 5 geometry_is "$wid" "242 167 371 336"
  read -r x y w h <<<"$(e2e_window_geometry "$wid")"
  [[ "$x $y $w $h" == "242 167 371 336" ]] && e2e_pass "\"Alarm\" opens the simple-mode window at 242,167" ||
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
e2e_click $(( 242 + 24 + 29 )) $(( 167 + 56 + 15 )) 1      # on/off
e2e_click $(( 242 + 138 + 7 )) $(( 167 + 123 + 6 )) 1      # hour up: 08 -> 09
e2e_click $(( 242 + 72 + 36 )) $(( 167 + 248 + 13 )) 1     # OK
stored() { [[ $(e2e_reg_value "$KEY" AlarmHour) == "REG_DWORD 0x9" ]]; }
e2e_wait_until 10 stored
for v in "AlarmIsOn:REG_DWORD 0x1" "AlarmHour:REG_DWORD 0x9" "AlarmMin:REG_DWORD 0x0" "UsePlayist:REG_DWORD 0x0"; do
  name=${v%%:*} want=${v#*:}
  got=$(e2e_reg_value "$KEY" "$name")
  [[ $got == "$want" ]] && e2e_pass "OK stores $name" || e2e_fail "OK stores $name" "got '$got', want '$want'"
done
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request still ends with 1" || e2e_fail "a close request still ends with 1" "exit $rc"
