#include "PinyinBand.h"

#include "Graphics.h"
#include "GraphicsPath.h"
#include "PrivateFontCollection.h"

#include <QPainterPathStroker>
#include <QRawFont>

#include <algorithm>

namespace {

// The letter font's fit to the lines: em 2.7 gaps, line box top 0.32 gap
// above the first line (27 points and 3.2 at the letter copybook's 10).
constexpr double EmPerGap = 2.7;
constexpr double BoxAboveFirstLine = 0.32;

QRectF inkOf(const QList<QPainterPath> &contours)
{
    QRectF r;
    for (const QPainterPath &c : contours)
        r = r.isNull() ? c.boundingRect() : r.united(c.boundingRect());
    return r;
}

// A tone mark as a stroked line, its lowest point at y = 0, centred on x = 0;
// `low` for one over the dots of ü, where less room is left below the first line.
QPainterPath toneMark(ushort mark, double em, bool low)
{
    const double w = 0.16 * em, h = (low ? 0.1 : 0.14) * em;
    QPainterPath line;
    switch (mark) {
    case 0x0304: // ā: level
        line.moveTo(-w, -h / 2);
        line.lineTo(w, -h / 2);
        break;
    case 0x0301: // á: rising
        line.moveTo(-w * 0.6, 0);
        line.lineTo(w * 0.6, -h);
        break;
    case 0x030C: // ǎ: falling and rising
        line.moveTo(-w * 0.8, -h);
        line.lineTo(0, 0);
        line.lineTo(w * 0.8, -h);
        break;
    case 0x0300: // à: falling
        line.moveTo(-w * 0.6, -h);
        line.lineTo(w * 0.6, 0);
        break;
    default:
        return line;
    }
    QPainterPathStroker stroker;
    stroker.setWidth(0.07 * em);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line).simplified();
}

} // namespace

PinyinBand pinyinBandForRow(double left, double rowTop, int side, int cells)
{
    PinyinBand b;
    b.left = left;
    b.cellWidth = side;
    b.cells = cells;
    b.gap = side / 5.0;
    b.top = rowTop + side + 2 - 3 * b.gap;
    return b;
}

QPainterPath pinyinOutline(const PrivateFontCollection &fonts, const QString &family, const QString &syllable,
                           double em)
{
    QPainterPath out;
    const QRawFont font = fonts.family(family);
    if (!font.isValid() || em <= 0)
        return out;
    const double scale = em / font.unitsPerEm();
    // Each letter with the marks that follow it once decomposed (ǚ: u, ¨, ˇ).
    const QString d = syllable.normalized(QString::NormalizationForm_D);
    double penX = 0;
    for (int i = 0; i < d.size(); ++i) {
        const QChar base = d.at(i);
        QList<ushort> marks;
        while (i + 1 < d.size() && d.at(i + 1).category() == QChar::Mark_NonSpacing)
            marks.append(d.at(++i).unicode());
        const QList<quint32> glyph = font.glyphIndexesForString(QString(base));
        if (glyph.isEmpty() || glyph.first() == 0)
            continue;
        GraphicsPath letter;
        letter.addString(QString(base), fonts, family, em, QPointF(penX, 0));
        QList<QPainterPath> contours = letter.subpaths();
        penX += font.advancesForGlyphIndexes(glyph).value(0).x() * scale;
        const bool toned = std::any_of(marks.cbegin(), marks.cend(), [](ushort m) { return m != 0x0308; });
        if (base == QLatin1Char('i') && toned && contours.size() > 1) {
            // The tone mark takes the place of the dot: the highest contour.
            auto dot = std::min_element(contours.begin(), contours.end(), [](const QPainterPath &a,
                                                                             const QPainterPath &b) {
                return a.boundingRect().top() < b.boundingRect().top();
            });
            contours.erase(dot);
        }
        for (const QPainterPath &c : contours)
            out.addPath(c);
        if (marks.isEmpty())
            continue;
        const QRectF ink = inkOf(contours);
        // Marks stack upwards from just above the letter and stay below
        // the first line, a gap (0.37 em) above the x-height.
        double y = ink.top() - 0.045 * em;
        bool dotted = false;
        for (ushort m : marks) {
            if (m == 0x0308) { // the two dots of ü
                const double r = 0.04 * em;
                out.addEllipse(QPointF(ink.center().x() - 0.1 * em, y - r), r, r);
                out.addEllipse(QPointF(ink.center().x() + 0.1 * em, y - r), r, r);
                y -= 2 * r + 0.05 * em;
                dotted = true;
                continue;
            }
            out.addPath(toneMark(m, em, dotted).translated(ink.center().x(), y));
            y -= 0.2 * em;
        }
    }
    if (!out.isEmpty())
        out.translate(-out.boundingRect().left(), 0);
    out.setFillRule(Qt::WindingFill);
    return out;
}

void drawPinyinBand(Graphics &g, const PinyinBand &b, const FrameStyle &frame, const PrivateFontCollection &fonts,
                    const QString &family, const QString &syllable, const QColor &textColor)
{
    if (frame.gridType != GridType::None) {
        const double right = b.left + b.cells * b.cellWidth;
        Pen outer{frame.color, frame.width,
                  frame.lineStyle == LineStyle::AllDashed ? DashStyle::Dash : DashStyle::Solid};
        Pen inner{frame.color, frame.width,
                  frame.lineStyle == LineStyle::AllSolid ? DashStyle::Solid : DashStyle::Dash};
        for (int k = 0; k < 4; ++k) {
            QPainterPath line;
            line.moveTo(b.left, b.lineY(k));
            line.lineTo(right, b.lineY(k));
            g.drawPath(line, k == 0 || k == 3 ? outer : inner);
        }
        // One box per cell, for one syllable each.
        QPainterPath sides;
        for (int c = 0; c <= b.cells; ++c) {
            sides.moveTo(b.left + c * b.cellWidth, b.lineY(0));
            sides.lineTo(b.left + c * b.cellWidth, b.lineY(3));
        }
        g.drawPath(sides, outer);
    }
    if (syllable.isEmpty())
        return;
    const double em = EmPerGap * b.gap;
    const QPainterPath text = pinyinOutline(fonts, family, syllable, em);
    if (text.isEmpty())
        return;
    const QRawFont font = fonts.family(family);
    const double baseline = font.ascent() / font.unitsPerEm() * em; // below the line box top
    const double room = b.cellWidth - 0.6 * b.gap;
    const double fit = text.boundingRect().width() > room ? room / text.boundingRect().width() : 1.0;
    // Narrowed about the baseline, so the letters still stand on the third line.
    QTransform place;
    place.translate(b.left + (b.cellWidth - text.boundingRect().width() * fit) / 2,
                    b.lineY(0) - BoxAboveFirstLine * b.gap + baseline);
    place.scale(fit, fit);
    place.translate(0, -baseline);
    g.fillWinding(place.map(text), textColor);
}
