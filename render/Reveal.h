#pragma once

#include <QImage>
#include <QRect>

// What the line-by-line reveal needs from the window it draws on.
class RevealHost
{
public:
    virtual ~RevealHost() = default;
    virtual bool stopRequested() = 0;
    // The picture to paint on, fetched for every line: a handler that runs
    // between two lines may have replaced it.
    virtual QImage &picture() = 0;
    // Shows the line just painted at once.
    virtual void refresh(const QRect &line) = 0;
    virtual void sleepMs(int ms) = 0;
    virtual void processEvents() = 0;
};

// Direction codes: 1 columns left to right, 2 rows top to bottom,
// 3 columns right to left, 4 rows bottom to top.
bool isRevealCode(int code);

// Uncovers one segment: every pixel of the closed bounds (X .. X + W,
// Y .. Y + H) whose mask pixel is not 0 is painted in color, one line at a
// time in the direction of code. Before each line the stop flag is checked;
// after it the line is shown, the host sleeps delayMs on every coordinate
// divisible by 3, and pending events run.
void revealSegment(int code, const QRect &bounds, const QImage &mask, QRgb color, int delayMs,
                   RevealHost &host);
