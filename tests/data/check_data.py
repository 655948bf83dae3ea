#!/usr/bin/python3
"""Checks the data files installed beside Ravilo.exe and the bitmaps built into it.

    /usr/bin/python3 tests/data/check_data.py <repo root>

Standard library only; the readers below (BMP, GIF89a with LZW and frame
composition, ICO, WAV) are our own, so what is checked is what the bytes say.

Colour rules, for every picture keyed on purple (128, 0, 128):
  * the bottom-left pixel is the key (the image controls leave that colour out);
  * "transparent" means: a key pixel that is 4-connected through key pixels to
    the picture's border.  A key pixel anywhere else would punch a hole in a
    button or a background, so there must be none;
  * no pixel is "near" the key: Euclidean RGB distance to (128, 0, 128) of at
    most 40 without being exactly the key.  Such pixels are the fringes that
    anti-aliasing against the key leaves around a shape.
Movies are checked on every composed frame (as a player shows them): no visible
pixel equals the key or is near it.  Every movie that plays in the normal layout
(all but the ringing loop, Control/4) keeps its visible pixels inside the part of
the frame that is on screen at the first-run place: x < 139 and y < 120.

Every larger set (data/Images/2x, data/Movies/2x, resources/bitmaps/2x) is checked by
the same rules at n times the sizes and places, and against the 1x set: the same files,
each exactly n times its 1x partner's size, movies with the same frames and delays.
"""
import math
import os
import struct
import sys
import wave
from collections import deque

KEY = (128, 0, 128)
TREE_KEY = (0, 0, 255)
NEAR = 40.0
SETS = (1, 2)            # the 1x set and the larger ones, by scale
ICON_SIZES = (16, 20, 24, 32, 40, 48)


def set_dir(n):
    """The folder of the set of scale n below each picture folder ("" for 1x)."""
    return "" if n == 1 else f"{n}x/"


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def ok(self, cond, what):
        if cond:
            self.passed += 1
        else:
            self.failed += 1
            print("FAIL:", what)
        return cond


def near_key(c):
    if c == KEY:
        return False
    return math.dist(c, KEY) <= NEAR


# ----------------------------------------------------------------------------- BMP

class Picture:
    def __init__(self, w, h, rows):
        self.w, self.h, self.rows = w, h, rows     # rows top-down, lists of (r, g, b)

    def px(self, x, y):
        return self.rows[y][x]


def rle8_rows(data, w, h, table):
    """8-bit run-length pixel data -> rows, top row first; unreached pixels take entry 0."""
    grid = [[table[0]] * w for _ in range(h)]
    x = y = i = 0                             # y counts from the bottom row
    while i + 1 < len(data) and y < h:
        n, v = data[i], data[i + 1]
        i += 2
        if n:
            for k in range(n):
                if x + k < w:
                    grid[h - 1 - y][x + k] = table[v]
            x += n
        elif v == 0:
            x, y = 0, y + 1
        elif v == 1:
            break
        elif v == 2:
            x, y = x + data[i], y + data[i + 1]
            i += 2
        else:
            for k in range(v):
                if x + k < w:
                    grid[h - 1 - y][x + k] = table[data[i + k]]
            x += v
            i += v + (v & 1)
    return grid


def read_bmp(path):
    """24-bit uncompressed or 8-bit run-length bottom-up BMP -> Picture; raises ValueError
    with the reason."""
    with open(path, "rb") as f:
        blob = f.read()
    if len(blob) < 54 or blob[:2] != b"BM":
        raise ValueError("not a BMP file")
    size, _, _, off = struct.unpack("<IHHI", blob[2:14])
    if size != len(blob):
        raise ValueError(f"file size field {size} but file has {len(blob)} bytes")
    hsize, w, h, planes, bpp, comp = struct.unpack("<IiiHHI", blob[14:34])
    if hsize < 40:
        raise ValueError("old-style header")
    if (bpp, comp) not in ((24, 0), (8, 1)):
        raise ValueError(f"{bpp} bits per pixel, compression {comp}: want 24, 0 or 8, 1")
    if h <= 0:
        raise ValueError("top-down rows: want bottom-up")
    if comp == 1:
        used = struct.unpack("<I", blob[46:50])[0] or 256
        at = 14 + hsize
        if used > 256 or at + 4 * used > off:
            raise ValueError("colour table does not fit before the pixels")
        table = [(blob[at + 4 * k + 2], blob[at + 4 * k + 1], blob[at + 4 * k]) for k in range(used)]
        try:
            return Picture(w, h, rle8_rows(blob[off:], w, h, table))
        except IndexError:
            raise ValueError("run-length data refers past its table or its end")
    stride = (w * 3 + 3) & ~3
    if off + stride * h > len(blob):
        raise ValueError("pixel data truncated")
    rows = []
    for y in range(h):
        start = off + (h - 1 - y) * stride
        line = blob[start:start + 3 * w]
        rows.append([(line[i + 2], line[i + 1], line[i]) for i in range(0, 3 * w, 3)])
    return Picture(w, h, rows)


