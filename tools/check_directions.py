#!/usr/bin/python3
"""Checks that the writing animation reveals every segment the way the brush
moves, over the committed data: the segment font, the direction table and the
whole-character font (no source data needed).

Four kinds of flag, one per stroke and kind at most:
  a  the segments do not group into the strokes of the whole-character font
     (a segment outside its stroke, strokes out of order, codes missing);
  b  a tapering stroke (撇 or 提, lying like "/") is revealed towards its thick
     end: the brush leaves such a stroke through its thin end;
  c  the stroke's codes differ from those of the same stroke in the other
     characters that share its component (runs of three consecutive strokes
     that look alike, compared in their own box);
  d  part of a segment is revealed before a part the brush passes earlier
     (order along the outline, measured from where the brush enters it).

Every flag is looked up in direction_triage.py.  Exit status 1 when a flag
is not triaged there or a flag triaged as a fault is still raised.

    /usr/bin/python3 tools/check_directions.py [--chars CHARS] [--all]

--chars checks only those characters (their component peers are still found
among all characters for c); --all lists every flag, triaged or not.
"""
import argparse
import math
import os
import sys
from collections import Counter, defaultdict

import numpy as np
from fontTools.pens.basePen import BasePen
from fontTools.ttLib import TTFont

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
SEGMENT_FONT = os.path.join(ROOT, "resources", "fonts", "JIV_KaiTi_DH.ttf")
STROKE_FONT = os.path.join(ROOT, "resources", "fonts", "JIV_KaiTi_GB2312.ttf")
TABLE = os.path.join(ROOT, "resources", "tables", "DH6763")
ASCENT = 900        # top of the em in font units (y up); pixels run down from it
STEP = 6.0          # font units per pixel of the check raster (a stroke is ~8 px wide)
WIDTH = 47.0        # a usual stroke width in font units

# a: a segment must lie this much inside the stroke it is grouped with
GROUP_SHARE = 0.8
# b: a stroke tapers when its thin end is under this share of its thick end,
# measured over the outer fifths of its length; only strokes this long (in
# stroke widths) and lying between these angles count
TAPER = 0.6
TAPER_LENGTH = 2.5
TAPER_ANGLES = (25.0, 80.0)
# ... and a stroke lying within LEVEL degrees of level or plumb is a 横 or a 竖
LEVEL = 10.0
# c: peers are runs of three strokes whose features lie this close; a stroke
# is flagged when at least PEERS peers exist, at least MAJORITY of them agree
# on other codes and at most OWN have its codes (a fault repeated in a few
# look-alikes, as in the 钅 of 钸 and 锋, must not hide itself)
RUN = 3
RADIUS = 0.12
PEERS = 3
MAJORITY = 0.75
OWN = 0.25
# ... unless the codes differ only by perpendicular directions with the
# stroke lying at least 20 degrees inside both
BETWEEN = math.cos(math.radians(70))
# d: a pixel is revealed against the brush when a pixel the brush passes
# GAP stroke widths earlier is revealed more than a width later; a segment
# is flagged when such pixels make up this share of it
GAP = 2.0
AGAINST = 0.005


# ------------------------------------------------------------------ loading

class _FlatPen(BasePen):
    """Collects a glyph's contours as polygons (font units, y up)."""

    def __init__(self):
        super().__init__(None)
        self.contours, self.cur = [], None

    def _moveTo(self, p):
        self.cur = [p]

    def _lineTo(self, p):
        self.cur.append(p)

    def _qCurveToOne(self, c, p):
        a = self.cur[-1]
        for t in (0.25, 0.5, 0.75, 1.0):
            s = 1 - t
            self.cur.append((s * s * a[0] + 2 * s * t * c[0] + t * t * p[0],
                             s * s * a[1] + 2 * s * t * c[1] + t * t * p[1]))

    def _curveToOne(self, c1, c2, p):
        a = self.cur[-1]
        for t in (0.25, 0.5, 0.75, 1.0):
            s = 1 - t
            self.cur.append(tuple(s ** 3 * a[k] + 3 * s * s * t * c1[k] + 3 * s * t * t * c2[k]
                                  + t ** 3 * p[k] for k in (0, 1)))

    def _closePath(self):
        if self.cur and len(self.cur) > 2:
            self.contours.append(np.array(self.cur, dtype=float))
        self.cur = None

    _endPath = _closePath


