#!/usr/bin/env bash
# Two alarms due in the same minute under Wine: the first as an installed Ravilo keeps it,
# the second in the subkey Alarms\1, named in Russian and one-off. They ring as one ring;
# the pet window's title names both; a click on stop ends it, the title is "Ravilo" again
# and the one-off is switched off in the registry while the first stays on.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")

target=$(e2e_set_alarm_soon "$KEY" 20)
hour=$(date -d "@$target" +%-H) minute=$(date -d "@$target" +%-M)
for v in "AlarmIsOn 1" "AlarmHour $hour" "AlarmMin $minute" "AlarmOnce 1"; do
  wine reg add "$KEY\\Alarms\\1" /v "${v% *}" /t REG_DWORD /d "${v#* }" /f >/dev/null 2>&1
done
wine reg add "$KEY\\Alarms\\1" /v AlarmLabel /t REG_SZ /d 'Таблетки 21:00' /f >/dev/null 2>&1
[[ $(e2e_reg_value "$KEY\\Alarms\\1" AlarmLabel) == "REG_SZ Таблетки 21:00" ]] ||
  e2e_log "the label reads back as: $(e2e_reg_value "$KEY\\Alarms\\1" AlarmLabel)"
pid=$(e2e_start_exe "$PROG/Ravilo.exe")
main=$(e2e_find_window '^Ravilo$' 20) || { e2e_fail "window" "none"; exit 1; }
size() { e2e_window_geometry "$main" | awk '{print $3 "x" $4}'; }
ringing() { [[ $(size) == 460x319 ]]; }
normal() { [[ $(size) == 319x170 ]]; }
title() { xdotool getwindowname "$main" 2>/dev/null; }
if ! e2e_wait_until $(( target - $(date +%s) + 30 )) ringing; then
  e2e_fail "the alarms ring" "no ringing layout"
  exit 1
fi
e2e_pass "the alarms ring"
want="Ravilo: $(date -d "@$target" +%H:%M), Таблетки 21:00"
named() { [[ $(title) == "$want" ]]; }
e2e_wait_until 5 named && e2e_pass "the title names both alarms" || e2e_fail "the title names both alarms" "$(title)"
e2e_screenshot "$E2E_TMP/ring.png" && cp "$E2E_TMP/ring.png" "$E2E_REPO_DIR/build/e2e-alarms-ring.png" 2>/dev/null

# The stop button: 140 by 105 at 0, 136 of the ringing layout.
read -r wx wy _ _ <<<"$(e2e_window_geometry "$main")"
e2e_click $(( wx + 70 )) $(( wy + 136 + 50 ))
e2e_wait_until 10 normal && e2e_pass "stop ends the ring" || e2e_fail "stop ends the ring" "$(size)"
plain() { [[ $(title) == Ravilo ]]; }
e2e_wait_until 5 plain && e2e_pass "the title is Ravilo again" || e2e_fail "the title is Ravilo again" "$(title)"
once_off() { [[ $(e2e_reg_value "$KEY\\Alarms\\1" AlarmIsOn) == "REG_DWORD 0x0" ]]; }
e2e_wait_until 5 once_off && e2e_pass "the one-off alarm is off in the registry" ||
  e2e_fail "the one-off alarm is off in the registry" "$(e2e_reg_value "$KEY\\Alarms\\1" AlarmIsOn)"
[[ $(e2e_reg_value "$KEY" AlarmIsOn) == "REG_DWORD 0x1" ]] && e2e_pass "the first alarm stays on" ||
  e2e_fail "the first alarm stays on" "$(e2e_reg_value "$KEY" AlarmIsOn)"
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request ends with 1" || e2e_fail "a close request ends with 1" "exit $rc"
