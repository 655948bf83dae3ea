#!/usr/bin/env bash
# The pet lives: it plays on the desktop, its eyes follow the pointer, it rings at the
# alarm minute (sound, ringing layout, ringing movie), snoozes on a click, is dragged with
# the left and the middle button, and ends from its menu after the goodbye movie.
# e2e: alone (it records sound, or measures CPU or time)
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")
PYTHON=/usr/bin/python3

# The alarm: the next whole minute at least 40 s away.
target=$(e2e_set_alarm_soon "$KEY" 40)

# Differing pixels of two screenshots: the bounding box "x0 y0 x1 y1" (exclusive), or "none".
diff_box() {
  $PYTHON - "$1" "$2" <<'PY'
import sys
from PIL import Image, ImageChops
a, b = (Image.open(p).convert("RGB") for p in sys.argv[1:3])
box = ImageChops.difference(a, b).getbbox()
print(" ".join(map(str, box)) if box else "none")
PY
}
# A pupil (7 px across, in its dark colour) is centred exactly on x y.
pupil_at() {
  $PYTHON - "$1" "$2" "$3" <<'PY'
import sys
from PIL import Image
im = Image.open(sys.argv[1]).convert("RGB"); x, y = int(sys.argv[2]), int(sys.argv[3])
dark = lambda px, py: im.getpixel((px, py)) == (30, 28, 40)
row = all(dark(x + d, y) for d in range(-3, 4)) and not dark(x - 4, y) and not dark(x + 4, y)
col = all(dark(x, y + d) for d in range(-3, 4)) and not dark(x, y - 4) and not dark(x, y + 4)
sys.exit(0 if row and col else 1)
PY
}

e2e_record_start "$E2E_TMP/ring.wav"
pid=$(e2e_start_exe "$PROG/Ravilo.exe")
wid=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "window" "none"; exit 1; }
geometry_is() { [[ $(e2e_window_geometry "$wid" 2>/dev/null) == "$1" ]]; }
# Two screenshots 0.7 s apart differ; "box" is where.
plays() {
  e2e_screenshot "$E2E_TMP/${1}1.png"; sleep 0.7; e2e_screenshot "$E2E_TMP/${1}2.png"
  box=$(diff_box "$E2E_TMP/${1}1.png" "$E2E_TMP/${1}2.png")
  [[ $box != none ]]
}
# Somewhere in the middle of the screen, so the whole pet is seen.
xdotool mousemove 600 300
e2e_wait_pet "$wid" 20 >/dev/null
e2e_wait_until 10 plays a
read -r x y w h <<<"$(e2e_window_geometry "$wid")"
if [[ $box == none ]]; then e2e_fail "the pet plays" "two screenshots are the same"
else
  read -r bx0 by0 bx1 by1 <<<"$box"
  (( bx0 >= x + 140 && by0 >= y && bx1 <= x + 140 + 172 && by1 <= y + 136 )) &&
    e2e_pass "the pet plays: screenshots differ inside the view only" ||
    e2e_fail "the pet plays: screenshots differ inside the view only" "diff box $box, window $x $y"
fi

# Funny eyes (on by default): the pointer far to the left at the eyes' height.
e2e_mousemove 0 $(( y + 60 ))
clamped() { pupil_at "$E2E_TMP/eyes.png" $(( x + 228 )) $(( y + 60 )) && pupil_at "$E2E_TMP/eyes.png" $(( x + 200 )) $(( y + 60 )); }
pupils_left() { e2e_screenshot "$E2E_TMP/eyes.png" && clamped; }
e2e_wait_until 5 pupils_left
cp "$E2E_TMP/eyes.png" "$E2E_REPO_DIR/build/e2e-eyes-left.png" 2>/dev/null || true
if clamped; then
  e2e_pass "pupils at the clamped points (228,60) and (200,60)"
else e2e_fail "pupils at the clamped points (228,60) and (200,60)" "see build/e2e-eyes-left.png"; fi
xdotool mousemove 600 300

# The ring.
deadline=$(( target + 40 ))
rang=""
while (( $(date +%s) < deadline )); do
  read -r rx ry rw rh <<<"$(e2e_window_geometry "$wid")"
  if [[ "$rw $rh" == "460 319" ]]; then rang=$(date +%s.%N); break; fi
  sleep 0.3
done
if [[ -n $rang ]]; then
  [[ "$rx $ry" == "410 241" ]] && e2e_pass "rings at the minute, 460x319 centred" ||
    e2e_fail "rings at the minute, 460x319 centred" "at $rx $ry"
  e2e_log "ringing $(awk -v r="$rang" -v t="$target" 'BEGIN{printf "%.1f", r-t}') s after the minute"
else
  e2e_fail "rings at the minute, 460x319 centred" "no ringing layout by $(date -d "@$deadline" +%T)"
