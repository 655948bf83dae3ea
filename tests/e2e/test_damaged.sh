#!/usr/bin/env bash
# A program folder with a picture or movie missing: Ravilo says it is damaged and ends with 0.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup

for missing in Images/MainWindow/astopalarm.bmp Images/MainWindow/istopalarm.bmp \
               Images/MainWindow/a10minmore.bmp Images/MainWindow/i10minmore.bmp \
               Movies/Control/10.gif Images/Eyes/right.bmp; do
  PROG=$(e2e_stage "$RAVILO_DIST")
  rm "$PROG/$missing"
  pid=$(e2e_start_exe "$PROG/Ravilo.exe")
  if box=$(e2e_find_window '^Error$' 20); then
    e2e_pass "$missing: the damage is reported"
    # The pet never comes up: no main window beside the message.
    if e2e_find_window '^Ravilo$' 1 >/dev/null; then e2e_fail "$missing: no main window" "it is shown"
    else e2e_pass "$missing: no main window"; fi
    xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key --window "$box" Return
  else
    e2e_fail "$missing: the damage is reported" "no Error box"
  fi
  rc=$(e2e_wait_exit "$pid" 20)
  [[ $rc == 0 ]] && e2e_pass "$missing: ends with exit code 0" || e2e_fail "$missing: ends with exit code 0" "exit $rc"
done
