"""Supersampled drawing that ends in hard-edged, dark-outlined pictures.

Everything is drawn at SS times the final size with PIL's (hard-edged)
primitives.  `finish` then averages each SS x SS block: the colour is the
average of the covered sub-pixels only, and a pixel is opaque when at least
half of it is covered.  Finally every opaque pixel that touches a transparent
one is painted in the outline colour, so a silhouette never blends into the
purple key: inside colours are smooth, the outside edge is always dark.
"""
import math
from contextlib import contextmanager

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from . import palette as P

SS = 4
FONT_DIR = "/usr/share/fonts/truetype/dejavu/"

# The set being drawn: 1 for the 1x pictures, 2 for the 2x set.  Every picture is described
# in 1x coordinates; a Canvas, the text helpers and the pictures built from them draw at
# this many pixels per 1x pixel, natively (fonts at that size, not enlarged pixels).
_set_scale = 1


def set_scale():
    return _set_scale


@contextmanager
def drawing_set(n):
    """Draw every picture made inside this block for the set of scale n."""
    global _set_scale
    old, _set_scale = _set_scale, n
    try:
        yield
    finally:
        _set_scale = old


def font(size, bold=True, condensed=False):
    name = "DejaVuSans"
    if condensed:
        name += "Condensed"
    if bold:
        name += "-Bold"
    return ImageFont.truetype(FONT_DIR + name + ".ttf", size)


class Canvas:
    """An RGBA drawing surface in final-pixel coordinates (floats allowed)."""

    def __init__(self, w, h, ss=SS, scale=1.0, origin=(0.0, 0.0)):
        n = _set_scale
        self.w, self.h, self.ss = w * n, h * n, ss
        self.k = ss * scale * n
        self.ox, self.oy = origin
        self.img = Image.new("RGBA", (self.w * ss, self.h * ss), (0, 0, 0, 0))
        self.d = ImageDraw.Draw(self.img)
        # optional squeeze (gx, gy, cx, cy) applied before everything else: the character
        # is drawn through it, props are not
        self.g = None

    # coordinate transform -------------------------------------------------
    def p(self, x, y):
        if self.g is not None:
            gx, gy, cx, cy = self.g
            x, y = cx + (x - cx) * gx, cy + (y - cy) * gy
        return ((x - self.ox) * self.k, (y - self.oy) * self.k)

    def s(self, v):
        if self.g is not None:
            v *= math.sqrt(self.g[0] * self.g[1])
        return v * self.k

    # primitives -------------------------------------------------------------
    def ellipse(self, cx, cy, rx, ry, fill, ow=0.0, oc=P.OUTLINE):
        if ow > 0:
            self._ell(cx, cy, rx + ow, ry + ow, oc)
        self._ell(cx, cy, rx, ry, fill)

    def _ell(self, cx, cy, rx, ry, col):
        x0, y0 = self.p(cx - rx, cy - ry)
        x1, y1 = self.p(cx + rx, cy + ry)
        self.d.ellipse([x0, y0, x1, y1], fill=col + (255,))

    def polygon(self, pts, fill, ow=0.0, oc=P.OUTLINE):
        q = [self.p(x, y) for x, y in pts]
        if fill is not None:
            self.d.polygon(q, fill=fill + (255,))
        if ow > 0:
            self.d.line(q + [q[0]], fill=oc + (255,), width=max(1, round(self.s(2 * ow))), joint="curve")
            r = self.s(ow)
            for x, y in q:
                self.d.ellipse([x - r, y - r, x + r, y + r], fill=oc + (255,))

    def line(self, pts, col, width):
        q = [self.p(x, y) for x, y in pts]
        wpx = max(1, round(self.s(width)))
        self.d.line(q, fill=col + (255,), width=wpx, joint="curve")
        r = self.s(width) / 2
        for x, y in (q[0], q[-1]):
            self.d.ellipse([x - r, y - r, x + r, y + r], fill=col + (255,))

    def capsule(self, pts, col, width, ow=1.0, oc=P.OUTLINE):
        """A thick stroke with round ends and a dark rim."""
        if ow > 0:
            self.line(pts, oc, width + 2 * ow)
        self.line(pts, col, width)

    def rrect(self, x0, y0, x1, y1, r, fill, ow=0.0, oc=P.OUTLINE):
        if ow > 0:
            self._rr(x0 - ow, y0 - ow, x1 + ow, y1 + ow, r + ow, oc)
        self._rr(x0, y0, x1, y1, r, fill)

    def _rr(self, x0, y0, x1, y1, r, col):
        a = self.p(x0, y0)
        b = self.p(x1, y1)
        self.d.rounded_rectangle([a[0], a[1], b[0] - 1, b[1] - 1], radius=self.s(r), fill=col + (255,))

    def arc(self, cx, cy, rx, ry, a0, a1, col, width, steps=24):
        pts = []
        for i in range(steps + 1):
            a = math.radians(a0 + (a1 - a0) * i / steps)
            pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
        self.line(pts, col, width)

    def text(self, x, y, txt, size, col, anchor="mm", bold=True, condensed=False):
        f = font(max(1, round(self.s(size))), bold=bold, condensed=condensed)
        self.d.text(self.p(x, y), txt, fill=col + (255,), font=f, anchor=anchor)

    def text_outlined(self, x, y, txt, size, col, ow=1.0, oc=P.OUTLINE, anchor="mm", bold=True):
        f = font(max(1, round(self.s(size))), bold=bold)
        self.d.text(self.p(x, y), txt, fill=col + (255,), font=f, anchor=anchor,
                    stroke_width=max(1, round(self.s(ow))), stroke_fill=oc + (255,))

    def paste(self, other_rgba, x, y):
        self.img.alpha_composite(other_rgba, (round(x * self.k), round(y * self.k)))

    # finishing ---------------------------------------------------------------
    def finish(self, outline=P.OUTLINE):
        """Return (rgb uint8 HxWx3, opaque bool HxW) at final size."""
        a = np.asarray(self.img, dtype=np.float64)
        h, w, ss = self.h, self.w, self.ss
        a = a.reshape(h, ss, w, ss, 4)
        alpha = a[..., 3] / 255.0
        cov = alpha.mean(axis=(1, 3))
        rgbsum = (a[..., :3] * alpha[..., None]).sum(axis=(1, 3))
        asum = alpha.sum(axis=(1, 3))
        rgb = np.zeros((h, w, 3))
        nz = asum > 0
        rgb[nz] = rgbsum[nz] / asum[nz][:, None]
        opaque = cov >= 0.5
        rgb = np.clip(np.rint(rgb), 0, 255).astype(np.uint8)
        edge = opaque & ~erode4(opaque)
        rgb[edge] = outline
        rgb[~opaque] = P.KEY
        return rgb, opaque


