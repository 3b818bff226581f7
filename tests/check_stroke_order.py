#!/usr/bin/python3
"""Stroke-order corrections reach the checker and the whole-character font.

Run from the repository root: /usr/bin/python3 tests/check_stroke_order.py
Needs the stroke-order reference at ../shared/reference/stroke-order-digits.txt
(beside the repository); fetches the source data if tools/.cache lacks it.
"""
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tools"))

import check_stroke_order as checker  # noqa: E402
import fontbuild  # noqa: E402
import hwdata  # noqa: E402
from order_corrections import CORRECTIONS  # noqa: E402

REFERENCE = os.path.join(os.path.dirname(ROOT), "shared", "reference", "stroke-order-digits.txt")
FONT = os.path.join(ROOT, "resources", "fonts", "JIV_KaiTi_GB2312.ttf")
MUST_BE_CORRECTED = "盖肠翰瀚"
# Measured 99.17 % of strokes and 92.21 % of characters; a change of the
# classifier or of the data that loses more than this is a regression.
STROKE_FLOOR = 0.990
CHAR_FLOOR = 0.915
BOUNDS_TOLERANCE = 2.0  # font units: quadratic conversion and rounding


def fail(msg):
    print("FAIL: " + msg)
    sys.exit(1)


def contour_bounds(draw):
    """Bounds (xMin, yMin, xMax, yMax) of each contour that draw(pen) draws."""
    from fontTools.pens.boundsPen import BoundsPen
    from fontTools.pens.recordingPen import RecordingPen
    rec = RecordingPen()
    draw(rec)
    out, pen = [], None
    for op, args in rec.value:
        if op == "moveTo":
            pen = BoundsPen(None)
        getattr(pen, op)(*args)
        if op in ("closePath", "endPath"):
            out.append(pen.bounds)
    return out


def main():
    if not os.path.isdir(hwdata.SOURCE_DIR):
        r = subprocess.run(["bash", os.path.join(ROOT, "tools", "fetch_source.sh")])
        if r.returncode != 0 or not os.path.isdir(hwdata.SOURCE_DIR):
            fail("cannot fetch the source data (tools/fetch_source.sh)")
    if not os.path.isfile(REFERENCE):
        fail("stroke-order reference missing: %s" % REFERENCE)
    try:
        ref = checker.load_reference(REFERENCE)
    except (OSError, ValueError) as e:
        fail("cannot read the stroke-order reference: %s" % e)

    missing = [ch for ch in MUST_BE_CORRECTED if ch not in CORRECTIONS]
    if missing:
        fail("no correction for %s" % "".join(missing))

    # (a) every corrected character now has the reference's classes.
    for ch in CORRECTIONS:
        got = checker.classify(hwdata.load(ch))
        if got != ref.get(ch):
            fail("%s: corrected order has classes %s, reference %s" % (ch, got, ref.get(ch)))

    # (b) the committed font carries the corrected order.
    from fontTools.ttLib import TTFont
    font = TTFont(FONT)
    cmap, glyphs = font.getBestCmap(), font.getGlyphSet()
    for ch in CORRECTIONS:
        rec = hwdata.load(ch)
        want = []
        for d in rec["strokes"]:
            (contour,) = hwdata.parse_path(d)
            want += contour_bounds(lambda pen, c=contour: fontbuild.draw_contour(pen, c))
        got = contour_bounds(glyphs[cmap[ord(ch)]].draw)
        if len(got) != len(want):
            fail("%s: font has %d contours, source %d strokes" % (ch, len(got), len(want)))
        for k, (g, w) in enumerate(zip(got, want), 1):
            if max(abs(a - b) for a, b in zip(g, w)) > BOUNDS_TOLERANCE:
                fail("%s: contour %d of the font is not corrected stroke %d "
                     "(bounds %s, expected %s); regenerate with tools/make_stroke_font.py"
                     % (ch, k, k, g, tuple(round(v) for v in w)))

    # (c) the classifier still agrees with the reference as well as measured.
    _, summary = checker.compare(ref)
    if summary["stroke_agreement"] < STROKE_FLOOR or summary["char_agreement"] < CHAR_FLOOR:
        fail("agreement fell: strokes %.4f (floor %.3f), characters %.4f (floor %.3f)"
             % (summary["stroke_agreement"], STROKE_FLOOR, summary["char_agreement"], CHAR_FLOOR))
    print("ok: %d corrections follow the reference and are in the font; agreement "
          "%.2f %% of strokes, %.2f %% of characters"
          % (len(CORRECTIONS), 100 * summary["stroke_agreement"], 100 * summary["char_agreement"]))


if __name__ == "__main__":
    main()
