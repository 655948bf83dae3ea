#!/usr/bin/env bash
# The About window: chosen from the pet's menu it appears centred with its picture, Return
# or a click on OK hides it, the pet goes on, a close request still ends the program.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
PROG=$(e2e_stage "$RAVILO_DIST")

# "About" is the first item of the pet's menu.
choose_about() { e2e_pet_menu "$pid" "$wid" && xdotool key Down Return; }
# Whether a visible window titled About exists (waits up to $1 s for it to appear).
about_shown() { e2e_find_window About "${1:-0}" >/dev/null; }
about_gone() { ! about_shown; }
# Wine unmaps a hidden window only some time later, once the pointer has moved off: up to a
# few seconds.
hidden_soon() { e2e_mousemove 100 100; e2e_wait_until 10 about_gone; }
# Its picture (259 x 151 at 32,6) covers most of the window; the desktop below is black.
picture_pixels() {
  echo $(( 259 * 151 - $(e2e_pixel_count_of_colour "$1" 0 0 0 $(( ax + 32 )) $(( ay + 6 )) 259 151) ))
}
about_drawn() { e2e_screenshot "$E2E_TMP/about-now.png" && (( $(picture_pixels "$E2E_TMP/about-now.png") > 20000 )); }
geometry_is() { [[ $(e2e_window_geometry "$1" 2>/dev/null) == "$2" ]]; }

pid=$(e2e_start_exe "$PROG/Ravilo.exe")
wid=$(e2e_find_window Ravilo 20) || { e2e_fail "the main window appears" "none"; exit 1; }

choose_about
if awid=$(e2e_find_window About 10); then e2e_pass "\"About\" from the menu opens the About window"
else e2e_fail "\"About\" from the menu opens the About window" "no window titled About"; exit 1; fi
want="$(( (1280 - 300) / 2 )) $(( (800 - 158) / 2 )) 300 158"
e2e_wait_until 5 geometry_is "$awid" "$want"
geometry=$(e2e_window_geometry "$awid")
[[ $geometry == "$want" ]] && e2e_pass "centred on the desktop" || e2e_fail "centred on the desktop" "geometry $geometry, wanted $want"

read -r ax ay aw ah <<<"$geometry"
e2e_wait_until 5 about_drawn
shot="$E2E_TMP/about.png"
e2e_screenshot "$shot"
cp "$shot" "$E2E_REPO_DIR/build/e2e-about.png" 2>/dev/null || true
purple=$(e2e_pixel_count_of_colour "$shot" 128 0 128)
[[ $purple == 0 ]] && e2e_pass "no purple pixel on screen" || e2e_fail "no purple pixel on screen" "$purple purple pixels"
visible=$(picture_pixels "$shot")
(( visible > 20000 )) && e2e_pass "the picture is shown" || e2e_fail "the picture is shown" "$visible non-black pixels"

xdotool key Return
hidden_soon && e2e_pass "Return hides it" || e2e_fail "Return hides it" "still shown"

choose_about
about_shown 10 && e2e_wait_until 5 about_drawn && e2e_pass "shown again from the menu" ||
  e2e_fail "shown again from the menu" "not shown"
e2e_click $(( ax + 128 + 27 )) $(( ay + 112 + 13 )) 1
hidden_soon && e2e_pass "a click on OK hides it" || e2e_fail "a click on OK hides it" "still shown"

e2e_running "$pid" && e2e_pass "the program still runs" || e2e_fail "the program still runs" "it ended"
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request ends with exit code 1" || e2e_fail "a close request ends with exit code 1" "exit $rc"
