#!/usr/bin/env bash
# Timers under Wine, by clicks (and the name typed): "Timer…" in the icon's menu opens the
# timer window; "1 min", the name "Tea" and Start begin a timer, whose ring is recorded
# starting 60 ± 2 s later, named in the pet window's title; the right-hand button reads
# "+1 min" and rings it again 60 ± 2 s after the press; Stop ends it and it is gone from
# the registry. Screenshots in build/: the timer window, the tip's countdown, the menu with
# two running timers, and the ring with "+1 min".
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")
SHOTS="$E2E_REPO_DIR/build"
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
shot() { e2e_screenshot "$E2E_TMP/$1.png" && cp "$E2E_TMP/$1.png" "$SHOTS/e2e-timer-$1.png" 2>/dev/null; }

pid=$(WINEDEBUG=-all,+debugstr e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "window" "none"; exit 1; }
tray_window() { xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n1 | grep .; }
e2e_wait_until 20 tray_window >/dev/null || { e2e_fail "the icon is in the notification area" "no tray"; exit 1; }
read -r tx ty _ th <<<"$(e2e_window_geometry "$(tray_window)")"
icon_x=$(( tx + 10 )) icon_y=$(( ty + th / 2 ))

# e2e_open_menu leaves the menu as the newest window of the program; its items are 17 px
# apart at 96 dpi, the last ("Exit") centred 11 px above its bottom edge.
menu_window() {
  local before w
  before=$(e2e_program_windows "$pid")
  e2e_open_menu "$pid" "$icon_x" "$icon_y" 3 || return 1
  for w in $(e2e_program_windows "$pid"); do grep -qxF "$w" <<<"$before" || { echo "$w"; return 0; }; done
  return 1
}
# menu_click N : clicks the menu's Nth item counted up from "Exit" (1).
menu_click() {
  local menu mx my mh
  menu=$(menu_window) || return 1
  read -r mx my _ mh <<<"$(e2e_window_geometry "$menu")"
  e2e_click $(( mx + 40 )) $(( my + mh - 11 - ($1 - 1) * 17 )) 1
}

# start_timer QUICK_INDEX NAME : "Timer…" (fourth up: Exit, Funny eyes, Hide, Timer…), a
# quick choice, the name, Start. Prints the moment of the press on Start, in ms.
timer_window_shown() { xdotool search --onlyvisible --name '^Timer$' 2>/dev/null | head -n1 | grep .; }
start_timer() {
  local running=$3 win x y
  menu_click $(( 4 + running )) || return 1
  win=$(e2e_wait_until 10 timer_window_shown >/dev/null && timer_window_shown) || return 2
  read -r x y _ _ <<<"$(e2e_window_geometry "$win")"
  # Quick choices: five from (24, 50), four from (54, 80), 60 px apart, 52 × 24 each.
  local q=$1 qx qy
  if (( q < 5 )); then qx=$(( 24 + q * 60 )) qy=50; else qx=$(( 54 + (q - 5) * 60 )) qy=80; fi
  e2e_click $(( x + qx + 26 )) $(( y + qy + 12 )) 1
  e2e_click $(( x + 194 )) $(( y + 210 )) 1          # the name field
  xdotool key ctrl+a BackSpace
  xdotool type --delay 40 "$2"
  [[ -n ${4:-} ]] && e2e_screenshot "$E2E_TMP/window.png" && cp "$E2E_TMP/window.png" "$SHOTS/e2e-timer-window.png"
  now_ms >"$E2E_TMP/pressed"
  e2e_click $(( x + 88 + 36 )) $(( y + 246 + 13 )) 1  # Start
  gone() { [[ -z $(timer_window_shown) ]]; }
  e2e_wait_until 5 gone || return 3
}

e2e_record_start "$E2E_TMP/ring.wav" || { e2e_fail "recording" "parecord did not start"; exit 1; }
# Where the recording's first sample lies in time: what had arrived when it was seen flowing.
rec_zero=$(( $(now_ms) - $(stat -c %s "$E2E_TMP/ring.wav") * 1000 / 176400 ))

start_timer 0 Tea 0 shot; rc=$?
if (( rc == 0 )); then e2e_pass "\"Timer…\", \"1 min\", the name and Start begin a timer"
else e2e_fail "\"Timer…\", \"1 min\", the name and Start begin a timer" "step $rc"; exit 1; fi
started=$(cat "$E2E_TMP/pressed")
stored() { [[ $(e2e_reg_value "$KEY\\Timers\\1" TimerLabel) == "REG_SZ Tea" ]]; }
e2e_wait_until 5 stored && e2e_pass "it is kept under Timers\\1 with its name" ||
  e2e_fail "it is kept under Timers\\1 with its name" "$(e2e_reg_query "$KEY\\Timers\\1")"

