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

// The kinds' painters, reached through paintWorksheetPage.
PagePaintResult paintCharPage(Graphics &g, const StartupData &data, const WorksheetSettings &s,
                              qint64 page, const PageCanvas &canvas);
PagePaintResult paintLetterPage(Graphics &g, const StartupData &data, const WorksheetSettings &s,
                                qint64 page, const PageCanvas &canvas);
