#include "PracticeCell.h"

#include "StartupData.h"
#include "StrokeSheet.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <limits>

PracticeCell practiceCell(const SheetGlyph &glyph, QSize area)
{
    PracticeCell c;
    const int side = std::min(area.width(), area.height()) - 2 * PracticeCell::Margin;
    if (side - CellMargin < 1)
        return c;
    const SizedGlyph sized = glyph.sized(side - CellMargin);
    c.side = side;
    c.fsize = side - CellMargin;
    c.left = (area.width() - side) / 2;
    c.top = (area.height() - side) / 2;
    c.origin = QPointF(c.left + sized.zx, c.top + sized.zy);
    for (const QPainterPath &s : sized.strokes)
        c.strokes << s.translated(c.origin);
    return c;
}

namespace {

// A path rasterised into a small grey mask over the given frame.
QImage mask(const QPainterPath &path, const QTransform &toMask, QSize size)
{
    QImage m(size, QImage::Format_Grayscale8);
    m.fill(0);
    QPainter p(&m);
    p.setTransform(toMask);
    p.fillPath(path, Qt::white);
    return m;
}

} // namespace

QList<int> groupSegments(const QList<QPainterPath> &strokes, const QList<QPainterPath> &segments)
{
    const int n = int(strokes.size()), m = int(segments.size());
    if (n == 0 || m < n)
        return {};
    // Coarse masks are enough to tell which stroke a segment was cut from.
    QRectF frame;
    for (const QPainterPath &s : strokes)
        frame |= s.boundingRect();
    if (frame.isEmpty())
        return {};
    const double scale = 96.0 / std::max(frame.width(), frame.height());
    const QSize size(int(frame.width() * scale) + 2, int(frame.height() * scale) + 2);
    const QTransform toMask = QTransform::fromTranslate(-frame.left(), -frame.top()) * QTransform::fromScale(scale, scale);
    QList<QImage> strokeMasks;
    for (const QPainterPath &s : strokes)
        strokeMasks << mask(s, toMask, size);

    // share[j][i]: the part of segment j that lies inside stroke i.
    QList<QList<double>> share(m, QList<double>(n, 0.0));
    for (int j = 0; j < m; ++j) {
        const QImage seg = mask(segments[j], toMask, size);
        const QRect b = toMask.mapRect(segments[j].boundingRect()).toAlignedRect().adjusted(-1, -1, 1, 1) & seg.rect();
        qint64 total = 0;
        QList<qint64> inside(n, 0);
        for (int y = b.top(); y <= b.bottom(); ++y) {
            const uchar *s = seg.constScanLine(y);
            for (int x = b.left(); x <= b.right(); ++x) {
                if (s[x] < 128)
                    continue;
                ++total;
                for (int i = 0; i < n; ++i)
                    inside[i] += strokeMasks[i].constScanLine(y)[x] >= 128;
            }
        }
        for (int i = 0; i < n; ++i)
            share[j][i] = total ? double(inside[i]) / double(total) : 0.0;
    }

    // best[j][i]: the best total with segment j in stroke i, every stroke
    // before i taken by segments before j.
    const double none = -std::numeric_limits<double>::infinity();
    QList<QList<double>> best(m, QList<double>(n, none));
    QList<QList<int>> from(m, QList<int>(n, 0));
    best[0][0] = share[0][0];
    for (int j = 1; j < m; ++j) {
        for (int i = 0; i < n; ++i) {
            const double stay = best[j - 1][i];
            const double move = i > 0 ? best[j - 1][i - 1] : none;
            if (stay == none && move == none)
                continue;
            if (stay >= move) {
                best[j][i] = stay + share[j][i];
                from[j][i] = i;
            } else {
                best[j][i] = move + share[j][i];
                from[j][i] = i - 1;
            }
        }
    }
    if (best[m - 1][n - 1] == none)
        return {};
    QList<int> group(m, 0);
    int i = n - 1;
    for (int j = m - 1; j >= 0; --j) {
        group[j] = i;
        i = from[j][i];
    }
    return group;
}