class Font:
    def __init__(self, path):
        self.font = TTFont(path)
        self.glyphs = self.font.getGlyphSet()
        self.cmap = self.font.getBestCmap()

    def contours(self, ch):
        name = self.cmap.get(ord(ch))
        if name is None:
            return []
        pen = _FlatPen()
        self.glyphs[name].draw(pen)
        return pen.contours


def load_table(path=TABLE):
    """[(char, codes)] in table order."""
    with open(path, "rb") as f:
        text = f.read().decode("gb2312")
    out = []
    for line in text.split("\r\n"):
        if line:
            ch, _, codes = line.partition("|")
            out.append((ch, codes))
    return out


# ------------------------------------------------------------------ raster

def to_pixels(poly):
    """Font units (y up) -> raster coordinates (x right, y down)."""
    return np.stack([poly[:, 0] / STEP, (ASCENT - poly[:, 1]) / STEP], axis=1)


def rasterise(poly, shape):
    """Boolean mask of the pixel centres inside a polygon (even-odd)."""
    h, w = shape
    m = np.zeros(shape, dtype=bool)
    x0 = max(int(math.floor(poly[:, 0].min())), 0)
    x1 = min(int(math.ceil(poly[:, 0].max())), w - 1)
    y0 = max(int(math.floor(poly[:, 1].min())), 0)
    y1 = min(int(math.ceil(poly[:, 1].max())), h - 1)
    if x1 < x0 or y1 < y0:
        return m
    ys = np.arange(y0, y1 + 1) + 0.5
    xs = np.arange(x0, x1 + 1) + 0.5
    x, y = poly[:, 0], poly[:, 1]
    x2, y2 = np.roll(x, -1), np.roll(y, -1)
    # Crossings of each row with each edge, then parity left of each pixel.
    py = ys[:, None]
    crosses = (y > py) != (y2 > py)
    with np.errstate(divide="ignore", invalid="ignore"):
        xc = x + (py - y) * (x2 - x) / (y2 - y)
    xc = np.where(crosses, xc, -np.inf)
    count = (xc[:, None, :] > xs[None, :, None]).sum(axis=2)
    m[y0:y1 + 1, x0:x1 + 1] = count % 2 == 1
    if not m.any():
        # A sliver thinner than a pixel: keep the pixel of its centre.
        cx, cy = poly.mean(axis=0)
        m[min(max(int(cy), 0), h - 1), min(max(int(cx), 0), w - 1)] = True
    return m


def _dilate(m):
    out = m.copy()
    out[1:, :] |= m[:-1, :]
    out[:-1, :] |= m[1:, :]
    out[:, 1:] |= m[:, :-1]
    out[:, :-1] |= m[:, 1:]
    out[1:, 1:] |= m[:-1, :-1]
    out[:-1, :-1] |= m[1:, 1:]
    out[1:, :-1] |= m[:-1, 1:]
    out[:-1, 1:] |= m[1:, :-1]
    return out


