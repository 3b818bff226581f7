#include "StrokeSheet.h"

#include "Graphics.h"
#include "GraphicsPath.h"
#include "GraphicsPathIterator.h"
#include "StartupData.h"

void drawStrokeSheet(QImage &picture, double dpi, const StartupData &data, const QString &ch,
                     const SheetStyle &style, const SheetMetrics &m, int left, int top, int zx, int zy)
{
    Graphics g(picture, dpi);
    g.setPageUnit(PageUnit::Point);
    g.setAntialiasing(true);
    GraphicsPath glyph;
    glyph.addString(ch, data.PrivateFonts, data.CharFontFamily, m.fsize, QPointF(left + zx, top + zy));
    drawSheetCells(g, glyph, style, m, left, top);
}

int sheetRows(int n, int perRow)
{
    if (perRow <= 0)
        return 0;
    return n <= perRow ? 1 : (n + perRow - 1) / perRow;
}

void drawSheetCells(Graphics &g, const GraphicsPath &glyph, const SheetStyle &style,
                    const SheetMetrics &m, int firstLeft, int firstTop)
{
    const int n = glyph.subpathCount();
    const int side = m.fsize + CellMargin;
    const Pen outlinePen{style.traceColor, 1.0, DashStyle::Solid};
    const QPainterPath whole = style.outline ? glyph.combined() : QPainterPath();
    GraphicsPathIterator it(glyph);
    QPainterPath stroke;

    g.resetTransform();
    for (int k = 0; k < n; ++k) {
        if (k > 0 && m.perRow > 0 && k % m.perRow == 0) {
            g.resetTransform();
            g.translateTransform(0, double(k / m.perRow) * (side + m.vgap));
        }
        if (style.splitMode == 1 || style.splitMode == 2)
            it.rewind();
        drawCellFrame(g, style.frame, firstLeft, firstTop, side);
        if (style.numbers.fonts)
            g.drawString(QString::number(k + 1), *style.numbers.fonts, style.numbers.family, style.numbers.em,
                         QPointF(firstLeft - 3, firstTop - 3), style.charColor);
        if (style.outline)
            g.drawPath(whole, outlinePen);
        if (style.splitMode == 0) {
            if (it.nextSubpath(stroke))
                g.fillPath(stroke, style.charColor);
        } else {
            if (style.splitMode == 2) {
                for (int s = 0; s <= k; ++s)
                    it.nextSubpath(stroke);
                while (it.nextSubpath(stroke))
                    g.fillPath(stroke, style.traceColor);
                it.rewind();
            }
            // Strokes written so far, one fill each so crossings stay filled.
            for (int s = 0; s <= k && it.nextSubpath(stroke); ++s)
                g.fillPath(stroke, style.charColor);
        }
        g.translateTransform(side + m.hgap, 0);
    }
    g.resetTransform();
}

ScreenSheetLayout screenSheetLayout(int n, const SheetMetrics &m, QSize panelPx,
                                    double pointsPerPixel, double pixelsPerPoint)
{
    ScreenSheetLayout out;
    const double side = double(m.fsize) + CellMargin;
    out.top = int(10 * pointsPerPixel);
    out.imageWidth = panelPx.width();
    out.imageHeight = panelPx.height();
    if (n > m.perRow) {
        const double rows = sheetRows(n, m.perRow);
        out.imageHeight = qint64((rows * side + (rows - 1) * m.vgap + 2 * CellMargin) * pixelsPerPoint);
    }
    // The margin is that of a full, centred row, also for fewer strokes.
    const double left = (out.imageWidth * pointsPerPixel - side * m.perRow - (m.perRow - 1.0) * m.hgap) / 2;
    if (left < 10) {
        out.left = 10;
        const double cells = n >= m.perRow ? m.perRow : n;
        out.imageWidth = qint64((cells * side + (cells - 1) * m.hgap + 2 * CellMargin) * pixelsPerPoint);
    } else {
        out.left = int(left);
    }
    if (out.imageHeight < panelPx.height())
        out.imageHeight = panelPx.height();
    out.hScroll = out.imageWidth > panelPx.width();
    out.vScroll = out.imageHeight > panelPx.height();
    return out;
}
