"""A small GIF89a encoder (and the decoder we check it with).

Frames are given as arrays of palette indices, index 0 being the transparent
background.  Frame 1 covers the whole logical screen; every later frame is
the smallest rectangle that turns the previous picture into the next one,
choosing for the previous frame between "do not dispose" (1) and "restore to
background" (2), widening the previous rectangle when pixels must become
transparent outside it.  Disposal 3 is never used.  Every frame carries the
same transparent index 0, so unchanged pixels inside a rectangle are left as
they are.  The last frame restores its whole picture to background, so a
viewer that loops starts again from an empty screen.
"""
import struct

import numpy as np
from PIL import Image

from . import palette as P


# ---------------------------------------------------------------------------- palette

def quantize(frames_rgb, frames_mask, ncolors=255):
    """One palette for a whole movie.  Returns (palette list, index arrays)."""
    opaque = np.concatenate([f[m] for f, m in zip(frames_rgb, frames_mask)], axis=0)
    uniq = np.unique(opaque, axis=0)
    if len(uniq) <= ncolors:
        pal = [tuple(int(v) for v in c) for c in uniq]
        lut = {c: i + 1 for i, c in enumerate(pal)}
        out = []
        for f, m in zip(frames_rgb, frames_mask):
            idx = np.zeros(m.shape, np.uint8)
            key = (f[..., 0].astype(np.int64) << 16) | (f[..., 1].astype(np.int64) << 8) | f[..., 2]
            table = {(c[0] << 16) | (c[1] << 8) | c[2]: i for c, i in lut.items()}
            flat = key[m]
            idx[m] = np.array([table[int(v)] for v in flat], np.uint8) if flat.size else 0
            out.append(idx)
        return [P.KEY] + pal, out
    side = int(np.ceil(np.sqrt(len(opaque))))
    buf = np.zeros((side * side, 3), np.uint8)
    buf[:len(opaque)] = opaque
    buf[len(opaque):] = opaque[0]
    im = Image.fromarray(buf.reshape(side, side, 3), "RGB")
    q = im.quantize(colors=ncolors, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palbytes = q.getpalette()[:ncolors * 3]
    pal = [tuple(palbytes[i:i + 3]) for i in range(0, len(palbytes), 3)]
    out = []
    for f, m in zip(frames_rgb, frames_mask):
        fi = Image.fromarray(f, "RGB").quantize(palette=q, dither=Image.Dither.NONE)
        idx = np.asarray(fi).astype(np.int32) + 1
        idx[~m] = 0
        out.append(idx.astype(np.uint8))
    return [P.KEY] + pal, out


# ---------------------------------------------------------------------------- LZW

def lzw_encode(data, min_code_size):
    clear = 1 << min_code_size
    eoi = clear + 1
    out = bytearray()
    acc = 0
    nbits = 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    size = min_code_size + 1
    table = {}
    next_code = eoi + 1
    emit(clear, size)
    prefix = None
    for b in data:
        if prefix is None:
            prefix = b
            continue
        k = (prefix << 8) | b
        code = table.get(k)
        if code is not None:
            prefix = code
            continue
        emit(prefix, size)
        if next_code < 4096:
            table[k] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table = {}
            next_code = eoi + 1
            size = min_code_size + 1
        prefix = b
    if prefix is not None:
        emit(prefix, size)
    emit(eoi, size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def lzw_decode(data, min_code_size, npix):
    clear = 1 << min_code_size
    eoi = clear + 1
    out = bytearray()
    size = min_code_size + 1
    table = [bytes([i]) for i in range(clear)] + [b"", b""]
    prev = None
    acc = 0
    nbits = 0
    pos = 0
    while True:
        while nbits < size:
            if pos >= len(data):
                return bytes(out[:npix])
            acc |= data[pos] << nbits
            pos += 1
            nbits += 8
        code = acc & ((1 << size) - 1)
        acc >>= size
        nbits -= size
        if code == clear:
            size = min_code_size + 1
            table = table[:eoi + 1]
            prev = None
            continue
        if code == eoi:
            break
        if prev is None:
            entry = table[code]
        elif code < len(table):
            entry = table[code]
            if len(table) < 4096:
                table.append(table[prev] + entry[:1])
        else:
            entry = table[prev] + table[prev][:1]
            table.append(entry)
        out += entry
        prev = code
        if len(table) == (1 << size) and size < 12:
            size += 1
    return bytes(out[:npix])


# ---------------------------------------------------------------------------- encoder

def _bbox(mask):
    ys, xs = np.nonzero(mask)
    if len(ys) == 0:
        return None
    return [int(xs.min()), int(ys.min()), int(xs.max()) + 1, int(ys.max()) + 1]


def _union(a, b):
    if a is None:
        return b
    if b is None:
        return a
    return [min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3])]


def _area(r):
    return 0 if r is None else (r[2] - r[0]) * (r[3] - r[1])


def _inside(mask, r):
    if not mask.any():
        return True
    if r is None:
        return False
    m = mask.copy()
    m[r[1]:r[3], r[0]:r[2]] = False
    return not m.any()


