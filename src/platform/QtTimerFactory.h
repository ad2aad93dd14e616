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
    // Processes the pending events once, unless the last turn ended less than a millisecond ago: long
    // loops yield several times per record, far more often than a window needs, and every turn polls
    // each event source.
    void yieldOnce() override;
    void pause(int ms) override; // blocks the thread; no events are delivered meanwhile

private:
    QElapsedTimer m_sinceTurn;
};

} // namespace orvia
