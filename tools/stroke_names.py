"""Names every stroke with one of the 32 stroke names schools teach, from
our own stroke data: the direction codes of the stroke's segments (as the
segment font cuts it, stroke_shapes.py), the directions and lengths of
those segments along the centre line, and the stroke's width profile (a
撇 or 提 runs out thin, a 点 or 捺 ends broad), and where its ends lie
against the character's other strokes.

Angles are on screen: 0 degrees to the right, 90 down, -90 up, 180 left.
Lengths are in the source's 1024-unit em."""
import copy
import math

import numpy as np

import segments

NAMES = ("横 竖 撇 点 捺 提 横折 横撇 横钩 横折钩 横折提 横折弯 横折折 横斜钩 横折弯钩 "
         "横撇弯钩 横折折撇 横折折折钩 横折折折 竖提 竖折 竖钩 竖弯 竖弯钩 竖折撇 竖折折 "
         "竖折折钩 撇点 撇折 斜钩 弯钩 卧钩").split()


class Stroke:
    """What the names are read from: per segment its code, screen angle,
    length and centre line; the whole stroke's half width near its start
    and near its end; how far its two ends lie from the character's other
    strokes, and whether it crosses one written before it (before, after:
    the polygons of the strokes written before and after it)."""

    def __init__(self, parts, poly, w, before=(), after=()):
        self.codes = "".join(str(p.code) for p in parts)
        self.parts = parts
        self.w = w
        pts = np.concatenate([p.pts for p in parts])
        med = segments.Median(pts)
        self.med = med
        at = np.array([med.at(t * med.length) for t in (0.1, 0.2, 0.3, 0.7, 0.8, 0.9)])
        half = segments.boundary_distance(poly, at)
        self.start_w = max(float(half[:3].mean()), 1e-6)
        self.end_w = float(half[3:].mean())
        # How broad the last segment is towards its end, in stroke widths:
        # under 0.9 for a hook or a 撇, about 1 for a 横 or 竖, over 1.2 for a 捺.
        last = segments.Median(parts[-1].pts)
        at = np.array([last.at(t * last.length) for t in (0.6, 0.7, 0.8)])
        self.tip = float(segments.boundary_distance(poly, at).mean()) / (w / 2)
        self.leg = leg_profile(parts, poly, w)
        self.touch = touches(parts, list(before) + list(after), w)
        self.crosses = crosses(med, before)

    @property
    def taper(self):
        """End width over start width: under 0.7 for 撇 and 提, over 1.2 for 点."""
        return self.end_w / self.start_w

    def ang(self, i):
        return angle(self.parts[i].vec)

    def len(self, i):
        return self.parts[i].length


def leg_profile(parts, poly, w):
    """Width of the last segment at 20, 40, 60 and 80 % of its length, in
    stroke widths: a hook thins all the way, a 横折's 竖 stays broad to its
    last fifth."""
    last = segments.Median(parts[-1].pts)
    at = np.array([last.at(t * last.length) for t in (0.2, 0.4, 0.6, 0.8)])
    return [float(v) / (w / 2) for v in segments.boundary_distance(poly, at)]


def touches(parts, others, w):
    """Distance of the stroke's first and last centre-line points from the
    nearest other stroke, in stroke widths (infinite when alone)."""
    ends = np.array([parts[0].pts[0], parts[-1].pts[-1]])
    d = [segments.distance(o, ends) for o in others]
    if not d:
        return (math.inf, math.inf)
    near = np.min(d, axis=0) / w
    return (float(near[0]), float(near[1]))


def crosses(med, polys):
    """Whether the centre line runs through one of the polygons, going in
    and coming out again (艹's second 竖 through its 横)."""
    pts = np.array([med.at(t * med.length) for t in np.linspace(0, 1, 21)])
    for o in polys:
        ins = segments.inside(o, pts)
        if ins[3:18].any() and not ins[0] and not ins[-1]:
            return True
    return False


def angle(v):
    return math.degrees(math.atan2(float(v[1]), float(v[0])))


def screen(pts):
    """Source points (y up) as screen points (y down)."""
    return np.column_stack([pts[:, 0], -pts[:, 1]])


def pieces(pts, tol):
    """The centre line simplified (Douglas-Peucker, tolerance tol) as a list
    of (screen angle, length) pieces."""
    med = segments.Median(pts)
    s = med.simplified(tol)
    q = screen(np.array([med.at(v) for v in s]))
    out = []
    for a, b in zip(q, q[1:]):
        d = b - a
        out.append((angle(d), float(np.hypot(*d))))
    return out


def kind(a):
    """Direction class of a screen angle."""
    if -80 <= a < -15:
        return "T"   # rising to the right
    if -15 <= a < 25:
        return "H"   # to the right
    if 25 <= a < 70:
        return "D"   # down to the right
    if 70 <= a < 100:
        return "S"   # down
    if 100 <= a < 170:
        return "P"   # down to the left
    return "L"       # to the left, or up


