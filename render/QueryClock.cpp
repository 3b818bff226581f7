#include "QueryClock.h"

#include <QElapsedTimer>

namespace {

class SystemClock : public QueryClock
{
public:
    SystemClock() { m_timer.start(); }
    qint64 nowMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

QueryClock *g_clock = nullptr;

} // namespace

QueryClock &QueryClock::instance()
{
    static SystemClock system;
    return g_clock ? *g_clock : system;
}

void QueryClock::setInstance(QueryClock *clock)
{
    g_clock = clock;
}
