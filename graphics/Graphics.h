#pragma once

#include "Pen.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRect>
#include <QTransform>

class GraphicsPath;
class PrivateFontCollection;

enum class PageUnit { Pixel, Point };

// A drawing surface on an image (a bitmap or a widget's picture) whose
// resolution is dpi. With the point page unit one unit is 1/72 inch; the
// world transform (translations) applies before the page scale.
// An image with a device pixel ratio (a picture for a HiDPI screen) is drawn
// in its logical units: the pixel page unit is a logical pixel and dpi the
// logical resolution; the surface scales both by the ratio, so device
// pixels (pageScale, drawImageAtDevice) are the image's own pixels.
class Graphics
{
public:
    Graphics(QImage &target, double dpi);
    // Any paint device (PDF writer, printer) whose resolution is dpi.
    Graphics(QPaintDevice *device, double dpi);
    ~Graphics();
    Graphics(const Graphics &) = delete;
    Graphics &operator=(const Graphics &) = delete;

    bool isActive() const { return m_painter.isActive(); }
    // Whether the surface is a picture in memory (not a PDF or a printer).
    bool isRaster() const;

    // The surface stands for the part of a larger picture that starts at
    // device pixel origin (layers drawn apart and blended in later).
    void setDeviceOrigin(QPoint origin);
    // Blends the part `source` of image (all of it when null) over the
    // surface with the image's top-left corner at device pixel at, whatever
    // the page unit and transform.
    void drawImageAtDevice(QPoint at, const QImage &image, const QRect &source = QRect());
    // Page units and transform to the pixels of this surface's picture.
    QTransform deviceTransform() const;
    // The surface's size in device pixels.
    QSize deviceSize() const;
    // Paints color through a coverage mask (the alpha of an image filled
    // white where a path covers it), mask top-left at pixel `at` of this
    // surface's picture (as deviceTransform maps): what
    // filling the path there gives, pixel for pixel. false (nothing drawn)
    // unless the surface is a plain picture and the colour opaque.
    bool fillCoverage(QPoint at, const QImage &coverage, const QColor &color);

    void setPageUnit(PageUnit unit);
    PageUnit pageUnit() const { return m_unit; }
    // Device pixels per unit of the current page unit.
    double pageScale() const;
    void setAntialiasing(bool on);

    void resetTransform();
    // Shifts later drawing by (dx, dy) in page units, before any earlier transform.
    void translateTransform(double dx, double dy);

    // Fills one path with the alternate (odd-even) rule. A stroke font's
    // glyph is filled one subpath at a time so crossing strokes stay filled.
    void fillPath(const QPainterPath &path, const QColor &color);
    void fillSubpaths(const GraphicsPath &path, const QColor &color);
    // Fills a path under the nonzero rule: subpaths that all run the same
    // way fill as if each were filled on its own, in one pass.
    void fillWinding(const QPainterPath &path, const QColor &color);
    void drawPath(const QPainterPath &path, const Pen &pen);
    void drawRectangle(const Pen &pen, const QRect &rect);
    void drawLine(const Pen &pen, QPoint from, QPoint to);
    // Text from a family of the collection, line-box top-left at origin,
    // em size in page units; the first glyph starts 1/6 em after origin.x.
    void drawString(const QString &text, const PrivateFontCollection &fonts, const QString &family,
                    double emSize, QPointF origin, const QColor &color);
    void clear(const QColor &color);

private:
    void applyTransform();
    QPen qpen(const Pen &pen) const;

    QPainter m_painter;
    QImage *m_target = nullptr; // gets its pixel ratio back at the end
    double m_ratio = 1.0;       // device pixels per logical pixel
    double m_dpi;
    PageUnit m_unit = PageUnit::Pixel;
    QTransform m_world;
    QPoint m_origin;
};
