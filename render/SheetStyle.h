#pragma once

#include "CellFrame.h"

#include <QColor>
#include <QString>
#include <QStringList>

class PrivateFontCollection;

// What cell k of a stroke-order sheet shows ("跟随式", "笔画式", "描红").
enum class SplitMode {
    Follow = 0, // stroke k alone
    Stroke = 1, // strokes 1..k
    Trace = 2,  // strokes 1..k over the rest in the tracing colour
    // Stroke k in the character colour over strokes 1..k-1 in the tracing
    // colour: the copybook's stroke-order rows (no radio item).
    NewStroke = 3,
};
// A radio group's item index as the typed value; out of range gives 笔画式.
SplitMode splitModeFromIndex(int index);

// Stroke numbers at the top-left corner of each cell (full-screen sheet).
struct StrokeNumbers
{
    const PrivateFontCollection *fonts = nullptr; // null: no numbers
    QString family;
    double em = 24;
};

// The text of the stroke names under the cells: the font they are written
// in and one name per stroke (a missing name leaves its place empty).
struct StrokeNameText
{
    const PrivateFontCollection *fonts = nullptr; // null: the line stays empty
    QString family;
    QStringList names;
    double em = 0; // 0: a fifth of the cell side
};

// How the cells of a stroke-order sheet look, read from the settings
// controls at every drawing.
struct SheetStyle
{
    SplitMode splitMode = SplitMode::Stroke;
    bool outline = false;
    QColor charColor = Qt::black;
    QColor traceColor = QColor(192, 192, 192);
    FrameStyle frame;
    StrokeNumbers numbers;
    // Each cell's stroke name under it: every row of cells grows by the
    // name line where the row gap cannot hold it.
    bool strokeNames = false;
    StrokeNameText nameText;
};

// The sheet's geometry in points: em size, gaps and cells per row.
struct SheetMetrics
{
    int fsize = 54;
    int hgap = 7;
    int vgap = 7;
    int perRow = 8;
};
