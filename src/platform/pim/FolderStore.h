#pragma once
// The contents of one folder of the desktop store: the item files in name order, each parsed on first
// access; the folder's kind; and an index of contacts by full name so that a search per datum written
// stays cheap. Every refresh lists the folder again and drops what it read of a file that changed since
// (another inode, modification time or size), so an edit made in place by another program is read before
// anything is written over it. A save replaces a file only while it is still the version its item was
// read from. File names are kept as the file system's bytes, whatever their encoding. A save that fails
// leaves the folder as the disk has it: the edit is dropped and the file read again, so the next run
// tries again. A file another program keeps closed (busy) stays busy for the rest of the run and is
// tried again by the next one (see BusyWait); while one is, no new item is made in the folder, since it
// could be a second copy of what that file holds.
#include "platform/pim/AtomicFile.h"
#include "platform/pim/FolderKind.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace orvia::pim {

class PimItem;

class FolderStore : public std::enable_shared_from_this<FolderStore>
{
public:
    // `root` is the store's root folder: links that lead outside it are never written through. `wait`
    // says how long an open waits for another program's lease on a file.
    FolderStore(const QString &root, const QString &path, const BusyWait &wait = BusyWait());

    const QString &path() const { return m_path; }
    qint32 kind();
    // Stores the kind in the folder's marker file, so that an empty folder keeps it.
    void setKind(qint32 kind);

    int count();
    // 1-based; throws RuntimeError 9 out of range, 4096 when the file cannot be parsed, ErrItemBusy
    // (with the file's name) when another program keeps it closed.
    std::shared_ptr<PimItem> item(int position);
    // Decomposed and composed letters find the same contact. Throws ErrItemBusy (with the file's name)
    // when no readable card has the name but a busy one might.
    std::shared_ptr<PimItem> findByFullName(const QString &fullName);
    std::shared_ptr<PimItem> createItem();
    // Writes the item's file. Returns false, writing nothing, when the file is no longer the version
    // the item was read from: the folder then reads it again on the next access. Throws on failure,
    // ErrItemBusy and ErrItemLinked with the file's name; the folder then reads the file again too.
    bool save(PimItem &item);

    // Lists the folder again; the first listing also removes temporary files a killed write left.
    void refresh();

    // True when a file of the folder was written or removed since the last call: a batch of saves that
    // wrote nothing needs no wait for the disk.
    bool takeUnsyncedChanges() { return std::exchange(m_unsynced, false); }

private:
    struct Entry
    {
        QByteArray rawName;  // as the file system has it
        QString fileName;    // for messages and callers
        FileVersion version; // of the file read, or as listed until it is read
        bool loaded = false;
        std::shared_ptr<PimItem> item;
        QString error;
        bool busy = false;     // the last open found it held by another program
        quint64 busyRound = 0; // the run of that open
        QString indexedName;
        bool indexed = false;
    };

    // A file of the folder as listed.
    struct Listed
    {
        QByteArray name;
        FileVersion version;
    };
    struct Listing
    {
        std::vector<Listed> cards, events;
    };
    Listing listFolder();                          // the first listing also removes leftover temporaries
    void adoptKind(const Listing &listing);        // a changed kind drops what was read
    void mergeListing(std::vector<Listed> &found); // keeps what is unchanged, forgets what changed

    void load(Entry &e);
    void forget(Entry &e);
    void index(Entry &e);
    void unindex(Entry &e);
    void ensureIndex();
    QString extension() const;
    Entry *entryByName(const QByteArray &rawName);
    QByteArray rawPath(const QByteArray &rawName) const { return m_rawPath + '/' + rawName; }
    // The file to write for an item: the file itself, or the target of a link that stays in the store.
    QByteArray writeTarget(const QByteArray &rawName) const;
    const Entry *busyEntry() const;
    Entry *createFile(PimItem &item, QByteArray &data, FileVersion &written); // the new entry, if listed
    bool writeExisting(PimItem &item, const QByteArray &data, FileVersion &written);

    QString m_path;
    QByteArray m_rawPath;
    QByteArray m_rawRoot;
    BusyWait m_wait;
    qint32 m_kind = -1;
    bool m_listed = false;
    bool m_unsynced = false;
    // Opens under way: their waits let the window have its events, and a refresh asked for meanwhile
    // must not replace the entries they work on.
    int m_opening = 0;
    // Every entry is read and indexed: set by ensureIndex, cleared whenever an entry is added or forgotten.
    bool m_indexComplete = false;
    std::vector<std::unique_ptr<Entry>> m_entries; // sorted by raw file name
    QHash<QString, std::set<QByteArray>> m_byName; // full name -> raw file names, in position order
};

} // namespace orvia::pim
