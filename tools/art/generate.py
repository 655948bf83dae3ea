#!/usr/bin/python3
"""Draw every picture, movie and sound of Ravilo from code.

    /usr/bin/python3 tools/art/generate.py [repo root]

Writes data/Images, data/Movies, data/Sounds, resources/bitmaps, resources/Ravilo.ico,
installer/side.bmp and docs/contact-sheet.png.  Every picture of the program's windows and
movies is drawn once per set: the 1x set where the program has always found it, and each
larger set (SETS) natively at its scale in a folder named after it at the top of each
picture folder: data/Images/2x/..., data/Movies/2x/..., resources/bitmaps/2x/....
Deterministic: a rerun writes identical files.
"""
import sys
from pathlib import Path

import numpy as np
from PIL import Image

sys.path.insert(0, str(Path(__file__).resolve().parent))

from ravart import backgrounds, buttons, character, emblem, files, gif, movies, sheet, sounds  # noqa: E402
from ravart import palette as P  # noqa: E402
from ravart.canvas import Canvas, drawing_set, near_key, set_scale  # noqa: E402

# The larger sets drawn besides 1x.
SETS = (2,)
# The sizes of every icon: the tray takes the one for its DPI (16 at 100 % ... 40 at 250 %).
ICON_SIZES = (16, 20, 24, 32, 40, 48)


def check_picture(name, rgb, key=P.KEY):
    """Refuse to write a picture with near-key fringes or a wrong bottom-left pixel."""
    assert tuple(rgb[-1, 0]) == key, f"{name}: bottom-left pixel is not the transparent colour"
    bad = near_key(rgb)
    assert not bad.any(), f"{name}: {int(bad.sum())} pixels near the purple key"


def pupil_sprite():
    s = [
        "..###..",
        ".#####.",
        "##o####",
        "#######",
        "#######",
        ".#####.",
        "..###..",
    ]
    a = np.zeros((7, 7, 3), np.uint8)
    for y, row in enumerate(s):
        for x, ch in enumerate(row):
            a[y, x] = P.KEY if ch == "." else (P.WHITE if ch == "o" else P.PUPIL)
    if set_scale() == 1:
        return a
    # larger sets: the same round pupil with its highlight, drawn at that size
    c = Canvas(7, 7)
    c.ellipse(3.5, 3.5, 3.5, 3.5, P.PUPIL)
    c.ellipse(2.5, 2.5, 0.75, 0.75, P.WHITE)
    return c.finish(outline=P.PUPIL)[0]


def build_movie(name, script):
    frames = [(character.render(p, compact=True), d) for p, d in script()]
    rgbs = [f[0][0] for f in frames]
    masks = [f[0][1] for f in frames]
    delays = [f[1] for f in frames]
    for i, (rgb, m) in enumerate(zip(rgbs, masks)):
        bad = near_key(rgb) & m
        assert not bad.any(), f"{name} frame {i}: near-key pixels"
    pal, idx = gif.quantize(rgbs, masks)
    for c in pal[1:]:
        d = np.sqrt(sum((a - b) ** 2 for a, b in zip(c, P.KEY)))
        assert d > 40, f"{name}: palette colour {c} too close to the key"
    blob = gif.encode(idx, delays, pal, loop=name in movies.LOOPED)
    _, composed, got_delays, _ = gif.decode(blob)
    assert len(composed) == len(idx)
    for i, (a, b) in enumerate(zip(idx, composed)):
        assert (a == b).all(), f"{name}: frame {i} does not decode to what was drawn"
    if name in movies.EYE_MOVIES:
        check_eye_whites(name, rgbs)
    return blob, pal, composed, delays


