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
#include "platform/VisibleText.h"
#include <algorithm>
#include <cmath>

namespace orvia {

FormMain::FormMain(const Deps &deps)
    : m_deps(deps), m_timer(deps.platform.timers->createTimer()), m_link(deps.comm, deps.platform)
{
    m_timer->setInterval(100);
    m_timer->setEnabled(false);
    m_timer->setOnTick([this] { onStepTimer(); });
    m_link.setOnWatchdog([this] { onWatchdog(); });
    m_link.setOnLinkLost([this](const QString &why) { onLinkLost(why); });
    pbOutlook = std::make_shared<DBPhonebook>();
    pbPhone = std::make_shared<DBPhonebook>();
    pbToOutlook = std::make_shared<DBPhonebook>();
    pbToPhone = std::make_shared<DBPhonebook>();
    calOutlook = std::make_shared<DBCalendar>();
    calPhone = std::make_shared<DBCalendar>();
    calToOutlook = std::make_shared<DBCalendar>();
    calToPhone = std::make_shared<DBCalendar>();
}

FormMain::~FormMain() = default;

void FormMain::identifyPhone(std::shared_ptr<IPhoneDriver> driver)
{
    m_link.identifyPhone(std::move(driver), this);
}

void FormMain::onStepTimer()
{
    m_timer->setEnabled(false);
    logLine(QStringLiteral("Timer event, disabled"));
    SyncStep();
}

void FormMain::onWatchdog()
{
    // A probe of the detection that went unanswered involves no run and no phone: the detection gives
    // the port up and probes the next one on the same watchdog, which must stay as it sets it.
    const bool probing = handler() && !phoneDriver();
    m_link.timeOutReceiver();
    if (probing)
        return;
    m_deps.view->setBusyCursor(false);
    m_deps.tray->ToolTip(kAppTitle);
    m_deps.view->hideWindow();
    enableTray();
}

void FormMain::onLinkLost(const QString &why)
{
    logLine(QStringLiteral("Serial link lost: ") + visibleText(why));
    if (!phoneDriver())
        return; // no phone yet: a detection in progress gives the port up when its probe times out
    if (syncState != Idle || watchdogArmed()) {
        // A run, or the phone's identification, loses its phone: it ends as when the phone stops
        // answering, with that message, at once rather than after the watchdog's interval.
        onWatchdog();
        return;
    }
    // A ready phone is gone: the tray must not offer runs that cannot start. Detecting it again (the
    // setup window's Connect, or the next start) brings it back.
    m_link.stopWatchdog();
    dropHandler();
    m_deps.tray->SetState(TrayIcon::Stopped);
    m_deps.tray->ToolTip(kAppTitle);
    if (auto f = m_onRecovered)
        f();
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
    // While the question is on screen the answer is not known yet: the run goes on meanwhile.
    if (!InterruptQuery || m_asking)
        return false;
    m_asking = true;
    const int answer =
        m_deps.platform.messageBox->show(T(QStringLiteral("Operation in progress. Quit anyway?")), mb::YesNo,
                                         T(QStringLiteral("Interruption requested")));
    m_asking = false;
    InterruptQuery = (answer == mb::Yes);
    return InterruptQuery;
}

void FormMain::RecoverFromPhoneError()
{
    m_deps.shell->closeSplash();
    syncState = Idle;
    // The driver goes before the tray hears of the stop, so that a tray window on screen stops
    // offering the phone that failed.
    dropHandler();
    m_deps.tray->SetState(TrayIcon::Stopped);
    m_deps.view->hideWindow();
    enableTray();
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
    requestStop();
}

void FormMain::requestStop()
{
    InterruptQuery = true;
    if (syncState == Idle || m_asking || !watchdogArmed())
        return; // the run's next step sees the request
    // The phone driver waits for a reply and asks only between replies; a phone that keeps sending
    // without ever ending its reply would keep the question from ever being asked.
    if (!phoneDriver() || !UserInterrupt())
        return;
    // The answer came while the question was on screen: the driver may have gone on meanwhile, or
    // the run may have ended (then the answer must not stop the next run); whatever the driver waits
    // for now, it waits no longer.
    if (syncState == Idle) {
        InterruptQuery = false;
        return;
    }
    if (const std::shared_ptr<IPhoneDriver> now = phoneDriver())
        now->Abandon();
    m_link.abandonCommand();
    MrCallback(1);
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
        requestStop();
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
    m_link.close();
}

void FormMain::enableTray()
{
    m_deps.tray->setEnabled(true);
}

} // namespace orvia
