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

namespace {

// x * a / 255 on each byte, rounded as Qt's raster blends round it.
inline quint32 byteMul(quint32 x, quint32 a)
{
    quint32 t = (x & 0xff00ff) * a;
    t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return x | t;
}

// Premultiplied source over an RGB32 or premultiplied target, pixel for
// pixel what QPainter gives. QPainter hands images this large to a thread
// pool and waits for it, which costs more than the blend when every core
// already draws a picture of its own.
void blendSourceOver(QImage &target, QPoint at, const QImage &src, const QRect &source)
{
    const QRect area = source.translated(at).intersected(target.rect());
    if (area.isEmpty())
        return;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        // Written through the painter's own buffer, as the painter writes.
        auto *d = reinterpret_cast<quint32 *>(const_cast<uchar *>(target.constScanLine(y))) + area.left();
        const auto *s = reinterpret_cast<const quint32 *>(src.constScanLine(y - at.y())) + (area.left() - at.x());
        for (int x = 0; x < area.width(); ++x) {
            const quint32 p = s[x];
            if (p >= 0xff000000u)
                d[x] = p;
            else if (p != 0)
                d[x] = p + byteMul(d[x], 255 - (p >> 24));
        }
    }
}

} // namespace

void Graphics::drawImageAtDevice(QPoint at, const QImage &image, const QRect &source)
{
    const QRect part = source.isNull() ? image.rect() : source.intersected(image.rect());
    if (!m_painter.isActive() || part.isEmpty())
        return;
    if (isRaster() && image.format() == QImage::Format_ARGB32_Premultiplied && !m_painter.hasClipping()
        && m_painter.compositionMode() == QPainter::CompositionMode_SourceOver && m_painter.opacity() == 1.0) {
        auto *target = static_cast<QImage *>(m_painter.device());
        if (target->format() == QImage::Format_RGB32 || target->format() == QImage::Format_ARGB32_Premultiplied) {
            blendSourceOver(*target, at - m_origin, image, part);
            return;
        }
    }
    m_painter.save();
    m_painter.resetTransform();
    m_painter.drawImage(at - m_origin + part.topLeft(), image, part);
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
