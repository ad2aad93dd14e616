#include "engine/PhoneDetection.h"
#include "common/Globals.h"
#include "common/RegTools.h"
#include "common/ReplyParsing.h"
#include "common/SystemInfo.h"
#include "common/Translation.h"
#include "endpoints/AtFraming.h"
#include "endpoints/PhoneModels.h"
#include "endpoints/TarvexAT.h"
#include "endpoints/VelmoraAT.h"
#include "engine/FormMain.h"
#include "engine/SetupConnectionPage.h"
#include "engine/ShellHooks.h"
#include "engine/SplashWindow.h"
#include "platform/RuntimeError.h"
#include "platform/VisibleText.h"
#include <utility>

namespace orvia {

const QString PhoneDetection::kSerialCommKey =
    QStringLiteral("HKEY_LOCAL_MACHINE\\hardware\\devicemap\\serialcomm");
const QString PhoneDetection::kInfraredKey = QStringLiteral("HKEY_LOCAL_MACHINE\\Enum\\Root\\Infrared\\0000");

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kSpeed = QStringLiteral("57600");

QString num(int n)
{
    return QString::number(n);
}

// The last non-empty line among line 2 and the line before the last (line 1 is the echo, the last
// the final result).
QString answerLine(const QStringList &lines, const QString &keep)
{
    QString found = keep;
    for (qsizetype i = 2; i + 1 < lines.size(); ++i)
        if (!lines.at(i).isEmpty())
            found = lines.at(i);
    return found;
}

} // namespace

PhoneDetection::PhoneDetection(const Deps &deps)
    : m_deps(deps), m_startWaitingRun(m_deps.platform.timers->createTimer())
{
    m_startWaitingRun->setEnabled(false);
    m_startWaitingRun->setInterval(kStartWaitingRunMs);
    m_startWaitingRun->setOnTick([this] {
        m_startWaitingRun->setEnabled(false);
        if (const std::function<void()> run = std::exchange(m_afterFound, {}))
            run();
    });
}

PhoneDetection::~PhoneDetection()
{
    m_startWaitingRun->setEnabled(false);
    m_startWaitingRun->setOnTick({});
}

void PhoneDetection::forgetWaitingRun()
{
    m_startWaitingRun->setEnabled(false);
    m_afterFound = {};
}

void PhoneDetection::log(const QString &line) const
{
    // Registry values, port errors and handsets' answers are other programs' text.
    globals().gLog.log(visibleText(line));
}

QString PhoneDetection::setting(const QString &key, const QString &def) const
{
    return m_deps.platform.settings->get(kSettingsApp, kSettingsSection, key, def);
}

void PhoneDetection::saveSetting(const QString &key, const QString &value)
{
    m_deps.platform.settings->save(kSettingsApp, kSettingsSection, key, value);
}

bool PhoneDetection::receiving() const
{
    return m_owner && m_owner->handler().get() == this;
}

bool PhoneDetection::timerArmed() const
{
    return receiving() && m_owner->link().watchdogArmed();
}

ComPort PhoneDetection::currentPort() const
{
    const QList<ComPort> &list = scanList();
    return (m_scanIndex >= 0 && m_scanIndex < list.size()) ? list.at(m_scanIndex) : ComPort();
}

void PhoneDetection::appendStatus(const QString &text)
{
    m_deps.page->setStatusText(m_deps.page->statusText() + text);
}

// ---- port discovery -------------------------------------------------------------------------------

