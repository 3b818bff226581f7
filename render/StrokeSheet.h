#pragma once

#include "SheetStyle.h"

#include <QImage>
#include <QSize>
#include <QString>

class Graphics;
class GraphicsPath;
struct StartupData;

// Draws the n cells of a stroke-order sheet. glyph is the character's path
// built once at the first cell's origin (firstLeft + zx, firstTop + zy); the
// first cell's frame is (firstLeft, firstTop, side, side). Later cells are
// reached by translating the surface: one cell pitch across, one row pitch
// down every perRow cells.
void drawSheetCells(Graphics &g, const GraphicsPath &glyph, const SheetStyle &style,
                    const SheetMetrics &m, int firstLeft, int firstTop);

// The whole sheet of ch on a picture of resolution dpi, in points: the
// glyph built once, centred in the first cell at (left, top) with the
// offsets (zx, zy) from bhs, then every cell.
void drawStrokeSheet(QImage &picture, double dpi, const StartupData &data, const QString &ch,
                     const SheetStyle &style, const SheetMetrics &m, int left, int top, int zx, int zy);

// Rows needed for n cells at perRow per row (perRow > 0).
int sheetRows(int n, int perRow);

// Where the on-screen sheet goes in a panel of panelPx pixels: the cells
// start at (left, top) points, the image has imagePx pixels, and a scroll
// bar is shown where the image exceeds the panel. Sizes are computed wide so
// that absurd settings give an oversized image instead of an overflow.
struct ScreenSheetLayout
{
    int left = 10;
    int top = 7;
    qint64 imageWidth = 0;
    qint64 imageHeight = 0;
    bool hScroll = false;
    bool vScroll = false;
};
ScreenSheetLayout screenSheetLayout(int n, const SheetMetrics &m, QSize panelPx,
                                    double pointsPerPixel, double pixelsPerPoint);
