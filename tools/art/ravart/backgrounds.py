"""Window backgrounds (built into the program) and the folder-tree images.

Every position below is in the picture's own coordinates: a window's control
position minus the place where the window shows its background picture.
"""
import numpy as np

from . import palette as P
from . import character as C
from .canvas import Canvas, draw_text_1x, set_scale
from .emblem import emblem

TITLE_H = 34


def frame(w, h):
    """The shared skin: a tangerine frame with a cream inner panel."""
    c = Canvas(w, h)
    c.rrect(1.5, 1.5, w - 1.5, h - 1.5, 18, P.BODY, 1.3)
    c.rrect(5, 4, w - 5, TITLE_H * 0.55, 8, P.BODY_LIGHT)
    c.rrect(8, TITLE_H, w - 8, h - 8, 12, P.CREAM, 1.2)
    return c


def well(c, x0, y0, x1, y1, col=P.CREAM_DARK, r=6):
    c.rrect(x0, y0, x1, y1, r, col, 1.0)


def rule(c, x0, x1, y):
    c.rrect(x0, y, x1, y + 1.5, 0.7, P.CREAM_DARK)


def stamp(rgb, sprite, x, y):
    """Lay a finished sprite drawn for the same set at (x, y) in 1x pixels."""
    srgb, m = sprite
    h, w = m.shape
    x, y = x * set_scale(), y * set_scale()
    region = rgb[y:y + h, x:x + w]
    region[m] = srgb[m]


def title(rgb, text, sub=None):
    stamp(rgb, emblem(30), 10, 3)
    rgb = draw_text_1x(rgb, 44, 17, text, 15, P.INK, anchor="lm")
    if sub:
        from .canvas import text_width
        rgb = draw_text_1x(rgb, 44 + text_width(text, 15) + 8, 18, sub, 10, P.INK, anchor="lm", bold=False)
    return rgb


def mini_ravilo(eyes="open", mouth="smile", arm_r=18.0, scale=0.47):
    """The pet as the movies draw it (squeezed), small."""
    w, h = int(172 * scale) + 1, int(136 * scale) + 1
    return C.render(C.pose(eyes=eyes, mouth=mouth, arm_r=arm_r, look=(-3, 1)), w=w, h=h, scale=scale, ss=8,
                    compact=True)


# The seven day switches under the time (Monday first), in the picture's coordinates; the
# rest of the window below them is DAYS_DROP lower than before they came.
DAYS_AT = (24, 160)
DAY_STEP = 44
DAYS_DROP = 40


def time_section(c):
    # hour and minute wells around the white fields and their arrows, the days below them
    well(c, 88, 109, 152, 151)
    well(c, 184, 109, 248, 151)
    c.ellipse(168, 124, 2.6, 2.6, P.OUTLINE)
    c.ellipse(168, 136, 2.6, 2.6, P.OUTLINE)
    x, y = DAYS_AT
    well(c, x - 5, y - 3, x + 6 * DAY_STEP + 45, y + 27)


def simple_alarm():
    d = DAYS_DROP
    w, h = 350, 319 + d
    c = frame(w, h)
    time_section(c)
    well(c, 90, 151 + d, 338, 174 + d, P.PAPER, 4)  # behind the sound-file label (96, 156 + d)
    rule(c, 20, w - 20, 98)
    rule(c, 20, w - 20, 184 + d)
    rule(c, 20, w - 20, 230 + d)
    rgb, _ = c.finish()
    rgb = title(rgb, "Alarm", "simple mode")
    rgb = draw_text_1x(rgb, 86, 45, "Name", 10, P.INK, anchor="lm", bold=False)
    rgb = draw_text_1x(rgb, 24, 130, "Time", 12, P.INK, anchor="lm")
    rgb = draw_text_1x(rgb, 24, 163 + d, "Sound", 12, P.INK, anchor="lm")
    stamp(rgb, mini_ravilo(), 247, 36)
    return rgb


def playlist_alarm():
    d = DAYS_DROP
    w, h = 350, 546 + d
    c = frame(w, h)
    time_section(c)
    rule(c, 20, w - 20, 98)
    c.rrect(37, 173 + d, 318, 347 + d, 3, P.WHITE, 1.2)  # list box at (40, 176 + d), 275 x 168
    rule(c, 20, w - 20, 455 + d)
    rgb, _ = c.finish()
    rgb = title(rgb, "Alarm", "playlist mode")
    rgb = draw_text_1x(rgb, 86, 45, "Name", 10, P.INK, anchor="lm", bold=False)
    rgb = draw_text_1x(rgb, 24, 130, "Time", 12, P.INK, anchor="lm")
    rgb = draw_text_1x(rgb, 40, 163 + d, "Playlist", 12, P.INK, anchor="lm")
    stamp(rgb, mini_ravilo(), 247, 36)
    return rgb