def geodesic(mask, seeds):
    """Distance in pixels from the seeds to every pixel of mask, along paths
    inside it (8 neighbours, diagonal steps sqrt 2); inf where unreachable."""
    from scipy.sparse import coo_matrix
    from scipy.sparse.csgraph import dijkstra
    h, w = mask.shape
    idx = np.full(mask.shape, -1, dtype=int)
    ys, xs = np.nonzero(mask)
    n = len(ys)
    idx[ys, xs] = np.arange(n)
    rows, cols, wts = [], [], []
    for dy, dx, wt in ((0, 1, 1.0), (1, 0, 1.0), (1, 1, math.sqrt(2)), (1, -1, math.sqrt(2))):
        y2, x2 = ys + dy, xs + dx
        ok = (y2 < h) & (x2 >= 0) & (x2 < w)
        j = np.full(n, -1)
        j[ok] = idx[y2[ok], x2[ok]]
        ok &= j >= 0
        rows.append(idx[ys[ok], xs[ok]])
        cols.append(j[ok])
        wts.append(np.full(int(ok.sum()), wt))
    # One extra node joined to every seed at no cost.
    src = seeds[ys, xs]
    rows.append(np.full(int(src.sum()), n))
    cols.append(np.nonzero(src)[0])
    wts.append(np.full(int(src.sum()), 1e-9))
    g = coo_matrix((np.concatenate(wts), (np.concatenate(rows), np.concatenate(cols))),
                   shape=(n + 1, n + 1)).tocsr()
    d = dijkstra(g, directed=False, indices=n)
    out = np.full(mask.shape, np.inf)
    out[ys, xs] = d[:n]
    return out


def reveal_key(code, shape):
    """The order in which the reveal reaches each pixel (smaller first)."""
    yy, xx = np.indices(shape)
    return {1: xx, 2: yy, 3: -xx, 4: -yy}.get(code, np.zeros(shape, dtype=int))


DIRECTION = {1: (1.0, 0.0), 2: (0.0, 1.0), 3: (-1.0, 0.0), 4: (0.0, -1.0)}


# ------------------------------------------------------------------ checks