void PhoneDetection::enumeratePorts()
{
    m_portList.clear();
    // Systems from version 5 on name their ports "\device\serialN", version 4 "COMN"; the major number
    // is read whole, so that 6, 10 and later versions list their ports too.
    const QString version = GetWinVersion(*m_deps.platform.system);
    bool ok = false;
    const int major = version.section(QLatin1Char('.'), 0, 0).toInt(&ok);
    QString prefix;
    if (ok && major >= 5)
        prefix = QStringLiteral("\\device\\serial");
    else if (ok && major == 4)
        prefix = QStringLiteral("COM");

    if (!prefix.isEmpty()) {
        for (int d = 0; d <= 8; ++d) {
            QString value;
            if (!ReadRegString(*m_deps.platform.registry, kSerialCommKey, prefix + num(d), value, QString()))
                continue;
            log(QStringLiteral("Registry entry: ") + value);
            const std::optional<ComPort> port = ComPort::fromRegistryValue(value);
            if (!port)
                continue;
            m_portList.append(*port);
            // Nine values can be accepted but there are eight buttons; the ninth port is still probed
            // by the automatic detection.
            const int k = int(m_portList.size());
            if (k <= IConnectionPage::kPortButtons)
                m_deps.page->showPortButton(k, *port);
        }
    }
    log(num(int(m_portList.size())));

    m_irdaPort.reset();
    QString irda;
    if (ReadRegString(*m_deps.platform.registry, kInfraredKey, QStringLiteral("VirtualComPortName"), irda,
                      QString()))
        m_irdaPort = ComPort::fromInfraredValue(irda);
}

void PhoneDetection::DetectPorts()
{
    for (int k = 1; k <= IConnectionPage::kPortButtons; ++k)
        m_deps.page->setPortButtonEnabled(k, true);
    m_deps.platform.loop->yieldOnce();
    m_scanIndex = 0;
    m_availPorts.clear();
    if (!m_owner)
        return;
    for (const ComPort n : std::as_const(m_portList)) {
        // Each port on its own: one that cannot be opened is left out and the test goes on.
        try {
            m_owner->link().TestCom(n);
        } catch (const RuntimeError &e) {
            log(e.description() + QLatin1Char(' ') + num(e.number()));
            continue;
        } catch (const std::exception &e) {
            log(QString::fromUtf8(e.what()));
            continue;
        }
        m_availPorts.append(n);
        log(QStringLiteral("Avaible port COM") + n.text());
        if (m_availPorts.size() >= kMaxAvailablePorts)
            break;
        m_deps.platform.loop->yieldOnce();
    }
}

// ---- starting a detection -------------------------------------------------------------------------

void PhoneDetection::Init(FormMain &owner)
{
    m_owner = &owner;
    DetectPorts();
    m_deps.tray->SetState(TrayIcon::Stopped);
    const QString savedPort = setting(QStringLiteral("port"), QStringLiteral("none"));
    m_modelReply = setting(QStringLiteral("model"), QStringLiteral("none"));
    if (savedPort == QLatin1String("none")) {
        m_deps.splash->setAutoconn(true);
        return;
    }
    const ComPort port = ComPort::fromSetting(savedPort);
    if (m_availPorts.contains(port)) {
        for (int k = 1; k <= IConnectionPage::kPortButtons; ++k) {
            if (const std::optional<ComPort> shown = m_deps.page->portButtonPort(k))
                m_deps.page->setPortButtonChecked(k, *shown == port);
        }
        m_retryAllPorts = true;
        Connect(port);
    } else {
        showInUse(port);
        m_deps.page->showWindow();
    }
}

void PhoneDetection::showInUse(ComPort port)
{
    m_deps.platform.messageBox->show(Translate(QStringLiteral("The serial port Com")) + port.text() +
                                     QLatin1Char(' ') +
                                     Translate(QStringLiteral("is in use by another program.")) + kCrLf +
                                     Translate(QStringLiteral("Please select another port.")));
}

void PhoneDetection::Connect(ComPort port)
{
    if (!m_owner)
        return;
    // Whatever was being probed is abandoned: its time-out and late replies must not act any more.
    stopTimer();
    m_state = State::Idle;
    ++m_generation;
    if (m_owner->link().ComOpen()) {
        closePort();
        m_deps.platform.loop->yieldOnce();
        m_deps.platform.loop->pause(kReconnectPauseMs);
    }
    if (!port.isAllPorts()) {
        if (!m_availPorts.contains(port)) {
            showInUse(port);
            // Nothing was started: the user may choose again.
            m_deps.page->setConnectEnabled(true);
            return;
        }
        m_scanAll = false;
        m_singlePort = {port};
        m_scanIndex = 0;
        m_deps.page->setStatusText(Translate(QStringLiteral("Connecting phone on com")) + QLatin1Char(' ') +
                                   port.text() + kCrLf);
    } else {
        m_deps.page->setStatusText(Translate(QStringLiteral("Detecting phone...")) + kCrLf);
        m_scanIndex = 0;
        m_scanAll = true;
    }
    const quint32 generation = ++m_generation;
    m_deps.platform.loop->yieldOnce();
    if (generation != m_generation)
        return; // another detection was started meanwhile
    m_state = State::OpenPort;
    FiniteStateMachine();
}

