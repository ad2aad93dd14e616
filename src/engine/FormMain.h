#pragma once
// The hub of every run: the serial link, the step timer and reply watchdog, the callbacks the
// endpoints and the policy call, and the run state machine (SyncStep). It has no widgets of its own:
// the progress window is an IProgressView, the other windows are reached through IShellHooks/ITrayState.
#include "endpoints/RunOwner.h"
#include "endpoints/SerialHandler.h"
#include "endpoints/ShellCallbacks.h"
#include "engine/PhoneLink.h"
#include "platform/Platform.h"
#include <QString>
#include <functional>
#include <memory>

namespace orvia {

class IProgressView;
class IShellHooks;
class IDesktopEndpoint;
class IRunPolicy;
class IPhoneDriver;
class ModFeatures;
class DBPhonebook;
class DBCalendar;
class RunCapacityError;
struct RunKind;

// Run states: 1-7 a contacts run, 8-14 a calendar run, 0 idle.
enum RunState : qint16
{
    Idle = 0,
    ContactsStart = 1,
    ContactsReadOutlook = 2,
    ContactsReadPhone = 3,
    ContactsPolicy = 4,
    ContactsWriteOutlook = 5,
    ContactsWritePhone = 6,
    ContactsFinish = 7,
    CalendarStart = 8,
    CalendarReadOutlook = 9,
    CalendarReadPhone = 10,
    CalendarPolicy = 11,
    CalendarWriteOutlook = 12,
    CalendarWritePhone = 13,
    CalendarFinish = 14,
};

class FormMain : public IRunOwner
{
public:
    struct Deps
    {
        Platform platform;
        ICommControl *comm = nullptr; // MSComm1, owned by the caller
        IProgressView *view = nullptr;
        ITrayState *tray = nullptr;
        IShellHooks *shell = nullptr;
        IDesktopEndpoint *outlook = nullptr;
        IRunPolicy *policy = nullptr;
    };
    explicit FormMain(const Deps &deps);
    ~FormMain() override;
    FormMain(const FormMain &) = delete;
    FormMain &operator=(const FormMain &) = delete;

    // The current receiver of the serial link: the detection while it probes, the phone driver
    // afterwards, or none.
    const std::shared_ptr<ISerialHandler> &handler() const { return m_link.handler(); }
    // The phone driver in place, if the receiver is one.
    const std::shared_ptr<IPhoneDriver> &phoneDriver() const { return m_link.phoneDriver(); }
    // The detection takes the link while it probes; a driver it replaces stops watching for replies.
    void setDetecting(std::shared_ptr<ISerialHandler> detection)
    {
        m_link.setDetecting(std::move(detection));
    }
    // The detection found a phone: its driver becomes the receiver.
    void setDriver(std::shared_ptr<IPhoneDriver> driver) { m_link.setDriver(std::move(driver)); }
    // ... and identifies the phone on the link; it ends with the detection's FiniteStateMachine.
    void identifyPhone(std::shared_ptr<IPhoneDriver> driver);
    // Nobody receives any more (the link is given up, or the driver dropped).
    void dropHandler() { m_link.dropHandler(); }

    qint16 syncState = Idle;
    bool InterruptQuery = false;

    // Serial link.
    bool OpenCom(ComPort port, const QString &speed) { return m_link.OpenCom(port, speed); }
    void send(const QString &s) { m_link.send(s); }
    // The link itself: testing and closing ports, commands whose replies are awaited, its watchdog.
    PhoneLink &link() { return m_link; }
    const PhoneLink &link() const { return m_link; }
    ICommControl *MSComm1() const { return m_link.MSComm1(); }
    ITimer *TimerOut() const { return m_link.TimerOut(); }
    ITimer *StepTimer() const { return m_timer.get(); }

    // Run callbacks.
    void MrCallback(qint16 state) override;
    void SetProgress(double pro) override;
    bool UserInterrupt() override;
    void RecoverFromPhoneError() override;
    qint16 SyncStateMachine() const override { return syncState; }
    void SetTrayState(TrayIcon state);
    // Told after RecoverFromPhoneError has dropped the driver (the setup window re-enables "Connect").
    void setOnPhoneErrorRecovered(std::function<void()> f) { m_onRecovered = std::move(f); }
    void log(const QString &s); // the hidden debug box

    // Run entry points and the state machine.
    void StartContacts();
    void StartCalendar();
    void SyncStep();

    // Window events.
    void onStepTimer();
    void onWatchdog();
    // The serial control lost the link (hang-up, device gone); its port is closed by then.
    void onLinkLost(const QString &why);
    void clickDone();
    void clickStop();
    void clickDetails();
    void debugBoxEvent();
    // Returns the new Cancel value; unloadMode 2 is the end of the user's session.
    int queryUnload(int cancel, int unloadMode);
    void resize();
    void unload();

    // The run's stores, kept between runs.
    std::shared_ptr<DBPhonebook> pbOutlook, pbPhone, pbToOutlook, pbToPhone;
    std::shared_ptr<DBCalendar> calOutlook, calPhone, calToOutlook, calToPhone;
    std::shared_ptr<ModFeatures> feaOutlook, feaPhone;

private:
    void runState();
    void runStart(const RunKind &run);
    bool runReadOutlook(const RunKind &run);
    void runReadPhone(const RunKind &run);
    void runPolicy(const RunKind &run);
    void runWriteOutlook(const RunKind &run);
    void runWritePhone(const RunKind &run);
    void addCountRead(const RunKind &run, int count);
    void addSending(const RunKind &run, int count, bool toPhone);
    void interruptBranch();
    void outlookErrorBox();
    // A desktop folder larger than a run can hold: said in the log and in a message; the run ends.
    void capacityBox(const RunCapacityError &e);
    // Ends the run without a result: the window goes back to the tray.
    void abandonRun();
    void unexpectedError();
    void afterSynchronousCall();
    bool connectionCheck(const QString &message);
    void startRun(const QString &title);
    void finishRun(bool calendar);
    void addText(const QString &s);
    IPhoneDriver &driver() const;
    void enableTray();
    // A stop request (Stop button, closing the window during a run). When the phone driver waits on
    // the link, the question is asked at once and a confirmed stop ends the wait.
    void requestStop();
    bool watchdogArmed() const { return m_link.watchdogArmed(); }

    Deps m_deps;
    std::unique_ptr<ITimer> m_timer; // the one-shot step timer
    std::function<void()> m_onRecovered;
    PhoneLink m_link;      // last: the receiver goes first, as the hub is taken down
    bool m_asking = false; // the stop question is on screen
};

} // namespace orvia
