#pragma once

#include <QRect>
#include <QString>

class PrivateFontCollection;

// The stroke count of str in a stroke font, and the offsets (zx, zy) from a
// cell's top-left corner to the layout origin that centres the glyph in a
// cell of side fsize + CellMargin. Offsets are truncated toward zero; an
// unknown family or a character without outline gives 0.
int bhs(const PrivateFontCollection &fonts, const QString &family, const QString &str, int fsize,
        int &zx, int &zy);

// The centring offsets of a glyph whose outline at em size fsize has the
// whole-unit bounds b (line box at the origin).
void centringOffsets(const QRect &b, int fsize, int &zx, int &zy);
