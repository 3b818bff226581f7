#include "PagePainter.h"

#include <cmath>

QSize a4PicturePixels(int dpi)
{
    switch (dpi) {
    case 96: return {794, 1123};
    case 600: return {4961, 7016};
    default: return {2480, 3508};
    }
}

double picturePointsPerPixel(int dpi)
{
    return dpi > 0 ? 72.0 / dpi : 0.24;
}

PagePaintResult paintWorksheetPage(Graphics &g, const StartupData &data,
                                   const WorksheetSettings &s, qint64 page,
                                   const PageCanvas &canvas)
{
    if (s.kind == WorksheetKind::Chinese)
        return paintCharPage(g, data, s, page, canvas);
    return paintLetterPage(g, data, s, page, canvas);
}
