#!/usr/bin/env bash
# Proves the e2e harness and the Wine behaviours the product relies on, using
# the probe program from tools/e2e/probe (not Ravilo itself).
# Runs itself a second time with --no-sound for the part without a sound server.
# e2e: alone (it records sound, or measures CPU or time)
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"

KEY='HKCU\Software\MirenWorks\RaviloProbe'
BKEY='HKCU\Software\MirenWorks\RaviloProbeBackdrop'

build_probe() {
    local out=${E2E_RUN_DIR:-$E2E_TMP}/probe
    (
        flock 9
        [[ -f $out/probe.exe && $out/probe.exe -nt $E2E_REPO_DIR/tools/e2e/probe/probe.cpp ]] && exit 0
        bash "$E2E_REPO_DIR/tools/e2e/probe/build.sh" "$out" >"$out.build.log" 2>&1
    ) 9>"${out}.lock" || { e2e_fail build "probe build failed: $(cat "$out.build.log")"; exit 1; }
    PROG=$(e2e_stage "$out")
    PROBE=$PROG/probe.exe
}

near() { # near A B TOLERANCE
    awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= t) }'
}

if [[ ${1:-} == --no-sound ]]; then
    e2e_setup --no-sound
    build_probe
    sox -n -r 44100 -c 2 -b 16 "$E2E_TMP/tone.wav" synth 1.0 sine 440 vol 0.5
    pid=$(e2e_start_exe "$PROBE" --sound "$(e2e_winpath "$E2E_TMP/tone.wav")")
    if e2e_find_window RaviloProbe 15 >/dev/null; then e2e_pass "no-sound: window appears"
    else e2e_fail "no-sound: window appears" "no window after 15 s"; fi
    sleep 1
    c0=$(e2e_cpu_seconds "$pid")
    sleep 5
    c1=$(e2e_cpu_seconds "$pid")
    used=$(awk -v a="$c0" -v b="$c1" 'BEGIN { printf "%.2f", b - a }')
    echo "  cpu over 5 s without sound server: ${used} s, rss $(e2e_rss_kb "$pid") kB"
    if awk -v u="$used" 'BEGIN { exit !(u < 0.25) }'; then e2e_pass "no-sound: idle CPU < 5%"
    else e2e_fail "no-sound: idle CPU < 5%" "used $used s of CPU in 5 s"; fi
    # Wine reports the failed playback as MCI_NOTIFY_FAILURE, not as an error.
    notes=$(e2e_reg_value "$KEY" MciNotifyFAILURE)
    [[ $notes == "REG_DWORD 0x1" ]] && e2e_pass "no-sound: play fails by notification" ||
        e2e_fail "no-sound: play fails by notification" "MciNotifyFAILURE=$notes"
    e2e_close_request "$pid"
    rc=$(e2e_wait_exit "$pid" 10)
    [[ $rc == 1 ]] && e2e_pass "no-sound: close request ends it" || e2e_fail "no-sound: close request ends it" "exit $rc"
    exit 0
fi

e2e_setup
build_probe

# --- exit codes come through wine
codes=""
for c in 0 1 42; do
    p=$(e2e_start_exe "$PROBE" --exit "$c")
    codes+="$(e2e_wait_exit "$p" 15) "
done
[[ $codes == "0 1 42 " ]] && e2e_pass "exit codes pass through wine" || e2e_fail "exit codes pass through wine" "got: $codes"

# --- layered colour-key window over a backdrop window
backdrop=$(e2e_start_exe "$PROBE" --backdrop --mutex RaviloProbeBackdrop --title Backdrop --pos 0 0)
e2e_find_window Backdrop 15 >/dev/null || e2e_fail backdrop "backdrop window missing"
first=$(e2e_start_exe "$PROBE" --pos 200 150)
wid=$(e2e_find_window RaviloProbe 15)
geom=$(e2e_window_geometry "$wid")
[[ $geom == "200 150 319 170" ]] && e2e_pass "window at requested position and size" ||
    e2e_fail "window at requested position and size" "geometry '$geom'"
