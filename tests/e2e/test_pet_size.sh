#!/usr/bin/env bash
# Pet size 200 % at 96 dpi, chosen only through the Options window: the pet's window doubles
# at once with the whole pet still on screen, the pupils go to the clamped points at twice
# their distances, "PetSize" is stored, and at the next start with no stored place the pet
# stands whole at the first-run corner counted with its doubled size.
# Screenshots: build/e2e-pet-size-200.png, build/e2e-pet-size-corner.png.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup --no-sound
PROG=$(e2e_stage "$RAVILO_DIST")
KEY='HKCU\Software\MirenWorks\Ravilo'
PY=/usr/bin/python3

geometry_is() { [[ $(e2e_window_geometry "$1" 2>/dev/null) == "$2" ]]; }
# SHOT X Y W H : the pet's drawn pixels in the window at X Y W H touch neither the screen's
# last column nor its last row, nor its first ones: the whole pet is on the screen.
whole_on_screen() {
  $PY - "$@" <<'PY'
import sys
from PIL import Image
im = Image.open(sys.argv[1]).convert("RGB")
x0, y0, w, h = map(int, sys.argv[2:6])
bb = im.crop((max(x0, 0), max(y0, 0), min(x0 + w, im.width), min(y0 + h, im.height))).getbbox()
if not bb: sys.exit(1)
l, t, r, b = bb[0] + max(x0, 0), bb[1] + max(y0, 0), bb[2] + max(x0, 0), bb[3] + max(y0, 0)
print(l, t, r, b)
sys.exit(0 if l > 0 and t > 0 and r < im.width and b < im.height else 1)
PY
}
# NAME CHECK : over ten screenshots in 4 s, the pet in the window at wx wy ww wh is whole on
# the screen each time; the last one is kept as build/e2e-pet-size-NAME.png.
stays_whole() {
  local i box worst=""
  for i in $(seq 1 10); do
    e2e_screenshot "$E2E_TMP/$1-$i.png"
    box=$(whole_on_screen "$E2E_TMP/$1-$i.png" "$wx" "$wy" "$ww" "$wh") || worst="$box"
    sleep 0.4
  done
  cp "$E2E_TMP/$1-10.png" "$E2E_REPO_DIR/build/e2e-pet-size-$1.png" 2>/dev/null || true
  [[ -z $worst ]] && e2e_pass "$2" || e2e_fail "$2" "drawn box $worst"
}
# SHOT CX CY : the share (percent) of the pupil's colour within 5 px of CX CY.
pupil_share() {
  $PY - "$@" <<'PY'
import sys
from PIL import Image
im = Image.open(sys.argv[1]).convert("RGB"); cx, cy = int(sys.argv[2]), int(sys.argv[3])
pts = [(x, y) for y in range(cy - 5, cy + 6) for x in range(cx - 5, cx + 6) if (x - cx) ** 2 + (y - cy) ** 2 <= 25]
dark = sum(1 for p in pts if sum(abs(a - b) for a, b in zip(im.getpixel(p), (30, 28, 40))) < 40)
print(100 * dark // len(pts))
PY
}

xdotool mousemove 600 300
pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window Ravilo 20) || { e2e_fail "window" "none"; exit 1; }
e2e_wait_until 10 geometry_is "$main" "1001 680 319 170"
e2e_pet_menu "$pid" "$main" || e2e_fail "the pet's menu opens" "no menu"
xdotool key Up Up Up Up Up Return
wid=$(e2e_find_window Options 10) || { e2e_fail "\"Options…\" opens the Options window" "no window"; exit 1; }
read -r x y _ _ <<<"$(e2e_window_geometry "$wid")"
sleep 0.5
e2e_click $(( x + 140 + 3 * 54 + 25 )) $(( y + 258 + 12 )) 1   # 200 %
e2e_click $(( x + 144 + 36 )) $(( y + 302 + 13 )) 1            # OK
gone() { ! xdotool search --onlyvisible --name '^Options$' >/dev/null 2>&1; }
e2e_wait_until 5 gone

