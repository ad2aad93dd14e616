#pragma once
// The contacts of one side grouped into families: one DBPhonebook per contact, named with the contact's
// name and holding its numbers and addresses (no name record). Contacts are matched across sides by the
// first 12 characters of their names, a datum by its kind and exact text.
#include "data/DBPhonebook.h"

#include <QHash>
#include <QList>
#include <QString>
#include <memory>

namespace orvia {

class IMessageLoop;

class DBContainer
{
public:
    // Families are found by this many leading characters of their names.
    static constexpr qsizetype kFamilyKeyLength = 12;

    QString name;

    qint16 count() const { return qint16(m_families.size()); }
    // Appends the given family. Throws the overflow error past 32767 families, 91 for a null family.
    void AddItem(std::shared_ptr<DBPhonebook> item);
    // Index past the last family: null and the log line "dbcontainer array seek ot of range". A negative
    // index, or any index on an empty container: the subscript error.
    std::shared_ptr<DBPhonebook> GetItem(qint16 Index) const;
    // The container has no file form: both do nothing.
    void Load(const QString &filename);
    void Save(const QString &filename);
    void log() const;
    // CR LF, "name count items ", CR LF, then each family's store text.
    QString GetDataText() const;
    void Clear();
    // Copies of every family (new records), each named as its original; the copy's own name is empty.
    std::shared_ptr<DBContainer> Clone() const;
    // The last family whose name agrees with `name` in its first 12 characters; a new empty family
    // named `name` when there is none.
    std::shared_ptr<DBPhonebook> GetFamily(const QString &name);
    // A copy of this container joined with every datum of `dbc2` it lacks. Those records are shared with
    // `dbc2`, not copied. Neither container changes. Yields to `loop` once per family of `dbc2`.
    std::shared_ptr<DBContainer> MergeContacts(const DBContainer &dbc2, IMessageLoop *loop = nullptr) const;
    // The data of this container that `dbcdiff` lacks, as a flat store to be written: per contact its name
    // record, then the missing data, all with operation 1 and ids from 1. Neither container changes.
    // Yields to `loop` once per family and once per record.
    std::shared_ptr<DBPhonebook> DiffContacts(const DBContainer &dbcdiff, IMessageLoop *loop = nullptr) const;

private:
    friend class DBPhonebook; // grouping fills a new container through familyFor

    // GetFamily without handing the family to an outside caller, so the name index stays trusted.
    std::shared_ptr<DBPhonebook> familyFor(const QString &name);
    void append(std::shared_ptr<DBPhonebook> family);
    void rebuildIndex() const;

    QList<std::shared_ptr<DBPhonebook>> m_families;
    // Name key -> index of the last family with that key. Family names can be changed through any
    // reference handed out (GetItem, AddItem, GetFamily), so those mark the index stale and the next
    // look-up rebuilds it from the names as they are then.
    mutable QHash<QString, qsizetype> m_byKey;
    mutable bool m_indexStale = false;
};

} // namespace orvia
