#!/usr/bin/python3
"""The brush-direction faults once found in the committed segment font and
direction table stay mended: each named stroke has the codes the same stroke
has in the characters that share its component, and the direction checker
raises nothing on it.  Reads only the committed fonts and table."""
import os
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import check_directions as cd  # noqa: E402

# (character, stroke, codes it must have, why)
MENDED = [
    ("哌", 8, "2", "the 撇 of 𠂢 falls to the left, as in 派"),
    ("裒", 7, "1", "the inner right 横 of 臼 runs left to right"),
    ("裒", 11, "2", "the small 撇 of the lower part falls to its thin end"),
    ("钸", 5, "21", "竖提 of 钅: down, then the 提 up to the right"),
    ("铽", 5, "21", "竖提 of 钅"),
    ("锋", 5, "21", "竖提 of 钅"),
    ("镢", 5, "21", "竖提 of 钅"),
    ("镣", 5, "21", "竖提 of 钅"),
    ("饧", 3, "21", "竖提 of 饣"),
]
# The same strokes where they were always right.
PEERS = [("派", 8, "2"), ("臼", 5, "1"), ("钱", 5, "21"), ("饭", 3, "21")]


class MendedDirections(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        seg, whole = cd.Font(cd.SEGMENT_FONT), cd.Font(cd.STROKE_FONT)
        table = dict(cd.load_table())
        cls.chars = {}
        for ch in {c for c, *_ in MENDED + PEERS}:
            c = cd.Char(ch, table[ch], whole.contours(ch), seg.contours(ch))
            c.check_taper()
            c.check_brush_order()
            cls.chars[ch] = c

    def test_codes(self):
        for ch, stroke, codes, *why in MENDED + PEERS:
            with self.subTest(ch=ch, stroke=stroke):
                c = self.chars[ch]
                self.assertIsNotNone(c.group, "%s: segments do not group into strokes" % ch)
                self.assertEqual(c.stroke_codes(stroke - 1), codes, " ".join(why))

    def test_no_flags(self):
        for ch, stroke, *_ in MENDED + PEERS:
            with self.subTest(ch=ch, stroke=stroke):
                flags = [f for f in self.chars[ch].flags if f[0] in (0, stroke)]
                self.assertEqual(flags, [])

    def test_hook_is_the_outline_arm(self):
        # The 提 segment is the arm of the outline, not a sliver: it reaches
        # the stroke's right edge and holds a fair share of the stroke.
        for ch, stroke, codes, *_ in MENDED:
            if codes != "21":
                continue
            with self.subTest(ch=ch):
                c = self.chars[ch]
                down, arm = c.stroke_segments(stroke - 1)
                sx = c.stroke_polys[stroke - 1][:, 0]
                ax = c.seg_polys[arm][:, 0]
                self.assertGreater(ax.max(), sx.max() - 1)
                share = c.seg_masks[arm].sum() / c.stroke_masks[stroke - 1].sum()
                self.assertGreater(share, 0.15)


if __name__ == "__main__":
    unittest.main()
