#pragma once
// Recording doubles for the windows and workers the run hub talks to.
#include "endpoints/DesktopEndpoint.h"
#include "endpoints/PhoneDriver.h"
#include "endpoints/RunCapacity.h"
#include "endpoints/ShellCallbacks.h"
#include "engine/ProgressView.h"
#include "engine/RunPolicy.h"
#include "engine/ShellHooks.h"
#include <QStringList>
#include <functional>
#include <map>

namespace orvia::test {

struct RecordingView : IProgressView
{
    QString text;
    int opBar = 0, overall = 0;
    std::map<ViewButton, bool> visible{
        {ViewButton::Details, false}, {ViewButton::Stop, true}, {ViewButton::Done, true}};
    std::map<ViewButton, bool> enabled{
        {ViewButton::Details, false}, {ViewButton::Stop, true}, {ViewButton::Done, true}};
    bool busy = false, shown = false;
    QString debug;
    void setProgressText(const QString &t) override { text = t; }
    QString progressText() const override { return text; }
    void setOperationBar(int p) override { opBar = p; }
    void setOverallBar(int p) override { overall = p; }
    int overallBar() const override { return overall; }
    void setButtonVisible(ViewButton b, bool v) override { visible[b] = v; }
    void setButtonEnabled(ViewButton b, bool e) override { enabled[b] = e; }
    void setBusyCursor(bool b) override { busy = b; }
    void showWindow() override { shown = true; }
    void hideWindow() override { shown = false; }
    void appendDebugLog(const QString &t) override { debug += t; }
    void clearDebugLog() override { debug.clear(); }
};

struct FakeTray : ITrayState
{
    TrayIcon state = TrayIcon(-1);
    QString tip;
    bool enabled = false;
    QList<TrayIcon> states;
    void SetState(TrayIcon s) override
    {
        state = s;
        states << s;
    }
    void ToolTip(const QString &t) override { tip = t; }
    void setEnabled(bool on) override { enabled = on; }
};

struct FakeShell : IShellHooks
{
    int splashClosed = 0, trayShown = 0, details = 0, quits = 0, resizes = 0;
    int queryCancel = 1;
    void closeSplash() override { ++splashClosed; }
    void showTrayWindow() override { ++trayShown; }
    void showDetails() override { ++details; }
    void quit() override { ++quits; }
    int meQueryUnload(int, int) override { return queryCancel; }
    void meResize() override { ++resizes; }
};

} // namespace orvia::test

#include "common/Globals.h"
#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"
#include "endpoints/RunOwner.h"
#include "platform/CommControl.h"
#include "platform/RuntimeError.h"

namespace orvia::test {

// A phone driver whose operations finish at once (or never, when `hold` is set).
struct FakeDriver : IPhoneDriver
{
    IRunOwner *owner = nullptr;
    bool identified = true, hold = false;
    QStringList calls;
    std::function<void(const QString &)> onCall;
    std::shared_ptr<DBPhonebook> written;
    std::shared_ptr<DBCalendar> calWritten;
    QStringList received; // the text of every reply
    PhoneReply lastReply;
    int timeouts = 0;

    void finish(const QString &op)
    {
        calls << op;
        if (onCall)
            onCall(op);
        if (!hold && owner)
            owner->MrCallback(1);
    }
    void Init(ICommandLink *, IRunOwner *o) override
    {
        owner = o;
        finish(QStringLiteral("Init"));
    }
    std::shared_ptr<ModFeatures> GetFeatures() override
    {
        auto f = std::make_shared<ModFeatures>();
        f->name = QStringLiteral("K110");
        return f;
    }
    void ReadContacts(std::shared_ptr<DBPhonebook> dbp) override
    {
        qint16 id = 0;
        dbp->add(id, 1, QStringLiteral("SM"), QStringLiteral("Anna"), ContactKind::Name, Operation::None);
        dbp->add(id, 1, QStringLiteral("SM"), QStringLiteral("+4915112345678"), ContactKind::Mobile,
                 Operation::None);
        finish(QStringLiteral("ReadContacts"));
    }
    void UpdateContacts(std::shared_ptr<DBPhonebook> dbp) override
    {
        written = dbp;
        finish(QStringLiteral("UpdateContacts"));
    }
    void ReadCalendar(std::shared_ptr<DBCalendar>) override { finish(QStringLiteral("ReadCalendar")); }
    void UpdateCalendar(std::shared_ptr<DBCalendar> dbc) override
    {
        calWritten = dbc;
        finish(QStringLiteral("UpdateCalendar"));
    }
    bool automares() const override { return identified; }
    QString PhoneDescription() const override { return QStringLiteral("K110"); }
    void setShell(ISetupDetection *, ITrayState *) override {}
    void Receive(const PhoneReply &r) override
    {
        received << r.text;
        lastReply = r;
    }
    void TimeOut() override { ++timeouts; }
};

// The desktop side: reads two contacts / one event, and can fail with the store error or be stopped.
struct FakeDesktop : IDesktopEndpoint
{
    IRunOwner *owner = nullptr;
    int failures = 0;        // how many of the next calls throw the store error
    QString failOn;          // which operation fails
    bool stopInside = false; // the user confirms a stop during the next call
    std::function<void()> onStop;
    QStringList calls;
    // The folder that operation reads holds more than a run can: its items and their records.
    QString tooLargeOn;
    qint32 tooLargeItems = 0, tooLargeRecords = 0;

