#include "Graphics.h"

#include "GraphicsPath.h"

Graphics::Graphics(QImage &target, double dpi) : m_dpi(dpi > 0 ? dpi : 96.0)
{
    if (!target.isNull())
        m_painter.begin(&target);
}

Graphics::Graphics(QPaintDevice *device, double dpi) : m_dpi(dpi > 0 ? dpi : 96.0)
{
    if (device)
        m_painter.begin(device);
}

Graphics::~Graphics()
{
    if (m_painter.isActive())
        m_painter.end();
}

bool Graphics::isRaster() const
{
    return m_painter.isActive() && m_painter.device()->devType() == QInternal::Image;
}

void Graphics::setDeviceOrigin(QPoint origin)
{
    m_origin = origin;
    applyTransform();
}

void Graphics::drawImageAtDevice(QPoint at, const QImage &image)
{
    if (!m_painter.isActive())
        return;
    m_painter.save();
    m_painter.resetTransform();
    m_painter.drawImage(at - m_origin, image);
    m_painter.restore();
}

void Graphics::setPageUnit(PageUnit unit)
{
    m_unit = unit;
    applyTransform();
}

double Graphics::pageScale() const
{
    return m_unit == PageUnit::Point ? m_dpi / 72.0 : 1.0;
}

void Graphics::setAntialiasing(bool on)
{
    if (!m_painter.isActive())
        return;
    m_painter.setRenderHint(QPainter::Antialiasing, on);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, on);
}

void Graphics::resetTransform()
{
    m_world.reset();
    applyTransform();
}

void Graphics::translateTransform(double dx, double dy)
{
    m_world.translate(dx, dy); // QTransform::translate prepends
    applyTransform();
}

void Graphics::applyTransform()
{
    if (!m_painter.isActive())
        return;
    const double s = pageScale();
    m_painter.setTransform(m_world * QTransform::fromScale(s, s)
                           * QTransform::fromTranslate(-m_origin.x(), -m_origin.y()));
}

void Graphics::fillPath(const QPainterPath &path, const QColor &color)
{
    if (!m_painter.isActive())
        return;
    QPainterPath p = path;
    p.setFillRule(Qt::OddEvenFill);
    m_painter.fillPath(p, color);
}

void Graphics::fillWinding(const QPainterPath &path, const QColor &color)
{
    if (!m_painter.isActive())
        return;
    QPainterPath p = path;
    p.setFillRule(Qt::WindingFill);
    m_painter.fillPath(p, color);
}

void Graphics::fillSubpaths(const GraphicsPath &path, const QColor &color)
{
    for (const QPainterPath &sub : path.subpaths())
        fillPath(sub, color);
}

QPen Graphics::qpen(const Pen &pen) const
{
    QPen p(pen.color, pen.width);
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    if (pen.dashStyle == DashStyle::Dash)
        p.setDashPattern({3.0, 1.0}); // in pen widths: scales with the width
    return p;
}

void Graphics::drawPath(const QPainterPath &path, const Pen &pen)
{
    if (!m_painter.isActive())
        return;
    m_painter.strokePath(path, qpen(pen));
}

void Graphics::drawRectangle(const Pen &pen, const QRect &rect)
{
    if (!m_painter.isActive())
        return;
    m_painter.setPen(qpen(pen));
    m_painter.setBrush(Qt::NoBrush);
    // Edges on x .. x + width, y .. y + height.
    m_painter.drawRect(QRectF(rect.x(), rect.y(), rect.width(), rect.height()));
}

void Graphics::drawLine(const Pen &pen, QPoint from, QPoint to)
{
    if (!m_painter.isActive())
        return;
    m_painter.setPen(qpen(pen));
    m_painter.drawLine(QPointF(from), QPointF(to));
}

void Graphics::drawString(const QString &text, const PrivateFontCollection &fonts,
                          const QString &family, double emSize, QPointF origin, const QColor &color)
{
    // Text drawing puts a lead-in of 1/6 em before the first glyph; the
    // layouts' text origins (stroke and page numbers) count on it.
    GraphicsPath path;
    path.addString(text, fonts, family, emSize, QPointF(origin.x() + emSize / 6.0, origin.y()));
    // Letters have counters (o, 8): fill each glyph's contours together, nonzero.
    QPainterPath all;
    all.setFillRule(Qt::WindingFill);
    for (const QPainterPath &sub : path.subpaths())
        all.addPath(sub);
    if (m_painter.isActive())
        m_painter.fillPath(all, color);
}

void Graphics::clear(const QColor &color)
{
    if (!m_painter.isActive())
        return;
    m_painter.save();
    m_painter.resetTransform();
    m_painter.setCompositionMode(QPainter::CompositionMode_Source);
    m_painter.fillRect(QRect(0, 0, m_painter.device()->width(), m_painter.device()->height()), color);
    m_painter.restore();
}
