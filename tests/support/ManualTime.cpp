#include "support/ManualTime.h"
#include <QCoreApplication>
#include <algorithm>
#include <limits>

namespace orvia::test {

namespace {
class ManualTimer;
}

struct ManualTime::State
{
    QDateTime start;
    qint64 nowMs = 0;
    qint64 wallOffsetMs = 0;
    quint64 nextSeq = 0;
    std::vector<ManualTimer *> timers;
    int yields = 0;
    std::vector<int> pauses;
    std::function<void()> onYield;
    std::function<void(int)> onPause;
};

namespace {

class ManualTimer : public ITimer
{
public:
    explicit ManualTimer(std::shared_ptr<ManualTime::State> s) : m_state(std::move(s))
    {
        m_state->timers.push_back(this);
    }
    ~ManualTimer() override
    {
        auto &v = m_state->timers;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    void setInterval(int ms) override
    {
        m_interval = std::max(0, ms);
        if (m_enabled)
            rearm();
    }
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override
    {
        if (on && !m_enabled) {
            m_enabled = true;
            rearm();
        } else if (!on) {
            m_enabled = false;
        }
    }
    bool enabled() const override { return m_enabled; }

    bool armed() const { return m_enabled && m_interval > 0; }
    qint64 due() const { return m_due; }
    quint64 seq() const { return m_seq; }
    void fire(qint64 at)
    {
        m_due = at + m_interval;
        m_seq = m_state->nextSeq++;
        tick();
    }

private:
    void rearm()
    {
        m_due = m_state->nowMs + m_interval;
        m_seq = m_state->nextSeq++;
    }
    std::shared_ptr<ManualTime::State> m_state;
    int m_interval = 0;
    bool m_enabled = false;
    qint64 m_due = 0;
    quint64 m_seq = 0;
};

} // namespace

ManualTime::ManualTime(const QDateTime &start) : m_state(std::make_shared<State>())
{
    m_state->start = start;
}

ManualTime::~ManualTime() = default;

std::unique_ptr<ITimer> ManualTime::createTimer()
{
    return std::make_unique<ManualTimer>(m_state);
}

QDateTime ManualTime::now() const
{
    return m_state->start.addMSecs(m_state->nowMs + m_state->wallOffsetMs);
}

void ManualTime::yieldOnce()
{
    ++m_state->yields;
    QCoreApplication::processEvents();
    if (auto f = m_state->onYield)
        f();
}

void ManualTime::pause(int ms)
{
    m_state->pauses.push_back(ms);
    m_state->nowMs += std::max(0, ms);
    if (auto f = m_state->onPause)
        f(ms);
}

void ManualTime::advance(qint64 ms)
{
    auto state = m_state; // a tick may destroy this object
    const qint64 target = state->nowMs + std::max<qint64>(0, ms);
    for (;;) {
        ManualTimer *next = nullptr;
        for (auto *t : state->timers) {
            if (!t->armed() || t->due() > target)
                continue;
            if (!next || t->due() < next->due() || (t->due() == next->due() && t->seq() < next->seq()))
                next = static_cast<ManualTimer *>(t);
        }
        if (!next)
            break;
        // A timer overdue after a pause fires once, late, as a real one does.
        const qint64 at = std::max(next->due(), state->nowMs);
        state->nowMs = at;
        next->fire(at);
    }
    state->nowMs = std::max(state->nowMs, target);
}

bool ManualTime::advanceUntil(const std::function<bool()> &pred, qint64 limitMs, qint64 stepMs)
{
    const qint64 end = m_state->nowMs + limitMs;
    while (!pred()) {
        if (m_state->nowMs >= end)
            return false;
        advance(std::min(stepMs, end - m_state->nowMs));
    }
    return true;
}

qint64 ManualTime::elapsedMs() const
{
    return m_state->nowMs;
}

void ManualTime::setNow(const QDateTime &t)
{
    m_state->wallOffsetMs = m_state->start.msecsTo(t) - m_state->nowMs;
}

int ManualTime::activeTimers() const
{
    return int(std::count_if(m_state->timers.begin(), m_state->timers.end(),
                             [](const ManualTimer *t) { return t->armed(); }));
}

int ManualTime::yieldCount() const
{
    return m_state->yields;
}

const std::vector<int> &ManualTime::pauses() const
{
    return m_state->pauses;
}

void ManualTime::setOnYield(std::function<void()> f)
{
    m_state->onYield = std::move(f);
}

void ManualTime::setOnPause(std::function<void(int)> f)
{
    m_state->onPause = std::move(f);
}

} // namespace orvia::test