class Char:
    """One character: its strokes, segments, codes and their grouping."""

    def __init__(self, ch, codes, strokes, segments):
        self.ch, self.codes = ch, codes
        self.stroke_polys = [to_pixels(p) for p in strokes]
        self.seg_polys = [to_pixels(p) for p in segments]
        size = int(math.ceil(1024 / STEP)) + 2
        self.shape = (size, size)
        self.stroke_masks = [rasterise(p, self.shape) for p in self.stroke_polys]
        self.seg_masks = [rasterise(p, self.shape) for p in self.seg_polys]
        self.seg_axes = [self._axis(m) for m in self.seg_masks]
        self.flags = []          # (stroke number, segment number or 0, kind, text)
        self.stats = []
        self.group = self._group()

    @staticmethod
    def _axis(mask):
        """Unit vector along a segment's longer extent (either way round)."""
        ys, xs = np.nonzero(mask)
        if len(xs) < 3:
            return np.zeros(2)
        c = np.stack([xs, ys], axis=1).astype(float)
        c -= c.mean(axis=0)
        return np.linalg.eigh(c.T @ c)[1][:, 1]

    def flag(self, stroke, seg, kind, text):
        self.flags.append((stroke, seg, kind, text))

    def _group(self):
        """Segment index -> stroke index, rising, each stroke used: the
        assignment that keeps most of every segment inside its stroke."""
        n, m = len(self.stroke_masks), len(self.seg_masks)
        if len(self.codes) != m:
            self.flag(0, 0, "a", "%d segments but %d codes" % (m, len(self.codes)))
        if m < n or n == 0:
            self.flag(0, 0, "a", "%d segments for %d strokes" % (m, n))
            return None
        share = np.zeros((m, n))
        for j, sm in enumerate(self.seg_masks):
            tot = max(int(sm.sum()), 1)
            for i, st in enumerate(self.stroke_masks):
                share[j, i] = (sm & st).sum() / tot
        # best[j][i]: best total with segment j in stroke i (strokes before
        # i all used by segments before j).
        best = np.full((m, n), -np.inf)
        back = np.zeros((m, n), dtype=int)
        best[0, 0] = share[0, 0]
        for j in range(1, m):
            for i in range(n):
                stay = best[j - 1, i]
                move = best[j - 1, i - 1] if i else -np.inf
                if stay >= move:
                    best[j, i], back[j, i] = stay + share[j, i], i
                else:
                    best[j, i], back[j, i] = move + share[j, i], i - 1
        if not np.isfinite(best[m - 1, n - 1]):
            self.flag(0, 0, "a", "segments cannot be grouped in writing order")
            return None
        group = [0] * m
        i = n - 1
        for j in range(m - 1, -1, -1):
            group[j] = i
            i = back[j, i]
        for j, i in enumerate(group):
            if share[j, i] < GROUP_SHARE:
                self.flag(i + 1, j + 1, "a", "segment %d lies %.0f%% inside stroke %d"
                          % (j + 1, 100 * share[j, i], i + 1))
        return group

    def stroke_segments(self, i):
        return [j for j, g in enumerate(self.group) if g == i]

    def stroke_codes(self, i):
        return "".join(self.codes[j] if j < len(self.codes) else "?"
                       for j in self.stroke_segments(i))

    def code(self, j):
        return int(self.codes[j]) if j < len(self.codes) and self.codes[j] in "1234" else 0

    def check_taper(self):
        """b: a stroke of one segment that is a 撇 or a 提 must be revealed
        towards its thin end.  (Where a stroke is cut, the cut tells where
        the brush enters each part; d checks that.)"""
        for i in range(len(self.stroke_masks)):
            segs = self.stroke_segments(i)
            if len(segs) != 1:
                continue
            j = segs[0]
            ys, xs = np.nonzero(self.seg_masks[j])
            if len(xs) < 12:
                continue
            pts = np.stack([xs, ys], axis=1).astype(float)
            c = pts - pts.mean(axis=0)
            vals, vecs = np.linalg.eigh(c.T @ c)
            axis = vecs[:, 1]
            t = c @ axis
            s = c @ np.array([-axis[1], axis[0]])
            length = t.max() - t.min() + 1
            if length * STEP < TAPER_LENGTH * WIDTH:
                continue
            ang = math.degrees(math.atan2(abs(axis[1]), abs(axis[0])))
            code = self.code(j)
            # No stroke is written right to left along a level line, nor up
            # a plumb one (a 撇 falls, a 提 rises at a slant).
            if (code == 3 and ang <= LEVEL) or (code == 4 and ang >= 90 - LEVEL):
                self.flag(i + 1, j + 1, "b", "segment %d coded %d runs against a %s"
                          % (j + 1, code, "横" if code == 3 else "竖"))
                continue
            # "/" on screen: x and y of the axis have opposite signs.
            if axis[0] * axis[1] >= 0 or not TAPER_ANGLES[0] <= ang <= TAPER_ANGLES[1]:
                continue

            def width(lo, hi):
                sel = (t >= t.min() + lo * length) & (t <= t.min() + hi * length)
                if not sel.any():
                    return 0.0
                # Width across the axis: pixels per unit of length.
                return sel.sum() / max((hi - lo) * length, 1.0)

            w_lo, w_hi = width(0.0, 0.2), width(0.8, 1.0)
            if min(w_lo, w_hi) >= TAPER * max(w_lo, w_hi):
                continue
            thin = axis if w_hi < w_lo else -axis
            d = DIRECTION.get(code)
            if d is None:
                continue
            if d[0] * thin[0] + d[1] * thin[1] < 0:
                kind = "撇" if thin[1] > 0 else "提"
                self.flag(i + 1, j + 1, "b", "segment %d coded %d runs into the thick end of a %s"
                          % (j + 1, self.code(j), kind))

    def check_brush_order(self):
        """d: within a segment, the reveal must not reach a part the brush
        passes later before a part it passes earlier."""
        for i in range(len(self.stroke_masks)):
            segs = self.stroke_segments(i)
            for k, j in enumerate(segs):
                mask = self.seg_masks[j]
                n = int(mask.sum())
                code = self.code(j)
                if n < 12 or not code:
                    continue
                key = reveal_key(code, self.shape)
                if k > 0:
                    # The brush enters where the previous segment ends.
                    seeds = _dilate(self.seg_masks[segs[k - 1]]) & mask
                    sign = 1
                elif len(segs) > 1:
                    # ... and leaves the first segment into the second.
                    seeds = _dilate(self.seg_masks[segs[1]]) & mask
                    sign = -1
                else:
                    seeds = np.zeros(self.shape, dtype=bool)
                    sign = 1
                if not seeds.any():
                    # A single segment: the brush starts where the reveal starts.
                    first = key[mask].min()
                    seeds = mask & (key <= first + 1)
                    sign = 1
                g = geodesic(mask, seeds)
                sel = mask & np.isfinite(g)
                gv = sign * g[sel]
                rv = key[sel].astype(float)
                order = np.argsort(gv, kind="stable")
                gv, rv = gv[order], rv[order]
                width = WIDTH / STEP
                # For every pixel, the latest reveal among pixels the brush
                # passed two stroke widths before it: across a diagonal
                # stroke or round a sharp corner the two orders differ by up
                # to a width without the reveal running backwards.
                prefix = np.maximum.accumulate(rv)
                idx = np.searchsorted(gv, gv - GAP * width, side="right")
                earlier = np.where(idx > 0, prefix[np.maximum(idx - 1, 0)], -np.inf)
                late = earlier - rv
                against = late > width
                share = against.mean() if len(rv) else 0.0
                depth = float(late.max()) * STEP if len(rv) else 0.0
                self.stats.append((i + 1, j + 1, share, depth, n))
                if share > AGAINST:
                    self.flag(i + 1, j + 1, "d", "segment %d coded %d: %.0f%% revealed against the brush"
                              % (j + 1, code, 100 * share))


