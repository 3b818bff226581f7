#include "WritingCell.h"

#include "Bhs.h"
#include "Graphics.h"
#include "GraphicsPath.h"
#include "StartupData.h"

#include <algorithm>

QList<QPainterPath> drawWritingCell(QImage &picture, double dpi, const PrivateFontCollection &fonts,
                                    const QString &charFamily, const QString &segmentFamily,
                                    const QString &ch, const FrameStyle &frame)
{
    // In the picture's logical pixels: a HiDPI picture keeps the layout.
    const qreal ratio = picture.devicePixelRatio();
    const int width = int(picture.width() / ratio), height = int(picture.height() / ratio);
    const int fsize = std::min(width, height) - 40;
    if (fsize < 1 || picture.isNull())
        return {};
    int zx = 0, zy = 0;
    bhs(fonts, charFamily, ch, fsize, zx, zy);
    const int left = (width - fsize) / 2;
    const int top = 10;
    {
        Graphics g(picture, dpi);
        g.setAntialiasing(true);
        FrameStyle pen = frame;
        pen.width = 2.0;
        drawCellFrame(g, pen, left, top, fsize + CellMargin);
    }
    GraphicsPath segments;
    segments.addString(ch, fonts, segmentFamily, fsize, QPointF(left + zx, top + zy));
    return segments.subpaths();
}

QList<int> revealCodes(const QString &codes)
{
    QList<int> code;
    for (const QChar c : codes)
        code << c.digitValue();
    return code;
}
