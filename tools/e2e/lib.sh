# shellcheck shell=bash disable=SC2034  # globals are read by the tests
# End-to-end test library for Ravilo under Wine + Xvfb + PulseAudio (null sink).
# Source it from a tests/e2e/test_*.sh script; see tests/e2e/README.md.
#
# Every process this library starts is recorded by pid in "$E2E_TMP/pids" and
# ended by pid in e2e_teardown (registered as an EXIT trap by e2e_setup).
# Nothing is ever killed by name.

E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_REPO_DIR=$(cd "$E2E_LIB_DIR/../.." && pwd)
: "${RAVILO_DIST:=$E2E_REPO_DIR/build/win/dist/Ravilo}"
export RAVILO_DIST

E2E_PASSED=0
E2E_FAILED=0
E2E_TMP=""
E2E_LAST_PID=""
E2E_SOUND=1
E2E_TORN_DOWN=0

e2e_log() { printf '[e2e %s] %s\n' "$(date +%T)" "$*" >&2; }

# ---------------------------------------------------------------- reporting
e2e_pass() {
    E2E_PASSED=$((E2E_PASSED + 1))
    printf 'PASS %s\n' "$1"
}

e2e_fail() {
    E2E_FAILED=$((E2E_FAILED + 1))
    printf 'FAIL %s: %s\n' "$1" "${2:-}"
}

# e2e_check NAME CONDITION-COMMAND... : pass if the command succeeds.
e2e_check() {
    local name=$1
    shift
    if "$@"; then e2e_pass "$name"; else e2e_fail "$name" "command failed: $*"; fi
}

e2e_summary() { printf 'e2e: %d passed, %d failed\n' "$E2E_PASSED" "$E2E_FAILED"; }

# ---------------------------------------------------------------- internals
e2e__track() { echo "$1" >>"$E2E_TMP/pids"; }

e2e__alive() { [[ -n "$1" ]] && kill -0 "$1" 2>/dev/null; }

# e2e__wait_gone PID SECONDS : true once PID is gone
e2e__wait_gone() {
    local pid=$1 deadline=$((SECONDS + $2))
    while e2e__alive "$pid"; do
        [[ $SECONDS -ge $deadline ]] && return 1
        sleep 0.1
    done
}

e2e__stop_pid() {
    local pid=$1
    e2e__alive "$pid" || return 0
    kill -TERM "$pid" 2>/dev/null
    e2e__wait_gone "$pid" 3 || kill -KILL "$pid" 2>/dev/null
    e2e__wait_gone "$pid" 2 || true
}

# Xvfb takes the first free display itself (-displayfd), atomically: two scripts started
# together can't both pick the same number between a look and a start.
e2e__start_xvfb() {
    local got="$E2E_TMP/xvfb.display" n=""
    : >"$got"
    Xvfb -displayfd 9 -screen 0 "${E2E_SCREEN:-1280x800}x24" -nolisten tcp -ac 9>"$got" >"$E2E_TMP/xvfb.log" 2>&1 &
    local pid=$!
    e2e__track "$pid"
    local deadline=$((SECONDS + 15))
    while e2e__alive "$pid" && [[ $SECONDS -lt $deadline ]]; do
        n=$(head -n1 "$got" 2>/dev/null)
        if [[ $n =~ ^[0-9]+$ ]] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
            E2E_XVFB_PID=$pid
            export DISPLAY=":$n"
            return 0
        fi
        sleep 0.1
    done
    e2e_log "Xvfb did not start: $(tail -n 3 "$E2E_TMP/xvfb.log")"
    e2e__stop_pid "$pid"
    return 1
}

