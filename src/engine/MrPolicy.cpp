#include "engine/MrPolicy.h"

#include "common/Globals.h"
#include "endpoints/RunOwner.h"
#include "platform/Timer.h"

namespace orvia {

MrPolicy::MrPolicy(IClock *clock, IMessageLoop *loop) : m_clock(clock), m_loop(loop) {}

void MrPolicy::Init(IRunOwner *owner)
{
    m_owner = owner;
}

bool MrPolicy::interrupted() const
{
    return m_owner && m_owner->UserInterrupt();
}

void MrPolicy::progress(double fraction) const
{
    if (m_owner)
        m_owner->SetProgress(fraction);
}

void MrPolicy::yield() const
{
    if (m_loop)
        m_loop->yieldIfDue();
}

QDateTime MrPolicy::now() const
{
    return m_clock ? m_clock->now() : QDateTime::currentDateTime();
}

} // namespace orvia
