// The run state machine: one step per tick of the step timer. Each step starts one piece of work
// and advances the state; the worker calls MrCallback when done, which arms the next tick.
#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"
#include "endpoints/DesktopEndpoint.h"
#include "endpoints/PhoneDriver.h"
#include "endpoints/RunCapacity.h"
#include "endpoints/ShellCallbacks.h"
#include "engine/CapacityMessage.h"
#include "engine/EngineText.h"
#include "engine/FormMain.h"
#include "engine/ProgressView.h"
#include "engine/RunPolicy.h"
#include "platform/RuntimeError.h"
#include "platform/VisibleText.h"
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
        // The stop question is still on screen: its answer decides whether this step runs at all.
        if (m_asking) {
            MrCallback(1);
            return;
        }
        interruptBranch();
        return;
    }
    logLine(QStringLiteral("Sync Automa state ") + QString::number(syncState));
    try {
        runState();
    } catch (const RunCapacityError &e) {
        capacityBox(e);
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
    IPhoneDriver *d = phoneDriver().get();
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

// What tells the contacts run from the calendar run; both go through the same seven steps.
struct RunKind
{
    bool calendar;
    const char *title;
    const char *connectionError;
    int startBar; // the overall bar at the start; -1: as the last run left it
    int readOutlookBar;
    const char *afterConnection; // what follows "done" once the phone answered
    const char *unit;            // what follows a count read
    const char *toOutlook, *toPhone;
    const char *logReadOutlook, *logReadPhone, *logPolicy, *logWriteOutlook, *logWritePhone;
    const char *logFinish; // nullptr: none
};

namespace {

const RunKind kContactsRun{
    false,
    "Start Contacts Sync",
    "Error establishing the connection. Make sure that the phone is properly connected.",
    10,
    20,
    "",
    "entries, done.",
    "entries to Outlook...",
    "entries to the Velmora phone...",
    "Formmain getol",
    "Formmain getPh",
    "Formmain MrP",
    "Formmain updol",
    "Formmain upd ph",
    "Formmain done"};

const RunKind kCalendarRun{true,
                           "Start Calendar Sync",
                           "Error establishing the connection. Check if the phone is properly connected.",
                           -1,
                           10,
                           ".",
                           "events, done.",
                           "events to Outlook...",
                           "events to the Velmora phone...",
                           "Cal read ol",
                           "Cal read ph",
                           "Cal mrp",
                           "Cal upd ol",
                           "Cal up ph",
                           nullptr};

QString text(const char *s)
{
    return QString::fromLatin1(s);
}

} // namespace

void FormMain::runState()
{
    // Keep the driver alive through the step: a phone failure inside a call drops it.
    const std::shared_ptr<ISerialHandler> keepAlive = handler();
    const qint16 stepState = syncState;
    const RunKind &run = syncState >= CalendarStart ? kCalendarRun : kContactsRun;
    switch (syncState) {
    case ContactsStart:
    case CalendarStart:
        runStart(run);
        break;
    case ContactsReadOutlook:
    case CalendarReadOutlook:
        if (!runReadOutlook(run))
            return;
        break;
    case ContactsReadPhone:
    case CalendarReadPhone:
        runReadPhone(run);
        break;
    case ContactsPolicy:
    case CalendarPolicy:
        runPolicy(run);
        break;
    case ContactsWriteOutlook:
    case CalendarWriteOutlook:
        runWriteOutlook(run);
        break;
    case ContactsWritePhone:
    case CalendarWritePhone:
        runWritePhone(run);
        break;
    case ContactsFinish:
    case CalendarFinish:
        if (run.logFinish)
            logLine(text(run.logFinish));
        finishRun(run.calendar);
        return;
    default:
        return; // idle or out of range: only the log line
    }
    // A worker that already ended the run (phone failure) has set the state to 0: keep it there.
    if (syncState == stepState)
        ++syncState;
}

void FormMain::runStart(const RunKind &run)
{
    clearDetails();
    startRun(text(run.title));
    if (run.startBar >= 0)
        m_deps.view->setOverallBar(run.startBar);
    m_deps.tray->SetState(TrayIcon::Busy);
    m_deps.view->showWindow();
    driver().Init(&m_link, this);
}

bool FormMain::runReadOutlook(const RunKind &run)
{
    if (!connectionCheck(text(run.connectionError)))
        return false;
    logLine(text(run.logReadOutlook));
    IDesktopEndpoint &outlook = *m_deps.outlook;
    feaOutlook = outlook.GetFeatures();
    feaPhone = driver().GetFeatures();
    m_deps.view->setOverallBar(run.readOutlookBar);
    addText(T(QStringLiteral("done")) + text(run.afterConnection) + CRLF +
            T(QStringLiteral("Loading data from Outlook...")));
    if (run.calendar) {
        calOutlook->Clear();
        outlook.ReadCalendar(calOutlook);
    } else {
        pbOutlook->Clear();
        pbOutlook->name = QStringLiteral("Outlook phonebook");
        outlook.ReadContacts(pbOutlook);
    }
    afterSynchronousCall();
    return true;
}

void FormMain::addCountRead(const RunKind &run, int count)
{
    addText(QString::number(count) + QLatin1Char(' ') + T(text(run.unit)) + CRLF);
}

void FormMain::addSending(const RunKind &run, int count, bool toPhone)
{
    addText(T(QStringLiteral("Sending")) + QLatin1Char(' ') + QString::number(count) + QLatin1Char(' ') +
            T(text(toPhone ? run.toPhone : run.toOutlook)));
}

void FormMain::runReadPhone(const RunKind &run)
{
    logLine(text(run.logReadPhone));
    addCountRead(run, run.calendar ? calOutlook->count() : pbOutlook->countEntries());
    m_deps.view->setOverallBar(30);
    addText(T(QStringLiteral("Loading data from the Velmora phone...")));
    if (run.calendar) {
        calPhone->Clear();
        logLine(QStringLiteral("handler object is ") + (handler() ? className(*handler()) : QString()));
        driver().ReadCalendar(calPhone);
    } else {
        pbPhone->Clear();
        pbPhone->name = QStringLiteral("Phone phonebook");
        driver().ReadContacts(pbPhone);
    }
}

void FormMain::runPolicy(const RunKind &run)
{
    if (run.calendar)
        logLine(visibleLines(calOutlook->GetDataText()));
    logLine(text(run.logPolicy));
    addCountRead(run, run.calendar ? calPhone->count() : pbPhone->countEntries());
    m_deps.view->setOverallBar(50);
    addText(T(QStringLiteral("Synchronizing...")));
    IRunPolicy &policy = *m_deps.policy;
    if (run.calendar) {
        policy.Init(this);
        policy.DoCalendar(calOutlook, calPhone, calToOutlook, calToPhone, feaOutlook, feaPhone);
    } else {
        pbToOutlook->Clear();
        pbToPhone->Clear();
        policy.Init(this);
        policy.DoContacts(pbOutlook, pbPhone, pbToOutlook, pbToPhone, feaOutlook, feaPhone);
    }
    afterSynchronousCall();
}

void FormMain::runWriteOutlook(const RunKind &run)
{
    const QString done = T(QStringLiteral("done")) + QStringLiteral(".") + CRLF;
    logLine(text(run.logWriteOutlook));
    addText(done);
    m_deps.view->setOverallBar(70);
    IDesktopEndpoint &outlook = *m_deps.outlook;
    if (run.calendar) {
        addSending(run, calToOutlook->countOpAdd(), false);
        outlook.UpdateCalendar(calToOutlook);
        afterSynchronousCall();
        // The calendar's phone write reports its own start without closing this line first.
        addText(done);
    } else {
        addSending(run, pbToOutlook->countToSend(), false);
        outlook.UpdateContacts(pbToOutlook);
        afterSynchronousCall();
    }
}

void FormMain::runWritePhone(const RunKind &run)
{
    logLine(text(run.logWritePhone));
    if (run.calendar) {
        m_deps.view->setOverallBar(90);
        addSending(run, calToPhone->countOpAdd(), true);
        driver().UpdateCalendar(calToPhone);
    } else {
        addText(T(QStringLiteral("done")) + QStringLiteral(".") + CRLF);
        m_deps.view->setOverallBar(90);
        addSending(run, pbToPhone->countToSend(), true);
        driver().UpdateContacts(pbToPhone);
    }
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
    abandonRun();
}

void FormMain::capacityBox(const RunCapacityError &e)
{
    logLine(capacityMessage(e, [](const QString &english) { return english; }));
    m_deps.platform.messageBox->show(capacityMessage(e, T), mb::OkOnly + mb::Exclamation,
                                     T(QStringLiteral("Error")));
    // The folder was only read: neither side has been written to, and a retry would find it as large.
    abandonRun();
}

void FormMain::abandonRun()
{
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
