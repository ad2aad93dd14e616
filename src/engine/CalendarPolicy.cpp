// The calendar half of the policy: past events dropped, the union of both calendars, what each side
// lacks, and the phone's list fitted to its model's limits.
#include "common/CalendarText.h"
#include "common/Globals.h"
#include "common/Windows1252.h"
#include "data/DBCalendar.h"
#include "data/ModFeatures.h"
#include "endpoints/PhoneModels.h"
#include "endpoints/RunOwner.h"
#include "engine/CalendarDates.h"
#include "engine/MrPolicy.h"
#include "engine/PolicyText.h"
#include "engine/SameEvent.h"
#include "platform/WallClock.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace orvia {

namespace {

constexpr int kEventsPerDay = 5;

void appendCopy(DBCalendar &to, const DBCalendarItem &r, Operation operation)
{
    to.addCopy(r, operation);
}

void appendCopy(DBCalendar &to, const DBCalendarItem &r)
{
    appendCopy(to, r, r.operation);
}

qint16 toQint16(int v)
{
    return qint16(std::clamp(v, -32768, 32767));
}

// A title the link's code page cannot hold would reach the handset with "?" in its place and come back
// as another event on every run: such an event stays off the phone, with a notice. A description it
// cannot hold would be altered the same way without a word: the event goes without it, with a notice.
std::shared_ptr<DBCalendar> withoutUnsendableTexts(const DBCalendar &work)
{
    auto out = std::make_shared<DBCalendar>();
    const qint16 n = work.count();
    for (qint16 i = 0; i < n; ++i) {
        const auto r = work.GetItem(i);
        if (r->operation == Operation::Add && !fitsWindows1252(r->title)) {
            CalendarNotice(
                r->title + u' ' +
                PolicyTr(QStringLiteral("contains characters the phone cannot store. Not stored.")));
            continue;
        }
        appendCopy(*out, *r);
        if (r->operation == Operation::Add && !fitsWindows1252(r->body)) {
            CalendarNotice(r->title + QStringLiteral(": ") +
                           PolicyTr(QStringLiteral(
                               "description contains characters the phone cannot store. Sent without it.")));
            out->GetItem(qint16(out->count() - 1))->body.clear();
        }
    }
    return out;
}

// Takes `cuts` additions off `list`: each cut the latest addition after now (the earlier record on a
// tie); when no addition lies after now, the latest of the rest.
void cutLatestAdditions(DBCalendar &list, int cuts, qint64 nowMinute)
{
    struct Addition
    {
        bool afterNow;
        qint64 minute;
        qint16 index;
    };
    QList<Addition> adds;
    for (qint16 i = 0; i < list.count(); ++i) {
        const auto r = list.GetItem(i);
        if (r->operation == Operation::Add) {
            const qint64 minute = MinuteNumber(r->dstart);
            adds.append({minute > nowMinute, minute, i});
        }
    }
    std::sort(adds.begin(), adds.end(), [](const Addition &a, const Addition &b) {
        if (a.afterNow != b.afterNow)
            return a.afterNow;
        if (a.minute != b.minute)
            return a.minute > b.minute;
        return a.index < b.index;
    });
    for (int k = 0; k < cuts && k < adds.size(); ++k)
        list.GetItem(adds[k].index)->operation = Operation::None;
}

} // namespace

void MrPolicy::DoCalendar(const std::shared_ptr<DBCalendar> &dbc1, const std::shared_ptr<DBCalendar> &dbc2,
                          std::shared_ptr<DBCalendar> &dbcout1, std::shared_ptr<DBCalendar> &dbcout2,
                          const std::shared_ptr<ModFeatures> &fea1, const std::shared_ptr<ModFeatures> &fea2)
{
    dbcout1 = std::make_shared<DBCalendar>();
    dbcout2 = std::make_shared<DBCalendar>();
    const DBCalendar &side1 = orEmpty(dbc1);
    const DBCalendar &side2 = orEmpty(dbc2);

    globals().gLog.StartCriticalSection(QStringLiteral("mrp docalendar"));
    PolicyLog(QStringLiteral("mrp checkpoint2"));
    PolicyLog(side1.GetDataText());
    PolicyLog(side2.GetDataText());

    const auto p1 = PurgePastEvents(side1);
    const auto p2 = PurgePastEvents(side2);
    PolicyLog(p1->GetDataText());
    PolicyLog(p2->GetDataText());

    const auto merged = MergeCalendar(*p1, *p2);
    PolicyLog(merged->GetDataText());

    // The diffs compare with the sides as read, so a past event a side holds is not offered to it again.
    const auto diff1 = DiffCalendar(side1, *merged);
    PolicyLog(diff1->GetDataText());
    const auto diff2 = DiffCalendar(side2, *merged);
    PolicyLog(diff2->GetDataText());

    dbcout1 = Fit2FeatCalendar(side1, *diff1, orEmpty(fea1));
    PolicyLog(dbcout1->GetDataText());
    dbcout2 = Fit2FeatCalendar(side2, *diff2, orEmpty(fea2));
    PolicyLog(dbcout2->GetDataText());

    if (m_owner)
        m_owner->MrCallback(1);
}

