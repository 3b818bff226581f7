#!/usr/bin/python3
"""Writes the data the stroke-order test reads, so it runs offline:

  tests/data/stroke-order-gb2312.txt   the reference's lines for the 6763
                                       GB 2312 characters (see its header)
  tests/data/medians-gb2312.txt.xz     the stroke medians of the pinned
                                       source, character<TAB>JSON per line,
                                       in the source's own stroke order

    /usr/bin/python3 tools/make_check_data.py [REFERENCE]

REFERENCE defaults to ../shared/reference/stroke-order-digits.txt beside the
repository; the source comes from tools/fetch_source.sh.
"""
import json
import lzma
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_stroke_order as checker  # noqa: E402
import hwdata  # noqa: E402

ROOT = os.path.dirname(hwdata.HERE)
OUT = os.path.join(ROOT, "tests", "data")

HEADER = """\
# Stroke order of the 6763 GB 2312 characters in the five classes of the
# mainland stroke-order standard: 1 横/提, 2 竖/竖钩, 3 撇, 4 点/捺, 5 折.
# One character per line: character<TAB>digits, ascending code point.
# Extracted (GB 2312 lines only, order changed, these comments added) from
# sunwb_strokeorder.txt of zhmakeindex by Liu Haiyang (刘海洋),
# https://github.com/leo-liu/zhmakeindex, itself compiled from the stroke
# table of the 海峰五笔 input-method code table. zhmakeindex is distributed
# under the LaTeX Project Public License 1.3 or later; this is a modified
# extract of it, not the original file. Used only by the tests.
"""


def main():
    reference = sys.argv[1] if len(sys.argv) > 1 else checker.DEFAULT_REFERENCE
    ref = checker.load_reference(reference)
    chars = hwdata.gb2312_chars()
    missing = [ch for ch in chars if ch not in ref]
    if missing:
        sys.exit("reference lacks %d characters: %s" % (len(missing), "".join(missing[:20])))
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "stroke-order-gb2312.txt"), "w", encoding="utf-8") as f:
        f.write(HEADER)
        for ch in chars:
            f.write("%s\t%s\n" % (ch, ref[ch]))
    lines = []
    for ch in chars:
        medians = [[[round(v) for v in p] for p in m] for m in hwdata.raw(ch)["medians"]]
        lines.append("%s\t%s\n" % (ch, json.dumps(medians, separators=(",", ":"))))
    data = "".join(lines).encode("utf-8")
    with open(os.path.join(OUT, "medians-gb2312.txt.xz"), "wb") as f:
        f.write(lzma.compress(data, preset=9 | lzma.PRESET_EXTREME))
    print("wrote %d characters" % len(chars))


if __name__ == "__main__":
    main()
