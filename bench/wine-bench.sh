#!/usr/bin/env bash
# wine-bench.sh — what Ravilo costs under Wine, beside an empty layered window (the e2e probe,
# 319 x 170, colour-keyed, doing nothing) measured in the same run on the same display.
# Prints one table; never fails on a figure. Not run by CI or test.sh: run it by hand.
#
#   bench/wine-bench.sh [LIFE_SECONDS]        (default 60)
#   RAVILO_DIST=/path/to/Ravilo bench/wine-bench.sh    (measure a staged program folder as is)
#
# 1. Builds Ravilo.exe (cmake --preset windows) unless RAVILO_DIST is given, and the probe.
# 2. Three rounds, alternating probe then Ravilo: from launch to the window on screen, and
#    resident memory 3 s after it appeared.
#    Once more, the probe opening the sound device as Ravilo does at start: the memory that
#    Wine's audio stack takes in any program, shown as a row of its own.
# 3. Both run together for LIFE_SECONDS with the pointer circling round the pet's eyes;
#    the CPU each used in that time, as a share of one core. A third program runs with
#    them: the probe doing the pet's kind of work (probe --pet-load), the floor that Wine
#    sets for a 20 Hz pointer poll and ten new silhouettes a second.
# 4. Once more with the pet at 200 % ("PetSize"), beside the empty window and the probe doing
#    the pet's work at 200 % (probe --pet-load --scale 200): CPU and memory, and how much
#    more CPU 200 % takes than 100 %, Ravilo's beside the probe's.
# 5. Once more with 100 alarms stored: start, memory and CPU beside one alarm's.
# Figures on a loaded machine drift; compare the two columns, not runs.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
life=${1:-60}

if [[ -z ${RAVILO_DIST:-} ]]; then
    (cd "$root" && cmake --preset windows >/dev/null && cmake --build --preset windows -j2 >/dev/null) ||
        { echo "the Windows build failed" >&2; exit 1; }
    RAVILO_DIST=$root/build/win/dist/Ravilo
fi
export RAVILO_DIST
probe_dir=$root/build/e2e-probe
"$root/tools/e2e/probe/build.sh" "$probe_dir" >/dev/null || { echo "cannot build the probe" >&2; exit 1; }

