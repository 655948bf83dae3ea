"""Image buttons: inactive (raised, with a drop shadow) and active (pressed into
the shadow's place, darker, label nudged), on the purple key."""
import math

import numpy as np

from . import palette as P
from .canvas import Canvas, draw_text_1x, drawing_set, text_width

SHADOW = (96, 64, 52)


def darker(c, k=0.82):
    return tuple(int(v * k) for v in c)


def fit_font(label, maxw, start=12, smallest=9):
    """The label's size, chosen on the 1x set so that every set sets it at the same size."""
    with drawing_set(1):
        for size in range(start, smallest - 1, -1):
            if text_width(label, size) <= maxw:
                return size, False
    raise ValueError(f"label {label!r} does not fit in {maxw} px")


def push(w, h, label, face, active, text=P.INK, radius=None, size=12):
    """A push button of w x h.  The inactive face sits at the top-left with
    a 2 px shadow; the active face sits where the shadow was, without it."""
    r = radius if radius is not None else min(7, h / 2 - 2)
    c = Canvas(w, h)
    if active:
        f0 = (3.0, 3.0, w - 1.0, h - 1.0)
        col = darker(face)
    else:
        c.rrect(2.0, 2.0, w, h, r, SHADOW)
        f0 = (1.0, 1.0, w - 3.0, h - 3.0)
        col = face
    x0, y0, x1, y1 = f0
    if active:   # pressed: a shade along the top and left inner edge
        c.rrect(x0, y0, x1, y1, r, darker(col, 0.86), 1.0)
        c.rrect(x0 + 1.5, y0 + 2, x1, y1, max(0.5, r - 1), col)
    else:        # raised: a light band along the top
        c.rrect(x0, y0, x1, y1, r, col, 1.0)
        c.rrect(x0 + 2, y0 + 1.5, x1 - 2, y0 + (y1 - y0) * 0.42, max(0.5, r - 2), lighten(col))
    rgb, m = c.finish()
    if label:
        sz, cond = fit_font(label, (x1 - x0) - 8, start=size)
        cx = (x0 + x1) / 2 + (0.5 if active else 0)
        cy = (y0 + y1) / 2 + (0.5 if active else 0)
        rgb = draw_text_1x(rgb, cx, cy, label, sz, text, condensed=cond)
    return rgb


def lighten(c, k=0.35):
    return tuple(int(v + (255 - v) * k) for v in c)


def arrow(up, active):
    w, h = 15, 12
    c = Canvas(w, h)
    if active:
        x0, y0, x1, y1 = 3.0, 3.0, w - 1.0, h - 1.0
        col = darker(P.BELL)
    else:
        c.rrect(2.0, 2.0, w, h, 3, SHADOW)
        x0, y0, x1, y1 = 1.0, 1.0, w - 3.0, h - 3.0
        col = P.BELL
    c.rrect(x0, y0, x1, y1, 3, col, 1.0)
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    s = 3.2
    if up:
        tri = [(cx, cy - s + 0.2), (cx + s + 0.6, cy + s * 0.7), (cx - s - 0.6, cy + s * 0.7)]
    else:
        tri = [(cx, cy + s - 0.2), (cx + s + 0.6, cy - s * 0.7), (cx - s - 0.6, cy - s * 0.7)]
    c.polygon(tri, P.OUTLINE)
    return c.finish()[0]


def close_button(active):
    w, h = 21, 20
    c = Canvas(w, h)
    if active:
        x0, y0, x1, y1 = 3.0, 3.0, w - 1.0, h - 1.0
        col = P.RED_DARK
    else:
        c.rrect(2.0, 2.0, w, h, 6, SHADOW)
        x0, y0, x1, y1 = 1.0, 1.0, w - 3.0, h - 3.0
        col = P.RED
    c.rrect(x0, y0, x1, y1, 6, col, 1.0)
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    d = 3.6
    c.line([(cx - d, cy - d), (cx + d, cy + d)], P.WHITE, 2.2)
    c.line([(cx - d, cy + d), (cx + d, cy - d)], P.WHITE, 2.2)
    return c.finish()[0]


