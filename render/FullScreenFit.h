#pragma once

#include <QSize>

// The full-screen sheet: the largest cell size at which all n cells fit the
// image, in columns chosen from the screen's area.
struct FullScreenFit
{
    int start = 0;   // the starting size g
    int columns = 1;
    int rows = 1;
    int fs = 24;     // em size in points
    int left = 0;    // points, no lower limit
};

struct SheetStyle;

// names: the sheet's style when it writes stroke names under the cells,
// whose line every row then needs as well.
FullScreenFit fullScreenFit(int n, QSize imagePx, QSize screenPx, int hgap, int vgap, double pointsPerPixel,
                            double pixelsPerPoint, const SheetStyle *names = nullptr);
