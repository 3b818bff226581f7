#include "Bhs.h"

#include "GraphicsPath.h"
#include "StartupData.h"

int bhs(const PrivateFontCollection &fonts, const QString &family, const QString &str, int fsize,
        int &zx, int &zy)
{
    GraphicsPath path;
    path.addString(str, fonts, family, float(fsize), QPointF(0, 0));
    centringOffsets(path.bounds(), fsize, zx, zy);
    return path.subpathCount();
}

void centringOffsets(const QRect &b, int fsize, int &zx, int &zy)
{
    const double c = (double(fsize) + CellMargin) / 2.0;
    // Plain casts truncate toward zero, as every layout conversion must.
    zx = int(c - (b.width() / 2.0 + b.x()));
    zy = int(c - (b.height() / 2.0 + b.y()));
}
