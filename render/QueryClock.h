#pragma once

#include <QtGlobal>

class QueryTimer;

// The time source of the windows' timers (stroke steps, re-query) and of the
// writing animation. The program runs on the system's monotonic clock; tests
// put a clock of their own in place before creating the windows, so time
// only moves when they say.
class QueryClock
{
public:
    virtual ~QueryClock() = default;

    // Milliseconds since some fixed point; never goes back.
    virtual qint64 nowMs() const = 0;
    // True when this clock fires the timers itself (QueryTimer then runs no
    // system timer and reports start and stop here).
    virtual bool drivesTimers() const { return false; }
    virtual void timerStarted(QueryTimer *) {}
    virtual void timerStopped(QueryTimer *) {}

    static QueryClock &instance();
    // nullptr restores the system clock; the caller keeps ownership.
    static void setInstance(QueryClock *clock);
};