def bulge(pts):
    """How far a centre line bends to the right of its chord (positive, in
    chord lengths) when walked on screen from start to end; negative when
    it bends to the left."""
    q = screen(pts)
    a, b = q[0], q[-1]
    ab = b - a
    n = float(np.hypot(*ab))
    if n < 1e-9:
        return 0.0
    cross = (ab[0] * (q[:, 1] - a[1]) - ab[1] * (q[:, 0] - a[0])) / n
    k = int(np.argmax(np.abs(cross)))
    # On screen, y down: positive cross product = to the right of the walk.
    return float(cross[k]) / n


def name(st):
    """The school name of one stroke."""
    c = st.codes
    n = len(c)
    w = st.w
    if n == 1:
        return single(st)
    a = [st.ang(i) for i in range(n)]
    L = [st.len(i) for i in range(n)]
    if c == "12":
        if has_zigzag(st.parts[1], w):
            return "横折折撇"
        # The 撇 or hook leans further left the thinner it ends; a 横折's
        # 竖 (口's right side leans in) ends broad.
        # 宀's and 冖's 横钩: a long 横, a short leg that leans in and the
        # whole stroke thinning towards its end, where a 横折's leg stays broad.
        if a[1] - 60 * st.tip > 63 or (a[1] > 100 and L[1] < 0.4 * L[0] and st.taper < 1.85
                                       and st.tip < 1.05):
            # A squeezed 横折 (事, 声, 革) leans its very short leg in, but
            # the leg stays broad where a hook runs out.
            if L[1] < 2.0 * w and st.tip >= 0.82:
                return "横折"
            return "横钩" if L[1] < 0.5 * L[0] and L[1] < 200 else "横撇"
        return turn_or_hook(st, a, L)
    if c == "13":
        return "横撇"
    if c == "21":
        if a[1] > 20:
            return "撇点" if a[0] >= 94 else "竖弯"
        if a[0] >= 92 and a[1] > -20:
            # 母's and 亡's 竖折 lean left too, but stay broad to their end
            # where a 撇折 (车, 纟) runs out thin.
            if st.tip >= 0.85 and st.taper >= 0.99:
                return "竖弯" if rounded(st, 0) else "竖折"
            return "撇折"
        if a[1] <= -20:
            return "竖提"
        return "竖弯" if a[1] > 5 or rounded(st, 0) else "竖折"
    if c == "23":
        return "弯钩" if a[0] < 82 or abs(bulge(body(st.parts[0], w))) > 0.08 else "竖钩"
    if c == "123":
        if a[0] > 29:
            return "弯钩"  # 豕's 弯钩: its slanting head came out as a segment
        if has_bend(st.parts[1], w):
            return "横撇弯钩"
        return "横折钩"
    if c == "214":
        return "卧钩" if a[0] < 72 and L[0] < 0.8 * L[1] else "竖弯钩"
    if c == "14":
        return "卧钩" if a[0] > 20 else "横斜钩"
    if c == "24":
        return "斜钩"
    if c == "2123":
        return "竖折折钩"
    if c == "121":
        if a[2] <= -20:
            return "横折提"
        return "横折折" if a[1] < 90 and not rounded(st, 1) else "横折弯"
    if c == "1214":
        # 气, 风 and 飞 end in a 横斜钩: a long 横, a long leg, and a foot that
        # still falls to the right where 几, 凡 and 九 turn flat; 执's 丸
        # (热, 熟) falls as far but its last third turns up steeply.
        w_ = st.w
        if a[2] >= 12 and L[0] >= 4.4 * w_ and L[1] >= 6.5 * w_ and end_angle(st) > -30:
            return "横斜钩"
        return "横折弯钩"
    if c == "124":
        return "横斜钩" if a[1] < 85 else "横折钩"
    if c == "12123":
        return "横折折折钩"
    if c == "1212":
        return "横折折撇" if a[3] >= 100 or st.taper < 0.8 else "横折折折"
    if c == "212":
        return "竖折撇" if a[2] >= 100 else "竖折折"
    return fallback(st)


def turn_or_hook(st, a, L):
    """A "12" stroke whose leg leans in (a[1] > 100) but does not run out
    thin at its tip: still a 横钩 or 横撇 when its width says so."""
    lw = st.leg
    if a[1] > 100:
        # 宀's and 冖's 横钩 with a broad end: the leg thins steadily from
        # its start, where a 横折's 竖 stays broad past its middle.
        if (L[1] < 0.5 * L[0] and L[0] >= 6 * st.w and lw[1] >= 1.35
                and lw[0] - lw[2] >= 0.45 and lw[2] < 1.2 and lw[3] < 0.8):
            return "横钩"
        # 今's 横撇: no pressed-in head, and the short 撇 swells to its end.
        if a[1] >= 108 and st.start_w >= 0.75 * st.w / 2 and lw[3] - lw[0] >= 0.15:
            return "横撇"
        # 又's and 互's 横撇: a short 横, a long leg that does not broaden.
        if a[1] >= 106 and L[1] >= 1.8 * L[0] and st.taper < 1.15:
            return "横撇"
    return "横折"