def erode4(m):
    """True where the pixel and its four neighbours are all set (outside = unset)."""
    p = np.pad(m, 1, constant_values=False)
    return p[1:-1, 1:-1] & p[:-2, 1:-1] & p[2:, 1:-1] & p[1:-1, :-2] & p[1:-1, 2:]


def to_image(rgb):
    return Image.fromarray(rgb, "RGB")


def draw_text_1x(rgb, x, y, txt, size, col, anchor="mm", bold=True, condensed=False, shadow=None):
    """Draw anti-aliased text straight onto a finished picture (inside opaque areas only).
    Place and size are in 1x pixels; the text is set at the drawing set's scale."""
    n = _set_scale
    im = Image.fromarray(rgb, "RGB")
    d = ImageDraw.Draw(im)
    f = font(size * n, bold=bold, condensed=condensed)
    if shadow is not None:
        d.text(((x + 1) * n, (y + 1) * n), txt, fill=shadow, font=f, anchor=anchor)
    d.text((x * n, y * n), txt, fill=col, font=f, anchor=anchor)
    return np.asarray(im).copy()


def text_width(txt, size, bold=True, condensed=False):
    """The text's width in 1x pixels, as set at the drawing set's scale."""
    n = _set_scale
    f = font(size * n, bold=bold, condensed=condensed)
    b = f.getbbox(txt)
    w = b[2] - b[0]
    return w if n == 1 else w / n


def near_key(rgb, limit=40.0):
    """Mask of pixels within Euclidean distance `limit` of the key but not equal to it."""
    d = rgb.astype(np.int32) - np.array(P.KEY, dtype=np.int32)
    dist = np.sqrt((d * d).sum(axis=-1))
    return (dist <= limit) & (dist > 0)
