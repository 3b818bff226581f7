#pragma once

#include <QLineF>
#include <QPolygonF>

#include <algorithm>

// Arc length along a polyline, for making strokes out of centre lines.

inline double lengthOf(const QPolygonF &p)
{
    double l = 0;
    for (qsizetype i = 1; i < p.size(); ++i)
        l += QLineF(p[i - 1], p[i]).length();
    return l;
}

// The point at arc length s along the polyline.
inline QPointF pointAt(const QPolygonF &p, double s)
{
    for (qsizetype i = 1; i < p.size(); ++i) {
        const double seg = QLineF(p[i - 1], p[i]).length();
        if (s <= seg || i == p.size() - 1)
            return seg > 0 ? p[i - 1] + (p[i] - p[i - 1]) * std::clamp(s / seg, 0.0, 1.0) : p[i];
        s -= seg;
    }
    return p.last();
}
