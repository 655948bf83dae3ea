#!/usr/bin/env bash
# Builds and runs every test: the native suite (under ASan/UBSan), the Windows build, a
# short fuzzing run, then the real Ravilo.exe end to end under Wine.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j2
ctest --preset native -j2

echo "== Windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j2
ls -l build/win/dist/Ravilo/Ravilo.exe build/win/Ravilo-Setup-*.exe build/win/Ravilo-*.zip

if [[ -x tests/fuzz/run-fuzz.sh ]]; then
  echo "== fuzzing the GIF decoder"
  tests/fuzz/run-fuzz.sh "${RAVILO_FUZZ_SECONDS:-60}"
fi

echo "== end to end under Wine"
RAVILO_DIST="$PWD/build/win/dist/Ravilo" tests/e2e/run-all.sh