def enclosed_key_pixels(pic, key):
    """Key pixels not 4-connected to the border through key pixels."""
    w, h = pic.w, pic.h
    seen = [[False] * w for _ in range(h)]
    q = deque()
    for x in range(w):
        for y in (0, h - 1):
            if pic.px(x, y) == key and not seen[y][x]:
                seen[y][x] = True
                q.append((x, y))
    for y in range(h):
        for x in (0, w - 1):
            if pic.px(x, y) == key and not seen[y][x]:
                seen[y][x] = True
                q.append((x, y))
    while q:
        x, y = q.popleft()
        for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if 0 <= nx < w and 0 <= ny < h and not seen[ny][nx] and pic.px(nx, ny) == key:
                seen[ny][nx] = True
                q.append((nx, ny))
    return sum(1 for y in range(h) for x in range(w) if pic.px(x, y) == key and not seen[y][x])


# ----------------------------------------------------------------------------- GIF

def lzw_decode(data, mcs, npix):
    clear, eoi = 1 << mcs, (1 << mcs) + 1
    size = mcs + 1
    table = [bytes([i]) for i in range(clear)] + [b"", b""]
    out = bytearray()
    prev = None
    acc = nbits = pos = 0
    while len(out) < npix:
        while nbits < size:
            if pos >= len(data):
                raise ValueError("image data ends early")
            acc |= data[pos] << nbits
            pos += 1
            nbits += 8
        code = acc & ((1 << size) - 1)
        acc >>= size
        nbits -= size
        if code == clear:
            size, prev = mcs + 1, None
            del table[eoi + 1:]
            continue
        if code == eoi:
            break
        if prev is None:
            if code >= len(table):
                raise ValueError("bad first code")
            entry = table[code]
        elif code < len(table):
            entry = table[code]
            if len(table) < 4096:
                table.append(table[prev] + entry[:1])
        elif code == len(table):
            entry = table[prev] + table[prev][:1]
            table.append(entry)
        else:
            raise ValueError("code out of range")
        out += entry
        prev = code
        if len(table) == (1 << size) and size < 12:
            size += 1
    if len(out) < npix:
        raise ValueError("too few pixels")
    return bytes(out[:npix])


class Movie:
    pass


def read_gif(path):
    """Parse and compose a GIF.  Frames are lists of colours (None = transparent), row-major."""
    with open(path, "rb") as f:
        b = f.read()
    m = Movie()
    m.version = b[:6]
    if m.version not in (b"GIF87a", b"GIF89a"):
        raise ValueError("not a GIF")
    m.w, m.h, packed, m.bg, _ = struct.unpack("<HHBBB", b[6:13])
    pos = 13
    gct = None
    if packed & 0x80:
        n = 2 << (packed & 7)
        gct = [tuple(b[pos + 3 * i:pos + 3 * i + 3]) for i in range(n)]
        pos += 3 * n
    canvas = [None] * (m.w * m.h)
    m.frames, m.delays, m.gce, m.rects, m.disposals = [], [], [], [], []
    gce = None
    while True:
        if pos >= len(b):
            raise ValueError("no trailer")
        t = b[pos]
        pos += 1
        if t == 0x3B:
            break
        if t == 0x21:
            label = b[pos]
            pos += 1
            body = bytearray()
            while b[pos]:
                body += b[pos + 1:pos + 1 + b[pos]]
                pos += 1 + b[pos]
            pos += 1
            if label == 0xF9 and len(body) >= 4:
                gce = dict(disposal=(body[0] >> 2) & 7, transparent=body[3] if body[0] & 1 else None,
                           delay=(body[1] | body[2] << 8) * 10)
            continue
        if t != 0x2C:
            raise ValueError(f"unknown block {t:#x}")
        x, y, fw, fh, fp = struct.unpack("<HHHHB", b[pos:pos + 9])
        pos += 9
        table = gct
        if fp & 0x80:
            n = 2 << (fp & 7)
            table = [tuple(b[pos + 3 * i:pos + 3 * i + 3]) for i in range(n)]
            pos += 3 * n
        if table is None:
            raise ValueError("no colour table")
        mcs = b[pos]
        pos += 1
        data = bytearray()
        while b[pos]:
            data += b[pos + 1:pos + 1 + b[pos]]
            pos += 1 + b[pos]
        pos += 1
        if x + fw > m.w or y + fh > m.h:
            raise ValueError("frame outside the logical screen")
        pix = lzw_decode(bytes(data), mcs, fw * fh)
        if fp & 0x40:
            order = list(range(0, fh, 8)) + list(range(4, fh, 8)) + list(range(2, fh, 4)) + list(range(1, fh, 2))
            rows = {r: pix[i * fw:(i + 1) * fw] for i, r in enumerate(order)}
            pix = b"".join(rows[r] for r in range(fh))
        g = gce or dict(disposal=0, transparent=None, delay=0)
        before = canvas[:] if g["disposal"] == 3 else None
        tr = g["transparent"]
        for row in range(fh):
            line = pix[row * fw:(row + 1) * fw]
            base = (y + row) * m.w + x
            if tr is None or tr not in line:
                canvas[base:base + fw] = [table[i] for i in line]
            else:
                for i, v in enumerate(line):
                    if v != tr:
                        canvas[base + i] = table[v]
        m.frames.append(canvas[:])
        m.delays.append(g["delay"])
        m.gce.append(gce)
        m.rects.append((x, y, fw, fh))
        m.disposals.append(g["disposal"])
        if g["disposal"] == 2:
            for row in range(fh):
                base = (y + row) * m.w + x
                canvas[base:base + fw] = [None] * fw
        elif g["disposal"] == 3:
            canvas = before
        gce = None
    return m


