#pragma once
// The real timers, clock and message loop on Qt's event loop (the user-interface thread).
#include "platform/Timer.h"

#include <QElapsedTimer>

namespace orvia {

class QtTimerFactory : public ITimerFactory
{
public:
    std::unique_ptr<ITimer> createTimer() override;
};

class SystemClock : public IClock
{
public:
    QDateTime now() const override;
};

class QtMessageLoop : public IMessageLoop
{
public:
    void yieldOnce() override;   // processes the pending events once
    void yieldIfDue() override;  // the same, unless the last turn ended less than a millisecond ago
    void pause(int ms) override; // blocks the thread; no events are delivered meanwhile

private:
    QElapsedTimer m_sinceTurn;
};

} // namespace orvia
