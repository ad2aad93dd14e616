#pragma once
// Small helpers shared by the simulator's tests: a command and its whole answer, and a manual
// timer factory so delayed reply pieces are delivered without waiting.
#include "phonesim/PhoneSim.h"
#include "platform/Timer.h"

#include <QByteArray>
#include <algorithm>
#include <vector>

namespace orvia::phonesim::test {

// Sends one command ended by CR and returns everything the handset answers, echo included.
inline QByteArray ask(PhoneSim &sim, const QByteArray &command)
{
    return sim.receiveAll(command + '\r');
}

// The answer as the drivers see it: without the echo.
inline QByteArray answer(PhoneSim &sim, const QByteArray &command)
{
    const QByteArray all = ask(sim, command);
    const QByteArray echo = command + '\r';
    return all.startsWith(echo) ? all.mid(echo.size()) : all;
}

class ManualTimers : public ITimerFactory
{
public:
    class Timer : public ITimer
    {
    public:
        explicit Timer(ManualTimers *owner) : m_owner(owner) {}
        ~Timer() override { std::erase(m_owner->m_timers, this); }
        void setInterval(int ms) override
        {
            m_interval = ms;
            m_left = ms;
        }
        int interval() const override { return m_interval; }
        void setEnabled(bool on) override
        {
            if (on && !m_enabled)
                m_left = m_interval;
            m_enabled = on;
        }
        bool enabled() const override { return m_enabled; }
        void advance(int ms)
        {
            if (!m_enabled || m_interval <= 0)
                return;
            m_left -= ms;
            if (m_left <= 0) {
                m_left = m_interval;
                tick();
            }
        }

    private:
        ManualTimers *m_owner;
        int m_interval = 0;
        int m_left = 0;
        bool m_enabled = false;
    };

    std::unique_ptr<ITimer> createTimer() override
    {
        auto t = std::make_unique<Timer>(this);
        m_timers.push_back(t.get());
        return t;
    }
    // Moves time on one millisecond at a time so every tick happens in order.
    void advance(int ms)
    {
        for (int i = 0; i < ms; ++i) {
            const auto timers = m_timers;
            for (Timer *t : timers) {
                if (std::find(m_timers.begin(), m_timers.end(), t) != m_timers.end())
                    t->advance(1);
            }
        }
    }

private:
    std::vector<Timer *> m_timers;
};

} // namespace orvia::phonesim::test