doubled() { read -r _ _ w h <<<"$(e2e_window_geometry "$main")"; [[ "$w $h" == "638 340" ]]; }
if e2e_wait_until 5 doubled; then e2e_pass "200 % from the Options window doubles the pet's window to 638 x 340"
else e2e_fail "200 % from the Options window doubles the pet's window" "geometry $(e2e_window_geometry "$main")"; fi
[[ $(e2e_reg_value "$KEY" PetSize) == "REG_DWORD 0xc8" ]] && e2e_pass "\"PetSize\" is stored as 200" ||
  e2e_fail "\"PetSize\" is stored as 200" "$(e2e_reg_value "$KEY" PetSize)"
read -r wx wy ww wh <<<"$(e2e_window_geometry "$main")"
e2e_log "the pet's window now stands at $wx,$wy"

# The whole pet stays on the screen while its movies play (a few seconds of screenshots).
stays_whole 200 "the whole doubled pet stays on the screen"

# The pupils: the pointer below and right, then above and left of the face. Their centres in
# the pet's own pixels (234,65 and 208,64; then 228,57 and 201,57: the left pupil held right
# of 228, the right one left of 208) land at twice the distance; a 7 px pupil's middle is
# half a pixel right of and below its point.
look() {  # POINTER_X POINTER_Y LEFT_X LEFT_Y RIGHT_X RIGHT_Y : both pupils where expected
  xdotool mousemove "$1" "$2"
  local shot="$E2E_TMP/eyes.png" deadline=$((SECONDS + 5)) l r
  while :; do
    e2e_screenshot "$shot"
    l=$(pupil_share "$shot" $(( wx + 2 * $3 + 1 )) $(( wy + 2 * $4 + 1 )))
    r=$(pupil_share "$shot" $(( wx + 2 * $5 + 1 )) $(( wy + 2 * $6 + 1 )))
    (( l >= 80 && r >= 80 )) && { echo "$l $r"; return 0; }
    [[ $SECONDS -ge $deadline ]] && { echo "$l $r"; return 1; }
    sleep 0.2
  done
}
if s=$(look $(( wx + 2 * 270 )) $(( wy + 2 * 110 )) 234 65 208 64); then
  e2e_pass "pointer below right: the pupils at the doubled clamped points ($s % pupil)"
else e2e_fail "pointer below right: the pupils at the doubled clamped points" "$s % pupil"; fi
if s=$(look $(( wx + 2 * 100 )) "$wy" 228 57 201 57); then
  e2e_pass "pointer above left: the pupils at the doubled clamped points ($s % pupil)"
else e2e_fail "pointer above left: the pupils at the doubled clamped points" "$s % pupil"; fi

e2e_close_request "$pid"
[[ $(e2e_wait_exit "$pid" 20) == 1 ]] || e2e_fail "ends with 1" "it did not"

# The next start with no stored place: the first-run corner of the doubled pet.
wine reg delete "$KEY" /v xpos /f >/dev/null 2>&1
wine reg delete "$KEY" /v ypos /f >/dev/null 2>&1
pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window Ravilo 20) || { e2e_fail "window" "none"; exit 1; }
want="$((1280 - 638 + 80)) $((800 - 340 + 100)) 638 340"
e2e_wait_until 10 geometry_is "$main" "$want"
g=$(e2e_window_geometry "$main")
[[ $g == "$want" ]] && e2e_pass "the first-run corner counts the doubled pet: $want" ||
  e2e_fail "the first-run corner counts the doubled pet" "geometry $g"
read -r wx wy ww wh <<<"$g"
E2E_SCALE=200 e2e_wait_pet "$main" 10 >/dev/null
stays_whole corner "the whole doubled pet is on the screen at the corner"
e2e_close_request "$pid"
[[ $(e2e_wait_exit "$pid" 20) == 1 ]] && e2e_pass "ends with 1" || e2e_fail "ends with 1" "it did not"
e2e_summary
