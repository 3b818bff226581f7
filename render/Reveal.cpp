#include "Reveal.h"

bool isRevealCode(int code)
{
    return code >= 1 && code <= 4;
}

namespace {

// Paints the covered pixels of one column (vertical) or row of the bounds.
QRect paintLine(bool column, int at, const QRect &bounds, const QImage &mask, QRgb color, QImage &target)
{
    const int from = column ? bounds.y() : bounds.x();
    const int to = from + (column ? bounds.height() : bounds.width());
    const QRect maskRect = mask.rect();
    const QRect targetRect = target.rect();
    for (int v = from; v <= to; ++v) {
        const QPoint p = column ? QPoint(at, v) : QPoint(v, at);
        // A mask pixel outside the mask counts as empty.
        if (!maskRect.contains(p) || mask.pixel(p) == 0 || !targetRect.contains(p))
            continue;
        reinterpret_cast<QRgb *>(target.scanLine(p.y()))[p.x()] = color;
    }
    return column ? QRect(at, from, 1, to - from + 1) : QRect(from, at, to - from + 1, 1);
}

} // namespace

void revealSegment(int code, const QRect &bounds, const QImage &mask, QRgb color, int delayMs,
                   RevealHost &host)
{
    if (!isRevealCode(code))
        return;
    const bool column = code == 1 || code == 3;
    const bool forward = code == 1 || code == 2;
    const int first = column ? bounds.x() : bounds.y();
    const int last = first + (column ? bounds.width() : bounds.height());
    if (last < first)
        return;
    // The picture is painted with opaque pixels in its own format.
    const QRgb opaque = 0xff000000u | color;
    for (int i = 0; i <= last - first; ++i) {
        const int at = forward ? first + i : last - i;
        if (host.stopRequested())
            return;
        QImage &target = host.picture();
        const QRect line = paintLine(column, at, bounds, mask, opaque, target);
        host.refresh(line);
        if (at % 3 == 0)
            host.sleepMs(delayMs);
        host.processEvents();
    }
}
