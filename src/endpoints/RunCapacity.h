#pragma once
// A run's stores are 16-bit lists: a desktop folder whose contacts or events would make more records
// than that is refused as a whole, before anything is written to either side, with how many it holds.
#include "data/ListLimits.h"
#include "platform/RuntimeError.h"

namespace orvia {

// Program-defined, next to the desktop store's own error 12345.
inline constexpr int ErrRunCapacity = 12346;

class RunCapacityError : public RuntimeError
{
public:
    enum class Folder
    {
        Contacts,
        Calendar
    };

    // The records one run can hold from a side.
    static constexpr qint32 kCapacity = qint32(kMaxListElements);

    // `items`: the contacts or events of the folder; `records`: the records they make (a contact's name,
    // numbers and addresses; one per event).
    RunCapacityError(Folder folder, qint32 items, qint32 records)
        : RuntimeError(ErrRunCapacity,
                       QStringLiteral("The desktop folder holds more than a synchronization can")),
          m_folder(folder), m_items(items), m_records(records)
    {
    }

    Folder folder() const { return m_folder; }
    qint32 items() const { return m_items; }
    qint32 records() const { return m_records; }

private:
    Folder m_folder;
    qint32 m_items;
    qint32 m_records;
};

} // namespace orvia
