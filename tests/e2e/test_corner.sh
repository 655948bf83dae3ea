#!/usr/bin/env bash
# The whole pet shows at its first-run place: the window stands 40 px beyond the right and
# 50 px beyond the bottom edge of the 1280x800 screen, and while the greeting and the idle
# movies play nothing of the pet reaches the screen's last column or last row (where a
# movie drawn too far right or too low would be cut off). Keeps the fullest screenshot as
# build/e2e-corner.png.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup --no-sound
PROG=$(e2e_stage "$RAVILO_DIST")
PYTHON=/usr/bin/python3

xdotool mousemove 600 300
pid=$(e2e_start_exe "$PROG/Ravilo.exe")
wid=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "window" "none"; exit 1; }
geometry=$(e2e_window_geometry "$wid")
[[ $geometry == "1001 680 319 170" ]] && e2e_pass "first start stands at 1001,680" ||
  e2e_fail "first start stands at 1001,680" "geometry $geometry"

# Screenshots for 15 s, from the greeting on.
n=0 deadline=$((SECONDS + 15))
while (( SECONDS < deadline )); do
  e2e_screenshot "$E2E_TMP/shot-$(printf %03d $n).png"
  n=$((n + 1))
  sleep 0.3
done
e2e_log "$n screenshots"

# For each screenshot: pet pixels in the window's visible part, and pet pixels on the
# screen's last column and last row (the screen is black where nothing is drawn).
report=$($PYTHON - "$E2E_TMP" <<'PY'
import glob, sys
from PIL import Image
for path in sorted(glob.glob(sys.argv[1] + "/shot-*.png")):
    im = Image.open(path).convert("RGB")
    w, h = im.size
    px = im.load()
    pet = sum(1 for y in range(680, h) for x in range(1001, w) if px[x, y] != (0, 0, 0))
    edge = [(x, y) for x, y in [(w - 1, y) for y in range(680, h)] + [(x, h - 1) for x in range(1001, w)]
            if px[x, y] != (0, 0, 0)]
    print(path, pet, len(edge), edge[:1])
PY
)
cut=$(awk '$3 > 0' <<<"$report")
[[ -z $cut ]] && e2e_pass "nothing of the pet reaches the screen's edge in $n screenshots" ||
  e2e_fail "nothing of the pet reaches the screen's edge" "$(head -3 <<<"$cut")"
best=$(sort -k2,2n <<<"$report" | tail -1)
read -r shot pixels _ <<<"$best"
(( pixels > 3000 )) && e2e_pass "the pet is seen ($pixels pixels at most)" ||
  e2e_fail "the pet is seen" "at most $pixels pixels"
cp "$shot" "$E2E_REPO_DIR/build/e2e-corner.png" 2>/dev/null || true

e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request ends with exit code 1" || e2e_fail "a close request ends with exit code 1" "exit $rc"
