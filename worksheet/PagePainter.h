#pragma once

#include "Worksheet.h"

#include <QChar>
#include <QSizeF>

class Graphics;
struct StartupData;

// The page being painted: its size in points and what it is for.
struct PageCanvas
{
    QSizeF pagePt;
    PageOutput output = PageOutput::Preview;
    // On a picture the tracing glyphs of a row are painted from one
    // rasterization per sub-pixel position unless this is set: the
    // reference they are checked against.
    bool drawEveryCell = false;
};

struct PagePaintResult
{
    // false: the page stopped at a character without strokes or glyph
    // (a space, "，"), at text position stopIndex; nothing after it was drawn.
    bool complete = true;
    int stopIndex = -1;
    QChar stopChar;
};

// Paints page `page` (from 1; any other number gives an empty page, with its
// number when numbers are on) of the copybook onto g, in points, on a
// surface already cleared. The one layout behind the preview, the page
// pictures, the PDF and the printer.
PagePaintResult paintWorksheetPage(Graphics &g, const StartupData &data,
                                   const WorksheetSettings &s, qint64 page,
                                   const PageCanvas &canvas);

// Where the Chinese-character page puts its cells, in points: em size,
// cell side, row pitch and the top-left corner of the 12 x 15 block.
struct CharPageGeometry
{
    int fontSize = 0;
    int side = 0;
    int rowPitch = 0;
    int x0 = 0;
    int y0 = 0;
};
CharPageGeometry charPageGeometry(const QSizeF &pagePt, double pointsPerPixel);

// Whether a sheet of this kind lies wholly on the page at these points per
// pixel: its cells or guide lines inside the paper, its page number below
// them. Larger values make larger cells that run off the page; smaller ones
// make the letter sheet's margins (which follow its width) push its last
// rows down off it.
bool worksheetFitsPage(WorksheetKind kind, const QSizeF &pagePt, double pointsPerPixel);

// The points per pixel (72 / screen dpi) the copybooks can be drawn at: the
// whole-number screen resolutions around 96 dpi at which every kind of sheet
// lies on A4 (the smallest A4 of the page pictures, the PDF and the printer).
struct PointsPerPixelRange
{
    double lowest = 0;
    double highest = 0;
    bool contains(double pointsPerPixel) const;
    // The screen resolutions of the range's ends.
    int lowestDpi() const;
    int highestDpi() const;
    // A screen's points per pixel moved into the range; anything unusable
    // (0, NaN) becomes that of 96 dpi.
    double clamp(double pointsPerPixel) const;
};
PointsPerPixelRange worksheetPointsPerPixelRange();

// The kinds' painters, reached through paintWorksheetPage.
PagePaintResult paintCharPage(Graphics &g, const StartupData &data, const WorksheetSettings &s,
                              qint64 page, const PageCanvas &canvas);
PagePaintResult paintLetterPage(Graphics &g, const StartupData &data, const WorksheetSettings &s,
                                qint64 page, const PageCanvas &canvas);
bool letterPageFits(WorksheetKind kind, const QSizeF &pagePt, double pointsPerPixel);
