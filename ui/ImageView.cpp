#include "ImageView.h"

#include "Bitmap.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

ImageView::ImageView(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageView::clearPicture(double dpi)
{
    qreal ratio = devicePixelRatioF();
    QSize pixels(int(std::ceil(width() * ratio)), int(std::ceil(height() * ratio)));
    if (ratio != 1.0 && !pictureSizeAllowed(pixels.width(), pixels.height())) {
        ratio = 1.0; // soft, but shown
        pixels = size();
    }
    // Same size: blank the picture in place rather than allocating anew.
    if (!m_picture.isNull() && m_picture.size() == pixels && m_picture.devicePixelRatio() == ratio) {
        m_picture.fill(Qt::white);
        setBitmapDpi(m_picture, dpi);
        return;
    }
    m_picture = QImage(); // release the old picture before allocating
    m_picture = makeBitmap(pixels.width(), pixels.height(), dpi, qRgb(255, 255, 255));
    m_picture.setDevicePixelRatio(ratio);
}

QRect ImageView::widgetArea(const QRect &picturePixels) const
{
    const qreal r = pictureRatio();
    if (r == 1.0)
        return picturePixels;
    return QRectF(picturePixels.x() / r, picturePixels.y() / r, picturePixels.width() / r,
                  picturePixels.height() / r)
        .toAlignedRect();
}

void ImageView::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.fillRect(event->rect(), Qt::white);
    if (!m_picture.isNull())
        p.drawImage(0, 0, m_picture);
}
