"""Ravilo, the alarm critter: a round tangerine creature with two brass
alarm-bell ears, a bell-hammer antenna, a clock-hand tail, a cream belly with
clock ticks and big googly eyes.

All coordinates are those of the 172 x 136 movie frame.  The eyes' centre
pixels are fixed: (90, 60) and (67, 60) -- in the main window that is
(230, 60) and (207, 60), where the program lays its pupil bitmaps.
"""
import math

from . import palette as P
from .canvas import Canvas

W, H = 172, 136

# Eye centre pixels (the program's pupil points) and the clamps the program
# applies to the pupil point: no more than 6 px down, the x=90 eye no more than
# 2 px and the x=67 eye no more than 1 px toward the other.
EYES = {
    "l": {"c": (90, 60), "xmin": 88, "xmax": None},
    "r": {"c": (67, 60), "xmin": None, "xmax": 68},
}
PUPIL_R = 7          # pointer-following radius
PUPIL_SIZE = 7       # pupil bitmap is 7 x 7, centred on the point
WHITE_RX, WHITE_RY = 12.2, 12.6

FEET_Y = 131.0       # the line the creature stands on

# The movies draw the character squeezed toward the eyes' row, (gx, gy, cx, cy): so that
# the whole pet stays inside the part of the frame that the normal layout shows on screen
# (x < 139, y < 120).  The eyes keep their size and their centre pixels.
COMPACT = (0.8, 0.74, 78.5, 60.0)


def pupil_points(eye, n=1):
    """Every point the program can centre a pupil on, for one eye, in the frame of the set
    of scale n (centre, radius and clamps n times the 1x ones)."""
    cx, cy = EYES[eye]["c"]
    cx, cy, r = cx * n, cy * n, PUPIL_R * n
    xmin, xmax = EYES[eye]["xmin"], EYES[eye]["xmax"]
    pts = set()
    for dx in range(-40 * n, 40 * n + 1):
        for dy in range(-40 * n, 40 * n + 1):
            d = math.hypot(dx, dy)
            if d < r:
                px, py = cx + dx, cy + dy
            else:
                px = round(dx * r / d + cx)
                py = round(dy * r / d + cy)
            py = min(py, cy + 6 * n)
            if xmin is not None:
                px = max(px, xmin * n)
            if xmax is not None:
                px = min(px, xmax * n)
            pts.add((px, py))
    return sorted(pts)


def clamp_look(eye, lx, ly):
    """Keep a drawn pupil inside the range the program's pupils can reach."""
    d = math.hypot(lx, ly)
    if d > PUPIL_R:
        lx, ly = lx * PUPIL_R / d, ly * PUPIL_R / d
    ly = min(ly, 6)
    if eye == "l":
        lx = max(lx, -2)
    else:
        lx = min(lx, 1)
    return lx, ly


DEFAULT = dict(
    dx=0.0, dy=0.0, sq=1.0, scale=1.0, show=True,
    eyes="open", look=(0.0, 0.0), lid=0.0,
    mouth="smile", blush=False,
    arm_l=18.0, arm_r=18.0,
    bell_l=0.0, bell_r=0.0, clapper=0.0,
    tail=0.0, feet=0.0,
    props=(),
)


def pose(**kw):
    p = dict(DEFAULT)
    for k, v in kw.items():
        if k not in DEFAULT:
            raise KeyError(k)
        p[k] = v
    return p


class Body:
    """Maps body-attached coordinates through hop, squash and scale."""

    def __init__(self, p):
        self.sy = p["sq"] * p["scale"]
        self.sx = (1.0 + (1.0 - p["sq"]) * 0.6) * p["scale"]
        self.dx, self.dy = p["dx"], p["dy"]

    def __call__(self, x, y):
        return (79.0 + (x - 79.0) * self.sx + self.dx,
                FEET_Y + (y - FEET_Y) * self.sy + self.dy)

    def rx(self, r):
        return r * self.sx

    def ry(self, r):
        return r * self.sy


