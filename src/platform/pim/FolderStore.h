#pragma once
// The cached contents of one folder of the desktop store: the item files in name order, each parsed on
// first access and kept until the file changes; the folder's kind; and an index of contacts by full name
// so that a search per datum written stays cheap. The folder is re-listed only when its modification
// time changes (every tool that shares these folders replaces files by rename, which changes it).
#include <QHash>
#include <QString>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace orvia::pim {

class PimItem;

enum DefaultItemType : qint32
{
    ItemTypeMail = 0,
    ItemTypeAppointment = 1,
    ItemTypeContact = 2
};

class FolderStore : public std::enable_shared_from_this<FolderStore>
{
public:
    explicit FolderStore(const QString &path);

    const QString &path() const { return m_path; }
    qint32 kind();
    // Stores the kind in the folder's metadata file, so that an empty folder keeps it.
    void setKind(qint32 kind);

    int count();
    // 1-based; throws RuntimeError 9 out of range, 4096 when the file cannot be parsed.
    std::shared_ptr<PimItem> item(int position);
    std::shared_ptr<PimItem> findByFullName(const QString &fullName);
    std::shared_ptr<PimItem> createItem();
    void save(PimItem &item);

    // Re-lists the folder if it changed on disk.
    void refresh();

    static const char *metadataFileName();

private:
    struct Entry
    {
        QString fileName;
        qint64 mtimeNs = 0;
        qint64 size = -1;
        quint64 inode = 0;
        bool loaded = false;
        std::shared_ptr<PimItem> item;
        QString error;
        QString indexedName;
        bool indexed = false;
    };

    void load(Entry &e);
    void index(Entry &e);
    void unindex(Entry &e);
    void ensureIndex();
    qint64 folderMtime() const;
    QString extension() const;
    Entry *entryByName(const QString &fileName);

    QString m_path;
    qint32 m_kind = -1;
    bool m_listed = false;
    qint64 m_listedMtime = 0;
    std::vector<std::unique_ptr<Entry>> m_entries; // sorted by file name
    bool m_indexComplete = false;
    QHash<QString, std::set<QString>> m_byName; // full name -> file names, in position order
};

} // namespace orvia::pim
