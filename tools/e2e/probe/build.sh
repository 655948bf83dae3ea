#!/usr/bin/env bash
# Builds the e2e probe (a developer tool, not part of the product build).
# Usage: tools/e2e/probe/build.sh [OUT_DIR]   (default: <repo>/build/e2e-probe)
# Produces probe.exe and probe-utf8.exe (same program with an application
# manifest asking for the UTF-8 ANSI code page).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:-$here/../../../build/e2e-probe}
mkdir -p "$out"
out=$(cd "$out" && pwd)
cxx=${CXX_MINGW:-x86_64-w64-mingw32-g++-posix}
flags=(-std=c++20 -O2 -Wall -Wextra -static -mwindows)
libs=(-lwinmm -lgdi32 -luser32 -ladvapi32)
"$cxx" "${flags[@]}" -o "$out/probe.exe" "$here/probe.cpp" "${libs[@]}"
(cd "$here" && x86_64-w64-mingw32-windres -O coff -i utf8.rc -o "$out/utf8.res")
"$cxx" "${flags[@]}" -o "$out/probe-utf8.exe" "$here/probe.cpp" "$out/utf8.res" "${libs[@]}"
echo "$out/probe.exe"