def rot(x, y, deg):
    a = math.radians(deg)
    return (x * math.cos(a) - y * math.sin(a), x * math.sin(a) + y * math.cos(a))


def draw_bell(c, B, ax, ay, deg):
    """A brass alarm bell whose rim centre sits at (ax, ay), tilted by deg."""
    def T(x, y):
        u, v = rot(x, y, deg)
        return B(ax + u, ay + v)
    s = B.sx
    # stem into the head
    c.capsule([T(0, 2), T(0, 9)], P.HAND, 2.6 * s, 0.8)
    dome = [T(13.0 * math.cos(math.radians(a)), -13.0 * math.sin(math.radians(a)) * 1.05)
            for a in range(0, 181, 10)]
    c.polygon(dome, P.BELL, 1.2)
    hl = [T(-7 + 4 * math.cos(math.radians(a)), -8 + 2.6 * math.sin(math.radians(a))) for a in range(0, 360, 30)]
    c.polygon(hl, P.BELL_LIGHT)
    rim = [T(14.5 * math.cos(math.radians(a)), 2.6 * math.sin(math.radians(a))) for a in range(0, 360, 15)]
    c.polygon(rim, P.BELL_SHADE, 1.1)
    kx, ky = T(0, -14.6)
    c.ellipse(kx, ky, 2.3 * s, 2.3 * s, P.BELL_SHADE, 1.0)


def draw_character(c, p):
    if not p["show"]:
        return
    B = Body(p)
    # --- behind the body: tail, antenna, bells
    tx, ty = B(115, 112)
    ang = math.radians(-35 + p["tail"])
    L = 25 * B.sx
    ex, ey = tx + L * math.cos(ang), ty + L * math.sin(ang)
    c.capsule([(tx, ty), (ex, ey)], P.HAND, 2.8 * B.sx, 1.0)
    # arrow head of the clock hand
    ux, uy = math.cos(ang), math.sin(ang)
    vx, vy = -uy, ux
    hs = 5.5 * B.sx
    tip = (ex + ux * hs * 1.3, ey + uy * hs * 1.3)
    c.polygon([tip, (ex + vx * hs, ey + vy * hs), (ex - ux * hs * 0.4, ey - uy * hs * 0.4),
               (ex - vx * hs, ey - vy * hs)], P.BELL, 1.1)

    top = B(79, 42)
    knob = B(79 + p["clapper"], 19)
    c.capsule([top, knob], P.HAND, 2.4 * B.sx, 0.9)
    c.ellipse(knob[0], knob[1], 4.2 * B.sx, 4.2 * B.sy, P.BELL, 1.2)
    c.ellipse(knob[0] - 1.3 * B.sx, knob[1] - 1.3 * B.sy, 1.3 * B.sx, 1.3 * B.sy, P.BELL_LIGHT)

    draw_bell(c, B, 56, 37, -33 + p["bell_r"])
    draw_bell(c, B, 102, 37, 33 + p["bell_l"])

    # --- body
    bx, by = B(79, 84)
    c.ellipse(bx, by, B.rx(42), B.ry(46), P.BODY, 1.3)
    # soft shading: a darker lower-right crescent and a light top-left spot
    c.ellipse(bx + B.rx(3), by + B.ry(4), B.rx(38.5), B.ry(41.5), P.BODY_SHADE)
    c.ellipse(bx - B.rx(1.5), by - B.ry(1.5), B.rx(38.5), B.ry(42.5), P.BODY)
    lx, ly = B(60, 50)
    c.ellipse(lx, ly, B.rx(7), B.ry(4.5), P.BODY_LIGHT)
    # belly with clock ticks
    bcy = 103 if c.g is None else 107
    ex_, ey_ = B(79, bcy)
    c.ellipse(ex_, ey_, B.rx(25), B.ry(21), P.BELLY)
    for a in range(0, 360, 30):
        r0, r1 = (15.5, 19.0) if a % 90 == 0 else (17.0, 19.0)
        ca, sa = math.cos(math.radians(a)), math.sin(math.radians(a))
        c.line([B(79 + r0 * ca * 1.15, bcy + r0 * sa), B(79 + r1 * ca * 1.15, bcy + r1 * sa)],
               P.CREAM_DARK if a % 90 else P.BELL_SHADE, 1.3 if a % 90 else 1.8)

    # --- arms
    for side, a in (("l", p["arm_l"]), ("r", p["arm_r"])):
        sgn = -1 if side == "l" else 1
        sx, sy = B(79 + sgn * 36, 90)
        ar = math.radians(a)
        L = 13 * B.sx
        c.capsule([(sx, sy), (sx + sgn * math.sin(ar) * L, sy + math.cos(ar) * L)], P.BODY, 8.5 * B.sx, 1.2)

    # --- feet
    for fx in (64, 94):
        x, y = B(fx, 129.5 - p["feet"])
        c.ellipse(x, y, B.rx(11), B.ry(5.2), P.BODY_SHADE, 1.2)

    # --- face
    if p["blush"]:
        for fx in (55, 103):
            x, y = B(fx, 77 if c.g is None else 82)
            c.ellipse(x, y, B.rx(5.5), B.ry(3), P.CHEEK)
    draw_eyes(c, B, p)
    draw_mouth(c, B, p)


