#!/usr/bin/env bash
# Screenshots of the installer's and the uninstaller's pages under Wine, for the README:
# runs Ravilo-Setup-<version>.exe with its pages, presses Enter on each (the default button:
# Next, Install, Finish), then the uninstaller with its question, answered "No".
# Writes docs/screenshots/installer-*.png. Usage:
#   tools/e2e/installer-screenshots.sh [build/win/Ravilo-Setup-<version>.exe]
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
SETUP=${1:-$(ls "$E2E_REPO_DIR"/build/win/Ravilo-Setup-*.exe | head -n1)}
OUT="$E2E_REPO_DIR/docs/screenshots"
mkdir -p "$OUT"
e2e_setup --no-sound
# Wine draws the window frames itself: the virtual display has no window manager.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1

# settled WID FILE : waits until the window's picture stops changing and differs from the
# last page's, then saves it as FILE.
LAST=""
settled() {
  local wid=$1 file=$2 a b geo deadline=$((SECONDS + 40))
  a="$E2E_TMP/a.png" b="$E2E_TMP/b.png"
  while [[ $SECONDS -lt $deadline ]]; do
    geo=$(e2e_window_geometry "$wid") || return 1
    read -r x y w h <<<"$geo"
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$a" 2>/dev/null
    sleep 0.5
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$b" 2>/dev/null
    if cmp -s <(convert "$a" rgb:-) <(convert "$b" rgb:-) &&
       ! { [[ -n $LAST ]] && cmp -s <(convert "$a" rgb:-) <(convert "$LAST" rgb:-); }; then
      cp "$a" "$file"
      LAST=$file
      e2e_log "saved $file"
      return 0
    fi
  done
  e2e_fail "$file" "the window did not settle"
  return 1
}

# next WID : presses Enter in the window (its default button).
next() {
  local x y w h
  read -r x y w h <<<"$(e2e_window_geometry "$1")"
  e2e_click $((x + w / 2)) $((y + 40))     # focus: the page's header
  xdotool key Return
}

e2e_start_exe "$SETUP" >/dev/null
wid=$(e2e_find_window "Ravilo Setup" 60) || { e2e_fail setup "no installer window"; exit 1; }
n=1
for page in welcome folder options; do
  settled "$wid" "$OUT/installer-$n-$page.png" || exit 1
  next "$wid"
  n=$((n + 1))
done
settled "$wid" "$OUT/installer-$n-finish.png" || exit 1
next "$wid"          # Finish, with "Start Ravilo now" ticked
if pet=$(e2e_find_window Ravilo 40); then
  e2e_pass "Finish starts Ravilo"
  sleep 4            # the greeting movie
  e2e_screenshot "$OUT/installer-started.png"
else e2e_fail "Finish starts Ravilo" "no window"; fi

inst=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')\\Programs\\Ravilo" | tr -d '\r')
e2e_start_exe "$inst/unins000.exe" >/dev/null
# NSIS titles the uninstaller "Ravilo Uninstall " (with a blank at the end).
wid=$(e2e_find_window "Ravilo Uninstall " 60) || {
  e2e_fail uninstall "no uninstaller window in $inst; windows: $(for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do xdotool getwindowname "$w"; done | tr '\n' '|')"
  exit 1
}
LAST=""
settled "$wid" "$OUT/uninstaller-1-confirm.png" || exit 1
read -r x y w h <<<"$(e2e_window_geometry "$wid")"
next "$wid"          # Uninstall: closes Ravilo, then asks about the settings
# The question is a second window with the same title, smaller than the uninstaller's.
deadline=$((SECONDS + 60)) box=""
while [[ -z $box ]]; do
  [[ $SECONDS -ge $deadline ]] && { e2e_fail question "no question"; exit 1; }
  for other in $(xdotool search --onlyvisible --name '^Ravilo Uninstall' 2>/dev/null); do
    [[ $other != "$wid" ]] && box=$other
  done
  sleep 0.2
done
sleep 1
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$OUT/uninstaller-2-question.png"
LAST="$OUT/uninstaller-2-question.png"
read -r bx by bw bh <<<"$(e2e_window_geometry "$box")"
e2e_click $((bx + bw / 2)) $((by + bh / 3))     # focus the question, then answer No
xdotool key n
deadline=$((SECONDS + 20))
while xdotool getwindowname "$box" >/dev/null 2>&1 && [[ -n $(xdotool search --onlyvisible --name '^Ravilo Uninstall' 2>/dev/null | grep -x "$box") ]]; do
  [[ $SECONDS -ge $deadline ]] && { e2e_fail question "the question stays"; exit 1; }
  sleep 0.2
done
settled "$wid" "$OUT/uninstaller-3-finish.png" || exit 1
next "$wid"
e2e_pass "screenshots in $OUT"
