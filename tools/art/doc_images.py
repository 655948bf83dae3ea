#!/usr/bin/python3
"""Draw the pictures of docs/making-a-pet.md from the committed movies and eye bitmaps.

    /usr/bin/python3 tools/art/doc_images.py [repo root]

Writes docs/making-a-pet/*.png.  Reads data/Movies and data/Images/Eyes only, so it
shows exactly what ships.
"""
import math
import struct
import sys
from pathlib import Path

import numpy as np
from PIL import Image, ImageDraw

sys.path.insert(0, str(Path(__file__).resolve().parent))

from ravart import character, gif  # noqa: E402
from ravart import palette as P  # noqa: E402
from ravart.canvas import font  # noqa: E402

BACK = (60, 56, 58)
LIGHT, DARK = (236, 236, 236), (204, 204, 204)
EDGE = (230, 40, 40)
INK = (255, 255, 255)
VISIBLE_W, VISIBLE_H = 139, 120

ROLES = [
    ("Control/1.gif", "greeting, once"), ("Control/2.gif", "goodbye, once"),
    ("Control/3.gif", "coming back, once"), ("Control/4.gif", "ringing, looped"),
    ("Control/10.gif", "spare, never played"), ("Idle/5.gif", "idle"), ("Idle/6.gif", "idle"),
    ("Idle/7.gif", "idle"), ("Idle/8.gif", "idle"), ("Idle/9.gif", "idle"), ("Idle/11.gif", "idle"),
    ("Idle/12.gif", "idle"), ("Idle/13.gif", "idle"), ("Idle/14.gif", "idle, eyes"),
    ("Idle/15.gif", "idle, eyes"), ("Idle/16.gif", "idle, eyes"),
]


def frames_rgba(path):
    """Every composed frame as an H x W x 4 array (alpha 0 where transparent)."""
    pal, frames, _, info = gif.decode(path.read_bytes())
    tr = info[0]["transparent"]
    out = []
    for idx in frames:
        rgb = np.array(pal, np.uint8)[idx]
        alpha = np.where(idx == tr, 0, 255).astype(np.uint8)
        out.append(np.dstack([rgb, alpha]))
    return out


def read_bmp(path):
    blob = path.read_bytes()
    off = struct.unpack("<I", blob[10:14])[0]
    w, h = struct.unpack("<ii", blob[18:26])
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(h):
        line = blob[off + (h - 1 - y) * stride:][:3 * w]
        rows.append([(line[i + 2], line[i + 1], line[i]) for i in range(0, 3 * w, 3)])
    return np.array(rows, np.uint8)