std::shared_ptr<DBCalendar> MrPolicy::PurgePastEvents(const DBCalendar &cal)
{
    auto out = std::make_shared<DBCalendar>();
    out->name = QStringLiteral("purgepastevents");
    const qint64 nowMinute = MinuteNumber(now());
    const qint16 n = cal.count();
    for (qint16 i = 0; i < n; ++i) {
        const auto r = cal.GetItem(i);
        if (MinuteNumber(r->dstart) - nowMinute > 0 || r->typ == EventKind::Birthday)
            appendCopy(*out, *r);
        else
            CalendarNotice(PolicyTr(QStringLiteral("Past event not synchronized")) + QStringLiteral(": ") +
                           r->title);
    }
    return out;
}

std::shared_ptr<DBCalendar> MrPolicy::MergeCalendar(const DBCalendar &a, const DBCalendar &b)
{
    auto merged = a.Clone();
    merged->name = QStringLiteral("Merged Calendar");
    EventIndex index;
    for (qint16 i = 0; i < merged->count(); ++i)
        index.add(merged->GetItem(i));
    const qint16 n = b.count();
    for (qint16 i = 0; i < n; ++i) {
        yield();
        const auto y = b.GetItem(i);
        if (index.containsSameEvent(*y))
            continue;
        appendCopy(*merged, *y, Operation::None);
        index.add(merged->GetItem(qint16(merged->count() - 1)));
    }
    return merged;
}

std::shared_ptr<DBCalendar> MrPolicy::DiffCalendar(const DBCalendar &side, const DBCalendar &merged)
{
    auto out = std::make_shared<DBCalendar>();
    out->name = QStringLiteral("Diff calendar");
    EventIndex index;
    for (qint16 i = 0; i < side.count(); ++i)
        index.add(side.GetItem(i));
    const qint16 n = merged.count();
    for (qint16 i = 0; i < n; ++i) {
        yield();
        const auto m = merged.GetItem(i);
        if (!index.containsSameEvent(*m)) {
            out->addCopy(*m, Operation::Add);
            out->GetItem(qint16(out->count() - 1))->location = -1;
        }
    }
    return out;
}

std::shared_ptr<DBCalendar> MrPolicy::Fit2FeatCalendar(const DBCalendar &side, const DBCalendar &diff,
                                                       const ModFeatures &fea)
{
    const SideRules rules = sideRules(fea.name);
    auto work = rules.phone ? withoutUnsendableTexts(diff) : diff.Clone();

    // Yearly events go to their next anniversary first, so that the day and capacity checks below
    // look at the day the event will really be written to. The anniversary keeps the event's own face:
    // one its first day skipped is that face again in a year that shows it.
    const QDateTime current = now();
    for (qint16 i = 0; i < work->count(); ++i) {
        const auto r = work->GetItem(i);
        if (r->typ == EventKind::Birthday) {
            const QDateTime face = NextAnniversaryFace(r->startFace(), current);
            r->dstart = faceMoment(face);
            r->keepStartFace(face);
        }
    }

    if (rules.perDay != PerDayRule::None)
        checkPerDay(side, work, rules.perDay == PerDayRule::FiveADay);

    if (int(side.count()) + int(work->countOpAdd()) > fea.Cal_capacity)
        fitToCapacity(side, work, fea);

    if (rules.assignsSlots)
        assignSlots(side, *work, fea); // `work` is this call's own copy already

    work->name = QStringLiteral("Fit to feat Calendar");
    return work;
}

void MrPolicy::checkPerDay(const DBCalendar &side, std::shared_ptr<DBCalendar> &work, bool fiveADay)
{
    QHash<qint64, int> sideDays, workDays;
    for (qint16 j = 0; j < side.count(); ++j)
        ++sideDays[side.GetItem(j)->dstart.date().toJulianDay()];
    auto accepted = std::make_shared<DBCalendar>();
    const qint16 n = work->count();
    for (qint16 i = 0; i < n; ++i) {
        yield();
        const auto r = work->GetItem(i);
        const QDate day = r->dstart.date();
        if (r->operation == Operation::Add) {
            const int sameDay = sideDays.value(day.toJulianDay()) + workDays.value(day.toJulianDay());
            if (fiveADay && sameDay >= kEventsPerDay) {
                CalendarNotice(
                    PolicyTr(QStringLiteral("Only 5 events can be stored in the same day. Event")) + u' ' +
                    DateTimeToText(r->dstart) + u' ' + PolicyTr(QStringLiteral("not stored.")));
            } else {
                appendCopy(*accepted, *r);
            }
        }
        // Every earlier record of the day counts, whether it was accepted or not.
        ++workDays[day.toJulianDay()];
    }
    work = accepted;
}

