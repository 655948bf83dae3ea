#!/bin/bash
# run-fuzz.sh SECONDS — builds the GIF decoder/composer fuzzer with libFuzzer, ASan and UBSan
# in a temporary folder, seeds it from tests/fuzz/corpus/ and runs it for SECONDS (default 60).
# Exits non-zero on a finding (the temporary folder, with the log and the crashing input, is
# kept and named in the output); prints the number of executions.
set -euo pipefail
seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d /tmp/gif-fuzz.XXXXXX)
cxx=${CXX_FUZZ:-clang++}

echo "building in $work"
"$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" "$root/src/pet/GifMovie.cpp" "$root/src/pet/FrameComposer.cpp" \
  "$here/gif_fuzzer.cpp" -o "$work/gif_fuzzer"

mkdir -p "$work/corpus"
cp "$here"/corpus/* "$work/corpus/" 2>/dev/null || true

set +e
(cd "$work" && ./gif_fuzzer -max_total_time="$seconds" -max_len=65536 -timeout=20 \
  -rss_limit_mb=2048 -print_final_stats=1 corpus) >"$work/log" 2>&1
status=$?
set -e
grep -E "^stat::number_of_executed_units|^stat::average_exec_per_sec|^stat::peak_rss_mb" "$work/log" || true
execs=$(grep -m1 "^stat::number_of_executed_units" "$work/log" | awk '{print $2}')
echo "executions: ${execs:-unknown}"
if [ "$status" -ne 0 ]; then
  echo "FINDING (exit $status); log: $work/log"
  grep -E "ERROR|SUMMARY|Test unit written|runtime error" "$work/log" | head -20
  exit 1
fi
echo "no findings in ${seconds}s"
rm -rf "$work"
