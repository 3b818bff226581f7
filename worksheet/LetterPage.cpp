#include "PagePainter.h"

#include "Graphics.h"
#include "GraphicsPath.h"
#include "PageModel.h"
#include "StartupData.h"

#include <algorithm>

// The letter page (four guide lines, 14 cells a row) and the digit page
// (12 square cells a row), both in points, the same at every resolution.

namespace {

const QString LetterFamily = QStringLiteral("AbcManuscript");

constexpr int LetterCellsPerRow = 14;
constexpr int DigitCellsPerRow = 12;
constexpr double LetterRowPitch = 52.0;
constexpr double GuideLineGap = 10.0;
constexpr int GuideLinesPerRow = 4;
constexpr double DigitRowGap = 9.0;
constexpr double PageNumberEm = 14.0;
// The page number's line box starts this far above the bottom edge.
constexpr int LetterNumberRise = 45;
constexpr int DigitNumberRise = 30;

// Sizes are truncated; the epsilon keeps 37 * 0.75 from landing a hair below 27.
int truncate(double v)
{
    return int(v >= 0 ? v + 1e-9 : v - 1e-9);
}

// Where the cells of one kind of page lie.
struct CellLayout
{
    int cellsPerRow = 0;
    double em = 0;       // glyph em size
    double cellWidth = 0;
    double rowPitch = 0;
    int left = 0;        // L: left edge of the first cell
    int top = 0;         // T: first guide line / top of the first digit cell
    double glyphTop = 0; // top of the glyph's line box in its cell
};

CellLayout layoutFor(WorksheetKind kind, double pageWidth, double pointsPerPixel)
{
    CellLayout c;
    if (kind == WorksheetKind::Digits) {
        const int side = std::max(0, truncate(59 * pointsPerPixel));
        c.cellsPerRow = DigitCellsPerRow;
        c.em = side;
        c.cellWidth = side;
        c.rowPitch = side + DigitRowGap;
        c.left = truncate((pageWidth - DigitCellsPerRow * side) / 2);
        c.top = c.left - 8;
        // Digits stand on the baseline 0.84375 em down; their ink then lies
        // well inside the cell from top to bottom.
        c.glyphTop = c.top;
    } else {
        const int em = std::max(0, truncate(37 * pointsPerPixel));
        c.cellsPerRow = LetterCellsPerRow;
        c.em = em;
        c.cellWidth = em + CellMargin;
        c.rowPitch = LetterRowPitch;
        c.left = truncate((pageWidth - LetterCellsPerRow * c.cellWidth) / 2);
        c.top = c.left - 5;
        // The letter font is drawn for this: capitals and ascenders reach the
        // first line, the x-height the second, the baseline the third,
        // descenders the fourth.
        c.glyphTop = c.top - 3.2;
    }
    return c;
}

// The outline of one character with its ink centred on x = 0 and its line
// box top at y = 0. Text engines differ in the lead-in before a glyph, so the
// ink, not the layout origin, is what goes into the middle of the cell.
QPainterPath centredGlyph(const StartupData &data, QChar ch, double em)
{
    GraphicsPath glyph;
    glyph.addString(QString(ch), data.PrivateFonts, LetterFamily, em, QPointF(0, 0));
    QPainterPath all = glyph.combined();
    if (all.isEmpty())
        return all;
    const QRectF ink = all.boundingRect();
    return all.translated(-ink.center().x(), 0);
}

void drawGuideLines(Graphics &g, const CellLayout &c, double right, const QColor &color)
{
    QPainterPath lines;
    for (int k = 0; k < WorksheetRowsPerPage; ++k) {
        for (int line = 0; line < GuideLinesPerRow; ++line) {
            const double y = c.top + k * c.rowPitch + line * GuideLineGap;
            lines.moveTo(c.left, y);
            lines.lineTo(right, y);
        }
    }
    g.drawPath(lines, Pen{color, 1.0, DashStyle::Solid});
}

void drawDigitCell(Graphics &g, const CellLayout &c, int col, int row, const QColor &color)
{
    const int side = int(c.cellWidth);
    const int dx = col * side;
    const int dy = row * int(c.rowPitch);
    const int x = c.left + dx;
    const int y = c.top + dy;
    g.resetTransform();
    Pen pen{color, 1.0, DashStyle::Solid};
    g.drawRectangle(pen, QRect(x, y, side, side));
    pen.dashStyle = DashStyle::Dash;
    const int midY = truncate((2.0 * c.top + side) / 2) + dy;
    const int midX = truncate((2.0 * c.left + side) / 2) + dx;
    g.drawLine(pen, QPoint(x, midY), QPoint(x + side, midY));
    g.drawLine(pen, QPoint(midX, y), QPoint(midX, y + side));
}

// The page number in the bottom margin, its ink starting where the layout
// origin plus the usual 1/6 em lead-in puts it, and moved left where a long
// number would run towards the paper's edge.
void drawPageNumber(Graphics &g, const StartupData &data, qint64 page, const QSizeF &pagePt,
                    double bottomOffset, int margin, const QColor &color)
{
    GraphicsPath number;
    number.addString(QString::number(page), data.PrivateFonts, LetterFamily, PageNumberEm,
                     QPointF(0, 0));
    const QPainterPath all = number.combined();
    if (all.isEmpty())
        return;
    const QRectF ink = all.boundingRect();
    double x = truncate(pagePt.width()) - 50 + PageNumberEm / 6;
    const double rightLimit = pagePt.width() - std::max(margin, 0) / 2.0;
    if (x + ink.width() > rightLimit)
        x = rightLimit - ink.width();
    g.resetTransform();
    g.translateTransform(x - ink.left(), truncate(pagePt.height()) - bottomOffset);
    g.fillPath(all, color);
    g.resetTransform();
}

QColor opaque(const QColor &c)
{
    return QColor(c.red(), c.green(), c.blue());
}

} // namespace

