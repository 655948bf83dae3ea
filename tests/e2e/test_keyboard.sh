#!/usr/bin/env bash
# The keyboard alone, under Wine (xdotool key; no mouse after the start): Shift+F10 on the pet
# opens its menu, "Alarm" opens the simple-mode window, Tab, Up and Down set the time to the
# coming minute, Space switches the alarm on and Enter is OK; it rings at that minute, and
# the context-menu key on the pet, Esc and Enter stop the ring. The focus mark shows only after the first Tab, round a button, a time
# field and a day button, with no pixel near the key colour; then once more at 192 dpi for
# the 200 % pictures. Screenshots: build/e2e-keyboard-<scale>-<control>.png (the whole
# screen) and build/keyboard-focus-<scale>-<control>.png (the window cut out, as kept in
# docs/screenshots).
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
export E2E_SCREEN=1920x1200
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")
SHOTS="$E2E_REPO_DIR/build"

sl() { echo $(( ($1 * scale + 50) / 100 )); }  # a design length at the scale, halves up
# Without a window manager nothing sends WM_TAKE_FOCUS, by which Wine 8 activates a window
# that gets the X focus; told not to wait for it, Wine activates the window that xdotool
# gives the focus, as a user does with Alt+Tab.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseTakeFocus /t REG_SZ /d N /f >/dev/null 2>&1
helper=$(e2e__helper) || { e2e_fail setup "e2ehelp"; exit 1; }
front() { wine "$helper" front 2>/dev/null | tr -d '\r'; }
pet_in_front() { [[ $(front) =~ ^Ravilo(: .*)?$ ]]; }  # "Ravilo: 07:30" while it rings
geometry_is() { [[ $(e2e_window_geometry "$1" 2>/dev/null) == "$2" ]]; }

# Gives the pet's window the X focus (as Alt+Tab would; Wine then activates it) and opens its
# menu with a key (shift+F10 unless given); false when no menu window comes within 10 s.
menu_by_keyboard() {
  local pid=$1 main=$2 key=${3:-shift+F10} before menu deadline=$((SECONDS + 10))
  before=$(e2e_program_windows "$pid")
  xdotool windowfocus "$main" 2>/dev/null
  # Wine takes the X focus in as an activation of the pet.
  e2e_wait_until 5 pet_in_front || e2e_log "the pet is not in front: \"$(front)\""
  xdotool key "$key"
  while :; do
    menu=$(e2e_program_windows "$pid" | grep -vxF -e "${before:-none}" | head -n1)
    [[ -n $menu ]] && return 0
    [[ $SECONDS -ge $deadline ]] && return 1
    sleep 0.1
  done
}

# Dark mark pixels (16, 16, 16) round a control at design X Y W H of the window at AX AY.
mark_pixels() {
  e2e_pixel_count_of_colour "$E2E_TMP/focus.png" 16 16 16 \
    $((ax + $(sl $(($2 - 3))))) $((ay + $(sl $(($3 - 3))))) "$(sl $(($4 + 6)))" "$(sl $(($5 + 6)))"
}
marked() { e2e_screenshot "$E2E_TMP/focus.png" && (( $(mark_pixels "$@") > 0 )); }
# Pixels of the screenshot within 40 of the key colour.
near_key() {
  /usr/bin/python3 - "$1" <<'PY'
import sys
import numpy as np
from PIL import Image
a = np.asarray(Image.open(sys.argv[1]).convert("RGB"), dtype=np.int32)
print(int((((a[..., 0] - 128) ** 2 + a[..., 1] ** 2 + (a[..., 2] - 128) ** 2) <= 40 * 40).sum()))
PY
}
# Waits for the mark round NAME at design X Y W H, keeps the screenshot, checks it for
# near-key pixels.
expect_mark() {
  local name=$1 near
  if e2e_wait_until 5 marked "$@"; then
    e2e_pass "$scale %: the focus mark shows round the $name"
  else
    e2e_fail "$scale %: the focus mark shows round the $name" "no mark pixel"
  fi
  cp "$E2E_TMP/focus.png" "$E2E_REPO_DIR/build/e2e-keyboard-$scale-$name.png" 2>/dev/null || true
  convert "$E2E_TMP/focus.png" -crop "$(sl 371)x$(sl 376)+$ax+$ay" +repage \
    "$SHOTS/keyboard-focus-$scale-${name// /-}.png" 2>/dev/null || true
  near=$(near_key "$E2E_TMP/focus.png")
  [[ $near == 0 ]] && e2e_pass "$scale %: no pixel near the key with the mark on the $name" ||
    e2e_fail "$scale %: no pixel near the key with the mark on the $name" "$near pixels"
}

