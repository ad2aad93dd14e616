#pragma once
// Port discovery and phone detection, without widgets (the setup window shows its progress on the
// connection page): lists the COM ports the registry names, tests which of them open, and probes
// ports one after another with AT commands over the main window's serial link until a handset of a
// known family answers. It then hands the link to the family's phone driver, lets the driver identify
// the phone and saves port and model. While it probes it is the receiver of the main window's serial
// link, which times and frames the replies to its probes.
#include "endpoints/SerialHandler.h"
#include "endpoints/ShellCallbacks.h"
#include "engine/ComPort.h"
#include "platform/Platform.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace orvia {

class FormMain;
class IConnectionPage;
class IShellHooks;
class ISplashWindow;
class ITrayState;
class IPhoneDriver;

class PhoneDetection : public ISerialHandler,
                       public ISetupDetection,
                       public std::enable_shared_from_this<PhoneDetection>
{
public:
    // The detection steps; each names the step that handles the reply to the command it sent.
    enum class State : qint16
    {
        Idle = 0,
        OpenPort = 1,      // opens the next port of the scan, sends ATZ
        Reset = 2,         // the first ATZ answered: ATZ again
        Identify = 3,      // sends ATZI
        CheckIdentity = 4, // judges the ATZI line, sends AT+GMM
        CreateDriver = 5,  // picks the family's driver from the model line and lets it identify the phone
        DriverDone = 6,    // the driver has identified the phone (or failed to)
    };

    static constexpr int kReplyTimeoutMs = 2000; // silence after a probe, or within its reply
    static constexpr int kInfraredPauseMs = 3000;
    static constexpr int kReconnectPauseMs = 1000;
    static constexpr int kMaxAvailablePorts = 8;
    // A probe reply longer than this is no handset's answer: the port is given up.
    static constexpr qsizetype kMaxReplyLength = 4096;
    // From the phone's identification to the start of a run that waited for it: the run's first step
    // talks to the driver only after the detection that the driver called back has returned.
    static constexpr int kStartWaitingRunMs = 100;

    static const QString kSerialCommKey;
    static const QString kInfraredKey;

    struct Deps
    {
        Platform platform;
        ITrayState *tray = nullptr;      // icon state
        IShellHooks *shell = nullptr;    // showing the tray window
        ISplashWindow *splash = nullptr; // first-run flag, closing the splash
        IConnectionPage *page = nullptr;
    };
    explicit PhoneDetection(const Deps &deps);
    ~PhoneDetection() override;
    PhoneDetection(const PhoneDetection &) = delete;
    PhoneDetection &operator=(const PhoneDetection &) = delete;

    // Part of the window's load: fills the port list and shows a button per port found.
    void enumeratePorts();
    // Keeps the owner, tests the ports and starts the start-up detection of the saved port.
    void Init(FormMain &owner);
    void DetectPorts();
    // ComPort::allPorts() probes every available port.
    void Connect(ComPort port);
    void clickConnect(); // the "Connect" button
    // The owner ended a run or detection after a phone failure.
    void phoneErrorRecovered();
    // No phone is in place, but a port is saved and no detection is under way.
    bool canSeekForRun() const;
    // A run was asked for while no phone is in place: detects on the saved port, then on every port,
    // as the start-up does; `found` runs kStartWaitingRunMs after a phone is identified. When none is
    // found the user is told so (no setup window). False when no port is saved; a detection already
    // under way is followed instead of restarted.
    bool seekForRun(std::function<void()> found);
    // A detection the user started replaces any run waiting for the phone, also one whose start is
    // already timed.
    void forgetWaitingRun();
    bool runWaiting() const { return bool(m_afterFound); }

    // ISetupDetection
    void FiniteStateMachine() override;
    // ISerialHandler
    void Receive(const PhoneReply &reply) override;
    void TimeOut() override; // a probe went unanswered

    // Read-only views for the window and for diagnostics.
    const QList<ComPort> &portList() const { return m_portList; }
    const QList<ComPort> &availPorts() const { return m_availPorts; }
    State state() const { return m_state; }
    std::optional<ComPort> irdaPort() const { return m_irdaPort; }
    QString modelReply() const { return m_modelReply; }
    QString atziReply() const { return m_atziReply; }
    bool timerArmed() const;
    FormMain *owner() const { return m_owner; }

private:
    const QList<ComPort> &scanList() const { return m_scanAll ? m_availPorts : m_singlePort; }
    ComPort currentPort() const;
    void nextPort();
    bool receiving() const; // the link's replies come to the detection
    void stopTimer();
    void sendCommand(const QString &command);
    void closePort();
    void appendStatus(const QString &text);
    void step();
    void stepOpenPort();
    void stepCheckIdentity();
    void stepCreateDriver();
    void stepDriverDone();
    void endOfList();
    void success();
    void protocolError();
    void giveUpPort(const QString &statusLine);
    // Lets the message loop run once; false when a new detection began meanwhile (the caller then
    // leaves everything to it).
    bool yieldUndisturbed();
    void showInUse(ComPort port);
    void setHandlerToSelf();
    void clearHandler();
    void log(const QString &line) const;
    QString setting(const QString &key, const QString &def) const;
    void saveSetting(const QString &key, const QString &value);
    std::shared_ptr<IPhoneDriver> createDriver(const QString &model) const;

    Deps m_deps;
    FormMain *m_owner = nullptr;

    QList<ComPort> m_portList;
    QList<ComPort> m_availPorts;
    QList<ComPort> m_singlePort;
    bool m_scanAll = false;
    qint16 m_scanIndex = 0;
    State m_state = State::Idle;
    QString m_atziReply;
    QString m_modelReply;
    std::optional<ComPort> m_irdaPort;
    bool m_retryAllPorts = false;
    QString m_unsupportedModel;
    quint32 m_generation = 0;                  // changes with every command and every new detection
    std::function<void()> m_afterFound;        // a run waiting for this detection to find the phone
    std::unique_ptr<ITimer> m_startWaitingRun; // armed once the phone is found for that run
};

} // namespace orvia