# shellcheck source=../tools/e2e/lib.sh
source "$root/tools/e2e/lib.sh"
e2e_setup --no-sound
prog=$(e2e_stage "$RAVILO_DIST")
probe=$probe_dir/probe.exe

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# start EXE TITLE ARGS... : prints "PID MS" (launch to the window on screen)
start() {
    local exe=$1 title=$2 t0 pid
    shift 2
    t0=$(now_ms)
    pid=$(e2e_start_exe "$exe" "$@")
    e2e_find_window "$title" 60 >/dev/null || { echo "$pid -1"; return; }
    echo "$pid $(($(now_ms) - t0))"
}
stop() {
    e2e_close_request "$1" >/dev/null 2>&1
    e2e_wait_exit "$1" 20 >/dev/null || true
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -a p_start r_start p_rss r_rss
for round in 1 2 3; do
    read -r pid ms < <(start "$probe" RaviloProbe --pos 700 400)
    sleep 3
    p_start+=("$ms"); p_rss+=("$(e2e_rss_kb "$pid")")
    stop "$pid"
    read -r pid ms < <(start "$prog/Ravilo.exe" Ravilo)
    sleep 3
    r_start+=("$ms"); r_rss+=("$(e2e_rss_kb "$pid")")
    stop "$pid"
    echo "round $round: probe ${p_start[-1]} ms ${p_rss[-1]} kB; Ravilo ${r_start[-1]} ms ${r_rss[-1]} kB" >&2
done
# The sound device costs every program that opens it the same: Wine's MCI, mmdevapi, its
# audio driver and their Linux libraries. Ravilo opens it at start (its codec warm-up), so
# an empty window that opens it too shows what is Ravilo's own.
read -r pid _ < <(start "$probe" RaviloProbe --pos 700 400 --sound "$(e2e_winpath "$prog/Sounds/load_codec.wav")")
sleep 3
ps_rss=$(e2e_rss_kb "$pid")
stop "$pid"

# Life: all at once, so that all see the same load. Beside the empty window, a second probe
# does the pet's kind of work with nothing of Ravilo's: the pointer polled every 50 ms with
# its pupils redrawn, and a new silhouette every 100 ms. What Wine spends on that much is
# the floor under any program that does it.
read -r ppid _ < <(start "$probe" RaviloProbe --pos 700 400)
read -r rpid _ < <(start "$prog/Ravilo.exe" Ravilo)
wid=$(e2e_find_window Ravilo 5)
read -r wx wy _ _ < <(e2e_window_geometry "$wid")
lx=$((wx > 640 ? wx - 420 : wx + 420))
read -r lpid _ < <(start "$probe" RaviloProbeLoad --pos "$lx" "$wy" --pet-load --title RaviloProbeLoad \
    --mutex 'Local\RaviloProbeLoadMutex')
# circle WX WY SCALE : the pointer round the pet's eyes for the life, a circle of radius 80
# (at the pet's scale, percent), about one turn in 3 s.
circle() {
    local end=$((SECONDS + life)) a=0 x y
    while [[ $SECONDS -lt $end ]]; do
        x=$(awk -v a="$a" -v c="$1" -v s="$3" 'BEGIN { printf "%d", c + (218 + 80 * cos(a)) * s / 100 }')
        y=$(awk -v a="$a" -v c="$2" -v s="$3" 'BEGIN { printf "%d", c + (60 + 80 * sin(a)) * s / 100 }')
        xdotool mousemove "$x" "$y" 2>/dev/null
        a=$(awk -v a="$a" 'BEGIN { print a + 0.1 }')
        sleep 0.05
    done
}
sleep 5  # the greeting movie
p0=$(e2e_cpu_seconds "$ppid"); r0=$(e2e_cpu_seconds "$rpid"); l0=$(e2e_cpu_seconds "$lpid"); t0=$(now_ms)
circle "$wx" "$wy" 100
p1=$(e2e_cpu_seconds "$ppid"); r1=$(e2e_cpu_seconds "$rpid"); l1=$(e2e_cpu_seconds "$lpid"); t1=$(now_ms)
p_life_rss=$(e2e_rss_kb "$ppid"); r_life_rss=$(e2e_rss_kb "$rpid")
stop "$rpid"; stop "$ppid"; stop "$lpid"

# The same life with the pet at 200 % ("PetSize" as the Options window stores it), beside
# the empty window again: its frames come from the 2x set, its window is four times the area.
KEY='HKCU\Software\MirenWorks\Ravilo'
wine reg add "$KEY" /v PetSize /t REG_DWORD /d 200 /f >/dev/null 2>&1
read -r ppid _ < <(start "$probe" RaviloProbe --pos 700 400)
read -r rpid _ < <(start "$prog/Ravilo.exe" Ravilo)
wid=$(e2e_find_window Ravilo 5)
read -r wx wy _ _ < <(e2e_window_geometry "$wid")
# The floor at this size: the probe's pet work in a window of four times the area.
lx=$((wx > 640 ? wx - 660 : wx + 660))
read -r lpid _ < <(start "$probe" RaviloProbeLoad --pos "$lx" "$wy" --pet-load --scale 200 --title RaviloProbeLoad \
    --mutex 'Local\RaviloProbeLoadMutex')
sleep 5
p20=$(e2e_cpu_seconds "$ppid"); r20=$(e2e_cpu_seconds "$rpid"); l20=$(e2e_cpu_seconds "$lpid"); t20=$(now_ms)
circle "$wx" "$wy" 200
p21=$(e2e_cpu_seconds "$ppid"); r21=$(e2e_cpu_seconds "$rpid"); l21=$(e2e_cpu_seconds "$lpid"); t21=$(now_ms)
p2_life_rss=$(e2e_rss_kb "$ppid"); r2_life_rss=$(e2e_rss_kb "$rpid")
stop "$rpid"; stop "$ppid"; stop "$lpid"
wine reg delete "$KEY" /v PetSize /f >/dev/null 2>&1

# The same start and life with 100 alarms stored (the first and 99 in Alarms\<id>), each on
# and named, at different times and days.
reg=$E2E_TMP/alarms100.reg
{
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\MirenWorks\\Ravilo]\r\n"AlarmIsOn"=dword:00000001\r\n\r\n'
    for id in $(seq 1 99); do
        printf '[HKEY_CURRENT_USER\\Software\\MirenWorks\\Ravilo\\Alarms\\%d]\r\n' "$id"
        printf '"AlarmIsOn"=dword:00000001\r\n"AlarmHour"=dword:%08x\r\n"AlarmMin"=dword:%08x\r\n' $((id % 24)) $((id % 60))
        printf '"AlarmDays"=dword:%08x\r\n"AlarmLabel"="Alarm number %d"\r\n\r\n' $((1 + id % 127)) "$id"
    done
} >"$reg"
wine reg import "$(e2e_winpath "$reg")" >/dev/null 2>&1 || echo "the 100 alarms could not be stored" >&2
declare -a a_start a_rss
for round in 1 2 3; do
    read -r pid ms < <(start "$prog/Ravilo.exe" Ravilo)
    sleep 3
    a_start+=("$ms"); a_rss+=("$(e2e_rss_kb "$pid")")
    stop "$pid"
    echo "round $round, 100 alarms: Ravilo ${a_start[-1]} ms ${a_rss[-1]} kB" >&2
