#pragma once
// The root of the desktop store ("MAPI" namespace): its stores, the default contacts and calendar
// folders, and folders by EntryID. Folder objects are shared, so every path to one folder sees one cache.
#include "platform/pim/BusyWait.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

namespace orvia::pim {

class PimFolder;
class PimFolders;

enum DefaultFolderKind : qint32
{
    FolderCalendar = 9,
    FolderContacts = 10
};

class PimNamespace : public std::enable_shared_from_this<PimNamespace>
{
public:
    explicit PimNamespace(const QString &root, const BusyWait &wait = BusyWait());

    // Checks that the root can still be read; throws RuntimeError 75 when it cannot.
    void Logon();
    // 10 the contacts folder, 9 the calendar folder: the default store's, else the first of that kind.
    std::shared_ptr<PimFolder> GetDefaultFolder(qint32 kind);
    std::shared_ptr<PimFolders> Folders();
    std::shared_ptr<PimFolder> GetFolderFromID(const QString &entryId);

    const QString &root() const { return m_root; }
    std::shared_ptr<PimFolder> folderAt(const QString &relativePath);
    // Relative paths of the folders below a folder ("" for the root), in name order.
    QStringList subFolders(const QString &relativePath) const;

    static QString defaultStoreName() { return QStringLiteral("Personal Folders"); }
    static QString defaultContactsName() { return QStringLiteral("Contacts"); }
    static QString defaultCalendarName() { return QStringLiteral("Calendar"); }

private:
    std::shared_ptr<PimFolder> firstOfKind(const QString &relativePath, qint32 itemType, int depth);

    QString m_root;
    BusyWait m_wait;
    QHash<QString, std::shared_ptr<PimFolder>> m_folders;
};

class PimApplication
{
public:
    // The root under the user's data folder used unless a setting names another.
    static QString defaultRoot();
    // The store at `root` when it exists (a folder holding at least one store); throws RuntimeError 429.
    // `wait` says how long an open waits for another program's lease on a file.
    static std::shared_ptr<PimApplication> attach(const QString &root, const BusyWait &wait = BusyWait());
    // Makes the root, with the store "Personal Folders" holding "Contacts" and "Calendar" when it has no
    // store yet; throws RuntimeError 429 when that fails.
    static std::shared_ptr<PimApplication> create(const QString &root, const BusyWait &wait = BusyWait());

    QString TypeName() const { return QStringLiteral("Application"); }
    QString version() const;
    // Only "MAPI"; throws RuntimeError 5 for anything else.
    std::shared_ptr<PimNamespace> GetNamespace(const QString &type);

private:
    PimApplication(const QString &root, const BusyWait &wait) : m_root(root), m_wait(wait) {}
    QString m_root;
    BusyWait m_wait;
    std::shared_ptr<PimNamespace> m_namespace;
};

} // namespace orvia::pim
