#include "engine/SameEvent.h"

#include "common/CalendarText.h"
#include "data/DBCalendarItem.h"
#include "engine/CalendarDates.h"

namespace orvia {

namespace {

bool blank(const QString &title)
{
    for (QChar c : title)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

bool beginsOneAnother(const QString &a, const QString &b)
{
    const qsizetype n = qMin(a.size(), b.size());
    return QStringView(a).left(n) == QStringView(b).left(n);
}

// What an event without a title stands as on a phone: the blank that joins title and body, and the body
// with a blank for each double quote (the phone's text holds none).
QString untitledText(const DBCalendarItem &e)
{
    return e.title + QLatin1Char(' ') + QString(e.body).replace(QLatin1Char('"'), QLatin1Char(' '));
}

// One title begins the other. An empty title is no beginning of every title: it meets another empty
// one, or the phone's copy of the event, which holds the blank and the body in its title.
bool sameTitlePrefix(const DBCalendarItem &a, const DBCalendarItem &b)
{
    const bool blankA = blank(a.title), blankB = blank(b.title);
    if (blankA && blankB)
        return true;
    if (blankA)
        return !blank(untitledText(a)) && beginsOneAnother(untitledText(a), b.title);
    if (blankB)
        return !blank(untitledText(b)) && beginsOneAnother(a.title, untitledText(b));
    return beginsOneAnother(a.title, b.title);
}

qint64 dayKey(int month, int day)
{
    return month * 100 + day;
}

qint64 dayKey(const QDate &d)
{
    return dayKey(d.month(), d.day());
}

// The buckets by day that can hold an event meeting `d` on the same day of the year.
QList<qint64> dayKeysMeeting(const QDate &d)
{
    QList<qint64> keys{dayKey(d)};
    if (d.month() == 2 && d.day() == 29)
        keys.append(dayKey(3, 1));
    else if (d.month() == 3 && d.day() == 1 && !QDate::isLeapYear(d.year()))
        keys.append(dayKey(2, 29));
    return keys;
}

} // namespace

bool SameEvent(const DBCalendarItem &a, const DBCalendarItem &b)
{
    if (!sameTitlePrefix(a, b))
        return false;
    QDateTime sa = a.dstart, sb = b.dstart;
    if (SameMinute(sa, sb))
        return true;
    return (a.typ == EventKind::Birthday || b.typ == EventKind::Birthday) &&
           SameAnniversaryDay(sa.date(), sb.date());
}

void EventIndex::add(const std::shared_ptr<DBCalendarItem> &item)
{
    m_items.append(item);
    const DBCalendarItem *p = item.get();
    m_byMinute[MinuteNumber(p->dstart)].append(p);
    const qint64 day = dayKey(p->dstart.date());
    m_byDay[day].append(p);
    if (p->typ == EventKind::Birthday)
        m_yearlyByDay[day].append(p);
}

bool EventIndex::anyInBucket(const QHash<qint64, QList<const DBCalendarItem *>> &buckets, qint64 key,
                             const DBCalendarItem &item) const
{
    const auto it = buckets.constFind(key);
    if (it == buckets.constEnd())
        return false;
    for (const DBCalendarItem *other : *it) {
        if (SameEvent(*other, item))
            return true;
    }
    return false;
}

bool EventIndex::containsSameEvent(const DBCalendarItem &item) const
{
    if (anyInBucket(m_byMinute, MinuteNumber(item.dstart), item))
        return true;
    const auto &byDay = item.typ == EventKind::Birthday ? m_byDay : m_yearlyByDay;
    for (qint64 key : dayKeysMeeting(item.dstart.date())) {
        if (anyInBucket(byDay, key, item))
            return true;
    }
    return false;
}

} // namespace orvia
