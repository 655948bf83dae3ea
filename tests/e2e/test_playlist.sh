#!/usr/bin/env bash
# Playlist mode under Wine: from the simple-mode window to the playlist window, a folder of
# WAVs picked by keyboard in the add-directory dialog's tree, OK stores the four WAVs
# (one with a name outside ASCII) and playlist mode; after a restart the alarm rings with
# one of them (told apart by pitch on the recording), and "Alarm" opens the playlist
# window with the entries.
# e2e: alone (it records sound, or measures CPU or time)
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")
SHOTS="$E2E_REPO_DIR/build"

# The folder: three WAVs of different pitch, a text file, and a subfolder with a fourth.
TUNES="$WINEPREFIX/drive_c/ravilo-tunes"
UNICODE_NAME='Ünïcødé 闹钟.wav'
mkdir -p "$TUNES/deeper"
e2e_make_tone "$TUNES/low.wav" 2 330 0.6
e2e_make_tone "$TUNES/$UNICODE_NAME" 2 660 0.6
e2e_make_tone "$TUNES/high.wav" 2 1320 0.6
e2e_make_tone "$TUNES/deeper/deep.wav" 2 2640 0.6
echo "not a sound" >"$TUNES/notes.txt"
declare -A PITCH=([low.wav]=330 [$UNICODE_NAME]=660 [high.wav]=1320 [deep.wav]=2640)

geometry_is() { [[ $(e2e_window_geometry "$1" 2>/dev/null) == "$2" ]]; }
# The pet's menu from a right click on it, then its "Alarm" item (About, separator, Alarm).
choose_alarm() { e2e_pet_menu "$pid" "$main" && xdotool key Down Down Return; }
list_count() { [[ $(e2e_listbox_items 'Alarm(playlist mode)' | head -n1) == "$1" ]]; }

pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 30) || { e2e_fail "window" "none"; exit 1; }
choose_alarm
simple=$(e2e_find_window '^Alarm\(simple mode\)$' 20) || { e2e_fail "simple-mode window" "none"; exit 1; }
e2e_wait_until 10 geometry_is "$simple" "242 167 371 376"
e2e_click $((242 + 104 + 75)) $((167 + 328 + 13)) 1 # "Playlist mode"
if pl=$(e2e_find_window '^Alarm\(playlist mode\)$' 20) && e2e_wait_until 10 geometry_is "$pl" "457 100 365 599"; then
  e2e_pass "\"Playlist mode\" opens the playlist window in the middle of the desktop"
else
  e2e_fail "\"Playlist mode\" opens the playlist window in the middle of the desktop" \
    "$(e2e_window_geometry "${pl:-0}" 2>/dev/null || echo none)"
  exit 1
fi
e2e_wait_until 5 sh -c "! xdotool search --onlyvisible --name '^Alarm\(simple mode\)$' >/dev/null 2>&1" &&
  e2e_pass "the simple-mode window hides" || e2e_fail "the simple-mode window hides" "still shown"

e2e_screenshot "$E2E_TMP/before-dialog.png"
e2e_click $((457 + 40 + 63)) $((100 + 464 + 12)) 1 # "Add folder"
if dlg=$(e2e_find_window '^Add Directory$' 20) && e2e_wait_until 10 geometry_is "$dlg" "477 222 326 356"; then
  e2e_pass "\"Add folder\" opens the add-directory dialog in the middle"
else
  e2e_fail "\"Add folder\" opens the add-directory dialog in the middle" "$(e2e_window_geometry "${dlg:-0}")"
  exit 1