def draw_eyes(c, B, p):
    """The eyes are drawn unsqueezed, centred where the squeezed head puts them."""
    g = c.g
    c.g = None
    try:
        _draw_eyes(c, B, p, g)
    finally:
        c.g = g


def _squeeze(g, x, y, inverse=False):
    if g is None:
        return x, y
    gx, gy, cx, cy = g
    if inverse:
        return cx + (x - cx) / gx, cy + (y - cy) / gy
    return cx + (x - cx) * gx, cy + (y - cy) * gy


def _draw_eyes(c, B, p, g):
    kind = p["eyes"]
    for eye in ("r", "l"):
        ecx, ecy = EYES[eye]["c"]
        bx, by = _squeeze(g, ecx + 0.5, ecy + 0.5, inverse=True)
        x, y = _squeeze(g, *B(bx, by))
        rx, ry = B.rx(WHITE_RX), B.ry(WHITE_RY)
        if kind == "happy":
            c.arc(x, y + B.ry(3), B.rx(7), B.ry(6), 200, 340, P.OUTLINE, 2.2 * B.sx)
            continue
        if kind == "shut":
            c.ellipse(x, y, rx, ry, P.BODY_LIGHT, 1.2)
            c.arc(x, y + B.ry(1), B.rx(7.5), B.ry(4.5), 20, 160, P.OUTLINE, 2.0 * B.sx)
            continue
        if kind == "wide":
            rx, ry = rx + B.rx(0.8), ry + B.ry(0.8)
        c.ellipse(x, y, rx, ry, P.EYE_WHITE, 1.2)
        if kind in ("open", "wide", "half"):
            lx, ly = clamp_look(eye, *p["look"])
            pr = 2.6 if kind == "wide" else 3.45
            px, py = x + B.rx(lx), y + B.ry(ly)
            c.ellipse(px, py, B.rx(pr), B.ry(pr), P.PUPIL)
            c.ellipse(px - B.rx(1.1), py - B.ry(1.1), B.rx(0.95), B.ry(0.95), P.WHITE)
        if kind == "half" or p["lid"] > 0:
            h = (0.15 if kind == "half" else 1.0 - 2 * p["lid"]) * ry
            h = max(-ry * 0.98, min(ry * 0.98, h))
            a = math.asin(h / (ry + 1.2))
            pts = []
            n = 20
            for i in range(n + 1):
                t = (math.pi - a) + (math.pi + 2 * a) * i / n
                pts.append((x + (rx + 1.2) * math.cos(t), y + (ry + 1.2) * math.sin(t)))
            c.polygon(pts, P.BODY_LIGHT, 1.0)


