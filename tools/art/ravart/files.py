"""Writers for Windows BMP (24-bit, bottom-up) and ICO files, and PCM WAV."""
import struct
import wave

import numpy as np


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
