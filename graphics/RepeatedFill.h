#pragma once

#include <QImage>
#include <QPainterPath>
#include <QPoint>

#include <vector>

class Graphics;

// A path filled (nonzero rule) at many places, as a copybook fills one
// glyph in every cell of a row: its coverage is rasterized once for each
// sub-pixel position it takes, at the coordinates of the first fill there,
// and painted through from there: what filling it in place gives, pixel
// for pixel, wherever the rasterizer rounds the same under a whole-pixel
// shift (checked for print resolutions), at a fraction of the cost.
// Anything but a plain picture, or a colour that is not opaque, is filled
// in place.
class RepeatedFill
{
public:
    // scratch: a premultiplied picture of the surface's size, shared by
    // the fills of one surface; without it every fill is made in place.
    RepeatedFill(const QPainterPath &path, QImage *scratch);
    void fill(Graphics &g, const QColor &color);

private:
    struct Mask
    {
        QPoint phase;  // the fraction of the translation, in 2^-20 pixels
        QPointF scale;
        QPoint corner; // the mask's top-left less the whole-pixel translation
        QImage coverage;
    };
    // The mask for this transform's sub-pixel position (whole: the
    // translation's whole pixels), made on first use; null if it can't be.
    const Mask *maskFor(const QTransform &device, QPoint whole);

    QPainterPath m_path;
    QImage *m_scratch;
    std::vector<Mask> m_masks;
};
