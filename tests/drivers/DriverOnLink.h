#pragma once
// A driver on the program's serial link without the rest of the main window: the link's replies go to
// whichever driver the test holds at the time, and the watchdog's expiry to its TimeOut, once.
#include "engine/PhoneLink.h"
#include <functional>
#include <memory>

namespace orvia::test {

class ReplyForwarder : public ISerialHandler
{
public:
    explicit ReplyForwarder(std::function<ISerialHandler *()> target) : m_target(std::move(target)) {}
    void Receive(const PhoneReply &reply) override
    {
        if (ISerialHandler *t = m_target())
            t->Receive(reply);
    }
    void TimeOut() override
    {
        if (ISerialHandler *t = m_target())
            t->TimeOut();
    }

private:
    std::function<ISerialHandler *()> m_target;
};

// `timeOuts`, when given, counts the watchdog's expiries.
inline void attachDriver(PhoneLink &link, std::function<ISerialHandler *()> target, int *timeOuts = nullptr)
{
    link.setDetecting(std::make_shared<ReplyForwarder>(std::move(target)));
    link.setOnWatchdog([&link, timeOuts] {
        if (timeOuts)
            ++*timeOuts;
        link.timeOutReceiver();
        link.stopWatchdog();
    });
}

} // namespace orvia::test
