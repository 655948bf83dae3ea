#!/usr/bin/env bash
# What a screen reader is told of each Ravilo window, asked the way a reader asks: from
# another process, through Wine's oleacc (AccessibleObjectFromWindow on the client area).
# Every control the window declares is there, in its order, with its name and role; none is
# unnamed; the states and the time fields' values come through.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
PROG=$(e2e_stage "$RAVILO_DIST")
CHECK_DIR=$(e2e_stage "$(dirname "$RAVILO_DIST")/access-check") || { e2e_fail "access-check" "not built"; exit 1; }
CHECK=$CHECK_DIR/access-check.exe

# access_of TITLE : the probe's lines for that window (the child lines: id, role, name,
# states, value).
access_of() { timeout 60 wine "$CHECK" "$1" 2>/dev/null | tr -d '\r'; }
# declared TITLE FILE : "role<TAB>name" of each child, in order, as the window declares them.
children_of() { access_of "$1" >"$2.all"; grep $'^child\t' "$2.all" | cut -f3,4 >"$2"; }
# check_window TITLE EXPECTED... : each EXPECTED is "role:name", in the window's order.
check_window() {
  local title=$1 got="$E2E_TMP/access.$RANDOM" want="$E2E_TMP/want.$RANDOM"
  shift
  printf '%s\n' "$@" | sed 's/:/\t/' >"$want"
  # A native list is given by the system's own object for it, whose role Wine 8 tells only
  # as "client" (Windows: list).
  answered() { children_of "$title" "$got" && [[ -s $got ]] && sed -i 's/^client\t/list\t/' "$got"; }
  if ! e2e_wait_until 30 answered; then
    e2e_fail "\"$title\" answers a screen reader" "$(head -c 300 "$got.all" 2>/dev/null)"
    return 1
  fi
  e2e_pass "\"$title\" answers a screen reader with $(wc -l <"$got") controls"
  cp "$got.all" "$E2E_REPO_DIR/build/e2e-access-${title//[^A-Za-z]/_}.txt" 2>/dev/null || true
  local unnamed
  unnamed=$(awk -F'\t' '$2 == ""' "$got" | wc -l)
  (( unnamed == 0 )) && e2e_pass "\"$title\": no control unnamed" || e2e_fail "\"$title\": no control unnamed" "$unnamed unnamed"
  if diff -u "$want" "$got" >"$got.diff"; then
    e2e_pass "\"$title\": every declared control, with its role, none missing"
  else
    e2e_fail "\"$title\": every declared control, with its role, none missing" "$(tail -n +3 "$got.diff" | head -20 | tr '\n' ' ')"
  fi
  LAST_ACCESS="$got.all"
}
# line_of NAME : the probe's line for the child of that name in the last window checked.
line_of() { awk -F'\t' -v n="$1" '$1 == "child" && $4 == n' "$LAST_ACCESS"; }
state_of() { line_of "$1" | cut -f5; }
value_of() { line_of "$1" | cut -f6; }

pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "the main window appears" "none"; exit 1; }

# The pet: its two ringing buttons, hidden until a ring.
check_window Ravilo "push button:Stop" "push button:10 min more"
[[ $(state_of Stop) == *invisible* ]] && e2e_pass "the hidden stop button is told invisible" ||
  e2e_fail "the hidden stop button is told invisible" "states $(state_of Stop)"

# The simple-mode window: "Alarm" is the menu's second item.
e2e_pet_menu "$pid" "$main" || e2e_fail "the pet's menu opens" "no menu"
xdotool key Down Down Return
e2e_find_window '^Alarm\(simple mode\)$' 10 >/dev/null || { e2e_fail "the simple-mode window opens" "no window"; exit 1; }
check_window 'Alarm(simple mode)' "spin box:Hour" "spin box:Minute" "text:alarm0.wav" \
  "push button:Close" "check box:Alarm on" "push button:Hour up" "push button:Hour down" "push button:Minute up" \
  "push button:Minute down" "push button:Change..." "push button:Test" "push button:OK" "push button:Cancel" \
  "push button:Playlist mode" "check box:Monday" "check box:Tuesday" "check box:Wednesday" "check box:Thursday" \
  "check box:Friday" "check box:Saturday" "check box:Sunday" "edit:Name" "check box:Once" "push button:All alarms"
[[ $(value_of Hour) =~ ^[0-9][0-9]$ && $(value_of Minute) =~ ^[0-9][0-9]$ ]] &&
  e2e_pass "the time fields give their values ($(value_of Hour):$(value_of Minute))" ||
  e2e_fail "the time fields give their values" "hour '$(value_of Hour)', minute '$(value_of Minute)'"
[[ $(state_of Monday) == *checked* ]] && e2e_pass "a day that is on is told checked" ||
  e2e_fail "a day that is on is told checked" "states $(state_of Monday)"