e2e__start_pulse() {
    local d="$E2E_TMP/pulse"
    mkdir -p "$d/runtime" "$d/state"
    chmod 700 "$d" "$d/runtime"
    cat >"$d/default.pa" <<EOF
load-module module-null-sink sink_name=ravilo_sink sink_properties=device.description=RaviloNullSink
load-module module-native-protocol-unix auth-anonymous=1 socket=$d/native
set-default-sink ravilo_sink
EOF
    printf 'autospawn = no\nenable-shm = no\n' >"$d/client.conf"
    export PULSE_RUNTIME_PATH="$d/runtime" PULSE_STATE_PATH="$d/state" PULSE_CLIENTCONFIG="$d/client.conf"
    if [[ $E2E_SOUND -eq 0 ]]; then
        # No server at all; clients must not autospawn one either.
        export PULSE_SERVER="unix:$d/no-server-here"
        return 0
    fi
    export PULSE_SERVER="unix:$d/native"
    pulseaudio -n -F "$d/default.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --disallow-exit --disable-shm --log-target=stderr >"$d/pulse.log" 2>&1 &
    E2E_PULSE_PID=$!
    e2e__track "$E2E_PULSE_PID"
    local deadline=$((SECONDS + 10))
    until pactl info >/dev/null 2>&1; do
        if ! e2e__alive "$E2E_PULSE_PID" || [[ $SECONDS -ge $deadline ]]; then
            e2e_log "pulseaudio did not start:"; cat "$d/pulse.log" >&2
            return 1
        fi
        sleep 0.1
    done
}