done
read -r ppid _ < <(start "$probe" RaviloProbe --pos 700 400)
read -r rpid _ < <(start "$prog/Ravilo.exe" Ravilo)
wid=$(e2e_find_window Ravilo 5)
read -r wx wy _ _ < <(e2e_window_geometry "$wid")
sleep 5
pa0=$(e2e_cpu_seconds "$ppid"); ra0=$(e2e_cpu_seconds "$rpid"); ta0=$(now_ms)
circle "$wx" "$wy" 100
pa1=$(e2e_cpu_seconds "$ppid"); ra1=$(e2e_cpu_seconds "$rpid"); ta1=$(now_ms)
pa_life_rss=$(e2e_rss_kb "$ppid"); ra_life_rss=$(e2e_rss_kb "$rpid")
stop "$rpid"; stop "$ppid"
wine reg delete "$KEY\\Alarms" /f >/dev/null 2>&1

share() { awk -v a="$1" -v b="$2" -v ms="$3" 'BEGIN { printf "%.2f", (b - a) * 100000 / ms }'; }
pc=$(share "$p0" "$p1" $((t1 - t0))); rc=$(share "$r0" "$r1" $((t1 - t0))); lc=$(share "$l0" "$l1" $((t1 - t0)))
ps=$(printf '%s\n' "${p_start[@]}" | median); rs=$(printf '%s\n' "${r_start[@]}" | median)
pm=$(printf '%s\n' "${p_rss[@]}" | median); rm=$(printf '%s\n' "${r_rss[@]}" | median)
size=$(stat -c %s "$prog/Ravilo.exe")

row() { printf '| %-50s | %12s | %12s | %12s | %10s |\n' "$@"; }
echo
row "what (medians of 3 rounds; life ${life} s)" "empty window" "Ravilo" "above it" "target"
row "--------------------------------------------------" "------------" "------------" "------------" "----------"
row "CPU, % of one core, ${life} s of life" "$pc" "$rc" "$(awk -v a="$rc" -v b="$pc" 'BEGIN { printf "%.2f", a - b }')" "<= 0.5"
row "  the same, beside the probe doing the pet's work" "$lc" "$rc" "$(awk -v a="$rc" -v b="$lc" 'BEGIN { printf "%.2f", a - b }')" ""
row "resident memory after start, MB" "$(awk -v k="$pm" 'BEGIN { printf "%.1f", k / 1024 }')" \
    "$(awk -v k="$rm" 'BEGIN { printf "%.1f", k / 1024 }')" "$(awk -v a="$rm" -v b="$pm" 'BEGIN { printf "%.1f", (a - b) / 1024 }')" "<= 10"
