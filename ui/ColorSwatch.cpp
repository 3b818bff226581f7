#include "ColorSwatch.h"

#include <QMouseEvent>

ColorSwatch::ColorSwatch(const QString &name, const QColor &color, QWidget *parent) : QFrame(parent)
{
    setObjectName(name);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    setColor(color);
}

void ColorSwatch::setColor(const QColor &color)
{
    // Drawing colours are opaque RGB.
    m_color = QColor(color.red(), color.green(), color.blue());
    QPalette p = palette();
    p.setColor(QPalette::Window, m_color);
    setPalette(p);
}

void ColorSwatch::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QFrame::mousePressEvent(event);
}
