#!/usr/bin/env bash
# Close requests from outside (taskkill without /F reaches every top-level window of the
# program): refused while a key is held on the pet, leaving the pet and its tray icon in
# place; allowed once the key is up, with exit code 1; a key whose release went elsewhere
# after the pet lost the focus refuses nothing; the end of the session ends it.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup --no-sound
PROG=$(e2e_stage "$RAVILO_DIST")

tray_shown() { [[ -n $(xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n1) ]]; }
pet_shown() { [[ -n $(xdotool search --onlyvisible --name '^Ravilo$' 2>/dev/null | head -n1) ]]; }

# Gives the pet the keyboard focus as the user does, by a click on it (the pet is shown without
# activation, and Wine takes the X focus alone for no activation), and waits until X reports
# it there.
focus_pet() {
  local wid=$1 i point
  point=$(e2e_wait_pet "$wid" 10) || return 1
  # shellcheck disable=SC2086
  e2e_click $point 1
  for ((i = 0; i < 50; i++)); do
    xdotool windowfocus "$wid" 2>/dev/null
    [[ $(xdotool getwindowfocus 2>/dev/null) == "$wid" ]] && return 0
    sleep 0.1
  done
  return 1
}

# Watches for `secs` seconds that the program runs on with its pet and tray icon shown;
# fails at the first moment one of them is gone.
stays() {
  local pid=$1 deadline=$((SECONDS + $2))
  while ((SECONDS < deadline)); do
    e2e_running "$pid" && pet_shown && tray_shown || return 1
    sleep 0.2
  done
}

start_pet() {
  local pid wid
  pid=$(e2e_start_exe "$PROG/Ravilo.exe")
  wid=$(e2e_find_window Ravilo 30) || return 1
  local deadline=$((SECONDS + 20))
  until tray_shown; do ((SECONDS < deadline)) || return 1; sleep 0.1; done
  echo "$pid $wid"
}

read -r pid wid <<<"$(start_pet)"
[[ -n ${wid:-} ]] && e2e_pass "the pet and its tray icon appear" || { e2e_fail "the pet and its tray icon appear" "none"; exit 1; }

# A key held on the pet: the close is refused and nothing disappears.
focus_pet "$wid" || e2e_fail "the pet takes the focus" "focus on $(xdotool getwindowfocus)"
xdotool keydown Shift_L
sleep 0.3
e2e_close_image Ravilo.exe
if stays "$pid" 6; then e2e_pass "a close refused while a key is held leaves the pet and its tray icon"
else e2e_fail "a close refused while a key is held leaves the pet and its tray icon" \
  "running=$(e2e_running "$pid" && echo yes || echo no) pet=$(pet_shown && echo yes || echo no) tray=$(tray_shown && echo yes || echo no)"; fi

# Released on the pet: the next close ends the program as a close should.
focus_pet "$wid"
xdotool keyup Shift_L
sleep 0.3
e2e_close_image Ravilo.exe
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "after the key is released, a close ends with exit code 1" ||
  e2e_fail "after the key is released, a close ends with exit code 1" "exit $rc"

# A new start runs normally: nothing of the last run holds the single-instance mutex.
read -r pid wid <<<"$(start_pet)"
if [[ -n ${wid:-} ]] && stays "$pid" 3; then e2e_pass "a new start runs normally"
else e2e_fail "a new start runs normally" "no pet, or it ended: $(e2e_wait_exit "$pid" 1)"; exit 1; fi

# Pressed on the pet, released elsewhere: the focus left the pet in between, so the close
# is not refused for good.
focus_pet "$wid"
xdotool keydown Shift_L
sleep 0.3
root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
xdotool windowfocus "$root"
sleep 0.5
xdotool keyup Shift_L
e2e_close_image Ravilo.exe
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a key pressed on the pet and released elsewhere: a close ends with exit code 1" ||
  e2e_fail "a key pressed on the pet and released elsewhere: a close ends with exit code 1" "exit $rc"

# The session ends (wineboot -e asks every window, then ends the session): agreed to even
# with a key held on the pet, and the program ends as by an allowed close.
read -r pid wid <<<"$(start_pet)"
[[ -n ${wid:-} ]] || { e2e_fail "the pet starts for the end of the session" "none"; exit 1; }
focus_pet "$wid"
xdotool keydown Shift_L
sleep 0.3
timeout 60 wineboot -e >"$E2E_TMP/wineboot-end.out" 2>&1
rc=$(e2e_wait_exit "$pid" 20)
xdotool keyup Shift_L
[[ $rc == 1 ]] && e2e_pass "the end of the session, with a key held, ends it with exit code 1" ||
  e2e_fail "the end of the session, with a key held, ends it with exit code 1" "exit $rc"
