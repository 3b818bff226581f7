#!/usr/bin/python3
"""Generates resources/fonts/JIV_KaiTi_DH.ttf, the segment font: every
stroke of the whole-character font cut where the brush changes its main
direction, one closed contour per segment, in writing order; and
resources/tables/DH6763, one line "char|codes" per character in the order of
KT6763 (GB 2312 text, CR LF), one direction code per segment:
1 left to right, 2 top to bottom, 3 right to left, 4 bottom to top.
Run tools/fetch_source.sh and tools/make_stroke_font.py first."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import fontbuild  # noqa: E402
import hwdata  # noqa: E402
import segments  # noqa: E402
from segment_overrides import EXTENDED, OVERRIDES, REVERSED  # noqa: E402

ROOT = os.path.dirname(hwdata.HERE)
MAX_CODES = 34  # the longest line the direction table allows


def kt6763():
    path = os.path.join(ROOT, "resources", "tables", "KT6763")
    try:
        with open(path, "rb") as f:
            chars = list(f.read().decode("gb2312"))
    except (OSError, UnicodeDecodeError) as e:
        sys.exit("cannot read %s (run tools/make_stroke_font.py): %s" % (path, e))
    if chars != hwdata.gb2312_chars():
        sys.exit("%s does not hold the 6763 GB 2312 characters in order" % path)
    return chars


def main():
    t0 = time.time()
    chars = kt6763()
    for ch, strokes in OVERRIDES.items():
        if ch not in chars:
            sys.exit("segment_overrides: %r is not a GB 2312 character" % ch)
        n = len(hwdata.raw(ch)["strokes"])
        for k, cuts in strokes.items():
            if not 1 <= k <= n or list(cuts) != sorted(cuts) or not all(0 < f < 1 for f in cuts):
                sys.exit("segment_overrides: %s stroke %r: need a stroke 1..%d and rising "
                         "fractions between 0 and 1, got %r" % (ch, k, n, cuts))
    for name, table in (("REVERSED", REVERSED), ("EXTENDED", EXTENDED)):
        for ch, strokes in table.items():
            n = len(hwdata.raw(ch)["strokes"]) if ch in chars else 0
            if not n or not all(1 <= k <= n for k in strokes):
                sys.exit("segment_overrides.%s: %r needs stroke numbers 1..%d, got %r"
                         % (name, ch, n, strokes))
    glyphs, lines = {}, []
    n_strokes = n_cut = most = 0
    for ch in chars:
        try:
            rec = hwdata.load(ch)
            segs, counts = segments.segment_char(rec, OVERRIDES.get(ch), REVERSED.get(ch, ()),
                                                 EXTENDED.get(ch, ()))
        except FileNotFoundError:
            sys.exit("no source data for %s: run tools/fetch_source.sh" % ch)
        except (ValueError, KeyError, IndexError) as e:
            sys.exit("cannot segment %s: %s" % (ch, e))
        codes = "".join(str(k) for _, k in segs)
        if not 1 <= len(codes) <= MAX_CODES:
            sys.exit("%s has %d segments, the table allows 1 to %d" % (ch, len(codes), MAX_CODES))
        glyphs[ch] = [c for c, _ in segs]
        lines.append(ch + "|" + codes + "\r\n")
        n_strokes += len(counts)
        n_cut += sum(1 for n in counts if n > 1)
        most = max(most, max(counts))
    with open(os.path.join(ROOT, "resources", "tables", "DH6763"), "wb") as f:
        f.write("".join(lines).encode("gb2312"))
    with open(os.path.join(hwdata.SOURCE_DIR, "ARPHICPL.TXT"), encoding="utf-8") as f:
        lic = f.read()
    fontbuild.build_ttf(os.path.join(ROOT, "resources", "fonts", "JIV_KaiTi_DH.ttf"),
                        "JIV_KaiTi_DH",
                        "Segment font: every stroke cut where the brush changes direction, "
                        "one contour per segment, in writing order.",
                        lic, glyphs)
    n_segs = sum(len(g) for g in glyphs.values())
    print("%d characters, %d strokes, %d segments, %d strokes cut, at most %d segments "
          "per stroke, %d overrides, %d centre lines mended, %.0f s"
          % (len(chars), n_strokes, n_segs, n_cut, most, len(OVERRIDES),
             sum(map(len, REVERSED.values())) + sum(map(len, EXTENDED.values())),
             time.time() - t0))


if __name__ == "__main__":
    main()
