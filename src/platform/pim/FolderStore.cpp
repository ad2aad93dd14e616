#include "platform/pim/FolderStore.h"
#include "platform/RuntimeError.h"
#include "platform/VisibleText.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/ItemLimits.h"
#include "platform/pim/StoreFileNames.h"
#include "platform/pim/StoreFileOpen.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvia::pim {

namespace {

// A file name as the user would type it, on one line: bytes that are not UTF-8 are shown as \xNN, and
// control characters as visibleText writes them.
QString displayName(const QByteArray &raw)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(raw);
    if (!utf8.hasError())
        return visibleText(decoded);
    QString out;
    for (char c : raw) {
        const uchar u = uchar(c);
        if (u < 0x80)
            out += visibleText(QString(QLatin1Char(c)));
        else
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    return out;
}

// The whole file, in a buffer sized by the file rather than by the limit; refused over the limit, also
// when the file grew since it was measured.
QByteArray readBounded(int fd, qint64 size)
{
    checkItemSize(size);
    QByteArray data;
    data.resize(size + 1); // one byte more than expected: a file that grew shows at once
    qint64 have = 0;
    for (;;) {
        if (have == data.size()) {
            if (data.size() > maxItemFileSize)
                throwError(ErrItemRefused, QStringLiteral("file too large"));
            data.resize(qMin<qint64>(data.size() + 64 * 1024, maxItemFileSize + 1));
        }
        const ssize_t n = ::read(fd, data.data() + have, size_t(data.size() - have));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throwError(ErrItemRefused, QStringLiteral("cannot read: ") + errnoText(errno));
        if (n == 0)
            break;
        have += n;
    }
    data.truncate(have);
    return data;
}

// Counts an open under way for the time it lasts.
class Opening
{
public:
    explicit Opening(int &count) : m_count(count) { ++m_count; }
    ~Opening() { --m_count; }
    Opening(const Opening &) = delete;
    Opening &operator=(const Opening &) = delete;

private:
    int &m_count;
};

QByteArray realPath(const QByteArray &path)
{
    char buf[PATH_MAX];
    return ::realpath(path.constData(), buf) ? QByteArray(buf) : QByteArray();
}

} // namespace

FolderStore::FolderStore(const QString &root, const QString &path, const BusyWait &wait)
    : m_path(path), m_rawPath(QFile::encodeName(path)), m_rawRoot(QFile::encodeName(QDir::cleanPath(root))),
      m_wait(wait)
{
}

QString FolderStore::extension() const
{
    return m_kind == ItemTypeContact       ? QStringLiteral(".vcf")
           : m_kind == ItemTypeAppointment ? QStringLiteral(".ics")
                                           : QString();
}

void FolderStore::refresh()
{
    if (m_opening > 0)
        return; // the listing in hand stays until the open that is waiting is done with it
    Listing listing = listFolder();
    adoptKind(listing);
    std::vector<Listed> &found = m_kind == ItemTypeContact ? listing.cards : listing.events;
    if (m_kind == ItemTypeMail)
        found.clear();
    mergeListing(found);
    m_listed = true;
}

FolderStore::Listing FolderStore::listFolder()
{
    DIR *dir = ::opendir(m_rawPath.constData());
    if (!dir) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            throwError(ErrPathAccess, QStringLiteral("folder not found: ") + visibleText(m_path));
        throwError(ErrPathAccess,
                   QStringLiteral("cannot list folder %1: %2").arg(visibleText(m_path), errnoText(err)));
    }
    Listing listing;
    while (struct dirent *d = ::readdir(dir)) {
        if (d->d_name[0] == '.') {
            // Temporary files of a write that was killed: nothing reads them, and nothing else removes them.
            struct stat st;
            if (!m_listed && isLeftoverTemporaryName(QByteArray(d->d_name)) &&
                ::fstatat(::dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
                ::unlinkat(::dirfd(dir), d->d_name, 0) == 0)
                m_unsynced = true;
            continue; // metadata, and what other tools hide
        }
        if (d->d_type == DT_DIR)
            continue;
        const QByteArray name(d->d_name);
        const bool card = hasExtension(name, ".vcf");
        const bool event = !card && hasExtension(name, ".ics");
        if (!card && !event)
            continue;
        // A FIFO, socket or device under an item's name is listed: reading it refuses it with a notice,
        // as a damaged file. Folders and dangling links are not items at all.
        struct stat st;
        if (::fstatat(::dirfd(dir), d->d_name, &st, 0) != 0 || S_ISDIR(st.st_mode))
            continue;
        (card ? listing.cards : listing.events).push_back(Listed{name, versionOf(st)});
    }
    ::closedir(dir);
    return listing;
}

