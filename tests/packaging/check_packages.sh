#!/usr/bin/env bash
# Packs a small made-up program folder the way the Windows build packs dist/Ravilo, and checks
# what the installer and the zip would carry: every staged file (also one the packaging does
# not know by name), never a Playlist.txt left by a run, the README in the zip, the
# uninstaller's list of exactly those files, and the version in the installer.
# Usage: check_packages.sh SOURCE_DIR
set -euo pipefail
src=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }

dist=$tmp/dist
mkdir -p "$dist/Images/AboutWindow" "$dist/Sounds"
printf 'MZ program' >"$dist/Ravilo.exe"
printf 'MZ another tool' >"$dist/PetCheck.exe"
printf 'BM' >"$dist/Images/AboutWindow/aok.bmp"
printf 'RIFF' >"$dist/Sounds/load_codec.wav"
printf '1\r\nC:\\mine.wav\r\n' >"$dist/Playlist.txt"
printf 'Ravilo 9.8.7 readme\r\n' >"$tmp/README.txt"

cmake -DDIST="$dist" -DWORK="$tmp/work" -DREADME="$tmp/README.txt" -DNSI="$src/installer/Ravilo.nsi" \
  -DMAKENSIS="$(command -v makensis)" -DICON="$src/resources/Ravilo.ico" -DSIDE="$src/installer/side.bmp" -DVERSION=9.8.7 \
  -DSETUP="$tmp/Ravilo-Setup-9.8.7.exe" -DZIP="$tmp/Ravilo-9.8.7.zip" -P "$src/cmake/MakePackages.cmake" >"$tmp/log" 2>&1 ||
  { cat "$tmp/log"; exit 1; }

zipped=$(/usr/bin/python3 -c 'import sys, zipfile; print("\n".join(sorted(n for n in zipfile.ZipFile(sys.argv[1]).namelist() if not n.endswith("/"))))' "$tmp/Ravilo-9.8.7.zip")
want=$'Ravilo/Images/AboutWindow/aok.bmp\nRavilo/PetCheck.exe\nRavilo/README.txt\nRavilo/Ravilo.exe\nRavilo/Sounds/load_codec.wav'
check "the zip holds the folder Ravilo: every staged file and the README, no playlist" '[[ $zipped == "$want" ]]'

list=$(grep -v '^;' "$tmp/work/installed-files.nsh" | tr -d '\r')
want_list='Delete "$INSTDIR\Images\AboutWindow\aok.bmp"
Delete "$INSTDIR\PetCheck.exe"
Delete "$INSTDIR\Ravilo.exe"
Delete "$INSTDIR\Sounds\load_codec.wav"
RMDir "$INSTDIR\Sounds"
RMDir "$INSTDIR\Images\AboutWindow"
RMDir "$INSTDIR\Images"'
check "the uninstaller removes exactly the installed files, inner folders first" '[[ $list == "$want_list" ]]'

identity=$("$src/tools/e2e/exe-identity.sh" "$tmp/Ravilo-Setup-9.8.7.exe")
check "the installer carries the version it was given" 'grep -qxF "ProductVersion=9.8.7" <<<"$identity"'

# An installer over its budget fails the packing, and is not left behind to be shipped.
size=$(stat -c %s "$tmp/Ravilo-Setup-9.8.7.exe")
over_budget() {
  mkdir -p "$tmp/over"
  cmake -DDIST="$dist" -DWORK="$tmp/work2" -DREADME="$tmp/README.txt" -DNSI="$src/installer/Ravilo.nsi" \
    -DMAKENSIS="$(command -v makensis)" -DICON="$src/resources/Ravilo.ico" -DSIDE="$src/installer/side.bmp" \
    -DVERSION=9.8.7 -DSETUP="$tmp/over/Ravilo-Setup-9.8.7.exe" -DZIP="$tmp/over/Ravilo-9.8.7.zip" \
    -DMAX_SETUP_BYTES=$((size - 1)) -P "$src/cmake/MakePackages.cmake" >"$tmp/log2" 2>&1
}
check "an installer one byte over its budget fails the build" \
  '! over_budget && grep -q "more than its budget of $((size - 1))" "$tmp/log2" && [[ ! -e $tmp/over/Ravilo-Setup-9.8.7.exe ]]'
exit $fail
