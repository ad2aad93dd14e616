#include "platform/pim/FolderStore.h"
#include "platform/RuntimeError.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/AtomicFile.h"
#include "platform/pim/ContactItem.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvia::pim {

namespace {

constexpr qint64 maxItemFileSize = 64 * 1024 * 1024;

qint64 mtimeNs(const struct stat &st)
{
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool hasExtension(const QString &name, const QString &ext)
{
    return name.size() > ext.size() && name.endsWith(ext, Qt::CaseInsensitive);
}

qint32 readKindFile(const QString &folder)
{
    QFile f(folder + QLatin1Char('/') + QLatin1String(FolderStore::metadataFileName()));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = f.read(4096).split('\n');
    for (const QByteArray &line : lines) {
        const QByteArray l = line.trimmed();
        if (l.startsWith("DefaultItemType=")) {
            bool ok = false;
            int v = l.mid(16).toInt(&ok);
            if (ok && (v == ItemTypeAppointment || v == ItemTypeContact || v == ItemTypeMail))
                return v;
        }
    }
    return -1;
}

} // namespace

const char *FolderStore::metadataFileName()
{
    return ".orvia-folder";
}

FolderStore::FolderStore(const QString &path) : m_path(path) {}

qint64 FolderStore::folderMtime() const
{
    struct stat st;
    if (::stat(QFile::encodeName(m_path).constData(), &st) != 0)
        return -1;
    return mtimeNs(st);
}

QString FolderStore::extension() const
{
    return m_kind == ItemTypeContact       ? QStringLiteral(".vcf")
           : m_kind == ItemTypeAppointment ? QStringLiteral(".ics")
                                           : QString();
}

void FolderStore::refresh()
{
    const qint64 mtime = folderMtime();
    if (mtime < 0)
        throwError(ErrPathAccess, QStringLiteral("folder not found: ") + m_path);
    if (m_listed && mtime == m_listedMtime)
        return;

    const QByteArray folder = QFile::encodeName(m_path);
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        throwError(
            ErrPathAccess,
            QStringLiteral("cannot list folder %1: %2").arg(m_path, QString::fromLocal8Bit(strerror(errno))));
    struct Found
    {
        QString name;
        struct stat st;
    };
    std::vector<Found> cards, events;
    while (struct dirent *d = ::readdir(dir)) {
        if (d->d_name[0] == '.')
            continue; // temporary files, metadata, and what other tools hide
        if (d->d_type != DT_REG && d->d_type != DT_LNK && d->d_type != DT_UNKNOWN)
            continue;
        const QString name = QFile::decodeName(d->d_name);
        const bool card = hasExtension(name, QStringLiteral(".vcf"));
        const bool event = !card && hasExtension(name, QStringLiteral(".ics"));
        if (!card && !event)
            continue;
        Found f{name, {}};
        if (::fstatat(::dirfd(dir), d->d_name, &f.st, 0) != 0 || !S_ISREG(f.st.st_mode))
            continue;
        (card ? cards : events).push_back(std::move(f));
    }
    ::closedir(dir);

    qint32 kind = readKindFile(m_path);
    if (kind < 0)
        kind = cards.empty() && events.empty() ? ItemTypeMail
               : cards.size() >= events.size() ? ItemTypeContact
                                               : ItemTypeAppointment;
    if (kind != m_kind) {
        m_entries.clear();
        m_byName.clear();
        m_kind = kind;
    }
    std::vector<Found> &found = kind == ItemTypeContact ? cards : events;
    if (kind == ItemTypeMail)
        found.clear();
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) { return a.name < b.name; });

    std::vector<std::unique_ptr<Entry>> next;
    next.reserve(found.size());
    size_t old = 0;
    for (Found &f : found) {
        while (old < m_entries.size() && m_entries[old]->fileName < f.name) {
            unindex(*m_entries[old]);
            ++old;
        }
        std::unique_ptr<Entry> e;
        if (old < m_entries.size() && m_entries[old]->fileName == f.name) {
            e = std::move(m_entries[old++]);
            if (e->mtimeNs != mtimeNs(f.st) || e->size != f.st.st_size || e->inode != f.st.st_ino) {
                unindex(*e);
                e->loaded = false;
                e->item.reset();
                e->error.clear();
            }
        } else {
            e = std::make_unique<Entry>();
            e->fileName = f.name;
        }
        e->mtimeNs = mtimeNs(f.st);
        e->size = f.st.st_size;
        e->inode = f.st.st_ino;
        next.push_back(std::move(e));
    }
    for (; old < m_entries.size(); ++old)
        unindex(*m_entries[old]);
    m_entries = std::move(next);
    m_listed = true;
    m_listedMtime = mtime;
}

qint32 FolderStore::kind()
{
    refresh();
    return m_kind;
}

void FolderStore::setKind(qint32 kind)
{
    replaceFileAtomically(m_path + QLatin1Char('/') + QLatin1String(metadataFileName()),
                          "DefaultItemType=" + QByteArray::number(kind) + "\n");
    m_listed = false;
}

int FolderStore::count()
{
    return int(m_entries.size());
}

