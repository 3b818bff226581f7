"""Cuts a stroke of the source data into segments where the brush changes its
main direction, and gives each segment its direction code.

Coordinates are the source's (1024 em, y up).  A contour here is a list of
Bezier pieces, each a tuple of 2, 3 or 4 points (line, quadratic, cubic),
every piece starting where the previous one ends; hwdata.parse_path's form is
converted on the way in and out so the original curves are kept.

Every threshold is a multiple of the stroke's width w (about 47 units), so
thin and heavy strokes are treated alike.
"""
import math

import numpy as np

import hwdata

STRETCH = 1.25      # in/out directions of a turn are measured over 1.25 w (~60 units)
SHORT_PIECE = 1.25  # median pieces shorter than this (in w) are corner roundings or wobbles
MIN_TURN = 55.0     # degrees; neighbouring pieces turning less than this stay one segment
FOOT_GAP = 1 / 3    # a short leftward end piece this close to another stroke is a foot
FOOT_MAX = 3.0      # ... and no longer than this (in w); a longer end piece is never a foot
SIMPLIFY = 0.2      # Douglas-Peucker tolerance of the median, in w
FLAT = 0.5          # flattening tolerance of curves, in font units


# ---------------------------------------------------------------- contours

def to_pieces(contour):
    """hwdata contour (start, [segments]) -> closed list of Bezier pieces."""
    start, segs = contour
    pieces, cur = [], start
    for s in segs:
        pts = (cur,) + tuple(s[1:])
        if pts[-1] != cur or len(pts) > 2:
            pieces.append(pts)
        cur = pts[-1]
    if cur != start:
        pieces.append((cur, start))
    return pieces


def from_pieces(pieces):
    """Closed list of Bezier pieces -> hwdata contour form for fontbuild."""
    segs = []
    for p in pieces:
        kind = "LQC"[len(p) - 2]
        segs.append((kind,) + tuple(p[1:]))
    return (pieces[0][0], segs)


def _lerp(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t)


def split(piece, t):
    """de Casteljau: the piece cut at parameter t into (left, right)."""
    left, right, pts = [piece[0]], [piece[-1]], list(piece)
    while len(pts) > 1:
        pts = [_lerp(pts[i], pts[i + 1], t) for i in range(len(pts) - 1)]
        left.append(pts[0])
        right.append(pts[-1])
    return tuple(left), tuple(reversed(right))


def point_at(piece, t):
    return split(piece, t)[1][0] if 0 < t < 1 else piece[0 if t <= 0 else -1]


def flatten(pieces):
    """Polygon (numpy array) approximating the contour within about FLAT units."""
    out = []
    for p in pieces:
        if len(p) == 2:
            out.append(p[0])
            continue
        size = sum(math.dist(p[i], p[i + 1]) for i in range(len(p) - 1))
        n = max(2, int(math.sqrt(size / FLAT)))
        out.extend(point_at(p, k / n) for k in range(n))
    return np.array(out, dtype=float)


def area(poly):
    x, y = poly[:, 0], poly[:, 1]
    return 0.5 * float(np.dot(x, np.roll(y, -1)) - np.dot(y, np.roll(x, -1)))


def inside(poly, pts):
    """Even-odd point-in-polygon test for many points at once."""
    pts = np.asarray(pts, dtype=float).reshape(-1, 2)
    x, y = poly[:, 0], poly[:, 1]
    x2, y2 = np.roll(x, -1), np.roll(y, -1)
    px, py = pts[:, 0:1], pts[:, 1:2]
    crosses = (y > py) != (y2 > py)
    with np.errstate(divide="ignore", invalid="ignore"):
        xs = x + (py - y) * (x2 - x) / (y2 - y)
    return np.sum(crosses & (px < xs), axis=1) % 2 == 1


def distance(poly, pts):
    """Distance of points to a polygon's boundary, 0 for points inside."""
    pts = np.asarray(pts, dtype=float).reshape(-1, 2)
    a, b = poly, np.roll(poly, -1, axis=0)
    ab = b - a
    ap = pts[:, None, :] - a[None, :, :]
    t = np.clip(np.sum(ap * ab, axis=2) / np.maximum(np.sum(ab * ab, axis=1), 1e-12), 0, 1)
    d = np.linalg.norm(ap - t[:, :, None] * ab, axis=2).min(axis=1)
    return np.where(inside(poly, pts), 0.0, d)