# Opens the simple-mode window from the pet's menu by keyboard; sets ax, ay.
open_alarm_window() {
  local pid=$1 main=$2 g
  menu_by_keyboard "$pid" "$main" && e2e_pass "$scale %: Shift+F10 opens the pet's menu" ||
    { e2e_fail "$scale %: Shift+F10 opens the pet's menu" "no menu"; return 1; }
  xdotool key Down Down Return  # About, (separator), Alarm
  if g=$(e2e_window_of_size 'Alarm\(simple mode\)' "$(sl 371)" "$(sl 376)"); then
    e2e_pass "$scale %: \"Alarm\" opens the simple-mode window"
    read -r ax ay _ _ <<<"$g"
    # Under Wine 8 without a window manager the keys go to the window with the X focus.
    xdotool windowfocus "$(e2e_find_window '^Alarm\(simple mode\)$' 5)" 2>/dev/null
  else
    e2e_fail "$scale %: \"Alarm\" opens the simple-mode window" "geometry $g"
    return 1
  fi
  # Drawn, and no mark before the first Tab.
  drawn() {
    e2e_screenshot "$E2E_TMP/focus.png" &&
      (( $(e2e_pixel_count_of_colour "$E2E_TMP/focus.png" 255 255 255 $((ax + $(sl 104))) $((ay + $(sl 128))) "$(sl 20)" "$(sl 24)") > 100 ))
  }
  e2e_wait_until 5 drawn
  (( $(mark_pixels close 328 16 21 20) == 0 )) && e2e_pass "$scale %: no focus mark before the first Tab" ||
    e2e_fail "$scale %: no focus mark before the first Tab" "a mark round the close button"
}

# 100 %: the whole road of an alarm set by keyboard.
scale=100
target=$(( ($(date +%s) + 35 + 59) / 60 * 60 ))
th=$(date -d "@$target" +%-H) tm=$(date -d "@$target" +%-M)
# Stored an hour earlier and a minute later, and off: one Up and one Down set it.
for v in "AlarmIsOn 0" "AlarmHour $(( (th + 23) % 24 ))" "AlarmMin $(( (tm + 1) % 60 ))" "UsePlayist 0"; do
  wine reg add "$KEY" /v "${v% *}" /t REG_DWORD /d "${v#* }" /f >/dev/null 2>&1
done
wine reg add "$KEY" /v AlarmSound /t REG_SZ /d 'Sounds\Alarms\alarm0.wav' /f >/dev/null 2>&1
e2e_log "the alarm is to be set to $(date -d "@$target" +%T)"
pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "window" "none"; exit 1; }
e2e_wait_pet "$main" 20 >/dev/null || e2e_fail "the pet shows" "not drawn"
normal=$(e2e_window_geometry "$main")
open_alarm_window "$pid" "$main" || exit 1
xdotool key Tab
expect_mark "button" 328 16 21 20           # the close button
xdotool key Tab space                       # the on/off switch: on
xdotool key Tab Tab                         # the name field, then the hour
expect_mark "time field" 104 128 20 24      # the hour
xdotool key Up Tab Down Tab Tab             # the minute; Once; then the days
expect_mark "day button" 32 168 40 24       # Monday
xdotool key Return                          # OK
stored() {
  [[ "$(e2e_reg_value "$KEY" AlarmIsOn) $(e2e_reg_value "$KEY" AlarmHour) $(e2e_reg_value "$KEY" AlarmMin)" == \
     "REG_DWORD 0x1 REG_DWORD $(printf '0x%x' "$th") REG_DWORD $(printf '0x%x' "$tm")" ]]
}
if e2e_wait_until 10 stored; then
  e2e_pass "Space, Up, Down and Enter store the alarm on at $th:$tm"
