# shellcheck shell=bash
# Sourced by lib.sh: Ravilo's pet on screen, its menu, and an alarm set to ring soon.

# A screen point on Ravilo's pet in a screenshot (a visible pixel of its body, inside the
# movie view), for the main window's origin X Y: "x y", or failure when none is seen. The
# pet is drawn at E2E_SCALE percent (100 unless set).
e2e_pet_point() {
    /usr/bin/python3 - "$1" "$2" "$3" "${E2E_SCALE:-100}" <<'PY'
import sys
from PIL import Image
im = Image.open(sys.argv[1]).convert("RGB"); wx, wy = int(sys.argv[2]), int(sys.argv[3])
s = lambda v: v * int(sys.argv[4]) // 100
for y in range(wy + s(100), wy + s(125)):
    for x in range(wx + s(200), wx + s(260)):
        if 0 <= x < im.width and 0 <= y < im.height and im.getpixel((x, y)) != (0, 0, 0):
            print(x, y); sys.exit(0)
sys.exit(1)
PY
}

# e2e_program_windows PID : the visible X windows of a program started by e2e_start_exe.
e2e_program_windows() { xdotool search --onlyvisible --pid "$(e2e_exe_pid "$1")" 2>/dev/null; }

# e2e_open_menu PID X Y BUTTON : clicks at X Y and waits up to 10 s for a new visible window
# of the program, its popup menu, which then takes the keys; false when none comes.
e2e_open_menu() {
    local pid=$1 before menu deadline=$((SECONDS + 10))
    before=$(e2e_program_windows "$pid")
    e2e_click "$2" "$3" "$4"
    while :; do
        menu=$(e2e_program_windows "$pid" | grep -vxF -e "${before:-none}" | head -n1)
        [[ -n $menu ]] && return 0
        [[ $SECONDS -ge $deadline ]] && return 1
        sleep 0.1
    done
}

# e2e_wait_pet WID SECONDS : prints a screen point on the pet ("x y", see e2e_pet_point) once
# it is drawn in the main window WID; false when it is not within SECONDS.
e2e_wait_pet() {
    local shot="$E2E_TMP/wait-pet.png" x y deadline=$((SECONDS + $2))
    read -r x y _ _ <<<"$(e2e_window_geometry "$1")"
    until e2e_screenshot "$shot" && e2e_pet_point "$shot" "$x" "$y"; do
        [[ $SECONDS -ge $deadline ]] && return 1
        sleep 0.2
    done
}

# e2e_pet_menu PID WID : opens the pet's menu with a right click on its body, once the pet
# is drawn in the main window WID; false when no pet or no menu shows within 10 s each.
e2e_pet_menu() {
    local point
    point=$(e2e_wait_pet "$2" 10) || return 1
    # shellcheck disable=SC2086
    e2e_open_menu "$1" $point 3
}

# e2e_set_alarm_soon KEY SECONDS : sets the simple-mode alarm (alarm0.wav) in the registry
# KEY to the next whole minute at least SECONDS away, and prints that minute as epoch
# seconds. Wine's clock is the host's local time.
e2e_set_alarm_soon() {
    local key=$1 target hour minute v
    target=$(( ($(date +%s) + $2 + 59) / 60 * 60 ))
    hour=$(date -d "@$target" +%-H) minute=$(date -d "@$target" +%-M)
    for v in "AlarmIsOn 1" "AlarmHour $hour" "AlarmMin $minute" "UsePlayist 0"; do
        wine reg add "$key" /v "${v% *}" /t REG_DWORD /d "${v#* }" /f >/dev/null 2>&1
    done
    wine reg add "$key" /v AlarmSound /t REG_SZ /d 'Sounds\Alarms\alarm0.wav' /f >/dev/null 2>&1
    e2e_log "alarm set to $(date -d "@$target" +%T)"
    echo "$target"
}
