#include "StrokeSheet.h"

#include "Bhs.h"
#include "Graphics.h"
#include "GraphicsPath.h"
#include "StartupData.h"

#include <QRawFont>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <memory>

SplitMode splitModeFromIndex(int index)
{
    return index == 0 ? SplitMode::Follow : index == 2 ? SplitMode::Trace : SplitMode::Stroke;
}

SheetGlyph::SheetGlyph(const PrivateFontCollection &fonts, const QString &family, const QString &ch)
{
    GraphicsPath path;
    path.addString(ch.left(1), fonts, family, 1.0, QPointF(0, 0));
    m_unit = path.subpaths();
}

SizedGlyph SheetGlyph::sized(int fsize) const
{
    SizedGlyph g;
    g.fsize = fsize;
    const QTransform scale = QTransform::fromScale(fsize, fsize);
    g.strokes.reserve(m_unit.size());
    QRectF exact;
    for (const QPainterPath &unit : m_unit) {
        g.strokes.append(scale.map(unit));
        const QRectF b = g.strokes.last().boundingRect();
        exact = exact.isNull() ? b : exact.united(b);
    }
    centringOffsets(g.strokes.isEmpty() ? QRect(0, 0, 0, 0) : GraphicsPath::wholeUnits(exact), fsize, g.zx,
                    g.zy);
    return g;
}

double strokeNameEm(const StrokeNameText &text, int side)
{
    return text.em > 0 ? text.em : std::max(1.0, side / 5.0);
}

int strokeNameLineHeight(const StrokeNameText &text, int side)
{
    return int(std::ceil(strokeNameEm(text, side) * 1.25));
}

int strokeNameRise(const SheetStyle &style, const SheetMetrics &m)
{
    if (!style.strokeNames)
        return 0;
    return std::max(0, strokeNameLineHeight(style.nameText, m.fsize + CellMargin) - std::max(0, m.vgap));
}

double sheetRowPitch(const SheetStyle &style, const SheetMetrics &m)
{
    return double(m.fsize) + CellMargin + m.vgap + strokeNameRise(style, m);
}

int sheetRows(int n, int perRow)
{
    if (perRow <= 0)
        return 0;
    return n <= perRow ? 1 : (n + perRow - 1) / perRow;
}

namespace {

// The strokes of one cell, drawn apart on a transparent layer that covers
// the glyph of the first cell, and blended into later cells at the whole
// pixel nearest to their place.
class StrokeLayer
{
public:
    StrokeLayer(const Graphics &target, double dpi, const SizedGlyph &glyph, QPointF origin)
        : m_origin(origin), m_scale(target.pageScale())
    {
        QRectF b;
        for (const QPainterPath &s : glyph.strokes)
            b = b.isNull() ? s.boundingRect() : b.united(s.boundingRect());
        b.translate(origin);
        // A pixel of room for the anti-aliased edge.
        const QPoint tl(int(std::floor(b.left() * m_scale)) - 1, int(std::floor(b.top() * m_scale)) - 1);
        const QPoint br(int(std::ceil(b.right() * m_scale)) + 1, int(std::ceil(b.bottom() * m_scale)) + 1);
        m_rect = QRect(tl, br);
        m_image = QImage(m_rect.size(), QImage::Format_ARGB32_Premultiplied);
        if (m_image.isNull())
            return;
        m_image.fill(0);
        m_g = std::make_unique<Graphics>(m_image, dpi);
        m_g->setPageUnit(PageUnit::Point);
        m_g->setAntialiasing(true);
        m_g->setDeviceOrigin(m_rect.topLeft());
        m_g->translateTransform(m_origin.x(), m_origin.y());
    }

    bool isNull() const { return m_image.isNull(); }

    void clear()
    {
        m_g->clear(Qt::transparent);
        m_ink = QRect();
    }

    void add(const QPainterPath &stroke, const QColor &color)
    {
        m_g->fillPath(stroke, color);
        // Only the part inked so far is blended: early cells hold few strokes.
        const QRectF b = stroke.boundingRect().translated(m_origin);
        const QRect px(QPoint(int(std::floor(b.left() * m_scale)) - 1, int(std::floor(b.top() * m_scale)) - 1),
                       QPoint(int(std::ceil(b.right() * m_scale)) + 1, int(std::ceil(b.bottom() * m_scale)) + 1));
        m_ink |= px.translated(-m_rect.topLeft()).intersected(m_image.rect());
    }

