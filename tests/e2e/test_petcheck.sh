#!/usr/bin/env bash
# PetCheck.exe under Wine: the shipped folder passes, its 2x set included; a folder with one
# damaged movie fails and the output names that movie; --sheet writes a bitmap.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup --no-sound
PROG=$(e2e_stage "$RAVILO_DIST")

[[ -f $PROG/PetCheck.exe ]] && e2e_pass "PetCheck.exe ships beside Ravilo.exe" ||
  { e2e_fail "PetCheck.exe ships beside Ravilo.exe" "not in $RAVILO_DIST"; exit 1; }

sheet="$E2E_TMP/sheet.bmp"
pid=$(e2e_start_exe "$PROG/PetCheck.exe" "$(e2e_winpath "$PROG")" --sheet "$(e2e_winpath "$sheet")")
rc=$(e2e_wait_exit "$pid" 120)
out=$(e2e_exe_output "$pid" | tr -d '\r')
[[ $rc == 0 ]] && e2e_pass "the shipped folder passes (exit 0)" ||
  e2e_fail "the shipped folder passes (exit 0)" "exit $rc: $(grep -v '^[0-9a-f]*:fixme' <<<"$out" | head -5)"
grep -qF 'follow the rules in every set (1x, 2x).' <<<"$out" && e2e_pass "it checks the 2x set too" ||
  e2e_fail "it checks the 2x set too" "$(grep PetCheck: <<<"$out")"
[[ $(head -c 2 "$sheet" 2>/dev/null) == BM && $(stat -c %s "$sheet") -gt 1000000 ]] &&
  e2e_pass "--sheet writes a bitmap" || e2e_fail "--sheet writes a bitmap" "$(ls -l "$sheet" 2>&1)"

# One damaged movie: cut off in the middle of its first frame. (Its 2x partner is not
# compared with a 1x movie that cannot be read: only the damaged file is named.)
BAD=$(e2e_stage "$RAVILO_DIST")
head -c 900 "$RAVILO_DIST/Movies/Idle/7.gif" >"$BAD/Movies/Idle/7.gif"
pid=$(e2e_start_exe "$BAD/PetCheck.exe" "$(e2e_winpath "$BAD")")
rc=$(e2e_wait_exit "$pid" 120)
out=$(e2e_exe_output "$pid" | tr -d '\r')
[[ $rc != 0 && $rc != timeout ]] && e2e_pass "a damaged movie fails (exit $rc)" ||
  e2e_fail "a damaged movie fails" "exit $rc"
if grep -q '^Movies\\Idle\\7\.gif: undecodable' <<<"$out" && [[ $(grep -c '^Movies\\' <<<"$out") == 1 ]]; then
  e2e_pass "the output names the damaged movie, and only it"
else
  e2e_fail "the output names the damaged movie, and only it" "$(grep -v 'fixme' <<<"$out" | head -5)"
fi
grep -q 'Ravilo will not start' <<<"$out" && e2e_pass "it says Ravilo will not start" ||
  e2e_fail "it says Ravilo will not start" "$(tail -2 <<<"$out")"
