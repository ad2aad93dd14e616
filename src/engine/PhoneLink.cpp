#include "engine/PhoneLink.h"
#include "endpoints/PhoneDriver.h"
#include "engine/EngineText.h"
#include "platform/RuntimeError.h"
#include "platform/VisibleText.h"
#include <algorithm>

namespace orvia {

PhoneLink::PhoneLink(ICommControl *comm, const Platform &platform)
    : m_comm(comm), m_platform(platform), m_timerOut(platform.timers->createTimer())
{
    // The watchdog is enabled with interval 0, i.e. inactive until a receiver sends a command.
    m_timerOut->setInterval(0);
    m_timerOut->setEnabled(true);
    m_timerOut->setOnTick([this] {
        if (auto f = m_onWatchdog)
            f();
    });
    if (m_comm) {
        m_comm->setOnComm([this] { receive(); });
        m_comm->setOnLinkLost([this](const QString &why) {
            if (auto f = m_onLinkLost)
                f(why);
        });
    }
}

PhoneLink::~PhoneLink()
{
    if (m_comm) {
        m_comm->setOnComm({});
        m_comm->setOnLinkLost({});
    }
}

bool PhoneLink::OpenCom(ComPort port, const QString &speed)
{
    ICommControl *c = m_comm;
    if (c->portOpen())
        c->setPortOpen(false);
    c->setCommPort(port.number);
    c->setSettings(speed + QStringLiteral(",N,8,1"));
    c->setHandshaking(2);
    c->setRTSEnable(true);
    c->setRThreshold(1);
    try {
        c->setPortOpen(true);
    } catch (const RuntimeError &e) {
        if (e.number() == ErrPortOpen)
            return false;
        // Any other failure (a port that does not exist, no permission) is reported too: the callers
        // can only tell "in use" from success, and a port that did not open is not usable.
        logLine(QStringLiteral("OpenCom failed: ") + visibleText(e.description()));
        return false;
    }
    m_platform.loop->yieldOnce();
    return true;
}

void PhoneLink::TestCom(ComPort port)
{
    ICommControl *c = m_comm;
    if (c->portOpen())
        c->setPortOpen(false);
    c->setCommPort(port.number);
    c->setPortOpen(true);
    c->setPortOpen(false);
}

bool PhoneLink::ComOpen() const
{
    return m_comm && m_comm->portOpen();
}

void PhoneLink::CloseCom()
{
    try {
        close();
    } catch (const std::exception &) {
        // Nothing more can be done with it: the callers go on as with a closed port.
    }
}

void PhoneLink::close()
{
    if (m_comm && m_comm->portOpen())
        m_comm->setPortOpen(false);
}

void PhoneLink::send(const QString &s)
{
    m_comm->output(s + QStringLiteral("\r\n"));
}

void PhoneLink::sendCommand(const QString &command, const ReplyLimits &limits)
{
    m_reply.start(command, limits.maxLength);
    m_limits = limits;
    m_awaiting = true;
    m_commandSent = m_platform.clock ? m_platform.clock->now() : QDateTime();
    m_timerOut->setInterval(limits.watchdogMs);
    m_timerOut->setEnabled(true);
    if (m_comm)
        send(command);
}

void PhoneLink::abandonCommand()
{
    m_awaiting = false;
    m_reply.clear();
    stopWatchdog();
}

int PhoneLink::commPort() const
{
    return m_comm ? m_comm->commPort() : 0;
}

int PhoneLink::msToDeadline() const
{
    if (!m_platform.clock || !m_commandSent.isValid())
        return m_limits.deadlineMs;
    const qint64 spent = m_commandSent.msecsTo(m_platform.clock->now());
    if (spent < 0)
        return m_limits.deadlineMs; // the clock was set back: count from now on
    return int(std::max<qint64>(0, m_limits.deadlineMs - spent));
}

void PhoneLink::rearmWatchdog()
{
    // More text: the phone gets another full interval, but never past the reply's deadline, so a
    // handset that keeps sending without ending its reply is given up in the end.
    if (m_limits.deadlineMs <= 0) {
        m_timerOut->setInterval(m_limits.watchdogMs);
        return;
    }
    const int left = msToDeadline();
    if (left > 0)
        m_timerOut->setInterval(std::min(m_limits.watchdogMs, left));
}

bool PhoneLink::watchdogArmed() const
{
    return m_timerOut->enabled() && m_timerOut->interval() > 0;
}

void PhoneLink::stopWatchdog()
{
    m_timerOut->setEnabled(false);
}

void PhoneLink::setDetecting(std::shared_ptr<ISerialHandler> detection)
{
    // A driver being replaced may still have its reply watchdog armed; it must not end the new
    // detection later.
    if (m_handler && m_handler != detection)
        abandonCommand();
    m_driver.reset();
    m_handler = std::move(detection);
}

void PhoneLink::setDriver(std::shared_ptr<IPhoneDriver> driver)
{
    m_handler = driver;
    m_driver = std::move(driver);
}

void PhoneLink::identifyPhone(std::shared_ptr<IPhoneDriver> driver, IRunOwner *owner)
{
    setDriver(driver);
    // The local copy keeps the driver alive through a failure that drops it inside Init.
    driver->Init(this, owner);
}

void PhoneLink::dropHandler()
{
    m_driver.reset();
    m_handler.reset();
    // Nobody awaits what still arrives.
    m_awaiting = false;
    m_reply.clear();
}

void PhoneLink::receive()
{
    receive(m_comm->input());
}

void PhoneLink::receive(const QString &text)
{
    // Keep the handler alive through the call: it may end the run and drop itself.
    std::shared_ptr<ISerialHandler> h = m_handler;
    try {
        if (!h)
            throwError(ErrObjectNotSet);
        if (!m_awaiting) {
            // Nothing was asked: text the phone sends on its own (RING and the like), or what is left
            // of a reply after a failure or a stop. It answers nothing and must not pile up.
            return;
        }
        if (!m_reply.add(text)) {
            rearmWatchdog();
            return;
        }
        // Whole, or too long to be one: either way the wait is over. The reply is taken before the
        // receiver sees it, since the receiver's answer may be the next command.
        const PhoneReply reply = m_reply.reply();
        abandonCommand();
        h->Receive(reply);
    } catch (const std::exception &) {
        logLine(QStringLiteral("Formmain oncomm handler is null!"));
    }
}

void PhoneLink::timeOutReceiver()
{
    // Off before the receiver reacts: its message box runs the event loop, and a watchdog still
    // running would end the same wait again behind it, with a second message and a second recovery.
    abandonCommand();
    if (std::shared_ptr<ISerialHandler> h = m_handler)
        h->TimeOut();
}

} // namespace orvia