def onoff(on):
    """The alarm's on/off switch (59 x 30); it keeps its place, so no shadow shift."""
    w, h = 59, 30
    c = Canvas(w, h)
    track = P.GREEN if on else P.GREY
    c.rrect(1.0, 1.0, w - 1.0, h - 1.0, 13, track, 1.0)
    c.rrect(3.0, 3.0, w - 3.0, 11.0, 6, lighten(track, 0.3))
    kx = w - 15.0 if on else 15.0
    c.ellipse(kx, 15.0, 10.5, 10.5, P.BELL if on else P.GREY_LIGHT, 1.2)
    c.ellipse(kx - 3, 11.5, 3.5, 2.5, lighten(P.BELL if on else P.GREY_LIGHT, 0.6))
    rgb, _ = c.finish()
    if on:
        rgb = draw_text_1x(rgb, 19, 15.5, "ON", 11, P.WHITE, shadow=darker(P.GREEN_DARK))
    else:
        rgb = draw_text_1x(rgb, 39, 15.5, "OFF", 10, P.INK)
    return rgb


# The set-up windows' day switches, Monday first, by file name.
DAYS = (("mon", "Mon"), ("tue", "Tue"), ("wed", "Wed"), ("thu", "Thu"), ("fri", "Fri"), ("sat", "Sat"),
        ("sun", "Sun"))
DAY_SIZE = (40, 24)


def day(label, on, w=DAY_SIZE[0], greyed=False):
    """A day switch: the on/off switch's green and white when on, its grey when off; it keeps
    its place like that switch. Greyed (a one-off alarm rings whatever the day), a day kept
    on is a mid grey and one kept off a pale one, both with dim text."""
    h = DAY_SIZE[1]
    c = Canvas(w, h)
    if greyed:
        track = P.GREY if on else (238, 236, 232)
    else:
        track = P.GREEN if on else P.GREY_LIGHT
    c.rrect(1.0, 1.0, w - 1.0, h - 1.0, 10, track, 1.0)
    c.rrect(3.5, 3.0, w - 3.5, 9.5, 4, lighten(track, 0.3))
    rgb, _ = c.finish()
    if greyed:
        return draw_text_1x(rgb, w / 2, h / 2 + 0.5, label, 11, P.WHITE if on else P.GREY)
    if on:
        return draw_text_1x(rgb, w / 2, h / 2 + 0.5, label, 11, P.WHITE, shadow=darker(P.GREEN_DARK))
    return draw_text_1x(rgb, w / 2, h / 2 + 0.5, label, 11, P.INK)


def checkbox(on):
    """The add-folder dialog's 'include subfolders' switch (20 x 20)."""
    w, h = 20, 20
    c = Canvas(w, h)
    c.rrect(1.0, 1.0, w - 1.0, h - 1.0, 4, P.PAPER, 1.0)
    if on:
        c.line([(5.0, 10.5), (8.5, 14.5), (15.5, 5.0)], P.OUTLINE, 4.2)
        c.line([(5.0, 10.5), (8.5, 14.5), (15.5, 5.0)], P.GREEN, 2.4)
    else:
        c.rrect(4.0, 4.0, w - 4.0, h - 4.0, 2, P.CREAM_DARK)
    return c.finish()[0]


