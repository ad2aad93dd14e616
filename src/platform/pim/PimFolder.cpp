#include "platform/pim/PimFolder.h"
#include "platform/RuntimeError.h"
#include "platform/pim/FolderStore.h"
#include "platform/pim/PimItem.h"
#include "platform/pim/PimItems.h"
#include "platform/pim/PimNamespace.h"
#include "platform/pim/StoreFileOpen.h"

#include <QFile>

namespace orvia::pim {

PimFolder::PimFolder(std::weak_ptr<PimNamespace> ns, const QString &root, const QString &relativePath,
                     std::shared_ptr<FolderStore> store)
    : m_ns(std::move(ns)), m_root(root), m_relativePath(relativePath), m_store(std::move(store))
{
}

QString PimFolder::absolutePath() const
{
    return m_root + QLatin1Char('/') + m_relativePath;
}

QString PimFolder::EntryID() const
{
    return entryIdForPath(m_relativePath);
}

QString PimFolder::name() const
{
    return m_relativePath.section(QLatin1Char('/'), -1);
}

qint32 PimFolder::Class() const
{
    return ClassFolder;
}

QString PimFolder::DefaultMessageClass() const
{
    return messageClassFor(DefaultItemType());
}

QString PimFolder::messageClassFor(qint32 type)
{
    switch (type) {
    case ItemTypeContact:
        return QStringLiteral("IPM.Contact");
    case ItemTypeAppointment:
        return QStringLiteral("IPM.Appointment");
    default:
        return QStringLiteral("IPM.Note");
    }
}

QString PimFolder::Description() const
{
    // Shared with the sync tools, which keep a collection's description in this file.
    return QString::fromUtf8(
               readSmallRegularFile(QFile::encodeName(absolutePath() + QStringLiteral("/description")), 4096))
        .trimmed();
}

qint32 PimFolder::DefaultItemType() const
{
    return m_store->kind();
}

std::shared_ptr<PimFolders> PimFolder::Folders() const
{
    std::shared_ptr<PimNamespace> ns = m_ns.lock();
    if (!ns)
        throwError(ErrObjectNotSet);
    return std::make_shared<PimFolders>(m_ns, ns->subFolders(m_relativePath));
}

std::shared_ptr<PimItems> PimFolder::Items() const
{
    return std::make_shared<PimItems>(m_store);
}

QString PimFolder::entryIdForPath(const QString &relativePath)
{
    return QString::fromLatin1(relativePath.toUtf8().toHex().toUpper());
}

QString PimFolder::pathForEntryId(const QString &entryId)
{
    if (entryId.isEmpty() || entryId.size() % 2 != 0)
        return QString();
    for (QChar c : entryId)
        if (!c.isDigit() && !(c >= QLatin1Char('A') && c <= QLatin1Char('F')) &&
            !(c >= QLatin1Char('a') && c <= QLatin1Char('f')))
            return QString();
    const QString path = QString::fromUtf8(QByteArray::fromHex(entryId.toLatin1()));
    // Only paths below the root: an identifier read from the settings must not lead elsewhere.
    for (const QString &part : path.split(QLatin1Char('/')))
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..") ||
            part.contains(QChar(0)))
            return QString();
    return path;
}

PimFolders::PimFolders(std::weak_ptr<PimNamespace> ns, QStringList relativePaths)
    : m_ns(std::move(ns)), m_paths(std::move(relativePaths))
{
}

std::shared_ptr<PimFolder> PimFolders::GetFirst()
{
    m_next = 0;
    return GetNext();
}

std::shared_ptr<PimFolder> PimFolders::GetNext()
{
    if (m_next >= m_paths.size())
        return nullptr;
    std::shared_ptr<PimNamespace> ns = m_ns.lock();
    if (!ns)
        throwError(ErrObjectNotSet);
    return ns->folderAt(m_paths.at(m_next++));
}

} // namespace orvia::pim
