#!/usr/bin/python3
"""Checks the stroke order of the source data against the five stroke classes
of the mainland stroke-order standard: 1 横/提, 2 竖/竖钩, 3 撇, 4 点/捺, 5 折.

Every stroke is classified on its own from its median (centre line, start to
end) and its outline; a character agrees when its class sequence equals the
reference's.  A character whose classes are the reference's in another order is
a candidate order error.  Order errors between strokes of one class cannot be
seen this way.

    /usr/bin/python3 tools/check_stroke_order.py [--reference FILE] [--raw]
        [--sample N] [--draw DIR CHARS]

The reference (character<TAB>digits per line, '#' comments) is by default
../shared/reference/stroke-order-digits.txt beside the repository.
"""
import argparse
import math
import os
import random
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import hwdata  # noqa: E402

ROOT = os.path.dirname(hwdata.HERE)
DEFAULT_REFERENCE = os.path.join(os.path.dirname(ROOT), "shared", "reference",
                                 "stroke-order-digits.txt")


def load_reference(path):
    """{char: digit string}; raises OSError or ValueError with the reason."""
    ref = {}
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            ch, sep, digits = line.partition("\t")
            if not sep or len(ch) != 1 or not digits.isdigit():
                raise ValueError("%s:%d: not 'character<TAB>digits'" % (path, n))
            ref[ch] = digits
    return ref


# --- geometry -----------------------------------------------------------

def _angle(p, q):
    """Direction from p to q in degrees, y up: 0 right, -90 down."""
    return math.degrees(math.atan2(q[1] - p[1], q[0] - p[0]))


def _turn(a, b):
    return (b - a + 180) % 360 - 180


def _length(pts):
    return sum(math.dist(pts[i], pts[i + 1]) for i in range(len(pts) - 1))


def _drop_start(pts, cut):
    """The polyline without its first `cut` units (the brush's entry)."""
    acc = 0.0
    for i in range(len(pts) - 1):
        d = math.dist(pts[i], pts[i + 1])
        if acc + d > cut:
            t = (cut - acc) / d
            p = (pts[i][0] + t * (pts[i + 1][0] - pts[i][0]),
                 pts[i][1] + t * (pts[i + 1][1] - pts[i][1]))
            return [p] + pts[i + 1:]
        acc += d
    return pts[-2:]


def _resample(pts, n):
    """n points evenly spaced along the polyline."""
    total = _length(pts)
    out, i, acc = [], 0, 0.0
    for k in range(n):
        s = total * k / (n - 1)
        while i < len(pts) - 2 and acc + math.dist(pts[i], pts[i + 1]) < s:
            acc += math.dist(pts[i], pts[i + 1])
            i += 1
        d = math.dist(pts[i], pts[i + 1]) or 1e-9
        t = min(max((s - acc) / d, 0.0), 1.0)
        out.append((pts[i][0] + t * (pts[i + 1][0] - pts[i][0]),
                    pts[i][1] + t * (pts[i + 1][1] - pts[i][1])))
    return out


def _simplify(pts, eps):
    """Ramer-Douglas-Peucker."""
    if len(pts) < 3:
        return pts
    (x1, y1), (x2, y2) = pts[0], pts[-1]
    dx, dy = x2 - x1, y2 - y1
    norm = math.hypot(dx, dy)
    best, at = -1.0, 0
    for i in range(1, len(pts) - 1):
        x, y = pts[i]
        d = abs(dy * (x - x1) - dx * (y - y1)) / norm if norm > 1e-9 else math.hypot(x - x1, y - y1)
        if d > best:
            best, at = d, i
    if best <= eps:
        return [pts[0], pts[-1]]
    return _simplify(pts[:at + 1], eps)[:-1] + _simplify(pts[at:], eps)


def outline_polygon(d, steps=8):
    """The stroke's outline (SVG path of one contour) as a flattened polygon."""
    (start, segs), = hwdata.parse_path(d)
    poly, cur = [start], start
    for s in segs:
        if s[0] == "L":
            poly.append(s[1])
        else:
            ctrl = (cur,) + s[1:]
            for k in range(1, steps + 1):
                t = k / steps
                pts = list(ctrl)
                while len(pts) > 1:  # de Casteljau
                    pts = [((1 - t) * a[0] + t * b[0], (1 - t) * a[1] + t * b[1])
                           for a, b in zip(pts, pts[1:])]
                poly.append(pts[0])
        cur = poly[-1]
    return poly


def _half_widths(centre, poly):
    """Distance from each centre point to the outline."""
    a = np.array(poly, float)
    e = np.roll(a, -1, axis=0) - a
    ee = np.maximum((e * e).sum(1), 1e-12)
    out = []
    for p in np.array(centre, float):
        t = np.clip(((p - a) * e).sum(1) / ee, 0.0, 1.0)
        out.append(float(np.hypot(*(p - a - e * t[:, None]).T).min()))
    return out


# --- classifier ------------------------------------------------------------

