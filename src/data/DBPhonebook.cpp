#include "data/DBPhonebook.h"

#include "common/Globals.h"
#include "data/ListLimits.h"
#include "data/StoreFile.h"

namespace orvia {

namespace {

// Blanks only (not tabs or line breaks) are trimmed from a datum.
QString trimBlanks(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == u' ')
        ++b;
    while (e > b && s.at(e - 1) == u' ')
        --e;
    return s.mid(b, e - b);
}

} // namespace

qint16 DBPhonebook::GetLastId() const
{
    qint16 last = 0;
    for (const auto &item : m_items) {
        if (item->id > last)
            last = item->id;
    }
    return last;
}

std::shared_ptr<DBPhonebook> DBPhonebook::Clone() const
{
    auto copy = std::make_shared<DBPhonebook>();
    for (const auto &item : m_items) {
        qint16 id = item->id;
        copy->add(id, item->location, item->memory, item->data, item->typ, item->operation);
    }
    return copy;
}

qint16 DBPhonebook::countToSend() const
{
    qint16 n = 0;
    for (const auto &item : m_items) {
        if (item->operation != Operation::None && item->typ != ContactKind::Name)
            ++n;
    }
    return n;
}

qint16 DBPhonebook::countEntries() const
{
    qint16 n = 0;
    for (const auto &item : m_items) {
        if (item->typ != ContactKind::Name)
            ++n;
    }
    return n;
}

qint16 DBPhonebook::add(qint16 &id, qint16 location, const QString &memory, const QString &data,
                        ContactKind typ, Operation op)
{
    if (id == 0) {
        const qint16 last = GetLastId();
        if (last == std::numeric_limits<qint16>::max())
            throwError(ErrOverflow);
        id = qint16(last + 1);
    }
    auto item = std::make_shared<DBPhonebookItem>();
    item->data = trimBlanks(data);
    item->location = location;
    item->memory = memory;
    item->typ = typ;
    item->id = id;
    item->operation = op;
    AddItem(std::move(item));
    return id;
}

void DBPhonebook::AddByName(const QString &name, qint16 location, const QString &memory, const QString &data,
                            ContactKind typ, Operation operation)
{
    qint16 id = 0;
    if (const auto found = GetItemByDataType(name, ContactKind::Name, kNameCompareLength)) {
        id = found->id;
    } else {
        // id 0: a new contact number is allocated
        add(id, location, memory, name, ContactKind::Name, operation);
    }
    add(id, location, memory, data, typ, operation);
}

std::shared_ptr<DBPhonebookItem> DBPhonebook::GetItemByDataType(const QString &data, ContactKind typ,
                                                                qint16 datacmplen) const
{
    if (typ == ContactKind::Name && datacmplen < 0)
        throwError(ErrInvalidArgument);
    const QStringView key = QStringView(data).left(datacmplen);
    std::shared_ptr<DBPhonebookItem> found;
    for (const auto &item : m_items) {
        if (item->typ != typ)
            continue;
        const bool match =
            typ != ContactKind::Name ? item->data == data : QStringView(item->data).left(datacmplen) == key;
        if (match)
            found = item;
    }
    return found;
}

QString DBPhonebook::GetNameById(qint16 id) const
{
    QString result;
    for (const auto &item : m_items) {
        if (item->id == id && item->typ == ContactKind::Name)
            result = item->data;
    }
    return result;
}

} // namespace orvia