# ------------------------------------------------------------------ peers

def stroke_features(c):
    """Per stroke: box (x0, y0, x1, y1) in pixels and the correlation of x
    and y over its area (sign tells "/" from "\\")."""
    out = []
    for m in c.stroke_masks:
        ys, xs = np.nonzero(m)
        if len(xs) < 2:
            xs, ys = np.array([0, 1]), np.array([0, 1])
        sx, sy = xs.std(), ys.std()
        corr = float(((xs - xs.mean()) * (ys - ys.mean())).mean() / (sx * sy)) if sx > 0 and sy > 0 else 0.0
        out.append((xs.min(), ys.min(), xs.max() + 1, ys.max() + 1, corr))
    return out


def run_vectors(feats):
    """Feature vectors of every run of RUN consecutive strokes."""
    vecs = []
    for a in range(len(feats) - RUN + 1):
        run = feats[a:a + RUN]
        x0 = min(f[0] for f in run)
        y0 = min(f[1] for f in run)
        x1 = max(f[2] for f in run)
        y1 = max(f[3] for f in run)
        wd, ht = max(x1 - x0, 1), max(y1 - y0, 1)
        v = [0.5 * math.log(wd / ht)]
        for f in run:
            v += [(f[0] - x0) / wd, (f[1] - y0) / ht, (f[2] - x0) / wd, (f[3] - y0) / ht,
                  0.25 * f[4]]
        vecs.append((a, v))
    return vecs


def same_way(c, i, own, other):
    """Whether two code strings of stroke i uncover it alike: equal, or
    each differing code perpendicular to the other with the segment lying
    between the two directions (a 点 at 45 degrees is uncovered from its
    start by 1 and by 2 alike)."""
    if len(own) != len(other):
        return False
    for j, a, b in zip(c.stroke_segments(i), own, other):
        if a == b:
            continue
        da, db = DIRECTION.get(int(a)), DIRECTION.get(int(b))
        if da is None or db is None or np.dot(da, db) != 0:
            return False
        axis = c.seg_axes[j]
        if np.dot(axis, db) < 0:
            axis = -axis
        if np.dot(axis, da) < BETWEEN or np.dot(axis, db) < BETWEEN:
            return False
    return True


