#pragma once

#include "CellFrame.h"

#include <QColor>
#include <QPainterPath>
#include <QString>

class Graphics;
class PrivateFontCollection;

// A row of four pinyin guide lines above a row of cells, one four-line box
// per cell, as in Chinese exercise books: capitals, ascenders and tone marks
// reach the first line, the x-height the second, the baseline is the third,
// descenders reach the fourth. The letter font is drawn for these lines.
struct PinyinBand
{
    double left = 0;   // the row's left edge
    double top = 0;    // the first line
    double gap = 8.8;  // between two lines
    double cellWidth = 44;
    int cells = 12;
    double lineY(int k) const { return top + k * gap; } // k = 0..3
};

// The band of a row of `cells` cells of side `side` starting at (left,
// rowTop): its last line 2 points below the row's cell bottom would be,
// so that it stands close to the row of characters beneath it.
PinyinBand pinyinBandForRow(double left, double rowTop, int side, int cells);

// The outline of a tone-marked syllable ("zhǎng", "lǜ") in the letter font
// at em size em, its line box top at y = 0 and its ink starting at x = 0.
// The font holds plain letters only: tone marks and the dots of ü are drawn
// here, a tone mark on an i in place of its dot.
QPainterPath pinyinOutline(const PrivateFontCollection &fonts, const QString &family, const QString &syllable,
                           double em);

// The band's lines in the frame's colour and line style (outer lines as
// the cell frame, the two inner ones as the cell's inner lines), nothing for
// the grid kind "无"; the syllable, when given, in the first cell's box in
// textColor, narrowed to the box when it is wider.
void drawPinyinBand(Graphics &g, const PinyinBand &band, const FrameStyle &frame,
                    const PrivateFontCollection &fonts, const QString &family, const QString &syllable,
                    const QColor &textColor);
