#include "ImageView.h"

#include "Bitmap.h"

#include <QPaintEvent>
#include <QPainter>

ImageView::ImageView(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageView::clearPicture(double dpi)
{
    // Same size: blank the picture in place rather than allocating anew.
    if (!m_picture.isNull() && m_picture.size() == size()) {
        m_picture.fill(Qt::white);
        setBitmapDpi(m_picture, dpi);
        return;
    }
    m_picture = QImage(); // release the old picture before allocating
    m_picture = makeBitmap(width(), height(), dpi, qRgb(255, 255, 255));
}

void ImageView::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.fillRect(event->rect(), Qt::white);
    if (!m_picture.isNull())
        p.drawImage(0, 0, m_picture);
}