def check_peers(chars, only):
    """c: compares every stroke of the characters in only with the same
    stroke of look-alike runs in all characters."""
    from scipy.spatial import cKDTree
    keys, vecs = [], []
    for ch, c in chars.items():
        if c.group is None:
            continue
        for a, v in run_vectors(c.features):
            keys.append((ch, a))
            vecs.append(v)
    tree = cKDTree(np.array(vecs))
    peers = defaultdict(dict)    # (ch, stroke) -> {(peer ch, peer stroke): codes}
    for q, (ch, a) in enumerate(keys):
        if ch not in only:
            continue
        for p in tree.query_ball_point(vecs[q], RADIUS):
            pch, pa = keys[p]
            if pch == ch:
                continue
            for k in range(RUN):
                peers[ch, a + k][pch, pa + k] = chars[pch].stroke_codes(pa + k)
    for (ch, i), found in sorted(peers.items()):
        if len(found) < PEERS:
            continue
        c = chars[ch]
        own = c.stroke_codes(i)
        counts = Counter(found.values())
        top, n = counts.most_common(1)[0]
        if (counts[own] <= OWN * len(found) and n >= MAJORITY * len(found)
                and not same_way(c, i, own, top)):
            examples = " ".join("%s%d" % (p, k + 1)
                                for (p, k) in sorted(q for q, v in found.items() if v == top)[:4])
            c.flag(i + 1, c.stroke_segments(i)[0] + 1, "c",
                   "coded %s; the same stroke is %s in %d of %d look-alikes (%s)"
                   % (own, top, n, len(found), examples))


# ------------------------------------------------------------------ driver

def check(only=None, segment_font=SEGMENT_FONT, stroke_font=STROKE_FONT, table=TABLE):
    """{char: Char} with flags for the characters in only (all if None);
    every character is loaded for the peer comparison."""
    seg, whole = Font(segment_font), Font(stroke_font)
    entries = load_table(table)
    wanted = set(only) if only else {ch for ch, _ in entries}
    chars = {}
    for ch, codes in entries:
        c = Char(ch, codes, whole.contours(ch), seg.contours(ch))
        if ch in wanted and c.group is not None:
            c.check_taper()
            c.check_brush_order()
        c.features = stroke_features(c)
        # The rasters are only needed above: 6763 characters of them would
        # not fit in memory.
        c.stroke_masks = c.seg_masks = None
        chars[ch] = c
    check_peers(chars, wanted)
    return {ch: chars[ch] for ch in wanted}


def flag_list(chars):
    """[(char, stroke, kind, text)], one per stroke and kind, table order."""
    out, seen = [], set()
    for ch, c in chars.items():
        for stroke, _seg, kind, text in sorted(c.flags, key=lambda f: (f[0], f[2], f[1])):
            if (ch, stroke, kind) not in seen:
                seen.add((ch, stroke, kind))
                out.append((ch, stroke, kind, text))
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--chars", help="check only these characters")
    ap.add_argument("--all", action="store_true", help="list triaged flags too")
    ap.add_argument("--segment-font", default=SEGMENT_FONT)
    ap.add_argument("--table", default=TABLE)
    args = ap.parse_args()
    sys.path.insert(0, HERE)
    from direction_triage import TRIAGE
    chars = check(args.chars, args.segment_font, STROKE_FONT, args.table)
    flags = flag_list(chars)
    counts = Counter(k for _, _, k, _ in flags)
    print("flags: " + ", ".join("%s %d" % (k, counts.get(k, 0)) for k in "abcd"))
    verdicts = Counter((TRIAGE.get((ch, s, k), ("untriaged",))[0], k) for ch, s, k, _ in flags)
    for v in ("fault", "shape", "source", "untriaged"):
        print("  %-9s " % v + ", ".join("%s %d" % (k, verdicts.get((v, k), 0)) for k in "abcd"))
    bad = 0
    for ch, stroke, kind, text in flags:
        verdict = TRIAGE.get((ch, stroke, kind))
        if verdict is None:
            bad += 1
            print("UNTRIAGED %s stroke %d %s: %s" % (ch, stroke, kind, text))
        elif verdict[0] == "fault":
            bad += 1
            print("FAULT STILL THERE %s stroke %d %s: %s" % (ch, stroke, kind, text))
        elif args.all:
            print("%s %s stroke %d %s: %s" % (verdict[0], ch, stroke, kind, text))
    raised = {(ch, s, k) for ch, s, k, _ in flags}
    fixed = sorted(key for key, v in TRIAGE.items() if v[0] == "fault" and key not in raised
                   and (not args.chars or key[0] in args.chars))
    print("%d faults fixed, %d flags need attention" % (len(fixed), bad))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