fi
# Drawn over the playlist window.
convert "$E2E_TMP/before-dialog.png" -crop 326x356+477+222 +repage "$E2E_TMP/before-crop.png"
dialog_changed() {
  e2e_screenshot "$E2E_TMP/dialog-now.png"
  convert "$E2E_TMP/dialog-now.png" -crop 326x356+477+222 +repage "$E2E_TMP/dialog-now-crop.png"
  local n
  n=$(compare -metric AE "$E2E_TMP/before-crop.png" "$E2E_TMP/dialog-now-crop.png" null: 2>&1)
  ((${n%%[!0-9]*} > 40000))
}
e2e_wait_until 10 dialog_changed
# By keyboard in the tree: the first drive, open it, type the folder's name, Enter. The
# pauses pace the keys for the tree (expanding a drive reads it); nothing outside the
# program can read the tree's state to wait on.
xdotool key Home
sleep 0.3
xdotool key Right
sleep 1
xdotool type --delay 80 ravilo
sleep 0.5
e2e_screenshot "$E2E_TMP/adddir.png"
cp "$E2E_TMP/adddir.png" "$SHOTS/e2e-add-directory.png" 2>/dev/null || true
# The dialog stands above the window whose button opened it: its place looks different.
convert "$E2E_TMP/before-dialog.png" -crop 326x356+477+222 +repage "$E2E_TMP/before-crop.png"
convert "$E2E_TMP/adddir.png" -crop 326x356+477+222 +repage "$E2E_TMP/dialog-crop.png"
changed=$(compare -metric AE "$E2E_TMP/before-crop.png" "$E2E_TMP/dialog-crop.png" null: 2>&1)
((${changed%%[!0-9]*} > 40000)) && e2e_pass "the dialog is drawn above the playlist window ($changed pixels changed)" ||
  e2e_fail "the dialog is drawn above the playlist window" "only $changed pixels changed"
xdotool key Return
if e2e_wait_until 20 list_count 4; then
  e2e_pass "Enter in the tree adds the folder's four WAVs"
else
  e2e_fail "Enter in the tree adds the folder's four WAVs" "list: $(e2e_listbox_items 'Alarm(playlist mode)' | tr '\n' '|')"
fi
e2e_screenshot "$E2E_TMP/playlist.png"
cp "$E2E_TMP/playlist.png" "$SHOTS/e2e-playlist-window.png" 2>/dev/null || true
[[ $(e2e_pixel_count_of_colour "$E2E_TMP/playlist.png" 128 0 128) == 0 ]] && e2e_pass "no purple pixel" ||
  e2e_fail "no purple pixel" "$(e2e_pixel_count_of_colour "$E2E_TMP/playlist.png" 128 0 128) purple pixels"
# The list box shows white with dark text where it stands.
white=$(e2e_pixel_count_of_colour "$E2E_TMP/playlist.png" 255 255 255 $((457 + 40)) $((100 + 216)) 275 168)
((white > 20000)) && e2e_pass "the list box is drawn ($white white pixels)" ||
  e2e_fail "the list box is drawn" "$white white pixels"

e2e_click $((457 + 72 + 36)) $((100 + 504 + 13)) 1 # OK
e2e_wait_until 10 sh -c "! xdotool search --onlyvisible --name '^Alarm\(playlist mode\)$' >/dev/null 2>&1" ||
  e2e_fail "OK hides the window" "still shown"
stored_mode() { [[ $(e2e_reg_value "$KEY" UsePlayist) == "REG_DWORD 0x1" ]]; }
e2e_wait_until 10 stored_mode && e2e_pass "OK stores playlist mode" ||
  e2e_fail "OK stores playlist mode" "$(e2e_reg_value "$KEY" UsePlayist)"
want=$(printf 'C:\\ravilo-tunes\\%s\n' low.wav "$UNICODE_NAME" high.wav 'deeper\deep.wav' | sort)
got=$(tail -n +2 "$PROG/Playlist.txt" | tr -d '\r' | sort)
count=$(head -n1 "$PROG/Playlist.txt" | tr -d '\r')
if [[ $count == 4 && $got == "$want" ]]; then
  e2e_pass "Playlist.txt lists exactly the four WAVs, the non-ASCII name byte for byte"
else
  e2e_fail "Playlist.txt lists exactly the four WAVs" "count $count: $(tr '\r\n' '  ' <"$PROG/Playlist.txt")"
fi

