#include "ColorSwatch.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

ColorSwatch::ColorSwatch(const QString &name, const QColor &color, QWidget *parent) : QFrame(parent)
{
    setObjectName(name);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
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

void ColorSwatch::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            emit clicked();
        event->accept();
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

void ColorSwatch::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (!hasFocus())
        return;
    // Seen on any colour: a highlight ring with a white one inside it.
    QPainter p(this);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    p.setPen(QPen(palette().color(QPalette::Highlight), 2));
    p.drawRect(r);
    p.setPen(QPen(Qt::white, 1, Qt::DotLine));
    p.drawRect(r.adjusted(2, 2, -2, -2));
}