    // Blends the layer into the cell lying (dx, dy) points from the first.
    void blendInto(Graphics &g, double dx, double dy) const
    {
        if (m_ink.isEmpty())
            return;
        const QPoint shift(int(std::lround(dx * m_scale)), int(std::lround(dy * m_scale)));
        g.drawImageAtDevice(m_rect.topLeft() + shift, m_image, m_ink);
    }

private:
    QPointF m_origin;
    double m_scale;
    QRect m_rect;
    QImage m_image;
    std::unique_ptr<Graphics> m_g; // paints on m_image
    QRect m_ink;                   // where m_image holds strokes, in its own pixels
};

// Writes a stroke name centred under the cell (left, top, side): its ink
// in the middle of the name line, narrowed to the cell when it is wider.
void drawStrokeName(Graphics &g, const StrokeNameText &text, const QString &name, int left, int top, int side,
                    const QColor &color)
{
    if (!text.fonts || name.isEmpty())
        return;
    const double em = strokeNameEm(text, side);
    GraphicsPath path;
    path.addString(name, *text.fonts, text.family, em, QPointF(0, 0));
    if (path.isEmpty())
        return;
    QRectF ink;
    for (const QPainterPath &s : path.subpaths())
        ink = ink.isNull() ? s.boundingRect() : ink.united(s.boundingRect());
    // Across the ink's middle, and down the middle between the font's ascent
    // and descent lines, so that 点 and 横折钩 share one baseline.
    const QRawFont font = text.fonts->family(text.family);
    const double middle = (font.ascent() + font.descent()) / 2 / font.unitsPerEm() * em;
    const double fit = ink.width() > side ? side / ink.width() : 1.0;
    const double line = strokeNameLineHeight(text, side);
    QTransform place;
    place.translate(left + side / 2.0, top + side + line / 2.0);
    place.scale(fit, fit);
    place.translate(-ink.center().x(), -middle);
    // A stroke font: each stroke filled on its own, so crossings stay filled.
    for (const QPainterPath &s : path.subpaths())
        g.fillPath(place.map(s), color);
}

} // namespace

void drawSheet(QImage &picture, double dpi, const SizedGlyph &glyph, const SheetStyle &style,
               const SheetMetrics &m, int left, int top)
{
    Graphics g(picture, dpi);
    g.setPageUnit(PageUnit::Point);
    g.setAntialiasing(true);
    drawSheet(g, glyph, style, m, left, top);
}

