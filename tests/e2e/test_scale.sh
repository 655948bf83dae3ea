#!/usr/bin/env bash
# Ravilo at the system DPI of 96, 144 and 192 (HKCU "Control Panel\Desktop" LogPixels, read
# by Wine at each program start): the pet's window is 1, 1.5 and 2 times its size at the
# first-run corner; the ringing movie is drawn at that scale; the simple and playlist alarm
# windows, About, the message box and the ringing layout come at that scale, with their text;
# and no pixel on the screen lies within 40 of the purple key (no blended edge at any scale).
# Screenshots: build/e2e-scale-<dpi>-<window>.png. The screen is 2560 x 1600, as a display
# at 200 % is.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
export E2E_SCREEN=2560x1600
SW=2560 SH=1600
e2e_setup
PROG=$(e2e_stage "$RAVILO_DIST")
KEY='HKCU\Software\MirenWorks\Ravilo'

sl() { echo $(( ($1 * scale + 50) / 100 )); }  # a design length at the scale, halves up

# Saves the screen as build/e2e-scale-DPI-NAME.png and checks it for near-key pixels.
shot() {
  local file="$E2E_TMP/scale-$dpi-$1.png" near
  e2e_screenshot "$file"
  cp "$file" "$E2E_REPO_DIR/build/e2e-scale-$dpi-$1.png" 2>/dev/null || true
  near=$(/usr/bin/python3 - "$file" <<'PY'
import sys
import numpy as np
from PIL import Image
a = np.asarray(Image.open(sys.argv[1]).convert("RGB"), dtype=np.int32)
print(int((((a[..., 0] - 128) ** 2 + a[..., 1] ** 2 + (a[..., 2] - 128) ** 2) <= 40 * 40).sum()))
PY
)
  [[ $near == 0 ]] && e2e_pass "$dpi dpi, $1: no pixel within 40 of the key" ||
    e2e_fail "$dpi dpi, $1: no pixel within 40 of the key" "$near pixels"
}