    bool begin(const QString &op)
    {
        calls << op;
        if (op == failOn && failures > 0) {
            --failures;
            throwError(ErrOutlook);
        }
        if (op == tooLargeOn)
            throw RunCapacityError(op == QLatin1String("ReadCalendar") ? RunCapacityError::Folder::Calendar
                                                                       : RunCapacityError::Folder::Contacts,
                                   tooLargeItems, tooLargeRecords);
        if (stopInside) {
            stopInside = false;
            if (onStop)
                onStop();
            if (owner->UserInterrupt())
                return false;
        }
        return true;
    }
    std::shared_ptr<ModFeatures> GetFeatures() override
    {
        auto f = std::make_shared<ModFeatures>();
        f->name = QStringLiteral("Outlook");
        return f;
    }
    void ReadContacts(std::shared_ptr<DBPhonebook> dbp) override
    {
        if (!begin(QStringLiteral("ReadContacts")))
            return;
        qint16 id = 0;
        dbp->add(id, 0, QString(), QStringLiteral("Bert"), ContactKind::Name, Operation::None);
        dbp->add(id, 0, QString(), QStringLiteral("0301234"), ContactKind::Home, Operation::None);
        dbp->add(id, 0, QString(), QStringLiteral("bert@example.org"), ContactKind::Email, Operation::None);
        owner->MrCallback(1);
    }
    void UpdateContacts(std::shared_ptr<DBPhonebook>) override
    {
        if (begin(QStringLiteral("UpdateContacts")))
            owner->MrCallback(1);
    }
    void ReadCalendar(std::shared_ptr<DBCalendar> dbc) override
    {
        if (!begin(QStringLiteral("ReadCalendar")))
            return;
        dbc->add(0, QDateTime(QDate(2026, 5, 1), QTime(9, 0)), QDateTime(QDate(2026, 5, 1), QTime(10, 0)),
                 false, 0, EventKind::Plain, QStringLiteral("Dentist"), QString(), Operation::None);
        owner->MrCallback(1);
    }
    void UpdateCalendar(std::shared_ptr<DBCalendar>) override
    {
        if (begin(QStringLiteral("UpdateCalendar")))
            owner->MrCallback(1);
    }
};

// A policy that sends the phone's data to the desktop and the desktop's to the phone.
struct FakePolicy : IRunPolicy
{
    IRunOwner *owner = nullptr;
    QString notice;
    void Init(IRunOwner *o) override { owner = o; }
    void DoContacts(const std::shared_ptr<DBPhonebook> &fromOutlook,
                    const std::shared_ptr<DBPhonebook> &fromPhone, std::shared_ptr<DBPhonebook> &toOutlook,
                    std::shared_ptr<DBPhonebook> &toPhone, const std::shared_ptr<ModFeatures> &,
                    const std::shared_ptr<ModFeatures> &) override
    {
        toOutlook = fromPhone->Clone();
        toPhone = fromOutlook->Clone();
        for (auto *s : {toOutlook.get(), toPhone.get()})
            for (qint16 i = 0; i < s->count(); ++i)
                s->GetItem(i)->operation = Operation::Add;
        if (!notice.isEmpty())
            globals().gDetails += notice;
        owner->MrCallback(1);
    }
    void DoCalendar(const std::shared_ptr<DBCalendar> &fromOutlook,
                    const std::shared_ptr<DBCalendar> &fromPhone, std::shared_ptr<DBCalendar> &toOutlook,
                    std::shared_ptr<DBCalendar> &toPhone, const std::shared_ptr<ModFeatures> &,
                    const std::shared_ptr<ModFeatures> &) override
    {
        toOutlook = fromPhone->Clone();
        toPhone = fromOutlook->Clone();
        for (qint16 i = 0; i < toPhone->count(); ++i)
            toPhone->GetItem(i)->operation = Operation::Add;
        if (!notice.isEmpty())
            globals().gDetails += notice;
        owner->MrCallback(1);
    }
};

// A serial control that records output and can refuse to open.
struct FakeComm : ICommControl
{
    int port = 0, hs = 0, thr = 0;
    QString set, out, in;
    bool rts = false, open = false;
    int refuseWith = 0;
    int opens = 0;
    void setCommPort(int p) override { port = p; }
    int commPort() const override { return port; }
    void setSettings(const QString &s) override { set = s; }
    QString settings() const override { return set; }
    void setHandshaking(int m) override { hs = m; }
    int handshaking() const override { return hs; }
    void setRTSEnable(bool on) override { rts = on; }
    bool rtsEnable() const override { return rts; }
    void setRThreshold(int n) override { thr = n; }
    int rThreshold() const override { return thr; }
    void setPortOpen(bool o) override
    {
        if (o && refuseWith)
            throwError(refuseWith);
        if (o)
            ++opens;
        open = o;
    }
    bool portOpen() const override { return open; }
    void output(const QString &t) override { out += t; }
    QString input() override
    {
        QString r = in;
        in.clear();
        return r;
    }
    void deliver(const QString &t)
    {
        in += t;
        raiseOnComm();
    }
};

} // namespace orvia::test
