#pragma once
// One virtual clock behind the timers, the clock and the message loop, so tests drive time by hand.
// advance(ms) delivers every due timer tick in time order; pause(ms) moves time on without delivering
// anything (as a blocked user-interface thread would); yieldOnce() lets Qt process its events once.
#include "platform/Timer.h"
#include <QDateTime>
#include <functional>
#include <memory>
#include <vector>

namespace orvia::test {

class ManualTime : public ITimerFactory, public IClock, public IMessageLoop
{
public:
    explicit ManualTime(const QDateTime &start = QDateTime(QDate(2026, 3, 2), QTime(10, 0)));
    ~ManualTime() override;

    // ITimerFactory, IClock, IMessageLoop
    std::unique_ptr<ITimer> createTimer() override;
    QDateTime now() const override;
    void yieldOnce() override;
    void pause(int ms) override;

    // Moves virtual time forward by ms, firing due timers in order (each at its own due time).
    void advance(qint64 ms);
    // Fires timers that are due now (overdue after a pause) without moving time on.
    void advanceToDue() { advance(0); }
    // Runs advance in steps until pred() holds or `limitMs` of virtual time has passed; true if it held.
    bool advanceUntil(const std::function<bool()> &pred, qint64 limitMs, qint64 stepMs = 10);

    qint64 elapsedMs() const;
    void setNow(const QDateTime &t); // moves the wall clock only; timer schedules are unchanged
    int activeTimers() const;        // timers enabled with a non-zero interval
    int yieldCount() const;
    const std::vector<int> &pauses() const; // every pause asked for, in order

    // Hooks run on every yield / pause (after time has moved): a test can deliver input there.
    void setOnYield(std::function<void()> f);
    void setOnPause(std::function<void(int ms)> f);

    struct State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace orvia::test