void drawSheet(Graphics &g, const SizedGlyph &glyph, const SheetStyle &style, const SheetMetrics &m,
               int left, int top, SheetRows rows)
{
    const int n = glyph.strokeCount();
    if (n < 1 || m.fsize < 1 || m.perRow < 1 || rows.first < 0 || rows.count < 1 || !g.isActive())
        return;
    // The cells of the rows asked for: from .. to - 1.
    const int from = int(std::min<qint64>(n, qint64(rows.first) * m.perRow));
    const int to = int(std::min<qint64>(n, (qint64(rows.first) + rows.count) * m.perRow));
    if (from >= to)
        return;
    const int side = m.fsize + CellMargin;
    const double pitchX = double(side) + m.hgap;
    const double pitchY = sheetRowPitch(style, m);
    auto cellOffset = [&](int k) {
        return QPointF((k % m.perRow) * pitchX, (k / m.perRow - rows.first) * pitchY);
    };
    const QPointF origin(left + glyph.zx, top + glyph.zy);
    const Pen outlinePen{style.traceColor, 1.0, DashStyle::Solid};
    QPainterPath whole;
    if (style.outline) {
        whole.setFillRule(Qt::OddEvenFill);
        for (const QPainterPath &s : glyph.strokes)
            whole.addPath(s);
    }
    // A PDF or a printer gets every stroke as a vector, cell by cell.
    const bool layered = g.isRaster() && style.splitMode != SplitMode::Follow;

    // Frame, number, outline and (for 跟随式, or off screen) the strokes of each cell.
    for (int k = from; k < to; ++k) {
        const QPointF at = cellOffset(k);
        g.resetTransform();
        g.translateTransform(at.x(), at.y());
        drawCellFrame(g, style.frame, left, top, side);
        if (style.numbers.fonts)
            g.drawString(QString::number(k + 1), *style.numbers.fonts, style.numbers.family, style.numbers.em,
                         QPointF(left - 3, top - 3), style.charColor);
        if (style.strokeNames)
            drawStrokeName(g, style.nameText, style.nameText.names.value(k), left, top, side, style.charColor);
        g.translateTransform(origin.x(), origin.y());
        if (style.outline)
            g.drawPath(whole, outlinePen);
        if (style.splitMode == SplitMode::Follow) {
            g.fillPath(glyph.strokes[k], style.charColor);
        } else if (!layered) {
            if (style.splitMode == SplitMode::Trace)
                for (int s = k + 1; s < n; ++s)
                    g.fillPath(glyph.strokes[s], style.traceColor);
            // Strokes written so far, one fill each so crossings stay filled.
            const bool newInColour = style.splitMode == SplitMode::NewStroke;
            for (int s = 0; s <= k; ++s)
                g.fillPath(glyph.strokes[s], newInColour && s < k ? style.traceColor : style.charColor);
        }
    }
    g.resetTransform();
    if (!layered)
        return;

    const double dpi = g.pageScale() * 72.0;
    if (style.splitMode == SplitMode::Trace) {
        // The strokes still to come, gathered from the last cell backwards.
        StrokeLayer rest(g, dpi, glyph, origin);
        for (int k = n - 1; k >= from && !rest.isNull(); --k) {
            const QPointF at = cellOffset(k);
            if (k < to)
                rest.blendInto(g, at.x(), at.y());
            rest.add(glyph.strokes[k], style.traceColor);
        }
    }
    StrokeLayer written(g, dpi, glyph, origin);
    if (style.splitMode == SplitMode::NewStroke) {
        // The strokes before k, then stroke k on its own layer, both
        // blended at the same whole pixel so they meet as in the font.
        StrokeLayer newest(g, dpi, glyph, origin);
        for (int k = 0; k < to && !written.isNull() && !newest.isNull(); ++k) {
            if (k >= from) {
                const QPointF at = cellOffset(k);
                written.blendInto(g, at.x(), at.y());
                newest.clear();
                newest.add(glyph.strokes[k], style.charColor);
                newest.blendInto(g, at.x(), at.y());
            }
            written.add(glyph.strokes[k], style.traceColor);
        }
        return;
    }
    for (int k = 0; k < to && !written.isNull(); ++k) {
        written.add(glyph.strokes[k], style.charColor);
        if (k >= from) {
            const QPointF at = cellOffset(k);
            written.blendInto(g, at.x(), at.y());
        }
    }
}

ScreenSheetLayout screenSheetLayout(int n, const SheetMetrics &m, QSize panelPx,
                                    double pointsPerPixel, double pixelsPerPoint, int nameRise)
{
    ScreenSheetLayout out;
    const double side = double(m.fsize) + CellMargin;
    out.top = int(10 * pointsPerPixel);
    out.imageWidth = panelPx.width();
    out.imageHeight = panelPx.height();
    if (n > m.perRow || nameRise > 0) {
        const double rows = sheetRows(n, m.perRow);
        out.imageHeight =
            qint64((rows * (side + nameRise) + (rows - 1) * m.vgap + 2 * CellMargin) * pixelsPerPoint);
    }
    // The margin is that of a full, centred row, also for fewer strokes.
    const double left = (out.imageWidth * pointsPerPixel - side * m.perRow - (m.perRow - 1.0) * m.hgap) / 2;
    if (left < 10) {
        out.left = 10;
        const double cells = n >= m.perRow ? m.perRow : n;
        out.imageWidth = qint64((cells * side + (cells - 1) * m.hgap + 2 * CellMargin) * pixelsPerPoint);
    } else {
        out.left = int(left);
    }
    if (out.imageHeight < panelPx.height())
        out.imageHeight = panelPx.height();
    out.hScroll = out.imageWidth > panelPx.width();
    out.vScroll = out.imageHeight > panelPx.height();
    return out;
}