# The ringing movie is drawn at the scale in the pet's part of the ringing layout: the box
# around its drawn pixels, in every frame, spans x 9..161 and y 22..24 to 110..116 of the
# 172 x 136 design part (the 2x frames are exactly twice that). Checked on a fresh screenshot
# each time, so an idle movie still ending before the ring loop starts is waited out.
ringing_movie_at_scale() {
  e2e_screenshot "$E2E_TMP/ring.png" || return 1
  local got
  got=$(/usr/bin/python3 - "$E2E_TMP/ring.png" "$@" "$scale" <<'PY'
import sys
from PIL import Image
x0, y0, w, h, scale = map(int, sys.argv[2:7])
s = scale / 100
bb = Image.open(sys.argv[1]).convert("RGB").crop((x0, y0, x0 + w, y0 + h)).getbbox()
near = lambda v, lo, hi: lo * s - 2 <= v <= hi * s + 2
print(int(bool(bb) and near(bb[0], 9, 9) and near(bb[2], 161, 161) and near(bb[1], 22, 24) and near(bb[3], 110, 116)), bb)
PY
) || return 1
  last_ring_box=${got#* }
  [[ ${got%% *} == 1 ]]
}

geometry_is() { [[ $(e2e_window_geometry "$1" 2>/dev/null) == "$2" ]]; }
# A window's text is drawn: black pixels in the part at X Y W H.
text_drawn() { (( $(e2e_pixel_count_of_colour "$1" 0 0 0 "$2" "$3" "$4" "$5") < $4 * $5 )); }

for dpi in 96 144 192; do
  scale=$(( dpi * 100 / 96 ))
  export E2E_SCALE=$scale
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wine reg delete "$KEY" /f >/dev/null 2>&1
  # The ring comes first, at the next whole minute at least 30 s away: time for the start
  # and the pet's checks, whatever the windows take on a loaded machine. Waiting for it is
  # most of this script's time; the windows are checked after the stop.
  target=$(e2e_set_alarm_soon "$KEY" 30)
  xdotool mousemove 1200 600
  pid=$(e2e_start_exe "$PROG/Ravilo.exe")
  wid=$(e2e_find_window Ravilo 20) || { e2e_fail "$dpi dpi: the pet's window" "none"; continue; }
  w=$(sl 319) h=$(sl 170)
  want="$((SW - w + $(sl 40))) $((SH - h + $(sl 50))) $w $h"
  e2e_wait_until 10 geometry_is "$wid" "$want"
  g=$(e2e_window_geometry "$wid")
  [[ $g == "$want" ]] && e2e_pass "$dpi dpi: the pet's window is $w x $h at the first-run corner" ||
    e2e_fail "$dpi dpi: the pet's window is $w x $h at the first-run corner" "geometry $g"
  e2e_wait_pet "$wid" 10 >/dev/null || e2e_fail "$dpi dpi: the pet is drawn" "not seen"
  shot pet

  e2e_log "$dpi dpi: the pet checked, the ring is due in $(( target - $(date +%s) )) s"
  # The ring: the layout at the scale, in the middle of the screen.
  ringing() { geometry_is "$wid" "$(( SW / 2 - $(sl 460) / 2 )) $(( SH / 2 - $(sl 319) / 2 )) $(sl 460) $(sl 319)"; }
  if e2e_wait_until $(( target - $(date +%s) + 20 )) ringing; then
    e2e_pass "$dpi dpi: the ringing layout is $(sl 460) x $(sl 319) in the middle"
    read -r rx ry _ _ <<<"$(e2e_window_geometry "$wid")"
    last_ring_box=none
    e2e_wait_until 20 ringing_movie_at_scale $((rx + $(sl 140))) "$ry" "$(sl 172)" "$(sl 136)" &&
      e2e_pass "$dpi dpi: the ringing movie is drawn $scale % as large" ||
      e2e_fail "$dpi dpi: the ringing movie is drawn $scale % as large" "drawn box $last_ring_box"
    shot ringing
    e2e_log "$dpi dpi: ring checked"
    # Stopped: the pet goes back to its corner, and its windows are checked there.
    e2e_click $((rx + $(sl 70))) $((ry + $(sl 188))) 1
    e2e_wait_until 10 geometry_is "$wid" "$want" ||
      e2e_fail "$dpi dpi: the stop button puts the pet back" "geometry $(e2e_window_geometry "$wid")"
  else
    e2e_fail "$dpi dpi: the ringing layout is $(sl 460) x $(sl 319) in the middle" "geometry $(e2e_window_geometry "$wid")"
  fi

  # The simple alarm window (the second item of the pet's menu).
  e2e_pet_menu "$pid" "$wid" && xdotool key Down Down Return
  if g=$(e2e_window_of_size 'Alarm\(simple mode\)' "$(sl 371)" "$(sl 376)"); then
    e2e_pass "$dpi dpi: the alarm window is $(sl 371) x $(sl 376)"
    read -r ax ay _ _ <<<"$g"
    sleep 0.5
    shot alarm-simple
    e2e_click $((ax + $(sl 179))) $((ay + $(sl 341))) 1  # "Playlist mode"
    if g=$(e2e_window_of_size 'Alarm\(playlist mode\)' "$(sl 365)" "$(sl 599)"); then
      e2e_pass "$dpi dpi: the playlist window is $(sl 365) x $(sl 599)"
      read -r ax ay _ _ <<<"$g"
      sleep 0.5
      shot alarm-playlist
      e2e_click $((ax + $(sl 108))) $((ay + $(sl 517))) 1  # OK with an empty list
      if g=$(e2e_window_of_size FormMyMessageBox "$(sl 383)" "$(sl 170)"); then
        read -r bx by _ _ <<<"$g"
        written() { e2e_screenshot "$E2E_TMP/box.png" && text_drawn "$E2E_TMP/box.png" $((bx + $(sl 128))) $((by + $(sl 48))) "$(sl 200)" "$(sl 13)"; }
        e2e_wait_until 5 written && e2e_pass "$dpi dpi: the message box is $(sl 383) x $(sl 170) with its text" ||
          e2e_fail "$dpi dpi: the message box is $(sl 383) x $(sl 170) with its text" "no text"
        shot message
        xdotool key Return
      else
        e2e_fail "$dpi dpi: the message box is $(sl 383) x $(sl 170)" "geometry $g"
      fi
      sleep 0.5
      xdotool key Escape
    else
      e2e_fail "$dpi dpi: the playlist window is $(sl 365) x $(sl 599)" "geometry $g"
    fi
  else
    e2e_fail "$dpi dpi: the alarm window is $(sl 371) x $(sl 376)" "geometry $g"
  fi

  # About (the first item).
  e2e_mousemove 100 100
  e2e_pet_menu "$pid" "$wid" && xdotool key Down Return
  if g=$(e2e_window_of_size About "$(sl 300)" "$(sl 158)"); then
    e2e_pass "$dpi dpi: About is $(sl 300) x $(sl 158)"
    sleep 0.5
    shot about
    xdotool key Return
    # The close request below goes to the program's first window: About must be gone by then.
    about_gone() { ! xdotool search --onlyvisible --name 'About' >/dev/null 2>&1; }
    e2e_wait_until 5 about_gone || e2e_fail "$dpi dpi: Enter closes About" "still shown"
  else
    e2e_fail "$dpi dpi: About is $(sl 300) x $(sl 158)" "geometry $g"
  fi

  e2e_log "$dpi dpi: windows checked"
  e2e_close_request "$pid"
  rc=$(e2e_wait_exit "$pid" 20)
  [[ $rc == 1 ]] && e2e_pass "$dpi dpi: ends with 1" || e2e_fail "$dpi dpi: ends with 1" "exit $rc"
done

e2e_summary
