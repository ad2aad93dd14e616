#pragma once
// The contacts of one side grouped into families: one DBPhonebook per contact, named with the contact's
// name and holding its numbers and addresses (no name record). A contact is matched across sides by its
// exact name, or, for a name the phone has cut (at least 12 characters), by the one full name it is the
// beginning of; a datum by its kind and exact text. Two different names never share a family.
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
    // The shortest cut of a name that still finds its full name.
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
    // The last family named exactly `name`; else, when `name` has at least 12 characters, the family
    // whose name it is the beginning of, if only one name is; else a new empty family named `name`.
    std::shared_ptr<DBPhonebook> GetFamily(const QString &name);
    // A copy of this container joined with every datum of `dbc2` it lacks. A family of `dbc2` (the
    // phone's, whose names may be cut) joins the family of this container that GetFamily would find
    // before the merge; the others are added. Records are shared with `dbc2`, not copied. Neither
    // container changes. Yields to `loop` once per family of `dbc2`.
    std::shared_ptr<DBContainer> MergeContacts(const DBContainer &dbc2, IMessageLoop *loop = nullptr) const;
    // The data of this container that `dbcdiff` lacks, as a flat store to be written: per contact its name
    // record, then the missing data, all with operation Add and ids from 1. A family here is compared with
    // the family of `dbcdiff` of the same name and with those whose names are cuts of its name and of no
    // other name here. Neither container changes. Yields to `loop` once per family and once per record.
    std::shared_ptr<DBPhonebook> DiffContacts(const DBContainer &dbcdiff, IMessageLoop *loop = nullptr) const;

private:
    friend class DBPhonebook; // grouping fills a new container through familyFor

    // The last family named exactly `name`, or null; not handed to an outside caller, so the name index
    // stays trusted.
    std::shared_ptr<DBPhonebook> findExact(const QString &name);
    // findExact, or a new family named `name`: grouping never joins two different names.
    std::shared_ptr<DBPhonebook> familyFor(const QString &name);
    class SortedNames;
    // findExact; else the family of the one name in `names` that `name` is a cut of; else a new family.
    std::shared_ptr<DBPhonebook> familyOrFullName(const QString &name, const SortedNames &names);
    void append(std::shared_ptr<DBPhonebook> family);
    void rebuildIndex() const;

    QList<std::shared_ptr<DBPhonebook>> m_families;
    // Name -> index of the last family with that name. Family names can be changed through any
    // reference handed out (GetItem, AddItem, GetFamily), so those mark the index stale and the next
    // look-up rebuilds it from the names as they are then.
    mutable QHash<QString, qsizetype> m_byName;
    mutable bool m_indexStale = false;
};

} // namespace orvia
