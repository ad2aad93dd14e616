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
    if (m_deps.comm) {
        m_deps.comm->setOnComm([this] { onComm(); });
        m_deps.comm->setOnLinkLost([this](const QString &why) { onLinkLost(why); });
    }
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
    if (m_deps.comm) {
        m_deps.comm->setOnComm({});
        m_deps.comm->setOnLinkLost({});
    }
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

void FormMain::TestCom(qint16 port)
{
    ICommControl *c = m_deps.comm;
    if (c->portOpen())
        c->setPortOpen(false);
    c->setCommPort(port);
    c->setPortOpen(true);
    c->setPortOpen(false);
}

bool FormMain::ComOpen() const
{
    return m_deps.comm && m_deps.comm->portOpen();
}

void FormMain::CloseCom()
{
    if (!m_deps.comm)
        return;
    try {
        if (m_deps.comm->portOpen())
            m_deps.comm->setPortOpen(false);
    } catch (const std::exception &) {
        // Nothing more can be done with it: the callers go on as with a closed port.
    }
}

void FormMain::setDetecting(std::shared_ptr<ISerialHandler> detection)
{
    // A driver being replaced may still have its reply watchdog armed; it must not end the new
    // detection later.
    if (m_handler && m_handler != detection)
        m_timerOut->setEnabled(false);
    m_driver.reset();
    m_handler = std::move(detection);
}

void FormMain::setDriver(std::shared_ptr<IPhoneDriver> driver)
{
    m_handler = driver;
    m_driver = std::move(driver);
}

void FormMain::identifyPhone(std::shared_ptr<IPhoneDriver> driver)
{
    setDriver(driver);
    // The local copy keeps the driver alive through a failure that drops it inside Init.
    driver->Init(m_deps.comm, m_timerOut.get(), this);
}

void FormMain::dropHandler()
{
    m_driver.reset();
    m_handler.reset();
}

void FormMain::send(const QString &s)
{
    m_deps.comm->output(s + QStringLiteral("\r\n"));
}

void FormMain::onComm()
{
    const QString text = m_deps.comm->input();
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

void FormMain::onStepTimer()
{
    m_timer->setEnabled(false);
    logLine(QStringLiteral("Timer event, disabled"));
    SyncStep();
}

void FormMain::onWatchdog()
{
    std::shared_ptr<ISerialHandler> h = m_handler;
    if (h && h->hasTimeOut())
        h->TimeOut();
    m_timerOut->setEnabled(false);
    m_deps.view->setBusyCursor(false);
    m_deps.tray->ToolTip(kAppTitle);
    m_deps.view->hideWindow();
    enableTray();
}

bool FormMain::watchdogArmed() const
{
    return m_timerOut->enabled() && m_timerOut->interval() > 0;
}

void FormMain::onLinkLost(const QString &why)
{
    logLine(QStringLiteral("Serial link lost: ") + why);
    if (!m_driver)
        return; // no phone yet: a detection in progress gives the port up on its own time-out
    if (syncState != Idle || watchdogArmed()) {
        // A run, or the phone's identification, loses its phone: it ends as when the phone stops
        // answering, with that message, at once rather than after the watchdog's interval.
        onWatchdog();
        return;
    }
    // A ready phone is gone: the tray must not offer runs that cannot start. Detecting it again (the
    // setup window's Connect, or the next start) brings it back.
    m_timerOut->setEnabled(false);
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
    m_deps.tray->SetState(TrayIcon::Stopped);
    m_deps.view->hideWindow();
    enableTray();
    dropHandler();
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
    if (!m_driver || !UserInterrupt())
        return;
    // The answer came while the question was on screen: the driver may have gone on meanwhile, or
    // the run may have ended (then the answer must not stop the next run); whatever the driver waits
    // for now, it waits no longer.
    if (syncState == Idle) {
        InterruptQuery = false;
        return;
    }
    if (const std::shared_ptr<IPhoneDriver> now = m_driver)
        now->Abandon();
    m_timerOut->setEnabled(false);
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
    if (m_deps.comm && m_deps.comm->portOpen())
        m_deps.comm->setPortOpen(false);
}

void FormMain::enableTray()
{
    m_deps.tray->setEnabled(true);
}

} // namespace orvia
