#!/usr/bin/env bash
# The installer, its uninstaller and the portable zip under Wine, in a fresh prefix: a silent
# install into the user's own folder, the installed program starting, an install over the
# running program, a silent uninstall, the zip's folder starting, and what the program file
# shows of itself (icon and version).
# RAVILO_PACKAGES: the folder holding Ravilo-Setup-<version>.exe and Ravilo-<version>.zip
# (default: two levels above RAVILO_DIST, i.e. build/win).
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
PKG=${RAVILO_PACKAGES:-$(cd "$RAVILO_DIST/../.." && pwd)}
SETUP=$(ls "$PKG"/Ravilo-Setup-*.exe 2>/dev/null | head -n1)
[[ -f $SETUP ]] || { e2e_fail packages "no Ravilo-Setup-*.exe in $PKG"; exit 1; }
VERSION=${SETUP##*/Ravilo-Setup-} VERSION=${VERSION%.exe}
ZIP="$PKG/Ravilo-$VERSION.zip"
SETTINGS='HKCU\Software\MirenWorks\Ravilo'
RUN='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
UNINST='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ravilo'

winenv() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
unixpath() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
INST_WIN="$(winenv LOCALAPPDATA)\\Programs\\Ravilo"
INST=$(unixpath "$INST_WIN")
LINK=$(unixpath "$(winenv APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Ravilo.lnk")
[[ -n $INST && -n $LINK ]] || { e2e_fail paths "LOCALAPPDATA/APPDATA not found"; exit 1; }

# pet_shown PID : the program's main window is up and the pet is drawn in it.
pet_shown() {
  local wid geo x y shot visible
  wid=$(e2e_find_window_by_pid "$1" 1 | head -n1) || return 1
  geo=$(e2e_window_geometry "$wid") || return 1
  read -r x y _ _ <<<"$geo"
  shot="$E2E_TMP/pet.png"
  e2e_screenshot "$shot"
  visible=$((279 * 120 - $(e2e_pixel_count_of_colour "$shot" 0 0 0 "$x" "$y" 279 120)))
  ((visible > 2000))
}

# start_and_see NAME EXE : starts EXE (its pid in $pid), passes NAME once its pet shows.
start_and_see() {
  pid=$(e2e_start_exe "$2")
  if e2e_wait_until 40 pet_shown "$pid"; then e2e_pass "$1"; else e2e_fail "$1" "no pet within 40 s"; fi
}

# restarted NAME : a silent update started again the Ravilo it had closed (passes NAME); that
# copy is then closed through its window, for the steps that follow.
ravilo_gone() { ! xdotool search --onlyvisible --name '^Ravilo$' >/dev/null 2>&1; }
restarted() {
  if ! e2e_find_window '^Ravilo$' 30 >/dev/null; then e2e_fail "$1" "no window within 30 s"; return; fi
  e2e_pass "$1"
  e2e_close_request Ravilo >/dev/null
  e2e_wait_until 20 ravilo_gone || e2e_fail "$1: it closes again" "still shown"
}

# Everything the build staged ships, apart from what the program writes itself.
same_as_dist() { diff -r -x Playlist.txt -x unins000.exe -x README.txt "$RAVILO_DIST" "$1" >"$E2E_TMP/diff.txt"; }

# reg_has KEY [VALUE] : the key (or the value) exists; `reg query` fails when it does not.
reg_has() {
  if [[ $# -ge 2 ]]; then wine reg query "$1" /v "$2" >/dev/null 2>&1; else wine reg query "$1" >/dev/null 2>&1; fi
}
files_gone() { [[ ! -e $INST/Ravilo.exe && ! -e $INST/unins000.exe && ! -e $LINK ]]; }
values_gone() { ! reg_has "$RUN" Ravilo && ! reg_has "$UNINST"; }
# The uninstaller removes the files first, then the two values.
uninstalled() { e2e_wait_until "$1" files_gone && e2e_wait_until 20 values_gone; }

# --------------------------------------------------------------- 1. silent install
pid=$(e2e_start_exe "$SETUP" /S)
rc=$(e2e_wait_exit "$pid" 180)
[[ $rc == 0 ]] && e2e_pass "the silent install ends with 0" || e2e_fail "the silent install ends with 0" "exit $rc"
same_as_dist "$INST" && e2e_pass "every staged file is installed in $INST_WIN" ||
  e2e_fail "every staged file is installed" "$(head -n5 "$E2E_TMP/diff.txt")"
[[ -f $INST/unins000.exe && ! -e $INST/Playlist.txt ]] && e2e_pass "unins000.exe beside it, no playlist shipped" ||
  e2e_fail "unins000.exe beside it, no playlist shipped" "$(ls "$INST")"
[[ -f $LINK ]] && e2e_pass "the Start-menu shortcut" || e2e_fail "the Start-menu shortcut" "no $LINK"
# One `reg query` per key (each Wine call costs a second or more on a busy machine).
declare -A dump=([$RUN]=$(e2e_reg_query "$RUN") [$UNINST]=$(e2e_reg_query "$UNINST"))
regval() { awk -v v="$2" '$1 == v && $2 ~ /^REG_/ { t = $2; sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]*/, ""); print t " " $0; exit }' <<<"${dump[$1]}"; }
for v in "$RUN:Ravilo:REG_SZ \"$INST_WIN\\Ravilo.exe\"" "$UNINST:DisplayName:REG_SZ Ravilo" "$UNINST:DisplayVersion:REG_SZ $VERSION" \
         "$UNINST:Publisher:REG_SZ MirenWorks" "$UNINST:DisplayIcon:REG_SZ $INST_WIN\\Ravilo.exe,0" \
         "$UNINST:UninstallString:REG_SZ \"$INST_WIN\\unins000.exe\""; do
  IFS=: read -r key name want <<<"$v"
  got=$(regval "$key" "$name")
  [[ $got == "$want" ]] && e2e_pass "registry $name" || e2e_fail "registry $name" "got '$got', want '$want'"
done
size=$(regval "$UNINST" EstimatedSize)
kb=$(du -sk "$INST" | cut -f1)
if [[ $size == "REG_DWORD 0x"* ]] && (( $(printf '%d' "${size#REG_DWORD }") * 10 > kb * 9 )); then
  e2e_pass "registry EstimatedSize ($(printf '%d' "${size#REG_DWORD }") kB, folder $kb kB)"
else e2e_fail "registry EstimatedSize" "got '$size', folder $kb kB"; fi

# What Explorer, Alt+Tab and Task Manager show of the program file, and of the installer.
identity=$("$E2E_REPO_DIR/tools/e2e/exe-identity.sh" "$INST/Ravilo.exe")
for want in "icon MAINICON 16 20 24 32 40 48" "version $VERSION.0 $VERSION.0" "CompanyName=MirenWorks" \
            "ProductName=Ravilo" "ProductVersion=$VERSION"; do
  grep -qxF "$want" <<<"$identity" && e2e_pass "Ravilo.exe: $want" || e2e_fail "Ravilo.exe: $want" "$identity"
done
identity=$("$E2E_REPO_DIR/tools/e2e/exe-identity.sh" "$SETUP")
grep -qxF "ProductVersion=$VERSION" <<<"$identity" &&
  e2e_pass "the installer carries version $VERSION" || e2e_fail "the installer carries version $VERSION" "none"
# Every set of pictures ships, and the download stays within its budget.
[[ -d $INST/Images/2x && -d $INST/Movies/2x ]] && e2e_pass "the 2x pictures and movies are installed" ||
  e2e_fail "the 2x pictures and movies are installed" "$(ls "$INST/Images" "$INST/Movies")"
setup_bytes=$(stat -c %s "$SETUP")
((setup_bytes < 5000000)) && e2e_pass "the installer has $setup_bytes bytes, under 5 MB" ||
  e2e_fail "the installer stays under 5 MB" "$setup_bytes bytes"

# --------------------------------------------------------------- 2. the installed program
start_and_see "the installed program shows the pet" "$INST/Ravilo.exe"
e2e_wait_until 10 test -f "$INST/Playlist.txt" && e2e_pass "it writes Playlist.txt in its folder" ||
  e2e_fail "it writes Playlist.txt in its folder" "none"

# --------------------------------------------------------------- 3. install over it while it runs
printf '1\r\nC:\\Music\\wake up.wav\r\n' >"$INST/Playlist.txt"
cp "$INST/Playlist.txt" "$E2E_TMP/playlist.before"
wine reg add "$SETTINGS" /v AlarmHour /t REG_DWORD /d 6 /f >/dev/null 2>&1
setup=$(e2e_start_exe "$SETUP" /S)
rc=$(e2e_wait_exit "$setup" 180)
[[ $rc == 0 ]] && e2e_pass "installing over it ends with 0" || e2e_fail "installing over it ends with 0" "exit $rc"
# Exit code 1 is Ravilo's own close path; a forced end would give another.
rc=$(e2e_wait_exit "$pid" 5)
[[ $rc == 1 ]] && e2e_pass "the running program was asked to close and ended" ||
  e2e_fail "the running program was asked to close and ended" "exit $rc"
cmp -s "$INST/Playlist.txt" "$E2E_TMP/playlist.before" && e2e_pass "the playlist is kept" ||
  e2e_fail "the playlist is kept" "$(od -c "$INST/Playlist.txt" | head -n3)"
[[ $(e2e_reg_value "$SETTINGS" AlarmHour) == "REG_DWORD 0x6" ]] && e2e_pass "the settings are kept" ||
  e2e_fail "the settings are kept" "AlarmHour $(e2e_reg_value "$SETTINGS" AlarmHour)"
same_as_dist "$INST" && e2e_pass "the program files are there again" || e2e_fail "the program files are there again" "diff"
restarted "the silent update starts the closed Ravilo again"

# --------------------------------------------------------------- 4. silent uninstall
start_and_see "the program runs again before the uninstall" "$INST/Ravilo.exe"
e2e_start_exe "$INST/unins000.exe" /S >/dev/null
# The uninstaller copies itself to %TEMP% and goes on from there: wait for its work.
if uninstalled 120; then e2e_pass "unins000.exe /S removes the files, the shortcut, the Run value and the Uninstall key"
else e2e_fail "unins000.exe /S removes everything" "$(ls -A "$INST" 2>&1 | head -n5)"; fi
rc=$(e2e_wait_exit "$pid" 5)
[[ $rc == 1 ]] && e2e_pass "the uninstaller closed the running program" ||
  e2e_fail "the uninstaller closed the running program" "exit $rc"
left=$(cd "$INST" 2>/dev/null && find . -mindepth 1 | sort | tr '\n' ' ')
[[ $left == "./Playlist.txt " ]] && e2e_pass "only the user's playlist is left" || e2e_fail "only the user's playlist is left" "left: $left"
[[ $(e2e_reg_value "$SETTINGS" AlarmHour) == "REG_DWORD 0x6" ]] && e2e_pass "a silent uninstall keeps the settings key" ||
  e2e_fail "a silent uninstall keeps the settings key" "AlarmHour $(e2e_reg_value "$SETTINGS" AlarmHour)"

# --------------------------------------------------------------- 5. the portable zip
mkdir -p "$E2E_TMP/unzipped"
/usr/bin/python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$ZIP" "$E2E_TMP/unzipped"
PORT="$E2E_TMP/unzipped/Ravilo"
[[ $(ls -A "$E2E_TMP/unzipped") == Ravilo ]] && same_as_dist "$PORT" && grep -q "Ravilo $VERSION" "$PORT/README.txt" &&
  e2e_pass "the zip unpacks to the folder Ravilo with a README.txt" ||
  e2e_fail "the zip unpacks to the folder Ravilo with a README.txt" "$(ls -A "$E2E_TMP/unzipped" "$PORT")"
start_and_see "Ravilo.exe starts from the unpacked folder" "$PORT/Ravilo.exe"

# An uninstall leaves a copy that runs from elsewhere alone.
setup=$(e2e_start_exe "$SETUP" /S)
e2e_wait_exit "$setup" 180 >/dev/null
# The installer ends whichever Ravilo runs (only one can) and starts that one again.
e2e_wait_exit "$pid" 5 >/dev/null
restarted "the silent install starts the closed portable copy again"
start_and_see "the portable copy runs beside a new install" "$PORT/Ravilo.exe"
e2e_start_exe "$INST/unins000.exe" /S >/dev/null
uninstalled 120 || e2e_fail "the second uninstall" "did not finish"
e2e_running "$pid" && e2e_pass "the uninstaller leaves a Ravilo from another folder running" ||
  e2e_fail "the uninstaller leaves a Ravilo from another folder running" "it ended ($(e2e_wait_exit "$pid" 1))"
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "the portable copy closes with 1" || e2e_fail "the portable copy closes with 1" "exit $rc"