# ----------------------------------------------------------------------------- ICO

def read_ico_sizes(path):
    with open(path, "rb") as f:
        b = f.read()
    res, typ, n = struct.unpack("<HHH", b[:6])
    if res != 0 or typ != 1 or n == 0:
        raise ValueError("not an icon file")
    sizes = []
    for i in range(n):
        w, h, _, _, _, bpp, size, off = struct.unpack("<BBBBHHII", b[6 + 16 * i:22 + 16 * i])
        w, h = w or 256, h or 256
        if off + size > len(b):
            raise ValueError("image data outside the file")
        img = b[off:off + size]
        if img[:8] == b"\x89PNG\r\n\x1a\n":
            pw, ph = struct.unpack(">II", img[16:24])
            if (pw, ph) != (w, h):
                raise ValueError("PNG size differs from directory")
        else:
            hs, dw, dh, _, dbpp = struct.unpack("<IiiHH", img[:16])
            if hs != 40 or dw != w or dh != 2 * h:
                raise ValueError(f"entry {i}: DIB header {dw}x{dh} for a {w}x{h} icon")
            stride = ((w * dbpp + 31) // 32) * 4
            mask = ((w + 31) // 32) * 4
            if 40 + stride * h + mask * h > size:
                raise ValueError(f"entry {i}: data too short")
        sizes.append((w, h))
    return sizes, b


# ----------------------------------------------------------------------------- expectations

BUTTONS = {
    "ForAllWindows": {"ok": (73, 26), "exit": (21, 20), "cancel": (73, 26)},
    "MainWindow": {"stopalarm": (140, 105), "5minmore": (140, 105), "10minmore": (140, 105),
                   "15minmore": (140, 105), "20minmore": (140, 105), "30minmore": (140, 105),
                   "plus1min": (140, 105)},
    "AboutWindow": {"ok": (55, 26)},
    "AlarmWindow": {"onoff": (59, 30), "arrowup": (15, 12), "arrowdown": (15, 12), "change": (86, 26),
                    "test": (86, 26), "playlistmode": (151, 26),
                    **{d: (40, 24) for d in ("mon", "tue", "wed", "thu", "fri", "sat", "sun")}},
    "PlayListModeWindow": {"stop": (86, 26), "addfile": (127, 25), "adddir": (127, 25),
                           "removeselected": (127, 25), "removeall": (127, 25), "simplemode": (151, 26)},
    "AddDirWindow": {"on": (20, 20)},
    "TimerWindow": {**{f"min{m}": (52, 24) for m in (1, 3, 5, 10, 15, 25, 30, 45, 60)}, "start": (73, 26)},
    "OptionsWindow": {n: (50, 24) for n in ("min5", "min10", "min15", "min20", "min30", "min60", "off", "sec15",
                                             "sec30", "sec60", "never", "sizeauto", "size100", "size150",
                                             "size200", "size300")},
}

def DAY_PLACES(x, y):
    """The seven day switches of an alarm window (40 x 24, 44 px apart), Monday at (x, y)."""
    return [(f"day {i}", x + 44 * i, y, 40, 24) for i in range(7)]


BACKGROUNDS = {  # name: (size, where the window shows it, control rectangles in window coordinates)
    "SimpleAlarmBack.bmp": ((350, 359), (8, 8), [
        ("close", 328, 16, 21, 20), ("close pressed", 326, 14, 21, 20), ("on/off", 24, 56, 59, 30),
        ("hour", 104, 128, 20, 24), ("minute", 200, 128, 20, 24),
        ("hour up", 136, 121, 17, 14), ("hour down", 136, 138, 17, 14),
        ("minute up", 232, 121, 17, 14), ("minute down", 232, 138, 17, 14),
        *DAY_PLACES(32, 168),
        ("sound label", 104, 204, 230, 13),
        ("change", 134, 238, 88, 28), ("test", 230, 238, 88, 28),
        ("ok", 70, 286, 75, 28), ("cancel", 214, 286, 75, 28), ("playlist mode", 102, 326, 153, 28)]),
    "PlayListAlarmBack.bmp": ((350, 586), (0, 0), [
        ("close", 318, 6, 23, 22), ("on/off", 16, 48, 59, 30),
        ("hour", 96, 120, 20, 24), ("minute", 192, 120, 20, 24),
        ("hour up", 128, 113, 17, 14), ("hour down", 128, 130, 17, 14),
        ("minute up", 224, 113, 17, 14), ("minute down", 224, 130, 17, 14),
        *DAY_PLACES(24, 160),
        ("list", 40, 216, 275, 168), ("stop", 38, 390, 88, 28),
        ("add file", 38, 430, 129, 27), ("add folder", 38, 462, 129, 27),
        ("remove selected", 182, 430, 129, 27), ("remove all", 182, 462, 129, 27),
        ("ok", 70, 502, 75, 28), ("cancel", 206, 502, 75, 28), ("simple mode", 102, 542, 153, 28)]),
    "AddDirBack.bmp": ((321, 350), (0, 0), [
        ("close", 286, 6, 23, 22), ("subfolders", 28, 52, 20, 20), ("tree", 32, 80, 257, 209),
        ("ok", 46, 302, 75, 28), ("cancel", 206, 302, 75, 28)]),
    "MessageBoxBack.bmp": ((259, 151), (96, 0), [
        ("ok", 150, 102, 75, 28), ("close", 318, 6, 23, 22), ("text", 128, 48, 226, 13)]),
    "AboutBack.bmp": ((259, 151), (32, 6), [
        ("ok", 126, 110, 57, 28), ("close", 258, 14, 23, 22),
        ("site link", 120, 64, 150, 13), ("mail link", 120, 88, 150, 13), ("version", 248, 48, 30, 13),
        ("site caption", 48, 64, 70, 13), ("mail caption", 48, 88, 70, 13)]),
}
# The Options window's rows of choices (50 x 24, 54 px apart) and its three switches.
OPTIONS_PLACES = [("close", 444, 6, 23, 22), ("ok", 142, 300, 75, 28), ("cancel", 262, 300, 75, 28)]
for _row, (_y, _n) in enumerate(((52, 5), (86, 4), (120, 6), (258, 5))):
    OPTIONS_PLACES += [(f"choice {_row}.{_i}", 140 + 54 * _i, _y, 50, 24) for _i in range(_n)]
OPTIONS_PLACES += [("muted switch", 24, 156, 20, 20), ("log-on switch", 24, 202, 20, 20),
                   ("full-screen switch", 24, 230, 20, 20)]
BACKGROUNDS["OptionsBack.bmp"] = ((480, 340), (0, 0), OPTIONS_PLACES)
# The timer window: its quick choices, the hours, minutes and seconds with their arrows
# (resting and held), the name field and its buttons.
TIMER_PLACES = [("close", 304, 6, 23, 22), ("start", 86, 244, 75, 28), ("cancel", 178, 244, 75, 28),
                ("name", 72, 199, 244, 22)]
TIMER_PLACES += [(f"quick {_i}", 22 + 60 * _i, 48, 54, 26) for _i in range(5)]
TIMER_PLACES += [(f"quick {5 + _i}", 52 + 60 * _i, 78, 54, 26) for _i in range(4)]
for _i, _x in enumerate((50, 146, 242)):
    TIMER_PLACES += [(f"field {_i}", _x, 146, 20, 24), (f"field {_i} up", _x + 32, 139, 17, 14),
                     (f"field {_i} down", _x + 32, 156, 17, 14)]
BACKGROUNDS["TimerBack.bmp"] = ((340, 290), (0, 0), TIMER_PLACES)
TEXT_PLACES = {"sound label", "text", "site link", "mail link", "version", "site caption", "mail caption"}

TREE = ["CLOSEDFOLDER", "OPENFOLDER", "FLOPPY", "HARD", "NETWORK", "CDROM", "RAM"]

CONTROL_MOVIES = ["1", "2", "3", "4", "10"]
IDLE_MOVIES = ["5", "6", "7", "8", "9", "11", "12", "13", "14", "15", "16"]
EYE_MOVIES = ["14", "15", "16"]
RINGING_MOVIE = "4"

# At the first-run place the window stands 40 px beyond the right and 50 px beyond the
# bottom edge of the screen; the movie view sits at x = 140 of the 319 x 170 window, so
# only this part of the frame is on screen.
VISIBLE_W, VISIBLE_H = 139, 120

# where the program centres its pupil bitmaps, in movie coordinates (the movie
# stands at x = 140 of the main window): centre, radius 7, and the clamps
EYES = {"left": ((90, 60), 88, None), "right": ((67, 60), None, 68)}


def pupil_points(eye, n=1):
    """In the set of scale n: centre, radius and clamps n times the 1x ones."""
    (cx, cy), xmin, xmax = EYES[eye]
    cx, cy, r = cx * n, cy * n, 7 * n
    pts = set()
    for dx in range(-30 * n, 30 * n + 1):
        for dy in range(-30 * n, 30 * n + 1):
            d = math.hypot(dx, dy)
            if d < r:
                px, py = cx + dx, cy + dy
            else:
                px, py = round(dx * r / d + cx), round(dy * r / d + cy)
            py = min(py, cy + 6 * n)
            if xmin is not None:
                px = max(px, xmin * n)
            if xmax is not None:
                px = min(px, xmax * n)
            pts.add((px, py))
    return pts


def luminance(c):
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]


# ----------------------------------------------------------------------------- checks

def check_keyed_picture(ck, name, pic, key=KEY, holes_allowed=False):
    ck.ok(pic.px(0, pic.h - 1) == key, f"{name}: bottom-left pixel {pic.px(0, pic.h - 1)} is not the key {key}")
    near = sum(1 for row in pic.rows for c in row if near_key(c))
    ck.ok(near == 0, f"{name}: {near} pixels within {NEAR} of the purple key")
    if not holes_allowed:
        holes = enclosed_key_pixels(pic, key)
        ck.ok(holes == 0, f"{name}: {holes} key-coloured pixels inside the picture (holes)")


def load_bmp(ck, path, size, name):
    if not ck.ok(os.path.isfile(path), f"{name}: missing"):
        return None
    try:
        pic = read_bmp(path)
    except ValueError as e:
        ck.ok(False, f"{name}: {e}")
        return None
    if not ck.ok((pic.w, pic.h) == size, f"{name}: {pic.w}x{pic.h}, want {size[0]}x{size[1]}"):
        return None
    return pic


def check_buttons(ck, root, n):
    for folder, items in BUTTONS.items():
        for name, (w, h) in items.items():
            pics = {}
            for state in "ai":
                rel = f"data/Images/{set_dir(n)}{folder}/{state}{name}.bmp"
                pic = load_bmp(ck, os.path.join(root, rel), (w * n, h * n), rel)
                if pic is None:
                    continue
                check_keyed_picture(ck, rel, pic)
                opaque = sum(1 for row in pic.rows for c in row if c != KEY)
                ck.ok(opaque >= 0.5 * pic.w * pic.h, f"{rel}: only {opaque} visible pixels")
                pics[state] = pic
            if len(pics) == 2:
                ck.ok(pics["a"].rows != pics["i"].rows, f"{folder}/{name}: active and inactive pictures are the same")


def check_eyes(ck, root, n):
    for eye in ("left", "right"):
        rel = f"data/Images/{set_dir(n)}Eyes/{eye}.bmp"
        path = os.path.join(root, rel)
        if not ck.ok(os.path.isfile(path), f"{rel}: missing"):
            continue
        try:
            pic = read_bmp(path)
        except ValueError as e:
            ck.ok(False, f"{rel}: {e}")
            continue
        ck.ok(3 * n <= pic.w <= 9 * n and 3 * n <= pic.h <= 9 * n, f"{rel}: {pic.w}x{pic.h} is not a small pupil")
        check_keyed_picture(ck, rel, pic)
        vis = [c for row in pic.rows for c in row if c != KEY]
        dark = sum(1 for c in vis if luminance(c) < 80)
        ck.ok(vis and dark >= 0.75 * len(vis), f"{rel}: pupil is not dark")


def check_backgrounds(ck, root, n):
    res = f"resources/bitmaps/{set_dir(n)}"
    for name, ((bw, bh), (ox, oy), places) in BACKGROUNDS.items():
        rel = res + name
        pic = load_bmp(ck, os.path.join(root, rel), (bw * n, bh * n), rel)
        if pic is None:
            continue
        check_keyed_picture(ck, rel, pic)
        for what, x, y, w, h in places:
            x0, y0, w, h = (x - ox) * n, (y - oy) * n, w * n, h * n
            inside = x0 >= 0 and y0 >= 0 and x0 + w <= pic.w and y0 + h <= pic.h
            if not ck.ok(inside, f"{rel}: {what} ({x},{y} {w}x{h}) lies outside the picture"):
                continue
            cells = [pic.px(xx, yy) for yy in range(y0, y0 + h) for xx in range(x0, x0 + w)]
            ck.ok(KEY not in cells, f"{rel}: {what} stands partly over the transparent key")
            if what in TEXT_PLACES:
                light = sum(1 for c in cells if luminance(c) >= 160)
                ck.ok(light >= 0.95 * len(cells), f"{rel}: {what} is not on a light, plain area")
    for name in ("RingStopFirst.bmp", "Ring10MinFirst.bmp"):
        rel = res + name
        pic = load_bmp(ck, os.path.join(root, rel), (140 * n, 105 * n), rel)
        if pic is not None:
            check_keyed_picture(ck, rel, pic)
    shapes = set()
    for name in TREE:
        rel = f"{res}{name}.bmp"
        pic = load_bmp(ck, os.path.join(root, rel), (16 * n, 16 * n), rel)
        if pic is None:
            continue
        check_keyed_picture(ck, rel, pic, key=TREE_KEY, holes_allowed=True)
        vis = sum(1 for row in pic.rows for c in row if c != TREE_KEY)
        ck.ok(vis >= 40 * n * n, f"{rel}: almost empty")
        shapes.add(tuple(tuple(r) for r in pic.rows))
    ck.ok(len(shapes) == len(TREE), "folder-tree images are not all different")


def check_movies(ck, root, n, base=None):
    """The movies of the set of scale n; base: the 1x movies by name, which a larger set's
    movies follow frame for frame.  Returns this set's movies by name."""
    found = {}
    for group, names in (("Control", CONTROL_MOVIES), ("Idle", IDLE_MOVIES)):
        for name in names:
            rel = f"data/Movies/{set_dir(n)}{group}/{name}.gif"
            path = os.path.join(root, rel)
            if not ck.ok(os.path.isfile(path), f"{rel}: missing"):
                continue
            try:
                m = read_gif(path)
            except (ValueError, IndexError, struct.error) as e:
                ck.ok(False, f"{rel}: cannot be decoded: {e}")
                continue
            found[f"{group}/{name}"] = m
            ck.ok(m.version == b"GIF89a", f"{rel}: version {m.version!r}")
            ck.ok((m.w, m.h) == (172 * n, 136 * n), f"{rel}: logical screen {m.w}x{m.h}, want {172 * n}x{136 * n}")
            if not ck.ok(len(m.frames) >= 2, f"{rel}: {len(m.frames)} frame(s): a movie needs two to end"):
                continue
            small = (base or {}).get(f"{group}/{name}")
            if small is not None:
                ck.ok(len(m.frames) == len(small.frames) and m.delays == small.delays,
                      f"{rel}: {len(m.frames)} frames {m.delays} ms, the 1x movie {len(small.frames)} frames "
                      f"{small.delays} ms")
            first = m.gce[0]
            ck.ok(first is not None and first["transparent"] is not None,
                  f"{rel}: first frame has no transparent colour")
            ck.ok(m.rects[0] == (0, 0, m.w, m.h), f"{rel}: first frame does not cover the screen")
            ck.ok(all(g is not None and first is not None and g["transparent"] == first["transparent"] for g in m.gce),
                  f"{rel}: frames do not all share the first frame's transparent index")
            ck.ok(3 not in m.disposals, f"{rel}: uses disposal 3 (restore previous)")
            bad = [d for d in m.delays if not 60 <= d <= 120]
            ck.ok(not bad, f"{rel}: frame delays {sorted(set(bad))} ms outside 60..120")
            total = sum(m.delays)
            if group == "Idle":
                ck.ok(2000 <= total <= 10000, f"{rel}: lasts {total} ms, want 2..10 s")
            else:
                ck.ok(0 < total <= 4000, f"{rel}: lasts {total} ms, want at most 4 s")
            colours = set()
            for f in m.frames:
                colours.update(f)
            colours.discard(None)
            ck.ok(KEY not in colours, f"{rel}: the purple key is visible in a frame")
            near = sorted(c for c in colours if near_key(c))
            ck.ok(not near, f"{rel}: colours near the purple key: {near[:5]}")
            corners = [m.frames[0][i] for i in (0, m.w - 1, (m.h - 1) * m.w, m.h * m.w - 1)]
            ck.ok(all(c is None for c in corners), f"{rel}: first frame's corners are not transparent")
            if not (group == "Control" and name == RINGING_MOVIE):
                check_visible_area(ck, rel, m, n)
            if group == "Control" and name == "4":
                check_seamless_loop(ck, rel, m)
            if name in EYE_MOVIES:
                check_eye_whites(ck, rel, m, n)
    return found


def check_visible_area(ck, rel, m, n):
    """Movies of the normal layout draw nothing where the screen's edge cuts the window off."""
    vw, vh = VISIBLE_W * n, VISIBLE_H * n
    for i, f in enumerate(m.frames):
        out = [(x, y) for y in range(m.h) for x in range(m.w)
               if (x >= vw or y >= vh) and f[y * m.w + x] is not None]
        if not ck.ok(not out, f"{rel}: frame {i} has {len(out)} visible pixels outside x < {vw}, "
                              f"y < {vh}, the first at {out[:1]}"):
            return


def frame_change(a, b):
    return sum(1 for x, y in zip(a, b) if x != y)


def check_seamless_loop(ck, rel, m):
    steps = [frame_change(m.frames[i], m.frames[i + 1]) for i in range(len(m.frames) - 1)]
    wrap = frame_change(m.frames[-1], m.frames[0])
    # a loop restarts without a jump when going from the last frame to the first
    # changes about as much as any other step does (a quarter more at most)
    ck.ok(wrap <= 1.25 * max(steps), f"{rel}: the loop jumps ({wrap} pixels change from last to first frame, "
                                     f"at most {max(steps)} between other frames)")


def check_eye_whites(ck, rel, m, n):
    """Whites without pupils: every place a pupil can be drawn shows white in every frame.
    The pupil of the set of scale n is 7 n across; it has no centre pixel when n is even."""
    missing = 0
    cells = set()
    for eye in EYES:
        for px, py in pupil_points(eye, n):
            for yy in range(py - 7 * n // 2, py - 7 * n // 2 + 7 * n):
                for xx in range(px - 7 * n // 2, px - 7 * n // 2 + 7 * n):
                    # the pupil's round corners
                    if abs(xx + 0.5 - (px + (n % 2) * 0.5)) + abs(yy + 0.5 - (py + (n % 2) * 0.5)) <= 4 * n + 0.5:
                        cells.add((xx, yy))
    for f in m.frames:
        for xx, yy in cells:
            c = f[yy * m.w + xx]
            if c is None or min(c) < 230:
                missing += 1
    ck.ok(missing == 0, f"{rel}: {missing} pupil pixels would not fall on eye white")
    for eye in EYES:
        (cx, cy), _, _ = EYES[eye]
        cx, cy = cx * n, cy * n
        c = m.frames[0][cy * m.w + cx]
        ck.ok(c is not None and min(c) >= 230, f"{rel}: no eye white at the {eye} eye's centre ({cx},{cy})")


def check_icons(ck, root):
    blobs = []
    for name in ("AlarmOffIcon.ico", "AlarmOnIcon.ico"):
        rel = f"data/Images/{name}"
        path = os.path.join(root, rel)
        if not ck.ok(os.path.isfile(path), f"{rel}: missing"):
            continue
        try:
            sizes, blob = read_ico_sizes(path)
        except (ValueError, struct.error) as e:
            ck.ok(False, f"{rel}: {e}")
            continue
        for s in ICON_SIZES:
            ck.ok((s, s) in sizes, f"{rel}: no {s}x{s} image (has {sizes})")
        blobs.append(blob)
    if len(blobs) == 2:
        ck.ok(blobs[0] != blobs[1], "the alarm-off and alarm-on icons are the same")


def check_partners(ck, root, n):
    """A larger set has exactly the 1x set's pictures and movies, each n times the size: also
    a picture the lists above do not know yet."""
    for top in ("data/Images", "data/Movies", "resources/bitmaps"):
        one = os.path.join(root, top)
        big = os.path.join(one, set_dir(n))
        if not ck.ok(os.path.isdir(big), f"{top}/{set_dir(n)}: missing"):
            continue
        def pictures(folder, skip_sets):
            out = set()
            for d, subs, files in os.walk(folder):
                if skip_sets and d == folder:
                    subs[:] = [x for x in subs if not (x.endswith("x") and x[:-1].isdigit())]
                out.update(os.path.relpath(os.path.join(d, f), folder) for f in files
                           if f.lower().endswith((".bmp", ".gif")))
            return out
        small_files, big_files = pictures(one, True), pictures(big, False)
        ck.ok(small_files == big_files, f"{top}/{set_dir(n)}: only in 1x {sorted(small_files - big_files)[:5]}, "
                                        f"only in {n}x {sorted(big_files - small_files)[:5]}")
        for rel in sorted(small_files & big_files):
            try:
                if rel.endswith(".gif"):
                    a, b = read_gif_size(os.path.join(one, rel)), read_gif_size(os.path.join(big, rel))
                else:
                    a, b = read_bmp_size(os.path.join(one, rel)), read_bmp_size(os.path.join(big, rel))
            except (ValueError, struct.error) as e:
                ck.ok(False, f"{top}/{rel}: {e}")
                continue
            ck.ok(b == (a[0] * n, a[1] * n), f"{top}/{set_dir(n)}{rel}: {b[0]}x{b[1]}, the 1x file {a[0]}x{a[1]}")


def read_bmp_size(path):
    with open(path, "rb") as f:
        head = f.read(26)
    if head[:2] != b"BM":
        raise ValueError("not a BMP file")
    return struct.unpack("<ii", head[18:26])


def read_gif_size(path):
    with open(path, "rb") as f:
        head = f.read(10)
    if head[:3] != b"GIF":
        raise ValueError("not a GIF file")
    return struct.unpack("<HH", head[6:10])


def read_wav(path):
    with open(path, "rb") as f:
        head = f.read(64)
    if head[:4] != b"RIFF" or head[8:12] != b"WAVE":
        raise ValueError("not a RIFF WAVE file")
    with open(path, "rb") as f:
        b = f.read()
    pos = 12
    fmt = None
    while pos + 8 <= len(b):
        cid, size = b[pos:pos + 4], struct.unpack("<I", b[pos + 4:pos + 8])[0]
        if cid == b"fmt ":
            fmt = struct.unpack("<HHIIHH", b[pos + 8:pos + 24])
            break
        pos += 8 + size + (size & 1)
    if fmt is None:
        raise ValueError("no fmt chunk")
    if fmt[0] != 1:
        raise ValueError(f"format tag {fmt[0]}, want 1 (PCM)")
    with wave.open(path, "rb") as w:
        ch, width, rate, n = w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes()
        raw = w.readframes(n)
    samples = struct.unpack(f"<{len(raw) // 2}h", raw) if width == 2 else ()
    return ch, width, rate, n, samples


def check_sounds(ck, root):
    for rel, lo, hi in (("data/Sounds/Alarms/alarm0.wav", 2.0, 4.0), ("data/Sounds/load_codec.wav", 0.1, 0.3)):
        path = os.path.join(root, rel)
        if not ck.ok(os.path.isfile(path), f"{rel}: missing"):
            continue
        try:
            ch, width, rate, n, s = read_wav(path)
        except (ValueError, wave.Error, EOFError) as e:
            ck.ok(False, f"{rel}: {e}")
            continue
        ck.ok(width == 2 and ch in (1, 2) and rate in (22050, 44100),
              f"{rel}: {ch} channel(s), {8 * width} bits, {rate} Hz: want 16-bit mono/stereo at 22050/44100")
        dur = n / rate if rate else 0
        ck.ok(lo <= dur <= hi, f"{rel}: {dur:.3f} s, want {lo}..{hi} s")
        if width != 2 or not s:
            continue
        if rel.endswith("load_codec.wav"):
            ck.ok(max(abs(v) for v in s) == 0, f"{rel}: not silent")
            continue
        peak = max(abs(v) for v in s)
        ck.ok(peak >= 16384, f"{rel}: peak {peak}: too quiet to wake anyone")
        ck.ok(peak < 32767, f"{rel}: clipped")
        mono = s[::ch]
        inner = max(abs(mono[i + 1] - mono[i]) for i in range(len(mono) - 1))
        seam = abs(mono[0] - mono[-1])
        ck.ok(seam <= inner, f"{rel}: looping clicks (jump {seam} at the seam, at most {inner} inside)")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    ck = Checks()
    check_icons(ck, root)
    check_sounds(ck, root)
    base = None
    for n in SETS:
        check_buttons(ck, root, n)
        check_eyes(ck, root, n)
        check_backgrounds(ck, root, n)
        movies = check_movies(ck, root, n, base)
        base = base or movies
        if n > 1:
            check_partners(ck, root, n)
    print(f"data: {ck.passed} passed, {ck.failed} failed")
    return 1 if ck.failed else 0


if __name__ == "__main__":
    sys.exit(main())
