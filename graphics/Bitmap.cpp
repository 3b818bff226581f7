#include "Bitmap.h"

#include <cmath>

QImage makeBitmap(int width, int height, double dpi)
{
    if (width <= 0 || height <= 0)
        return QImage();
    // Refuse sizes whose byte count does not fit an int: QImage would fail anyway.
    if (qint64(width) * qint64(height) * 4 > qint64(0x7fffffff))
        return QImage();
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(0);
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
