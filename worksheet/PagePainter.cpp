#include "PagePainter.h"

#include <algorithm>
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

PointsPerPixelRange worksheetPointsPerPixelRange()
{
    static const PointsPerPixelRange range = [] {
        // A4 is 595.28 x 841.89 points; pictures, the PDF and printers round
        // it to their pixels, never below this.
        const QSizeF a4(595, 841);
        auto fitsAll = [&a4](int dpi) {
            for (WorksheetKind kind : {WorksheetKind::Chinese, WorksheetKind::Letters, WorksheetKind::Digits})
                if (!worksheetFitsPage(kind, a4, 72.0 / dpi))
                    return false;
            return true;
        };
        // The sheets are laid out for 96 dpi: the range is the run of
        // resolutions around it (each step changes a size by a whole point).
        int low = 96, high = 96;
        while (low > 1 && fitsAll(low - 1))
            --low;
        while (high < 2400 && fitsAll(high + 1))
            ++high;
        PointsPerPixelRange r;
        r.lowest = 72.0 / high;
        r.highest = 72.0 / low;
        return r;
    }();
    return range;
}

bool PointsPerPixelRange::contains(double pointsPerPixel) const
{
    return pointsPerPixel >= lowest && pointsPerPixel <= highest;
}

int PointsPerPixelRange::lowestDpi() const
{
    return int(std::lround(72.0 / highest));
}

int PointsPerPixelRange::highestDpi() const
{
    return int(std::lround(72.0 / lowest));
}

double PointsPerPixelRange::clamp(double pointsPerPixel) const
{
    if (!(pointsPerPixel > 0) || !std::isfinite(pointsPerPixel))
        pointsPerPixel = 0.75;
    return std::clamp(pointsPerPixel, lowest, highest);
}

PagePaintResult paintWorksheetPage(Graphics &g, const StartupData &data,
                                   const WorksheetSettings &s, qint64 page,
                                   const PageCanvas &canvas)
{
    if (s.kind == WorksheetKind::Chinese)
        return paintCharPage(g, data, s, page, canvas);
    return paintLetterPage(g, data, s, page, canvas);
}
