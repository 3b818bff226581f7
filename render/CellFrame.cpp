#include "CellFrame.h"

#include "Graphics.h"

void drawCellFrame(Graphics &g, const FrameStyle &style, int left, int top, int side)
{
    if (style.gridType != 1 && style.gridType != 2)
        return;
    const int right = left + side;
    const int bottom = top + side;
    const int midX = (2 * left + side) / 2; // truncates: odd sides lie half a unit early
    const int midY = (2 * top + side) / 2;
    Pen pen{style.color, style.width, DashStyle::Solid};

    pen.dashStyle = style.lineStyle == 2 ? DashStyle::Dash : DashStyle::Solid;
    g.drawRectangle(pen, QRect(left, top, side, side));

    pen.dashStyle = style.lineStyle == 1 ? DashStyle::Solid : DashStyle::Dash;
    g.drawLine(pen, QPoint(left, midY), QPoint(right, midY));
    g.drawLine(pen, QPoint(midX, top), QPoint(midX, bottom));
    if (style.gridType == 2) {
        g.drawLine(pen, QPoint(left, top), QPoint(right, bottom));
        g.drawLine(pen, QPoint(left, bottom), QPoint(right, top));
    }
}