fi
# The ringing movie follows the idle movie under way, which nothing on screen tells apart
# from it: time for that movie to end.
sleep 4
e2e_screenshot "$E2E_TMP/ring1.png"; sleep 0.5; e2e_screenshot "$E2E_TMP/ring2.png"
cp "$E2E_TMP/ring1.png" "$E2E_REPO_DIR/build/e2e-ringing.png" 2>/dev/null || true
[[ $(diff_box "$E2E_TMP/ring1.png" "$E2E_TMP/ring2.png") != none ]] && e2e_pass "the ringing movie plays" ||
  e2e_fail "the ringing movie plays" "still picture"

# Snooze: the button at (312,136) of the ringing layout.
snoozed=$(date +%s.%N)
e2e_click $(( 410 + 312 + 70 )) $(( 241 + 136 + 52 )) 1
e2e_wait_until 10 geometry_is "$x $y 319 170"
read -r nx ny nw nh <<<"$(e2e_window_geometry "$wid")"
[[ "$nx $ny $nw $nh" == "$x $y 319 170" ]] && e2e_pass "snooze puts the window back" ||
  e2e_fail "snooze puts the window back" "at $nx $ny $nw $nh"
sleep 4  # silence on the recording after the snooze, checked below (Wine plays out up to ~1 s queued)
e2e_record_stop
segments=$(e2e_sound_segments "$E2E_TMP/ring.wav")
echo "$segments" | sed 's/^/  sound: /'
total=$(echo "$segments" | sed -n 's/^total=\([0-9.]*\).*/\1/p')
last_end=$(echo "$segments" | grep -v total= | tail -n1 | awk '{print $2}')
rec_len=$(e2e_sound_stats "$E2E_TMP/ring.wav" | sed -n 's/.*length=\([0-9.]*\).*/\1/p')
awk -v t="${total:-0}" 'BEGIN{exit !(t > 3)}' && e2e_pass "the alarm sound reaches the sound device" ||
  e2e_fail "the alarm sound reaches the sound device" "non-silent ${total:-0} s"
# Silent for the last seconds of the recording, after the snooze.
awk -v e="${last_end:-0}" -v l="${rec_len:-0}" 'BEGIN{exit !(l - e > 2.5)}' && e2e_pass "snooze silences the sound" ||
  e2e_fail "snooze silences the sound" "sound until ${last_end:-?} of ${rec_len:-?} s"

# Dragging: left, then middle, by the pet.
e2e_screenshot "$E2E_TMP/c.png"
read -r px py <<<"$(e2e_pet_point "$E2E_TMP/c.png" "$x" "$y")"
e2e_drag "$px" "$py" $(( px - 300 )) $(( py - 200 )) 1
e2e_wait_until 5 geometry_is "$(( x - 300 )) $(( y - 200 )) 319 170"
read -r dx dy dw dh <<<"$(e2e_window_geometry "$wid")"
[[ "$dx $dy" == "$(( x - 300 )) $(( y - 200 ))" ]] && e2e_pass "a left drag moves the window" ||
  e2e_fail "a left drag moves the window" "at $dx $dy, wanted $(( x - 300 )) $(( y - 200 ))"
e2e_screenshot "$E2E_TMP/d.png"
read -r px py <<<"$(e2e_pet_point "$E2E_TMP/d.png" "$dx" "$dy")"
e2e_drag "$px" "$py" $(( px - 100 )) $(( py + 50 )) 2
e2e_wait_until 5 geometry_is "$(( dx - 100 )) $(( dy + 50 )) 319 170"
read -r mx my mw mh <<<"$(e2e_window_geometry "$wid")"
[[ "$mx $my" == "$(( dx - 100 )) $(( dy + 50 ))" ]] && e2e_pass "a middle drag moves the window" ||
  e2e_fail "a middle drag moves the window" "at $mx $my, wanted $(( dx - 100 )) $(( dy + 50 ))"

# "Exit" from the pet's menu: the last item.
e2e_pet_menu "$pid" "$wid" || e2e_fail "the pet's menu opens" "no menu"
xdotool key Up Return
t0=$(date +%s.%N)
rc=$(e2e_wait_exit "$pid" 20)
t1=$(date +%s.%N)
[[ $rc == 1 ]] && e2e_pass "Exit from the menu ends with exit code 1" || e2e_fail "Exit from the menu ends with exit code 1" "exit $rc"
e2e_log "ended $(awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.1f", b-a}') s after Exit (the goodbye movie)"
[[ $(e2e_reg_value "$KEY" xpos) == "REG_DWORD $(printf '0x%x' "$mx")" ]] &&
  [[ $(e2e_reg_value "$KEY" ypos) == "REG_DWORD $(printf '0x%x' "$my")" ]] &&
  e2e_pass "the dragged place is stored at exit" || e2e_fail "the dragged place is stored at exit" \
  "xpos $(e2e_reg_value "$KEY" xpos) ypos $(e2e_reg_value "$KEY" ypos), wanted $mx $my"
