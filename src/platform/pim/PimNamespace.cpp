#include "platform/pim/PimNamespace.h"
#include "platform/FileOperations.h"
#include "platform/RuntimeError.h"
#include "platform/VisibleText.h"
#include "platform/pim/FolderStore.h"
#include "platform/pim/PimFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orvia::pim {

namespace {

constexpr int maxDepth = 32;

bool isStoreRoot(const QString &root)
{
    QDir dir(root);
    return dir.exists() && !dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty();
}

} // namespace

PimNamespace::PimNamespace(const QString &root, const BusyWait &wait)
    : m_root(QDir::cleanPath(root)), m_wait(wait)
{
}

void PimNamespace::Logon()
{
    QFileInfo info(m_root);
    if (!info.isDir() || !info.isReadable())
        throwError(ErrPathAccess,
                   QStringLiteral("cannot open the contacts and calendar folder ") + visibleText(m_root));
}

std::shared_ptr<PimFolder> PimNamespace::folderAt(const QString &relativePath)
{
    auto it = m_folders.constFind(relativePath);
    if (it != m_folders.constEnd())
        return *it;
    auto folder = std::make_shared<PimFolder>(
        weak_from_this(), m_root, relativePath,
        std::make_shared<FolderStore>(m_root, m_root + QLatin1Char('/') + relativePath, m_wait));
    m_folders.insert(relativePath, folder);
    return folder;
}

QStringList PimNamespace::subFolders(const QString &relativePath) const
{
    QStringList out;
    if (relativePath.count(QLatin1Char('/')) >= maxDepth)
        return out;
    const QString abs = relativePath.isEmpty() ? m_root : m_root + QLatin1Char('/') + relativePath;
    QDir dir(abs);
    const QString here = QFileInfo(abs).canonicalFilePath();
    const QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        QFileInfo child(abs + QLatin1Char('/') + name);
        if (child.isSymLink()) {
            // A link back to this folder or above it would make the walk endless.
            const QString target = child.canonicalFilePath();
            if (target.isEmpty() || here == target || here.startsWith(target + QLatin1Char('/')))
                continue;
        }
        out.append(relativePath.isEmpty() ? name : relativePath + QLatin1Char('/') + name);
    }
    return out;
}

std::shared_ptr<PimFolders> PimNamespace::Folders()
{
    return std::make_shared<PimFolders>(weak_from_this(), subFolders(QString()));
}

std::shared_ptr<PimFolder> PimNamespace::GetFolderFromID(const QString &entryId)
{
    const QString path = PimFolder::pathForEntryId(entryId);
    if (path.isEmpty() || !QFileInfo(m_root + QLatin1Char('/') + path).isDir())
        throwError(ErrInvalidArgument,
                   QStringLiteral("no folder has the identifier ") + visibleText(entryId));
    return folderAt(path);
}

std::shared_ptr<PimFolder> PimNamespace::firstOfKind(const QString &relativePath, qint32 itemType, int depth)
{
    for (const QString &child : subFolders(relativePath)) {
        std::shared_ptr<PimFolder> f = folderAt(child);
        if (f->DefaultItemType() == itemType)
            return f;
        if (depth < maxDepth)
            if (auto found = firstOfKind(child, itemType, depth + 1))
                return found;
    }
    return nullptr;
}

std::shared_ptr<PimFolder> PimNamespace::GetDefaultFolder(qint32 kind)
{
    qint32 itemType;
    QString name;
    if (kind == FolderContacts) {
        itemType = ItemTypeContact;
        name = defaultContactsName();
    } else if (kind == FolderCalendar) {
        itemType = ItemTypeAppointment;
        name = defaultCalendarName();
    } else {
        throwError(ErrInvalidArgument);
    }
    const QString path = defaultStoreName() + QLatin1Char('/') + name;
    if (QFileInfo(m_root + QLatin1Char('/') + path).isDir()) {
        std::shared_ptr<PimFolder> f = folderAt(path);
        const qint32 type = f->DefaultItemType();
        if (type == itemType)
            return f;
    }
    if (auto f = firstOfKind(QString(), itemType, 0))
        return f;
    throwError(ErrPathNotFound,
               QStringLiteral("there is no %1 folder")
                   .arg(kind == FolderContacts ? QStringLiteral("contacts") : QStringLiteral("calendar")));
}

QString PimApplication::defaultRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/velmora/pim");
}

std::shared_ptr<PimApplication> PimApplication::attach(const QString &root, const BusyWait &wait)
{
    if (!isStoreRoot(root))
        throwError(429, QStringLiteral("no contacts and calendar store at ") + root);
    return std::shared_ptr<PimApplication>(new PimApplication(root, wait));
}

std::shared_ptr<PimApplication> PimApplication::create(const QString &root, const BusyWait &wait)
{
    if (!isStoreRoot(root)) {
        const QString store = root + QLatin1Char('/') + PimNamespace::defaultStoreName();
        const QString contacts = store + QLatin1Char('/') + PimNamespace::defaultContactsName();
        const QString calendar = store + QLatin1Char('/') + PimNamespace::defaultCalendarName();
        // For the owner only, as the files in them are.
        // A folder that is already there keeps its mode: it may be the user's, shared on purpose.
        for (const QString &folder : {contacts, calendar})
            if (!QFileInfo::exists(folder))
                fileops::makePrivateFolder(QFileInfo(folder).absoluteFilePath());
        if (!QFileInfo(contacts).isDir() || !QFileInfo(calendar).isDir())
            throwError(429, QStringLiteral("cannot create the contacts and calendar store at ") + root);
        try {
            FolderStore(root, contacts).setKind(ItemTypeContact);
            FolderStore(root, calendar).setKind(ItemTypeAppointment);
        } catch (const RuntimeError &e) {
            throwError(429, e.description());
        }
    }
    return std::shared_ptr<PimApplication>(new PimApplication(root, wait));
}

QString PimApplication::version() const
{
    return QStringLiteral("1.0");
}

std::shared_ptr<PimNamespace> PimApplication::GetNamespace(const QString &type)
{
    if (type.compare(QLatin1String("MAPI"), Qt::CaseInsensitive) != 0)
        throwError(ErrInvalidArgument);
    if (!m_namespace)
        m_namespace = std::make_shared<PimNamespace>(m_root, m_wait);
    return m_namespace;
}

} // namespace orvia::pim