void FolderStore::adoptKind(const Listing &listing)
{
    qint32 kind = markedKind(m_rawPath);
    if (kind < 0)
        kind = listing.cards.empty() && listing.events.empty()
                   ? kindOfEmptyFolder(m_rawRoot, m_rawPath)
                   : kindFromFiles(qsizetype(listing.cards.size()), qsizetype(listing.events.size()));
    if (kind != m_kind) {
        m_entries.clear();
        m_byName.clear();
        m_indexComplete = false;
        m_kind = kind;
    }
}

void FolderStore::mergeListing(std::vector<Listed> &found)
{
    std::sort(found.begin(), found.end(), [](const Listed &a, const Listed &b) { return a.name < b.name; });
    std::vector<std::unique_ptr<Entry>> next;
    next.reserve(found.size());
    size_t old = 0;
    for (Listed &f : found) {
        while (old < m_entries.size() && m_entries[old]->rawName < f.name) {
            unindex(*m_entries[old]);
            ++old;
        }
        std::unique_ptr<Entry> e;
        if (old < m_entries.size() && m_entries[old]->rawName == f.name) {
            e = std::move(m_entries[old++]);
            // Changed on disk, perhaps in place, or found held by an earlier run: read again before use.
            // One found held in this run stays so: waiting for it again would hold the window up again.
            if (e->version != f.version || (e->busy && e->busyRound != m_wait.round()))
                forget(*e);
        } else {
            e = std::make_unique<Entry>();
            e->rawName = f.name;
            e->fileName = displayName(f.name);
            m_indexComplete = false;
        }
        if (!e->loaded)
            e->version = f.version;
        next.push_back(std::move(e));
    }
    for (; old < m_entries.size(); ++old)
        unindex(*m_entries[old]);
    m_entries = std::move(next);
}

qint32 FolderStore::kind()
{
    refresh();
    return m_kind;
}

void FolderStore::setKind(qint32 kind)
{
    replaceFileAtomically(m_path + QLatin1Char('/') + QLatin1String(folderMarkerName()),
                          "DefaultItemType=" + QByteArray::number(kind) + "\n");
    m_unsynced = true;
}

int FolderStore::count()
{
    return int(m_entries.size());
}

void FolderStore::forget(Entry &e)
{
    unindex(e);
    m_indexComplete = false;
    e.loaded = false;
    e.item.reset();
    e.error.clear();
}

