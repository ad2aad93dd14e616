#pragma once
// The serial link to the phone: the port (the main window's MSComm1), the reply watchdog (its
// TimerOut) and the current receiver of what the phone sends, which is the detection while it probes
// and the phone driver afterwards. The hub owns one and reacts to what it reports.
#include "endpoints/SerialHandler.h"
#include "engine/ComPort.h"
#include "platform/Platform.h"
#include <QString>
#include <functional>
#include <memory>

namespace orvia {

class IPhoneDriver;
class IRunOwner;

class PhoneLink
{
public:
    // `comm` is owned by the caller and may be null (a hub without a port).
    PhoneLink(ICommControl *comm, const Platform &platform);
    ~PhoneLink();
    PhoneLink(const PhoneLink &) = delete;
    PhoneLink &operator=(const PhoneLink &) = delete;

    // The watchdog expired; the serial control lost the link (its port is closed by then).
    void setOnWatchdog(std::function<void()> f) { m_onWatchdog = std::move(f); }
    void setOnLinkLost(std::function<void(const QString &)> f) { m_onLinkLost = std::move(f); }

    // The port.
    bool OpenCom(ComPort port, const QString &speed);
    // Opens and closes `port` to see whether it can be used; throws what the port throws.
    void TestCom(ComPort port);
    bool ComOpen() const;
    // Closes the port if it is open; a port that fails to close is taken as closed.
    void CloseCom();
    // Closes the port if it is open, reporting a failure.
    void close();
    void send(const QString &s);
    ICommControl *MSComm1() const { return m_comm; }

    // The watchdog: inactive (interval 0) until a driver sets an interval.
    ITimer *TimerOut() const { return m_timerOut.get(); }
    bool watchdogArmed() const;
    void stopWatchdog();

    // The receiver.
    const std::shared_ptr<ISerialHandler> &handler() const { return m_handler; }
    const std::shared_ptr<IPhoneDriver> &phoneDriver() const { return m_driver; }
    // The detection takes the link while it probes; a driver it replaces stops watching for replies.
    void setDetecting(std::shared_ptr<ISerialHandler> detection);
    void setDriver(std::shared_ptr<IPhoneDriver> driver);
    // The driver identifies the phone on this link, reporting to `owner`.
    void identifyPhone(std::shared_ptr<IPhoneDriver> driver, IRunOwner *owner);
    void dropHandler();

    // Hands the input waiting on the port to the receiver.
    void receive();
    // Tells the receiver that the watchdog expired, if it reacts to that.
    void timeOutReceiver();

private:
    ICommControl *m_comm;
    Platform m_platform;
    std::unique_ptr<ITimer> m_timerOut;
    std::shared_ptr<ISerialHandler> m_handler;
    std::shared_ptr<IPhoneDriver> m_driver; // m_handler when the receiver is a phone driver
    std::function<void()> m_onWatchdog;
    std::function<void(const QString &)> m_onLinkLost;
};

} // namespace orvia
