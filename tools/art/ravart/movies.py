"""The sixteen movies, frame by frame.

Every movie is a list of (pose, delay in ms).  A movie starts and ends in the
resting pose (frame 0 of the next movie follows without a jump), except the
greeting and the coming back, which begin in a puff of smoke, and the goodbye,
which ends in one.  Eye movies (Idle 14, 15, 16) keep the head perfectly still
and show the whites without pupils: the program lays its pupil bitmaps on them.
"""
import math

from .character import pose

D = 100  # ms, the usual frame delay


def ease(t):
    return 0.5 - 0.5 * math.cos(math.pi * max(0.0, min(1.0, t)))


def hold(p, n, delay=D):
    return [(p, delay)] * n


def blink(base, delay=D):
    """Resting -> lids half -> shut -> half -> open (4 frames)."""
    return [(dict(base, lid=0.5), 60), (dict(base, eyes="shut"), 80), (dict(base, lid=0.45), 60), (base, delay)]


def hop(base, n=8, height=12.0, delay=80, **extra):
    """A little jump: crouch, rise, fall, land."""
    out = []
    out.append((dict(base, sq=0.9, **extra), delay))
    for i in range(n):
        t = (i + 1) / (n + 1)
        y = -height * math.sin(math.pi * t)
        out.append((dict(base, dy=y, sq=1.06 - 0.06 * abs(math.cos(math.pi * t)), feet=2.5 * math.sin(math.pi * t),
                         **extra), delay))
    out.append((dict(base, sq=0.9, **extra), delay))
    return out


REST = pose()


# --------------------------------------------------------------------------- control

def greeting():
    """Control 1: pops out of a puff of smoke, hops and waves 'Hi!'."""
    fr = []
    for i, s in enumerate([0.35, 0.7, 1.1, 1.5, 1.8]):
        fr.append((pose(show=False, props=[("puff", (79, 80, s))]), 80))
    for i, (sc, ps) in enumerate([(0.6, 1.9), (0.85, 1.4), (1.0, 0.9), (1.0, 0.4)]):
        fr.append((pose(scale=sc, eyes="happy", mouth="grin", props=[("puff", (79, 84 + i * 4, ps), {"behind": True})]), 80))
    fr += hop(pose(eyes="happy", mouth="grin", arm_l=60, arm_r=60), n=6, height=9, delay=80)
    wave = [150, 120, 150, 120, 150, 120, 150]
    for i, a in enumerate(wave):
        fr.append((pose(arm_r=a, mouth="open", blush=True, look=(1, -1),
                        props=[("bubble", (50, 52, "Hi!"), {"tail": "right"})]), 110))
    fr.append((pose(arm_r=70, blush=True, look=(1, 0)), 100))
    fr.append((REST, 100))
    return fr


def goodbye():
    """Control 2: waves 'Bye!', squeezes its eyes shut and vanishes in a puff."""
    fr = [(REST, 100)]
    for a in [70, 130]:
        fr.append((pose(arm_r=a, look=(1, 0)), 90))
    for i, a in enumerate([150, 115, 150, 115, 150]):
        fr.append((pose(arm_r=a, eyes="happy", mouth="open", props=[("bubble", (50, 52, "Bye!"), {"tail": "right"})]), 110))
    fr.append((pose(arm_r=100, eyes="happy", mouth="smile"), 100))
    fr.append((pose(sq=0.92, eyes="shut", mouth="flat", arm_l=40, arm_r=40), 90))
    fr.append((pose(sq=0.86, eyes="shut", mouth="flat", arm_l=50, arm_r=50), 90))
    for i, (sc, ps) in enumerate([(0.9, 0.8), (0.6, 1.5), (0.3, 1.9)]):
        fr.append((pose(scale=sc, eyes="shut", mouth="flat", props=[("puff", (79, 84, ps))]), 80))
    for s in [1.9, 1.6, 1.1, 0.6, 0.3]:
        fr.append((pose(show=False, props=[("puff", (79, 84, s))]), 80))
    return fr