def stroke_features(median):
    """Shape of a median (font units, degrees, y up): L its length; a its
    direction from start (after the brush's entry) to end, hook left aside;
    hook and hook_angle; corner, its sharpest turn; first and last, the
    directions of its first and last pieces; a1 and a2, of its first and last
    thirds; bend, the turn between them."""
    pts = [tuple(p) for p in median]
    length = _length(pts) or 1.0
    pts = _drop_start(pts, min(40, 0.15 * length))
    s = _simplify(pts, max(12, 0.06 * length))
    angs = [_angle(s[i], s[i + 1]) for i in range(len(s) - 1)]
    lens = [math.dist(s[i], s[i + 1]) for i in range(len(s) - 1)]
    f = {"L": length, "hook": 0.0, "hook_angle": 0.0}
    # A short last piece that turns sharply is a hook.
    if len(angs) > 1 and lens[-1] < 0.3 * length and abs(_turn(angs[-2], angs[-1])) > 70:
        f["hook"], f["hook_angle"] = lens.pop(), angs.pop()
    # Sharpest turn; a rounded corner spreads over a short middle piece.
    corner = 0.0
    for i in range(len(angs) - 1):
        c = _turn(angs[i], angs[i + 1])
        if i + 2 < len(angs) and lens[i + 1] < 90:
            c2 = _turn(angs[i], angs[i + 2])
            if abs(c2) > abs(c) and c2 * c > 0:
                c = c2
        corner = max(corner, abs(c))
    f["corner"] = corner
    f["a"] = _angle(pts[0], s[len(angs)])
    f["first"], f["last"], f["last_len"] = angs[0], angs[-1], lens[-1]
    q = _resample(pts, 11)
    f["a1"], f["a2"] = _angle(q[0], q[4]), _angle(q[6], q[9])
    f["bend"] = _turn(f["a1"], f["a2"])
    return f


def width_features(median, outline_path):
    """taper: width near the end against width near the start (a dot thickens
    towards its end, a vertical does not); end_width: width just before the
    end against the widest."""
    w = _half_widths(_resample([tuple(p) for p in median], 9), outline_polygon(outline_path))
    return (sum(w[5:8]) / 3) / (max(w[1:4]) or 1.0), w[-2] / (max(w) or 1.0)


def classify_stroke(median, outline_path):
    """Class '1'..'5' of one stroke from its median and its outline (SVG path).
    The thresholds were fitted on this data against the reference."""
    f = stroke_features(median)
    a, length, corner = f["a"], f["L"], f["corner"]
    widths = []

    def taper():
        if not widths:
            widths.extend(width_features(median, outline_path))
        return widths[0]

    def end_width():
        taper()
        return widths[1]

    if f["hook"]:
        # A plain downward stroke with a hook to the left is 竖钩/弯钩; a 弯钩
        # that starts slanting (犭, 豕) counts as 折 in the standard.
        h = f["hook_angle"]
        if corner < 60 and -135 < a < -50 and (h > 90 or h < -150):
            return "5" if f["a1"] > -70 else "2"
        return "5"
    if f["a1"] > -39:  # starts rightwards
        if corner > 36 and f["last_len"] > 26:
            return "5"
        if f["a1"] > -4.4 and not (length > 500 and taper() > 1.5):
            return "1"
        return "4"  # 点 to the right, or the flat 捺 of 辶
    if a > -67.6:  # down and right
        return "5" if corner > 38 and (f["bend"] < 10 or corner > 60) else "4"
    if a > -101.5:  # down
        if corner > 58:
            return "2" if length < 250 else "5"
        if f["bend"] > 7.6 and length > 294:
            return "5"
        if length < 230 and taper() > 1.12:
            return "4"
        if f["a2"] < -108 and f["bend"] < -15 and length > 200:
            return "3"  # 竖撇
        return "2"
    # down and left
    if f["last"] > -110:
        return "4" if end_width() > 0.74 and taper() > 0.9 else "2"
    if corner > 60 and f["first"] > -41:
        return "5"
    if f["a2"] > -110.5 and f["a1"] <= -87:
        return "4"
    return "3"


def classify(rec):
    """Class sequence of a character record as hwdata gives it."""
    return "".join(classify_stroke(m, d) for m, d in zip(rec["medians"], rec["strokes"]))


def brush_medians(ch, medians):
    """Medians in writing order with the source lines that run backwards
    (segment_overrides.REVERSED) turned round, so a 横 drawn right to left is
    read as the 横 it is."""
    from segment_overrides import REVERSED
    back = REVERSED.get(ch, ())
    return [m[::-1] if k + 1 in back else m for k, m in enumerate(medians)]


def load(ch, corrected=True):
    """A character's record in writing order; corrected, its backward
    source lines turned round as well."""
    rec = hwdata.load(ch, corrected)
    if corrected:
        rec = dict(rec, medians=brush_medians(ch, rec["medians"]))
    return rec


# --- comparison -------------------------------------------------------------

