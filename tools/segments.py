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
START_PIECE = 1.8   # ... the pressed-in head of a stroke runs up to 1.75 w, a real first part
                    # (the 横 of a small 横折) is 2 w or more
MIN_TURN = 55.0     # degrees; neighbouring pieces turning less than this stay one segment
FOOT_GAP = 1 / 3    # a short leftward end piece lying this close to another stroke
FOOT_SHARE = 0.25   # ... over this share of its median is a foot (a hook only
                    # touches with its tip, under 0.2; a foot lies along, 0.3 and more)
FOOT_MAX = 3.0      # ... and no longer than this (in w); a longer end piece is never a foot
SIMPLIFY = 0.2      # Douglas-Peucker tolerance of the median, in w
TAIL_TURN = 65.0    # degrees; a 撇 bending out to the left less than this has no hook
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
    """The point of a piece at parameter t (Bernstein form)."""
    s = 1 - t
    if len(piece) == 2:
        w = (s, t)
    elif len(piece) == 3:
        w = (s * s, 2 * s * t, t * t)
    else:
        w = (s * s * s, 3 * s * s * t, 3 * s * t * t, t * t * t)
    return (sum(k * q[0] for k, q in zip(w, piece)), sum(k * q[1] for k, q in zip(w, piece)))


_BERNSTEIN = {}


def _bernstein(n, deg):
    """Weights that evaluate a degree-deg piece at t = 0, 1/n, ..., (n-1)/n."""
    if (n, deg) not in _BERNSTEIN:
        t = np.arange(n)[:, None] / n
        k = np.arange(deg + 1)[None, :]
        comb = np.array([math.comb(deg, j) for j in range(deg + 1)])[None, :]
        _BERNSTEIN[n, deg] = comb * t ** k * (1 - t) ** (deg - k)
    return _BERNSTEIN[n, deg]


def flatten(pieces, where=None):
    """Polygon (numpy array) approximating the contour within about FLAT
    units.  If a list is given as where, it receives the (piece index, t)
    of every polygon vertex."""
    out = []
    for i, p in enumerate(pieces):
        if len(p) == 2:
            n = 1
            out.append(np.array([p[0]], dtype=float))
        else:
            size = sum(math.dist(p[k], p[k + 1]) for k in range(len(p) - 1))
            n = max(2, int(math.sqrt(size / FLAT)))
            out.append(_bernstein(n, len(p) - 1) @ np.array(p, dtype=float))
        if where is not None:
            where.extend((i, k / n) for k in range(n))
    return np.concatenate(out)


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


def boundary_distance(poly, pts):
    """Distance of points to a polygon's boundary, inside or out."""
    pts = np.asarray(pts, dtype=float).reshape(-1, 2)
    a, b = poly, np.roll(poly, -1, axis=0)
    ab = b - a
    ap = pts[:, None, :] - a[None, :, :]
    t = np.clip(np.sum(ap * ab, axis=2) / np.maximum(np.sum(ab * ab, axis=1), 1e-12), 0, 1)
    return np.linalg.norm(ap - t[:, :, None] * ab, axis=2).min(axis=1)


def distance(poly, pts):
    """Distance of points to a polygon's boundary, 0 for points inside."""
    return np.where(inside(poly, pts), 0.0, boundary_distance(poly, pts))


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


def _first_crossing(poly):
    """First pair of non-neighbouring polygon edges that cross: (i, a, j, b)
    with the crossing at fraction a of edge i and b of edge j, or None."""
    p, r = poly, np.roll(poly, -1, axis=0) - poly
    n = len(p)
    # d[i, j]: side of edge i's line on which vertex j lies (cross product);
    # edges i and j cross when each one's ends lie on both sides of the other.
    a = np.outer(r[:, 0], p[:, 1]) - np.outer(r[:, 1], p[:, 0])
    d = a - np.diag(a)[:, None]
    c = np.outer(r[:, 0], r[:, 1]) - np.outer(r[:, 1], r[:, 0])
    hit = (d * (d + c) < 0) & (d.T * (d.T - c) < 0) & (np.abs(c) > 1e-9)
    hit = np.triu(hit, 2)
    hit[0, n - 1] = False
    found = np.argwhere(hit)
    if not len(found):
        return None
    i, j = (int(v) for v in found[0])
    # d + c * f = 0 at the crossing, measured along edge j; likewise for i.
    return i, float(d[j, i] / c[i, j]), j, float(-d[i, j] / c[i, j])