[[ $(e2e_find_window_by_pid "$first" 5) == *"$wid"* ]] && e2e_pass "window found by pid" ||
    e2e_fail "window found by pid" "pid $first"
sleep 0.5
e2e_screenshot "$E2E_TMP/shot.png"
purple=$(e2e_pixel_count_of_colour "$E2E_TMP/shot.png" 128 0 128)
green_in=$(e2e_pixel_count_of_colour "$E2E_TMP/shot.png" 0 200 0 200 150 319 170)
green_all=$(e2e_pixel_count_of_colour "$E2E_TMP/shot.png" 0 200 0)
grey_in=$(e2e_pixel_count_of_colour "$E2E_TMP/shot.png" 90 90 90 200 150 319 170)
echo "  purple=$purple green(window)=$green_in green(all)=$green_all backdrop-through-key=$grey_in"
if [[ $purple -eq 0 && $green_in -gt 15000 && $green_in -eq $green_all && $grey_in -gt 20000 ]]; then
    e2e_pass "colour key hides purple, shape shows at window position"
else
    e2e_fail "colour key hides purple, shape shows at window position" \
        "purple=$purple green=$green_in/$green_all grey=$grey_in"
fi

# --- input: shape clicks reach the probe, drags move it, purple clicks fall through
e2e_click 360 235
e2e_click 360 235 3
e2e_drag 360 235 460 335
sleep 0.5
geom=$(e2e_window_geometry "$wid")
clicks=$(e2e_reg_value "$KEY" Clicks) right=$(e2e_reg_value "$KEY" RightClicks)
posx=$(e2e_reg_value "$KEY" PosX) posy=$(e2e_reg_value "$KEY" PosY)
if [[ $clicks == "REG_DWORD 0x2" && $right == "REG_DWORD 0x1" && $geom == "300 250 319 170" &&
    $posx == "REG_DWORD 0x12c" && $posy == "REG_DWORD 0xfa" ]]; then
    e2e_pass "clicks on the shape and drag reach the window"
else
    e2e_fail "clicks on the shape and drag reach the window" \
        "clicks='$clicks' right='$right' geometry='$geom' pos='$posx' '$posy'"
fi
e2e_click 305 255   # purple corner of the moved window
sleep 0.3
bclicks=$(e2e_reg_value "$BKEY" Clicks) clicks=$(e2e_reg_value "$KEY" Clicks)
[[ $bclicks == "REG_DWORD 0x1" && $clicks == "REG_DWORD 0x2" ]] && e2e_pass "clicks on purple fall through" ||
    e2e_fail "clicks on purple fall through" "backdrop='$bclicks' probe='$clicks'"
e2e_close_request Backdrop
[[ $(e2e_wait_exit "$backdrop" 10) == 1 ]] || e2e_fail backdrop "backdrop did not close"

# --- single instance
t0=$(date +%s%N)
second=$(e2e_start_exe "$PROBE")
rc=$(e2e_wait_exit "$second" 10)
ms=$((($(date +%s%N) - t0) / 1000000))
echo "  second instance exited $rc after $ms ms"
if [[ $rc == 0 ]] && e2e_running "$first"; then e2e_pass "second instance exits 0, first keeps running"
else e2e_fail "second instance exits 0, first keeps running" "rc=$rc"; fi

# --- registry written by the running program is visible with its types
out=$(e2e_reg_query "$KEY")
if grep -qE '^ +Greeting +REG_SZ +hello from probe$' <<<"$out" &&
    grep -qE '^ +Launches +REG_DWORD +0x1$' <<<"$out"; then
    e2e_pass "registry of a running program"
else
    e2e_fail "registry of a running program" "$out"
fi