def big_button(kind, active, minutes=10):
    """The ringing window's two 140 x 105 buttons: stop and the snooze of that many minutes."""
    w, h = 140, 105
    c = Canvas(w, h)
    face = P.RED if kind == "stop" else P.TEAL
    if active:
        x0, y0, x1, y1 = 4.0, 4.0, w - 1.0, h - 1.0
        col = darker(face)
    else:
        c.rrect(3.0, 3.0, w, h, 18, SHADOW)
        x0, y0, x1, y1 = 1.0, 1.0, w - 4.0, h - 4.0
        col = face
    if active:
        c.rrect(x0, y0, x1, y1, 18, darker(col, 0.86), 1.4)
        c.rrect(x0 + 2, y0 + 3, x1, y1, 17, col)
    else:
        c.rrect(x0, y0, x1, y1, 18, col, 1.4)
        c.rrect(x0 + 4, y0 + 3, x1 - 4, y0 + 36, 14, lighten(col, 0.25))
    ox, oy = (x0 + x1) / 2, y0
    if kind == "stop":
        # a little bell with a "hush" bar across it
        bx, by = ox, oy + 34
        dome = [(bx + 15 * math.cos(math.radians(a)), by - 17 * math.sin(math.radians(a))) for a in range(0, 181, 10)]
        c.polygon(dome, P.BELL, 1.3)
        c.rrect(bx - 18, by - 1, bx + 18, by + 4, 2.5, P.BELL_SHADE, 1.2)
        c.ellipse(bx, by + 7, 3.5, 3.5, P.BELL_SHADE, 1.2)
        c.ellipse(bx, by - 19, 3.0, 3.0, P.BELL_SHADE, 1.2)
        c.line([(bx - 20, by - 20), (bx + 20, by + 8)], P.OUTLINE, 5.4)
        c.line([(bx - 20, by - 20), (bx + 20, by + 8)], P.WHITE, 3.0)
        c.text_outlined(ox, oy + 70, "STOP", 26, P.WHITE, ow=1.6)
    elif kind == "more":
        # a stopwatch: the face, its crown and a hand a minute on
        cx, cy = ox, oy + 31
        c.rrect(cx - 4, cy - 25, cx + 4, cy - 17, 1.5, P.BELL, 1.2)
        c.line([(cx + 13, cy - 13), (cx + 17, cy - 17)], P.OUTLINE, 3.6)
        c.line([(cx + 13, cy - 13), (cx + 17, cy - 17)], P.BELL, 1.8)
        c.ellipse(cx, cy, 17, 17, P.PAPER, 1.4)
        for a in range(0, 360, 30):
            ca, sa = math.cos(math.radians(a)), math.sin(math.radians(a))
            c.line([(cx + 12.5 * ca, cy + 12.5 * sa), (cx + 14.5 * ca, cy + 14.5 * sa)], P.OUTLINE, 1.3)
        c.line([(cx, cy), (cx + 6, cy - 9)], P.OUTLINE, 2.0)
        c.ellipse(cx, cy, 2.0, 2.0, P.OUTLINE)
        c.text_outlined(ox, oy + 72, "+1 min", 24, P.WHITE, ow=1.6)
    else:
        # an alarm-clock face showing "+10"
        cx, cy = ox, oy + 29
        c.ellipse(cx - 14, cy - 14, 6, 5, P.BELL, 1.2)
        c.ellipse(cx + 14, cy - 14, 6, 5, P.BELL, 1.2)
        c.ellipse(cx, cy, 17, 17, P.PAPER, 1.4)
        for a in range(0, 360, 30):
            ca, sa = math.cos(math.radians(a)), math.sin(math.radians(a))
            c.line([(cx + 12.5 * ca, cy + 12.5 * sa), (cx + 14.5 * ca, cy + 14.5 * sa)], P.OUTLINE, 1.3)
        c.line([(cx, cy), (cx, cy - 10)], P.OUTLINE, 2.0)
        c.line([(cx, cy), (cx + 8, cy)], P.OUTLINE, 2.0)
        c.text_outlined(ox + 34, oy + 20, "Zz", 14, P.WHITE, ow=1.2)
        c.text_outlined(ox, oy + 63, f"{minutes} min", 21, P.WHITE, ow=1.5)
        c.text_outlined(ox, oy + 85, "more", 17, P.WHITE, ow=1.3)
    return c.finish()[0]


# The snooze lengths the ringing window has a button for.
SNOOZE_CHOICES = (5, 10, 15, 20, 30)

