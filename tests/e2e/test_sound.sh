#!/usr/bin/env bash
# The sound player on Wine's MCI, through tools/sound-check (the program's own
# FormSoundSystem/CSoundSystem on the Windows layer): alarm0.wav looped for two rounds,
# then stopped, recorded from the null sink; then the same program with no sound server at
# all, which must neither hang nor spin.
# SOUND_CHECK_DIST: the staged sound-check folder (default build/win/dist/sound-check).
# e2e: alone (it records sound, or measures CPU or time)
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
: "${SOUND_CHECK_DIST:=$E2E_REPO_DIR/build/win/dist/sound-check}"
FILE_S=3.00        # length of Sounds/Alarms/alarm0.wav, loud from start to end
TOLERANCE_S=0.35   # on the sounding span of the recording

# Under load Wine's wave output falls behind and a play stretches (a 3 s file that ends after
# 4.4 s, its short underruns merged into its sound), so the sound heard is held to at least two
# files and at most the two rounds the log reports: a third round or a cut play still fails.
# Usage: heard_two_rounds SECONDS LOG; its reason, when it fails, on stdout.
heard_two_rounds() {
    local rounds
    rounds=$(sed -nE 's/.*round [12] ended after ([0-9]+) ms.*/\1/p' <<<"$2" |
        awk '{ s += $1 } END { printf "%.2f", s / 1000 }')
    awk -v s="$1" -v f="$FILE_S" -v r="$rounds" -v t="$TOLERANCE_S" \
        'BEGIN { lo = 2 * f - t; hi = (r > 2 * f ? r : 2 * f) + t
                 if (s > lo && s < hi) exit 0
                 printf "%s s of sound, want %.2f to %.2f (two files, rounds %s s)", s, lo, hi, r; exit 1 }'
}

# ------------------------------------------------------------ no sound server (child run)
if [[ ${1:-} == --no-server ]]; then
    e2e_setup --no-sound
    prog=$(e2e_stage "$SOUND_CHECK_DIST") || { e2e_fail "no server: stage" "no $SOUND_CHECK_DIST"; exit 1; }
    pid=$(e2e_start_exe "$prog/sound-check.exe")
    sleep 5
    cpu=$(e2e_cpu_seconds "$pid" 2>/dev/null || echo ended)
    rc=$(e2e_wait_exit "$pid" 30)
    out=$(e2e_exe_output "$pid" | tr -d '\r' | grep -E ' ms  ')
    sed 's/^/    log: /' <<<"$out"
    if [[ $cpu == ended ]]; then
        # Ended within the 5 s: its whole CPU time, as it reported it.
        cpu=$(sed -nE 's/.*, cpu ([0-9]+) ms$/\1/p' <<<"$out" | awk '{ printf "%.2f", $1 / 1000 }')
        [[ -n $cpu ]] || cpu=unknown
    fi
    echo "figure: no-server cpu_over_first_5s=${cpu} s exit=$rc"
    if awk -v c="$cpu" 'BEGIN { exit !(c ~ /^[0-9.]+$/ && c < 0.25) }'; then
        e2e_pass "no server: under 5 % of a core over 5 s ($cpu s)"
    else
        e2e_fail "no server: under 5 % of a core over 5 s" "$cpu CPU seconds"
    fi
    [[ $rc != timeout ]] && e2e_pass "no server: the program ends (exit $rc)" ||
        e2e_fail "no server: the program ends" "still running after 35 s"
    grep -qE 'ended by itself|cannot be played' <<<"$out" && e2e_pass "no server: the failure is reported" ||
        e2e_fail "no server: the failure is reported" "nothing in its log"
    exit 0
fi

# ------------------------------------------------------------ with the null sink
e2e_setup
prog=$(e2e_stage "$SOUND_CHECK_DIST") || { e2e_fail "stage" "no $SOUND_CHECK_DIST"; exit 1; }
rec="$E2E_TMP/sound.wav"
e2e_record_start "$rec" || { e2e_fail "recording" "parecord did not start"; exit 1; }
pid=$(e2e_start_exe "$prog/sound-check.exe")
rc=$(e2e_wait_exit "$pid" 60)
sleep 1.5   # silence after the stop, on the recording
e2e_record_stop
log=$(tr -d '\r' <"$prog/sound-check.log" 2>/dev/null)
sed 's/^/    log: /' <<<"$log"
[[ $rc == 0 ]] && e2e_pass "sound-check ends with 0" || e2e_fail "sound-check ends with 0" "exit $rc"
# Wine unloads the wave driver when its last device closes, under the thread that is still
# returning from the play it just reported ended: the program keeps it loaded.
grep -q 'warm-up over: .* wave driver loaded=1' <<<"$log" && e2e_pass "the wave driver stays loaded after a close" ||
    e2e_fail "the wave driver stays loaded after a close" "see the warm-up line above"