def compare(ref, corrected=True):
    """Classifies every GB 2312 character.  Returns (predictions, summary):
    predictions {char: classes}; summary with stroke and character agreement
    over the characters whose stroke count equals the reference's."""
    pred, skipped = {}, []
    strokes = same = chars = 0
    for ch in hwdata.gb2312_chars():
        p = classify(load(ch, corrected))
        pred[ch] = p
        want = ref.get(ch)
        if want is None or len(want) != len(p):
            skipped.append(ch)
            continue
        strokes += len(p)
        same += sum(x == y for x, y in zip(p, want))
        chars += p == want
    compared = len(pred) - len(skipped)
    return pred, {"stroke_agreement": same / strokes, "char_agreement": chars / compared,
                  "strokes": strokes, "chars": compared, "skipped": skipped}


def order_candidates(pred, ref):
    """Characters whose classes are the reference's in another order."""
    return [ch for ch, p in pred.items()
            if ch in ref and p != ref[ch] and sorted(p) == sorted(ref[ch])]


def single_mismatches(pred, ref):
    """Characters where exactly one stroke's class differs: {char: stroke (1-based)}."""
    out = {}
    for ch, p in pred.items():
        want = ref.get(ch, "")
        diff = [i for i, (x, y) in enumerate(zip(p, want)) if x != y]
        if len(p) == len(want) and len(diff) == 1:
            out[ch] = diff[0] + 1
    return out


# --- pictures ----------------------------------------------------------------

def draw(rec, path, title="", size=480):
    """Each stroke filled on its own, its median drawn, its number at the
    median's start."""
    from PIL import Image, ImageDraw, ImageFont
    colours = [(200, 40, 40), (40, 110, 200), (30, 150, 60), (210, 120, 0),
               (140, 60, 180), (0, 140, 140), (180, 0, 120), (110, 110, 0)]
    img = Image.new("RGB", (size, size + 30), "white")
    dr = ImageDraw.Draw(img)
    scale = size / hwdata.UNITS_PER_EM

    def xy(p):
        return (p[0] * scale, (hwdata.ASCENT - p[1]) * scale + 30)

    font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 20)
    for i, d in enumerate(rec["strokes"]):
        c = colours[i % len(colours)]
        dr.polygon([xy(p) for p in outline_polygon(d)],
                   fill=tuple((v + 2 * 255) // 3 for v in c), outline=c)
    for i, m in enumerate(rec["medians"]):
        dr.line([xy(p) for p in m], fill=colours[i % len(colours)], width=2)
    for i, m in enumerate(rec["medians"]):
        dr.text(xy(m[0]), str(i + 1), fill="black", font=font, anchor="mm",
                stroke_width=2, stroke_fill="white")
    dr.text((6, 4), title, fill="black", font=ImageFont.truetype(
        "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 18))
    img.save(path)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--reference", default=DEFAULT_REFERENCE)
    ap.add_argument("--raw", action="store_true", help="ignore the order corrections")
    ap.add_argument("--sample", type=int, default=0, metavar="N",
                    help="also list N characters (fixed seed) where one stroke's class differs")
    ap.add_argument("--draw", nargs=2, metavar=("DIR", "CHARS"),
                    help="draw CHARS with numbered strokes to DIR/<char>_before.png "
                         "(source order) and DIR/<char>_after.png (corrected order)")
    args = ap.parse_args()
    try:
        ref = load_reference(args.reference)
    except (OSError, ValueError) as e:
        sys.exit("cannot read the reference: %s" % e)
    if not os.path.isdir(hwdata.SOURCE_DIR):
        sys.exit("source data missing: run tools/fetch_source.sh")
    if args.draw:
        os.makedirs(args.draw[0], exist_ok=True)
        for ch in args.draw[1]:
            for name, corrected in (("before", False), ("after", True)):
                rec = load(ch, corrected)
                draw(rec, os.path.join(args.draw[0], "%s_%s.png" % (ch, name)),
                     "%s  got %s  want %s" % (name, classify(rec), ref.get(ch, "?")))
        return
    pred, s = compare(ref, corrected=not args.raw)
    print("strokes agreeing: %d of %d (%.2f %%)" % (
        round(s["stroke_agreement"] * s["strokes"]), s["strokes"], 100 * s["stroke_agreement"]))
    print("characters agreeing: %d of %d (%.2f %%)" % (
        round(s["char_agreement"] * s["chars"]), s["chars"], 100 * s["char_agreement"]))
    if s["skipped"]:
        print("not compared (stroke count differs from the reference):", "".join(s["skipped"]))
    cands = order_candidates(pred, ref)
    print("order candidates: %d" % len(cands))
    for ch in cands:
        print("  %s got %s want %s" % (ch, pred[ch], ref[ch]))
    if args.sample:
        single = single_mismatches(pred, ref)
        pick = sorted(random.Random(1).sample(sorted(single), min(args.sample, len(single))))
        print("one stroke differs: %d characters; sample of %d:" % (len(single), len(pick)))
        for ch in pick:
            k = single[ch]
            print("  %s stroke %d: got %s want %s" % (ch, k, pred[ch][k - 1], ref[ch][k - 1]))


if __name__ == "__main__":
    main()
