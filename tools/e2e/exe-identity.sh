#!/usr/bin/env bash
# exe-identity.sh EXE : prints what a Windows program shows of itself, read with the MinGW
# binutils: its icon group MAINICON (the sizes it holds) and its version resource.
#   icon MAINICON 16 20 24 32 40 48
#   version 0.4.0.0 0.4.0.0            (the file and product version numbers)
#   CompanyName=MirenWorks             (one line per string of the version resource)
# Exits 1 when the program has no resource section.
set -euo pipefail
exe=$1
objdump=x86_64-w64-mingw32-objdump objcopy=x86_64-w64-mingw32-objcopy
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$objdump" -p "$exe" >"$tmp/p.txt"
"$objcopy" -O binary --only-section=.rsrc "$exe" "$tmp/rsrc.bin"
/usr/bin/python3 - "$tmp/p.txt" "$tmp/rsrc.bin" <<'PY'
import re, signal, struct, sys
signal.signal(signal.SIGPIPE, signal.SIG_DFL)   # a reader may stop early (head, grep -q)
listing = open(sys.argv[1]).read()
rsrc = open(sys.argv[2], "rb").read()
m = re.search(r"Entry 2 ([0-9a-f]+) [0-9a-f]+ Resource Directory", listing)
if not m or not rsrc:
    sys.exit("no resource section")
base = int(m.group(1), 16)
# Walk the printed tree: type entries, then name entries, then leaves.
leaves, rtype, rname = [], None, None
for line in listing[listing.index("The .rsrc Resource Directory"):].splitlines():
    lm = re.match(r"^[0-9a-f]+( +)(.*)$", line)
    if not lm:
        continue
    depth, body = len(lm.group(1)), lm.group(2)          # offsets are printed in front
    if depth == 3 and body.startswith("Entry: ID: "):   # type level
        rtype, rname = int(body.split("ID: ")[1].split(",")[0], 16), None
    elif depth == 5 and body.startswith("Entry: "):     # name level
        e = body.split("Entry: ")[1]
        rname = e.split("]: ")[1].split(",")[0] if e.startswith("name") else str(int(e.split("ID: ")[1].split(",")[0], 16))
    elif "Leaf: Addr:" in body:
        a, s = re.search(r"Addr: 0x([0-9a-f]+), Size: 0x([0-9a-f]+)", body).groups()
        leaves.append((rtype, rname, rsrc[int(a, 16) - base:int(a, 16) - base + int(s, 16)]))
for rtype, rname, data in leaves:
    if rtype == 14:                                      # RT_GROUP_ICON
        count = struct.unpack_from("<H", data, 4)[0]
        sizes = sorted(data[6 + 14 * i] or 256 for i in range(count))
        print("icon", rname, *sizes)
    if rtype == 16:                                      # RT_VERSION
        i = data.find(b"\xbd\x04\xef\xfe")               # VS_FIXEDFILEINFO signature
        if i >= 0:
            fv_ms, fv_ls, pv_ms, pv_ls = struct.unpack_from("<4I", data, i + 8)
            v = lambda ms, ls: f"{ms >> 16}.{ms & 0xffff}.{ls >> 16}.{ls & 0xffff}"
            print("version", v(fv_ms, fv_ls), v(pv_ms, pv_ls))
        # String entries: wLength wValueLength wType key\0 (padded to 4) value\0
        for key in ("CompanyName", "ProductName", "FileVersion", "ProductVersion", "FileDescription"):
            k = key.encode("utf-16-le") + b"\0\0"
            j = data.find(k)
            if j < 0:
                continue
            start = j - 6
            length, vlen = struct.unpack_from("<HH", data, start)
            vpos = j + len(k)
            vpos += (4 - (vpos % 4)) % 4
            text = data[vpos:start + length].decode("utf-16-le").split("\0")[0]
            print(f"{key}={text}")
PY
