#pragma once
// An ordered store of calendar records. AddItem keeps the very record it is given; add creates one.
#include "data/DBCalendarItem.h"

#include <QList>
#include <QString>
#include <memory>

namespace orvia {

class DBCalendar
{
public:
    QString name;

    qint16 count() const { return qint16(m_items.size()); }
    // Throws the overflow error when the store already holds 32767 records.
    void AddItem(std::shared_ptr<DBCalendarItem> item);
    // Index past the last record: null and a log line "<name>array seek ot of range". A negative index,
    // or any index on an empty store: the subscript error.
    std::shared_ptr<DBCalendarItem> GetItem(qint16 Index) const;
    // Replaces the content by a store file's; on any failure the store is left as it was.
    void Load(const QString &filename);
    // Sets `name` to "Calendar" and writes the store file (replaced whole, never half-written).
    void Save(const QString &filename);
    QString GetDataText() const;
    void log() const;
    void Clear() { m_items.clear(); }
    // New records with equal fields; the copy's name is empty.
    std::shared_ptr<DBCalendar> Clone() const;
    // Note the order: typ before title and body, operation last.
    void add(qint16 location, const QDateTime &dstart, const QDateTime &dend, bool alarm, qint32 prerem,
             qint16 typ, const QString &title, const QString &body, qint16 operation);
    // Records with operation 1.
    qint16 countOpAdd() const;
    // Records with operation not 0.
    qint16 countToSend() const;

private:
    QList<std::shared_ptr<DBCalendarItem>> m_items;
};

} // namespace orvia