# The Options window's choice buttons, by file name: snooze length, gentle start and the
# time after which a ring ends share the minute ones; then the pet's size.
OPTION_CHOICES = {
    "min5": "5 min", "min10": "10 min", "min15": "15 min", "min20": "20 min", "min30": "30 min",
    "min60": "60 min", "off": "Off", "sec15": "15 s", "sec30": "30 s", "sec60": "60 s", "never": "Never",
    "sizeauto": "Auto", "size100": "100 %", "size150": "150 %", "size200": "200 %", "size300": "300 %",
}
CHOICE_SIZE = (50, 24)


def choice(label, chosen):
    """One of a row of choices: the chosen one pressed in and green, the others raised."""
    w, h = CHOICE_SIZE
    return push(w, h, label, P.GREEN if chosen else P.PAPER, chosen, size=11)


BUBBLE_SIZE = (168, 96)


def bubble():
    """The speech bubble of the ringing layout, under the pet between the two buttons: the
    names of the alarms that ring go in it. Its tail points up at the pet."""
    w, h = BUBBLE_SIZE
    c = Canvas(w, h)
    c.polygon([(66, 17), (84, 2), (102, 17)], P.PAPER, 1.5)
    c.rrect(3.0, 14.0, w - 3.0, h - 3.0, 10, P.PAPER, 1.5)
    c.polygon([(70, 17.5), (84, 5.5), (98, 17.5)], P.PAPER)
    rgb, _ = c.finish()
    return rgb


def row_switch(on):
    """The alarm list's on/off switch of a row (36 x 20): the on/off switch, small."""
    w, h = 36, 20
    c = Canvas(w, h)
    track = P.GREEN if on else P.GREY
    c.rrect(1.0, 1.0, w - 1.0, h - 1.0, 9, track, 1.0)
    kx = w - 10.0 if on else 10.0
    c.ellipse(kx, 10.0, 7.0, 7.0, P.BELL if on else P.GREY_LIGHT, 1.1)
    return c.finish()[0]


def scroll_arrow(up, active):
    """The alarm list's scroll bar arrows (16 x 16); pressed, they darken in place."""
    w, h = 16, 16
    c = Canvas(w, h)
    face = darker(P.BODY_LIGHT) if active else P.BODY_LIGHT
    c.rrect(1.0, 1.0, w - 1.0, h - 1.0, 3, face, 1.0)
    pts = [(4.5, 10.5), (11.5, 10.5), (8.0, 5.0)] if up else [(4.5, 5.5), (11.5, 5.5), (8.0, 11.0)]
    c.polygon(pts, P.OUTLINE)
    return c.finish()[0]


def scroll_thumb(active):
    """The scroll bar's thumb (16 x 32)."""
    w, h = 16, 32
    c = Canvas(w, h)
    c.rrect(2.0, 1.0, w - 2.0, h - 1.0, 5, darker(P.BODY) if active else P.BODY, 1.0)
    for y in (12, 16, 20):
        c.line([(5.5, y), (10.5, y)], P.OUTLINE, 1.0)
    return c.finish()[0]


LIST_ROW = (404, 40)


def row_selected(active):
    """The chosen row of the alarm list: a soft teal band behind it (the inactive picture is
    the same band, fainter, for a window that has lost the keyboard)."""
    w, h = LIST_ROW
    c = Canvas(w, h)
    c.rrect(1.0, 1.0, w - 1.0, h - 1.0, 6, P.TEAL_LIGHT if active else lighten(P.TEAL_LIGHT, 0.5), 1.0)
    return c.finish()[0]


# The timer window's quick choices, in minutes, and the size of their buttons.
TIMER_QUICK = (1, 3, 5, 10, 15, 25, 30, 45, 60)
QUICK_SIZE = (52, 24)


def timer_buttons(pair):
    """The timer window's own buttons: a quick choice per length, and Start."""
    tw = "TimerWindow"
    for m in TIMER_QUICK:
        pair(tw, f"min{m}", lambda a, m=m: push(*QUICK_SIZE, f"{m} min", P.PAPER, a, size=11))
    pair(tw, "start", lambda a: push(73, 26, "\u25B6 Start", P.GREEN, a))