# --- close request -> WM_CLOSE -> ExitProcess(1); registry kept afterwards
e2e_close_request "$first"
rc=$(e2e_wait_exit "$first" 10)
[[ $rc == 1 ]] && e2e_pass "close request ends it with exit code 1" || e2e_fail "close request ends it with exit code 1" "exit $rc"
[[ $(e2e_reg_value "$KEY" ClosedByWmClose) == "REG_DWORD 0x1" && $(e2e_reg_value "$KEY" Launches) == "REG_DWORD 0x1" ]] &&
    e2e_pass "registry after the program ended" || e2e_fail "registry after the program ended" "$(e2e_reg_query "$KEY")"

# --- looped sound through MCI reaches the null sink
e2e_make_tone "$E2E_TMP/tone.wav" 1.0 440 0.5
e2e_record_start "$E2E_TMP/rec.wav" || e2e_fail sound "recording did not start"
snd=$(e2e_start_exe "$PROBE" --sound "$(e2e_winpath "$E2E_TMP/tone.wav")")
sleep 5
e2e_record_stop
e2e_close_request "$snd"
e2e_wait_exit "$snd" 10 >/dev/null
stats=$(e2e_sound_stats "$E2E_TMP/rec.wav")
# Each loop restarts on the end notification; under load the restart leaves a gap of
# a few tens of ms (60 ms seen), which is still one looping sound.
segs=$(e2e_sound_segments "$E2E_TMP/rec.wav" 0.01 0.3)
echo "  recorded: $stats; non-silent: $(tail -n1 <<<"$segs")"
max=$(sed -E 's/.*max=([0-9.]+).*/\1/' <<<"$stats")
total=$(sed -nE 's/^total=([0-9.]+).*/\1/p' <<<"$segs")
parts=$(sed -nE 's/.*parts=([0-9]+)/\1/p' <<<"$segs")
# 5 s of looping minus ~0.5 s start-up: one continuous stretch of at least 3.5 s.
if near "$max" 0.5 0.05 && [[ $parts == 1 ]] && awk -v t="$total" 'BEGIN { exit !(t >= 3.5 && t <= 5.5) }'; then
    e2e_pass "looped MCI sound recorded from the null sink"
else
    e2e_fail "looped MCI sound recorded from the null sink" "$stats / $(tr '\n' ' ' <<<"$segs")"
fi
ok=$(e2e_reg_value "$KEY" MciNotifySUCCESSFUL)
[[ $ok =~ ^REG_DWORD\ 0x[3-6]$ ]] && e2e_pass "MCI_NOTIFY_SUCCESSFUL once per loop" ||
    e2e_fail "MCI_NOTIFY_SUCCESSFUL once per loop" "got '$ok'"

# --- UTF-8 code page from an application manifest
u=$(e2e_start_exe "$PROG/probe-utf8.exe" --mutex RaviloProbeUtf8)
e2e_find_window RaviloProbe 15 >/dev/null
acp=$(e2e_reg_value "$KEY" AnsiCodePage)
e2e_close_request "$u"
e2e_wait_exit "$u" 10 >/dev/null
[[ $acp == "REG_DWORD 0xfde9" ]] && e2e_pass "manifest activeCodePage UTF-8 gives ACP 65001" ||
    e2e_fail "manifest activeCodePage UTF-8 gives ACP 65001" "AnsiCodePage=$acp"

# --- the part without any sound server, in a fresh environment
sub=$(bash "${BASH_SOURCE[0]}" --no-sound 2>"$E2E_TMP/nosound.err")
grep -E '^(PASS|FAIL|  )' <<<"$sub"
np=$(sed -nE 's/^e2e: ([0-9]+) passed, ([0-9]+) failed$/\1/p' <<<"$sub")
nf=$(sed -nE 's/^e2e: ([0-9]+) passed, ([0-9]+) failed$/\2/p' <<<"$sub")
if [[ -z $np ]]; then
    e2e_fail "no-sound part" "no summary: $(tail -n 5 "$E2E_TMP/nosound.err")"
else
    E2E_PASSED=$((E2E_PASSED + np)) E2E_FAILED=$((E2E_FAILED + nf))
fi
