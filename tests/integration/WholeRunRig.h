#pragma once
// A whole program minus its windows: the run hub with the real policy, the real desktop endpoint on a
// temporary store, and a real phone driver talking to a simulated handset in-process.
#include "common/Globals.h"
#include "data/DBCalendar.h"
#include "data/DBCalendarItem.h"
#include "data/DBPhonebook.h"
#include "data/DBPhonebookItem.h"
#include "endpoints/OutlookControl.h"
#include "endpoints/TarvexAT.h"
#include "endpoints/VelmoraAT.h"
#include "engine/EngineDoubles.h"
#include "engine/FormMain.h"
#include "engine/MrPolicy.h"
#include "phonesim/ModelTable.h"
#include "phonesim/SimCommControl.h"
#include "support/HubDeps.h"
#include "support/ManualTime.h"
#include "support/QtPrinters.h"
#include "support/ScriptedMessageBox.h"
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

namespace orvia::test {

struct NoSetup : ISetupDetection
{
    int calls = 0;
    void FiniteStateMachine() override { ++calls; }
};

class WholeRunRig
{
public:
    WholeRunRig(const QString &model, const QString &phoneContents)
        : time(QDateTime(QDate(2026, 3, 2), QTime(10, 0))), port(model, phoneContents, &time),
          outlook(dir.path() + QStringLiteral("/pim"), &time), policy(&time, &time)
    {
        resetGlobals();
        Globals &g = globals();
        g.gMeetingWords.add(QStringLiteral("meeting"));
        g.gCallWords.add(QStringLiteral("call"));
        g.gBirthdayWords.add(QStringLiteral("birthday"));
        fm = std::make_unique<FormMain>(
            hubDeps(manualPlatform(time, boxes), &port, {&view, &tray, &shell}, &outlook, &policy));
        outlook.setOwner(fm.get());
        initOk = outlook.Init();
        const auto info = phonesim::findModel(model);
        std::shared_ptr<AtDriverBase> drv;
        if (info && info->family == phonesim::Family::Tarvex)
            drv = std::make_shared<TarvexAT>(&boxes);
        else
            drv = std::make_shared<VelmoraAT>(&boxes);
        drv->setShell(&setup, &tray);
        fm->setDriver(drv);
        portOk = fm->OpenCom(ComPort(1), QStringLiteral("57600"));
        family = info ? info->family : phonesim::Family::Velmora;
    }

    // What a new detection leaves behind: the port opened again and a new driver as the handler.
    bool detectAgain()
    {
        std::shared_ptr<AtDriverBase> drv;
        if (family == phonesim::Family::Tarvex)
            drv = std::make_shared<TarvexAT>(&boxes);
        else
            drv = std::make_shared<VelmoraAT>(&boxes);
        drv->setShell(&setup, &tray);
        fm->setDriver(drv);
        return fm->OpenCom(ComPort(1), QStringLiteral("57600"));
    }

    QString contactsDir() const { return dir.path() + QStringLiteral("/pim/Personal Folders/Contacts/"); }
    QString calendarDir() const { return dir.path() + QStringLiteral("/pim/Personal Folders/Calendar/"); }

    void writeFile(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(data);
    }
    void addContact(const QString &uid, const QString &fn, const QString &telLines)
    {
        writeFile(contactsDir() + uid + QStringLiteral(".vcf"),
                  (QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:") + uid + QStringLiteral("\r\nFN:") +
                   fn + QStringLiteral("\r\nN:;") + fn + QStringLiteral(";;;\r\n") + telLines +
                   QStringLiteral("END:VCARD\r\n"))
                      .toUtf8());
    }

    // One desktop event; `lines` are the VEVENT's lines after its UID (SUMMARY, DTSTART, ...), `zones` the
    // VTIMEZONE blocks of the file.
    void addEvent(const QString &uid, const QString &lines, const QString &zones = QString())
    {
        writeFile(calendarDir() + uid + QStringLiteral(".ics"),
                  (QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\n") + zones +
                   QStringLiteral("BEGIN:VEVENT\r\nUID:") + uid +
                   QStringLiteral("\r\nDTSTAMP:20260101T000000Z\r\n") + lines +
                   QStringLiteral("END:VEVENT\r\nEND:VCALENDAR\r\n"))
                      .toUtf8());
    }