bool PhoneDetection::canSeekForRun() const
{
    if (!m_owner || m_owner->phoneDriver())
        return false;
    if (m_state != State::Idle && receiving())
        return false; // a detection is under way
    return setting(QStringLiteral("port"), QStringLiteral("none")) != QLatin1String("none");
}

bool PhoneDetection::seekForRun(std::function<void()> found)
{
    if (!m_owner)
        return false;
    const QString savedPort = setting(QStringLiteral("port"), QStringLiteral("none"));
    if (savedPort == QLatin1String("none"))
        return false;
    m_afterFound = std::move(found);
    if (m_state != State::Idle && receiving())
        return true; // the detection under way finds the phone for the run too
    log(QStringLiteral("MrWho seeks the phone for a run"));
    DetectPorts();
    const ComPort port = ComPort::fromSetting(savedPort);
    // The saved port first, then every port, as at start-up; a saved port that does not open any more
    // (its device is gone) is simply not probed.
    m_retryAllPorts = true;
    Connect(m_availPorts.contains(port) ? port : ComPort::allPorts());
    return true;
}

void PhoneDetection::clickConnect()
{
    forgetWaitingRun();
    m_deps.page->setConnectEnabled(false);
    DetectPorts();
    std::optional<ComPort> chosen;
    for (int k = 0; k <= IConnectionPage::kPortButtons; ++k) {
        if (!m_deps.page->portButtonChecked(k))
            continue;
        chosen = (k == 0) ? ComPort::allPorts() : m_deps.page->portButtonPort(k).value_or(ComPort());
        break;
    }
    m_retryAllPorts = false;
    if (!chosen) {
        m_deps.page->setConnectEnabled(true);
        return;
    }
    Connect(*chosen);
}

// ---- the state machine ----------------------------------------------------------------------------

void PhoneDetection::FiniteStateMachine()
{
    log(QStringLiteral("MrWho state automa: ") + num(int(m_state)) + QStringLiteral(" port pointed ") +
        currentPort().text());
    switch (m_state) {
    case State::OpenPort:
        stepOpenPort();
        break;
    case State::Reset:
        m_state = State::Identify;
        sendCommand(QStringLiteral("ATZ"));
        break;
    case State::Identify:
        m_state = State::CheckIdentity;
        sendCommand(QStringLiteral("ATZI"));
        break;
    case State::CheckIdentity:
        stepCheckIdentity();
        break;
    case State::CreateDriver:
        stepCreateDriver();
        break;
    case State::DriverDone:
        stepDriverDone();
        break;
    case State::Idle:
        break;
    }
}

void PhoneDetection::nextPort()
{
    ++m_scanIndex;
    m_state = State::OpenPort;
    FiniteStateMachine();
}

void PhoneDetection::setHandlerToSelf()
{
    m_owner->setDetecting(shared_from_this());
}

void PhoneDetection::clearHandler()
{
    m_owner->dropHandler();
}

void PhoneDetection::stepOpenPort()
{
    // The handler being replaced may be the driver whose call brought us here: keep it alive until
    // this step has returned.
    const std::shared_ptr<ISerialHandler> previous = m_owner->handler();
    setHandlerToSelf();
    m_state = State::Reset;
    if (m_scanIndex >= scanList().size()) {
        endOfList();
        return;
    }
    const ComPort port = currentPort();
    const quint32 generation = m_generation;
    const bool opened = m_owner->OpenCom(port, kSpeed); // yields once when it opens
    if (generation != m_generation)
        return;
    if (!opened) {
        nextPort();
        return;
    }
    m_atziReply.clear();
    m_modelReply.clear();
    m_deps.platform.loop->yieldOnce();
    if (port == m_irdaPort)
        m_deps.platform.loop->pause(kInfraredPauseMs);
    m_deps.platform.loop->yieldOnce();
    if (generation != m_generation)
        return;
    sendCommand(QStringLiteral("ATZ"));
}

