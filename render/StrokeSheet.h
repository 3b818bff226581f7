#pragma once

#include "SheetStyle.h"

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QSize>
#include <QString>

class Graphics;
class PrivateFontCollection;

// A character's strokes at one em size, its line box at (0, 0), with the
// offsets (zx, zy) that centre it in a cell of side fsize + CellMargin
// (truncated, as bhs gives them).
struct SizedGlyph
{
    int fsize = 0;
    int zx = 0;
    int zy = 0;
    QList<QPainterPath> strokes; // one closed contour each, in writing order
    int strokeCount() const { return int(strokes.size()); }
};

// A character's outline, read from the stroke font once per drawing at em
// size 1; every size the drawing needs is a scaled copy of it.
class SheetGlyph
{
public:
    SheetGlyph(const PrivateFontCollection &fonts, const QString &family, const QString &ch);
    int strokeCount() const { return int(m_unit.size()); }
    SizedGlyph sized(int fsize) const;

private:
    QList<QPainterPath> m_unit;
};

// The rows of a sheet to draw: rows first .. first + count - 1 (from 0),
// row `first` at the sheet's top. A copybook page shows a character's
// stroke-order rows in its own rows, and may cut them at the page end.
struct SheetRows
{
    int first = 0;
    int count = 1 << 30;
};

// The one painter of stroke-order sheets (window, full screen, pictures,
// batch and command-line export, the copybook's stroke-order rows): n
// cells, the first at (left, top) points, one cell pitch across, one row
// pitch down every perRow cells. Per cell: frame, stroke number, stroke
// name under the cell, outline, tracing strokes, character strokes. On a picture in memory cell k of the
// cumulative modes is cell k - 1 plus stroke k: every stroke is filled once
// into a layer that is blended into each cell at the nearest whole pixel,
// so the cost grows with the cells, not with the square of the strokes.
// Nothing is drawn for an em size below 1 point or a per-row count below 1.
void drawSheet(Graphics &g, const SizedGlyph &glyph, const SheetStyle &style, const SheetMetrics &m,
               int left, int top, SheetRows rows = {});

// drawSheet on a picture of resolution dpi, in points.
void drawSheet(QImage &picture, double dpi, const SizedGlyph &glyph, const SheetStyle &style,
               const SheetMetrics &m, int left, int top);

// The em size of the stroke names under cells of side `side` points.
double strokeNameEm(const StrokeNameText &text, int side);
// The height of the name line: the names' ink is centred in it.
int strokeNameLineHeight(const StrokeNameText &text, int side);
// Points each row of cells grows by for its stroke names: the name line
// less what the row gap already gives; 0 when the names are off.
int strokeNameRise(const SheetStyle &style, const SheetMetrics &m);
// From the top of one row of cells to the top of the next.
double sheetRowPitch(const SheetStyle &style, const SheetMetrics &m);

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
// nameRise: strokeNameRise of the sheet's style.
ScreenSheetLayout screenSheetLayout(int n, const SheetMetrics &m, QSize panelPx,
                                    double pointsPerPixel, double pixelsPerPoint, int nameRise = 0);
