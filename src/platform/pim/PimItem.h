#pragma once
// What every item of the desktop store offers: its kind (the type name callers test), its class number
// (logged only) and Save. An item belongs to the folder it was read from or added to.
#include "platform/pim/AtomicFile.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace orvia::pim {

class FolderStore;

// Class numbers of the items and folders, as the groupware's object model numbers them.
enum ObjectClass : qint32
{
    ClassFolder = 2,
    ClassAppointment = 26,
    ClassContact = 40,
    ClassJournal = 42,
    ClassTask = 48,
    ClassDistList = 69
};

class PimItem : public std::enable_shared_from_this<PimItem>
{
public:
    virtual ~PimItem() = default;
    virtual QString TypeName() const = 0;
    virtual qint32 Class() const = 0;
    // Stores the item in its folder: atomically replaces its file, or creates a new file for a new item.
    // Throws RuntimeError 75 when another program changed the file since it was read.
    void Save();
    // The same, but returns false (writing nothing) when another program changed the file since it was
    // read: the caller finds the item again, which reads the new version, and makes its change there.
    bool saveUnlessChanged();

    // The file contents Save writes (brings the item into storable form first; may throw).
    QByteArray fileData()
    {
        beforeSave();
        return serialize();
    }

    // Empty until a new item is saved for the first time.
    QString fileName() const { return m_fileName; }

protected:
    friend class FolderStore;
    virtual QByteArray serialize() const = 0;
    virtual QString uid() const = 0;
    virtual void setUid(const QString &uid) = 0; // used when a new item's name is taken
    virtual QString fileExtension() const = 0;
    // Contacts are found by full name; other kinds are not in the folder's search index.
    virtual bool isIndexed() const { return false; }
    virtual QString indexName() const { return QString(); }
    // Brings the item into a form fit to be stored; throws when it cannot be stored.
    virtual void beforeSave() {}
    // False when the item still holds what its file holds, so that saving it need not write.
    virtual bool hasChanges() const { return true; }
    virtual void afterSave() {}

    std::weak_ptr<FolderStore> m_store;
    QString m_fileName;
    QByteArray m_rawFileName; // the file system's bytes
    FileVersion m_version;    // of the file the item was read from or last written to
};

// A file name made from a UID, restricted to the characters other vdir tools accept.
QString fileNameForUid(const QString &uid, const QString &extension);
QString newUid();

} // namespace orvia::pim