def coming_back():
    """Control 3: back from hiding -- a puff, a springy landing, a happy wiggle."""
    fr = []
    for s in [0.3, 0.8, 1.4, 1.9]:
        fr.append((pose(show=False, props=[("puff", (79, 84, s))]), 80))
    fr.append((pose(dy=-7, sq=1.06, eyes="wide", mouth="o", arm_l=120, arm_r=120,
                    props=[("puff", (79, 96, 1.2), {"behind": True})]), 80))
    fr.append((pose(dy=-3, sq=1.03, eyes="wide", mouth="o", arm_l=100, arm_r=100,
                    props=[("puff", (79, 100, 0.6), {"behind": True})]), 80))
    fr.append((pose(sq=0.86, eyes="happy", mouth="grin", arm_l=60, arm_r=60), 80))
    fr.append((pose(sq=1.04, eyes="happy", mouth="grin", arm_l=40, arm_r=40), 80))
    fr.append((pose(sq=0.97, eyes="happy", mouth="grin"), 80))
    for i in range(8):
        s = math.sin(i / 8 * 2 * math.pi)
        fr.append((pose(dx=2 * s, eyes="happy", mouth="grin", blush=True, bell_l=8 * s, bell_r=8 * s,
                        tail=12 * s, props=[("sparkle", (26 + 2 * i, 50 - i, 0.9 + 0.1 * (i % 2))),
                                            ("sparkle", (125 - i, 30 + i, 0.8 + 0.1 * ((i + 1) % 2)))]), 90))
    fr.append((pose(blush=True), 100))
    fr.append((REST, 100))
    return fr


RING_N = 12


def ringing():
    """Control 4 (looped): the hammer clangs one bell then the other, the bells
    rock, the whole critter shakes and jumps on the spot."""
    fr = []
    for i in range(RING_N):
        ph = 2 * math.pi * i / RING_N
        sw = math.sin(ph)                # hammer swing: right bell, then left bell
        props = []
        if sw > 0.3:
            props.append(("lines", (115, 36, -25, 3, 8.0 + 2 * sw, 28, 0)))
        if sw < -0.3:
            props.append(("lines", (42, 36, 205, 3, 8.0 - 2 * sw, 28, 0)))
        # the notes bob once per round, so that no two frames of the loop are the same
        props.append(("note", (150, 68 - 3 * math.cos(ph), 1.1)))
        props.append(("note", (14, 74 + 3 * math.cos(ph), 1.0)))
        fr.append((pose(dy=-6 * abs(math.sin(ph)), dx=1.5 * (-1) ** i, sq=1.0 + 0.03 * math.cos(2 * ph),
                        eyes="wide", mouth="open", look=(0, -2),
                        arm_l=150 + 18 * sw, arm_r=150 - 18 * sw,
                        bell_l=22 * sw, bell_r=22 * sw, clapper=9 * sw,
                        tail=18 * math.sin(2 * ph), feet=2.5 * abs(math.sin(ph)), props=props), 80))
    return fr


def dance():
    """Control 10 (spare): a little side-step dance with notes."""
    fr = [(REST, 100)]
    n = 28
    for i in range(n):
        ph = 2 * math.pi * i / 14
        s = math.sin(ph)
        props = [("note", (122 + 3 * math.sin(ph * 0.5), 60 - (i % 14) * 2.5, 1.0))]
        if i >= 7:
            props.append(("note", (18 + 3 * math.cos(ph * 0.5), 70 - ((i - 7) % 14) * 2.5, 0.9)))
        fr.append((pose(dx=4 * s, dy=-3 * abs(math.cos(ph)), eyes="happy", mouth="grin", blush=i > 10,
                        arm_l=90 + 60 * s, arm_r=90 - 60 * s, bell_l=10 * s, bell_r=10 * s,
                        tail=25 * s, props=props), 100))
    fr.append((pose(eyes="happy", mouth="smile", blush=True), 120))
    fr.append((REST, 100))
    return fr


