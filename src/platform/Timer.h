#pragma once
// Timers and the clock, so that tests can drive time by hand (see ManualTime in the test doubles).
#include <QDateTime>
#include <functional>
#include <memory>

namespace orvia {

// A window timer: while enabled it ticks every `interval` ms. Enabling a disabled timer, or changing
// the interval of an enabled one, starts the count afresh. An interval of 0 never ticks.
class ITimer
{
public:
    virtual ~ITimer() = default;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
    void setOnTick(std::function<void()> f) { m_onTick = std::move(f); }

protected:
    void tick()
    {
        // A copy, so that a handler which disables, re-arms or destroys its own timer stays valid.
        if (auto f = m_onTick)
            f();
    }

private:
    std::function<void()> m_onTick;
};

class ITimerFactory
{
public:
    virtual ~ITimerFactory() = default;
    virtual std::unique_ptr<ITimer> createTimer() = 0;
};

class IClock
{
public:
    virtual ~IClock() = default;
    virtual QDateTime now() const = 0; // local time
};

// The message loop: "yield" processes pending window, timer and serial events once; "pause" blocks
// the user-interface thread for the given time (no events are delivered meanwhile).
class IMessageLoop
{
public:
    virtual ~IMessageLoop() = default;
    virtual void yieldOnce() = 0;
    // For loops that yield for every field or record: a loop may let a turn go that would come right
    // after the last one. Every turn is taken unless the loop says otherwise.
    virtual void yieldIfDue() { yieldOnce(); }
    virtual void pause(int ms) = 0;
};

} // namespace orvia