def check_eye_whites(name, rgbs):
    """Wherever the program can put a pupil, the movie must show eye white.  A larger set's
    pupil has no centre pixel: it may stand either side of the point."""
    shape = (pupil_sprite() != P.KEY).any(axis=2)
    ph, pw = shape.shape
    n = set_scale()
    for eye in ("l", "r"):
        for px, py in character.pupil_points(eye, n):
            for shift in ((0,) if n == 1 else (0, 1)):
                x0, y0 = px - pw // 2 + shift, py - ph // 2 + shift
                for i, rgb in enumerate(rgbs):
                    patch = rgb[y0:y0 + ph, x0:x0 + pw].astype(int)
                    assert (patch.min(axis=2)[shape] >= 240).all(), \
                        f"{name} frame {i}: no eye white under pupil at {(px, py)}"


def draw_set(root, n):
    """Draw the pictures and movies of the set of scale n and write them into its folders.
    Returns what the contact sheet shows."""
    sub = "" if n == 1 else f"{n}x/"
    images = root / "data" / "Images" / sub
    with drawing_set(n):
        btns = buttons.all_buttons()
        for rel, rgb in sorted(btns.items()):
            check_picture(rel, rgb)
            files.write_bmp(images / rel, rgb)

        pup = pupil_sprite()
        for name in ("left", "right"):
            check_picture(name, pup)
            files.write_bmp(images / "Eyes" / f"{name}.bmp", pup)

        movie_frames = {}
        for rel, script in movies.MOVIES.items():
            blob, pal, composed, delays = build_movie(rel, script)
            out = root / "data" / "Movies" / sub / rel
            out.parent.mkdir(parents=True, exist_ok=True)
            out.write_bytes(blob)
            movie_frames[rel] = (pal, composed, delays)
            print(f"  {sub}{rel:16s} {len(composed):3d} frames {sum(delays) / 1000:5.2f} s {len(blob):7d} bytes")

        # resources built into the program
        res = root / "resources" / "bitmaps" / sub
        bgs = backgrounds.all_backgrounds()
        for name, rgb in bgs.items():
            check_picture(name, rgb)
            files.write_bmp_rle8(res / name, rgb, P.KEY)
        for name, src in (("RingStopFirst.bmp", "MainWindow/istopalarm.bmp"),
                          ("Ring10MinFirst.bmp", "MainWindow/i10minmore.bmp")):
            files.write_bmp_rle8(res / name, btns[src], P.KEY)
        trees = backgrounds.tree_images()
        for name, rgb in trees.items():
            check_picture(name, rgb, key=P.TREE_KEY)
            files.write_bmp_rle8(res / f"{name}.bmp", rgb, P.TREE_KEY)
    return btns, pup, movie_frames, bgs, trees


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parents[2])
    data = root / "data"
    images = data / "Images"

    btns, pup, movie_frames, bgs, trees = draw_set(root, 1)
    for n in SETS:
        draw_set(root, n)

    # tray icons, every size in one file
    for name, on in (("AlarmOffIcon.ico", False), ("AlarmOnIcon.ico", True)):
        ico = files.ico_bytes([emblem.icon_rgba(s, on) for s in ICON_SIZES])
        (images / name).write_bytes(ico)
    # the program's own icon, and the installer's side picture
    (root / "resources" / "Ravilo.ico").write_bytes(
        files.ico_bytes([emblem.app_icon_rgba(s) for s in ICON_SIZES]))
    files.write_bmp(root / "installer" / "side.bmp", emblem.installer_side())

    # sounds
    files.write_wav(data / "Sounds" / "Alarms" / "alarm0.wav", sounds.alarm_chime(), sounds.RATE)
    files.write_wav(data / "Sounds" / "load_codec.wav", sounds.silence(), 22050)

    # contact sheet
    docs = root / "docs"
    docs.mkdir(exist_ok=True)
    img = sheet.contact_sheet(movie_frames, btns, bgs, trees, pup,
                              [emblem.icon_rgba(s, on) for on in (False, True) for s in (16, 32, 48)])
    img.save(docs / "contact-sheet.png", optimize=True)
    print("done")


if __name__ == "__main__":
    main()