# --------------------------------------------------------------------------- idle

def breathe():
    """Idle 11 (common): calm breathing, one blink."""
    fr = []
    n = 36
    for i in range(n):
        s = math.sin(2 * math.pi * i / 18)
        p = pose(sq=1.0 + 0.018 * s, arm_l=18 + 4 * s, arm_r=18 + 4 * s, tail=3 * s)
        if i == 20:
            fr += blink(p)
        else:
            fr.append((p, 110))
    fr.append((REST, 100))
    return fr


def look_around():
    """Idle 12 (common): glances left, right, up, blinks."""
    fr = [(REST, 100)]
    def move(a, b, n):
        for i in range(1, n + 1):
            t = ease(i / n)
            fr.append((pose(look=(a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t)), 70))
    move((0, 0), (-6, 1), 3)
    fr += hold(pose(look=(-6, 1)), 6)
    move((-6, 1), (6, 1), 4)
    fr += hold(pose(look=(6, 1), mouth="o"), 3)
    fr += hold(pose(look=(6, 1)), 4)
    move((6, 1), (1, -6), 3)
    fr += hold(pose(look=(1, -6), arm_r=40), 6)
    fr += blink(pose(look=(1, -6)))
    move((1, -6), (0, 0), 3)
    fr += hold(REST, 3)
    return fr


def tail_swish():
    """Idle 13 (common): swishes its clock-hand tail and twitches a bell."""
    fr = [(REST, 100)]
    n = 32
    for i in range(n):
        t = i / n
        sw = math.sin(2 * math.pi * t * 2) * (1 - abs(2 * t - 1) ** 3)
        tw = 10 * math.sin(math.pi * (i - 18) / 4) if 18 <= i < 22 else 0.0
        fr.append((pose(tail=30 * sw, bell_l=tw, look=(3 * sw, 2), mouth="smile",
                        arm_r=18 + 10 * max(0, sw)), 100))
    fr += blink(REST)
    fr.append((REST, 100))
    return fr


def yawn_stretch():
    """Idle 9: a big yawn and a stretch."""
    fr = [(REST, 100)]
    steps = [
        (pose(eyes="half", mouth="o", look=(0, 2)), 4, 100),
        (pose(eyes="half", mouth="open", sq=1.02, arm_l=60, arm_r=60), 2, 100),
        (pose(eyes="shut", mouth="yawn", sq=1.05, arm_l=120, arm_r=120), 2, 100),
        (pose(eyes="shut", mouth="yawn", sq=1.08, arm_l=160, arm_r=160, bell_l=6, bell_r=-6), 8, 110),
        (pose(eyes="shut", mouth="open", sq=1.04, arm_l=120, arm_r=120), 2, 100),
        (pose(eyes="shut", mouth="wavy", sq=0.97, arm_l=40, arm_r=40), 3, 100),
        (pose(eyes="half", mouth="wavy"), 6, 110),
    ]
    for p, n, d in steps:
        fr += hold(p, n, d)
    fr += blink(pose(eyes="half"))
    fr += hold(pose(eyes="open", mouth="smile"), 4)
    fr.append((REST, 100))
    return fr


def happy_hops():
    """Idle 5: two happy hops with a note."""
    fr = [(REST, 100), (pose(eyes="happy", mouth="grin"), 100)]
    base = pose(eyes="happy", mouth="grin", arm_l=70, arm_r=70)
    fr += hop(base, n=7, height=11, delay=80)
    fr.append((pose(eyes="happy", mouth="grin", props=[("note", (122, 50, 1.0))]), 100))
    fr += hop(base, n=7, height=11, delay=80, props=[("note", (124, 44, 1.0))])
    fr += hold(pose(eyes="happy", mouth="smile", blush=True, props=[("note", (126, 36, 1.0))]), 4)
    fr.append((REST, 100))
    return fr