def all_buttons():
    """{relative path under data/Images: rgb}"""
    out = {}

    def pair(folder, name, fn):
        out[f"{folder}/a{name}.bmp"] = fn(True)
        out[f"{folder}/i{name}.bmp"] = fn(False)

    fa = "ForAllWindows"
    pair(fa, "ok", lambda a: push(73, 26, "OK", P.GREEN, a, size=13))
    pair(fa, "exit", close_button)
    pair(fa, "cancel", lambda a: push(73, 26, "Cancel", P.CREAM, a))
    pair("MainWindow", "stopalarm", lambda a: big_button("stop", a))
    for m in SNOOZE_CHOICES:
        pair("MainWindow", f"{m}minmore", lambda a, m=m: big_button("snooze", a, m))
    pair("MainWindow", "plus1min", lambda a: big_button("more", a))
    out["MainWindow/bubble.bmp"] = bubble()
    pair("AboutWindow", "ok", lambda a: push(55, 26, "OK", P.GREEN, a, size=13))
    aw = "AlarmWindow"
    out[f"{aw}/aonoff.bmp"] = onoff(True)
    out[f"{aw}/ionoff.bmp"] = onoff(False)
    for name, label in DAYS:
        pair(aw, name, lambda a, label=label: day(label, a))
    for name, label in DAYS:
        pair(aw, "g" + name, lambda a, label=label: day(label, a, greyed=True))
    pair(aw, "once", lambda a: day("Once", a, w=56))
    pair(aw, "allalarms", lambda a: push(78, 26, "All alarms", P.TEAL_LIGHT, a, size=11))
    lw = "AlarmListWindow"
    pair(lw, "add", lambda a: push(80, 26, "+ Add", P.BODY_LIGHT, a))
    pair(lw, "edit", lambda a: push(80, 26, "Edit...", P.BODY_LIGHT, a))
    pair(lw, "delete", lambda a: push(80, 26, "\u2212 Delete", P.CREAM, a))
    pair(lw, "close", lambda a: push(80, 26, "Close", P.GREEN, a))
    pair(lw, "rowonoff", row_switch)
    pair(lw, "scrollup", lambda a: scroll_arrow(True, a))
    pair(lw, "scrolldown", lambda a: scroll_arrow(False, a))
    pair(lw, "thumb", scroll_thumb)
    pair(lw, "row", row_selected)
    pair(aw, "arrowup", lambda a: arrow(True, a))
    pair(aw, "arrowdown", lambda a: arrow(False, a))
    pair(aw, "change", lambda a: push(86, 26, "Change...", P.BODY_LIGHT, a))
    pair(aw, "test", lambda a: push(86, 26, "\u25B6 Test", P.BODY_LIGHT, a))
    pair(aw, "playlistmode", lambda a: push(151, 26, "Playlist mode", P.TEAL_LIGHT, a))
    pw = "PlayListModeWindow"
    pair(pw, "stop", lambda a: push(86, 26, "\u25A0 Stop", P.RED_LIGHT, a))
    pair(pw, "addfile", lambda a: push(127, 25, "+ Add file", P.BODY_LIGHT, a))
    pair(pw, "adddir", lambda a: push(127, 25, "+ Add folder", P.BODY_LIGHT, a))
    pair(pw, "removeselected", lambda a: push(127, 25, "\u2212 Remove selected", P.CREAM, a, size=11))
    pair(pw, "removeall", lambda a: push(127, 25, "\u2212 Remove all", P.CREAM, a))
    pair(pw, "simplemode", lambda a: push(151, 26, "Simple mode", P.TEAL_LIGHT, a))
    for name, label in OPTION_CHOICES.items():
        pair("OptionsWindow", name, lambda a, label=label: choice(label, a))
    out["AddDirWindow/aon.bmp"] = checkbox(True)
    out["AddDirWindow/ion.bmp"] = checkbox(False)
    timer_buttons(pair)
    return out
