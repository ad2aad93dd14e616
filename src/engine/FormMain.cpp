#include "engine/FormMain.h"
#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"
#include "endpoints/PhoneDriver.h"
#include "endpoints/ShellCallbacks.h"
#include "engine/EngineText.h"
#include "engine/ProgressView.h"
#include "engine/ShellHooks.h"
#include "platform/RuntimeError.h"
#include <algorithm>
#include <cmath>

namespace orvia {

FormMain::FormMain(const Deps &deps)
    : m_deps(deps), m_timer(deps.platform.timers->createTimer()),
      m_timerOut(deps.platform.timers->createTimer())
{
    m_timer->setInterval(100);
    m_timer->setEnabled(false);
    m_timer->setOnTick([this] { onStepTimer(); });
    // The watchdog is enabled with interval 0, i.e. inactive until a driver sets an interval.
    m_timerOut->setInterval(0);
    m_timerOut->setEnabled(true);
    m_timerOut->setOnTick([this] { onWatchdog(); });
    if (m_deps.comm)
        m_deps.comm->setOnComm([this] { onComm(); });
    pbOutlook = std::make_shared<DBPhonebook>();
    pbPhone = std::make_shared<DBPhonebook>();
    pbToOutlook = std::make_shared<DBPhonebook>();
    pbToPhone = std::make_shared<DBPhonebook>();
    calOutlook = std::make_shared<DBCalendar>();
    calPhone = std::make_shared<DBCalendar>();
    calToOutlook = std::make_shared<DBCalendar>();
    calToPhone = std::make_shared<DBCalendar>();
}

FormMain::~FormMain()
{
    if (m_deps.comm)
        m_deps.comm->setOnComm({});
}

bool FormMain::OpenCom(qint16 port, const QString &speed)
{
    ICommControl *c = m_deps.comm;
    if (c->portOpen())
        c->setPortOpen(false);
    c->setCommPort(port);
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
    m_deps.platform.loop->yieldOnce();
    return true;
}

void FormMain::send(const QString &s)
{
    m_deps.comm->output(s + QStringLiteral("\r\n"));
}

void FormMain::onComm()
{
    const QString text = m_deps.comm->input();
    // Keep the handler alive through the call: it may end the run and clear `handler`.
    std::shared_ptr<ISerialHandler> h = handler;
    try {
        if (!h)
            throwError(ErrObjectNotSet);
        h->Receive(text);
    } catch (const std::exception &) {
        logLine(QStringLiteral("Formmain oncomm handler is null!"));
    }
}

void FormMain::onStepTimer()
{
    m_timer->setEnabled(false);
    logLine(QStringLiteral("Timer event, disabled"));
    SyncStep();
}

void FormMain::onWatchdog()
{
    std::shared_ptr<ISerialHandler> h = handler;
    if (h && h->hasTimeOut())
        h->TimeOut();
    m_timerOut->setEnabled(false);
    m_deps.view->setBusyCursor(false);
    m_deps.tray->ToolTip(kAppTitle);
    m_deps.view->hideWindow();
    enableTray();
}

void FormMain::MrCallback(qint16)
{
    logLine(QStringLiteral("MrCallback Timer start"));
    m_timer->setInterval(100);
    m_timer->setEnabled(true);
}

void FormMain::SetProgress(double pro)
{
    // Rounds halves to even, and never shows an empty bar once an operation has begun.
    const int v = static_cast<int>(std::nearbyint(pro * 100.0));
    m_deps.view->setOperationBar(std::clamp(v, 1, 100));
    m_deps.platform.loop->yieldOnce();
}

bool FormMain::UserInterrupt()
{
    if (!InterruptQuery)
        return false;
    const int answer =
        m_deps.platform.messageBox->show(T(QStringLiteral("Operation in progress. Quit anyway?")), mb::YesNo,
                                         T(QStringLiteral("Interruption requested")));
    InterruptQuery = (answer == mb::Yes);
    return InterruptQuery;
}

void FormMain::RecoverFromPhoneError()
{
    m_deps.shell->closeSplash();
    syncState = Idle;
    m_deps.tray->SetState(TrayIcon::Stopped);
    m_deps.view->hideWindow();
    enableTray();
    handler.reset();
    if (auto f = m_onRecovered)
        f();
}

void FormMain::SetTrayState(TrayIcon state)
{
    m_deps.tray->SetState(state);
}

void FormMain::log(const QString &s)
{
    m_deps.view->appendDebugLog(s + QLatin1Char('\r'));
}

void FormMain::debugBoxEvent()
{
    m_deps.view->clearDebugLog();
}

void FormMain::clickDone()
{
    m_deps.view->hideWindow();
    enableTray();
    m_deps.shell->showTrayWindow();
}

void FormMain::clickStop()
{
    InterruptQuery = true;
}

void FormMain::clickDetails()
{
    m_deps.shell->showDetails();
}

int FormMain::queryUnload(int cancel, int unloadMode)
{
    if (unloadMode == 2) {
        m_deps.shell->quit();
        return cancel;
    }
    if (syncState != Idle) {
        InterruptQuery = true;
        enableTray();
        return 1;
    }
    cancel = m_deps.shell->meQueryUnload(cancel, unloadMode);
    enableTray();
    return cancel;
}

void FormMain::resize()
{
    m_deps.shell->meResize();
}

void FormMain::unload()
{
    if (m_deps.comm && m_deps.comm->portOpen())
        m_deps.comm->setPortOpen(false);
}

void FormMain::enableTray()
{
    m_deps.tray->setEnabled(true);
}

} // namespace orvia
