# shellcheck shell=bash
# Sourced by lib.sh: recording the null sink and measuring what was heard.

# e2e_record_start FILE : record the null sink's monitor into a WAV file.
# Returns once samples are flowing: the monitor delivers nothing for the first
# ~1.7 s after parecord connects, so a recording started right before the
# sound would miss its start.
e2e_record_start() {
    [[ $E2E_SOUND -eq 1 ]] || { e2e_log "no sound server in this test"; return 1; }
    local file=$1
    parecord --device=ravilo_sink.monitor --latency-msec=20 --file-format=wav --rate=44100 --channels=2 \
        --format=s16le "$file" >"$E2E_TMP/parecord.log" 2>&1 &
    E2E_RECORD_PID=$!
    e2e__track "$E2E_RECORD_PID"
    local t0 deadline=$((SECONDS + 10))
    t0=$(date +%s%N)
    until [[ $(stat -c %s "$file" 2>/dev/null || echo 0) -gt 8192 ]]; do
        e2e__alive "$E2E_RECORD_PID" || return 1
        [[ $SECONDS -ge $deadline ]] && return 1
        sleep 0.05
    done
    e2e_log "recording flows after $((($(date +%s%N) - t0) / 1000000)) ms"
}

# e2e_record_stop : stop recording (the WAV header is finalised on SIGINT).
e2e_record_stop() {
    [[ -n ${E2E_RECORD_PID:-} ]] || return 0
    kill -INT "$E2E_RECORD_PID" 2>/dev/null
    e2e__wait_gone "$E2E_RECORD_PID" 3 || kill -KILL "$E2E_RECORD_PID" 2>/dev/null
    E2E_RECORD_PID=""
}

# e2e_sound_stats FILE : prints "length=S rms=A max=A" (amplitudes 0..1).
e2e_sound_stats() {
    sox "$1" -n stat 2>&1 | awk -F: '
        /^Length \(seconds\)/ { l = $2 } /^RMS +amplitude/ { r = $2 } /^Maximum amplitude/ { m = $2 }
        END { gsub(/ /, "", l); gsub(/ /, "", r); gsub(/ /, "", m); printf "length=%s rms=%s max=%s\n", l, r, m }'
}

# e2e_sound_segments FILE [THRESHOLD=0.01] [GAP_S=0.05] : non-silent parts.
# Prints one "start end" line (seconds) per part (parts closer than GAP_S are
# merged), then "total=S parts=N". Resolution 10 ms.
e2e_sound_segments() {
    local file=$1 thr=${2:-0.01} gap=${3:-0.05}
    sox "$file" -t dat -c 1 - 2>/dev/null | awk -v thr="$thr" -v gap="$gap" '
        /^;/ { if ($2 == "Sample" && $3 == "Rate") rate = $4; next }
        {
            w = int($1 * 100)            # 10 ms window index
            a = $2 < 0 ? -$2 : $2
            if (a > thr) loud[w] = 1
            if (w > last) last = w
        }
        END {
            n = 0; start = -1
            for (i = 0; i <= last + 1; i++) {
                if (i in loud) {
                    if (start < 0) start = i
                    else if ((i - prev) / 100.0 > gap + 0.01) { s[n] = start; e[n] = prev + 1; n++; start = i }
                    prev = i
                }
            }
            if (start >= 0) { s[n] = start; e[n] = prev + 1; n++ }
            total = 0
            for (k = 0; k < n; k++) { printf "%.2f %.2f\n", s[k] / 100, e[k] / 100; total += (e[k] - s[k]) / 100 }
            printf "total=%.2f parts=%d\n", total, n
        }'
}

# e2e_shown_share SHOT PICTURE X Y : the share (0-100) of the visible pixels of the bitmap
# PICTURE that the screenshot SHOT shows unchanged with the picture's corner at X Y.
e2e_shown_share() {
  /usr/bin/python3 - "$1" "$2" "$3" "$4" <<'PY'
import sys
from PIL import Image
shot = Image.open(sys.argv[1]).convert("RGB")
pic = Image.open(sys.argv[2]).convert("RGB")
x0, y0 = int(sys.argv[3]), int(sys.argv[4])
key = pic.getpixel((0, pic.height - 1))
seen = same = 0
for y in range(pic.height):
    for x in range(pic.width):
        c = pic.getpixel((x, y))
        if c == key:
            continue
        seen += 1
        sx, sy = x0 + x, y0 + y
        same += 0 <= sx < shot.width and 0 <= sy < shot.height and shot.getpixel((sx, sy)) == c
print(int(100 * same / max(seen, 1)))
PY
}

# e2e_make_tone FILE SECONDS [FREQ=440] [VOLUME=0.5] : write a test WAV.
e2e_make_tone() {
    sox -n -r 44100 -c 2 -b 16 "$1" synth "$2" sine "${3:-440}" vol "${4:-0.5}"
}

