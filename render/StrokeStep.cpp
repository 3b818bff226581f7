#include "StrokeStep.h"

#include "Bhs.h"
#include "Graphics.h"
#include "GraphicsPathIterator.h"
#include "StartupData.h"

StepCell strokeStepCell(const StartupData &data, const QString &ch, int fsize, int imageWidth,
                        double pointsPerPixel)
{
    StepCell cell;
    cell.fsize = fsize;
    bhs(data.PrivateFonts, data.CharFontFamily, ch, fsize, cell.zx, cell.zy);
    cell.left = int((imageWidth * pointsPerPixel - fsize) / 2);
    cell.top = 10;
    cell.glyph.addString(ch, data.PrivateFonts, data.CharFontFamily, fsize,
                         QPointF(cell.left + cell.zx, cell.top + cell.zy));
    cell.strokes = cell.glyph.subpathCount();
    return cell;
}

void drawEmptyStepCell(Graphics &g, const StepCell &cell, const SheetStyle &style)
{
    drawCellFrame(g, style.frame, cell.left, cell.top, cell.fsize + CellMargin);
    if (style.outline)
        g.drawPath(cell.glyph.combined(), Pen{style.traceColor, 1.0, DashStyle::Solid});
}

void fillStrokeStep(Graphics &g, const StepCell &cell, int step, const QColor &color)
{
    GraphicsPathIterator it(cell.glyph);
    QPainterPath stroke;
    for (int s = 0; s < step; ++s)
        it.nextSubpath(stroke);
    if (step >= 0 && it.nextSubpath(stroke))
        g.fillPath(stroke, color);
}
