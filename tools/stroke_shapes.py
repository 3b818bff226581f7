"""The shape of every stroke as the segment font cuts it: per stroke the
parts between the brush's turns, each with its direction code and the
centre line it covers.  The same cutting rules as make_segment_font.py
(segments.py, segment_overrides.py), without cutting the outlines, so a
whole character takes milliseconds."""
import numpy as np

import hwdata
import segments
from segment_overrides import EXTENDED, OVERRIDES, REVERSED


def stroke_cuts(med, w, i, polys, overrides):
    """Arc lengths where stroke i (from 0) is cut, as segment_char finds them."""
    if overrides and i + 1 in overrides:
        return [(f * med.length, 0.0) for f in overrides[i + 1]]
    cuts = segments.turns(med, w)
    if cuts and segments._is_foot(med, cuts[-1][0], w, polys[:i] + polys[i + 1:]):
        cuts.pop()
    cuts = segments._join_same_codes(med, cuts, w)
    if cuts and segments._is_tail(med, cuts[-1], w):
        cuts.pop()
    return cuts


class Part:
    """One segment of a stroke: its code and its stretch of centre line
    (points in source units, y up)."""

    def __init__(self, code, pts, corner):
        self.code = code
        self.pts = pts
        self.corner = corner  # half length of the rounded corner before it (0 for the first)
        d = pts[-1] - pts[0]
        self.vec = np.array([d[0], -d[1]])  # screen direction, y down
        self.length = float(np.sum(np.linalg.norm(np.diff(pts, axis=0), axis=1)))

    @property
    def chord(self):
        return float(np.linalg.norm(self.vec))

    def bulge(self):
        """Largest distance of the centre line from its chord, over the chord."""
        a, b = self.pts[0], self.pts[-1]
        ab = b - a
        n = np.linalg.norm(ab)
        if n < 1e-9:
            return 0.0
        q = self.pts - a
        return float(np.max(np.abs(ab[0] * q[:, 1] - ab[1] * q[:, 0])) / n / n)


def character_shapes(ch):
    """[(stroke width, [Part, ...]) per stroke], writing order, with the
    polygons of the strokes (source units)."""
    rec = hwdata.load(ch)
    _, polys = segments.stroke_polygons(rec)
    over = OVERRIDES.get(ch)
    rev, ext = REVERSED.get(ch, ()), EXTENDED.get(ch, ())
    out = []
    for i, (pts, poly) in enumerate(zip(rec["medians"], polys)):
        pts, w = segments.centre_line(pts, poly, i + 1 in rev, i + 1 in ext)
        med = segments.Median(pts)
        cuts = stroke_cuts(med, w, i, polys, over)
        body = segments._body(med, w)
        ends = [0.0] + [s for s, _ in cuts] + [med.length]
        corners = [0.0] + [r for _, r in cuts]
        parts = []
        for a, b, r in zip(ends, ends[1:], corners):
            parts.append(Part(segments._part_code(med, a, b, body), med.between(a, b), r))
        out.append((w, parts))
    return out, polys
