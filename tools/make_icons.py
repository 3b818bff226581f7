#!/usr/bin/python3
"""Draws the program icon, 永 in a 田字格, from the whole-character stroke
font at the usual icon sizes: resources/icons/kelvora-<size>.png."""
import os

from fontTools.pens.basePen import BasePen
from fontTools.ttLib import TTFont
from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
SIZES = [16, 24, 32, 48, 64, 128, 256]
SUPER = 4  # drawn large, then scaled down for smooth edges


class PolygonPen(BasePen):
    """Flattens each contour into a polygon."""

    def __init__(self, glyphset):
        super().__init__(glyphset)
        self.polys = []
        self.cur = None

    def _moveTo(self, p):
        self.cur = [p]

    def _lineTo(self, p):
        self.cur.append(p)

    def _curveToOne(self, p1, p2, p3):
        p0 = self.cur[-1]
        for i in range(1, 13):
            t = i / 12
            a, b, c, d = (1 - t) ** 3, 3 * (1 - t) ** 2 * t, 3 * (1 - t) * t * t, t ** 3
            self.cur.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
                             a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))

    def _closePath(self):
        self.polys.append(self.cur)
        self.cur = None

    _endPath = _closePath


def draw(size, strokes):
    s = size * SUPER
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    pad = max(1, s // 32)
    radius = s // 8
    line = max(SUPER, s // 40)
    d.rounded_rectangle([pad, pad, s - pad - 1, s - pad - 1], radius=radius,
                        fill=(255, 250, 240, 255), outline=(200, 40, 40, 255), width=line)
    mid = s // 2
    dash = max(SUPER * 2, s // 16)
    for x in range(pad + radius // 2, s - pad - radius // 2, 2 * dash):
        d.line([(x, mid), (min(x + dash, s - pad), mid)], fill=(220, 90, 90, 255), width=max(1, line // 2))
        d.line([(mid, x), (mid, min(x + dash, s - pad))], fill=(220, 90, 90, 255), width=max(1, line // 2))
    # The glyph centred on its ink, y up in font units, inside the frame.
    xs = [x for poly in strokes for x, _ in poly]
    ys = [y for poly in strokes for _, y in poly]
    scale = (s - 2 * pad) * 0.74 / max(max(xs) - min(xs), max(ys) - min(ys))
    cx, cy = (max(xs) + min(xs)) / 2, (max(ys) + min(ys)) / 2
    for poly in strokes:
        pts = [(s / 2 + (x - cx) * scale, s / 2 - (y - cy) * scale) for x, y in poly]
        d.polygon(pts, fill=(20, 20, 20, 255))
    return img.resize((size, size), Image.LANCZOS)


def main():
    font = TTFont(os.path.join(ROOT, "resources", "fonts", "JIV_KaiTi_GB2312.ttf"))
    gs = font.getGlyphSet()
    pen = PolygonPen(gs)
    gs[font.getBestCmap()[ord("永")]].draw(pen)
    out = os.path.join(ROOT, "resources", "icons")
    os.makedirs(out, exist_ok=True)
    for size in SIZES:
        draw(size, pen.polys).save(os.path.join(out, "kelvora-%d.png" % size), optimize=True)


if __name__ == "__main__":
    main()
