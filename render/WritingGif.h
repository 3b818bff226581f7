#pragma once

#include "CellFrame.h"
#include "RevealAnimation.h"

#include <QColor>
#include <QList>
#include <QString>

class PrivateFontCollection;

// The writing animation as an animated GIF: the picture the window shows,
// revealed by the same state machine at the chosen speed (a character takes
// as long as in the maximised window), one frame every frameCs hundredths of
// a second, the finished character held, looping. Unlike the window, the
// strokes' edges are anti-aliased, in a few shades of a small palette.
struct WritingGifSettings
{
    int side = 300; // square picture, pixels
    RevealSpeed speed = RevealSpeed::Medium;
    FrameStyle frame;
    QColor charColor = Qt::black;
    int frameCs = 10;
    int holdCs = 200; // the finished character before the loop starts again
    double dpi = 96;
};

struct WritingGifResult
{
    bool written = false;
    int frames = 0; // frames stored in the file
    QString error;
};

// The GIF's colours: paper, ink and frame exactly, then a few shades
// between each two of them for anti-aliased edges.
QList<QRgb> writingGifPalette(QRgb paper, QRgb ink, QRgb frame);

// Writes the animation of ch (direction codes `codes`) to fileName, through
// a temporary name renamed into place.
WritingGifResult writeWritingGif(const PrivateFontCollection &fonts, const QString &charFamily,
                                 const QString &segmentFamily, const QString &ch, const QString &codes,
                                 const WritingGifSettings &settings, const QString &fileName);