bool letterPageFits(WorksheetKind kind, const QSizeF &pagePt, double pointsPerPixel)
{
    const CellLayout c = layoutFor(kind, pagePt.width(), pointsPerPixel);
    const bool digits = kind == WorksheetKind::Digits;
    const double right = c.left + c.cellsPerRow * c.cellWidth;
    // The last row's fourth guide line, or the last digit cell's bottom.
    const double bottom = c.top + (WorksheetRowsPerPage - 1) * c.rowPitch
                          + (digits ? c.cellWidth : (GuideLinesPerRow - 1) * GuideLineGap);
    const int numberTop = truncate(pagePt.height()) - (digits ? DigitNumberRise : LetterNumberRise);
    return c.em >= 1 && c.left >= 0 && c.top >= 0 && right <= pagePt.width() && bottom <= numberTop;
}

PagePaintResult paintLetterPage(Graphics &g, const StartupData &data, const WorksheetSettings &s,
                                qint64 page, const PageCanvas &canvas)
{
    PagePaintResult result;
    const bool digits = s.kind == WorksheetKind::Digits;
    g.setPageUnit(PageUnit::Point);
    g.setAntialiasing(true);
    g.resetTransform();

    const CellLayout c = layoutFor(s.kind, canvas.pagePt.width(), s.pointsPerPixel);
    const QColor lineColor = opaque(s.frame.color);
    const QColor modelColor = opaque(s.modelColor);
    const QColor traceColor = opaque(s.traceColor);
    const QList<PageBlock> blocks =
        worksheetPageBlocks(int(s.text.size()), s.rowsPerChar, s.tracingRows, page);

    if (!digits && !blocks.isEmpty()) {
        const double right = canvas.output == PageOutput::Preview
                                 ? canvas.pagePt.width() - c.left
                                 : canvas.pagePt.width() - c.left - 5;
        drawGuideLines(g, c, right, lineColor);
    }

    int row = 0; // page row of the block's current row, from 0
    for (const PageBlock &b : blocks) {
        const QPainterPath glyph = centredGlyph(data, s.text.at(b.charIndex), c.em);
        for (int i = 0; i < b.rows; ++i, ++row) {
            for (int col = 0; col < c.cellsPerRow; ++col) {
                if (digits)
                    drawDigitCell(g, c, col, row, lineColor);
                const bool modelCell = i == 0 && col == 0 && !b.continuation && s.model;
                if (!modelCell && i >= b.tracingRows)
                    continue;
                if (glyph.isEmpty())
                    continue;
                g.resetTransform();
                g.translateTransform(c.left + (col + 0.5) * c.cellWidth,
                                     c.glyphTop + row * c.rowPitch);
                g.fillPath(glyph, modelCell ? modelColor : traceColor);
            }
        }
    }
    g.resetTransform();

    // Page 0 (or less) is no page of the sheet: blank, without a number.
    if (s.pageNumbers && page >= 1)
        drawPageNumber(g, data, page, canvas.pagePt, digits ? DigitNumberRise : LetterNumberRise, c.left,
                       modelColor);
    return result;
}
