#!/usr/bin/env bash
# Ravilo at 200 % (LogPixels 192) on a 1280 x 800 screen: the simple alarm window, 742 x 752
# at that scale, would reach past the screen's bottom from its place in the pet's display
# (484, 334); it stands wholly on the screen instead, and its "Playlist mode" button, at the
# window's bottom, takes the click. The playlist window comes as large as the screen holds
# (125 %), wholly on it. Screenshot: build/e2e-placement.png.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
export E2E_SCREEN=1280x800 E2E_SCALE=200
SW=1280 SH=800
e2e_setup
PROG=$(e2e_stage "$RAVILO_DIST")
KEY='HKCU\Software\MirenWorks\Ravilo'

wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
wine reg delete "$KEY" /f >/dev/null 2>&1

on_screen() { (( $1 >= 0 && $2 >= 0 && $1 + $3 <= SW && $2 + $4 <= SH )); }

xdotool mousemove 100 100
pid=$(e2e_start_exe "$PROG/Ravilo.exe")
wid=$(e2e_find_window Ravilo 20) || e2e_fail "the pet's window" "none"
if [[ -n ${wid:-} ]] && e2e_pet_menu "$pid" "$wid"; then
  xdotool key Down Down Return  # "Alarm"
  if g=$(e2e_window_of_size 'Alarm\(simple mode\)' 742 752); then
    read -r ax ay aw ah <<<"$g"
    on_screen "$ax" "$ay" "$aw" "$ah" && e2e_pass "the 742 x 752 alarm window stands wholly on the screen" ||
      e2e_fail "the 742 x 752 alarm window stands wholly on the screen" "geometry $g"
    sleep 0.5
    e2e_screenshot "$E2E_TMP/placement.png" && cp "$E2E_TMP/placement.png" "$E2E_REPO_DIR/build/e2e-placement.png" 2>/dev/null
    e2e_click $((ax + 358)) $((ay + 682)) 1  # "Playlist mode", 179, 341 in the window's design
    if g=$(e2e_window_of_size 'Alarm\(playlist mode\)' 456 749); then
      read -r px py pw ph <<<"$g"
      on_screen "$px" "$py" "$pw" "$ph" && e2e_pass "the playlist window comes at 125 %, wholly on the screen" ||
        e2e_fail "the playlist window comes at 125 %, wholly on the screen" "geometry $g"
      xdotool key Escape
      # The close request below goes to the program's first window: the playlist window must
      # be gone by then.
      gone() { ! xdotool search --onlyvisible --name 'Alarm\(playlist mode\)' >/dev/null 2>&1; }
      e2e_wait_until 5 gone || e2e_fail "Esc closes the playlist window" "still shown"
    else
      e2e_fail "\"Playlist mode\" at the alarm window's bottom opens the playlist window at 125 %" "geometry ${g:-none}"
    fi
  else
    e2e_fail "the alarm window is 742 x 752" "geometry ${g:-none}"
  fi
else
  e2e_fail "the pet's menu opens" "no menu"
fi
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "ends with 1" || e2e_fail "ends with 1" "exit $rc"
e2e_summary