def untangle(pieces):
    """Removes the small loops of an outline that crosses itself: a few
    source outlines fold back over themselves for a few units at a pointed
    stroke end.  Of the two loops at the crossing the larger is kept."""
    for _ in range(10):
        where = []
        poly = flatten(pieces, where)
        x = _first_crossing(poly)
        if x is None:
            return pieces
        i, a, j, b = x

        def pos(k, f):
            # Polygon edge k at fraction f -> (piece, t); edges never span two pieces.
            pk, tk = where[k]
            nxt = where[(k + 1) % len(where)]
            tn = nxt[1] if nxt[0] == pk else 1.0
            return pk, tk + (tn - tk) * f

        pa, pb = pos(i, a), pos(j, b)
        x = tuple(poly[i] + a * (poly[(i + 1) % len(poly)] - poly[i]))
        loops = []
        for lp in (_clean(_run(pieces, pa, pb)), _clean(_run(pieces, pb, pa))):
            # Both ends snap to the crossing point itself, so no sliver is left.
            lp[0] = (x,) + lp[0][1:]
            lp[-1] = lp[-1][:-1] + (x,)
            loops.append(lp)
        pieces = max(loops, key=lambda c: abs(area(flatten(c))))
    raise ValueError("outline keeps crossing itself")


# ------------------------------------------------------------------ medians

def _drop_loops(pts, w):
    """Cuts out the places where a median runs off and comes back to where
    it was (within w/3, after more than 1.25 w): a few medians (谗, 馋, 饧,
    龈) loop back on their own track at a hook or a 提."""
    pts = [tuple(map(float, p)) for p in pts]
    cum = np.concatenate([[0.0], np.cumsum([math.dist(p, q) for p, q in zip(pts, pts[1:])])])
    out, a = [], 0
    while a < len(pts):
        out.append(pts[a])
        back = [b for b in range(a + 2, len(pts))
                if math.dist(pts[a], pts[b]) < w / 3 and cum[b] - cum[a] > SHORT_PIECE * w]
        a = back[-1] if back else a + 1
    return out


class Median:
    """A stroke's centre line as a polyline with arc-length access."""

    def __init__(self, pts):
        keep = [pts[0]] + [q for p, q in zip(pts, pts[1:]) if math.dist(p, q) > 1e-6]
        self.pts = np.array(keep if len(keep) > 1 else keep * 2, dtype=float)
        steps = np.linalg.norm(np.diff(self.pts, axis=0), axis=1)
        self.cum = np.concatenate([[0.0], np.cumsum(steps)])
        self.length = float(self.cum[-1])

    def at(self, s):
        s = min(max(s, 0.0), self.length)
        return np.array([np.interp(s, self.cum, self.pts[:, 0]),
                         np.interp(s, self.cum, self.pts[:, 1])])

    def between(self, s0, s1, step=4.0):
        """Points of the median from arc length s0 to s1."""
        s = np.linspace(s0, s1, max(2, int((s1 - s0) / step) + 1))
        return np.stack([np.interp(s, self.cum, self.pts[:, 0]),
                         np.interp(s, self.cum, self.pts[:, 1])], axis=1)

    def simplified(self, eps):
        """Arc lengths of the Douglas-Peucker vertices (ends included)."""
        keep = {0, len(self.pts) - 1}
        todo = [(0, len(self.pts) - 1)]
        while todo:
            i, j = todo.pop()
            if j <= i + 1:
                continue
            a, b = self.pts[i], self.pts[j]
            ab = b - a
            q = self.pts[i + 1:j] - a
            ln = np.linalg.norm(ab)
            d = (np.abs(ab[0] * q[:, 1] - ab[1] * q[:, 0]) / ln if ln > 1e-9
                 else np.linalg.norm(q, axis=1))
            k = int(np.argmax(d))
            if d[k] > eps:
                keep.add(i + 1 + k)
                todo += [(i, i + 1 + k), (i + 1 + k, j)]
        return [float(self.cum[k]) for k in sorted(keep)]


def _angle(u, v):
    """Unsigned angle between two vectors, in degrees."""
    nu, nv = np.linalg.norm(u), np.linalg.norm(v)
    if nu < 1e-9 or nv < 1e-9:
        return 0.0
    return math.degrees(math.acos(max(-1.0, min(1.0, float(np.dot(u, v) / (nu * nv))))))


def turns(med, w):
    """Where the brush changes its main direction: [(arc length, half the
    length of the rounded corner around it)].

    The median is simplified; short pieces are absorbed (at the ends they
    are the wobbles of the brush going in and out; inside they are the
    rounding of a corner, replaced by its middle); then, smallest turn
    first, neighbouring pieces that turn by less than MIN_TURN are merged."""
    v = [(s, 0.0) for s in med.simplified(SIMPLIFY * w)]
    while len(v) > 2:
        lens = [b[0] - a[0] for a, b in zip(v, v[1:])]
        short = [k for k in range(len(lens))
                 if lens[k] < (START_PIECE if k == 0 else SHORT_PIECE) * w]
        if not short:
            break
        k = min(short, key=lambda k: lens[k])
        if k == 0:
            del v[1]
        elif k == len(v) - 2:
            del v[-2]
        else:
            v[k:k + 2] = [((v[k][0] + v[k + 1][0]) / 2, lens[k] / 2)]
    while len(v) > 2:
        pts = [med.at(s) for s, _ in v]
        bends = [_angle(pts[k] - pts[k - 1], pts[k + 1] - pts[k]) for k in range(1, len(v) - 1)]
        k = int(np.argmin(bends))
        if bends[k] >= MIN_TURN:
            break
        del v[k + 1]
    return v[1:-1]


