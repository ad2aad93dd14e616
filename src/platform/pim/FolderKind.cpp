#include "platform/pim/FolderKind.h"
#include "platform/pim/StoreFileNames.h"
#include "platform/pim/StoreFileOpen.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

namespace orvia::pim {

namespace {

struct Contents
{
    qsizetype cards = 0;
    qsizetype events = 0;
    bool hasSubFolders = false;
};

// The type of an entry of `dir`, a link's target's for a link: DT_DIR, DT_REG, or another value. Only
// links and entries the file system gives no type for are looked up, not every file of a large folder.
unsigned char typeOf(DIR *dir, const struct dirent *d)
{
    if (d->d_type != DT_LNK && d->d_type != DT_UNKNOWN)
        return d->d_type;
    struct stat st;
    if (::fstatat(::dirfd(dir), d->d_name, &st, 0) != 0)
        return DT_UNKNOWN;
    return S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
}

Contents contentsOf(const QByteArray &folder)
{
    Contents c;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return c;
    while (struct dirent *d = ::readdir(dir)) {
        const QByteArray name(d->d_name);
        if (name.startsWith('.'))
            continue;
        const unsigned char type = typeOf(dir, d);
        if (type == DT_DIR)
            c.hasSubFolders = true;
        else if (type == DT_REG && hasExtension(name, ".vcf"))
            ++c.cards;
        else if (type == DT_REG && hasExtension(name, ".ics"))
            ++c.events;
    }
    ::closedir(dir);
    return c;
}

// The kind a folder's own contents show: its marker, else its item files; -1 when they show none.
qint32 evidentKind(const QByteArray &folder)
{
    const qint32 marked = markedKind(folder);
    if (marked >= 0)
        return marked;
    const Contents c = contentsOf(folder);
    return c.cards || c.events ? kindFromFiles(c.cards, c.events) : -1;
}

// Names the calendar and address book tools give their collections and the folders above them.
qint32 kindFromName(const QByteArray &name)
{
    const QString n = QFile::decodeName(name).toLower();
    for (const char *word : {"calendar", "kalender", "calendrier", "calendario", "caldav"})
        if (n.contains(QLatin1String(word)))
            return ItemTypeAppointment;
    for (const char *word : {"contact", "kontakt", "addressbook", "address book", "address-book",
                             "address_book", "adressbuch", "carddav"})
        if (n.contains(QLatin1String(word)))
            return ItemTypeContact;
    return -1;
}

QByteArray parentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray() : path.left(slash);
}

// The kind every sibling collection that shows one agrees on; -1 when none shows one or they differ.
qint32 siblingsKind(const QByteArray &folder)
{
    const QByteArray parent = parentOf(folder);
    DIR *dir = parent.isEmpty() ? nullptr : ::opendir(parent.constData());
    if (!dir)
        return -1;
    qint32 agreed = -1;
    bool differ = false;
    const QByteArray own = baseNameOf(folder);
    while (struct dirent *d = ::readdir(dir)) {
        const QByteArray name(d->d_name);
        if (name.startsWith('.') || name == own)
            continue;
        if (typeOf(dir, d) != DT_DIR)
            continue;
        const qint32 k = evidentKind(parent + '/' + name);
        if (k != ItemTypeAppointment && k != ItemTypeContact)
            continue;
        if (agreed >= 0 && agreed != k)
            differ = true;
        agreed = k;
    }
    ::closedir(dir);
    return differ ? -1 : agreed;
}

} // namespace

qint32 markedKind(const QByteArray &folder)
{
    const QList<QByteArray> lines = readSmallRegularFile(folder + '/' + folderMarkerName(), 4096).split('\n');
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

qint32 kindFromFiles(qsizetype cards, qsizetype events)
{
    return cards == 0 && events == 0 ? ItemTypeMail : cards >= events ? ItemTypeContact : ItemTypeAppointment;
}

qint32 kindOfEmptyFolder(const QByteArray &root, const QByteArray &folder)
{
    // A folder with folders below it is a store or a folder of folders, never a collection.
    if (contentsOf(folder).hasSubFolders)
        return ItemTypeMail;
    qint32 k = kindFromName(baseNameOf(folder));
    if (k < 0)
        k = siblingsKind(folder);
    // Parents up to the root, the root's own name included ("~/.calendars/work").
    for (QByteArray p = parentOf(folder); k < 0 && p.size() >= root.size() && !p.isEmpty(); p = parentOf(p))
        k = kindFromName(baseNameOf(p));
    return k < 0 ? ItemTypeMail : k;
}

} // namespace orvia::pim