def plan(frames):
    """Choose rectangle and disposal per frame.  Returns list of [rect, disposal, canvas_before]."""
    h, w = frames[0].shape
    empty = np.zeros((h, w), np.uint8)
    plans = [[[0, 0, w, h], 1, empty]]
    for i in range(1, len(frames)):
        prev, cur = frames[i - 1], frames[i]
        pr = plans[-1]
        clearing = (cur == 0) & (prev != 0)
        keep_ok = not clearing.any()
        keep_rect = _bbox(prev != cur) if keep_ok else None
        # restore to background: the previous rectangle is cleared after it was shown
        rrect = pr[0] if _inside(clearing, pr[0]) else _union(pr[0], _bbox(clearing))
        after = prev.copy()
        after[rrect[1]:rrect[3], rrect[0]:rrect[2]] = 0
        rest_rect = _bbox(after != cur)
        if keep_ok and _area(keep_rect) <= _area(rest_rect) + 0:
            pr[1] = 1
            canvas = prev
            rect = keep_rect
        else:
            pr[0] = rrect
            pr[1] = 2
            canvas = after
            rect = rest_rect
        if rect is None:  # identical frame: a 1x1 rectangle of "no change"
            rect = [0, 0, 1, 1]
        plans.append([rect, 1, canvas])
    # last frame: restore its whole picture
    last = plans[-1]
    last[0] = _union(last[0], _bbox(frames[-1] != 0))
    last[1] = 2
    return plans


def encode(frames, delays_ms, pal, loop=False):
    h, w = frames[0].shape
    assert len(pal) <= 256 and pal[0] == P.KEY
    bits = max(1, int(np.ceil(np.log2(len(pal)))))
    size = 1 << bits
    gct = list(pal) + [(0, 0, 0)] * (size - len(pal))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", w, h, 0x80 | (7 << 4) | (bits - 1), 0, 0)
    for c in gct:
        out += bytes(c)
    if loop:
        out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    plans = plan(frames)
    mcs = max(2, bits)
    for f, d, (rect, disp, canvas) in zip(frames, delays_ms, plans):
        x0, y0, x1, y1 = rect
        sub = f[y0:y1, x0:x1].copy()
        same = canvas[y0:y1, x0:x1] == sub
        sub[same] = 0                     # transparent: leave the picture as it is
        cs = int(round(d / 10.0))
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, (disp << 2) | 1, cs, 0, 0)
        out += struct.pack("<BHHHHB", 0x2C, x0, y0, x1 - x0, y1 - y0, 0)
        out.append(mcs)
        data = lzw_encode(sub.tobytes(), mcs)
        for i in range(0, len(data), 255):
            chunk = data[i:i + 255]
            out.append(len(chunk))
            out += chunk
        out.append(0)
    out.append(0x3B)
    return bytes(out)


# ---------------------------------------------------------------------------- decoder

def decode(blob):
    """Compose every frame (standard GIF89a semantics).  Returns (palette, [index arrays], [delays ms], info)."""
    assert blob[:6] == b"GIF89a"
    w, h, packed, bg, _ = struct.unpack("<HHBBB", blob[6:13])
    pos = 13
    gct = None
    if packed & 0x80:
        n = 2 << (packed & 7)
        gct = [tuple(blob[pos + 3 * i:pos + 3 * i + 3]) for i in range(n)]
        pos += 3 * n
    canvas = np.zeros((h, w), np.int32)
    first_trans = None
    frames, delays, info = [], [], []
    gce = None
    while True:
        b = blob[pos]
        pos += 1
        if b == 0x3B:
            break
        if b == 0x21:
            label = blob[pos]
            pos += 1
            blocks = bytearray()
            while blob[pos]:
                blocks += blob[pos + 1:pos + 1 + blob[pos]]
                pos += 1 + blob[pos]
            pos += 1
            if label == 0xF9:
                gce = (blocks[0] >> 2 & 7, blocks[0] & 1, blocks[1] | blocks[2] << 8, blocks[3])
            continue
        assert b == 0x2C
        x, y, fw, fh, fp = struct.unpack("<HHHHB", blob[pos:pos + 9])
        pos += 9
        assert not fp & 0x80 and not fp & 0x40
        mcs = blob[pos]
        pos += 1
        data = bytearray()
        while blob[pos]:
            data += blob[pos + 1:pos + 1 + blob[pos]]
            pos += 1 + blob[pos]
        pos += 1
        px = np.frombuffer(lzw_decode(bytes(data), mcs, fw * fh), np.uint8).reshape(fh, fw).astype(np.int32)
        disp, tflag, delay, tidx = gce if gce else (0, 0, 0, 0)
        if first_trans is None:
            first_trans = tidx if tflag else -1
        before = canvas.copy()
        region = canvas[y:y + fh, x:x + fw]
        if tflag:
            m = px != tidx
            region[m] = px[m]
        else:
            region[:] = px
        frames.append(canvas.copy())
        delays.append(delay * 10)
        info.append(dict(rect=(x, y, fw, fh), disposal=disp, transparent=tidx if tflag else None))
        if disp == 2:
            canvas[y:y + fh, x:x + fw] = first_trans if first_trans >= 0 else bg
        elif disp == 3:
            canvas = before
        gce = None
    return gct, frames, delays, info
