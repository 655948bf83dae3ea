#!/usr/bin/env bash
# Ravilo.exe under Wine: a first start (its settings, its place, the colour key), a second
# instance, a close request.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")

pid=$(e2e_start_exe "$PROG/Ravilo.exe")
if wid=$(e2e_find_window Ravilo 20); then e2e_pass "the main window appears"
else e2e_fail "the main window appears" "no window after 20 s"; exit 1; fi
# Start-up is done once the pet is drawn and the first start's settings are stored.
stored() { [[ -n $(e2e_reg_value "$KEY" mouse_tracking) ]]; }
e2e_wait_pet "$wid" 10 >/dev/null
e2e_wait_until 10 stored

geometry=$(e2e_window_geometry "$wid")
[[ $geometry == "1001 680 319 170" ]] && e2e_pass "first start stands at 1001,680" ||
  e2e_fail "first start stands at 1001,680" "geometry $geometry"

for v in "AlarmIsOn:REG_DWORD 0x0" "AlarmSound:REG_SZ Sounds\\Alarms\\alarm0.wav" "UsePlayist:REG_DWORD 0x0" \
         "AlarmMin:REG_DWORD 0x0" "AlarmHour:REG_DWORD 0x8" "xpos:REG_DWORD 0x3e9" "ypos:REG_DWORD 0x2a8" \
         "hidden:REG_DWORD 0x0" "mouse_tracking:REG_DWORD 0x1"; do
  name=${v%%:*} want=${v#*:}
  got=$(e2e_reg_value "$KEY" "$name")
  [[ $got == "$want" ]] && e2e_pass "registry $name" || e2e_fail "registry $name" "got '$got', want '$want'"
done
playlist=$(od -An -c "$PROG/Playlist.txt" | tr -s ' ')
[[ $playlist == " 0 \r \n" ]] && e2e_pass "Playlist.txt holds 0" || e2e_fail "Playlist.txt holds 0" "got '$playlist'"

shot="$E2E_TMP/first-start.png"
e2e_screenshot "$shot"
cp "$shot" "$E2E_REPO_DIR/build/e2e-first-start.png" 2>/dev/null || true
purple=$(e2e_pixel_count_of_colour "$shot" 128 0 128)
[[ $purple == 0 ]] && e2e_pass "no purple pixel on screen" || e2e_fail "no purple pixel on screen" "$purple purple pixels"
visible=$(( 319 * 170 - $(e2e_pixel_count_of_colour "$shot" 0 0 0 1001 680 279 120) ))
(( visible > 2000 )) && e2e_pass "the pet is visible" || e2e_fail "the pet is visible" "$visible non-black pixels"

apptitle=$(wine "$(e2e__helper)" classtext RaviloApplication 2>/dev/null | tr -d '\r')
[[ $apptitle == Ravilo ]] && e2e_pass "the hidden application window is titled Ravilo" ||
  e2e_fail "the hidden application window is titled Ravilo" "got '$apptitle'"

second=$(e2e_start_exe "$PROG/Ravilo.exe")
rc=$(e2e_wait_exit "$second" 15)
[[ $rc == 0 ]] && e2e_pass "a second instance ends with 0" || e2e_fail "a second instance ends with 0" "exit $rc"
e2e_running "$pid" && e2e_pass "the first instance keeps running" || e2e_fail "the first instance keeps running" "it ended"

e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request ends with exit code 1" || e2e_fail "a close request ends with exit code 1" "exit $rc"
