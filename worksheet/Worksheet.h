#pragma once

#include "CellFrame.h"

#include <QColor>
#include <QSize>
#include <QSizeF>
#include <QString>

// The three kinds of copybook sheet.
enum class WorksheetKind { Chinese, Letters, Digits };

// Where a page is painted: the preview on screen, or an A4 page picture
// (or PDF / printer page). Letter guide lines end 5 points earlier in pictures.
enum class PageOutput { Preview, Picture };

// Everything one copybook page depends on, read from the tab's controls at
// every drawing. Sizes are derived inside the painter from pointsPerPixel.
struct WorksheetSettings
{
    WorksheetKind kind = WorksheetKind::Chinese;
    QString text;
    int rowsPerChar = 3; // 1..15
    int tracingRows = 1; // 0..15
    // Grid kind, line style and colour of the cells (Chinese); the colour is
    // also the guide-line and digit-cell colour of the other two kinds.
    FrameStyle frame;
    bool model = true;        // first cell of each character in modelColor
    // Chinese: each character starts with its stroke order, one stroke per
    // cell, on as many rows as its strokes need.
    bool strokeOrderRows = false;
    // Chinese: each stroke's name under its cell in the stroke-order rows.
    bool strokeNames = false;
    // Chinese: a row of four pinyin lines above each character's first
    // practice row, its common reading above the model cell.
    bool pinyinRows = false;
    bool pageNumbers = true;
    bool doubleSided = false; // Chinese: even page numbers bottom left
    QColor modelColor = Qt::black;
    QColor traceColor = QColor(192, 192, 192);
    // The screen's points per pixel: the em sizes follow it, also in pictures.
    double pointsPerPixel = 0.75;
};

// Rows of 15 per page, for every kind.
constexpr int WorksheetRowsPerPage = 15;
// Cells in a row of the Chinese-character page.
constexpr int CharCellsPerRow = 12;

// A4 page pictures: 794 x 1123, 2480 x 3508 and 4961 x 7016 pixels at 96,
// 300 and 600 dpi, drawn at 72 / dpi points per pixel.
QSize a4PicturePixels(int dpi);
double picturePointsPerPixel(int dpi);