# The main direction of a part of the median, on screen (y down).  Within
# 10 degrees of a diagonal a stroke moving right counts as horizontal and one
# moving left as vertical: a 点 or 捺 is pushed sideways to the right, a 撇
# falls downward.  Rising strokes to the right are 提 and count as horizontal
# up to 75 degrees (the steep 提 of 氵 and 冫); only a nearly upright rise is 4.
# After a turn a rise to the right is the 提 of a 竖提 (under 50 degrees) or
# the hook of a 斜钩 (戈, 气, 风: over 60), so there it is horizontal only up
# to 55.  A hook rising to the left is 3 up to 45 degrees and 4 beyond.
def code(vec, turned=False):
    dx, dy = float(vec[0]), -float(vec[1])
    if abs(dx) < 1e-9 and abs(dy) < 1e-9:
        return 1
    steep = math.degrees(math.atan2(abs(dy), abs(dx)))
    if dy >= 0:  # moving down (or level)
        limit = 55.0 if dx > 0 else 35.0
        return (1 if dx > 0 else 3) if steep < limit else 2
    limit = (55.0 if turned else 75.0) if dx > 0 else 45.0
    return (1 if dx > 0 else 3) if steep < limit else 4


# ---------------------------------------------------------------- strokes

def _unit(v):
    n = np.linalg.norm(v)
    return v / n if n > 1e-9 else v


def _directions(med, s, r, span):
    """Unit directions of the median over span before and after the
    rounded corner of half length r around arc length s."""
    return (_unit(med.at(s - r) - med.at(s - r - span)),
            _unit(med.at(s + r + span) - med.at(s + r)))


def _cut_line(med, s, r, w):
    """Point and direction of the cut at arc length s: through the turn
    point along the bisector of the turn.  The in and out directions are
    taken over STRETCH widths of the median, not from neighbouring points,
    and outside the rounded corner (r either side of s): at an acute turn
    (the 横撇 of 又) the median swings round the corner and its first units
    after the turn still point the old way."""
    p = med.at(s)
    d_in, d_out = _directions(med, s, r, STRETCH * w)
    m = d_in + d_out
    u = np.array([-m[1], m[0]]) if np.linalg.norm(m) > 1e-6 else d_in
    return tuple(p), tuple(_unit(u))


def _body(med, w):
    """Arc lengths where the stroke's body begins and ends: a short first
    or last piece of the simplified median is the brush going in or out
    (the 提 of 氵 starts with a dip to the left) and does not count for the
    direction."""
    v = med.simplified(SIMPLIFY * w)
    head = v[1] if len(v) > 2 and v[1] < START_PIECE * w else 0.0
    tail = v[-2] if len(v) > 2 and med.length - v[-2] < SHORT_PIECE * w else med.length
    return head, tail


def _part_code(med, a, b, body):
    """Code of the part of the median from arc length a to b, its wobbles
    left out unless that leaves less than half of the part."""
    a2, b2 = max(a, body[0]), min(b, body[1])
    if b2 - a2 < (b - a) / 2:
        a2, b2 = a, b
    return code(med.at(b2) - med.at(a2), turned=a > 0)


def split_stroke(pieces, med, cuts, w):
    """Cuts the outline at the given turns [(arc length, corner half
    length)], in order.  Returns the parts as [(pieces, code)] in writing
    order; a cut that finds no chord through its turn point is left out, so
    its neighbours stay one."""
    parts, rest, done = [], pieces, [0.0]
    for k, (s, r) in enumerate(cuts):
        res = cut(rest, *_cut_line(med, s, r, w))
        if res is None:
            continue
        nxt = cuts[k + 1][0] if k + 1 < len(cuts) else med.length
        before, after = med.between(done[-1], s), med.between(s, nxt)

        def score(c):
            poly = flatten(c)
            return int(inside(poly, before).sum()) - int(inside(poly, after).sum())

        one, two = res
        if score(one) < score(two):
            one, two = two, one
        parts.append(one)
        rest = two
        done.append(s)
    parts.append(rest)
    done.append(med.length)
    body = _body(med, w)
    return [(c, _part_code(med, a, b, body)) for c, a, b in zip(parts, done, done[1:])]


