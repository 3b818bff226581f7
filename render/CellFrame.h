#pragma once

#include "Pen.h"

#include <QColor>

class Graphics;

// Guide grid of a practice cell: grid type 0 none, 1 田字格, 2 米字格;
// line style 0 solid outside / dashed inside, 1 all solid, 2 all dashed.
struct FrameStyle
{
    int gridType = 1;
    int lineStyle = 0;
    QColor color = QColor(128, 128, 0);
    double width = 1.0;
};

// Draws the frame of the square cell (left, top, side, side) in the
// surface's unit. One pen serves the whole frame; the dash pattern starts
// at the first point of each line.
void drawCellFrame(Graphics &g, const FrameStyle &style, int left, int top, int side);
