#pragma once

#include "Pen.h"

#include <QColor>

class Graphics;

// The guide grid of a practice cell ("无", "田字格", "米字格"), in the order
// of the grid drop-down list.
enum class GridType { None = 0, Tian = 1, Mi = 2 };
// The grid's line styles ("外实里虚", "外实里实", "外虚里虚"), in list order.
enum class LineStyle { SolidOutDashedIn = 0, AllSolid = 1, AllDashed = 2 };

// A drop-down list's item index as the typed value; anything out of range
// gives the first item.
GridType gridTypeFromIndex(int index);
LineStyle lineStyleFromIndex(int index);

struct FrameStyle
{
    GridType gridType = GridType::Tian;
    LineStyle lineStyle = LineStyle::SolidOutDashedIn;
    QColor color = QColor(128, 128, 0);
    double width = 1.0;
};

// Draws the frame of the square cell (left, top, side, side) in the
// surface's unit. One pen serves the whole frame; the dash pattern starts
// at the first point of each line.
void drawCellFrame(Graphics &g, const FrameStyle &style, int left, int top, int side);