def add_dir():
    w, h = 321, 350
    c = frame(w, h)
    c.rrect(29, 77, 292, 292, 3, P.WHITE, 1.2)      # tree at (32, 80), 257 x 209
    rgb, _ = c.finish()
    rgb = title(rgb, "Add folder")
    rgb = draw_text_1x(rgb, 56, 62, "Include subfolders", 12, P.INK, anchor="lm")
    return rgb


def message_box():
    w, h = 259, 151
    c = frame(w, h)
    rgb, _ = c.finish()
    rgb = title(rgb, "Ravilo")
    stamp(rgb, mini_ravilo(mouth="open", arm_r=120, scale=0.35), 190, 98)
    return rgb


def about():
    w, h = 259, 151
    c = frame(w, h)
    rgb, _ = c.finish()
    rgb = title(rgb, "Ravilo")
    rgb = draw_text_1x(rgb, 16, 45, "desktop pet & alarm clock", 10, P.INK, anchor="lm", bold=False)
    stamp(rgb, mini_ravilo(eyes="happy", mouth="grin", arm_r=140, scale=0.35), 190, 98)
    return rgb


# The Options window: where its rows of choices and its switches stand.
OPTIONS_SIZE = (480, 340)
OPTIONS_ROWS = (("Snooze", 52), ("Gentle start", 86), ("Ring ends after", 120), ("Pet size", 258))
OPTIONS_SWITCHES = (("Ring even when the sound is muted", 156), ("Start Ravilo when I log on", 202),
                    ("Hide during full-screen programs", 230))


def options():
    w, h = OPTIONS_SIZE
    c = frame(w, h)
    rule(c, 20, w - 20, 190)
    rule(c, 20, w - 20, 290)
    rgb, _ = c.finish()
    rgb = title(rgb, "Options")
    for text, y in OPTIONS_ROWS:
        rgb = draw_text_1x(rgb, 24, y + 12, text, 12, P.INK, anchor="lm")
    for text, y in OPTIONS_SWITCHES:
        rgb = draw_text_1x(rgb, 54, y + 10, text, 12, P.INK, anchor="lm")
    return rgb


# ----------------------------------------------------------------------------- folder tree

def tree_images():
    """Seven 16 x 16 images on pure blue, hand-placed pixels: a 1x pixel is n x n pixels of the
    set of scale n, except the disc of the CD-ROM, drawn at the set's own resolution."""
    out = {}
    n = set_scale()

    def base():
        a = np.zeros((16 * n, 16 * n, 3), np.uint8)
        a[:] = P.TREE_KEY
        return a

    def rect(a, x0, y0, x1, y1, col):
        a[y0 * n:(y1 + 1) * n, x0 * n:(x1 + 1) * n] = col

    def box(a, x0, y0, x1, y1, fill, edge=P.OUTLINE):
        rect(a, x0, y0, x1, y1, edge)
        rect(a, x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)

    # closed folder
    a = base()
    box(a, 1, 3, 7, 5, P.BELL_SHADE)
    box(a, 1, 4, 14, 13, P.BELL)
    rect(a, 2, 5, 13, 5, P.BELL_LIGHT)
    out["CLOSEDFOLDER"] = a
    # open folder: back page and a slanted front flap
    a = base()
    box(a, 1, 3, 7, 5, P.BELL_SHADE)
    box(a, 1, 4, 13, 13, P.BELL_SHADE)
    rect(a, 3, 6, 11, 8, P.PAPER)
    for y in range(7, 14):
        x0 = 1 + (13 - y) // 2 + 1
        rect(a, x0, y, 14, y, P.BELL)
        rect(a, x0, y, x0, y, P.OUTLINE)
        rect(a, 14, y, 14, y, P.OUTLINE)
    rect(a, 3, 7, 14, 7, P.OUTLINE)
    rect(a, 2, 13, 14, 13, P.OUTLINE)
    out["OPENFOLDER"] = a
    # floppy disk
    a = base()
    box(a, 1, 1, 14, 14, P.TEAL_DARK)
    box(a, 4, 1, 11, 6, P.GREY_LIGHT)
    rect(a, 8, 2, 9, 5, P.GREY_DARK)
    box(a, 3, 9, 12, 14, P.PAPER)
    out["FLOPPY"] = a
    # hard disk: a drive box with a green light
    a = base()
    box(a, 0, 5, 15, 12, P.GREY)
    rect(a, 1, 6, 14, 7, P.GREY_LIGHT)
    rect(a, 2, 9, 9, 10, P.GREY_DARK)
    rect(a, 12, 9, 13, 10, P.GREEN)
    out["HARD"] = a
    # network drive: drive box with a cable below
    a = base()
    box(a, 0, 2, 15, 8, P.GREY)
    rect(a, 1, 3, 14, 4, P.GREY_LIGHT)
    rect(a, 12, 6, 13, 6, P.GREEN)
    rect(a, 7, 9, 8, 12, P.OUTLINE)
    rect(a, 2, 12, 13, 13, P.OUTLINE)
    rect(a, 3, 12, 12, 12, P.TEAL)
    out["NETWORK"] = a
    # CD-ROM: a disc
    a = base()
    yy, xx = np.mgrid[0:16 * n, 0:16 * n]
    yy, xx = (yy + 0.5) / n - 0.5, (xx + 0.5) / n - 0.5      # pixel centres in 1x pixels
    d = np.hypot(xx - 7.5, yy - 7.5)
    a[d <= 7.5] = P.OUTLINE
    a[d <= 7.5 - 0.9 / n] = P.GREY_LIGHT
    a[(d <= 7.5 - 0.9 / n) & (xx > yy + 2)] = P.SKY
    a[(d <= 7.5 - 0.9 / n) & (xx + 3 < yy)] = P.YELLOW
    a[d <= 1.6 + 1.2 / n] = P.OUTLINE
    a[d <= 1.6] = P.TREE_KEY
    a[-1, 0] = P.TREE_KEY
    out["CDROM"] = a
    # RAM: a memory chip with pins
    a = base()
    box(a, 1, 4, 14, 11, P.GREEN_DARK)
    rect(a, 3, 6, 6, 9, P.OUTLINE)
    rect(a, 9, 6, 12, 9, P.OUTLINE)
    for x in range(2, 14, 2):
        rect(a, x, 12, x, 13, P.BELL_SHADE)
        rect(a, x, 2, x, 3, P.BELL_SHADE)
    out["RAM"] = a
    return out


