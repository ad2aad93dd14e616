#include "platform/QtTimerFactory.h"
#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <QTimer>

namespace orvia {

namespace {

class QtTimer : public ITimer
{
public:
    QtTimer()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void setInterval(int ms) override
    {
        m_interval = ms < 0 ? 0 : ms;
        if (m_enabled)
            restart();
    }
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override
    {
        if (on == m_enabled)
            return;
        m_enabled = on;
        if (on)
            restart();
        else
            m_timer.stop();
    }
    bool enabled() const override { return m_enabled; }

private:
    void restart()
    {
        m_timer.stop();
        if (m_interval > 0)
            m_timer.start(m_interval);
    }
    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = false;
};

} // namespace

std::unique_ptr<ITimer> QtTimerFactory::createTimer()
{
    return std::make_unique<QtTimer>();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

void QtMessageLoop::yieldOnce()
{
    QCoreApplication::processEvents();
    m_sinceTurn.start();
}

void QtMessageLoop::yieldIfDue()
{
    // Each turn polls every event source (some 7 µs); a window needs far fewer than a loop over
    // thousands of records would give it.
    constexpr qint64 kMinTurnGapNs = 1000000;
    if (m_sinceTurn.isValid() && m_sinceTurn.nsecsElapsed() < kMinTurnGapNs)
        return;
    yieldOnce();
}

void QtMessageLoop::pause(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

} // namespace orvia