def draw_mouth(c, B, p):
    m = p["mouth"]
    x, y = B(79, 80 if c.g is None else 88)
    if m == "smile":
        c.arc(x, y - B.ry(3), B.rx(6), B.ry(4.5), 25, 155, P.OUTLINE, 1.8 * B.sx)
    elif m == "flat":
        c.line([(x - B.rx(4), y), (x + B.rx(4), y)], P.OUTLINE, 1.8 * B.sx)
    elif m == "wavy":
        pts = [(x - B.rx(6) + B.rx(12) * i / 12, y + B.ry(1.2) * math.sin(i / 12 * 4 * math.pi)) for i in range(13)]
        c.line(pts, P.OUTLINE, 1.6 * B.sx)
    elif m in ("open", "grin"):
        w = 6.5 if m == "open" else 9.0
        hgt = 6.0 if m == "open" else 7.0
        pts = [(x + B.rx(w) * math.cos(math.radians(a)), y - B.ry(2) + B.ry(hgt) * math.sin(math.radians(a)))
               for a in range(0, 181, 12)]
        c.polygon(pts, P.MOUTH, 1.2)
        c.ellipse(x, y + B.ry(hgt - 4.2), B.rx(w * 0.55), B.ry(2.0), P.TONGUE)
    elif m == "o":
        c.ellipse(x, y + B.ry(1), B.rx(3.0), B.ry(3.6), P.MOUTH, 1.2)
    elif m == "yawn":
        c.ellipse(x, y + B.ry(3.5), B.rx(7.0), B.ry(9.0), P.MOUTH, 1.3)
        c.ellipse(x, y + B.ry(8.5), B.rx(4.5), B.ry(3.0), P.TONGUE)
    elif m == "none":
        pass
    else:
        raise ValueError(m)


# ---------------------------------------------------------------------------
# props: drawn in frame coordinates, not attached to the body

def prop_zee(c, x, y, s, col=P.TEAL_LIGHT):
    c.text_outlined(x, y, "Z", s * 1.5, col, ow=1.0)


def prop_note(c, x, y, s=1.0, col=P.TEAL):
    c.capsule([(x + 3.2 * s, y + 2 * s), (x + 3.2 * s, y - 10 * s)], col, 1.8 * s, 0.9)
    c.capsule([(x + 3.2 * s, y - 10 * s), (x + 8 * s, y - 7 * s)], col, 2.0 * s, 0.9)
    c.ellipse(x, y + 2.5 * s, 4.0 * s, 3.0 * s, col, 1.1)


def prop_heart(c, x, y, s=1.0, col=P.RED):
    pts = []
    for i in range(40):
        t = 2 * math.pi * i / 40
        hx = 16 * math.sin(t) ** 3
        hy = -(13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t))
        pts.append((x + hx * s * 0.32, y + hy * s * 0.32))
    c.polygon(pts, col, 1.1)
    c.ellipse(x - 2.3 * s, y - 2.0 * s, 1.2 * s, 1.0 * s, P.RED_LIGHT)


def prop_sparkle(c, x, y, s=1.0, col=P.YELLOW):
    pts = []
    s *= 1.5
    for i in range(8):
        r = 6 * s if i % 2 == 0 else 2.2 * s
        a = math.radians(i * 45 - 90)
        pts.append((x + r * math.cos(a), y + r * math.sin(a)))
    c.polygon(pts, col, 1.0)


def prop_puff(c, x, y, s=1.0, col=P.GREY_LIGHT):
    blobs = [(0, 0, 1.0), (-0.9, 0.25, 0.7), (0.9, 0.3, 0.72), (-0.45, -0.6, 0.62), (0.5, -0.55, 0.66),
             (0.0, 0.55, 0.7)]
    r = 14 * s
    for bx, by, br in blobs:
        c.ellipse(x + bx * r, y + by * r, br * r, br * r * 0.9, P.OUTLINE)
    for bx, by, br in blobs:
        c.ellipse(x + bx * r, y + by * r, br * r - 1.3, br * r * 0.9 - 1.3, col)
    for bx, by, br in blobs[:3]:
        c.ellipse(x + bx * r - br * r * 0.3, y + by * r - br * r * 0.3, br * r * 0.3, br * r * 0.22, P.WHITE)


