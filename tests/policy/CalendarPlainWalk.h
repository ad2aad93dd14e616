#pragma once
// The calendar steps as their rules are worded, walking the stores record by record: the reference the
// policy's indexed look-ups are checked against.
#include "common/CalendarText.h"
#include "data/DBCalendar.h"
#include "data/DBCalendarItem.h"
#include "engine/CalendarDates.h"
#include "engine/MrPolicy.h"
#include "engine/PolicyText.h"
#include "engine/SameEvent.h"

namespace orvia::test::plainwalk {

inline void appendCopy(DBCalendar &to, const DBCalendarItem &r, Operation operation)
{
    to.add(r.location, r.dstart, r.dend, r.alarm, r.prerem, r.typ, r.title, r.body, operation);
}

inline std::shared_ptr<DBCalendar> mergeCalendar(const DBCalendar &a, const DBCalendar &b)
{
    auto merged = a.Clone();
    merged->name = QStringLiteral("Merged Calendar");
    for (qint16 i = 0; i < b.count(); ++i) {
        const auto y = b.GetItem(i);
        bool held = false;
        for (qint16 j = 0; j < merged->count() && !held; ++j)
            held = SameEvent(*merged->GetItem(j), *y);
        if (!held)
            appendCopy(*merged, *y, Operation::None);
    }
    return merged;
}

inline std::shared_ptr<DBCalendar> diffCalendar(const DBCalendar &side, const DBCalendar &merged)
{
    auto out = std::make_shared<DBCalendar>();
    out->name = QStringLiteral("Diff calendar");
    for (qint16 i = 0; i < merged.count(); ++i) {
        const auto m = merged.GetItem(i);
        bool held = false;
        for (qint16 j = 0; j < side.count() && !held; ++j)
            held = SameEvent(*side.GetItem(j), *m);
        if (!held)
            out->add(-1, m->dstart, m->dend, m->alarm, m->prerem, m->typ, m->title, m->body, Operation::Add);
    }
    return out;
}

inline std::shared_ptr<DBCalendar> checkPerDay(const DBCalendar &side, const DBCalendar &work, bool fiveADay)
{
    auto accepted = std::make_shared<DBCalendar>();
    for (qint16 i = 0; i < work.count(); ++i) {
        const auto r = work.GetItem(i);
        if (r->operation != Operation::Add)
            continue;
        const QDate day = r->dstart.date();
        int sameDay = 0;
        for (qint16 j = 0; j < side.count(); ++j)
            sameDay += side.GetItem(j)->dstart.date() == day ? 1 : 0;
        for (qint16 j = 0; j < i; ++j)
            sameDay += work.GetItem(j)->dstart.date() == day ? 1 : 0;
        if (fiveADay && sameDay >= 5)
            CalendarNotice(PolicyTr(QStringLiteral("Only 5 events can be stored in the same day. Event")) +
                           u' ' + DateTimeToText(r->dstart) + u' ' + PolicyTr(QStringLiteral("not stored.")));
        else
            appendCopy(*accepted, *r, r->operation);
    }
    return accepted;
}

// The additions after the sync-until cut: one pass per cut takes the latest addition after now, or,
// when none lies after now, the latest of the rest. Returns the start of the latest one kept after now.
inline QDateTime syncUntil(DBCalendar &list, qint16 room, const QDateTime &now)
{
    const qint64 nowMinute = MinuteNumber(now);
    const qint16 n = list.count();
    const int cuts = int(list.countOpAdd()) - std::max<int>(room, 0);
    for (int pass = 0; pass < cuts; ++pass) {
        qint16 best = -1;
        qint64 latest = nowMinute;
        for (qint16 i = 0; i < n; ++i) {
            const auto r = list.GetItem(i);
            if (r->operation == Operation::Add && MinuteNumber(r->dstart) > latest) {
                best = i;
                latest = MinuteNumber(r->dstart);
            }
        }
        const bool foundAfterNow = best >= 0;
        for (qint16 i = 0; i < n && !foundAfterNow; ++i) {
            const auto r = list.GetItem(i);
            if (r->operation == Operation::Add &&
                (best < 0 || MinuteNumber(r->dstart) > MinuteNumber(list.GetItem(best)->dstart)))
                best = i;
        }
        if (best < 0)
            break;
        list.GetItem(best)->operation = Operation::None;
    }
    QDateTime until = now;
    qint64 latest = nowMinute;
    for (qint16 i = 0; i < n; ++i) {
        const auto r = list.GetItem(i);
        if (r->operation == Operation::Add && MinuteNumber(r->dstart) > latest) {
            latest = MinuteNumber(r->dstart);
            until = r->dstart;
        }
    }
    return until;
}

inline void assignSlots(const MrPolicy &policy, const DBCalendar &side, DBCalendar &work,
                        const ModFeatures &fea)
{
    for (qint16 i = 0; i < work.count(); ++i) {
        const auto r = work.GetItem(i);
        if (r->operation != Operation::Add)
            continue;
        r->location = -1; // the record's own former slot is not held against it
        r->location = policy.FindFreeCalendarLocation(side, work, fea);
        if (r->location < 0) {
            r->operation = Operation::None;
            CalendarNotice(PolicyTr(QStringLiteral("No more memory on the phone:")) + u' ' + r->title + u' ' +
                           PolicyTr(QStringLiteral("not stored.")));
        }
    }
}

} // namespace orvia::test::plainwalk
