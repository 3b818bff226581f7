#pragma once

#include <QImage>

// A 32-bit ARGB bitmap with every pixel 0 (or fill) and its resolution
// recorded, so the encoders write it into the file. Null when the size is
// not positive or cannot be allocated: callers must check.
QImage makeBitmap(int width, int height, double dpi, QRgb fill = 0);

// The resolution recorded in an image, in dots per inch.
double bitmapDpi(const QImage &image);
void setBitmapDpi(QImage &image, double dpi);

// Whether a picture of this size may be drawn: each side within what the
// painter handles and the whole within a memory budget.
bool pictureSizeAllowed(qint64 width, qint64 height);
