#!/usr/bin/env bash
# Runs every tests/e2e/test_*.sh (each sources tools/e2e/lib.sh) and sums their results.
# RAVILO_DIST: the program folder under test (default <repo>/build/win/dist/Ravilo).
# E2E_KEEP=1 keeps each test's temp folder. Exit code 1 if anything failed.
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

passed=0 failed=0
for t in "${tests[@]}"; do
    name=$(basename "$t")
    echo "=== $name"
    start=$SECONDS
    out="$E2E_RUN_DIR/$name.out"
    bash "$t" 2>"$E2E_RUN_DIR/$name.err" | tee "$out"
    rc=${PIPESTATUS[0]}
    line=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed$' "$out" | tail -n1)
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
    passed=$((passed + np)) failed=$((failed + nf))
done
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
