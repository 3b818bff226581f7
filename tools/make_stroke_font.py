#!/usr/bin/python3
"""Generates resources/fonts/JIV_KaiTi_GB2312.ttf: one closed contour per
stroke, in writing order, for every GB 2312 character; and
resources/tables/KT6763 (the characters as GB 2312 byte pairs, ascending
code point).  Run tools/fetch_source.sh first."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import fontbuild  # noqa: E402
import hwdata  # noqa: E402

ROOT = os.path.dirname(hwdata.HERE)


def main():
    chars = hwdata.gb2312_chars()
    with open(os.path.join(ROOT, "resources", "tables", "KT6763"), "wb") as f:
        f.write("".join(chars).encode("gb2312"))
    glyphs = {}
    for ch in chars:
        rec = hwdata.load(ch)
        contours = []
        for d in rec["strokes"]:
            cs = hwdata.parse_path(d)
            assert len(cs) == 1, (ch, d)
            contours.append(cs[0])
        glyphs[ch] = contours
    with open(os.path.join(hwdata.SOURCE_DIR, "ARPHICPL.TXT"), encoding="utf-8") as f:
        lic = f.read()
    fontbuild.build_ttf(os.path.join(ROOT, "resources", "fonts", "JIV_KaiTi_GB2312.ttf"),
                        "JIV_KaiTi_GB2312",
                        "Whole-character stroke font: one contour per stroke, in writing order.",
                        lic, glyphs)


if __name__ == "__main__":
    main()
