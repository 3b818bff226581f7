#include "RepeatedFill.h"

#include "Graphics.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr double PhaseSteps = 1 << 20;

} // namespace

RepeatedFill::RepeatedFill(const QPainterPath &path, QImage *scratch) : m_path(path), m_scratch(scratch)
{
    m_path.setFillRule(Qt::WindingFill);
}

const RepeatedFill::Mask *RepeatedFill::maskFor(const QTransform &device, QPoint whole)
{
    const QPoint phase(int(std::lround((device.dx() - whole.x()) * PhaseSteps)),
                       int(std::lround((device.dy() - whole.y()) * PhaseSteps)));
    for (const Mask &mask : m_masks)
        if (mask.phase == phase && mask.scale == QPointF(device.m11(), device.m22()))
            return &mask;
    // Rasterized exactly where the first fill at this phase lands, with the
    // surface's own transform: the same coordinates, so the same coverage
    // as filling it there. The scratch picture has the surface's size but
    // only the glyph's pixels are ever touched.
    const QRect bounds = device.mapRect(m_path.controlPointRect()).toAlignedRect().adjusted(-2, -2, 2, 2);
    if (bounds.isEmpty() || qint64(bounds.width()) * bounds.height() > (1 << 22)
        || !m_scratch->rect().contains(bounds))
        return nullptr;
    {
        QPainter p(m_scratch);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(bounds, Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(device);
        p.fillPath(m_path, Qt::white);
    }
    Mask mask;
    mask.phase = phase;
    mask.scale = QPointF(device.m11(), device.m22());
    mask.corner = bounds.topLeft() - whole;
    mask.coverage = m_scratch->copy(bounds);
    if (mask.coverage.isNull())
        return nullptr;
    m_masks.push_back(std::move(mask));
    return &m_masks.back();
}

void RepeatedFill::fill(Graphics &g, const QColor &color)
{
    // Coverage is painted on plain pictures in opaque colours only, and
    // moves with scale and translation only.
    const QTransform device = g.deviceTransform();
    if (m_scratch && g.isRaster() && color.alpha() == 255 && device.type() <= QTransform::TxScale) {
        const QPoint whole(int(std::floor(device.dx())), int(std::floor(device.dy())));
        const Mask *mask = maskFor(device, whole);
        if (mask && g.fillCoverage(mask->corner + whole, mask->coverage, color))
            return;
    }
    g.fillWinding(m_path, color);
}