else
  e2e_fail "Space, Up, Down and Enter store the alarm on at $th:$tm" \
    "$(e2e_reg_value "$KEY" AlarmIsOn) $(e2e_reg_value "$KEY" AlarmHour) $(e2e_reg_value "$KEY" AlarmMin)"
fi
gone() { ! xdotool search --onlyvisible --name '^Alarm\(simple mode\)$' >/dev/null 2>&1; }
e2e_wait_until 5 gone || e2e_fail "OK closes the window" "still shown"
ringing() { [[ $(e2e_window_geometry "$main" | awk '{print $3 "x" $4}') == 460x319 ]]; }
if e2e_wait_until $(( target - $(date +%s) + 30 )) ringing; then
  (( $(date +%s) >= target )) && e2e_pass "it rings at $th:$tm" || e2e_fail "it rings at $th:$tm" "rang early"
  # The ring does not take the keyboard. The user goes to the pet and makes it theirs with
  # the context-menu key (Esc closes the menu again); then Enter stops.
  if menu_by_keyboard "$pid" "$main" Menu; then
    e2e_pass "the context-menu key opens the pet's menu"
    xdotool key Escape
  else
    e2e_fail "the context-menu key opens the pet's menu" "no menu"
  fi
  e2e_wait_until 5 pet_in_front || e2e_log "the pet is not in front: \"$(front)\""
  ringing && e2e_pass "Esc closes the menu and leaves the ring going" ||
    e2e_fail "Esc closes the menu and leaves the ring going" "the ring ended"
  xdotool key Return
  e2e_wait_until 10 geometry_is "$main" "$normal" && e2e_pass "Enter stops the ring" ||
    e2e_fail "Enter stops the ring" "geometry $(e2e_window_geometry "$main")"
  # The close request finds the window by its title, which comes back a moment after the size.
  plain() { [[ $(xdotool getwindowname "$main" 2>/dev/null) == Ravilo ]]; }
  e2e_wait_until 5 plain || e2e_fail "the title is Ravilo again after the ring" "$(xdotool getwindowname "$main")"
else
  e2e_fail "it rings at $th:$tm" "no ringing layout"
fi
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request after the ring answered by key ends with 1" ||
  e2e_fail "a close request after the ring answered by key ends with 1" "exit $rc"

# 200 %: the same marks at 192 dpi.
scale=200
export E2E_SCALE=$scale
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
wine reg add "$KEY" /v AlarmIsOn /t REG_DWORD /d 0 /f >/dev/null 2>&1
pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "200 %: window" "none"; exit 1; }
e2e_wait_pet "$main" 20 >/dev/null || e2e_fail "200 %: the pet shows" "not drawn"
if open_alarm_window "$pid" "$main"; then
  xdotool key Tab
  expect_mark "button" 328 16 21 20
  xdotool key Tab Tab Tab
  expect_mark "time field" 104 128 20 24
  xdotool key Tab Tab Tab
  expect_mark "day button" 32 168 40 24
  xdotool key Escape
  e2e_wait_until 5 gone || e2e_fail "200 %: Esc closes the window" "still shown"
fi
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "200 %: a close request ends with 1" || e2e_fail "200 %: a close request ends with 1" "exit $rc"
