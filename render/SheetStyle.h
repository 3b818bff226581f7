#pragma once

#include "CellFrame.h"

#include <QColor>
#include <QString>

class PrivateFontCollection;

// Stroke numbers at the top-left corner of each cell (full-screen sheet).
struct StrokeNumbers
{
    const PrivateFontCollection *fonts = nullptr; // null: no numbers
    QString family;
    double em = 24;
};

// How the cells of a stroke-order sheet look, read from the settings
// controls at every drawing.
struct SheetStyle
{
    // 0 跟随式: stroke k alone; 1 笔画式: strokes 1..k;
    // 2 描红: strokes 1..k over the rest in the tracing colour.
    int splitMode = 1;
    bool outline = false;
    QColor charColor = Qt::black;
    QColor traceColor = QColor(192, 192, 192);
    FrameStyle frame;
    StrokeNumbers numbers;
};

// The sheet's geometry in points: em size, gaps and cells per row.
struct SheetMetrics
{
    int fsize = 54;
    int hgap = 7;
    int vgap = 7;
    int perRow = 8;
};
