#!/usr/bin/env bash
# The notification-area icon survives a restart of the shell: another process deletes the
# running program's icon, then broadcasts "TaskbarCreated" as a restarted shell does; the
# icon is back within two seconds and its menu still opens and works.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup --no-sound
PROG=$(e2e_stage "$RAVILO_DIST")
HELPER=$(e2e__helper) || { e2e_fail "helper" "build failed"; exit 1; }

# Without a tray manager on the display, Wine shows the icons in a window of its own; the
# window is mapped while it holds an icon. Waits up to $1 s for it to be shown (or, with
# "gone", hidden); prints its id when shown.
tray_window() {
    local want=${2:-shown} deadline=$(($(date +%s%N) / 1000000 + $1 * 1000)) w
    while :; do
        w=$(xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n1)
        if [[ $want == shown && -n $w ]]; then echo "$w"; return 0; fi
        if [[ $want == gone && -z $w ]]; then return 0; fi
        [[ $(($(date +%s%N) / 1000000)) -ge $deadline ]] && return 1
        sleep 0.05
    done
}

pid=$(e2e_start_exe "$PROG/Ravilo.exe")
e2e_find_window '^Ravilo$' 30 >/dev/null || { e2e_fail "window" "none"; exit 1; }
tray_window 30 >/dev/null && e2e_pass "the icon is in the notification area" ||
    { e2e_fail "the icon is in the notification area" "no tray window"; exit 1; }

out=$(wine "$HELPER" traydel RaviloForm Ravilo 100 2>&1 | tr -d '\r')
if [[ $out == *" deleted" ]] && tray_window 20 gone; then
    e2e_pass "another process removed the icon"
else
    e2e_fail "another process removed the icon" "$out"
    exit 1
fi

wine "$HELPER" broadcast TaskbarCreated || e2e_fail "broadcast" "PostMessage failed"
t0=$(date +%s%N)
if tray=$(tray_window 10); then
    ms=$((($(date +%s%N) - t0) / 1000000))
    ((ms <= 2000)) && e2e_pass "the icon is back after TaskbarCreated ($ms ms)" ||
        e2e_fail "the icon is back within two seconds" "$ms ms"
else
    e2e_fail "the icon is back after TaskbarCreated" "not within 10 s"
    exit 1
fi

# Its menu opens from the icon that came back (a new visible window of the program); "Exit"
# (the last item) ends the program.
read -r tx ty tw th <<<"$(e2e_window_geometry "$tray")"
e2e_open_menu "$pid" $((tx + 10)) $((ty + th / 2)) 3 && e2e_pass "a right click on the icon opens the menu" ||
    e2e_fail "a right click on the icon opens the menu" "no menu window"
xdotool key Up Return
rc=$(e2e_wait_exit "$pid" 30)
[[ $rc == 1 ]] && e2e_pass "Exit from that menu ends with exit code 1" ||
    e2e_fail "Exit from that menu ends with exit code 1" "exit $rc"
