// The run state machine: one step per tick of the step timer. Each step starts one piece of work
// and advances the state; the worker calls MrCallback when done, which arms the next tick.
#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"
#include "endpoints/DesktopEndpoint.h"
#include "endpoints/PhoneDriver.h"
#include "endpoints/ShellCallbacks.h"
#include "engine/EngineText.h"
#include "engine/FormMain.h"
#include "engine/ProgressView.h"
#include "engine/RunPolicy.h"
#include "platform/RuntimeError.h"
#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

namespace orvia {

namespace {
const QString CRLF = QStringLiteral("\r\n");

QString className(const ISerialHandler &h)
{
    int status = 0;
    char *raw = abi::__cxa_demangle(typeid(h).name(), nullptr, nullptr, &status);
    QString name = status == 0 && raw ? QString::fromLatin1(raw) : QString::fromLatin1(typeid(h).name());
    std::free(raw);
    const int colon = name.lastIndexOf(QLatin1String("::"));
    return colon >= 0 ? name.mid(colon + 2) : name;
}
} // namespace

void FormMain::StartContacts()
{
    m_deps.view->setBusyCursor(true);
    syncState = ContactsStart;
    SyncStep();
}

void FormMain::StartCalendar()
{
    m_deps.view->setBusyCursor(true);
    syncState = CalendarStart;
    SyncStep();
}

void FormMain::SyncStep()
{
    if (InterruptQuery) {
        interruptBranch();
        return;
    }
    logLine(QStringLiteral("Sync Automa state ") + QString::number(syncState));
    try {
        runState();
    } catch (const RuntimeError &e) {
        if (e.number() == ErrOutlook)
            outlookErrorBox();
        else
            unexpectedError();
    } catch (const std::exception &) {
        unexpectedError();
    }
}

IPhoneDriver &FormMain::driver() const
{
    auto *d = dynamic_cast<IPhoneDriver *>(handler.get());
    if (!d)
        throwError(ErrObjectNotSet);
    return *d;
}

void FormMain::addText(const QString &s)
{
    m_deps.view->setProgressText(m_deps.view->progressText() + s);
}

void FormMain::afterSynchronousCall()
{
    // The worker returned without its callback because the user stopped the run: the next tick
    // runs the interrupt branch.
    if (InterruptQuery)
        MrCallback(1);
}

bool FormMain::connectionCheck(const QString &message)
{
    if (driver().automares())
        return true;
    m_deps.platform.messageBox->show(T(message), mb::OkOnly);
    syncState = Idle;
    return false;
}

void FormMain::startRun(const QString &title)
{
    m_deps.view->setButtonVisible(ViewButton::Details, false);
    m_deps.view->setButtonVisible(ViewButton::Done, false);
    m_deps.view->setButtonVisible(ViewButton::Stop, true);
    m_deps.view->setOperationBar(0); // not the full bar the previous run left
    m_deps.view->setProgressText(T(title) + QStringLiteral("..."));
}

void FormMain::runState()
{
    // Keep the driver alive through the step: a phone failure inside a call clears `handler`.
    const std::shared_ptr<ISerialHandler> keepAlive = handler;
    const qint16 stepState = syncState;
    IProgressView &v = *m_deps.view;
    IDesktopEndpoint &outlook = *m_deps.outlook;
    IRunPolicy &policy = *m_deps.policy;
    switch (syncState) {
    case ContactsStart: {
        clearDetails();
        startRun(QStringLiteral("Start Contacts Sync"));
        v.setOverallBar(10);
        m_deps.tray->SetState(TrayIcon::Busy);
        v.showWindow();
        driver().Init(m_deps.comm, m_timerOut.get(), this);
        break;
    }
    case ContactsReadOutlook:
        if (!connectionCheck(QStringLiteral(
                "Error establishing the connection. Make sure that the phone is properly connected.")))
            return;
        logLine(QStringLiteral("Formmain getol"));
        feaOutlook = outlook.GetFeatures();
        feaPhone = driver().GetFeatures();
        v.setOverallBar(20);
        addText(T(QStringLiteral("done")) + CRLF + T(QStringLiteral("Loading data from Outlook...")));
        pbOutlook->Clear();
        pbOutlook->name = QStringLiteral("Outlook phonebook");
        outlook.ReadContacts(pbOutlook);
        afterSynchronousCall();
        break;
    case ContactsReadPhone:
        logLine(QStringLiteral("Formmain getPh"));
        addText(QString::number(pbOutlook->countEntries()) + QLatin1Char(' ') +
                T(QStringLiteral("entries, done.")) + CRLF);
        v.setOverallBar(30);
        addText(T(QStringLiteral("Loading data from the Velmora phone...")));
        pbPhone->Clear();
        pbPhone->name = QStringLiteral("Phone phonebook");
        driver().ReadContacts(pbPhone);
        break;
    case ContactsPolicy:
        logLine(QStringLiteral("Formmain MrP"));
        addText(QString::number(pbPhone->countEntries()) + QLatin1Char(' ') +
                T(QStringLiteral("entries, done.")) + CRLF);
        v.setOverallBar(50);
        addText(T(QStringLiteral("Synchronizing...")));
        pbToOutlook->Clear();
        pbToPhone->Clear();
        policy.Init(this);
        policy.DoContacts(pbOutlook, pbPhone, pbToOutlook, pbToPhone, feaOutlook, feaPhone);
        afterSynchronousCall();
        break;
    case ContactsWriteOutlook:
        logLine(QStringLiteral("Formmain updol"));
        addText(T(QStringLiteral("done")) + QStringLiteral(".") + CRLF);
        v.setOverallBar(70);
        addText(T(QStringLiteral("Sending")) + QLatin1Char(' ') +
                QString::number(pbToOutlook->countToSend()) + QLatin1Char(' ') +
                T(QStringLiteral("entries to Outlook...")));
        outlook.UpdateContacts(pbToOutlook);
        afterSynchronousCall();
        break;
    case ContactsWritePhone:
        logLine(QStringLiteral("Formmain upd ph"));
        addText(T(QStringLiteral("done")) + QStringLiteral(".") + CRLF);
        v.setOverallBar(90);
        addText(T(QStringLiteral("Sending")) + QLatin1Char(' ') + QString::number(pbToPhone->countToSend()) +
                QLatin1Char(' ') + T(QStringLiteral("entries to the Velmora phone...")));
        driver().UpdateContacts(pbToPhone);
        break;
    case ContactsFinish:
        logLine(QStringLiteral("Formmain done"));
        finishRun(false);
        return;
    case CalendarStart:
        startRun(QStringLiteral("Start Calendar Sync"));
        clearDetails();
        m_deps.tray->SetState(TrayIcon::Busy);
        v.showWindow();
        driver().Init(m_deps.comm, m_timerOut.get(), this);
        break;
    case CalendarReadOutlook:
        if (!connectionCheck(QStringLiteral(
                "Error establishing the connection. Check if the phone is properly connected.")))
            return;
        logLine(QStringLiteral("Cal read ol"));
        feaOutlook = outlook.GetFeatures();
        feaPhone = driver().GetFeatures();
        v.setOverallBar(10);
        addText(T(QStringLiteral("done")) + QStringLiteral(".") + CRLF +
                T(QStringLiteral("Loading data from Outlook...")));
        calOutlook->Clear();
        outlook.ReadCalendar(calOutlook);
        afterSynchronousCall();
        break;
    case CalendarReadPhone:
        logLine(QStringLiteral("Cal read ph"));
        addText(QString::number(calOutlook->count()) + QLatin1Char(' ') + T(QStringLiteral("events, done.")) +
                CRLF);
        v.setOverallBar(30);
        addText(T(QStringLiteral("Loading data from the Velmora phone...")));
        calPhone->Clear();
        logLine(QStringLiteral("handler object is ") + (handler ? className(*handler) : QString()));
        driver().ReadCalendar(calPhone);
        break;
    case CalendarPolicy:
        logLine(calOutlook->GetDataText());
        logLine(QStringLiteral("Cal mrp"));
        addText(QString::number(calPhone->count()) + QLatin1Char(' ') + T(QStringLiteral("events, done.")) +
                CRLF);
        v.setOverallBar(50);
        addText(T(QStringLiteral("Synchronizing...")));
        policy.Init(this);
        policy.DoCalendar(calOutlook, calPhone, calToOutlook, calToPhone, feaOutlook, feaPhone);
        afterSynchronousCall();
        break;
    case CalendarWriteOutlook:
        logLine(QStringLiteral("Cal upd ol"));
        addText(T(QStringLiteral("done")) + QStringLiteral(".") + CRLF);
        v.setOverallBar(70);
        addText(T(QStringLiteral("Sending")) + QLatin1Char(' ') +
                QString::number(calToOutlook->countOpAdd()) + QLatin1Char(' ') +
                T(QStringLiteral("events to Outlook...")));
        outlook.UpdateCalendar(calToOutlook);
        afterSynchronousCall();
        addText(T(QStringLiteral("done")) + QStringLiteral(".") + CRLF);
        break;
    case CalendarWritePhone:
        logLine(QStringLiteral("Cal up ph"));
        v.setOverallBar(90);
        addText(T(QStringLiteral("Sending")) + QLatin1Char(' ') + QString::number(calToPhone->countOpAdd()) +
                QLatin1Char(' ') + T(QStringLiteral("events to the Velmora phone...")));
        driver().UpdateCalendar(calToPhone);
        break;
    case CalendarFinish:
        finishRun(true);
        return;
    default:
        return; // idle or out of range: only the log line above
    }
    // A worker that already ended the run (phone failure) has set the state to 0: keep it there.
    if (syncState == stepState)
        ++syncState;
}

void FormMain::finishRun(bool calendar)
{
    IProgressView &v = *m_deps.view;
    const bool hasDetails = !currentDetails().trimmed().isEmpty();
    if (!calendar)
        v.setOverallBar(100);
    addText(T(QStringLiteral("done")) + QStringLiteral(".") + CRLF + CRLF +
            T(QStringLiteral("Data exchange successfully completed.")));
    if (hasDetails) {
        addText(calendar ? QStringLiteral(" ") + CRLF : QStringLiteral(" "));
        addText(T(QStringLiteral("See details for more information.")));
        v.setButtonVisible(ViewButton::Details, true);
        v.setButtonEnabled(ViewButton::Details, true);
    }
    if (calendar)
        v.setOverallBar(100);
    syncState = Idle;
    v.setBusyCursor(false);
    m_deps.tray->SetState(TrayIcon::Ready);
    v.setButtonEnabled(ViewButton::Done, true);
    v.setButtonVisible(ViewButton::Done, true);
    v.setButtonVisible(ViewButton::Stop, false);
}

void FormMain::interruptBranch()
{
    m_deps.platform.messageBox->show(T(QStringLiteral("Process Interrupted. Some task were not completed")),
                                     mb::OkOnly);
    logLine(QStringLiteral("Interrupted on state ") + QString::number(syncState));
    syncState = Idle;
    m_deps.view->setBusyCursor(false);
    m_deps.tray->SetState(TrayIcon::Ready);
    m_deps.view->setButtonEnabled(ViewButton::Done, true);
    InterruptQuery = false;
    enableTray();
    m_deps.view->hideWindow();
}

void FormMain::outlookErrorBox()
{
    const QString text =
        T(QStringLiteral("Cannot access to Outlook data.")) + CRLF +
        T(QStringLiteral("If Outlook is asking for access permissions please press Retry and answer Yes")) +
        CRLF + T(QStringLiteral("Otherwise the synchronization operation will abort."));
    const int answer = m_deps.platform.messageBox->show(text, mb::RetryCancel, T(QStringLiteral("Error")));
    if (answer == mb::Retry) {
        MrCallback(1);
        return;
    }
    syncState = Idle;
    m_deps.view->setBusyCursor(false);
    m_deps.tray->SetState(TrayIcon::Ready);
    m_deps.view->hideWindow();
    enableTray();
}

void FormMain::unexpectedError()
{
    dumpCriticalSection(QStringLiteral("FSM error handler state ") + QString::number(syncState));
    m_deps.platform.messageBox->show(QStringLiteral("An error occurred in the application.") + CRLF +
                                         QStringLiteral("A detailed log has been saved."),
                                     mb::OkOnly + mb::Critical, QStringLiteral("Error"));
    // Left as it was, the run would hang in its state with a window that refuses to close and a
    // Stop button that does nothing. End it instead and let the user close the window.
    syncState = Idle;
    InterruptQuery = false;
    m_deps.view->setBusyCursor(false);
    m_deps.tray->SetState(TrayIcon::Ready);
    m_deps.view->setButtonEnabled(ViewButton::Done, true);
    m_deps.view->setButtonVisible(ViewButton::Done, true);
    m_deps.view->setButtonVisible(ViewButton::Stop, false);
    enableTray();
}

} // namespace orvia
