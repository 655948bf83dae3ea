"""Writers for Windows BMP (24-bit, or 8-bit run-length, bottom-up) and ICO files, and PCM WAV."""
import struct
import wave

import numpy as np
from PIL import Image


def bmp_bytes(rgb):
    h, w, _ = rgb.shape
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    pad = bytes(stride - w * 3)
    for y in range(h - 1, -1, -1):            # bottom-up
        body += rgb[y, :, ::-1].tobytes() + pad
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return head + info + bytes(body)


def indexed(rgb, key):
    """-> (palette of at most 256 RGB tuples, index array).  Pictures of more than 256 colours
    are reduced by median cut without dithering; the key keeps an entry of its own, so the
    transparent area stays exactly the key and no other pixel becomes it."""
    h, w, _ = rgb.shape
    flat = rgb.reshape(-1, 3)
    is_key = np.all(flat == np.array(key, dtype=np.uint8), axis=1)
    colours, inverse = np.unique(flat, axis=0, return_inverse=True)
    inverse = inverse.reshape(-1)
    if len(colours) <= 256:
        return [tuple(int(v) for v in c) for c in colours], inverse.reshape(h, w)
    rest = flat[~is_key]
    q = Image.fromarray(rest.reshape(1, -1, 3)).quantize(255, method=Image.Quantize.MEDIANCUT,
                                                         dither=Image.Dither.NONE)
    pal = np.array(q.getpalette()[:3 * 255], dtype=np.uint8).reshape(-1, 3)
    idx = np.zeros(h * w, dtype=np.int64)
    idx[~is_key] = np.array(q, dtype=np.int64).reshape(-1) + 1
    return [tuple(key)] + [tuple(int(v) for v in c) for c in pal], idx.reshape(h, w)


def rle8_row(row):
    """One row of 8-bit run-length data, without its end-of-line mark."""
    out = bytearray()
    i, n = 0, len(row)
    while i < n:
        run = 1
        while i + run < n and run < 255 and row[i + run] == row[i]:
            run += 1
        if run >= 2:
            out += bytes((run, row[i]))
            i += run
            continue
        j = i                      # a literal stretch: up to the next run of two
        while j < n and j - i < 255 and not (j + 1 < n and row[j + 1] == row[j]):
            j += 1
        lit = row[i:j]
        if len(lit) >= 3:
            out += bytes((0, len(lit))) + bytes(int(v) for v in lit)
            if len(lit) % 2:
                out.append(0)
        else:
            for v in lit:
                out += bytes((1, int(v)))
        i = j
    return out


def rle8_bmp_bytes(rgb, key):
    h, w, _ = rgb.shape
    pal, idx = indexed(rgb, key)
    body = bytearray()
    for y in range(h - 1, -1, -1):            # bottom-up
        body += rle8_row(idx[y]) + b"\0\0"
    body[-1] = 1                              # the last end of line becomes end of bitmap
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in pal)
    off = 14 + 40 + len(table)
    head = struct.pack("<2sIHHI", b"BM", off + len(body), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, len(body), 2835, 2835, len(pal), 0)
    return head + info + table + bytes(body)


def write_bmp_rle8(path, rgb, key):
    """A picture built into the program: 8-bit run-length, to keep the program small."""
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(rle8_bmp_bytes(np.ascontiguousarray(rgb, dtype=np.uint8), key))


def write_bmp(path, rgb):
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(bmp_bytes(np.ascontiguousarray(rgb, dtype=np.uint8)))


def ico_bytes(images):
    """images: RGBA uint8 arrays (square, <= 256).  32-bit DIB entries with an AND mask."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for rgba in images:
        h, w, _ = rgba.shape
        xor = bytearray()
        for y in range(h - 1, -1, -1):
            row = rgba[y]
            xor += row[:, [2, 1, 0, 3]].tobytes()
        mstride = ((w + 31) // 32) * 4
        andm = bytearray()
        for y in range(h - 1, -1, -1):
            bits = np.packbits(rgba[y, :, 3] < 128)
            andm += bits.tobytes() + bytes(mstride - len(bits))
        hdr = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
        blob = hdr + bytes(xor) + bytes(andm)
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def write_wav(path, samples, rate, channels=1):
    """samples: int16 array (frames x channels, or 1-D for mono)."""
    path.parent.mkdir(parents=True, exist_ok=True)
    data = np.asarray(samples, dtype="<i2")
    with wave.open(str(path), "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(data.tobytes())
