#!/usr/bin/env bash
# A playlist whose only entry's open hangs (a network share that never answers) still rings
# the program's own alarm0.wav within 20 s of the alarm time. The hang is made by a small
# LD_PRELOAD library, built here, whose stat and open calls on that one file name block for
# 60 s: under Wine 8 the file is first looked up (stat) in the program's own process, on
# the thread that sends the MCI open. (A FIFO does not do: Wine seeks in it first, which
# fails at once.) About 1 min.
# e2e: alone (it records sound, or measures CPU or time)
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e/lib.sh"
e2e_setup
KEY='HKCU\Software\MirenWorks\Ravilo'
PROG=$(e2e_stage "$RAVILO_DIST")

SHIM="$E2E_TMP/hang.so"
cat >"$E2E_TMP/hang.c" <<'C'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
static void hang(const char *path) { if (path && strstr(path, "ravilo-hang-entry")) sleep(60); }
#define NEXT(name) static __typeof__(name) *next; if (!next) next = dlsym(RTLD_NEXT, #name)
int open(const char *p, int f, ...) { va_list a; va_start(a, f); mode_t m = va_arg(a, mode_t); va_end(a);
  hang(p); NEXT(open); return next(p, f, m); }
int open64(const char *p, int f, ...) { va_list a; va_start(a, f); mode_t m = va_arg(a, mode_t); va_end(a);
  hang(p); NEXT(open64); return next(p, f, m); }
int openat(int d, const char *p, int f, ...) { va_list a; va_start(a, f); mode_t m = va_arg(a, mode_t); va_end(a);
  hang(p); NEXT(openat); return next(d, p, f, m); }
int stat(const char *p, struct stat *s) { hang(p); NEXT(stat); return next(p, s); }
int lstat(const char *p, struct stat *s) { hang(p); NEXT(lstat); return next(p, s); }
int fstatat(int d, const char *p, struct stat *s, int f) { hang(p); NEXT(fstatat); return next(d, p, s, f); }
C
gcc -shared -fPIC -O1 -o "$SHIM" "$E2E_TMP/hang.c" -ldl || { e2e_fail "the hanging-open library builds" "gcc"; exit 1; }

ENTRY="$WINEPREFIX/drive_c/ravilo-hang-entry.wav"
e2e_make_tone "$ENTRY" 2 880 0.5
target=$(e2e_set_alarm_soon "$KEY" 20)
wine reg add "$KEY" /v UsePlayist /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$KEY" /v hidden /t REG_DWORD /d 1 /f >/dev/null 2>&1  # rings at the first tick
printf '1\r\nC:\\ravilo-hang-entry.wav\r\n' >"$PROG/Playlist.txt"

pid=$(LD_PRELOAD="$SHIM" WINEDEBUG=-all,+debugstr e2e_start_exe "$PROG/Ravilo.exe")
sounding() { pactl list short sink-inputs 2>/dev/null | grep -q .; }
log() { e2e_exe_output "$pid" | tr -d '\r' | grep -F 'Ravilo: sound:'; }
# The codec warm-up at the start sounds too: the ring's sound is looked for from the alarm time.
at_target() { (( $(date +%s) >= target )); }
e2e_wait_until $(( target - $(date +%s) + 5 )) at_target
e2e_wait_until 40 sounding
heard=$(( $(date +%s) - target ))
given_up() { log | grep -q 'MCI command 0x803 .*gave no answer'; }
# The entry's open hangs in the program (not refused at once): the premise of what follows.
e2e_wait_until 5 given_up && e2e_pass "the entry's open hangs and is given up" ||
  e2e_fail "the entry's open hangs and is given up" "no open given up in the log (the library not honoured?)"
(( heard <= 20 )) && sounding && e2e_pass "alarm0.wav rings ${heard} s after the alarm time" ||
  e2e_fail "alarm0.wav rings within 20 s of the alarm time" "$(sounding && echo "after ${heard} s" || echo "no sound")"
log | sed 's/^/  debug: /'
e2e_close_request "$pid"
rc=$(e2e_wait_exit "$pid" 20)
[[ $rc == 1 ]] && e2e_pass "a close request ends with 1" || e2e_fail "a close request ends with 1" "exit $rc"
