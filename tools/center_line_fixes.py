"""Hand decisions for centre lines that need more than the mended source
lines of segment_overrides.py (which the segment font shares).

FIXES maps a character to {stroke number (from 1, writing order): fix}; a
fix takes the stroke's centre line (source units, y up, already turned round
or carried on where segment_overrides says so) and its outline polygon, and
returns the line to keep.  Each entry says in a comment why.  Ends poking
into a neighbouring stroke need no entry: make_center_lines trims them.
"""
import numpy as np


def _mid_chord(poly, p, u):
    """Middle of the outline's chord across the line through p at right
    angles to u: of the chords, the one through p or else nearest to it."""
    a, b = poly, np.roll(poly, -1, axis=0)
    da, db = (a - p) @ u, (b - p) @ u
    cross = (da > 0) != (db > 0)
    t = da[cross] / (da[cross] - db[cross])
    q = a[cross] + t[:, None] * (b[cross] - a[cross])
    n = np.array([-u[1], u[0]])
    s = np.sort((q - p) @ n)
    if len(s) < 2:
        raise ValueError("no chord of the outline across the line")
    chords = list(zip(s[0::2], s[1::2]))
    lo, hi = min(chords, key=lambda c: 0 if c[0] <= 0 <= c[1] else min(abs(c[0]), abs(c[1])))
    return p + n * (lo + hi) / 2


def follow_outline(pieces=4):
    """A source line drawn straight from end to end across a curved stroke:
    keeps both ends and goes through the middle of the stroke at pieces - 1
    places between them."""
    def fix(pts, poly):
        a, b = np.array(pts[0], float), np.array(pts[-1], float)
        u = (b - a) / np.linalg.norm(b - a)
        mids = [_mid_chord(poly, a + (b - a) * k / pieces, u) for k in range(1, pieces)]
        return [tuple(a)] + [tuple(m) for m in mids] + [tuple(b)]
    return fix


def drop(*points):
    """Leaves out source points (0-based) that run off the stroke's course."""
    def fix(pts, poly):
        return [p for k, p in enumerate(pts) if k not in points]
    return fix


FIXES = {
    # 盼: the source draws the 捺 of 分 as one straight line across its bow,
    # up to 37 units outside the stroke.
    "盼": {7: follow_outline()},
    # 镢: the centre line of 钅's 竖提 jogs right and back at the corner
    # before it turns into the 提.
    "镢": {5: drop(5, 6, 7, 8)},
}
