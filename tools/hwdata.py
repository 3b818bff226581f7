"""Shared access to the pinned stroke source data (hanzi-writer-data 2.0.1).

Coordinates are the source's own: a 1024-unit em square, y axis up, the top of
the em at y = 900 and its bottom at y = -124.  The fonts use these units as they
are (unitsPerEm 1024, ascent 900, descent 124), so every generator places a
glyph the same way.
"""
import json
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.join(HERE, ".cache", "hanzi-writer-data")
UNITS_PER_EM = 1024
ASCENT = 900
DESCENT = 124


def gb2312_chars():
    """The 6763 GB 2312 level 1 and 2 hanzi, ascending code point."""
    out = []
    for hi in range(0xB0, 0xF8):
        for lo in range(0xA1, 0xFF):
            try:
                ch = bytes([hi, lo]).decode("gb2312")
            except UnicodeDecodeError:
                continue
            out.append(ch)
    out.sort()
    assert len(out) == 6763, len(out)
    return out


_TOKEN = re.compile(r"[MLQCZ]|-?\d+(?:\.\d+)?")


def parse_path(d):
    """SVG path -> list of contours; a contour is a list of segments
    ('L', p) | ('Q', c, p) | ('C', c1, c2, p) after a start point.
    Returns [(start, [segments])]."""
    toks = _TOKEN.findall(d)
    contours = []
    i = 0
    cur = None
    start = None
    segs = None

    def num():
        nonlocal i
        v = float(toks[i])
        i += 1
        return v

    while i < len(toks):
        t = toks[i]
        i += 1
        if t == "M":
            if segs is not None:
                contours.append((start, segs))
            start = (num(), num())
            cur = start
            segs = []
        elif t == "L":
            p = (num(), num())
            segs.append(("L", p))
            cur = p
        elif t == "Q":
            c = (num(), num())
            p = (num(), num())
            segs.append(("Q", c, p))
            cur = p
        elif t == "C":
            c1 = (num(), num())
            c2 = (num(), num())
            p = (num(), num())
            segs.append(("C", c1, c2, p))
            cur = p
        elif t == "Z":
            if segs is not None:
                contours.append((start, segs))
            segs = None
        else:
            raise ValueError("unexpected token %r" % t)
    if segs is not None:
        contours.append((start, segs))
    return contours


def raw(ch):
    """The source record of one character: {'strokes': [...], 'medians': [...]}."""
    with open(os.path.join(SOURCE_DIR, ch + ".json"), encoding="utf-8") as f:
        return json.load(f)


def load(ch, corrected=True):
    """Strokes (SVG path strings) and medians of one character, in writing
    order; with corrected=True the order fixes of order_corrections apply."""
    rec = raw(ch)
    strokes, medians = rec["strokes"], rec["medians"]
    if corrected:
        from order_corrections import CORRECTIONS
        order = CORRECTIONS.get(ch)
        if order is not None:
            assert sorted(order) == list(range(1, len(strokes) + 1)), ch
            strokes = [strokes[k - 1] for k in order]
            medians = [medians[k - 1] for k in order]
    return {"strokes": strokes, "medians": medians}
