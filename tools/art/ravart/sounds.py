"""The alarm chime and the silent codec warm-up file.

The chime is rendered into a circular buffer: a note that rings past the end
of the loop wraps round to its beginning, so the file loops without a click
or a gap in the decay.
"""
import numpy as np

RATE = 44100
LOOP_S = 3.0


def bell_note(freq, dur, rate=RATE):
    t = np.arange(int(dur * rate)) / rate
    # a bright, slightly metallic bell: a few partials, each with its own decay
    partials = [(1.0, 1.0, 3.2), (2.0, 0.55, 5.0), (3.0, 0.30, 7.0), (4.2, 0.16, 10.0), (5.4, 0.08, 14.0)]
    out = np.zeros_like(t)
    for ratio, amp, dec in partials:
        out += amp * np.sin(2 * np.pi * freq * ratio * t) * np.exp(-dec * t)
    attack = np.minimum(1.0, t / 0.004)           # 4 ms: no click at the strike
    return out * attack


def alarm_chime():
    n = int(LOOP_S * RATE)
    buf = np.zeros(n)
    c6, e6, g6, c7 = 1046.50, 1318.51, 1567.98, 2093.00
    # two bars of a rising arpeggio with a double "ding" at the top, 1.5 s each
    pattern = [(0.00, c6), (0.15, e6), (0.30, g6), (0.45, c7), (0.75, g6), (0.90, c7)]
    for bar in (0.0, 1.5):
        for t0, f in pattern:
            note = bell_note(f, 1.4)
            start = int((bar + t0) * RATE)
            idx = (start + np.arange(len(note))) % n
            np.add.at(buf, idx, note)
    buf /= np.max(np.abs(buf))
    buf = np.tanh(1.6 * buf) / np.tanh(1.6)      # gentle saturation: louder, still round
    return np.round(buf * 0.89 * 32767).astype(np.int16)


def silence(seconds=0.2, rate=22050):
    return np.zeros(int(seconds * rate), dtype=np.int16)
