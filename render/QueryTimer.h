#pragma once

#include <QObject>

class QTimer;
class QueryClock;

// A repeating timer on the clock of QueryClock::instance() at construction:
// a system timer normally, or fired by a test's clock. The subset of QTimer
// the windows use.
class QueryTimer : public QObject
{
    Q_OBJECT
public:
    explicit QueryTimer(QObject *parent = nullptr);
    ~QueryTimer() override;

    void setInterval(int ms);
    int interval() const { return m_interval; }
    bool isActive() const { return m_active; }
    void start();
    void stop();

    // For a clock that drives its timers: when the next timeout is due, and
    // the timeout itself (the next one is then due one interval later).
    qint64 dueAt() const { return m_due; }
    void expire();

signals:
    void timeout();

private:
    QueryClock *m_clock;
    QTimer *m_system = nullptr;
    int m_interval = 0;
    bool m_active = false;
    qint64 m_due = 0;
};
