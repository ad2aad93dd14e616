#pragma once
// The serial link to the phone: the port (the main window's MSComm1), the reply watchdog (its
// TimerOut), the reply to the command in flight and the current receiver of replies, which is the
// detection while it probes and the phone driver afterwards. The link collects what the phone sends
// until it is a whole reply, frames it and hands it to the receiver once; text that answers no command
// is dropped. The hub owns one and reacts to what it reports.
#include "endpoints/CommandLink.h"
#include "endpoints/SerialHandler.h"
#include "engine/ComPort.h"
#include "engine/ReplyCollector.h"
#include "platform/Platform.h"
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

namespace orvia {

class IPhoneDriver;
class IRunOwner;

class PhoneLink : public ICommandLink
{
public:
    // `comm` is owned by the caller and may be null (a hub without a port).
    PhoneLink(ICommControl *comm, const Platform &platform);
    ~PhoneLink() override;
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
    // Writes a line to the port as it is, awaiting nothing.
    void send(const QString &s);
    ICommControl *MSComm1() const { return m_comm; }

    // ICommandLink
    void sendCommand(const QString &command, const ReplyLimits &limits) override;
    int commPort() const override;
    // No reply is awaited any more: the watchdog stops and whatever still arrives is dropped.
    void abandonCommand();

    // The watchdog: inactive (interval 0) until a receiver sends a command.
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

    // Takes the input waiting on the port (or `text`, as if it had arrived) into the reply awaited,
    // and hands a whole reply to the receiver.
    void receive();
    void receive(const QString &text);
    // Tells the receiver that the watchdog expired: its reply is awaited no longer.
    void timeOutReceiver();

private:
    void rearmWatchdog(); // more text of the reply: another interval, within the reply's deadline
    int msToDeadline() const;

    ICommControl *m_comm;
    Platform m_platform;
    std::unique_ptr<ITimer> m_timerOut;
    std::shared_ptr<ISerialHandler> m_handler;
    std::shared_ptr<IPhoneDriver> m_driver; // m_handler when the receiver is a phone driver
    ReplyCollector m_reply;                 // the reply to the command in flight
    ReplyLimits m_limits;                   // its limits
    bool m_awaiting = false;                // a command has been sent and its reply has not been handed on
    QDateTime m_commandSent;                // when it went out (with a clock)
    std::function<void()> m_onWatchdog;
    std::function<void(const QString &)> m_onLinkLost;
};

} // namespace orvia
