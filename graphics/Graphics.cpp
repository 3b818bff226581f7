#include "Graphics.h"

#include "GraphicsPath.h"

#ifdef __SSE2__
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

Graphics::Graphics(QImage &target, double dpi) : m_dpi(dpi > 0 ? dpi : 96.0)
{
    if (target.isNull())
        return;
    m_ratio = target.devicePixelRatio();
    if (m_ratio != 1.0) {
        // The painter would scale by the ratio after our own transform,
        // where layers blended at device pixels could not follow it: paint
        // the plain pixels and put the ratio back afterwards.
        m_target = &target;
        target.setDevicePixelRatio(1.0);
        m_dpi *= m_ratio;
    }
    m_painter.begin(&target);
    if (m_target)
        applyTransform(); // logical pixels from the start
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
    if (m_target)
        m_target->setDevicePixelRatio(m_ratio);
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
        int x = 0;
#ifdef __SSE2__
        // The picture is larger than the cache: ask for a later row of the
        // target before its stroke edges need it.
        if (y + 4 <= area.bottom()) {
            const char *ahead = reinterpret_cast<const char *>(target.constScanLine(y + 4) + 4 * area.left());
            for (int b = 0; b < 4 * area.width(); b += 64)
                _mm_prefetch(ahead + b, _MM_HINT_T0);
        }
        // Four pixels at a time, with the same rounding: most of a layer
        // is empty or solid ink.
        const __m128i zero = _mm_setzero_si128();
        const __m128i alphaMask = _mm_set1_epi32(int(0xff000000));
        const __m128i rbMask = _mm_set1_epi32(0x00ff00ff);
        const __m128i half = _mm_set1_epi16(0x80);
        for (; x + 4 <= area.width(); x += 4) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + x));
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(p, zero)) == 0xffff)
                continue;
            auto *dp = reinterpret_cast<__m128i *>(d + x);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(p, alphaMask), alphaMask)) == 0xffff) {
                _mm_storeu_si128(dp, p);
                continue;
            }
            // d = p + d * (255 - alpha(p)) / 255, on 16-bit lanes.
            __m128i a = _mm_srli_epi32(p, 24);
            a = _mm_sub_epi16(rbMask, _mm_or_si128(a, _mm_slli_epi32(a, 16)));
            const __m128i q = _mm_loadu_si128(dp);
            __m128i ag = _mm_mullo_epi16(_mm_srli_epi16(q, 8), a);
            __m128i rb = _mm_mullo_epi16(_mm_and_si128(q, rbMask), a);
            rb = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(rb, _mm_srli_epi16(rb, 8)), half), 8);
            ag = _mm_add_epi16(_mm_add_epi16(ag, _mm_srli_epi16(ag, 8)), half);
            ag = _mm_andnot_si128(rbMask, ag);
            _mm_storeu_si128(dp, _mm_add_epi8(p, _mm_or_si128(ag, rb)));
        }
#endif
        for (; x < area.width(); ++x) {
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

QTransform Graphics::deviceTransform() const
{
    return m_painter.isActive() ? m_painter.transform() : QTransform();
}

QSize Graphics::deviceSize() const
{
    return m_painter.isActive() ? QSize(m_painter.device()->width(), m_painter.device()->height()) : QSize();
}

bool Graphics::fillCoverage(QPoint at, const QImage &coverage, const QColor &color)
{
    if (!isRaster() || color.alpha() != 255 || coverage.format() != QImage::Format_ARGB32_Premultiplied
        || m_painter.hasClipping() || m_painter.compositionMode() != QPainter::CompositionMode_SourceOver
        || m_painter.opacity() != 1.0)
        return false;
    auto *target = static_cast<QImage *>(m_painter.device());
    if (target->format() != QImage::Format_RGB32 && target->format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    const QRect area = coverage.rect().translated(at).intersected(target->rect());
    const quint32 ink = color.rgba();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        // Written through the painter's own buffer, as the painter writes.
        auto *d = reinterpret_cast<quint32 *>(const_cast<uchar *>(target->constScanLine(y)));
        const auto *m = reinterpret_cast<const quint32 *>(coverage.constScanLine(y - at.y())) - at.x();
        // As the painter blends a solid span of this coverage.
        auto blend = [&](int x) {
            const quint32 a = m[x] >> 24;
            if (a == 255) {
                d[x] = ink;
            } else if (a != 0) {
                const quint32 c = byteMul(ink, a);
                d[x] = c + byteMul(d[x], 255 - (c >> 24));
            }
        };
        int x = area.left();
#ifdef __SSE2__
        // Most of a glyph's box is empty, much of the rest solid ink.
        const __m128i zero = _mm_setzero_si128();
        const __m128i full = _mm_set1_epi32(-1);
        const __m128i inks = _mm_set1_epi32(int(ink));
        for (; x + 4 <= area.right() + 1; x += 4) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(m + x));
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(p, zero)) == 0xffff)
                continue;
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(p, full)) == 0xffff) {
                _mm_storeu_si128(reinterpret_cast<__m128i *>(d + x), inks);
                continue;
            }
            for (int k = 0; k < 4; ++k)
                blend(x + k);
        }
#endif
        for (; x <= area.right(); ++x)
            blend(x);
    }
    return true;
}

void Graphics::setPageUnit(PageUnit unit)
{
    m_unit = unit;
    applyTransform();
}

double Graphics::pageScale() const
{
    return m_unit == PageUnit::Point ? m_dpi / 72.0 : m_ratio;
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
