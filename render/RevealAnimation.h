#pragma once

#include "QueryTimer.h"
#include "Reveal.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPainterPath>

// The pace of the writing animation, chosen under "速度".
enum class RevealSpeed { Slow, Medium, Fast };
// Lines uncovered per second. At 中 a character the size of 你 in the
// maximised main window (about 2400 lines) takes some 10 s, the time a 1 ms
// sleep on every third line took where a sleep lasts a 15.6 ms timer tick.
double revealLinesPerSecond(RevealSpeed speed);

// What the writing animation draws on and asks at every frame.
class RevealTarget
{
public:
    virtual ~RevealTarget() = default;
    // The picture to paint on, fetched at every frame (a handler may have
    // replaced it); nullptr when it is gone, which ends the animation.
    virtual QImage *picture() = 0;
    // Shows the lines just painted.
    virtual void refresh(const QRect &area) = 0;
    // Read at every frame, so a change of speed takes effect at once.
    virtual double linesPerSecond() = 0;
    virtual bool stopRequested() = 0;
};

// The line-by-line reveal of a character's segments as a state machine on
// the GUI thread: a frame timer on the query clock wakes it, and each frame
// uncovers the lines that the elapsed time at the current speed asks for,
// segment after segment, each in the direction of its code. A segment
// without a valid code is skipped. Stopped, it never goes on.
class RevealAnimation : public QObject
{
    Q_OBJECT
public:
    // segments: the segment outlines placed on the picture, in writing
    // order; codes: one direction code per segment (surplus ones ignored).
    RevealAnimation(const QList<QPainterPath> &segments, const QList<int> &codes, QRgb color, double dpi,
                    RevealTarget *target, QObject *parent = nullptr);

    static constexpr int FrameMs = 16;

    void start();
    void stop();
    bool isRunning() const { return m_running; }
    int totalLines() const { return m_total; }
    int linesRevealed() const { return m_revealed; }
    bool isComplete() const { return m_revealed >= m_total; }
    // Uncovers the next `lines` lines on picture at once, as a frame does;
    // returns the area painted. Drives the reveal without a clock (the
    // animated GIF).
    QRect advance(QImage &picture, int lines);

signals:
    // Every line has been revealed (not emitted when stopped).
    void finished();

private:
    struct Segment
    {
        QPainterPath path;
        QRect bounds;
        RevealLines lines;
    };
    void tick();
    // Paints the next line; false when none is left.
    bool revealNext(QImage &picture, QRect &painted);

    QList<Segment> m_segments;
    QRgb m_color;
    double m_dpi;
    RevealTarget *m_target;
    QueryTimer m_frame;
    bool m_running = false;
    qint64 m_last = 0;
    double m_owed = 0; // lines due but not yet painted
    int m_total = 0;
    int m_revealed = 0;
    int m_segment = 0; // the segment being revealed
    int m_line = 0;    // its next line
    QImage m_mask;     // of the segment being revealed
};
