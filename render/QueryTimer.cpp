#include "QueryTimer.h"

#include "QueryClock.h"

#include <QTimer>

QueryTimer::QueryTimer(QObject *parent) : QObject(parent), m_clock(&QueryClock::instance())
{
    if (!m_clock->drivesTimers()) {
        m_system = new QTimer(this);
        m_system->setTimerType(Qt::PreciseTimer);
        connect(m_system, &QTimer::timeout, this, &QueryTimer::expire);
    }
}

QueryTimer::~QueryTimer()
{
    if (m_active && !m_system)
        m_clock->timerStopped(this);
}

void QueryTimer::setInterval(int ms)
{
    m_interval = qMax(0, ms);
    if (m_system)
        m_system->setInterval(m_interval);
}

void QueryTimer::start()
{
    // Like QTimer: starting an active timer starts it over.
    m_active = true;
    m_due = m_clock->nowMs() + m_interval;
    if (m_system)
        m_system->start();
    else
        m_clock->timerStarted(this);
}

void QueryTimer::stop()
{
    if (!m_active)
        return;
    m_active = false;
    if (m_system)
        m_system->stop();
    else
        m_clock->timerStopped(this);
}

void QueryTimer::expire()
{
    if (!m_active)
        return;
    m_due += qMax(1, m_interval);
    emit timeout();
}
