#!/usr/bin/env bash
# The user's playlist is never lost: a portable folder with a two-entry Playlist.txt started
# under an account without settings keeps the file as it was (the alarm values alone take
# their defaults), and the playlist window's OK, when the file can't be written, says so
# with the file's place and stays open with the list, changing nothing stored.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")
SHOTS="$E2E_REPO_DIR/build"

TUNES="$WINEPREFIX/drive_c/ravilo-keep"
mkdir -p "$TUNES"
e2e_make_tone "$TUNES/one.wav" 1 440 0.5
e2e_make_tone "$TUNES/two.wav" 1 880 0.5
printf '2\r\nC:\\ravilo-keep\\one.wav\r\nC:\\ravilo-keep\\two.wav\r\n' >"$PROG/Playlist.txt"
cp "$PROG/Playlist.txt" "$E2E_TMP/playlist-before.txt"

pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 30) || { e2e_fail "window" "none"; exit 1; }
defaults_written() { [[ $(e2e_reg_value "$KEY" AlarmHour) == "REG_DWORD 0x8" ]]; }
e2e_wait_until 20 defaults_written && e2e_pass "the alarm values take their defaults on an account without settings" ||
  e2e_fail "the alarm values take their defaults" "$(e2e_reg_value "$KEY" AlarmHour)"
cmp -s "$E2E_TMP/playlist-before.txt" "$PROG/Playlist.txt" &&
  e2e_pass "Playlist.txt is kept as it was" ||
  e2e_fail "Playlist.txt is kept as it was" "now: $(tr '\r\n' '  ' <"$PROG/Playlist.txt")"

geometry_is() { [[ $(e2e_window_geometry "$1" 2>/dev/null) == "$2" ]]; }
list_count() { [[ $(e2e_listbox_items 'Alarm(playlist mode)' | head -n1) == "$1" ]]; }
hidden() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
e2e_pet_menu "$pid" "$main" && xdotool key Down Down Return # "Alarm"
simple=$(e2e_find_window '^Alarm\(simple mode\)$' 20) || { e2e_fail "simple-mode window" "none"; exit 1; }
e2e_wait_until 10 geometry_is "$simple" "242 167 371 376"
e2e_click $((242 + 104 + 75)) $((167 + 328 + 13)) 1 # "Playlist mode"
pl=$(e2e_find_window '^Alarm\(playlist mode\)$' 20) || { e2e_fail "playlist window" "none"; exit 1; }
e2e_wait_until 10 geometry_is "$pl" "457 100 365 599"
e2e_wait_until 10 list_count 2 && e2e_pass "the playlist window shows the kept entries" ||
  e2e_fail "the playlist window shows the kept entries" "$(e2e_listbox_items 'Alarm(playlist mode)' | tr '\n' '|')"

# A folder in the way of the new file: the write fails however the test runs (as root a
# read-only folder would not stop it).
mkdir "$PROG/Playlist.txt.new"
e2e_click $((457 + 72 + 36)) $((100 + 504 + 13)) 1 # OK
if box=$(e2e_find_window 'FormMyMessageBox' 20); then
  e2e_pass "OK that can't store the list says so"
  sleep 0.5 # the box's text is drawn after it is mapped; nothing outside can tell when
  e2e_screenshot "$E2E_TMP/cannot-save.png"
  cp "$E2E_TMP/cannot-save.png" "$SHOTS/e2e-playlist-cannot-save.png" 2>/dev/null || true
  xdotool key Return
  e2e_wait_until 10 hidden FormMyMessageBox || e2e_fail "Enter closes the message" "still shown"
else
  e2e_fail "OK that can't store the list says so" "no message box"
fi
e2e_wait_until 3 hidden 'Alarm\(playlist mode\)' && e2e_fail "the window stays open with the list" "hidden" ||
  { list_count 2 && e2e_pass "the window stays open with the list" ||
    e2e_fail "the window stays open with the list" "$(e2e_listbox_items 'Alarm(playlist mode)' | tr '\n' '|')"; }
[[ $(e2e_reg_value "$KEY" UsePlayist) == "REG_DWORD 0x0" ]] && cmp -s "$E2E_TMP/playlist-before.txt" "$PROG/Playlist.txt" &&
  e2e_pass "nothing stored changed" ||
  e2e_fail "nothing stored changed" "UsePlayist $(e2e_reg_value "$KEY" UsePlayist)"

# With the way clear, the same OK stores the list and playlist mode.
rmdir "$PROG/Playlist.txt.new"
e2e_click $((457 + 72 + 36)) $((100 + 504 + 13)) 1
stored_mode() { [[ $(e2e_reg_value "$KEY" UsePlayist) == "REG_DWORD 0x1" ]]; }
e2e_wait_until 10 hidden 'Alarm\(playlist mode\)' && e2e_wait_until 10 stored_mode &&
  e2e_pass "OK again, once the file can be written, stores playlist mode and hides" ||
  e2e_fail "OK again stores playlist mode" "$(e2e_reg_value "$KEY" UsePlayist)"

e2e_close_request "$pid"
e2e_wait_exit "$pid" 20 >/dev/null
