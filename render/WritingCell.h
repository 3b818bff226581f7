#pragma once

#include "CellFrame.h"

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QString>

class PrivateFontCollection;

// The picture of the writing animation, on the window and in the animated
// GIF alike: one cell frame (pen 2.0) for an em size of the picture's
// smaller side less 40, centred across and 10 from the top. Returns the
// character's segments placed in that cell, in writing order; none when the
// picture is too small or the character has no segments. Sizes and the
// segments are in the picture's logical pixels (its device pixels divided
// by its pixel ratio).
QList<QPainterPath> drawWritingCell(QImage &picture, double dpi, const PrivateFontCollection &fonts,
                                    const QString &charFamily, const QString &segmentFamily,
                                    const QString &ch, const FrameStyle &frame);

// Direction codes as numbers; anything but a digit gives -1 (revealed as nothing).
QList<int> revealCodes(const QString &codes);
