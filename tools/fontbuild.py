"""Builds a TrueType font whose glyphs are lists of closed contours, one
contour per stroke (or segment), kept in the given order.

Output is byte for byte reproducible: fixed timestamps, no recalculated dates.
"""
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.areaPen import AreaPen
from fontTools.pens.cu2quPen import Cu2QuPen
from fontTools.pens.recordingPen import RecordingPen
from fontTools.pens.reverseContourPen import ReverseContourPen
from fontTools.pens.ttGlyphPen import TTGlyphPen

import hwdata

# 2020-01-01 in seconds since 1904-01-01: a fixed date keeps the bytes stable.
FIXED_TIME = 3660681600
CU2QU_MAX_ERR = 1.0  # font units of the 1024 em


def draw_contour(pen, contour):
    start, segs = contour
    pen.moveTo(start)
    for s in segs:
        if s[0] == "L":
            pen.lineTo(s[1])
        elif s[0] == "Q":
            pen.qCurveTo(s[1], s[2])
        else:
            pen.curveTo(s[1], s[2], s[3])
    pen.closePath()


def contour_glyph(contours):
    """One TrueType glyph, one clockwise contour per entry, order kept."""
    pen = TTGlyphPen(None)
    for c in contours:
        rec = RecordingPen()
        draw_contour(rec, c)
        area = AreaPen()
        rec.replay(area)
        # TrueType wants clockwise outer contours (y up): negative area.
        target = Cu2QuPen(pen, CU2QU_MAX_ERR, reverse_direction=False)
        if area.value > 0:
            rec.replay(ReverseContourPen(target))
        else:
            rec.replay(target)
    return pen.glyph()


def build_ttf(path, family, description, license_text, glyphs):
    """glyphs: {char: [contour, ...]} with contours as hwdata.parse_path gives."""
    chars = sorted(glyphs)
    names = [".notdef"] + ["uni%04X" % ord(c) for c in chars]
    fb = FontBuilder(hwdata.UNITS_PER_EM, isTTF=True)
    fb.font.recalcTimestamp = False
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap({ord(c): "uni%04X" % ord(c) for c in chars})
    # .notdef stays empty: a character the font lacks must give no outline.
    ttglyphs = {".notdef": TTGlyphPen(None).glyph()}
    for c in chars:
        ttglyphs["uni%04X" % ord(c)] = contour_glyph(glyphs[c])
    fb.setupGlyf(ttglyphs)
    glyf = fb.font["glyf"]
    metrics = {}
    for n in names:
        g = glyf[n]
        # Left side bearing = xMin, so no renderer shifts the outline.
        metrics[n] = (hwdata.UNITS_PER_EM, getattr(g, "xMin", 0))
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=hwdata.ASCENT, descent=-hwdata.DESCENT, lineGap=0)
    fb.setupNameTable({
        "familyName": family,
        "styleName": "Regular",
        "uniqueFontIdentifier": family + " Regular",
        "fullName": family,
        "psName": family.replace(" ", "-") + "-Regular",
        "version": "Version 1.000",
        "copyright": "Outlines derived from Make Me a Hanzi / hanzi-writer-data 2.0.1, "
                     "(c) Arphic Technology Co., Ltd.; Arphic Public License",
        "licenseDescription": license_text,
        "description": description,
    })
    fb.setupOS2(sTypoAscender=hwdata.ASCENT, sTypoDescender=-hwdata.DESCENT, sTypoLineGap=0,
                usWinAscent=hwdata.ASCENT, usWinDescent=hwdata.DESCENT,
                achVendID="KLVR", fsType=0)
    fb.setupPost()
    fb.setupHead(unitsPerEm=hwdata.UNITS_PER_EM, created=FIXED_TIME, modified=FIXED_TIME)
    fb.font["head"].created = FIXED_TIME
    fb.font["head"].modified = FIXED_TIME
    fb.save(path)