void FolderStore::load(Entry &e)
{
    if (e.loaded)
        return;
    e.loaded = true;
    e.item.reset();
    e.error.clear();
    e.busy = false;
    try {
        checkItemSize(e.version.size);
        struct stat st;
        QString why;
        const Opening opening(m_opening);
        FdGuard fd{openRegularFile(rawPath(e.rawName), st, why, m_wait, e.busy)};
        e.busyRound = m_wait.round();
        if (fd.fd < 0)
            throwError(ErrItemRefused, why);
        // The version read: a later write checks the file is still this one.
        e.version = versionOf(st);
        const QByteArray data = readBounded(fd.fd, st.st_size);
        std::shared_ptr<PimItem> item;
        if (m_kind == ItemTypeContact)
            item = ContactItem::fromData(data);
        else
            item = AppointmentItem::calendarItemFromData(data);
        item->m_store = weak_from_this();
        item->m_fileName = e.fileName;
        item->m_rawFileName = e.rawName;
        item->m_version = e.version;
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
    m_byName[e.indexedName].insert(e.rawName);
    e.indexed = true;
}

void FolderStore::unindex(Entry &e)
{
    if (!e.indexed)
        return;
    auto it = m_byName.find(e.indexedName);
    if (it != m_byName.end()) {
        it->erase(e.rawName);
        if (it->empty())
            m_byName.erase(it);
    }
    e.indexed = false;
}

void FolderStore::ensureIndex()
{
    if (m_indexComplete)
        return;
    for (auto &e : m_entries) {
        if (!e->loaded)
            load(*e);
        index(*e);
    }
    m_indexComplete = true;
}

FolderStore::Entry *FolderStore::entryByName(const QByteArray &rawName)
{
    auto it =
        std::lower_bound(m_entries.begin(), m_entries.end(), rawName,
                         [](const std::unique_ptr<Entry> &e, const QByteArray &n) { return e->rawName < n; });
    if (it == m_entries.end() || (*it)->rawName != rawName)
        return nullptr;
    return it->get();
}

std::shared_ptr<PimItem> FolderStore::item(int position)
{
    if (position < 1 || position > int(m_entries.size()))
        throwError(ErrSubscript, QStringLiteral("Array index out of bounds"));
    Entry &e = *m_entries[size_t(position - 1)];
    load(e);
    if (e.busy)
        throwError(ErrItemBusy, e.fileName);
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
    auto it = m_byName.constFind(fullName.normalized(QString::NormalizationForm_C));
    if (it == m_byName.constEnd() || it->empty()) {
        // The card may be the one that could not be read: a new one could be a second card of the contact.
        if (const Entry *busy = busyEntry())
            throwError(ErrItemBusy, busy->fileName);
        return nullptr;
    }
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

QByteArray FolderStore::writeTarget(const QByteArray &rawName) const
{
    const QByteArray path = rawPath(rawName);
    struct stat st;
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    // A card kept as a link stays one: the file it points to is written, when that lies in the store.
    const QByteArray target = realPath(path);
    const QByteArray root = realPath(m_rawRoot);
    if (target.isEmpty() || root.isEmpty() || !target.startsWith(root + '/'))
        throwError(ErrPathAccess, displayName(rawName) +
                                      QStringLiteral(" is a link to a file outside the contacts and calendar "
                                                     "folder; it is not written"));
    return target;
}

const FolderStore::Entry *FolderStore::busyEntry() const
{
    for (const auto &e : m_entries)
        if (e->busy)
            return e.get();
    return nullptr;
}

bool FolderStore::save(PimItem &item)
{
    const bool isNew = item.m_rawFileName.isEmpty();
    if (!isNew && !item.hasChanges())
        return true; // the file already holds what the item holds
    if (const Entry *busy = isNew ? busyEntry() : nullptr)
        throwError(ErrItemBusy, busy->fileName);
    Entry *entry = isNew ? nullptr : entryByName(item.m_rawFileName);
    FileVersion written;
    try {
        item.beforeSave();
        QByteArray data = item.serialize();
        // Folding can make a file grow past the limit: never write what would be refused when read back.
        checkItemSize(data.size());
        if (isNew)
            entry = createFile(item, data, written);
        else if (!writeExisting(item, data, written))
            return false;
    } catch (const RuntimeError &e) {
        // What is not on the disk is not in the folder either: the file is read again at the next look,
        // and the next run finds the edit missing and makes it again.
        if (entry && !isNew)
            forget(*entry);
        // A failure after the new text went in place: it waits for the disk like any other write.
        if (!isNew && written != FileVersion())
            m_unsynced = true;
        if (e.number() == ErrItemBusy || e.number() == ErrItemLinked)
            throwError(e.number(), item.m_fileName);
        throw;
    }
    m_unsynced = true;
    item.m_version = written;
    item.afterSave();
    if (entry) {
        entry->version = written;
        unindex(*entry);
        index(*entry);
    }
    return true;
}

FolderStore::Entry *FolderStore::createFile(PimItem &item, QByteArray &data, FileVersion &written)
{
    QString name;
    for (int attempt = 0;; ++attempt) {
        name = fileNameForUid(item.uid(), item.fileExtension());
        if (createFileExclusively(rawPath(QFile::encodeName(name)), data, written))
            break;
        if (attempt == 8)
            throwError(ErrPathAccess,
                       QStringLiteral("cannot find a free file name in ") + visibleText(m_path));
        item.setUid(newUid());
        data = item.serialize();
    }
    item.m_fileName = name;
    item.m_rawFileName = QFile::encodeName(name);
    if (!m_listed || extension().isEmpty() || !name.endsWith(extension(), Qt::CaseInsensitive))
        return nullptr;
    auto e = std::make_unique<Entry>();
    e->rawName = item.m_rawFileName;
    e->fileName = name;
    e->loaded = true;
    e->item = item.shared_from_this();
    auto at =
        std::lower_bound(m_entries.begin(), m_entries.end(), e->rawName,
                         [](const std::unique_ptr<Entry> &x, const QByteArray &n) { return x->rawName < n; });
    return m_entries.insert(at, std::move(e))->get();
}

bool FolderStore::writeExisting(PimItem &item, const QByteArray &data, FileVersion &written)
{
    const Opening opening(m_opening);
    Entry *entry = entryByName(item.m_rawFileName);
    if (!replaceFileIfUnchanged(writeTarget(item.m_rawFileName), data, item.m_version, written, m_wait)) {
        // Another program changed or removed the file since it was read: its version is read
        // again before anything is written there.
        if (entry)
            forget(*entry);
        return false;
    }
    if (entry) {
        entry->loaded = true;
        entry->error.clear();
        entry->busy = false;
        entry->item = item.shared_from_this();
    }
    return true;
}

} // namespace orvia::pim