grep -q 'round 2 ended' <<<"$log" && grep -q 'stopped: active=0 device open=0' <<<"$log" &&
    e2e_pass "two successful ends, then stopped and closed" ||
    e2e_fail "two successful ends, then stopped and closed" "see the log above"
cp "$rec" "$E2E_REPO_DIR/build/e2e-sound.wav" 2>/dev/null || true

# The sounding span: from the first loud 10 ms to the last one (gaps under 0.3 s merged).
segments=$(e2e_sound_segments "$rec" 0.01 0.3)
sed 's/^/    segment: /' <<<"$segments"
first=$(head -n1 <<<"$segments" | awk 'NF == 2 { print $1 }')
last=$(grep -v '^total' <<<"$segments" | tail -n1 | awk 'NF == 2 { print $2 }')
total=$(e2e_sound_stats "$rec")
echo "figure: recording $total"
if [[ -z $first || -z $last ]]; then
    e2e_fail "the sound is recorded" "the recording is silent"
    exit 1
fi
span=$(awk -v a="$first" -v b="$last" 'BEGIN { printf "%.2f", b - a }')
loud=$(sox "$rec" -n trim "$first" "$span" stat 2>&1 | awk -F: '
    /^Length/ { l = $2 } /^RMS +amplitude/ { r = $2 } /^Maximum amplitude/ { m = $2 }
    END { gsub(/ /, "", l); gsub(/ /, "", r); gsub(/ /, "", m); printf "length=%s rms=%s max=%s", l, r, m }')
after_start=$(awk -v b="$last" 'BEGIN { printf "%.2f", b + 0.05 }')
quiet=$(sox "$rec" -n trim "$after_start" stat 2>&1 | awk -F: '
    /^Length/ { l = $2 } /^RMS +amplitude/ { r = $2 } /^Maximum amplitude/ { m = $2 }
    END { gsub(/ /, "", l); gsub(/ /, "", r); gsub(/ /, "", m); printf "length=%s rms=%s max=%s", l, r, m }')
echo "figure: sounding part from ${first} s: $loud"
echo "figure: after the stop from ${after_start} s: $quiet"
why=$(heard_two_rounds "$span" "$log") &&
    e2e_pass "sound for two lengths of the file (${span} s)" ||
    e2e_fail "sound for two lengths of the file" "$why"
loud_rms=$(sed -E 's/.*rms=([0-9.]+).*/\1/' <<<"$loud")
awk -v r="$loud_rms" 'BEGIN { exit !(r > 0.1) }' && e2e_pass "the sounding part is loud (rms $loud_rms)" ||
    e2e_fail "the sounding part is loud" "rms $loud_rms"
quiet_len=$(sed -E 's/length=([0-9.]+).*/\1/' <<<"$quiet")
quiet_max=$(sed -E 's/.*max=([0-9.]+).*/\1/' <<<"$quiet")
awk -v l="$quiet_len" -v m="$quiet_max" 'BEGIN { exit !(l > 1.0 && m < 0.01) }' &&
    e2e_pass "silence after the stop (${quiet_len} s, max $quiet_max)" ||
    e2e_fail "silence after the stop" "${quiet_len} s with max $quiet_max"

# ------------------------------------------------------------ a stop in the middle of a play
rec2="$E2E_TMP/sound-midway.wav"
e2e_record_start "$rec2" || { e2e_fail "recording" "parecord did not start"; exit 1; }
pid=$(e2e_start_exe "$prog/sound-check.exe" --stop-midway)
rc=$(e2e_wait_exit "$pid" 60)
sleep 1
e2e_record_stop
log=$(tr -d '\r' <"$prog/sound-check.log" 2>/dev/null)
sed 's/^/    log: /' <<<"$log"
after_stop=$(sed -n '/stopped midway/,$p' <<<"$log" | grep -c 'notification' || true)
echo "figure: notifications after the midway stop: $after_stop ($(sed -n '/stopped midway/,$p' <<<"$log" |
    grep -oE 'notification [A-Z]+' | tr '\n' ' '))"
