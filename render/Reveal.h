#pragma once

#include <QImage>
#include <QRect>

// Direction codes: 1 columns left to right, 2 rows top to bottom,
// 3 columns right to left, 4 rows bottom to top.
bool isRevealCode(int code);

// The lines of one segment in the order its code uncovers them: columns
// (codes 1, 3) or rows (2, 4) over the closed bounds, X .. X + W or
// Y .. Y + H, both ends included.
struct RevealLines
{
    bool columns = true;
    int first = 0; // coordinate of the first line
    int step = 1;  // +1 or -1
    int count = 0; // 0 for another code, or an end below the start
    int at(int i) const { return first + i * step; }
};
RevealLines revealLines(int code, const QRect &bounds);

// Paints line i: every pixel of the line within the closed bounds whose
// mask pixel is not 0 (anti-aliased edges too) gets the full colour. Pixels
// outside the mask or the target count as empty. Returns the line's
// rectangle.
QRect revealLine(const RevealLines &lines, int i, const QRect &bounds, const QImage &mask, QRgb color,
                 QImage &target);
