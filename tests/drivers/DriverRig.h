#pragma once
// A driver wired to a simulated handset in-process, with manual time, a scripted message box and
// recording doubles of the run owner and the shell windows.
#include "drivers/DriverOnLink.h"
#include "endpoints/RunOwner.h"
#include "endpoints/ShellCallbacks.h"
#include "endpoints/TarvexAT.h"
#include "endpoints/VelmoraAT.h"
#include "phonesim/SimCommControl.h"
#include "support/HubDeps.h"
#include "support/ManualTime.h"
#include "support/ScriptedMessageBox.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace orvia::test {

class RecordingOwner : public IRunOwner
{
public:
    void MrCallback(qint16) override { ++callbacks; }
    void SetProgress(double f) override { progress.push_back(f); }
    bool UserInterrupt() override
    {
        ++interruptPolls;
        const bool stop = stopAtPoll > 0 && interruptPolls >= stopAtPoll;
        if (stop && onStop)
            onStop();
        return stop;
    }
    void RecoverFromPhoneError() override { ++recoveries; }
    qint16 SyncStateMachine() const override { return syncState; }

    int callbacks = 0;
    int recoveries = 0;
    int interruptPolls = 0;
    int stopAtPoll = 0; // the user confirms a stop at this poll (0: never)
    qint16 syncState = 1;
    std::vector<double> progress;
    std::function<void()> onStop;
};

class RecordingShell : public ISetupDetection, public ITrayState
{
public:
    void FiniteStateMachine() override { ++fsmCalls; }
    void SetState(TrayIcon) override {}
    void ToolTip(const QString &text) override { tips << text; }
    void setEnabled(bool) override {}
    int fsmCalls = 0;
    QStringList tips;
};

class DriverRig
{
public:
    explicit DriverRig(const QString &model, const QString &contents = {})
        : port(model, contents, &time), link(&port, manualPlatform(time, box))
    {
        port.setCommPort(3);
        port.setRThreshold(1);
        port.setPortOpen(true);
        attachDriver(
            link, [this] { return driver.get(); }, &timeOuts);
        const auto info = phonesim::findModel(model);
        if (info && info->family == phonesim::Family::Tarvex)
            driver = std::make_unique<TarvexAT>(&box);
        else
            driver = std::make_unique<VelmoraAT>(&box);
        driver->setShell(&shell, &shell);
    }

    // Lets the handset answer until nothing is pending.
    void settle() { port.deliverAll(); }

    void init()
    {
        driver->Init(&link, &owner);
        settle();
    }
    QStringList commands() const { return port.commandLines(); }
    int commandCount() const { return int(port.commandLines().size()); }

    ManualTime time;
    ScriptedMessageBox box;
    RecordingOwner owner;
    RecordingShell shell;
    phonesim::SimCommControl port;
    PhoneLink link;
    std::unique_ptr<AtDriverBase> driver;
    int timeOuts = 0;
};

} // namespace orvia::test

namespace orvia::test {

// A serial control that only records what is written: the test plays the phone by hand.
class WireRecorder : public ICommControl
{
public:
    void setCommPort(int port) override { m_port = port; }
    int commPort() const override { return m_port; }
    void setSettings(const QString &) override {}
    QString settings() const override { return {}; }
    void setHandshaking(int) override {}
    int handshaking() const override { return 0; }
    void setRTSEnable(bool) override {}
    bool rtsEnable() const override { return false; }
    void setRThreshold(int) override {}
    int rThreshold() const override { return 1; }
    void setPortOpen(bool) override {}
    bool portOpen() const override { return true; }
    void output(const QString &text) override { sent << text; }
    QString input() override { return {}; }
    QStringList sent;

private:
    int m_port = 2;
};

class HandFedRig
{
public:
    explicit HandFedRig(std::unique_ptr<AtDriverBase> d)
        : link(&wire, manualPlatform(time, box)), driver(std::move(d))
    {
        driver->setShell(&shell, &shell);
        attachDriver(
            link, [this] { return driver.get(); }, &timeOuts);
    }
    void init() { driver->Init(&link, &owner); }
    void reply(const QString &text) { link.receive(text); }

    ManualTime time;
    ScriptedMessageBox box;
    RecordingOwner owner;
    RecordingShell shell;
    WireRecorder wire;
    PhoneLink link;
    std::unique_ptr<AtDriverBase> driver;
    int timeOuts = 0;
};

} // namespace orvia::test