[[ $rc == 0 ]] && e2e_pass "a stop midway: nothing plays again (exit 0)" ||
    e2e_fail "a stop midway: nothing plays again" "exit $rc"
segments=$(e2e_sound_segments "$rec2" 0.01 0.3)
sed 's/^/    segment: /' <<<"$segments"
echo "figure: midway recording $(e2e_sound_stats "$rec2")"
# The sound lasts until the stop has returned (Wine's wave device plays out what it has
# queued while MCI_STOP waits), and not beyond.
sounding=$(sed -nE 's/^total=([0-9.]+) parts=.*/\1/p' <<<"$segments")
until_stop=$(sed -nE 's/.*stopped midway ([0-9]+) ms into the play; Stop took ([0-9]+) ms.*/\1 \2/p' <<<"$log" |
    awk '{ printf "%.2f", ($1 + $2) / 1000 }')
echo "figure: midway sound ${sounding} s; stop issued and returned ${until_stop:-?} s after the play began"
awk -v s="$sounding" -v u="${until_stop:-0}" 'BEGIN { exit !(s > 0.7 && s < u + 0.3) }' &&
    e2e_pass "a stop midway: silence once the stop returns (${sounding} s of sound)" ||
    e2e_fail "a stop midway: silence once the stop returns" "${sounding} s of sound, stop returned at ${until_stop} s"

# ------------------------------------------------------------ paths MCI's ANSI open can't take
# A file past MAX_PATH, given by its path, and a file whose name has no form in the ANSI code
# page (sound-check has no UTF-8 manifest), found by the folder listing: each must loop.
long_dir="$E2E_TMP/sounds"
for i in 1 2 3 4 5; do long_dir+="/folder-with-a-rather-long-name-to-pass-max-path-$i"; done
mkdir -p "$long_dir" "$E2E_TMP/non-ansi"
cp "$prog/Sounds/Alarms/alarm0.wav" "$long_dir/the-alarm-sound-of-this-long-folder.wav"
cp "$prog/Sounds/Alarms/alarm0.wav" "$E2E_TMP/non-ansi/будильник.wav"
long_path=$(e2e_winpath "$long_dir/the-alarm-sound-of-this-long-folder.wav")
echo "figure: long path ${#long_path} characters"
for way in long non-ansi; do
    rec3="$E2E_TMP/sound-$way.wav"
    e2e_record_start "$rec3" || { e2e_fail "recording" "parecord did not start"; exit 1; }
    if [[ $way == long ]]; then
        pid=$(e2e_start_exe "$prog/sound-check.exe" --file "$long_path")
    else
        pid=$(e2e_start_exe "$prog/sound-check.exe" --scan "$(e2e_winpath "$E2E_TMP/non-ansi")")
    fi
    rc=$(e2e_wait_exit "$pid" 60)
    e2e_record_stop
    log=$(tr -d '\r' <"$prog/sound-check.log" 2>/dev/null)
    sed 's/^/    log: /' <<<"$log"
    sounding=$(e2e_sound_segments "$rec3" 0.01 0.3 | sed -nE 's/^total=([0-9.]+) parts=.*/\1/p')
    echo "figure: $way: ${sounding:-0} s of sound"
    why=$(heard_two_rounds "${sounding:-0}" "$log")
    [[ $rc == 0 ]] && grep -q 'round 2 ended' <<<"$log" && [[ -z $why ]] &&
        e2e_pass "$way path: loops two rounds, heard (${sounding} s)" ||
        e2e_fail "$way path: loops two rounds, heard" "exit $rc; ${why:-$sounding s of sound}"
done

# ------------------------------------------------------------ then with no server at all
export E2E_RUN_DIR=${E2E_RUN_DIR:-$E2E_TMP}   # the child copies the prefix prepared above
child=$(bash "${BASH_SOURCE[0]}" --no-server 2>>"$E2E_TMP/no-server.err")
grep -v '^e2e: ' <<<"$child"
np=$(grep -c '^PASS ' <<<"$child")
nf=$(grep -c '^FAIL ' <<<"$child")
E2E_PASSED=$((E2E_PASSED + np))
E2E_FAILED=$((E2E_FAILED + nf))
[[ $((np + nf)) -gt 0 ]] || e2e_fail "no server" "the run reported nothing: $(tail -n 5 "$E2E_TMP/no-server.err")"