void PhoneDetection::stepCheckIdentity()
{
    m_unsupportedModel.clear();
    if (m_atziReply.contains(QLatin1String("9600")) || m_atziReply.contains(QLatin1String("Velmora"))) {
        m_state = State::CreateDriver;
        sendCommand(QStringLiteral("AT+GMM"));
        return;
    }
    closePort();
    appendStatus(Translate(QStringLiteral("Unknown hardware on com")) + currentPort().text() + kCrLf);
    if (yieldUndisturbed())
        nextPort();
}

std::shared_ptr<IPhoneDriver> PhoneDetection::createDriver(const QString &model) const
{
    const auto family = driverFamilyOf(model);
    if (!family)
        return nullptr;
    switch (*family) {
    case ModelFamily::Velmora:
        return std::make_shared<VelmoraAT>(m_deps.platform.messageBox);
    case ModelFamily::Tarvex:
        return std::make_shared<TarvexAT>(m_deps.platform.messageBox);
    }
    return nullptr;
}

void PhoneDetection::stepCreateDriver()
{
    clearHandler();
    std::shared_ptr<IPhoneDriver> driver = createDriver(m_modelReply);
    if (!driver) {
        appendStatus(Translate(QStringLiteral("Found unsupported phone")) + QStringLiteral(" :") +
                     m_modelReply);
        m_unsupportedModel = m_modelReply;
        nextPort();
        return;
    }
    driver->setShell(this, m_deps.tray);
    m_state = State::DriverDone;
    m_owner->identifyPhone(driver);
}

void PhoneDetection::stepDriverDone()
{
    const std::shared_ptr<IPhoneDriver> driver = m_owner->phoneDriver();
    if (driver && driver->automares())
        success();
    else
        nextPort();
}

void PhoneDetection::success()
{
    const std::shared_ptr<IPhoneDriver> driver = m_owner->phoneDriver();
    const ComPort port = currentPort();
    m_deps.page->setConnectEnabled(true);
    saveSetting(QStringLiteral("port"), port.settingText());
    saveSetting(QStringLiteral("model"), m_modelReply);
    m_deps.splash->CloseSplash();
    if (!m_deps.page->windowVisible()) {
        m_deps.tray->SetState(TrayIcon::Ready);
        m_deps.shell->showTrayWindow();
    }
    appendStatus(Translate(QStringLiteral("Detected")) + QLatin1Char(' ') + driver->PhoneDescription() +
                 QLatin1Char(' ') + Translate(QStringLiteral("family")) + QLatin1Char(' ') +
                 Translate(QStringLiteral("on COM")) + QLatin1Char(' ') + port.text());
    m_deps.tray->SetState(TrayIcon::Ready);
    m_deps.platform.loop->yieldOnce();
    // A run that waited for the phone starts once this detection, which the driver called back, has
    // returned.
    if (m_afterFound)
        m_startWaitingRun->setEnabled(true);
}

void PhoneDetection::endOfList()
{
    m_deps.page->setConnectEnabled(true);
    m_deps.tray->SetState(TrayIcon::Stopped);
    if (m_retryAllPorts) {
        m_retryAllPorts = false;
        Connect(ComPort::allPorts());
        return;
    }
    stopTimer();
    // Nothing answered: the last port tried is not kept open for nobody.
    closePort();
    const quint32 generation = ++m_generation;
    // A start request that was waiting for the phone is answered by its own message alone.
    const bool forRun = runWaiting();
    forgetWaitingRun();
    if (!m_unsupportedModel.isEmpty())
        m_deps.platform.messageBox->show(Translate(QStringLiteral("Found unsupported phone")) +
                                         QStringLiteral(" :") + m_unsupportedModel);
    else if (forRun)
        m_deps.platform.messageBox->show(
            Translate(QStringLiteral("Could not find the phone. Check the connection and try again.")));
    else
        m_deps.platform.messageBox->show(
            Translate(QStringLiteral("No phone found.")) + kCrLf +
            Translate(QStringLiteral("Please make sure a mobile phone is connected,")) + kCrLf +
            Translate(QStringLiteral(
                "is on, the PIN (if any) has been inserted, and no application is using the port.")));
    if (generation != m_generation)
        return; // the user started another detection while the box was open
    // The status keeps the ports tried, so that the user sees where the phone was looked for.
    const QString tried = m_deps.page->statusText();
    if (!forRun)
        m_deps.page->showWindow();
    m_deps.page->setStatusText(tried);
    m_state = State::Idle;
    clearHandler();
    m_deps.splash->CloseSplash();
    // The detection is over: the tray offers again what it can.
    m_deps.tray->SetState(TrayIcon::Stopped);
}