def _line_hits(pieces, p, u):
    """Where the line p + s*u crosses the contour: [(s, piece index, t)]."""
    n = (-u[1], u[0])
    hits = []
    for i, pc in enumerate(pieces):
        # Signed distance from the line as a polynomial in t (power basis).
        d = [n[0] * (q[0] - p[0]) + n[1] * (q[1] - p[1]) for q in pc]
        if len(pc) == 2:
            coef = [d[1] - d[0], d[0]]
        elif len(pc) == 3:
            coef = [d[0] - 2 * d[1] + d[2], 2 * (d[1] - d[0]), d[0]]
        else:
            coef = [-d[0] + 3 * d[1] - 3 * d[2] + d[3], 3 * d[0] - 6 * d[1] + 3 * d[2],
                    3 * (d[1] - d[0]), d[0]]
        while len(coef) > 1 and abs(coef[0]) < 1e-9:
            coef = coef[1:]
        if len(coef) < 2:
            continue
        for r in np.roots(coef):
            # Half-open [0, 1): a line through a vertex counts it once.
            if abs(r.imag) < 1e-9 and 0 <= r.real < 1:
                q = point_at(pc, r.real)
                hits.append(((q[0] - p[0]) * u[0] + (q[1] - p[1]) * u[1], i, float(r.real)))
    hits.sort()
    return hits


def _run(pieces, a, b):
    """The pieces from position a = (index, t) forward to b, wrapping round."""
    (ia, ta), (ib, tb) = a, b
    if ia == ib and ta < tb:
        right = split(pieces[ia], ta)[1]
        return [split(right, (tb - ta) / (1 - ta))[0]]
    out = [split(pieces[ia], ta)[1]] if ta < 1 else []
    i = (ia + 1) % len(pieces)
    while i != ib:
        out.append(pieces[i])
        i = (i + 1) % len(pieces)
    if tb > 0:
        out.append(split(pieces[ib], tb)[0])
    return out


def _clean(pieces):
    """Drops pieces that have shrunk to a point (a cut through a vertex)."""
    return [p for p in pieces if math.dist(p[0], p[-1]) > 1e-6 or
            any(math.dist(p[0], q) > 1e-6 for q in p[1:-1])]


def cut(pieces, p, u):
    """Cuts a closed contour along the chord of the line p + s*u that lies
    inside it and passes through p (or, if p lies just outside, the inside
    chord nearest to p).  Returns the two closed contours, or None."""
    hits = _line_hits(pieces, p, u)
    if len(hits) < 2 or len(hits) % 2:
        return None
    chords = [(hits[k], hits[k + 1]) for k in range(0, len(hits), 2)]
    a, b = min(chords, key=lambda c: 0 if c[0][0] <= 0 <= c[1][0]
               else min(abs(c[0][0]), abs(c[1][0])))
    pa, pb = point_at(pieces[a[1]], a[2]), point_at(pieces[b[1]], b[2])
    one = _clean(_run(pieces, a[1:], b[1:])) + [(pb, pa)]
    two = _clean(_run(pieces, b[1:], a[1:])) + [(pa, pb)]
    return one, two


def _seg_cross(p1, p2, q1, q2):
    """Crossing point of segments p1p2 and q1q2 as (s, t, point), or None."""
    r = (p2[0] - p1[0], p2[1] - p1[1])
    s = (q2[0] - q1[0], q2[1] - q1[1])
    den = r[0] * s[1] - r[1] * s[0]
    if abs(den) < 1e-12:
        return None
    qp = (q1[0] - p1[0], q1[1] - p1[1])
    a = (qp[0] * s[1] - qp[1] * s[0]) / den
    b = (qp[0] * r[1] - qp[1] * r[0]) / den
    if 0 < a < 1 and 0 < b < 1:
        return a, b, (p1[0] + a * r[0], p1[1] + a * r[1])
    return None


def untangle(pieces):
    """Removes the small loop of an outline that crosses itself: the source
    has a few outlines whose edge folds back over itself for a few units.
    The crossing is found on the control polygons' chords (the pieces'
    end points), which is where these folds show."""
    while True:
        n = len(pieces)
        found = None
        for i in range(n):
            for j in range(i + 2, n):
                if i == 0 and j == n - 1:
                    continue
                x = _seg_cross(pieces[i][0], pieces[i][-1], pieces[j][0], pieces[j][-1])
                if x:
                    found = (i, j, x)
                    break
            if found:
                break
        if not found:
            return pieces
        i, j, (ta, tb, _) = found
        loop = _run(pieces, (i, ta), (j, tb))
        rest = _run(pieces, (j, tb), (i, ta))
        # Keep the larger of the two loops, closed where the edges crossed.
        keep = max((loop, rest), key=lambda c: abs(area(flatten(c + [(c[-1][-1], c[0][0])]))))
        keep = _clean(keep)
        if math.dist(keep[-1][-1], keep[0][0]) > 1e-6:
            keep.append((keep[-1][-1], keep[0][0]))
        pieces = keep