def butterfly():
    """Idle 6: a butterfly visits, rests on the hammer knob, flies off."""
    fr = [(REST, 100)]
    path = []
    n_in = 16
    for i in range(n_in):                     # flutters in from the right
        t = i / (n_in - 1)
        x = 120 - 41 * ease(t) + 6 * math.sin(t * 6)
        y = 60 - 37 * ease(t) + 10 * math.sin(t * 9)
        path.append((x, y, i * 0.5))
    rest = [(79, 23, 0.0)] * 12              # sits on the knob, wings slowly
    n_out = 14
    out = []
    for i in range(n_out):                    # flies off to the upper left
        t = (i + 1) / n_out
        out.append((79 - 90 * t * t, 23 - 14 * t + 6 * math.sin(t * 8), i * 0.5))
    for j, (x, y, fl) in enumerate(path + rest + out):
        dxe, dye = x - 79, y - 60
        d = math.hypot(dxe, dye) or 1
        look = (6 * dxe / d, 6 * dye / d)
        if j >= len(path) and j < len(path) + len(rest):
            k = j - len(path)
            fl = 0.25 * (k // 3 % 2)
            mouth = "grin" if k > 3 else "o"
            eyes = "open"
            p = pose(look=(0, -7), eyes=eyes, mouth=mouth, blush=k > 5, props=[("butterfly", (x, y, fl))])
        else:
            p = pose(look=look, mouth="o" if j > len(path) else "smile",
                     props=[("butterfly", (x, y, fl))] if -20 < x < 190 else [])
        fr.append((p, 90))
    fr += hold(pose(look=(-5, -4), mouth="smile"), 3)
    fr += blink(REST)
    fr.append((REST, 100))
    return fr


def sneeze():
    """Idle 7 (rare): ah... ah... CHOO! -- the bells ring by themselves."""
    fr = [(REST, 100)]
    fr += hold(pose(eyes="half", mouth="o", look=(0, -2)), 4, 110)
    fr += hold(pose(eyes="half", mouth="open", sq=1.04, dy=-1, look=(0, -3)), 4, 110)
    fr += hold(pose(eyes="shut", mouth="open", sq=1.08, dy=-2, arm_l=50, arm_r=50), 3, 110)
    for i in range(8):
        s = (-1) ** i * (1 - i / 8)
        fr.append((pose(eyes="shut", mouth="grin", sq=0.88 + 0.02 * i, dx=3 * s,
                        bell_l=18 * s, bell_r=18 * s, clapper=6 * s, arm_l=70, arm_r=70,
                        props=[("lines", (42, 36, 205, 3, 8.0, 28, 0)), ("lines", (115, 36, -25, 3, 8.0, 28, 0))]
                        + ([("sparkle", (24 + 3 * i, 44, 1.0)), ("sparkle", (126 - 3 * i, 36, 1.0))] if i < 6 else [])),
                   70))
    fr += hold(pose(eyes="wide", mouth="o", look=(0, 0)), 4)
    fr += hold(pose(eyes="happy", mouth="wavy", blush=True, arm_r=100), 8, 110)
    fr.append((REST, 100))
    return fr


def doze():
    """Idle 8 (rare): nods off, snores 'Zzz', the hammer tinks a bell, wakes with a start."""
    fr = [(REST, 100)]
    fr += hold(pose(eyes="half", look=(0, 3)), 6, 110)
    fr += blink(pose(eyes="half", look=(0, 3)))
    fr += hold(pose(eyes="half", look=(0, 4), mouth="flat"), 4, 110)
    for i in range(32):
        s = math.sin(2 * math.pi * i / 16)
        zs = []
        for k in range(3):
            ph = ((i + k * 5) % 16) / 16
            if i + k * 5 >= 5:
                zs.append(("zee", (114 + 10 * ph + 3 * k, 44 - 32 * ph, 5 + 6 * ph)))
        fr.append((pose(eyes="shut", mouth="o" if s > 0.3 else "flat", sq=1.0 + 0.02 * s, arm_l=14, arm_r=14,
                        props=zs), 110))
    # the hammer knocks a bell: wake up!
    fr.append((pose(eyes="shut", mouth="flat", clapper=6, bell_l=12,
                    props=[("lines", (115, 36, -25, 3, 8.0, 28, 0))]), 90))
    fr.append((pose(eyes="wide", mouth="o", dy=-6, sq=1.05, arm_l=130, arm_r=130, bell_l=-8, clapper=-3,
                    props=[("exclaim", (126, 40, 1.2))]), 90))
    fr.append((pose(eyes="wide", mouth="o", dy=-4, arm_l=100, arm_r=100, props=[("exclaim", (126, 40, 1.2))]), 90))
    fr.append((pose(eyes="wide", mouth="o", sq=0.92, arm_l=60, arm_r=60, props=[("exclaim", (126, 40, 1.2))]), 90))
    fr += hold(pose(eyes="wide", mouth="o", look=(-6, 0)), 3)
    fr += hold(pose(eyes="wide", mouth="o", look=(6, 0)), 3)
    fr += hold(pose(eyes="open", mouth="wavy", blush=True, arm_r=100), 8, 110)
    fr.append((REST, 100))
    return fr


# --------------------------------------------------------------------------- eye movies (whites only)

EYE = pose(eyes="none")


def eyes_calm():
    """Idle 14: watches you, tail ticking like a clock hand, paws swaying."""
    fr = []
    for i in range(30):
        s = math.sin(2 * math.pi * i / 15)
        tick = (i // 3) % 4
        fr.append((dict(EYE, tail=[-12, 0, 12, 0][tick], arm_l=18 + 6 * s, arm_r=18 - 6 * s), 100))
    return fr


def eyes_bells():
    """Idle 15: watches you and wiggles its bell ears, humming."""
    fr = []
    for i in range(32):
        s = math.sin(2 * math.pi * i / 8)
        env = math.sin(math.pi * i / 31)
        props = []
        if 8 <= i < 26:
            ph = ((i - 8) % 9) / 9
            props.append(("note", (122 + 3 * math.sin(ph * 6), 62 - 30 * ph, 0.9)))
        fr.append((dict(EYE, bell_l=14 * s * env, bell_r=-14 * s * env, clapper=4 * s * env,
                        mouth="o" if 8 <= i < 26 and (i // 2) % 2 else "smile", props=props), 90))
    return fr


def eyes_heart():
    """Idle 16: watches you, then sends you a little heart."""
    fr = []
    for i in range(6):
        fr.append((EYE, 100))
    for a in (40, 70, 100, 120):
        fr.append((dict(EYE, arm_r=a, mouth="smile"), 90))
    for i in range(20):
        t = i / 19
        fr.append((dict(EYE, arm_r=120 - 30 * t, mouth="grin" if i < 12 else "smile", blush=True,
                        props=[("heart", (118 + 6 * t, 74 - 48 * t, 1.2 + 0.6 * t))]), 100))
    for a in (80, 50, 18):
        fr.append((dict(EYE, arm_r=a, blush=True), 100))
    fr += hold(EYE, 4)
    return fr


MOVIES = {
    "Control/1.gif": greeting,
    "Control/2.gif": goodbye,
    "Control/3.gif": coming_back,
    "Control/4.gif": ringing,
    "Control/10.gif": dance,
    "Idle/5.gif": happy_hops,
    "Idle/6.gif": butterfly,
    "Idle/7.gif": sneeze,
    "Idle/8.gif": doze,
    "Idle/9.gif": yawn_stretch,
    "Idle/11.gif": breathe,
    "Idle/12.gif": look_around,
    "Idle/13.gif": tail_swish,
    "Idle/14.gif": eyes_calm,
    "Idle/15.gif": eyes_bells,
    "Idle/16.gif": eyes_heart,
}

LOOPED = {"Control/4.gif"}
EYE_MOVIES = {"Idle/14.gif", "Idle/15.gif", "Idle/16.gif"}