    // Runs one synchronisation to its end; false when it did not end within the time limit.
    bool run(bool calendar)
    {
        view.text.clear();
        if (calendar)
            fm->StartCalendar();
        else
            fm->StartContacts();
        for (int i = 0; i < 200000 && fm->syncState != Idle; ++i) {
            port.deliverAll();
            time.advance(100);
        }
        return fm->syncState == Idle;
    }

    // A desktop endpoint of its own on the same tree, for reading what the runs left.
    std::unique_ptr<OutlookControl> desktopReader()
    {
        auto reader = std::make_unique<OutlookControl>(dir.path() + QStringLiteral("/pim"), &time);
        reader->setOwner(fm.get());
        reader->Init();
        return reader;
    }

    // The desktop's contacts as "name: typ:data, ..." lines, sorted.
    QStringList desktopContacts()
    {
        auto pb = std::make_shared<DBPhonebook>();
        desktopReader()->ReadContacts(pb);
        QMap<qint16, QString> byId;
        for (qint16 i = 0; i < pb->count(); ++i) {
            auto r = pb->GetItem(i);
            byId[r->id] += r->typ == ContactKind::Name
                               ? r->data + QStringLiteral(":")
                               : QStringLiteral(" %1:%2").arg(qint16(r->typ)).arg(r->data);
        }
        QStringList out = byId.values();
        out.sort();
        return out;
    }

    // The desktop's events as "typ title" lines, sorted.
    QStringList desktopEvents()
    {
        auto cal = std::make_shared<DBCalendar>();
        desktopReader()->ReadCalendar(cal);
        QStringList out;
        for (qint16 i = 0; i < cal->count(); ++i)
            out << QStringLiteral("%1 %2").arg(qint16(cal->GetItem(i)->typ)).arg(cal->GetItem(i)->title);
        out.sort();
        return out;
    }

    QStringList desktopReminders()
    {
        auto cal = std::make_shared<DBCalendar>();
        desktopReader()->ReadCalendar(cal);
        QStringList out;
        for (qint16 i = 0; i < cal->count(); ++i)
            if (cal->GetItem(i)->alarm)
                out << QStringLiteral("%1 %2").arg(cal->GetItem(i)->title).arg(cal->GetItem(i)->prerem);
        out.sort();
        return out;
    }

    // The desktop's events as "title yyyy-MM-dd HH:mm UTC+minutes" lines, sorted: the offset tells
    // which of two moments a face the clock repeats stands for.
    QStringList desktopStarts()
    {
        auto cal = std::make_shared<DBCalendar>();
        desktopReader()->ReadCalendar(cal);
        QStringList out;
        for (qint16 i = 0; i < cal->count(); ++i) {
            const QDateTime s = cal->GetItem(i)->dstart;
            out << QStringLiteral("%1 %2 UTC+%3")
                       .arg(cal->GetItem(i)->title, s.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                       .arg(s.offsetFromUtc() / 60);
        }
        out.sort();
        return out;
    }

    // The desktop's events as "subject DTSTART DTEND" lines with the values the files hold, sorted: a
    // floating face stays as written, even one the clock skips.
    QStringList desktopFaces()
    {
        QStringList out;
        const QDir d(calendarDir());
        for (const QString &file : d.entryList({QStringLiteral("*.ics")})) {
            QFile f(d.filePath(file));
            if (!f.open(QIODevice::ReadOnly))
                continue;
            QMap<QString, QString> first; // property name: the value of its first line
            for (const QByteArray &raw : f.readAll().split('\n')) {
                const QString line = QString::fromUtf8(raw.trimmed());
                const qsizetype colon = line.indexOf(u':');
                const QString name = line.left(colon).section(u';', 0, 0);
                if (colon > 0 && !first.contains(name))
                    first.insert(name, line.mid(colon + 1));
            }
            out << first.value(QStringLiteral("SUMMARY")) + u' ' + first.value(QStringLiteral("DTSTART")) +
                       u' ' + first.value(QStringLiteral("DTEND"));
        }
        out.sort();
        return out;
    }

    QTemporaryDir dir;
    ManualTime time;
    ScriptedMessageBox boxes;
    RecordingView view;
    FakeTray tray;
    FakeShell shell;
    NoSetup setup;
    phonesim::SimCommControl port;
    OutlookControl outlook;
    MrPolicy policy;
    std::unique_ptr<FormMain> fm;
    bool initOk = false, portOk = false;
    phonesim::Family family = phonesim::Family::Velmora;
};

} // namespace orvia::test
