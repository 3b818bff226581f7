#include "PagePainter.h"

#include "Bhs.h"
#include "CellFrame.h"
#include "Graphics.h"
#include "GraphicsPath.h"
#include "PageModel.h"
#include "PinyinBand.h"
#include "RepeatedFill.h"
#include "StartupData.h"
#include "StrokeSheet.h"

#include "CharacterFacts.h"

namespace {

constexpr int RowGap = 9;
// The page number's line box starts this far above the bottom edge.
constexpr int PageNumberRise = 27;
// Stroke names in the stroke-order rows fit the row gap at this size.
constexpr double StrokeNameEm = 7;

// Twice the signed area of a closed contour (its polygon), sign = direction.
double signedArea(const QPainterPath &contour)
{
    const QPolygonF poly = contour.toFillPolygon();
    double a = 0;
    for (int i = 0; i < poly.size(); ++i) {
        const QPointF &p = poly[i], &q = poly[(i + 1) % poly.size()];
        a += p.x() * q.y() - q.x() * p.y();
    }
    return a;
}

// The glyph's strokes as one path when every contour runs the same way:
// then one nonzero fill paints what filling each stroke on its own paints,
// and a page of tracing cells draws several times faster. Empty otherwise.
QPainterPath strokesAtOnce(const GraphicsPath &glyph)
{
    QPainterPath all;
    int direction = 0;
    for (const QPainterPath &contour : glyph.subpaths()) {
        const double a = signedArea(contour);
        const int d = a > 0 ? 1 : a < 0 ? -1 : 0;
        if (d == 0 || (direction != 0 && d != direction))
            return QPainterPath();
        direction = d;
        all.addPath(contour);
    }
    return all;
}

} // namespace

CharPageGeometry charPageGeometry(const QSizeF &pagePt, double pointsPerPixel)
{
    CharPageGeometry geo;
    geo.fontSize = int(46 * pointsPerPixel);
    geo.side = geo.fontSize + CellMargin;
    geo.rowPitch = geo.side + RowGap;
    geo.x0 = int((pagePt.width() - CharCellsPerRow * geo.side) / 2);
    geo.y0 = int((pagePt.height() - WorksheetRowsPerPage * geo.side
                  - (WorksheetRowsPerPage - 1) * RowGap) / 2);
    return geo;
}

static bool charPageFits(const QSizeF &pagePt, double pointsPerPixel)
{
    const CharPageGeometry geo = charPageGeometry(pagePt, pointsPerPixel);
    const int right = geo.x0 + CharCellsPerRow * geo.side;
    const int bottom = geo.y0 + WorksheetRowsPerPage * geo.side + (WorksheetRowsPerPage - 1) * RowGap;
    return geo.fontSize >= 1 && geo.x0 >= 0 && geo.y0 >= 0 && right <= pagePt.width()
           && bottom <= int(pagePt.height()) - PageNumberRise;
}

bool worksheetFitsPage(WorksheetKind kind, const QSizeF &pagePt, double pointsPerPixel)
{
    if (kind == WorksheetKind::Chinese)
        return charPageFits(pagePt, pointsPerPixel);
    return letterPageFits(kind, pagePt, pointsPerPixel);
}

