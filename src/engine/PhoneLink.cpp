#include "engine/PhoneLink.h"
#include "endpoints/PhoneDriver.h"
#include "engine/EngineText.h"
#include "platform/RuntimeError.h"

namespace orvia {

PhoneLink::PhoneLink(ICommControl *comm, const Platform &platform)
    : m_comm(comm), m_platform(platform), m_timerOut(platform.timers->createTimer())
{
    // The watchdog is enabled with interval 0, i.e. inactive until a driver sets an interval.
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
        logLine(QStringLiteral("OpenCom failed: ") + e.description());
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
        stopWatchdog();
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
    driver->Init(m_comm, m_timerOut.get(), owner);
}

void PhoneLink::dropHandler()
{
    m_driver.reset();
    m_handler.reset();
}

void PhoneLink::receive()
{
    const QString text = m_comm->input();
    // Keep the handler alive through the call: it may end the run and drop itself.
    std::shared_ptr<ISerialHandler> h = m_handler;
    try {
        if (!h)
            throwError(ErrObjectNotSet);
        h->Receive(text);
    } catch (const std::exception &) {
        logLine(QStringLiteral("Formmain oncomm handler is null!"));
    }
}

void PhoneLink::timeOutReceiver()
{
    std::shared_ptr<ISerialHandler> h = m_handler;
    if (h && h->hasTimeOut())
        h->TimeOut();
}

} // namespace orvia