def prop_bubble(c, x, y, txt, size=11, s=1.0, tail="left"):
    """A speech bubble whose tail points at (x, y)."""
    from .canvas import text_width
    tw = text_width(txt, size) + 10
    bw, bh = tw * s, (size + 8) * s
    if tail == "left":
        x0, y0 = x + 6 * s, y - bh - 4 * s
        tail_pts = [(x, y), (x0 + 6 * s, y0 + bh - 2), (x0 + 14 * s, y0 + bh - 2)]
    else:
        x0, y0 = x - bw - 6 * s, y - bh - 4 * s
        tail_pts = [(x, y), (x0 + bw - 6 * s, y0 + bh - 2), (x0 + bw - 14 * s, y0 + bh - 2)]
    c.polygon(tail_pts, P.WHITE, 1.1)
    c.rrect(x0, y0, x0 + bw, y0 + bh, 6 * s, P.WHITE, 1.2)
    c.polygon(tail_pts, P.WHITE)
    if s > 0.6:
        c.text(x0 + bw / 2, y0 + bh / 2 + 0.5, txt, size * s, P.INK)


def prop_butterfly(c, x, y, flap=0.0, s=1.0):
    k = 0.35 + 0.65 * abs(math.cos(flap * math.pi))
    for sgn in (-1, 1):
        c.ellipse(x + sgn * 4.2 * s * k, y - 2.5 * s, 4.6 * s * k, 4.4 * s, P.SKY, 1.0)
        c.ellipse(x + sgn * 3.0 * s * k, y + 3.0 * s, 3.2 * s * k, 3.0 * s, P.YELLOW, 1.0)
    c.capsule([(x, y - 4 * s), (x, y + 5 * s)], P.OUTLINE, 1.6 * s, 0)


def prop_lines(c, x, y, deg, n=3, length=6.0, spread=24.0, dist=4.0):
    """Short motion/ring strokes fanning out around direction deg from (x, y)."""
    for i in range(n):
        a = math.radians(deg + (i - (n - 1) / 2) * spread)
        x0, y0 = x + dist * math.cos(a), y + dist * math.sin(a)
        c.capsule([(x0, y0), (x0 + length * math.cos(a), y0 + length * math.sin(a))], P.YELLOW, 1.6, 0.9)


def prop_exclaim(c, x, y, s=1.0):
    c.polygon([(x - 2.6 * s, y - 12 * s), (x + 2.6 * s, y - 12 * s), (x + 1.2 * s, y + 1 * s), (x - 1.2 * s, y + 1 * s)],
              P.RED, 1.1)
    c.ellipse(x, y + 5 * s, 2.2 * s, 2.2 * s, P.RED, 1.1)


PROPS = {
    "zee": prop_zee, "note": prop_note, "heart": prop_heart, "sparkle": prop_sparkle,
    "puff": prop_puff, "bubble": prop_bubble, "butterfly": prop_butterfly, "lines": prop_lines,
    "exclaim": prop_exclaim,
}


def render(p, w=W, h=H, scale=1.0, origin=(0.0, 0.0), ss=4, compact=False):
    """Draw one pose; returns (rgb, opaque) at w x h.  compact: the movies' squeezed
    character (props stay in frame coordinates)."""
    c = Canvas(w, h, ss=ss, scale=scale, origin=origin)
    back = [pr for pr in p["props"] if pr[0] == "puff" and len(pr) > 2 and pr[2].get("behind")]
    for kind, args, *rest in back:
        PROPS[kind](c, *args)
    c.g = COMPACT if compact else None
    draw_character(c, p)
    c.g = None
    for pr in p["props"]:
        if pr in back:
            continue
        kind, args = pr[0], pr[1]
        kw = pr[2] if len(pr) > 2 else {}
        kw = {k: v for k, v in kw.items() if k != "behind"}
        PROPS[kind](c, *args, **kw)
    return c.finish()