void FolderStore::load(Entry &e)
{
    if (e.loaded)
        return;
    e.loaded = true;
    e.item.reset();
    e.error.clear();
    try {
        if (e.size > maxItemFileSize)
            throwError(ErrItemRefused, QStringLiteral("file too large"));
        QFile f(m_path + QLatin1Char('/') + e.fileName);
        if (!f.open(QIODevice::ReadOnly))
            throwError(ErrItemRefused, QStringLiteral("cannot open: ") + f.errorString());
        const QByteArray data = f.read(maxItemFileSize + 1);
        if (data.size() > maxItemFileSize)
            throwError(ErrItemRefused, QStringLiteral("file too large"));
        std::shared_ptr<PimItem> item;
        if (m_kind == ItemTypeContact)
            item = ContactItem::fromData(data);
        else
            item = AppointmentItem::fromData(data);
        item->m_store = weak_from_this();
        item->m_fileName = e.fileName;
        e.item = std::move(item);
    } catch (const RuntimeError &err) {
        e.error = e.fileName + QStringLiteral(": ") + err.description();
    }
}

void FolderStore::index(Entry &e)
{
    if (e.indexed || !e.item || !e.item->isIndexed())
        return;
    e.indexedName = e.item->indexName();
    m_byName[e.indexedName].insert(e.fileName);
    e.indexed = true;
}

void FolderStore::unindex(Entry &e)
{
    if (!e.indexed)
        return;
    auto it = m_byName.find(e.indexedName);
    if (it != m_byName.end()) {
        it->erase(e.fileName);
        if (it->empty())
            m_byName.erase(it);
    }
    e.indexed = false;
}

void FolderStore::ensureIndex()
{
    for (auto &e : m_entries) {
        if (!e->loaded)
            load(*e);
        index(*e);
    }
}

FolderStore::Entry *FolderStore::entryByName(const QString &fileName)
{
    auto it =
        std::lower_bound(m_entries.begin(), m_entries.end(), fileName,
                         [](const std::unique_ptr<Entry> &e, const QString &n) { return e->fileName < n; });
    if (it == m_entries.end() || (*it)->fileName != fileName)
        return nullptr;
    return it->get();
}

std::shared_ptr<PimItem> FolderStore::item(int position)
{
    if (position < 1 || position > int(m_entries.size()))
        throwError(ErrSubscript, QStringLiteral("Array index out of bounds"));
    Entry &e = *m_entries[size_t(position - 1)];
    load(e);
    if (!e.item)
        throwError(ErrItemRefused, e.error);
    index(e);
    return e.item;
}

std::shared_ptr<PimItem> FolderStore::findByFullName(const QString &fullName)
{
    if (m_kind != ItemTypeContact)
        return nullptr;
    ensureIndex();
    auto it = m_byName.constFind(fullName);
    if (it == m_byName.constEnd() || it->empty())
        return nullptr;
    Entry *e = entryByName(*it->begin());
    return e ? e->item : nullptr;
}

std::shared_ptr<PimItem> FolderStore::createItem()
{
    std::shared_ptr<PimItem> item;
    if (m_kind == ItemTypeContact)
        item = ContactItem::createNew();
    else if (m_kind == ItemTypeAppointment)
        item = AppointmentItem::createNew();
    else
        throwError(ErrInvalidArgument, QStringLiteral("this folder holds neither contacts nor appointments"));
    item->m_store = weak_from_this();
    return item;
}

void FolderStore::save(PimItem &item)
{
    item.beforeSave();
    // Only when the listing was current before the write may the write itself leave it current.
    const bool wasCurrent = m_listed && folderMtime() == m_listedMtime;
    QByteArray data = item.serialize();
    Entry *entry = nullptr;
    if (item.m_fileName.isEmpty()) {
        QString name;
        for (int attempt = 0;; ++attempt) {
            name = fileNameForUid(item.uid(), item.fileExtension());
            if (createFileExclusively(m_path + QLatin1Char('/') + name, data))
                break;
            if (attempt == 8)
                throwError(ErrPathAccess, QStringLiteral("cannot find a free file name in ") + m_path);
            item.setUid(newUid());
            data = item.serialize();
        }
        item.m_fileName = name;
        if (m_listed && hasExtension(name, extension())) {
            auto e = std::make_unique<Entry>();
            e->fileName = name;
            e->loaded = true;
            e->item = item.shared_from_this();
            auto at = std::lower_bound(
                m_entries.begin(), m_entries.end(), name,
                [](const std::unique_ptr<Entry> &x, const QString &n) { return x->fileName < n; });
            entry = m_entries.insert(at, std::move(e))->get();
        }
    } else {
        replaceFileAtomically(m_path + QLatin1Char('/') + item.m_fileName, data);
        entry = entryByName(item.m_fileName);
        if (entry) {
            entry->loaded = true;
            entry->error.clear();
            entry->item = item.shared_from_this();
        }
    }
    if (entry) {
        struct stat st;
        if (::stat(QFile::encodeName(m_path + QLatin1Char('/') + entry->fileName).constData(), &st) == 0) {
            entry->mtimeNs = mtimeNs(st);
            entry->size = st.st_size;
            entry->inode = st.st_ino;
        }
        unindex(*entry);
        index(*entry);
    }
    if (wasCurrent)
        m_listedMtime = folderMtime();
}

} // namespace orvia::pim