// The Chinese-character page: 15 rows of 12 cells of the stroke font, each
// character's glyph built once at the first cell and moved from cell to cell,
// after the character's stroke-order rows when they are asked for.
PagePaintResult paintCharPage(Graphics &g, const StartupData &data, const WorksheetSettings &s,
                              qint64 page, const PageCanvas &canvas)
{
    PagePaintResult result;
    const CharPageGeometry geo = charPageGeometry(canvas.pagePt, s.pointsPerPixel);
    if (geo.fontSize < 1)
        return result;
    FrameStyle frame = s.frame;
    frame.width = 1.0;

    const QList<PageBlock> blocks = worksheetPageBlocks(worksheetRows(data, s), page);
    // A picture at print resolution rasterizes each tracing glyph once per
    // sub-pixel position (in a scratch picture of which only the glyphs'
    // pixels are touched). At screen sizes a page draws in a few
    // milliseconds, and there the rasterizer's rounding of a few edge
    // pixels changes with the cell, so every glyph is filled in place.
    // The scratch picture stays with the thread: a fresh one costs more to
    // fault in, page after page, than the glyphs it saves.
    thread_local QImage scratch;
    const bool repeat = g.isRaster() && g.pageScale() >= 4 && !canvas.drawEveryCell;
    if (repeat && scratch.size() != g.deviceSize())
        scratch = QImage(g.deviceSize(), QImage::Format_ARGB32_Premultiplied);
    int q = 1; // page row, from 1
    auto frameRow = [&](int row) {
        for (int c = 0; c < CharCellsPerRow; ++c) {
            g.resetTransform();
            g.translateTransform(c * geo.side, (row - 1) * geo.rowPitch);
            drawCellFrame(g, frame, geo.x0, geo.y0, geo.side);
        }
    };
    g.resetTransform();
    for (const PageBlock &b : blocks) {
        const QString ch = s.text.mid(b.charIndex, 1);
        const CharacterFacts facts = (s.strokeNames || s.pinyinRows) && !ch.isEmpty()
                                         ? data.Facts.facts(ch.at(0))
                                         : CharacterFacts();
        if (b.strokeRows > 0) {
            // The stroke-order sheet's own cells, laid on the page's rows:
            // the page draws the grid, the sheet the strokes.
            for (int j = 0; j < b.strokeRows; ++j)
                frameRow(q + j);
            SheetStyle order;
            order.splitMode = SplitMode::NewStroke;
            order.charColor = s.modelColor;
            order.traceColor = s.traceColor;
            order.frame.gridType = GridType::None;
            if (s.strokeNames) {
                order.strokeNames = true;
                order.nameText = StrokeNameText{&data.PrivateFonts, data.CharFontFamily, facts.strokeNames,
                                                StrokeNameEm};
            }
            const SheetMetrics metrics{geo.fontSize, 0, RowGap, CharCellsPerRow};
            const SheetGlyph glyph(data.PrivateFonts, data.CharFontFamily, ch);
            drawSheet(g, glyph.sized(geo.fontSize), order, metrics, geo.x0, geo.y0 + (q - 1) * geo.rowPitch,
                      SheetRows{b.firstStrokeRow, b.strokeRows});
            q += b.strokeRows;
        }
        if (b.pinyinRows > 0) {
            // The common reading above the model (in the tracing colour
            // when there is no model); the other boxes are the child's.
            const QString reading = facts.readings.value(0);
            g.resetTransform();
            drawPinyinBand(g, pinyinBandForRow(geo.x0, geo.y0 + (q - 1) * geo.rowPitch, geo.side, CharCellsPerRow),
                           frame, data.PrivateFonts, QStringLiteral("AbcManuscript"), reading,
                           s.model ? s.modelColor : s.traceColor);
            q += b.pinyinRows;
        }
        const int practiceRows = b.rows - b.strokeRows - b.pinyinRows;
        if (practiceRows == 0)
            continue;
        int zx = 0, zy = 0;
        if (bhs(data.PrivateFonts, data.CharFontFamily, ch, geo.fontSize, zx, zy) < 1) {
            g.resetTransform();
            result.complete = false;
            result.stopIndex = b.charIndex;
            result.stopChar = ch.at(0);
            return result; // no page number on a page that stopped
        }
        GraphicsPath glyph;
        glyph.addString(ch, data.PrivateFonts, data.CharFontFamily, geo.fontSize,
                        QPointF(geo.x0 + zx, geo.y0 + zy));
        const QPainterPath atOnce = strokesAtOnce(glyph);
        // The same glyph in every tracing cell: its coverage is made once
        // for each sub-pixel position the cells put it at.
        RepeatedFill repeated(atOnce, repeat && !scratch.isNull() ? &scratch : nullptr);
        auto fill = [&](const QColor &color) {
            if (atOnce.isEmpty())
                g.fillSubpaths(glyph, color);
            else
                repeated.fill(g, color);
        };
        for (int j = 1; j <= practiceRows; ++j, ++q) {
            const bool tracing = j <= b.tracingRows;
            for (int c = 0; c < CharCellsPerRow; ++c) {
                g.resetTransform();
                g.translateTransform(c * geo.side, (q - 1) * geo.rowPitch);
                drawCellFrame(g, frame, geo.x0, geo.y0, geo.side);
                if (c == 0 && j == 1 && !b.continuation && s.model)
                    fill(s.modelColor);
                else if (tracing)
                    fill(s.traceColor);
            }
        }
    }
    g.resetTransform();

    if (s.pageNumbers && page >= 1) {
        const int y = int(canvas.pagePt.height()) - PageNumberRise;
        const bool left = s.doubleSided && page % 2 == 0;
        const int x = left ? 35 : int(canvas.pagePt.width()) - 45;
        g.drawString(QString::number(page), data.PrivateFonts, QStringLiteral("AbcManuscript"), 14,
                     QPointF(x, y), s.modelColor);
    }
    return result;
}
