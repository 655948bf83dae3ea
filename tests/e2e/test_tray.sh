#!/usr/bin/env bash
# The notification-area icon: a pet that starts hidden comes back on a left click on the
# icon, "Hide" in the icon's right-click menu hides it again, and "Exit" ends the program.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")
wine reg add "$KEY" /v hidden /t REG_DWORD /d 1 /f >/dev/null 2>&1

# Visible pixels of the pet in the main window's area of a screenshot.
pet_pixels() { echo $(( 279 * 120 - $(e2e_pixel_count_of_colour "$1" 0 0 0 1001 680 279 120) )); }

pid=$(e2e_start_exe "$PROG/Ravilo.exe")
e2e_find_window '^Ravilo$' 20 >/dev/null || { e2e_fail "window" "none"; exit 1; }

# Without a tray manager on the display, Wine shows the icons in a window of its own at the
# top left; the icon is its first cell. It comes when start-up is done.
tray_window() { xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n1 | grep .; }
if ! e2e_wait_until 20 tray_window >/dev/null; then
  e2e_fail "the icon is in the notification area" "no tray window"; exit 1
fi
tray=$(tray_window)
# Hidden is the absence of a pet: watched for 3 s from the icon's coming.
stays_hidden() {
  for _ in $(seq 1 10); do
    e2e_screenshot "$E2E_TMP/hidden.png"
    (( $(pet_pixels "$E2E_TMP/hidden.png") < 200 )) || return 1
    sleep 0.3
  done
}
stays_hidden && e2e_pass "starts hidden as it was left" ||
  e2e_fail "starts hidden as it was left" "$(pet_pixels "$E2E_TMP/hidden.png") pet pixels"
read -r tx ty tw th <<<"$(e2e_window_geometry "$tray")"
e2e_pass "the icon is in the notification area"

shown() { e2e_screenshot "$E2E_TMP/shown.png" && (( $(pet_pixels "$E2E_TMP/shown.png") > 2000 )); }
e2e_click $(( tx + 10 )) $(( ty + th / 2 )) 1
e2e_wait_until 10 shown
cp "$E2E_TMP/shown.png" "$E2E_REPO_DIR/build/e2e-tray.png" 2>/dev/null || true
(( $(pet_pixels "$E2E_TMP/shown.png") > 2000 )) && e2e_pass "a left click on the icon shows the pet" ||
  e2e_fail "a left click on the icon shows the pet" "$(pet_pixels "$E2E_TMP/shown.png") pet pixels"

# "Hide": the pet's gesture, then nothing of it is left on the screen; the icon brings it back.
gone() { e2e_screenshot "$E2E_TMP/gone.png" && (( $(pet_pixels "$E2E_TMP/gone.png") < 200 )); }
e2e_open_menu "$pid" $(( tx + 10 )) $(( ty + th / 2 )) 3 || e2e_fail "the icon's menu opens" "no menu window"
xdotool key Up Up Up Return
e2e_wait_until 15 gone && e2e_pass "Hide from the icon's menu hides the pet" ||
  e2e_fail "Hide from the icon's menu hides the pet" "$(pet_pixels "$E2E_TMP/gone.png") pet pixels"
e2e_click $(( tx + 10 )) $(( ty + th / 2 )) 1
e2e_wait_until 10 shown && e2e_pass "and a left click on the icon shows it again" ||
  e2e_fail "and a left click on the icon shows it again" "$(pet_pixels "$E2E_TMP/shown.png") pet pixels"

e2e_open_menu "$pid" $(( tx + 10 )) $(( ty + th / 2 )) 3 || e2e_fail "the icon's menu opens" "no menu window"
xdotool key Up Return
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "Exit from the icon's menu ends with exit code 1" ||
  e2e_fail "Exit from the icon's menu ends with exit code 1" "exit $rc"
[[ $(e2e_reg_value "$KEY" hidden) == "REG_DWORD 0x0" ]] && e2e_pass "shown at exit, stored" ||
  e2e_fail "shown at exit, stored" "hidden $(e2e_reg_value "$KEY" hidden)"