def single(st):
    p = st.parts[0]
    a, L = angle(p.vec), p.length
    if p.code == 1:
        if a < -10 and st.taper < 0.7:
            return "提"
        if a > 20:
            # A 捺 flattens out at its foot; the long 点 that ends 又, 乂 or
            # 区 keeps falling to its end.
            return "点" if L < 340 or end_angle(st) >= 35 else "捺"
        if a > 5 and L < 2.25 * st.w:
            return "点"  # the flat 点 of 雨 on top, short and falling a little
        if L > 350 and st.taper > 1.45 and st.tip > 1.18:
            return "捺"  # the flat 捺 of 之, 辶, 走
        return "横"
    if p.code == 3:
        return "撇"
    if p.code == 4:
        return "提" if a > -90 else "撇"
    # Code 2: down, down-left or a steep dot.
    # A 点 is short and ends broad; a short 竖 ends no broader than it began.
    dot = (st.taper >= 1.1 and L < 4.5 * st.w) or (st.taper >= 1.0 and st.tip >= 0.97 and L < 4 * st.w)
    # A 竖 squeezed short (巾, 曼's 罒) may end broader than its pressed-in
    # head, but its tip stays narrow; a 点 is broad to its end.
    if dot and st.tip < 0.94 and L >= 2.75 * st.w:
        dot = False
    # Nor is a stroke falling plumb down and nearly four widths long a 点.
    if dot and abs(a - 88) < 6.5 and L >= 3.7 * st.w:
        dot = False
    # A 点 falling steeply to the right (厶, 去) ends no broader than a 竖
    # but leans far more.
    if a < 68 and st.taper >= 1.08:
        dot = True
    # A short 竖 whose both ends sit on other strokes (the legs of 罒 and
    # 皿) is no 点, however broad it ends: a 点 stands free at one end.
    if dot and max(st.touch) < 0.27 and a >= 60 and L >= 1.6 * st.w:
        dot = False
    if dot:
        return "点"
    if has_pie_dian(p, st.w):
        return "撇点"
    # A 竖撇 (月, 川) turns left in its last third; a slanting 竖 (五) does not.
    # A short stroke that starts straight down is a 竖 (吾, 巴, 工 squeezed)
    # even when the font lets it run out to the left.
    # 艹's second 竖 leans left and runs out thin in our font, but it starts
    # free and crosses the 横 written before it; so does 吾's and 卉's.
    if a < 108 and L < 7 * st.w and st.crosses and st.touch[0] > 0.5:
        return "竖"
    if a >= 108 or (end_angle(st) >= 114 and (a >= 100 or L >= 5 * st.w)):
        return "撇"
    # 酉's 撇 falls straight and only leans left towards its thin end.
    if a >= 90 and end_angle(st) >= 109 and L >= 7 * st.w and st.taper < 0.8:
        return "撇"
    # 宀's first 点 drawn upright: short, touching nothing at either end and
    # ending no narrower than it began, where a short 竖 meets a 横.
    if min(st.touch) > 0.4 and L < 3.6 * st.w and st.taper >= 1.0 and a >= 94:
        return "点"
    return "竖"


def has_zigzag(part, w):
    """The short 横折折撇 of a squeezed 辶 or 廴 cut as one segment: its
    centre line goes down-left, down-right, and down-left again."""
    ks = "".join("P" if a >= 100 else "D" if a < 80 else "S"
                 for a, ln in pieces(part.pts, 0.25 * w) if ln > 0.6 * w)
    return "PDP" in ks.replace("S", "")


def end_angle(st):
    """Screen angle of the last third of the stroke: a 竖撇 (月, 川) turns
    left there, a slanting 竖 does not."""
    m = st.med
    return angle((m.at(m.length) - m.at(m.length * 2 / 3)) * [1, -1])


def body(part, w):
    """A segment's centre line without the pressed-in head of the brush."""
    med = segments.Median(part.pts)
    return med.between(min(segments.START_PIECE * w, med.length / 2), med.length)


def has_bend(part, w):
    """The 撇 and 弯 of 阝's first stroke cut as one segment: its centre
    line goes down-left and then back down-right."""
    ks = "".join("P" if a >= 100 else "D" if a < 80 else ""
                 for a, ln in pieces(part.pts, 0.25 * w) if ln > 1.5 * w)
    return "PD" in ks


def has_pie_dian(part, w):
    """A 撇点 (女 squeezed to the left) cut as one segment: down-left, then
    down-right."""
    ks = [(kind(a), ln) for a, ln in pieces(part.pts, 0.3 * w) if ln > 1.5 * w]
    s = "".join(k for k, _ in ks)
    return "PD" in s or "PH" in s


def rounded(st, i):
    """Whether the corner after segment i is a curve (竖弯, 横折弯) rather
    than a sharp turn: the centre line around the corner does not come close
    to the corner point of the two segments' straight lines."""
    return st.parts[i + 1].corner > 0.5 * st.w


def fallback(st):
    """Any other run of codes (蠹's "32"): named by its first segment."""
    first = copy.copy(st)
    first.parts = st.parts[:1]
    return single(first)
