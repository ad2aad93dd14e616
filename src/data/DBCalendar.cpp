#include "data/DBCalendar.h"

#include "common/Globals.h"
#include "data/ListLimits.h"
#include "data/StoreFile.h"

namespace orvia {

std::shared_ptr<DBCalendar> DBCalendar::Clone() const
{
    auto copy = std::make_shared<DBCalendar>();
    for (const auto &i : m_items)
        copy->addCopy(*i, i->operation);
    return copy;
}

void DBCalendar::addCopy(const DBCalendarItem &item, Operation operation)
{
    auto copy = std::make_shared<DBCalendarItem>(item);
    copy->operation = operation;
    AddItem(std::move(copy));
}

void DBCalendar::add(qint16 location, const QDateTime &dstart, const QDateTime &dend, bool alarm,
                     qint32 prerem, EventKind typ, const QString &title, const QString &body,
                     Operation operation)
{
    auto item = std::make_shared<DBCalendarItem>();
    item->location = location;
    item->dstart = dstart;
    item->dend = dend;
    item->alarm = alarm;
    item->prerem = prerem;
    item->typ = typ;
    item->title = title;
    item->body = body;
    item->operation = operation;
    AddItem(std::move(item));
}

qint16 DBCalendar::countOpAdd() const
{
    qint16 n = 0;
    for (const auto &item : m_items) {
        if (item->operation == Operation::Add)
            ++n;
    }
    return n;
}

qint16 DBCalendar::countToSend() const
{
    qint16 n = 0;
    for (const auto &item : m_items) {
        if (item->operation != Operation::None)
            ++n;
    }
    return n;
}

} // namespace orvia
