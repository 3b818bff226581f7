#include "GraphicsPath.h"

#include "PrivateFontCollection.h"

#include <QRawFont>
#include <QTransform>

#include <cmath>

namespace {

// Splits a glyph outline at each move-to; every contour of a TrueType glyph
// is closed, and the closing point is kept.
void appendContours(const QPainterPath &glyph, const QTransform &place, QList<QPainterPath> &out)
{
    const int n = glyph.elementCount();
    int i = 0;
    while (i < n) {
        QPainterPath sub;
        sub.setFillRule(Qt::OddEvenFill);
        const QPainterPath::Element m = glyph.elementAt(i++);
        sub.moveTo(place.map(QPointF(m.x, m.y)));
        while (i < n && !glyph.elementAt(i).isMoveTo()) {
            const QPainterPath::Element e = glyph.elementAt(i);
            if (e.isLineTo()) {
                sub.lineTo(place.map(QPointF(e.x, e.y)));
                ++i;
            } else { // a cubic: this element and two curve-data elements
                const QPainterPath::Element c2 = glyph.elementAt(i + 1);
                const QPainterPath::Element p = glyph.elementAt(i + 2);
                sub.cubicTo(place.map(QPointF(e.x, e.y)), place.map(QPointF(c2.x, c2.y)),
                            place.map(QPointF(p.x, p.y)));
                i += 3;
            }
        }
        sub.closeSubpath();
        out.append(sub);
    }
}

} // namespace

void GraphicsPath::addString(const QString &text, const PrivateFontCollection &fonts,
                             const QString &family, double emSize, QPointF origin)
{
    const QRawFont font = fonts.family(family);
    if (!font.isValid() || text.isEmpty())
        return;
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    if (glyphs.isEmpty())
        return;
    const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
    // The font sits at one pixel per unit, so its metrics are in font units.
    const double scale = emSize / font.unitsPerEm();
    double penX = origin.x();
    const double baseline = origin.y() + font.ascent() * scale;
    for (int k = 0; k < glyphs.size(); ++k) {
        if (glyphs[k] != 0) { // glyph 0 (.notdef) draws nothing
            QTransform place(scale, 0, 0, scale, penX, baseline);
            appendContours(font.pathForGlyph(glyphs[k]), place, m_subpaths);
        }
        penX += advances.value(k).x() * scale;
    }
}

QRect GraphicsPath::bounds() const
{
    if (m_subpaths.isEmpty())
        return QRect(0, 0, 0, 0);
    QRectF r;
    for (const QPainterPath &p : m_subpaths)
        r = r.isNull() ? p.boundingRect() : r.united(p.boundingRect());
    return wholeUnits(r);
}

QRect GraphicsPath::wholeUnits(const QRectF &r)
{
    const int x = int(std::floor(r.left()));
    const int y = int(std::floor(r.top()));
    return QRect(x, y, int(std::ceil(r.right())) - x, int(std::ceil(r.bottom())) - y);
}

QPainterPath GraphicsPath::combined() const
{
    QPainterPath all;
    all.setFillRule(Qt::OddEvenFill);
    for (const QPainterPath &p : m_subpaths)
        all.addPath(p);
    return all;
}
