#include "CellFrame.h"

#include "Graphics.h"

GridType gridTypeFromIndex(int index)
{
    return index == 1 ? GridType::Tian : index == 2 ? GridType::Mi : GridType::None;
}

LineStyle lineStyleFromIndex(int index)
{
    return index == 1 ? LineStyle::AllSolid : index == 2 ? LineStyle::AllDashed : LineStyle::SolidOutDashedIn;
}

void drawCellFrame(Graphics &g, const FrameStyle &style, int left, int top, int side)
{
    if (style.gridType == GridType::None)
        return;
    const int right = left + side;
    const int bottom = top + side;
    const int midX = (2 * left + side) / 2; // truncates: odd sides lie half a unit early
    const int midY = (2 * top + side) / 2;
    Pen pen{style.color, style.width, DashStyle::Solid};

    pen.dashStyle = style.lineStyle == LineStyle::AllDashed ? DashStyle::Dash : DashStyle::Solid;
    g.drawRectangle(pen, QRect(left, top, side, side));

    pen.dashStyle = style.lineStyle == LineStyle::AllSolid ? DashStyle::Solid : DashStyle::Dash;
    g.drawLine(pen, QPoint(left, midY), QPoint(right, midY));
    g.drawLine(pen, QPoint(midX, top), QPoint(midX, bottom));
    if (style.gridType == GridType::Mi) {
        g.drawLine(pen, QPoint(left, top), QPoint(right, bottom));
        g.drawLine(pen, QPoint(left, bottom), QPoint(right, top));
    }
}
