#pragma once

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRect>
#include <QString>

class PrivateFontCollection;

// A glyph outline as separate subpaths, one per closed contour, in the font's
// contour order: subpath k of a stroke font is stroke k.
class GraphicsPath
{
public:
    GraphicsPath() = default;

    // The outline of text in a family of the collection, em size emSize in
    // the caller's unit. The top of the line box lies at origin; the baseline
    // lies ascent / unitsPerEm * emSize below it. An unknown family or a
    // character without outline adds nothing.
    void addString(const QString &text, const PrivateFontCollection &fonts, const QString &family,
                   double emSize, QPointF origin);

    int subpathCount() const { return int(m_subpaths.size()); }
    const QPainterPath &subpath(int k) const { return m_subpaths.at(k); }
    const QList<QPainterPath> &subpaths() const { return m_subpaths; }
    bool isEmpty() const { return m_subpaths.isEmpty(); }

    // Exact bounds rounded outward to whole units; (0,0,0,0) when empty.
    QRect bounds() const;
    static QRect wholeUnits(const QRectF &exact);
    // All subpaths as one path, only ever outlined (filled at once, crossing
    // strokes would cancel out).
    QPainterPath combined() const;

private:
    QList<QPainterPath> m_subpaths;
};
