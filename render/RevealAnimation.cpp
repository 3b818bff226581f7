#include "RevealAnimation.h"

#include "Bitmap.h"
#include "Graphics.h"
#include "GraphicsPath.h"
#include "QueryClock.h"

double revealLinesPerSecond(RevealSpeed speed)
{
    switch (speed) {
    case RevealSpeed::Slow:
        return 150;
    case RevealSpeed::Fast:
        return 480;
    case RevealSpeed::Medium:
        break;
    }
    return 240;
}

RevealAnimation::RevealAnimation(const QList<QPainterPath> &segments, const QList<int> &codes, QRgb color,
                                 double dpi, RevealTarget *target, QObject *parent)
    : QObject(parent), m_color(color), m_dpi(dpi), m_target(target)
{
    for (int i = 0; i < segments.size(); ++i) {
        Segment s;
        s.path = segments[i];
        s.bounds = GraphicsPath::wholeUnits(s.path.boundingRect());
        // A segment without a code of its own reveals nothing.
        if (i < codes.size())
            s.lines = revealLines(codes[i], s.bounds);
        m_total += s.lines.count;
        m_segments << s;
    }
    m_frame.setInterval(FrameMs);
    connect(&m_frame, &QueryTimer::timeout, this, &RevealAnimation::tick);
}

void RevealAnimation::start()
{
    m_running = true;
    m_last = QueryClock::instance().nowMs();
    m_frame.start();
}

void RevealAnimation::stop()
{
    m_running = false;
    m_frame.stop();
    m_mask = QImage();
}

bool RevealAnimation::revealNext(QImage &picture, QRect &painted)
{
    while (m_segment < m_segments.size()) {
        const Segment &s = m_segments[m_segment];
        if (m_line < s.lines.count) {
            if (m_line == 0) {
                // The segment rasterised, anti-aliased, where it lies on the picture.
                m_mask = makeBitmap(picture.width(), picture.height(), m_dpi);
                Graphics g(m_mask, m_dpi);
                g.setAntialiasing(true);
                g.fillPath(s.path, QColor::fromRgba(0xFFFF0000));
            }
            painted = revealLine(s.lines, m_line, s.bounds, m_mask, m_color, picture);
            ++m_line;
            ++m_revealed;
            return true;
        }
        ++m_segment;
        m_line = 0;
        m_mask = QImage();
    }
    return false;
}

QRect RevealAnimation::advance(QImage &picture, int lines)
{
    QRect dirty;
    for (int i = 0; i < lines; ++i) {
        QRect line;
        if (!revealNext(picture, line))
            break;
        dirty |= line;
    }
    return dirty;
}

void RevealAnimation::tick()
{
    if (!m_running)
        return;
    QImage *picture = m_target->picture();
    if (m_target->stopRequested() || !picture || picture->isNull()) {
        stop();
        return;
    }
    const qint64 now = QueryClock::instance().nowMs();
    m_owed += double(now - m_last) * qMax(0.0, m_target->linesPerSecond()) / 1000.0;
    m_last = now;
    const int due = int(qMin(m_owed, double(m_total)));
    m_owed -= due;
    const QRect dirty = advance(*picture, due);
    if (isComplete())
        m_owed = 0;
    if (!dirty.isEmpty())
        m_target->refresh(dirty);
    if (m_revealed >= m_total) {
        stop();
        emit finished();
    }
}
