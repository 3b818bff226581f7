#include "Bitmap.h"

#include <cmath>

QImage makeBitmap(int width, int height, double dpi, QRgb fill)
{
    if (!pictureSizeAllowed(width, height))
        return QImage();
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(fill); // one pass: touching a large picture twice costs page faults
    setBitmapDpi(image, dpi);
    return image;
}

double bitmapDpi(const QImage &image)
{
    return image.dotsPerMeterX() * 0.0254;
}

void setBitmapDpi(QImage &image, double dpi)
{
    const int dpm = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
}

bool pictureSizeAllowed(qint64 width, qint64 height)
{
    // The raster painter works in 16.16 fixed point; 256 M pixels are 1 GiB.
    constexpr qint64 maxSide = 32767;
    constexpr qint64 maxPixels = qint64(256) * 1024 * 1024;
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide
        && width * height <= maxPixels;
}
