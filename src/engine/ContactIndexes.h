#pragma once
// The look-up tables the contacts placement keeps instead of walking the stores for every datum.
#include <QHash>
#include <QSet>
#include <QString>
#include <utility>

namespace orvia {

class DBPhonebook;

// Which locations of each memory are in use: the side's as read, and those given out during this
// placement. Locations are only ever taken, so the first free one never moves back.
class FreeLocations
{
public:
    explicit FreeLocations(const DBPhonebook &side);
    // The first free location of `mem` up to `capacity`, or -1.
    qint16 find(const QString &mem, int capacity);
    void take(const QString &mem, qint16 loc) { m_taken[mem].insert(loc); }

private:
    QHash<QString, QSet<qint16>> m_taken;
    QHash<QString, int> m_first;
};

// The names of the contacts of `res` by id (the last name record of an id, as GetNameById reads it).
class ContactNames
{
public:
    explicit ContactNames(const DBPhonebook &res);
    QString of(qint16 id) const { return m_names.value(id); }

private:
    QHash<qint16, QString> m_names;
};

// Whether an e-mail address's contact has a number, in the additions or on the side already (the side's
// contact found by its name's first 100 characters, or by a cut of the name as long as the part names
// compare by, such as the SIM card's 14 characters).
class ContactsWithNumbers
{
public:
    ContactsWithNumbers(const DBPhonebook &res, const DBPhonebook &side);
    bool has(qint16 id, const QString &name) const;

private:
    QSet<qint16> m_resIds, m_sideIds;
    QMultiHash<QString, std::pair<QString, qint16>> m_sideNames; // by the first 12 characters
};

} // namespace orvia
