"""Ravilo's head as a small emblem: tray icons and the windows' title bars.

Drawn in a 48-unit box with heavier lines than the full character so it
stays readable down to 16 pixels.
"""
import math

import numpy as np

from . import palette as P
from .canvas import Canvas


def grey(c):
    g = int(0.30 * c[0] + 0.55 * c[1] + 0.15 * c[2])
    return (int(g * 0.85 + 30), int(g * 0.9 + 28), min(255, int(g * 0.95 + 44)))


def draw_head(c, on=True, ring=True):
    col = (lambda x: x) if on else grey
    ow = 2.2 if c.w * c.ss / c.k < 40 else 1.6
    # bells
    for sgn in (-1, 1):
        ax, ay = 24 + sgn * 13, 13
        deg = sgn * 32 + (sgn * 8 if on and ring else 0)
        pts = []
        for a in range(0, 181, 15):
            u, v = 10 * math.cos(math.radians(a)), -10 * math.sin(math.radians(a))
            r = math.radians(deg)
            pts.append((ax + u * math.cos(r) - v * math.sin(r), ay + u * math.sin(r) + v * math.cos(r)))
        c.polygon(pts, col(P.BELL), ow)
    # head
    c.ellipse(24, 29, 19, 17, col(P.BODY), ow)
    c.ellipse(24, 38, 11, 6, col(P.BELLY))
    # eyes
    for ex in (17, 31):
        if on:
            c.ellipse(ex, 26, 6.2, 6.6, P.EYE_WHITE, ow * 0.8)
            c.ellipse(ex + 0.6, 26.8, 3.0, 3.0, P.PUPIL)
        else:
            c.arc(ex, 26, 5.5, 3.5, 20, 160, P.OUTLINE, ow)
    c.arc(24, 33, 4, 3, 25, 155, P.OUTLINE, ow * 0.8)
    if on and ring:
        for sgn in (-1, 1):
            for i, a in enumerate((-60, -35)):
                aa = math.radians(a if sgn > 0 else 180 - a)
                x0, y0 = 24 + sgn * 13 + 12 * math.cos(aa), 13 + 12 * math.sin(aa)
                c.line([(x0, y0), (x0 + 5 * math.cos(aa), y0 + 5 * math.sin(aa))], P.OUTLINE, ow * 0.9)


def icon_rgba(size, on, ring=True):
    """An RGBA icon (anti-aliased edges with real alpha: icons are blended, not keyed)."""
    c = Canvas(size, size, ss=8, scale=size / 48.0)
    draw_head(c, on=on, ring=ring)
    if not on:
        # a small "z" for the sleeping alarm
        c.line([(37, 3), (46, 3), (37, 12), (46, 12)], P.OUTLINE, 4.0)
        c.line([(37, 3), (46, 3), (37, 12), (46, 12)], P.SKY, 1.8)
    a = np.asarray(c.img, dtype=np.float64).reshape(size, 8, size, 8, 4)
    alpha = a[..., 3] / 255.0
    asum = alpha.sum(axis=(1, 3))
    rgb = (a[..., :3] * alpha[..., None]).sum(axis=(1, 3))
    nz = asum > 0
    rgb[nz] /= asum[nz][:, None]
    cov = alpha.mean(axis=(1, 3))
    out = np.zeros((size, size, 4), np.uint8)
    out[..., :3] = np.clip(np.rint(rgb), 0, 255)
    out[..., 3] = np.clip(np.rint(cov * 255), 0, 255)
    return out


def app_icon_rgba(size):
    """The program's own icon: the awake head with its bells at rest."""
    return icon_rgba(size, True, ring=False)


def installer_side(w=164, h=314):
    """The installer's welcome and finish picture: the ringing head on a sky that fades to
    cream. RGB, opaque."""
    t = np.linspace(0.0, 1.0, h)[:, None, None]
    sky, cream = np.array(P.SKY, np.float64), np.array(P.CREAM, np.float64)
    img = np.broadcast_to(sky * (1 - t) + cream * t, (h, w, 3)).copy()
    head = icon_rgba(136, True).astype(np.float64)
    a = head[..., 3:] / 255.0
    x0, y0 = (w - 136) // 2, 60
    img[y0:y0 + 136, x0:x0 + 136] = head[..., :3] * a + img[y0:y0 + 136, x0:x0 + 136] * (1 - a)
    return np.clip(np.rint(img), 0, 255).astype(np.uint8)


def emblem(size):
    """Hard-edged head for pictures on the purple key: (rgb, opaque)."""
    c = Canvas(size, size, ss=4, scale=size / 48.0)
    draw_head(c, on=True, ring=False)
    return c.finish()