# A second timer, for the menu that lists both.
start_timer 8 Washing 1; rc=$?
(( rc == 0 )) && e2e_pass "a second timer runs beside it" || e2e_fail "a second timer runs beside it" "step $rc"
menu_window >/dev/null && sleep 0.3 && shot menu
xdotool key Escape

# The tip: the pointer rests on the icon.
e2e_mousemove $(( icon_x + 1 )) "$icon_y"
e2e_mousemove "$icon_x" "$icon_y"
tip_shown() { xdotool search --onlyvisible --name '' 2>/dev/null | while read -r w; do
  read -r _ wy ww wh <<<"$(e2e_window_geometry "$w")"; (( wy > ty + th && wy < ty + th + 40 && wh < 60 && ww > 60 )) && echo "$w"
done | grep -q .; }
e2e_wait_until 5 tip_shown && sleep 1 && shot tip
e2e_mousemove 640 400

title() { xdotool getwindowname "$main" 2>/dev/null; }
named() { [[ $(title) == "Ravilo: Tea" ]]; }
onset_after() {  # the start of the first sound at or after the moment $1 (ms), in ms
  e2e_sound_segments "$E2E_TMP/ring.wav" | awk -v z="$rec_zero" -v t="$1" \
    '$1 !~ /total/ { s = z + $1 * 1000; if (s >= t - 3000) { printf "%.0f\n", s; exit } }'
}
if e2e_wait_until 75 named; then
  e2e_pass "it rings, named in the title"
else
  e2e_fail "it rings, named in the title" "$(title)"; exit 1
fi
sleep 1
shot ring
read -r wx wy _ _ <<<"$(e2e_window_geometry "$main")"
# The right-hand button at its place in the ringing layout (312, 136), 140 × 105.
e2e_shown_share "$E2E_TMP/ring.png" "$PROG/Images/MainWindow/iplus1min.bmp" $(( wx + 312 )) $(( wy + 136 )) >"$E2E_TMP/share"
(( $(cat "$E2E_TMP/share") >= 90 )) && e2e_pass "the right-hand button reads \"+1 min\"" ||
  e2e_fail "the right-hand button reads \"+1 min\"" "$(cat "$E2E_TMP/share") % of its picture shown"

e2e_click $(( wx + 312 + 70 )) $(( wy + 136 + 50 )) 1   # +1 min
pressed=$(now_ms)
quiet() { [[ $(title) == "Ravilo" ]]; }
e2e_wait_until 5 quiet && e2e_pass "\"+1 min\" silences it" || e2e_fail "\"+1 min\" silences it" "$(title)"
if e2e_wait_until 75 named; then e2e_pass "and it rings again"; else e2e_fail "and it rings again" "$(title)"; fi
sleep 1
read -r wx wy _ _ <<<"$(e2e_window_geometry "$main")"
e2e_click $(( wx + 70 )) $(( wy + 136 + 50 )) 1          # Stop
e2e_wait_until 5 quiet && e2e_pass "Stop ends the ring" || e2e_fail "Stop ends the ring" "$(title)"
e2e_record_stop

first=$(onset_after $(( started + 60000 )))
second=$(onset_after $(( pressed + 60000 )))
e2e_log "Start at $started, first sound at ${first:-none}; +1 min at $pressed, second sound at ${second:-none}"
within() { [[ -n $1 ]] && (( $1 - $2 >= 58000 && $1 - $2 <= 62000 )); }
within "${first:-}" "$started" && e2e_pass "the ring is heard 60 ± 2 s after Start: $(( (first - started) )) ms" ||
  e2e_fail "the ring is heard 60 ± 2 s after Start" "${first:+$(( first - started )) ms}"
within "${second:-}" "$pressed" && e2e_pass "and 60 ± 2 s after \"+1 min\": $(( (second - pressed) )) ms" ||
  e2e_fail "and 60 ± 2 s after \"+1 min\"" "${second:+$(( second - pressed )) ms}"

gone_key() { [[ -z $(e2e_reg_value "$KEY\\Timers\\1" TimerLabel) ]]; }
e2e_wait_until 5 gone_key && e2e_pass "stopped, the timer is gone from the registry" ||
  e2e_fail "stopped, the timer is gone from the registry" "$(e2e_reg_query "$KEY\\Timers\\1")"
[[ $(e2e_reg_value "$KEY" TimerLastLabel) == "REG_SZ Washing" ]] && e2e_pass "the window remembers the last name" ||
  e2e_fail "the window remembers the last name" "$(e2e_reg_value "$KEY" TimerLastLabel)"
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request ends with 1" || e2e_fail "a close request ends with 1" "exit $rc"
