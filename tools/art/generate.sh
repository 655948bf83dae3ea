#!/bin/sh
# Regenerate every picture, movie and sound of Ravilo from tools/art:
#   data/Images, data/Movies, data/Sounds, resources/bitmaps, docs/contact-sheet.png
# Installs the Debian packages it needs when they are missing, then runs the
# generator with Debian's Python (the one that sees python3-pil and python3-numpy).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

need=""
dpkg -s python3-pil >/dev/null 2>&1 || need="$need python3-pil"
dpkg -s python3-numpy >/dev/null 2>&1 || need="$need python3-numpy"
[ -f /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf ] || need="$need fonts-dejavu-core"
if [ -n "$need" ]; then
    echo "installing:$need"
    if [ "$(id -u)" = 0 ]; then sudo=""; else sudo="sudo"; fi
    $sudo apt-get install -y --no-install-recommends $need
fi

exec /usr/bin/python3 "$here/generate.py" "$root"
