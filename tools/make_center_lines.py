#!/usr/bin/python3
"""Generates resources/tables/CL6763: every stroke's centre line (the
source's median) for the 6763 GB 2312 characters, in writing order and in
the brush's direction, so that centre line k of a character is contour k of
the whole-character font and runs the way the segment font reveals it.

The centre lines go through the same hands as the fonts: the stroke-order
corrections of order_corrections.py (via hwdata.load) and the mended source
centre lines of segment_overrides.py (turned round, carried on to the
outline, loops cut out: segments.centre_line); then the few of
center_line_fixes.py, and ends that poke into a neighbouring stroke are
trimmed back into their own (trim_ends).

Points are in the 1024-unit box with y downward: the source's (x, y) is
(x, 900 - y) here, rounded to whole units.

File layout, all numbers little-endian:
    "KVCL"            magic
    u16 version       1
    u16 characters    6763
    per character, ascending code point:
        u16 code point, u8 stroke count
        per stroke: u8 point count (2 or more), then per point i16 x, i16 y

Run tools/fetch_source.sh and tools/make_stroke_font.py first."""
import os
import struct
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import hwdata  # noqa: E402
import segments  # noqa: E402
from center_line_fixes import FIXES  # noqa: E402
from segment_overrides import EXTENDED, REVERSED  # noqa: E402

ROOT = os.path.dirname(hwdata.HERE)
OUT = os.path.join(ROOT, "resources", "tables", "CL6763")
MAGIC = b"KVCL"
TRIM = 1.0  # font units: about what rounding to whole units moves a point
VERSION = 1


def trim_ends(pts, poly):
    """A few source centre lines start or end inside the stroke they meet
    (the 横 of 艮 starts in its 竖, the first stroke of 鸟 in its 撇): an end
    lying more than TRIM outside its own stroke is cut back to where the
    line lies TRIM inside it."""
    if segments.distance(poly, [pts[0], pts[-1]]).max() <= TRIM:
        return pts
    med = segments.Median(pts)
    s = np.linspace(0.0, med.length, max(2, int(med.length) + 1))
    at = np.stack([np.interp(s, med.cum, med.pts[:, 0]), np.interp(s, med.cum, med.pts[:, 1])], axis=1)
    depth = segments.boundary_distance(poly, at)
    depth = np.where(segments.inside(poly, at), depth, -depth)
    deep = np.nonzero(depth >= TRIM)[0]
    if not len(deep):
        raise ValueError("the centre line lies outside its stroke")
    a = 0 if depth[0] >= -TRIM else deep[0]
    b = len(s) - 1 if depth[-1] >= -TRIM else deep[-1]
    middle = [tuple(p) for p, c in zip(med.pts, med.cum) if s[a] < c < s[b]]
    return [tuple(at[a])] + middle + [tuple(at[b])]


def to_box(pts):
    """Source points -> whole units, y down; repeated points dropped."""
    out = []
    for x, y in pts:
        p = (int(round(x)), int(round(hwdata.ASCENT - y)))
        if not out or p != out[-1]:
            out.append(p)
    return out


def centre_lines(ch):
    """The centre lines of one character, in the box, writing order."""
    rec = hwdata.load(ch)
    _, polys = segments.stroke_polygons(rec)
    reverse, extend = REVERSED.get(ch, ()), EXTENDED.get(ch, ())
    fixes = FIXES.get(ch, {})
    lines = []
    for i, (pts, poly) in enumerate(zip(rec["medians"], polys)):
        pts, _ = segments.centre_line(pts, poly, i + 1 in reverse, i + 1 in extend)
        if i + 1 in fixes:
            pts = fixes[i + 1](pts, poly)
        pts = trim_ends(pts, poly)
        line = to_box(pts)
        if len(line) < 2:
            raise ValueError("stroke %d of %s has no length" % (i + 1, ch))
        if len(line) > 255:
            raise ValueError("stroke %d of %s has %d points" % (i + 1, ch, len(line)))
        lines.append(line)
    if not 1 <= len(lines) <= 255:
        raise ValueError("%s has %d strokes" % (ch, len(lines)))
    return lines


def main():
    chars = hwdata.gb2312_chars()
    for ch, strokes in FIXES.items():
        n = len(hwdata.raw(ch)["strokes"]) if ch in chars else 0
        if not n or not all(1 <= k <= n for k in strokes):
            sys.exit("center_line_fixes: %r needs stroke numbers 1..%d, got %r"
                     % (ch, n, sorted(strokes)))
    out = bytearray(MAGIC + struct.pack("<HH", VERSION, len(chars)))
    n_strokes = n_points = 0
    for ch in chars:
        try:
            lines = centre_lines(ch)
        except FileNotFoundError:
            sys.exit("no source data for %s: run tools/fetch_source.sh" % ch)
        except (ValueError, KeyError, IndexError) as e:
            sys.exit("cannot make the centre lines of %s: %s" % (ch, e))
        out += struct.pack("<HB", ord(ch), len(lines))
        for line in lines:
            out += struct.pack("<B", len(line))
            out += struct.pack("<%dh" % (2 * len(line)), *(v for p in line for v in p))
        n_strokes += len(lines)
        n_points += sum(map(len, lines))
    with open(OUT, "wb") as f:
        f.write(out)
    print("%d characters, %d strokes, %d points, %d bytes, %d strokes fixed by hand"
          % (len(chars), n_strokes, n_points, len(out), sum(map(len, FIXES.values()))))


if __name__ == "__main__":
    main()