def on_checker(rgba, edge=True, cell=8):
    h, w = rgba.shape[:2]
    yy, xx = np.mgrid[0:h, 0:w]
    back = np.where((((xx // cell) + (yy // cell)) % 2)[..., None] == 1, DARK, LIGHT).astype(np.uint8)
    if edge:
        back[:, VISIBLE_W] = EDGE
        back[VISIBLE_H, :] = EDGE
    a = rgba[..., 3:4] > 0
    return np.where(a, rgba[..., :3], back).astype(np.uint8)


def zoom(rgb, k):
    return np.repeat(np.repeat(rgb, k, axis=0), k, axis=1)


def frame_areas(data, out):
    """One frame at 3x: the visible corner, the eye centres and how far the pupils reach."""
    k = 3
    f = frames_rgba(data / "Movies" / "Idle" / "14.gif")[0]
    img = Image.fromarray(zoom(on_checker(f, edge=False, cell=8), k))
    d = ImageDraw.Draw(img)
    # the part that is off screen at the first-run place
    shade = Image.new("RGBA", img.size, (0, 0, 0, 0))
    sd = ImageDraw.Draw(shade)
    sd.rectangle([VISIBLE_W * k, 0, img.width, img.height], fill=(230, 40, 40, 70))
    sd.rectangle([0, VISIBLE_H * k, VISIBLE_W * k, img.height], fill=(230, 40, 40, 70))
    img = Image.alpha_composite(img.convert("RGBA"), shade).convert("RGB")
    d = ImageDraw.Draw(img)
    d.line([(VISIBLE_W * k, 0), (VISIBLE_W * k, VISIBLE_H * k)], fill=EDGE, width=2)
    d.line([(0, VISIBLE_H * k), (VISIBLE_W * k, VISIBLE_H * k)], fill=EDGE, width=2)
    for cx, cy in ((67, 60), (90, 60)):
        x, y = (cx + 0.5) * k, (cy + 0.5) * k
        r = 10.5 * k
        d.ellipse([x - r, y - r, x + r, y + r], outline=(40, 120, 230), width=2)
        d.line([(x - 5, y), (x + 5, y)], fill=(40, 120, 230), width=2)
        d.line([(x, y - 5), (x, y + 5)], fill=(40, 120, 230), width=2)
    f12 = font(12)
    d.text((VISIBLE_W * k + 6, 8), "off screen at\nthe first-run\nplace", fill=(120, 20, 20), font=f12)
    d.text((6, VISIBLE_H * k + 8), "x < 139 and y < 120: on screen", fill=(120, 20, 20), font=f12)
    d.text((6, 6), "eye centres (67, 60) and (90, 60);\nblue: where a pupil can reach", fill=(20, 60, 140), font=f12)
    img.save(out / "frame-areas.png", optimize=True)


def movie_grid(data, out):
    """A typical frame of each of the sixteen movies, with its file and role."""
    cols, cw, ch, lab = 4, 172, 136, 30
    g = Image.new("RGB", (cols * (cw + 8) + 8, 4 * (ch + lab + 8) + 8), BACK)
    d = ImageDraw.Draw(g)
    for i, (rel, role) in enumerate(ROLES):
        fr = frames_rgba(data / "Movies" / rel)
        pick = fr[len(fr) // 2] if rel.startswith("Control/") and rel not in ("Control/4.gif",) else fr[min(6, len(fr) - 1)]
        if rel in ("Control/1.gif", "Control/3.gif"):
            pick = fr[-3]
        x, y = 8 + (i % cols) * (cw + 8), 8 + (i // cols) * (ch + lab + 8)
        d.text((x, y), "Movies\\" + rel.replace("/", "\\"), fill=INK, font=font(12))
        d.text((x, y + 14), role, fill=(200, 200, 200), font=font(11, bold=False))
        g.paste(Image.fromarray(on_checker(pick, edge=rel != "Control/4.gif")), (x, y + lab))
    g.save(out / "movies.png", optimize=True)


def eyes(data, out):
    """The pupil bitmap, an eye movie's frame without pupils, and with them laid on."""
    k = 3
    left = read_bmp(data / "Images" / "Eyes" / "left.bmp")
    f = frames_rgba(data / "Movies" / "Idle" / "14.gif")[0]
    bare = on_checker(f, edge=False)
    laid = bare.copy()
    key = tuple(left[-1, 0])
    for (cx, cy), (dx, dy) in (((90, 60), (-2, 5)), ((67, 60), (-5, 4))):   # looking down-left
        px, py = cx + dx, cy + dy
        x0, y0 = px - left.shape[1] // 2, py - left.shape[0] // 2
        for yy in range(left.shape[0]):
            for xx in range(left.shape[1]):
                if tuple(left[yy, xx]) != key:
                    laid[y0 + yy, x0 + xx] = left[yy, xx]
    crop = (slice(30, 100), slice(30, 128))
    a = zoom(bare[crop], k)
    b = zoom(laid[crop], k)
    pup = zoom(left, 12)
    h = max(a.shape[0], pup.shape[0])
    panels = ((pup, "left.bmp (x12)"), (a, "Idle\\14.gif: whites only"), (b, "as Ravilo shows it"))
    widths = [max(im.shape[1], font(12).getbbox(txt)[2]) for im, txt in panels]
    g = Image.new("RGB", (sum(widths) + 12 * (len(panels) + 1), h + 30), BACK)
    d = ImageDraw.Draw(g)
    x = 12
    for (im, txt), w in zip(panels, widths):
        g.paste(Image.fromarray(im), (x, 26))
        d.text((x, 6), txt, fill=INK, font=font(12))
        x += w + 12
    g.save(out / "eyes.png", optimize=True)


def fringe(data, out):
    """Our hard dark outline next to the same edge smoothed against the purple key."""
    k = 10
    f = frames_rgba(data / "Movies" / "Idle" / "11.gif")[0]
    y0, x0, n = 84, 38, 22
    patch = f[y0:y0 + n, x0:x0 + n].copy()
    good = np.where(patch[..., 3:4] > 0, patch[..., :3], np.array(P.KEY, np.uint8)).astype(np.uint8)
    bad = good.copy()
    opaque = patch[..., 3] > 0
    pad = np.pad(opaque, 1, constant_values=False)
    edge = opaque & ~(pad[1:-1, :-2] & pad[1:-1, 2:] & pad[:-2, 1:-1] & pad[2:, 1:-1])
    outside = ~opaque & (pad[1:-1, :-2] | pad[1:-1, 2:] | pad[:-2, 1:-1] | pad[2:, 1:-1])
    body = np.array(P.BODY, float)
    keyc = np.array(P.KEY, float)
    bad[edge] = np.rint(0.55 * body + 0.45 * keyc).astype(np.uint8)
    bad[outside] = np.rint(0.2 * body + 0.8 * keyc).astype(np.uint8)
    g = Image.new("RGB", (2 * n * k + 36, n * k + 30), BACK)
    d = ImageDraw.Draw(g)
    for i, (im, txt) in enumerate(((good, "right: a hard dark outline"), (bad, "wrong: smoothed into the purple"))):
        g.paste(Image.fromarray(zoom(im, k)), (12 + i * (n * k + 12), 26))
        d.text((12 + i * (n * k + 12), 6), txt, fill=INK, font=font(12))
    g.save(out / "fringe.png", optimize=True)


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parents[2])
    data = root / "data"
    out = root / "docs" / "making-a-pet"
    out.mkdir(parents=True, exist_ok=True)
    frame_areas(data, out)
    movie_grid(data, out)
    eyes(data, out)
    fringe(data, out)
    print("written:", ", ".join(sorted(p.name for p in out.glob("*.png"))))


if __name__ == "__main__":
    main()
