#!/usr/bin/env bash
# Runs every tests/e2e/test_*.sh (each sources tools/e2e/lib.sh) and sums their results.
# RAVILO_DIST: the program folder under test (default <repo>/build/win/dist/Ravilo).
# E2E_KEEP=1 keeps each test's temp folder; E2E_JOBS (default 2) scripts run at a time, except
# those marked "# e2e: alone". Exit code 1 if anything failed.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
export RAVILO_DIST=${RAVILO_DIST:-$repo/build/win/dist/Ravilo}

shopt -s nullglob
tests=("$here"/test_*.sh)
if [[ ${#tests[@]} -eq 0 ]]; then
    echo "e2e: no tests/e2e/test_*.sh to run"
    echo "0 passed, 0 failed"
    exit 0
fi

# One prepared wine prefix (wineboot) for the whole run; tests copy it.
E2E_RUN_DIR=$(mktemp -d /tmp/ravilo-e2e-run.XXXXXX)
export E2E_RUN_DIR
cleanup() {
    if [[ -d $E2E_RUN_DIR/prefix-template ]]; then
        # shellcheck source=../../tools/e2e/lib.sh
        (source "$here/../../tools/e2e/lib.sh"; e2e_rm_server_dir "$E2E_RUN_DIR/prefix-template")
    fi
    rm -rf "$E2E_RUN_DIR"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Runs one script; its output goes to $E2E_RUN_DIR/<name>.out and, once it is done, to the
# screen in one piece, its result to <name>.result.
run_one() {
    local t=$1 name out rc line np nf start=$SECONDS
    name=$(basename "$t")
    out="$E2E_RUN_DIR/$name.out"
    {
        echo "=== $name"
        bash "$t" 2>"$E2E_RUN_DIR/$name.err"
        rc=$?
        line=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed$' "$out.part" | tail -n1)
        if [[ -n $line ]]; then
            np=$(sed -E 's/^e2e: ([0-9]+) passed.*/\1/' <<<"$line")
            nf=$(sed -E 's/.* ([0-9]+) failed$/\1/' <<<"$line")
        else
            np=0 nf=0
        fi
        if [[ $rc -ne 0 && $nf -eq 0 ]]; then
            nf=1
            echo "FAIL $name: exited $rc without reporting a failure; its stderr ends with:"
            tail -n 15 "$E2E_RUN_DIR/$name.err" | sed 's/^/    /'
        elif [[ $nf -gt 0 ]]; then
            echo "--- stderr of $name (last lines):"
            tail -n 15 "$E2E_RUN_DIR/$name.err" | sed 's/^/    /'
        fi
        echo "=== $name: $np passed, $nf failed in $((SECONDS - start)) s"
        echo "$np $nf" >"$E2E_RUN_DIR/$name.result"
    } >"$out.part" 2>&1
    mv "$out.part" "$out"
    (flock 8; cat "$out") 8>"$E2E_RUN_DIR/screen.lock"
}

# Scripts that record sound or measure CPU and time (a "# e2e: alone" line) run by
# themselves, after the others, which run E2E_JOBS at a time on displays of their own.
jobs=${E2E_JOBS:-2}
shared=() alone=()
for t in "${tests[@]}"; do
    if grep -q '^# e2e: alone' "$t"; then alone+=("$t"); else shared+=("$t"); fi
done
running=0
for t in "${shared[@]}"; do
    if [[ $running -ge $jobs ]]; then
        wait -n
        running=$((running - 1))
    fi
    run_one "$t" &
    running=$((running + 1))
done
wait
for t in "${alone[@]}"; do run_one "$t"; done

passed=0 failed=0
for t in "${tests[@]}"; do
    name=$(basename "$t")
    if [[ -f $E2E_RUN_DIR/$name.result ]]; then
        read -r np nf <"$E2E_RUN_DIR/$name.result"
    else
        np=0 nf=1
        echo "FAIL $name: no result"
    fi
    passed=$((passed + np)) failed=$((failed + nf))
done
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
