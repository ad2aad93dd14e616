#pragma once
// An ordered store of phonebook records. The store keeps references: AddItem stores the very record it
// is given, so one record can sit in several stores; add and AddByName create new records.
#include "data/DBPhonebookItem.h"
#include "data/RecordStore.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <memory>

namespace orvia {

class DBContainer;
class IMessageLoop;
class ModFeatures;

class DBPhonebook : public RecordStore<DBPhonebookItem>
{
public:
    // Names are told apart by their first this many characters.
    static constexpr qint16 kNameCompareLength = 100;

    // Replaces the content by a store file's; on any failure the store is left as it was.
    void Load(const QString &filename) { loadFile(filename); }
    // Sets `name` to "Phonebook" and writes the store file.
    void Save(const QString &filename) { saveFile(filename, QStringLiteral("Phonebook")); }
    // Largest id; 0 for an empty store.
    qint16 GetLastId() const;
    // New records with equal fields (re-added through add); the copy's name is empty.
    std::shared_ptr<DBPhonebook> Clone() const;
    // Records with an operation and typ not 0.
    qint16 countToSend() const;
    // Records with typ not 0.
    qint16 countEntries() const;
    // Appends a new record (data trimmed of blanks). `id` 0 allocates GetLastId() + 1 and hands it back.
    qint16 add(qint16 &id, qint16 location, const QString &memory, const QString &data, ContactKind typ,
               Operation op);
    // Adds a datum to the contact called `name`, creating its name record first when missing.
    void AddByName(const QString &name, qint16 location, const QString &memory, const QString &data,
                   ContactKind typ, Operation operation);
    // The last record of kind `typ` whose data equals `data` (for typ 0: their first `datacmplen`
    // characters); null when none.
    std::shared_ptr<DBPhonebookItem> GetItemByDataType(const QString &data, ContactKind typ,
                                                       qint16 datacmplen) const;
    // The name of contact `id`; "" when it has no name record.
    QString GetNameById(qint16 id) const;
    // The store's contacts grouped into families; the store itself is not changed. Yields to `loop`
    // once per record.
    std::shared_ptr<DBContainer> GroupFamilies(const ModFeatures &mf, IMessageLoop *loop = nullptr) const;

    // Every number the desktop's cards hold in any field, faxes and pagers included, as the desktop
    // read found them (empty for the phone's side). A phone's copy of one of them is held already,
    // even where it never becomes a record. No part of the records or of the store file.
    QSet<QString> heldNumbers;
    // For each number the desktop read, the other forms earlier versions read it in and may have put on
    // the phone (an extension joined to the number, say): such a phone entry is that number's copy.
    QHash<QString, QStringList> earlierNumbers;
};

} // namespace orvia