[[ $(state_of "Alarm on") != *checked* ]] && e2e_pass "the alarm switch, off, is told unchecked" ||
  e2e_fail "the alarm switch, off, is told unchecked" "states $(state_of "Alarm on")"

# Every day off and OK: the message box, whose message a reader gets as its name.
read -r SX SY _ _ <<<"$(e2e_window_geometry "$(e2e_find_window '^Alarm\(simple mode\)$')")"
for (( d = 0; d < 7; ++d )); do e2e_click $(( SX + 32 + 44 * d + 20 )) $(( SY + 168 + 12 )) 1; done
e2e_click $(( SX + 72 + 36 )) $(( SY + 288 + 13 )) 1
if e2e_find_window FormMyMessageBox 20 >/dev/null; then
  check_window FormMyMessageBox "push button:OK" "text:Choose at least one day for the alarm." "push button:Close" \
    "push button:Cancel"
  name=$(access_of FormMyMessageBox | awk -F'\t' '$1 == "window" { print $3 }')
  [[ $name == "Choose at least one day for the alarm." ]] && e2e_pass "the message box is named by its message" ||
    e2e_fail "the message box is named by its message" "named '$name'"
  xdotool key Return
else
  e2e_fail "OK with every day off shows the message box" "no box"
fi
gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
e2e_wait_until 10 gone FormMyMessageBox || e2e_fail "Enter closes the message" "still shown"

# The playlist-mode window, through its button: the native list is there by its name.
e2e_click $(( SX + 104 + 75 )) $(( SY + 328 + 13 )) 1
if e2e_find_window 'Alarm\(playlist mode\)' 10 >/dev/null; then
  days=("check box:Monday" "check box:Tuesday" "check box:Wednesday" "check box:Thursday" "check box:Friday"
        "check box:Saturday" "check box:Sunday")
  check_window 'Alarm(playlist mode)' "push button:Close" "check box:Alarm on" "spin box:Hour" "spin box:Minute" \
    "push button:Hour up" "push button:Hour down" "push button:Minute up" "push button:Minute down" "list:Playlist" \
    "push button:Stop" "push button:Add file" "push button:Add folder" "push button:Remove selected" \
    "push button:Remove all" "push button:OK" "push button:Cancel" "push button:Simple mode" "${days[@]}" \
    "edit:Name" "check box:Once" "push button:All alarms"
  xdotool key Escape
  e2e_wait_until 10 gone 'Alarm\(playlist mode\)' || e2e_fail "Esc closes the playlist-mode window" "still shown"
else
  e2e_fail "\"Playlist mode\" opens the playlist-mode window" "no window"
fi

# Options: the choices of a row are radio buttons, named by row and words.
e2e_pet_menu "$pid" "$main" || e2e_fail "the pet's menu opens" "no menu"
xdotool key Up Up Up Up Up Return
if e2e_find_window Options 10 >/dev/null; then
  choices=()
  for c in "Snooze 5 min" "Snooze 10 min" "Snooze 15 min" "Snooze 20 min" "Snooze 30 min" "Gentle start Off" \
           "Gentle start 15 s" "Gentle start 30 s" "Gentle start 60 s" "Ring ends after Never" "Ring ends after 5 min" \
           "Ring ends after 10 min" "Ring ends after 15 min" "Ring ends after 30 min" "Ring ends after 60 min" \
           "Pet size Auto" "Pet size 100 %" "Pet size 150 %" "Pet size 200 %" "Pet size 300 %"; do
    choices+=("radio button:$c")
  done
  check_window Options "push button:Close" "check box:Ring even when the sound is muted" \
    "check box:Start Ravilo when I log on" "check box:Hide during full-screen programs" "push button:OK" \
    "push button:Cancel" "${choices[@]}"
  [[ $(state_of "Snooze 10 min") == *checked* && $(state_of "Snooze 5 min") != *checked* ]] &&
    e2e_pass "the chosen snooze length is told checked, the others not" ||
    e2e_fail "the chosen snooze length is told checked, the others not" "10: $(state_of "Snooze 10 min"), 5: $(state_of "Snooze 5 min")"
  xdotool key Escape
  e2e_wait_until 10 gone Options || e2e_fail "Esc closes Options" "still shown"
else
  e2e_fail "\"Options\" opens the Options window" "no window"
fi

# About: the links are links.
e2e_pet_menu "$pid" "$main" || e2e_fail "the pet's menu opens" "no menu"
xdotool key Down Return
e2e_find_window About 10 >/dev/null || { e2e_fail "the About window opens" "no window"; exit 1; }
check_window About "push button:OK" "link:www.mirenworks.com" "link:support@mirenworks.com" \
  "text:v040" "text:Ravilo site:" "text:Questions to:" "push button:Close"
xdotool key Return
e2e_wait_until 10 gone About || e2e_fail "Return closes About" "still shown"

e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request ends with exit code 1" || e2e_fail "a close request ends with exit code 1" "exit $rc"
