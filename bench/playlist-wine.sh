#!/usr/bin/env bash
# How long "Add folder" takes under Wine on a large tree, run by hand (not a test): 5,000
# WAVs in 250 folders, a 20-level chain of non-ASCII folder names whose bottom file's path
# is far past 260 characters, and a symbolic link that points back up. Prints figures;
# fails only when the list does not come out complete.
#   RAVILO_DIST=build/win/dist/Ravilo bash bench/playlist-wine.sh
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../tools/e2e/lib.sh"
e2e_setup --no-sound
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")
BIG="$WINEPREFIX/drive_c/big"
mkdir -p "$BIG"
e2e_make_tone "$E2E_TMP/one.wav" 0.2 440 0.5
for d in $(seq 0 249); do
  dir="$BIG/Album $((d / 25))/Disc $d"
  mkdir -p "$dir"
  for f in $(seq 0 19); do ln "$E2E_TMP/one.wav" "$dir/Track $f.wav"; done
done
deep="$BIG/Deep"
for i in $(seq 0 19); do deep="$deep/Ünïcødé 闹钟 level $i"; done
mkdir -p "$deep"
ln "$E2E_TMP/one.wav" "$deep/bottom ✓.wav"
ln -s ../.. "$BIG/Deep/Ünïcødé 闹钟 level 0/back"
echo "figure: deepest path $(printf 'C:\\big%s\\bottom ✓.wav' "${deep#"$BIG"}" | sed 's|/|\\|g' | wc -m) characters"
want=5001
for v in "UsePlayist 1" "AlarmIsOn 0" "AlarmHour 8" "AlarmMin 0"; do
  wine reg add "$KEY" /v "${v% *}" /t REG_DWORD /d "${v#* }" /f >/dev/null 2>&1
done
wine reg add "$KEY" /v AlarmSound /t REG_SZ /d 'Sounds\Alarms\alarm0.wav' /f >/dev/null 2>&1

pid=$(e2e_start_exe "$PROG/Ravilo.exe")
e2e_find_window '^Ravilo$' 30 >/dev/null || { e2e_fail "window" "none"; exit 1; }
sleep 2
e2e_click 1230 770 3
sleep 0.5
xdotool key Down Down Return
e2e_find_window '^Alarm\(playlist mode\)$' 20 >/dev/null || { e2e_fail "playlist window" "none"; exit 1; }
sleep 1
e2e_click $((457 + 40 + 63)) $((120 + 424 + 12)) 1
e2e_find_window '^Add Directory$' 20 >/dev/null || { e2e_fail "dialog" "none"; exit 1; }
sleep 1
xdotool key Home Right
sleep 1
xdotool type --delay 80 big
sleep 0.5
# Timed inside Wine: from the dialog's going (the scan starts) to the full list.
helper=$(e2e__helper)
wine "$helper" listbox-wait 'Alarm(playlist mode)' 'Add Directory' "$want" >"$E2E_TMP/wait.out" 2>/dev/null &
waiter=$!
sleep 3 # the waiter has found the window
xdotool key Return
sleep 0.3
e2e_screenshot "$E2E_TMP/during.png"
wait "$waiter"
ms=$(tr -d '\r' <"$E2E_TMP/wait.out")
echo "figure: the list held all $want entries ${ms:-?} ms after the dialog closed"
count=$(e2e_listbox_items 'Alarm(playlist mode)' | head -n1)
cp "$E2E_TMP/during.png" "$E2E_REPO_DIR/build/bench-playlist-during-add.png" 2>/dev/null || true
[[ $count == "$want" ]] && e2e_pass "all $want files listed, the loop read once" || e2e_fail "all files listed" "$count"
e2e_click $((457 + 72 + 36)) $((120 + 464 + 13)) 1
sleep 2
grep -c 'Ünïcødé 闹钟 level 19\\bottom ✓.wav' "$PROG/Playlist.txt" | sed 's/^/figure: long non-ASCII entries stored: /'
e2e_close_request "$pid"
e2e_wait_exit "$pid" 20 >/dev/null