row "resident memory after ${life} s of life, MB" "$(awk -v k="$p_life_rss" 'BEGIN { printf "%.1f", k / 1024 }')" \
    "$(awk -v k="$r_life_rss" 'BEGIN { printf "%.1f", k / 1024 }')" "$(awk -v a="$r_life_rss" -v b="$p_life_rss" 'BEGIN { printf "%.1f", (a - b) / 1024 }')" "<= 10"
row "  the same, beside a window with sound open" "$(awk -v k="$ps_rss" 'BEGIN { printf "%.1f", k / 1024 }')" \
    "$(awk -v k="$rm" 'BEGIN { printf "%.1f", k / 1024 }')" "$(awk -v a="$rm" -v b="$ps_rss" 'BEGIN { printf "%.1f", (a - b) / 1024 }')" ""
pc2=$(share "$p20" "$p21" $((t21 - t20))); rc2=$(share "$r20" "$r21" $((t21 - t20)))
lc2=$(share "$l20" "$l21" $((t21 - t20)))
row "CPU at pet size 200 %, % of one core" "$pc2" "$rc2" "$(awk -v a="$rc2" -v b="$pc2" 'BEGIN { printf "%.2f", a - b }')" ""
row "  the same, beside the probe's pet work at 200 %" "$lc2" "$rc2" "$(awk -v a="$rc2" -v b="$lc2" 'BEGIN { printf "%.2f", a - b }')" ""
row "  200 % over 100 %: Ravilo; the probe's pet work" "" \
    "$(awk -v a="$rc2" -v b="$rc" 'BEGIN { printf "%.2fx", (b > 0 ? a / b : 0) }')" \
    "$(awk -v a="$lc2" -v b="$lc" 'BEGIN { printf "%.2fx", (b > 0 ? a / b : 0) }')" "<= 1.3x"
row "resident memory after ${life} s at 200 %, MB" "$(awk -v k="$p2_life_rss" 'BEGIN { printf "%.1f", k / 1024 }')" \
    "$(awk -v k="$r2_life_rss" 'BEGIN { printf "%.1f", k / 1024 }')" "$(awk -v a="$r2_life_rss" -v b="$p2_life_rss" 'BEGIN { printf "%.1f", (a - b) / 1024 }')" ""
row "launch to window on screen, ms" "$ps" "$rs" "$((rs - ps))" "<= 300"
as=$(printf '%s\n' "${a_start[@]}" | median); am=$(printf '%s\n' "${a_rss[@]}" | median)
pca=$(share "$pa0" "$pa1" $((ta1 - ta0))); rca=$(share "$ra0" "$ra1" $((ta1 - ta0)))
row "with 100 alarms: launch to window, ms" "$ps" "$as" "$((as - rs)) more" "<= 20 more"
row "  resident memory after start, MB" "" "$(awk -v k="$am" 'BEGIN { printf "%.1f", k / 1024 }')" \
    "$(awk -v a="$am" -v b="$rm" 'BEGIN { printf "%+.1f", (a - b) / 1024 }') vs 1" "<= 1 more"
row "  resident memory after ${life} s of life, MB" "$(awk -v k="$pa_life_rss" 'BEGIN { printf "%.1f", k / 1024 }')" \
    "$(awk -v k="$ra_life_rss" 'BEGIN { printf "%.1f", k / 1024 }')" \
    "$(awk -v a="$ra_life_rss" -v b="$r_life_rss" 'BEGIN { printf "%+.1f", (a - b) / 1024 }') vs 1" "<= 1 more"
row "  CPU, % of one core" "$pca" "$rca" "$(awk -v a="$rca" -v b="$pca" 'BEGIN { printf "%.2f", a - b }')" ""
row "Ravilo.exe, MB" "" "$(awk -v s="$size" 'BEGIN { printf "%.2f", s / 1048576 }')" "" "<= 2"
