#pragma once
// When two calendar events are one and the same: titles agree over the shorter one's length, and the
// starts fall in the same minute (or on the same day of the year, when either event is yearly).
#include <QHash>
#include <QList>
#include <memory>

namespace orvia {

class DBCalendarItem;

bool SameEvent(const DBCalendarItem &a, const DBCalendarItem &b);

// The events added so far, looked up by minute and by day of the year, so that finding whether an
// event is already held costs a few comparisons instead of a walk of every event.
class EventIndex
{
public:
    void add(const std::shared_ptr<DBCalendarItem> &item);
    bool containsSameEvent(const DBCalendarItem &item) const;

private:
    bool anyInBucket(const QHash<qint64, QList<const DBCalendarItem *>> &buckets, qint64 key,
                     const DBCalendarItem &item) const;

    QList<std::shared_ptr<DBCalendarItem>> m_items; // keeps the indexed records alive
    QHash<qint64, QList<const DBCalendarItem *>> m_byMinute;
    QHash<qint64, QList<const DBCalendarItem *>> m_byDay;       // every event, by month and day
    QHash<qint64, QList<const DBCalendarItem *>> m_yearlyByDay; // yearly events only
};

} // namespace orvia
