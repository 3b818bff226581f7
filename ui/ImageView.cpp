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
    m_picture = makeBitmap(width(), height(), dpi);
    if (!m_picture.isNull())
        m_picture.fill(Qt::white);
}

void ImageView::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.fillRect(event->rect(), Qt::white);
    if (!m_picture.isNull())
        p.drawImage(0, 0, m_picture);
}