# A ring at the next minute, after a restart.
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] || e2e_fail "the first run ends" "exit $rc"
now=$(date +%s)
ring=$(((now / 60 + 1) * 60))
(((ring - now) < 25)) && ring=$((ring + 60))
wine reg add "$KEY" /v AlarmHour /t REG_DWORD /d "$(date -d @"$ring" +%-H)" /f >/dev/null 2>&1
wine reg add "$KEY" /v AlarmMin /t REG_DWORD /d "$(date -d @"$ring" +%-M)" /f >/dev/null 2>&1
wine reg add "$KEY" /v AlarmIsOn /t REG_DWORD /d 1 /f >/dev/null 2>&1
rec="$E2E_TMP/ring.wav"
e2e_record_start "$rec" || { e2e_fail "recording" "parecord did not start"; exit 1; }
pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 30) || { e2e_fail "restart" "no window"; exit 1; }
ringing() { [[ $(e2e_window_geometry "$main" | awk '{ print $3 "x" $4 }') == 460x319 ]]; }
if e2e_wait_until $((ring - $(date +%s) + 40)) ringing; then
  e2e_pass "the alarm rings at the minute it was set to"
else
  e2e_fail "the alarm rings at the minute it was set to" "no ringing layout"
fi
sleep 4  # four seconds of the ring on the recording
e2e_record_stop
cp "$rec" "$SHOTS/e2e-playlist-ring.wav" 2>/dev/null || true
# The strongest frequency of the loud part of the recording.
pitch=$(/usr/bin/python3 - "$rec" <<'PY'
import sys, wave
import numpy as np
w = wave.open(sys.argv[1]); n = w.getnframes(); rate = w.getframerate()
a = np.frombuffer(w.readframes(n), dtype=np.int16).reshape(-1, w.getnchannels())[:, 0].astype(float)
loud = np.flatnonzero(np.abs(a) > 3000)
if len(loud) < rate // 2: print(0); sys.exit()
seg = a[loud[0]:loud[-1]]
spec = np.abs(np.fft.rfft(seg * np.hanning(len(seg))))
print(int(round(np.argmax(spec) * rate / len(seg))))
PY
)
echo "figure: ring pitch ${pitch} Hz"
match=""
for name in "${!PITCH[@]}"; do
  f=${PITCH[$name]}
  ((pitch > f * 97 / 100 && pitch < f * 103 / 100)) && match=$name
done
[[ -n $match ]] && e2e_pass "the ring plays one of the four ($match, $pitch Hz)" ||
  e2e_fail "the ring plays one of the four" "pitch $pitch Hz"

# Stop, then "Alarm" opens the playlist window with the entries.
e2e_click $((410 + 70)) $((240 + 136 + 52)) 1
e2e_wait_until 10 sh -c "! [ \"\$(xdotool getwindowgeometry --shell $main | grep WIDTH=)\" = WIDTH=460 ]" || true
choose_alarm
if e2e_find_window '^Alarm\(playlist mode\)$' 20 >/dev/null && e2e_wait_until 10 list_count 4; then
  shown=$(e2e_listbox_items 'Alarm(playlist mode)' | tail -n +2 | sort)
  want_names=$(printf '%s\n' low.wav "$UNICODE_NAME" high.wav deep.wav | sort)
  [[ $shown == "$want_names" ]] && e2e_pass "after a restart \"Alarm\" shows the playlist window with the entries" ||
    e2e_fail "after a restart \"Alarm\" shows the entries" "$(tr '\n' '|' <<<"$shown")"
else
  e2e_fail "after a restart \"Alarm\" shows the playlist window" "$(e2e_listbox_items 'Alarm(playlist mode)' | tr '\n' '|')"
fi
e2e_screenshot "$E2E_TMP/playlist2.png"
cp "$E2E_TMP/playlist2.png" "$SHOTS/e2e-playlist-window-restart.png" 2>/dev/null || true
e2e_close_request "$pid"
e2e_wait_exit "$pid" 20 >/dev/null
