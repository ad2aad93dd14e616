#pragma once
// A folder of the desktop store and the collection of a folder's sub-folders. Top-level folders are
// stores; a folder of vCards is a contacts folder, one of iCalendar files a calendar folder.
#include <QString>
#include <QStringList>
#include <memory>

namespace orvia::pim {

class FolderStore;
class PimItems;
class PimNamespace;
class PimFolders;

class PimFolder
{
public:
    PimFolder(std::weak_ptr<PimNamespace> ns, const QString &root, const QString &relativePath,
              std::shared_ptr<FolderStore> store);

    // Stable across runs: made from the folder's path below the root.
    QString EntryID() const;
    QString name() const;
    qint32 Class() const;
    QString DefaultMessageClass() const;
    QString Description() const;
    qint32 DefaultItemType() const;
    std::shared_ptr<PimFolders> Folders() const;
    std::shared_ptr<PimItems> Items() const;

    const QString &relativePath() const { return m_relativePath; }
    QString absolutePath() const;

    // The message class of a folder holding items of `type` (a DefaultItemType value).
    static QString messageClassFor(qint32 type);
    static QString entryIdForPath(const QString &relativePath);
    // The relative path an EntryID stands for; empty when it is not one of ours or leaves the root.
    static QString pathForEntryId(const QString &entryId);

private:
    std::weak_ptr<PimNamespace> m_ns;
    QString m_root;
    QString m_relativePath;
    std::shared_ptr<FolderStore> m_store;
};

class PimFolders
{
public:
    PimFolders(std::weak_ptr<PimNamespace> ns, QStringList relativePaths);
    std::shared_ptr<PimFolder> GetFirst();
    // nullptr after the last folder.
    std::shared_ptr<PimFolder> GetNext();
    qint32 count() const { return qint32(m_paths.size()); }

private:
    std::weak_ptr<PimNamespace> m_ns;
    QStringList m_paths;
    qsizetype m_next = 0;
};

} // namespace orvia::pim