// ---- link -----------------------------------------------------------------------------------------

void PhoneDetection::stopTimer()
{
    // Only a probe's wait: a driver's command on the link is the driver's business.
    if (receiving())
        m_owner->link().abandonCommand();
}

void PhoneDetection::closePort()
{
    if (m_owner)
        m_owner->link().CloseCom();
}

void PhoneDetection::sendCommand(const QString &command)
{
    ++m_generation;
    // Every piece of a reply gets the full time again, so a port that falls silent mid-probe is given
    // up instead of waited on for ever; endless text is bounded by the length.
    try {
        m_owner->link().sendCommand(command, ReplyLimits{kReplyTimeoutMs, 0, kMaxReplyLength});
    } catch (const std::exception &e) {
        log(QStringLiteral("MrWho send failed: ") + QString::fromUtf8(e.what()));
        giveUpPort(Translate(QStringLiteral("No phone on Com")) + QLatin1Char(' ') + currentPort().text() +
                   kCrLf);
    }
}

void PhoneDetection::giveUpPort(const QString &statusLine)
{
    stopTimer();
    closePort();
    appendStatus(statusLine);
    if (yieldUndisturbed())
        nextPort();
}

bool PhoneDetection::yieldUndisturbed()
{
    const quint32 generation = m_generation;
    m_deps.platform.loop->yieldOnce();
    return generation == m_generation;
}

void PhoneDetection::TimeOut()
{
    if (m_state < State::Reset || m_state > State::CreateDriver)
        return;
    giveUpPort(Translate(QStringLiteral("No phone on Com")) + QLatin1Char(' ') + currentPort().text() +
               kCrLf);
}

void PhoneDetection::Receive(const PhoneReply &reply)
{
    // Replies are taken only while a probe command waits for its answer.
    if (m_state < State::Reset || m_state > State::CreateDriver)
        return;
    if (reply.end == PhoneReply::End::TooLong) {
        // Endless text without a final result is no handset of ours.
        giveUpPort(Translate(QStringLiteral("Unknown hardware on com")) + currentPort().text() + kCrLf);
        return;
    }
    if (reply.end == PhoneReply::End::Error) {
        protocolError();
        return;
    }
    // Unsolicited result codes (RING, +CREG: ...) are set aside so that the echo heads the reply; a
    // reply without the echo is kept as it came and then matches no probe.
    const QStringList &lines = reply.lines;
    const QString echo = lines.value(1);
    if (echo.contains(QLatin1String("ATZI")))
        m_atziReply = answerLine(lines, m_atziReply);
    else if (echo.contains(QLatin1String("AT+GMM")))
        m_modelReply = answerLine(lines, m_modelReply);
    FiniteStateMachine();
}

void PhoneDetection::protocolError()
{
    const quint32 generation = m_generation;
    m_deps.platform.messageBox->show(Translate(QStringLiteral("Protocol error!")));
    if (generation != m_generation)
        return; // a new detection began while the box was open
    // The port answered, but not as a handset we can use: go on with the next one.
    closePort();
    if (yieldUndisturbed())
        nextPort();
}

void PhoneDetection::phoneErrorRecovered()
{
    // The driver's failure ended the detection (or a run): the user must be able to connect again.
    stopTimer();
    ++m_generation;
    m_state = State::Idle;
    forgetWaitingRun(); // the driver has told the user already
    m_deps.page->setConnectEnabled(true);
}

} // namespace orvia