def extend_to_tip(pts, poly, w):
    """A median that stops short of a part of its outline (the 提 of a few
    竖提 ends at the corner) carried on to that part: from its last point
    straight to the outline point farthest from it, ending w/3 inside."""
    med = Median(pts)
    dist = np.full(len(poly), np.inf)
    for s in np.arange(0.0, med.length + 1.0, 2.0):
        dist = np.minimum(dist, np.linalg.norm(poly - med.at(s), axis=1))
    tip = poly[int(np.argmax(dist))]
    end = med.at(med.length)
    reach = float(np.linalg.norm(tip - end))
    if reach <= w:
        raise ValueError("the outline reaches no farther than the median")
    last = end + (tip - end) * (reach - w / 3) / reach
    return [list(p) for p in pts] + [[float(last[0]), float(last[1])]]


def stroke_polygons(rec):
    """The stroke outlines of a character as polygons (source units), their
    small self-crossing loops removed."""
    strokes = [untangle(to_pieces(hwdata.parse_path(d)[0])) for d in rec["strokes"]]
    return strokes, [flatten(p) for p in strokes]


def centre_line(pts, poly, reverse=False, extend=False):
    """A stroke's source centre line as the segments are revealed along it:
    turned round (reverse) or carried on to the outline (extend) where the
    source is at fault, and with its loops back on its own track cut out.
    Returns (points, stroke width)."""
    if reverse:
        pts = pts[::-1]
    w = abs(area(poly)) / max(Median(pts).length, 1.0)
    if extend:
        pts = extend_to_tip(pts, poly, w)
    return _drop_loops(pts, w), w


def segment_char(rec, overrides=None, reverse=(), extend=()):
    """Segments of one character: ([(hwdata contour, code)], per-stroke
    segment counts).  rec is what hwdata.load gives; overrides maps a stroke
    number (from 1) to the fractions of the median length where it is cut,
    replacing the found turns; the strokes numbered in reverse have medians
    drawn from the end to the start, those in extend medians that stop
    short of the outline's last part (extend_to_tip)."""
    strokes, polys = stroke_polygons(rec)
    out, counts = [], []
    for i, (pieces, pts) in enumerate(zip(strokes, rec["medians"])):
        pts, w = centre_line(pts, polys[i], i + 1 in reverse, i + 1 in extend)
        med = Median(pts)
        if overrides and i + 1 in overrides:
            cuts = [(f * med.length, 0.0) for f in overrides[i + 1]]
        else:
            cuts = turns(med, w)
            if cuts and _is_foot(med, cuts[-1][0], w, polys[:i] + polys[i + 1:]):
                cuts.pop()
            cuts = _join_same_codes(med, cuts, w)
            if cuts and _is_tail(med, cuts[-1], w):
                cuts.pop()
        parts = split_stroke(pieces, med, cuts, w)
        out += [(from_pieces(c), k) for c, k in parts]
        counts.append(len(parts))
    return out, counts


def _join_same_codes(med, cuts, w):
    """Drops cuts between two parts with the same code: the reveal runs the
    same way through both, so they are one segment (the pressed-in start of
    a 撇, a 竖撇)."""
    body = _body(med, w)
    while cuts:
        ends = [0.0] + [s for s, _ in cuts] + [med.length]
        codes = [_part_code(med, a, b, body) for a, b in zip(ends, ends[1:])]
        same = [k for k in range(len(cuts)) if codes[k] == codes[k + 1]]
        if not same:
            break
        del cuts[same[0]]
    return cuts


def _is_tail(med, cut, w):
    """A 撇 that falls and then runs out flat to the left bends gradually;
    a hook leaves its 竖 sharply.  Measured over 2.5 widths either side of
    the corner, the turn into a leftward end part is under 55 degrees for
    the first (the 撇 of 大, 贝) and over 75 for the second, so under
    TAIL_TURN it is a tail and stays with the 撇."""
    s, r = cut
    body = _body(med, w)
    if (_part_code(med, 0.0, s, body), _part_code(med, s, med.length, body)) != (2, 3):
        return False
    return _angle(*_directions(med, s, r, 2 * STRETCH * w)) < TAIL_TURN


def _is_foot(med, s, w, others):
    """A short leftward end piece that lies against another stroke (the
    foot of the 横折 in 日, 目, 百) is part of the stroke before it; a real
    hook (月, 冂) ends free."""
    if med.length - s > FOOT_MAX * w or code(med.at(med.length) - med.at(s)) != 3:
        return False
    pts = med.between(s, med.length)
    near = np.zeros(len(pts), dtype=bool)
    for p in others:
        near |= distance(p, pts) <= FOOT_GAP * w
    return near.mean() >= FOOT_SHARE
