#pragma once

#include "CellFrame.h"

#include <QColor>
#include <QString>

class ImageView;
struct StartupData;

// The animated writing of one character on an image control: the cell frame
// (pen 2.0), then every segment of the segment font uncovered line by line
// in the direction of its code. Runs on the GUI thread and lets pending
// events run after every line; returns at the end or when a stop is
// requested. The image must already have its final size.
void animateCharacter(ImageView *img, const StartupData &data, const QString &ch, const QString &codes,
                      const FrameStyle &frame, const QColor &charColor, double dpi);
