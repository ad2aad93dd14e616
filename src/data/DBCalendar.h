#pragma once
// An ordered store of calendar records. AddItem keeps the very record it is given; add creates one.
#include "data/DBCalendarItem.h"
#include "data/RecordStore.h"

#include <QList>
#include <QString>
#include <memory>

namespace orvia {

class DBCalendar : public RecordStore<DBCalendarItem>
{
public:
    // Replaces the content by a store file's; on any failure the store is left as it was.
    void Load(const QString &filename) { loadFile(filename); }
    // Sets `name` to "Calendar" and writes the store file.
    void Save(const QString &filename) { saveFile(filename, QStringLiteral("Calendar")); }
    // New records with equal fields; the copy's name is empty.
    std::shared_ptr<DBCalendar> Clone() const;
    // Note the order: typ before title and body, operation last.
    void add(qint16 location, const QDateTime &dstart, const QDateTime &dend, bool alarm, qint32 prerem,
             EventKind typ, const QString &title, const QString &body, Operation operation);
    // A new record with the fields of `item` and the given operation.
    void addCopy(const DBCalendarItem &item, Operation operation);
    // Records with operation Add.
    qint16 countOpAdd() const;
    // Records with an operation.
    qint16 countToSend() const;
};

} // namespace orvia
