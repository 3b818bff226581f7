#include "Reveal.h"

bool isRevealCode(int code)
{
    return code >= 1 && code <= 4;
}

RevealLines revealLines(int code, const QRect &bounds)
{
    RevealLines l;
    if (!isRevealCode(code))
        return l;
    l.columns = code == 1 || code == 3;
    const int from = l.columns ? bounds.x() : bounds.y();
    const int to = from + (l.columns ? bounds.width() : bounds.height());
    if (to < from)
        return l;
    const bool forward = code == 1 || code == 2;
    l.first = forward ? from : to;
    l.step = forward ? 1 : -1;
    l.count = to - from + 1;
    return l;
}

QRect revealLine(const RevealLines &lines, int i, const QRect &bounds, const QImage &mask, QRgb color,
                 QImage &target)
{
    const int at = lines.at(i);
    const bool column = lines.columns;
    const int from = column ? bounds.y() : bounds.x();
    const int to = from + (column ? bounds.height() : bounds.width());
    const QRect maskRect = mask.rect();
    const QRect targetRect = target.rect();
    // The picture is painted with opaque pixels in its own format.
    const QRgb opaque = 0xff000000u | color;
    for (int v = from; v <= to; ++v) {
        const QPoint p = column ? QPoint(at, v) : QPoint(v, at);
        if (!maskRect.contains(p) || mask.pixel(p) == 0 || !targetRect.contains(p))
            continue;
        reinterpret_cast<QRgb *>(target.scanLine(p.y()))[p.x()] = opaque;
    }
    return column ? QRect(at, from, 1, to - from + 1) : QRect(from, at, to - from + 1, 1);
}
