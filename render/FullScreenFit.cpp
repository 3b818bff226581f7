#include "FullScreenFit.h"

#include "StartupData.h"
#include "StrokeSheet.h"

#include <cmath>

FullScreenFit fullScreenFit(int n, QSize imagePx, QSize screenPx, int hgap, int vgap, double pointsPerPixel,
                            double pixelsPerPoint, const SheetStyle *names)
{
    FullScreenFit f;
    if (n < 1)
        return f;
    const double area = double(screenPx.width()) * screenPx.height();
    f.start = int(std::sqrt(area / n) - 10 * pixelsPerPoint);
    f.columns = n == 1 || f.start < 1 ? 1 : int(std::ceil(double(screenPx.width()) / f.start));
    f.rows = int(std::ceil(double(n) / f.columns));
    auto extent = [pixelsPerPoint](int s, int count, int gap, int rise = 0) {
        return qint64(((double(s) + CellMargin + rise) * count + (count - 1.0) * gap + 2 * CellMargin)
                      * pixelsPerPoint);
    };
    f.fs = 24;
    for (int s = f.start; s >= 1; --s) {
        if (imagePx.width() >= extent(s, f.columns, hgap)) {
            f.fs = s;
            break;
        }
    }
    // Rows may grow by the name line, which grows with the cell.
    auto height = [&](int s) {
        const int rise = names ? strokeNameRise(*names, SheetMetrics{s, hgap, vgap, f.columns}) : 0;
        return extent(s, f.rows, vgap, rise);
    };
    for (int s = f.fs; s >= 1; --s) {
        if (imagePx.height() >= height(s)) {
            f.fs = s;
            break;
        }
    }
    f.left = int((imagePx.width() * pointsPerPixel - (double(f.fs) + CellMargin) * f.columns
                  - (f.columns - 1.0) * hgap) / 2);
    return f;
}
