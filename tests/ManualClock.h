#pragma once

#include "QueryClock.h"
#include "QueryTimer.h"

#include <QList>

// A clock that stands still until the test moves it; it fires the windows'
// timers itself, in time order, as time passes.
class ManualClock : public QueryClock
{
public:
    ManualClock() { QueryClock::setInstance(this); }
    ~ManualClock() override { QueryClock::setInstance(nullptr); }

    qint64 nowMs() const override { return m_now; }
    bool drivesTimers() const override { return true; }
    void timerStarted(QueryTimer *t) override
    {
        if (!m_timers.contains(t))
            m_timers << t;
    }
    void timerStopped(QueryTimer *t) override { m_timers.removeAll(t); }

    void advance(qint64 ms)
    {
        const qint64 end = m_now + ms;
        for (;;) {
            QueryTimer *next = nullptr;
            for (QueryTimer *t : m_timers)
                if (t->isActive() && t->dueAt() <= end && (!next || t->dueAt() < next->dueAt()))
                    next = t;
            if (!next)
                break;
            m_now = qMax(m_now, next->dueAt());
            next->expire();
        }
        m_now = end;
    }

private:
    qint64 m_now = 1000;
    QList<QueryTimer *> m_timers;
};
