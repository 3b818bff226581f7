#pragma once

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QSize>

class SheetGlyph;

// The one large cell of the writing practice, centred in an area of logical
// pixels, and the character placed in it as the stroke font draws it: the
// 1024-unit box of the stroke data (y down) is the line box of the glyph at
// em size 1024, so a box point b lies at origin + b * fsize / 1024.
struct PracticeCell
{
    static constexpr double BoxUnits = 1024.0;
    // Room left around the cell on every side.
    static constexpr int Margin = 10;

    int left = 0;
    int top = 0;
    int side = 0;  // fsize + CellMargin
    int fsize = 0; // em size of the glyph
    QPointF origin;              // the glyph's line-box origin (left + zx, top + zy)
    QList<QPainterPath> strokes; // placed at origin, in writing order

    bool isValid() const { return fsize > 0; }
    QPointF toBox(QPointF p) const { return (p - origin) * (BoxUnits / fsize); }
    QPointF fromBox(QPointF b) const { return origin + b * (fsize / BoxUnits); }
};

// The cell for an area of the given size; invalid when it has no room.
PracticeCell practiceCell(const SheetGlyph &glyph, QSize area);

// Which stroke each segment of the segment font belongs to: strokes and
// segments both run in writing order, so the answer rises from 0 to the
// last stroke and every stroke gets at least one segment; among such
// groupings the one that keeps most of every segment inside its stroke.
// Empty when there are fewer segments than strokes (the data disagree).
QList<int> groupSegments(const QList<QPainterPath> &strokes, const QList<QPainterPath> &segments);