# The alarm list: rows of LIST_ROW_H from LIST_TOP between x 16 and 420, the scroll bar's
# track at x 428 to 444, the buttons' row at y 300.
LIST_TOP, LIST_ROWS, LIST_ROW_H = 44, 6, 40


def alarm_list():
    w, h = 460, 340
    c = frame(w, h)
    bottom = LIST_TOP + LIST_ROWS * LIST_ROW_H
    c.rrect(13, LIST_TOP - 3, 423, bottom + 3, 6, P.PAPER, 1.0)
    for i in range(1, LIST_ROWS):
        rule(c, 20, 416, LIST_TOP + i * LIST_ROW_H - 1)
    c.rrect(428, LIST_TOP, 444, bottom, 4, P.CREAM_DARK, 1.0)
    rgb, _ = c.finish()
    return title(rgb, "Alarms")


# The timer window: two rows of quick choices, the hours, minutes and seconds fields (at
# TIMER_FIELDS_X, y TIMER_FIELDS_Y, their arrows 34 px to the right), the name, Start and Cancel.
TIMER_SIZE = (340, 290)
TIMER_FIELDS_X = (50, 146, 242)
TIMER_FIELDS_Y = 146


def timer_window():
    w, h = TIMER_SIZE
    c = frame(w, h)
    y = TIMER_FIELDS_Y
    for x in TIMER_FIELDS_X:
        well(c, x - 8, y - 11, x + 56, y + 31)
    for x in TIMER_FIELDS_X[1:]:
        c.ellipse(x - 24, y + 4, 2.6, 2.6, P.OUTLINE)
        c.ellipse(x - 24, y + 16, 2.6, 2.6, P.OUTLINE)
    rule(c, 20, w - 20, 114)
    rule(c, 20, w - 20, 186)
    rule(c, 20, w - 20, 234)
    rgb, _ = c.finish()
    rgb = title(rgb, "Timer")
    for x, text in zip(TIMER_FIELDS_X, ("hours", "minutes", "seconds")):
        rgb = draw_text_1x(rgb, x + 24, y - 20, text, 10, P.INK, bold=False)
    rgb = draw_text_1x(rgb, 24, 210, "Name", 12, P.INK, anchor="lm")
    return rgb


def all_backgrounds():
    return {
        "AlarmListBack.bmp": alarm_list(),
        "SimpleAlarmBack.bmp": simple_alarm(),
        "PlayListAlarmBack.bmp": playlist_alarm(),
        "AddDirBack.bmp": add_dir(),
        "MessageBoxBack.bmp": message_box(),
        "AboutBack.bmp": about(),
        "OptionsBack.bmp": options(),
        "TimerBack.bmp": timer_window(),
    }