void MrPolicy::fitToCapacity(const DBCalendar &side, std::shared_ptr<DBCalendar> &work,
                             const ModFeatures &fea)
{
    // The desktop writer passes deletions over, so erasing out-of-date events there would only be claimed.
    const bool erasesOutOfDate = sideRules(fea.name).phone;
    const auto list = erasesOutOfDate ? RemoveOutOfDateEvents(side, *work) : work;
    const int erased = int(list->countToSend()) - int(list->countOpAdd());
    if (erased != 0) {
        CalendarNotice(PolicyTr(QStringLiteral("Erased")) + u' ' + QString::number(erased) + u' ' +
                       PolicyTr(QStringLiteral("events out of date.")));
    }
    if (int(list->countOpAdd()) + int(side.count()) - erased > fea.Cal_capacity) {
        qint16 room = toQint16(int(fea.Cal_capacity) - int(side.count()) + erased);
        const QDateTime until = GetSyncUntilDate(*list, room);
        CalendarNotice(PolicyTr(QStringLiteral("Events sync until")) + u' ' + DateTimeToText(until));
    }
    work = list;
}

std::shared_ptr<DBCalendar> MrPolicy::RemoveOutOfDateEvents(const DBCalendar &side, const DBCalendar &list)
{
    auto out = std::make_shared<DBCalendar>();
    const qint64 nowMinute = MinuteNumber(now());
    const qint16 n = side.count();
    for (qint16 i = 0; i < n; ++i) {
        const auto e = side.GetItem(i);
        // A yearly event comes round again: it is never out of date.
        if (e->typ != EventKind::Birthday && MinuteNumber(e->dstart) - nowMinute < 0)
            out->add(e->location, zeroDateTime(), zeroDateTime(), false, 0, EventKind{}, QString(), QString(),
                     Operation::Delete);
    }
    const qint16 m = list.count();
    for (qint16 i = 0; i < m; ++i)
        appendCopy(*out, *list.GetItem(i));
    return out;
}

QDateTime MrPolicy::GetSyncUntilDate(DBCalendar &list, qint16 &room)
{
    const QDateTime current = now();
    const qint64 nowMinute = MinuteNumber(current);
    const qint16 n = list.count();
    const int cuts = int(list.countOpAdd()) - std::max<int>(room, 0);

    if (cuts > 0)
        cutLatestAdditions(list, cuts, nowMinute);

    QDateTime until = current;
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

qint16 MrPolicy::FindFreeCalendarLocation(const DBCalendar &side, DBCalendar &list,
                                          const ModFeatures &fea) const
{
    const qint16 sideCount = side.count(), listCount = list.count();
    for (int slot = 0; slot < fea.Cal_capacity; ++slot) {
        bool sideHolds = false, clearing = false, taken = false;
        for (qint16 i = 0; i < sideCount && !sideHolds; ++i)
            sideHolds = side.GetItem(i)->location == slot;
        for (qint16 i = 0; i < listCount; ++i) {
            const auto r = list.GetItem(i);
            if (r->location != slot)
                continue;
            clearing = clearing || r->operation == Operation::Delete;
            taken = taken || r->operation == Operation::Add;
        }
        if ((!sideHolds || clearing) && !taken)
            return qint16(slot);
    }
    return -1;
}

void MrPolicy::assignSlots(const DBCalendar &side, DBCalendar &work, const ModFeatures &fea)
{
    QSet<qint16> sideSlots, clearing;
    QHash<qint16, int> taken; // additions per slot
    int first = 0;            // no slot below this one is free
    for (qint16 i = 0; i < side.count(); ++i)
        sideSlots.insert(side.GetItem(i)->location);
    for (qint16 i = 0; i < work.count(); ++i) {
        const auto r = work.GetItem(i);
        if (r->operation == Operation::Delete)
            clearing.insert(r->location);
        else if (r->operation == Operation::Add)
            ++taken[r->location];
    }
    const qint16 n = work.count();
    for (qint16 i = 0; i < n; ++i) {
        yield();
        const auto r = work.GetItem(i);
        if (r->operation != Operation::Add)
            continue;
        qint16 slot = -1;
        // Freeing this record's old slot can only open a slot again below the search start.
        if (--taken[r->location] == 0 && r->location >= 0)
            first = std::min<int>(first, r->location);
        for (int s = first; s < fea.Cal_capacity; ++s) {
            const qint16 q = qint16(s);
            if ((!sideSlots.contains(q) || clearing.contains(q)) && taken.value(q) == 0) {
                slot = q;
                break;
            }
            first = s + 1;
        }
        r->location = slot;
        if (slot < 0) {
            // No free slot: the event is not sent rather than written to a place the phone lacks.
            r->operation = Operation::None;
            CalendarNotice(PolicyTr(QStringLiteral("No more memory on the phone:")) + u' ' + r->title + u' ' +
                           PolicyTr(QStringLiteral("not stored.")));
        } else {
            ++taken[slot];
        }
    }
}

} // namespace orvia