e2e__wine_env() {
    export WINEDEBUG=-all WINEARCH=win64
    # No Gecko/Mono installer dialogs, no menu/desktop file builder.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# Prepared prefix shared by all tests of one run (E2E_RUN_DIR, set by
# run-all.sh) or private to this test when run on its own.
e2e__prepare_template() {
    local run_dir=$E2E_RUN_DIR
    local tpl="$run_dir/prefix-template"
    mkdir -p "$run_dir"
    (
        flock 9
        [[ -f "$tpl/.e2e-ready" ]] && exit 0
        rm -rf "$tpl"
        local t0=$SECONDS
        # No DISPLAY while booting: nothing can pop up and it is faster.
        WINEPREFIX="$tpl" DISPLAY="" wineboot -i >"$run_dir/wineboot.log" 2>&1 || exit 1
        # A crash ends the program at once, its backtrace on stderr, instead of waiting
        # behind winedbg's dialog until a test times out.
        WINEPREFIX="$tpl" DISPLAY="" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
            /t REG_DWORD /d 0 /f >>"$run_dir/wineboot.log" 2>&1 || exit 1
        WINEPREFIX="$tpl" wineserver -w
        e2e_rm_server_dir "$tpl"
        touch "$tpl/.e2e-ready"
        e2e_log "wineboot prepared $tpl in $((SECONDS - t0)) s"
    ) 9>"$run_dir/prefix-template.lock"
    E2E_PREFIX_TEMPLATE=$tpl
}

# Copy the template: system32 (the ~630 MB bulk, never written by tests) is
# hard-linked, everything else (registry files, users, Program Files) copied.
e2e__copy_prefix() {
    local tpl=$1 dst=$2 f
    mkdir -p "$dst"
    for f in "$tpl"/* "$tpl"/.update-timestamp; do
        [[ -e $f || -L $f ]] || continue
        [[ $(basename "$f") == drive_c ]] && continue
        cp -a "$f" "$dst/"
    done
    mkdir -p "$dst/drive_c/windows"
    for f in "$tpl"/drive_c/*; do
        [[ $(basename "$f") == windows ]] && continue
        cp -a "$f" "$dst/drive_c/"
    done
    for f in "$tpl"/drive_c/windows/*; do
        if [[ $(basename "$f") == system32 ]]; then cp -al "$f" "$dst/drive_c/windows/"
        else cp -a "$f" "$dst/drive_c/windows/"; fi
    done
}

e2e__start_wineserver() {
    local srv
    srv=$(command -v /usr/lib/wine/wineserver64 || command -v wineserver)
    "$srv" -f -p >"$E2E_TMP/wineserver.log" 2>&1 &
    E2E_WINESERVER_PID=$!
    e2e__track "$E2E_WINESERVER_PID"
    # The server chdirs into its socket folder; Debian's wine places that in a
    # random /tmp/wine-XXXXXX/server-DEV-INODE, so take it from /proc.
    local deadline=$((SECONDS + 10))
    until [[ -S /proc/$E2E_WINESERVER_PID/cwd/socket ]]; do
        e2e__alive "$E2E_WINESERVER_PID" || { e2e_log "wineserver died"; return 1; }
        [[ $SECONDS -ge $deadline ]] && { e2e_log "wineserver socket missing"; return 1; }
        sleep 0.05
    done
    E2E_SERVER_DIR=$(readlink "/proc/$E2E_WINESERVER_PID/cwd")
}

# e2e_rm_server_dir PREFIX : remove the (empty) socket folder a finished
# wineserver leaves behind for PREFIX: /tmp/wine-XXXXXX/server-DEV-INODE.
e2e_rm_server_dir() {
    local d name
    [[ -d $1 ]] || return 0
    name=$(printf 'server-%x-%x' "$(stat -c %d "$1")" "$(stat -c %i "$1")")
    for d in /tmp/wine-*/"$name" "/tmp/.wine-$(id -u)/$name"; do
        [[ -d $d ]] && rm -f "$d/lock" && rmdir "$d" 2>/dev/null
    done
    return 0
}

# ---------------------------------------------------------------- setup
# e2e_setup [--no-sound]
e2e_setup() {
    [[ ${1:-} == --no-sound ]] && E2E_SOUND=0
    E2E_TMP=$(mktemp -d /tmp/ravilo-e2e.XXXXXX)
    : >"$E2E_TMP/pids"
    # Tests started from this one (and run-all.sh's siblings) share the prefix template.
    export E2E_RUN_DIR=${E2E_RUN_DIR:-$E2E_TMP/run}
    trap e2e_teardown EXIT
    trap 'exit 130' INT TERM
    export HOME="$E2E_TMP/home" XDG_RUNTIME_DIR="$E2E_TMP/xdg"
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    e2e__wine_env
    local t0=$SECONDS
    e2e__start_xvfb || { e2e_fail setup "Xvfb"; exit 1; }
    e2e__start_pulse || { e2e_fail setup "pulseaudio"; exit 1; }
    e2e__prepare_template || { e2e_fail setup "wineboot"; exit 1; }
    export WINEPREFIX="$E2E_TMP/prefix"
    e2e__copy_prefix "$E2E_PREFIX_TEMPLATE" "$WINEPREFIX"
    e2e__start_wineserver || { e2e_fail setup "wineserver"; exit 1; }
    e2e_log "setup done in $((SECONDS - t0)) s: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX sound=$E2E_SOUND"
}

# ---------------------------------------------------------------- teardown
e2e_teardown() {
    local rc=$?
    [[ $E2E_TORN_DOWN -eq 1 ]] && return
    E2E_TORN_DOWN=1
    trap - EXIT INT TERM
    if [[ -n $E2E_TMP && -d $E2E_TMP ]]; then
        e2e_record_stop >/dev/null 2>&1
        # Windows processes first (through our own wineserver), then the rest.
        if [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]]; then
            timeout 10 wineserver -k >/dev/null 2>&1
        fi
        local pid pids
        pids=$(tac "$E2E_TMP/pids" 2>/dev/null)
        for pid in $pids; do e2e__stop_pid "$pid"; done
        # Anything left that runs on our private prefix is ours.
        for pid in $(e2e__prefix_pids); do e2e__stop_pid "$pid"; done
        # The ended server leaves its folder with an empty lock file behind.
        if [[ -n ${E2E_SERVER_DIR:-} && -d $E2E_SERVER_DIR ]] && ! e2e__alive "$E2E_WINESERVER_PID"; then
            rm -f "$E2E_SERVER_DIR/lock"
            rmdir "$E2E_SERVER_DIR" 2>/dev/null
        fi
        if [[ ${E2E_KEEP:-0} == 1 ]]; then e2e_log "kept $E2E_TMP"; else rm -rf "$E2E_TMP"; fi
    fi
    e2e_summary
    [[ $E2E_FAILED -gt 0 ]] && exit 1
    exit "$rc"
}

# Linux pids of all processes whose environment has our WINEPREFIX.
e2e__prefix_pids() {
    local p
    [[ -n ${WINEPREFIX:-} ]] || return 0
    for p in /proc/[0-9]*; do
        [[ ${p#/proc/} == "$$" ]] && continue
        if { tr '\0' '\n' <"$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
            echo "${p#/proc/}"
        fi
    done
}

# ---------------------------------------------------------------- programs
# e2e_stage DIR : copy a program folder (Ravilo.exe + Images/ Movies/ Sounds/)
# into a private folder; prints its path.
e2e_stage() {
    local src=$1 dst
    [[ -d $src ]] || { e2e_log "e2e_stage: no folder $src"; return 1; }
    dst=$(mktemp -d "$E2E_TMP/prog.XXXX")
    cp -a "$src"/. "$dst"/
    echo "$dst"
}

# e2e_winpath UNIXPATH : the Windows path of a file (drive Z: maps to /).
e2e_winpath() {
    local p
    p=$(readlink -m "$1")
    printf 'Z:%s\n' "${p//\//\\}"
}

# e2e_start_exe EXE [args...] : start EXE under wine in the background (cwd =
# its folder). Sets E2E_LAST_PID and prints the handle pid (a small wrapper
# that records the exit code). Works inside $(...) as well.
e2e_start_exe() {
    local exe=$1
    shift
    local n="$E2E_TMP/exe.$RANDOM$RANDOM"
    (
        cd "$(dirname "$exe")" || exit 127
        wine "$exe" "$@" >"$n.out" 2>&1 &
        echo $! >"$n.winepid"
        wait $!
        echo $? >"$n.rc.tmp" && mv "$n.rc.tmp" "$n.rc"
    ) </dev/null >/dev/null 2>&1 &
    local pid=$!
    echo "$pid" >>"$E2E_TMP/pids"
    ln -s "$n" "$E2E_TMP/handle.$pid"
    E2E_LAST_PID=$pid
    echo "$pid"
}

e2e__handle() { readlink "$E2E_TMP/handle.$1"; }

# e2e_wait_until SECONDS CMD... : polls CMD every 0.2 s until it succeeds; false when the
# time is up.
e2e_wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [[ $SECONDS -ge $deadline ]] && return 1
        sleep 0.2
    done
}

# e2e_wait_exit PID TIMEOUT_S : prints the program's exit code; prints
# "timeout" and returns 1 if it is still running after TIMEOUT_S seconds.
e2e_wait_exit() {
    local h deadline=$(($(date +%s%N) / 1000000 + ${2:-10} * 1000))
    h=$(e2e__handle "$1") || { echo "unknown"; return 1; }
    until [[ -f $h.rc ]]; do
        if [[ $(($(date +%s%N) / 1000000)) -ge $deadline ]]; then echo timeout; return 1; fi
        sleep 0.05
    done
    cat "$h.rc"
}

# e2e_running PID : true while the program started by e2e_start_exe runs.
e2e_running() {
    local h
    h=$(e2e__handle "$1") || return 1
    [[ ! -f $h.rc ]]
}

# e2e_exe_pid PID : Linux pid of the Windows process itself (the wine loader
# process execs into the program, so it is the pid the wrapper started).
e2e_exe_pid() {
    local h deadline=$((SECONDS + 5))
    h=$(e2e__handle "$1") || return 1
    until [[ -s $h.winepid ]]; do
        [[ $SECONDS -ge $deadline ]] && return 1
        sleep 0.05
    done
    cat "$h.winepid"
}

# e2e_exe_output PID : what wine printed on stdout/stderr for that program.
e2e_exe_output() { cat "$(e2e__handle "$1").out" 2>/dev/null; }

# e2e_cpu_seconds PID : user+system CPU seconds used by the Windows process.
e2e_cpu_seconds() {
    local lp stat f
    lp=$(e2e_exe_pid "$1") || return 1
    stat=$(cat "/proc/$lp/stat" 2>/dev/null) || return 1
    stat=${stat##*) }   # fields after "(comm) "
    read -r -a f <<<"$stat"
    # utime and stime are fields 14 and 15 of stat = 12 and 13 after comm
    awk -v u="${f[11]}" -v s="${f[12]}" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f\n", (u + s) / hz }'
}

# e2e_rss_kb PID : resident set size of the Windows process in kB.
e2e_rss_kb() {
    local lp
    lp=$(e2e_exe_pid "$1") || return 1
    awk '/^VmRSS:/ { print $2 }' "/proc/$lp/status"
}

# ---------------------------------------------------------------- windows
# e2e_find_window TITLE [TIMEOUT_S] : prints the X window id of the first
# mapped window whose title is exactly TITLE.
e2e_find_window() {
    local title=$1 deadline=$((SECONDS + ${2:-10})) ids
    while :; do
        ids=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1)
        [[ -n $ids ]] && { echo "$ids"; return 0; }
        [[ $SECONDS -ge $deadline ]] && return 1
        sleep 0.1
    done
}

# e2e_find_window_by_pid PID [TIMEOUT_S] : window ids (one a line) of the
# program started by e2e_start_exe (wine sets _NET_WM_PID to the Linux pid).
e2e_find_window_by_pid() {
    local lp deadline=$((SECONDS + ${2:-10})) ids
    lp=$(e2e_exe_pid "$1") || return 1
    while :; do
        ids=$(xdotool search --onlyvisible --pid "$lp" 2>/dev/null)
        [[ -n $ids ]] && { echo "$ids"; return 0; }
        [[ $SECONDS -ge $deadline ]] && return 1
        sleep 0.1
    done
}

# e2e_window_geometry WID : prints "X Y W H" (root coordinates).
e2e_window_geometry() {
    local X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    [[ -n ${WIDTH:-} ]] || return 1
    echo "$X $Y $WIDTH $HEIGHT"
}

# e2e_screenshot FILE : whole screen as PNG.
e2e_screenshot() { import -window root "$1"; }

# e2e_pixel_count_of_colour FILE R G B [X Y W H] : number of pixels of exactly
# that colour, in the whole image or the given rectangle.
e2e_pixel_count_of_colour() {
    local file=$1 r=$2 g=$3 b=$4 crop=()
    [[ $# -ge 8 ]] && crop=(-crop "${7}x${8}+${5}+${6}" +repage)
    convert "$file" "${crop[@]}" -alpha off -depth 8 \
        \( +clone -fill "rgb($r,$g,$b)" -colorize 100 \) -compose difference -composite \
        -separate -evaluate-sequence max -threshold 0 -precision 16 \
        -format '%[fx:round(w*h*(1-mean))]\n' info:
}

# e2e_pixel FILE X Y : prints "R G B" of one pixel.
e2e_pixel() {
    convert "$1" -alpha off -depth 8 -format "%[fx:int(255*p{$2,$3}.r+.5)] %[fx:int(255*p{$2,$3}.g+.5)] %[fx:int(255*p{$2,$3}.b+.5)]\n" info:
}

# e2e_mousemove X Y : move the pointer and wait until it is there.
# (xdotool's own --sync waits ~15 s when the pointer is already there.)
e2e_mousemove() {
    local i loc
    xdotool mousemove "$1" "$2"
    for ((i = 0; i < 50; i++)); do
        loc=$(xdotool getmouselocation 2>/dev/null)
        [[ $loc == "x:$1 y:$2 "* ]] && return 0
        sleep 0.02
    done
    return 1
}

# e2e_click X Y [BUTTON] : move the pointer and click (1 left, 3 right).
e2e_click() {
    e2e_mousemove "$1" "$2"
    xdotool click "${3:-1}"
}

# e2e_drag X1 Y1 X2 Y2 [BUTTON] : press at (X1,Y1), move in steps, release at (X2,Y2).
e2e_drag() {
    local x1=$1 y1=$2 x2=$3 y2=$4 b=${5:-1} i steps=10
    e2e_mousemove "$x1" "$y1"
    xdotool mousedown "$b"
    sleep 0.1
    for ((i = 1; i <= steps; i++)); do
        e2e_mousemove $((x1 + (x2 - x1) * i / steps)) $((y1 + (y2 - y1) * i / steps))
        sleep 0.02
    done
    sleep 0.1
    xdotool mouseup "$b"
}

# e2e__helper : path of tools/e2e/helper/e2ehelp.exe, built once per run.
e2e__helper() {
    local out="$E2E_RUN_DIR/e2ehelp.exe" src="$E2E_REPO_DIR/tools/e2e/helper/e2ehelp.cpp"
    (
        flock 9
        [[ -f $out && $out -nt $src ]] && exit 0
        x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -static -o "$out" "$src" >&2
    ) 9>"$out.lock" || return 1
    echo "$out"
}

# e2e_windows_pid PID|TITLE : the Windows process id (as taskkill and
# GetCurrentProcessId know it) of a program started by e2e_start_exe, or of
# the owner of the visible window titled TITLE. Matched through the program's
# visible window (title and rectangle), so same-named programs are told apart.
e2e_windows_pid() {
    local target=$1 wid helper
    if [[ $target =~ ^[0-9]+$ ]] && e2e__handle "$target" >/dev/null 2>&1; then
        wid=$(e2e_find_window_by_pid "$target" 5 | head -n1)
    else
        wid=$(e2e_find_window "$target" 5)
    fi
    [[ -n $wid ]] || { e2e_log "e2e_windows_pid: no visible window for '$target'"; return 1; }
    helper=$(e2e__helper) || return 1
    local title geom winpid deadline=$((SECONDS + 5))
    # Wine 8 passes a new window title on to X a moment after the change (the pet's title
    # names what rings), so an X title read just then may not be the window's yet: asked again.
    while :; do
        title=$(xdotool getwindowname "$wid") geom=$(e2e_window_geometry "$wid")
        # shellcheck disable=SC2086
        winpid=$(wine "$helper" winpid "$title" $geom 2>/dev/null | tr -d '\r' | head -n1 | grep -E '^[0-9]+$') &&
            { echo "$winpid"; return 0; }
        [[ $SECONDS -ge $deadline ]] && return 1
        sleep 0.2
    done
}

# e2e_listbox_items TITLE : the items of the list box in the visible window TITLE, in
# UTF-8: first their count, then one a line.
e2e_listbox_items() {
    local helper
    helper=$(e2e__helper) || return 1
    wine "$helper" listbox "$1" 2>/dev/null | tr -d '\r'
}

# e2e_close_request PID|TITLE : ask a program to close the way `taskkill`
# without /F does -- it runs Wine's taskkill /PID, which posts WM_CLOSE to
# every top-level window of that process. PID is one returned by
# e2e_start_exe; TITLE is an exact window title. Needs a visible window.
e2e_close_request() {
    local winpid
    winpid=$(e2e_windows_pid "$1") || return 1
    wine taskkill /PID "$winpid" >"$E2E_TMP/taskkill.out" 2>&1
}

# e2e_close_image NAME.exe : `taskkill /IM NAME.exe` (WM_CLOSE to every
# process of that image name in our prefix).
e2e_close_image() {
    wine taskkill /IM "$1" >"$E2E_TMP/taskkill.out" 2>&1
}

# e2e_window_of_size TITLE W H : waits (15 s) for a visible window titled TITLE whose size
# is W H; prints its geometry "x y w h" (the last one seen when it never came to that size).
e2e_window_of_size() {
    local w g deadline=$((SECONDS + 15))
    w=$(e2e_find_window "$1" 15) || return 1
    until g=$(e2e_window_geometry "$w" 2>/dev/null) && [[ ${g#* * } == "$2 $3" ]]; do
        [[ $SECONDS -ge $deadline ]] && { echo "$g"; return 1; }
        sleep 0.2
    done
    echo "$g"
}

# e2e_wake_timer_within PID MOMENT [SLACK] : whether the program (started with
# WINEDEBUG=+debugstr) last set its wake timer for MOMENT (epoch seconds) or up to SLACK
# (default 2) seconds after it: a stored moment instead of a real wait.
e2e_wake_timer_within() {
    local set d
    set=$(e2e_exe_output "$1" | tr -d '\r' | grep -o 'wake timer set for [0-9: -]*' | tail -n1)
    for ((d = 0; d <= ${3:-2}; d++)); do
        [[ $set == "wake timer set for $(date -d "@$(( $2 + d ))" '+%F %T')" ]] && return 0
    done
    return 1
}

# e2e_wake_timer_log PID : the program's last two wake-timer lines, on one line.
e2e_wake_timer_log() {
    e2e_exe_output "$1" | tr -d '\r' | grep -F 'wake timer' | tail -n2 | tr '\n' ' '
}

# ---------------------------------------------------------------- registry
# e2e_reg_query KEY [VALUE] : `reg query` output (CR stripped) in our prefix.
e2e_reg_query() {
    if [[ $# -ge 2 ]]; then wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r'
    else wine reg query "$1" 2>/dev/null | tr -d '\r'; fi
}

# e2e_reg_value KEY VALUE : prints "TYPE DATA" of one value (DATA as reg shows it).
e2e_reg_value() {
    e2e_reg_query "$1" "$2" | awk -v v="$2" '
        $1 == v && $2 ~ /^REG_/ { t = $2; sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]*/, ""); print t " " $0; exit }'
}

# The sound and the pet: files of their own.
# shellcheck source=lib-sound.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib-sound.sh"
# shellcheck source=lib-pet.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib-pet.sh"
